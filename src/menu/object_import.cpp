#include "menu/object_import.h"

#include <libimagequant.h>

#include <algorithm>
#include <memory>

#include "core/file_io.h"
#include "core/text.h"
#include "menu/rle_codec.h"

namespace lumora {
namespace {

// Palette entry 255 stays free: imported palettes use 0 to 254.
constexpr std::size_t kImportedColours = 255;
// Up to this many pixels in all, pictures are reduced with the careful
// search of the quantiser.
constexpr std::size_t kCarefulQuantizePixels = 512 * 1024;

bool samePalette(const PalettePicture& a, const PalettePicture& b) {
    return a.colours == b.colours && a.alphas == b.alphas;
}

std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

// The quantiser's objects, released on every path.
struct LiqAttr {
    liq_attr* attr = liq_attr_create();
    ~LiqAttr() {
        if (attr != nullptr) liq_attr_destroy(attr);
    }
};
struct LiqHistogram {
    liq_histogram* histogram;
    ~LiqHistogram() {
        if (histogram != nullptr) liq_histogram_destroy(histogram);
    }
};
struct LiqImages {
    std::vector<liq_image*> images;
    ~LiqImages() {
        for (liq_image* image : images)
            liq_image_destroy(image);
    }
};
struct LiqResult {
    liq_result* result = nullptr;
    ~LiqResult() {
        if (result != nullptr) liq_result_destroy(result);
    }
};

}  // namespace

TIGpalette paletteOfPicture(const PalettePicture& picture, std::uint16_t id) {
    TIGpalette palette;
    palette.id = id;
    // Entries the picture's palette lacks read as black, opaque as the
    // picture leaves them; no pixel uses them.
    for (std::size_t i = 0; i < kImportedColours; ++i) {
        const std::array<std::uint8_t, 3> none{};
        const auto& [r, g, b] = i < picture.colours.size() ? picture.colours[i] : none;
        const std::uint8_t a = i < picture.alphas.size() ? picture.alphas[i] : 255;
        palette.rgba[i] = TRGBA{r, g, b, a};
        palette.ycrcb[i] = rgbToYcrcb(r, g, b);
    }
    return palette;
}

ImportResult importPictures(TIGMenu& menu, const std::vector<PalettePicture>& pictures,
                            const ImportTarget& target) {
    ImportResult result;
    const auto refuse = [&result](std::string why) {
        result.edit = MenuEdit::refused(std::move(why));
        return result;
    };
    if (pictures.empty()) return refuse("no picture to import");
    for (const PalettePicture& picture : pictures) {
        if (picture.width > menu.ics.videoWidth || picture.height > menu.ics.videoHeight ||
            picture.width == 0 || picture.height == 0)
            return refuse(std::string(kNotSupportedFormat));
        if (!samePalette(picture, pictures.front())) return refuse(std::string(kNoSharedPalette));
    }
    if (target.replaceObject && *target.replaceObject >= menu.objects.size())
        return refuse("the menu has no object " + hexText(*target.replaceObject, 4));
    if (target.replacePalette && *target.replacePalette >= menu.palettes.size())
        return refuse("the menu has no palette " + hexText(*target.replacePalette, 2));
    const std::size_t first = target.replaceObject.value_or(menu.objects.size());
    // Object id 0xFFFF means "none", palette ids have 8 bits.
    if (first + pictures.size() > kIgNone) return refuse("the object table is full");
    if (!target.replacePalette && menu.palettes.size() > 0xFF)
        return refuse("the palette table is full");

    const std::size_t paletteSlot = target.replacePalette.value_or(menu.palettes.size());
    TIGpalette palette =
        paletteOfPicture(pictures.front(), static_cast<std::uint16_t>(paletteSlot));
    if (paletteSlot < menu.palettes.size()) {
        menu.palettes[paletteSlot] = palette;
        dropPalettePictures(menu, paletteSlot);
    } else {
        menu.palettes.push_back(palette);
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::size_t slot = first + i;
        const PalettePicture& picture = pictures[i];
        TIGobject object = bitmapObject(
            static_cast<std::uint16_t>(slot), static_cast<std::uint16_t>(picture.width),
            static_cast<std::uint16_t>(picture.height), picture.indices);
        if (slot < menu.objects.size()) {
            menu.objects[slot] = std::move(object);
        } else {
            menu.objects.push_back(std::move(object));
        }
        menu.objects[slot].dataLength = static_cast<std::uint32_t>(rle_encode(menu, slot).size());
    }
    result.firstObject = static_cast<std::uint16_t>(first);
    result.objects = pictures.size();
    result.palette = static_cast<std::uint16_t>(paletteSlot);
    result.paletteInserted = !target.replacePalette;
    return result;
}

std::optional<std::vector<PalettePicture>> quantizePictures(const std::vector<RgbaImage>& pictures,
                                                            std::string& error) {
    LiqAttr attr;
    if (attr.attr == nullptr ||
        liq_set_max_colors(attr.attr, static_cast<int>(kImportedColours)) != LIQ_OK) {
        error = "the colour reduction cannot start";
        return std::nullopt;
    }
    // Button faces and frames are small and get the quantiser's careful
    // search; a full-screen picture gets its fast one, which costs about
    // 1 dB and runs eight times faster, so an import never keeps the user
    // waiting.
    std::size_t pixels = 0;
    for (const RgbaImage& picture : pictures)
        pixels += std::size_t{picture.width} * picture.height;
    liq_set_speed(attr.attr, pixels > kCarefulQuantizePixels ? 8 : 4);
    LiqHistogram histogram{liq_histogram_create(attr.attr)};
    LiqImages images;
    for (const RgbaImage& picture : pictures) {
        const bool whole = picture.rgba.size() == std::size_t{picture.width} * picture.height * 4;
        liq_image* image = whole && picture.width > 0 && picture.height > 0
                               ? liq_image_create_rgba(attr.attr, picture.rgba.data(),
                                                       static_cast<int>(picture.width),
                                                       static_cast<int>(picture.height), 0)
                               : nullptr;
        if (image == nullptr || histogram.histogram == nullptr) {
            error = "a picture cannot be reduced to a palette";
            return std::nullopt;
        }
        images.images.push_back(image);
        if (liq_histogram_add_image(histogram.histogram, attr.attr, image) != LIQ_OK) {
            error = "a picture cannot be reduced to a palette";
            return std::nullopt;
        }
    }
    LiqResult result;
    if (liq_histogram_quantize(histogram.histogram, attr.attr, &result.result) != LIQ_OK) {
        error = "the pictures cannot be reduced to 255 colours";
        return std::nullopt;
    }
    liq_set_dithering_level(result.result, 1.0f);
    std::vector<PalettePicture> out(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        out[i].width = pictures[i].width;
        out[i].height = pictures[i].height;
        out[i].indices.assign(std::size_t{pictures[i].width} * pictures[i].height, 0);
        if (liq_write_remapped_image(result.result, images.images[i], out[i].indices.data(),
                                     out[i].indices.size()) != LIQ_OK) {
            error = "a picture cannot be reduced to a palette";
            return std::nullopt;
        }
    }
    // The palette is final once every picture is remapped.
    const liq_palette* colours = liq_get_palette(result.result);
    PalettePicture shared;
    for (unsigned i = 0; i < colours->count && i < kImportedColours; ++i) {
        const liq_color& c = colours->entries[i];
        shared.colours.push_back({c.r, c.g, c.b});
        shared.alphas.push_back(c.a);
    }
    for (PalettePicture& picture : out) {
        picture.colours = shared.colours;
        picture.alphas = shared.alphas;
    }
    return out;
}

std::optional<std::vector<PalettePicture>> readImportPictures(const std::vector<Bytes>& files,
                                                              const std::vector<std::string>& names,
                                                              bool quantize, std::string& error) {
    const auto named = [&names, &files](std::size_t i, const std::string& why) {
        return files.size() > 1 && i < names.size() ? names[i] + ": " + why : why;
    };
    std::vector<PalettePicture> pictures;
    bool allShareAPalette = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        PaletteRead read = readPalettePng(files[i]);
        if (read.picture) {
            allShareAPalette =
                allShareAPalette && (pictures.empty() || samePalette(*read.picture, pictures[0]));
            pictures.push_back(std::move(*read.picture));
            continue;
        }
        if (!read.unsupported) {
            error = named(i, read.error);
            return std::nullopt;
        }
        if (!quantize) {
            error = named(i, std::string(kNotSupportedFormat));
            return std::nullopt;
        }
        allShareAPalette = false;
        pictures.push_back({});
    }
    if (!quantize || allShareAPalette) return pictures;
    // One palette for all of them: every picture as RGBA, reduced together.
    std::vector<RgbaImage> images;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::optional<RgbaImage> image = readRgbaPng(files[i], error);
        if (!image) {
            error = named(i, error);
            return std::nullopt;
        }
        images.push_back(std::move(*image));
    }
    return quantizePictures(images, error);
}

