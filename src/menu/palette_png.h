// PNG pictures for the menu's objects: 8-bit palette pictures, whose pixel
// indices and palette become an object and a menu palette exactly, any
// other PNG as RGBA pixels (for reducing true-colour artwork to a palette),
// and the 8-bit palette PNG an object is exported as.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "menu/menu_model.h"

namespace lumora {

// An 8-bit palette picture: one index a pixel, row by row.
struct PalettePicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes indices;
    // The PLTE entries (at most 256) and the tRNS alpha values (at most as
    // many; entries beyond them are opaque).
    std::vector<std::array<std::uint8_t, 3>> colours;
    Bytes alphas;
    bool operator==(const PalettePicture&) const = default;
};

// R, G, B, A bytes a pixel, row by row.
struct RgbaImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes rgba;
};

// What reading a PNG gave: the picture, or why not.  `unsupported` tells a
// readable PNG of another kind (not 8-bit palette) from a broken one, whose
// `error` is the PNG library's message.
struct PaletteRead {
    std::optional<PalettePicture> picture;
    bool unsupported = false;
    std::string error;
};
PaletteRead readPalettePng(ByteView png);

// Any PNG the library reads (grey, palette, RGB, RGBA; 1 to 16 bits), as
// RGBA with 8 bits a sample.  Nothing, with the library's message, for a
// broken file.
std::optional<RgbaImage> readRgbaPng(ByteView png, std::string& error);

// An 8-bit palette PNG of the indices with all 256 entries of the palette
// (R, G, B), a 256-entry transparency table (A) and the text "Software".
// Empty when the indices do not fill width x height.
Bytes palettePngBytes(std::uint32_t width, std::uint32_t height, ByteView indices,
                      const TIGpalette& palette, std::string_view software);

}  // namespace lumora
