// Pictures in and out of the menu: PNG pictures imported as objects with a
// palette (inserted, or replacing a chosen object and palette), true-colour
// artwork reduced to a palette first when asked, objects exported as 8-bit
// palette PNGs and palettes as ".pxml" definitions or ".act" colour tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "menu/menu_edit.h"
#include "menu/menu_model.h"
#include "menu/palette_png.h"

namespace lumora {

// The refusal of a picture that is not an 8-bit palette PNG, or that is
// larger than the video.
inline constexpr std::string_view kNotSupportedFormat = "Not supported file format!";
// The refusal of pictures imported together whose palettes differ.
inline constexpr std::string_view kNoSharedPalette =
    "the pictures do not share one palette (reduce them to 255 colours to give them one)";

// Where imported pictures go.  Without a replace, the objects and the
// palette are appended to their tables.  Several pictures become
// consecutive objects sharing one palette; replacing objects replaces the
// chosen one and those after it (appending past the table's end).
struct ImportTarget {
    std::optional<std::uint16_t> replaceObject;
    std::optional<std::uint8_t> replacePalette;
};

// What an import made.
struct ImportResult {
    MenuEdit edit;
    std::uint16_t firstObject = 0;
    std::size_t objects = 0;
    std::uint16_t palette = 0;
    bool paletteInserted = false;
};

// The menu palette of a picture's palette: for entries 0 to 254, R, G, B as
// the picture gives them (black beyond its palette), Y, Cr, Cb converted
// from them, A from the transparency table or 255; entry 255 all 0.
TIGpalette paletteOfPicture(const PalettePicture& picture, std::uint16_t id);

// Imports pictures that share one palette (the same colours and
// transparency).  Refused, with nothing changed, when a picture is larger
// than the video, when the pictures' palettes differ, or when a chosen
// object or palette does not exist.
ImportResult importPictures(TIGMenu& menu, const std::vector<PalettePicture>& pictures,
                            const ImportTarget& target);

// Reduces true-colour pictures to 8-bit palette pictures sharing one palette
// of at most 255 colours (entry 255 stays free), alpha kept.  Nothing, with
// the reason, when the quantiser fails.
std::optional<std::vector<PalettePicture>> quantizePictures(const std::vector<RgbaImage>& pictures,
                                                            std::string& error);

// Reads PNG files for an import: every one an 8-bit palette picture, or,
// when `quantize` is asked, any PNG reduced (all together) to one palette.
// Nothing, with `error` (kNotSupportedFormat for a picture of another kind
// without the request, the library's message for a broken file, the file
// name first when there are several), for anything else.
std::optional<std::vector<PalettePicture>> readImportPictures(const std::vector<Bytes>& files,
                                                              const std::vector<std::string>& names,
                                                              bool quantize, std::string& error);

// ---- Export ----

// "IGobject_" + object as 4 hex digits + "_pal_" + palette as 2 hex digits.
std::string objectImageName(std::size_t object, std::size_t palette);
// "palette_" + palette as 3 decimal digits.
std::string paletteFileName(std::size_t palette);
// The object as an 8-bit palette PNG under the palette (decoded first when
// needed), with the text "Software" = `software`.  Empty for an object
// without pixels or a palette outside the table.
Bytes objectPngBytes(TIGMenu& menu, std::size_t object, std::size_t palette,
                     std::string_view software);
// The ".pxml" palette definition, lines ending in CR LF.
std::string pxmlText(const TIGpalette& palette);
// The ".act" colour table: R, G, B of entries 0 to 255.
Bytes actBytes(const TIGpalette& palette);
// The palette file by the name's extension, compared exactly: ".pxml" or
// ".act"; any other extension gives an empty file.  Written through a
// temporary file beside it (throws FileError).
void savePaletteFile(const std::string& path, const TIGpalette& palette);

}  // namespace lumora