// ---------------------------------------------------------------------------
// Export

std::string objectImageName(std::size_t object, std::size_t palette) {
    return "IGobject_" + hexText(object, 4) + "_pal_" + hexText(palette, 2);
}

std::string paletteFileName(std::size_t palette) {
    return "palette_" + zeroPad(static_cast<std::int64_t>(palette), 3);
}

Bytes objectPngBytes(TIGMenu& menu, std::size_t object, std::size_t palette,
                     std::string_view software) {
    if (object >= menu.objects.size() || palette >= menu.palettes.size()) return {};
    TIGobject& o = menu.objects[object];
    if (!o.bitmap) rle_decode(menu, object);
    if (!o.bitmap) return {};
    return palettePngBytes(o.width, o.height, *o.bitmap, menu.palettes[palette], software);
}

std::string pxmlText(const TIGpalette& palette) {
    const auto line = [](std::string text) { return text + "\r\n"; };
    const auto tag = [&line](const char* name, unsigned value) {
        return line(std::string("    <") + name + ">" + std::to_string(value) + "</" + name + ">");
    };
    std::string text = line(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>)") +
                       line(R"(<PaletteDefinition UseForm="YCrCb">)");
    for (unsigned n = 0; n < 256; ++n) {
        const TRGBA& rgba = palette.rgba[n];
        const TYCrCb& ycrcb = palette.ycrcb[n];
        text += line("");
        text +=
            line("  <PaletteData PaletteEntryId=\"" + std::to_string(n) + "\" UseForm=\"YCrCb\">");
        text += tag("R", rgba.r) + tag("G", rgba.g) + tag("B", rgba.b) + tag("T", rgba.a);
        text += tag("Y", ycrcb.y) + tag("Cr", ycrcb.cr) + tag("Cb", ycrcb.cb);
        text += line("  </PaletteData>");
    }
    text += line("");
    text += line("</PaletteDefinition>");
    return text;
}

Bytes actBytes(const TIGpalette& palette) {
    Bytes bytes;
    bytes.reserve(768);
    for (const TRGBA& entry : palette.rgba) {
        bytes.push_back(entry.r);
        bytes.push_back(entry.g);
        bytes.push_back(entry.b);
    }
    return bytes;
}

void savePaletteFile(const std::string& path, const TIGpalette& palette) {
    const std::string extension = extensionOf(path);
    Bytes bytes;
    if (extension == ".pxml") {
        const std::string text = pxmlText(palette);
        bytes.assign(text.begin(), text.end());
    } else if (extension == ".act") {
        bytes = actBytes(palette);
    }
    writeFileSafely(path, bytes);
}

}  // namespace lumora
