// The pictures behind a menu page: the program's own 1920 x 1080 background
// (made in code), and the user's BMP or PNG file.
#pragma once

#include <optional>
#include <string>

#include "core/bytes.h"
#include "menu/menu_model.h"

namespace lumora {

inline constexpr int kMenuPageWidth = 1920;
inline constexpr int kMenuPageHeight = 1080;

// Pictures larger than this in pixels are not taken: a header can declare
// 65535 x 65535 pixels in a few bytes.
inline constexpr std::uint64_t kMaxBackgroundPixels = 4096u * 4096u;

// The built-in background: 1920 x 1080 RGBA, mostly translucent so the menu
// background colour shows through: a soft vignette, a faint diagonal sheen
// and a fine grid.  Made once and shared.
const Picture& builtInBackgroundPicture();

struct PictureLoad {
    std::optional<Picture> picture;
    std::string problem;  // why there is no picture ("is not a BMP file", ...)
};

// An uncompressed Windows bitmap of 24 or 32 bits per pixel (bottom-up or
// top-down rows), as an opaque picture.  Any other form, and every header
// whose sizes the bytes do not hold, gives a problem instead.
PictureLoad decodeBmp(ByteView bytes);
// A PNG file of any colour type, as RGBA.
PictureLoad decodePng(ByteView bytes);
// A background picture file: ".png" files (extension compared upper-cased)
// as PNG, every other file as a bitmap.  Throws FileError when the file
// cannot be read.
PictureLoad loadBackgroundPicture(const std::string& path);

}  // namespace lumora
