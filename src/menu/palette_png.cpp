#include "menu/palette_png.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace lumora {
namespace {

// libpng reports errors by a long jump back to the setjmp of the function
// that called it.  Every function below that calls libpng holds only
// trivially destructible locals, so the jump skips no destructor; the C++
// objects they fill are made by their callers.

constexpr std::size_t kErrorTextSize = 256;

struct PngErrors {
    char text[kErrorTextSize] = {};
};

void onError(png_structp png, png_const_charp message) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::strncpy(errors->text, message != nullptr ? message : "PNG error", kErrorTextSize - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

struct MemoryInput {
    const png_byte* data;
    std::size_t size;
    std::size_t position;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > input->size - input->position) png_error(png, "the file ends early");
    std::memcpy(out, input->data + input->position, length);
    input->position += length;
}

struct MemoryOutput {
    Bytes* bytes;
};

void writeToMemory(png_structp png, png_bytep data, png_size_t length) {
    auto* output = static_cast<MemoryOutput*>(png_get_io_ptr(png));
    output->bytes->insert(output->bytes->end(), data, data + length);
}

void flushNothing(png_structp) {}

struct Header {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colourType;
    int paletteCount;
    png_color palette[256];
    int alphaCount;
    png_byte alphas[256];
};

bool readHeader(png_structp png, png_infop info, Header& header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.bitDepth = png_get_bit_depth(png, info);
    header.colourType = png_get_color_type(png, info);
    header.paletteCount = 0;
    header.alphaCount = 0;
    png_colorp palette = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &palette, &count) != 0 && palette != nullptr) {
        header.paletteCount = std::clamp(count, 0, 256);
        std::memcpy(header.palette, palette,
                    sizeof(png_color) * static_cast<std::size_t>(header.paletteCount));
    }
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0 &&
        png_get_tRNS(png, info, &alphas, &alphaCount, nullptr) != 0 && alphas != nullptr) {
        header.alphaCount = std::clamp(alphaCount, 0, 256);
        std::memcpy(header.alphas, alphas, static_cast<std::size_t>(header.alphaCount));
    }
    return true;
}

// Reads the rows (interlaced pictures too) into `rows`.
bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

struct PaletteOut {
    png_uint_32 width;
    png_uint_32 height;
    png_color colours[256];
    png_byte alphas[256];
    png_text software;
};

bool writePalettePicture(png_structp png, png_infop info, PaletteOut& picture, png_bytepp rows,
                         MemoryOutput& output) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &output, writeToMemory, flushNothing);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, picture.colours, 256);
    png_set_tRNS(png, info, picture.alphas, 256, nullptr);
    png_set_text(png, info, &picture.software, 1);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

std::vector<png_bytep> rowPointers(png_bytep first, std::uint32_t height, std::size_t stride) {
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y)
        rows[y] = first + y * stride;
    return rows;
}

}  // namespace

PaletteRead readPalettePng(ByteView bytes) {
    PaletteRead result;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        result.error = "not a PNG file";
        return result;
    }
    PngErrors errors;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.error = "out of memory";
        return result;
    }
    MemoryInput input{bytes.data(), bytes.size(), 0};
    png_set_read_fn(png, &input, readFromMemory);
    Header header{};
    if (!readHeader(png, info, header)) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.error = errors.text;
        return result;
    }
    // Objects never exceed 4096 pixels a side; nothing larger is allocated.
    const bool paletteKind = header.colourType == PNG_COLOR_TYPE_PALETTE && header.bitDepth == 8;
    if (!paletteKind || header.width > kIgMaxObjectSide || header.height > kIgMaxObjectSide ||
        header.paletteCount == 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.unsupported = true;
        return result;
    }
    PalettePicture picture;
    picture.width = header.width;
    picture.height = header.height;
    picture.indices.assign(std::size_t{header.width} * header.height, 0);
    std::vector<png_bytep> rows = rowPointers(picture.indices.data(), header.height, header.width);
    if (!readRows(png, info, rows.data())) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.error = errors.text;
        return result;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    for (int i = 0; i < header.paletteCount; ++i) {
        const png_color& c = header.palette[i];
        picture.colours.push_back({c.red, c.green, c.blue});
    }
    picture.alphas.assign(header.alphas,
                          header.alphas + std::min(header.alphaCount, header.paletteCount));
    result.picture = std::move(picture);
    return result;
}

std::optional<RgbaImage> readRgbaPng(ByteView bytes, std::string& error) {
    // The simplified interface reports errors through its return values.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        error = image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    if (image.width > kIgMaxObjectSide || image.height > kIgMaxObjectSide) {
        error = "the picture is larger than " + std::to_string(kIgMaxObjectSide) + " pixels a side";
        png_image_free(&image);
        return std::nullopt;
    }
    image.format = PNG_FORMAT_RGBA;
    RgbaImage out;
    out.width = image.width;
    out.height = image.height;
    out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return std::nullopt;
    }
    return out;
}

Bytes palettePngBytes(std::uint32_t width, std::uint32_t height, ByteView indices,
                      const TIGpalette& palette, std::string_view software) {
    if (width == 0 || height == 0 || indices.size() != std::size_t{width} * height) return {};
    PaletteOut picture{};
    picture.width = width;
    picture.height = height;
    for (std::size_t i = 0; i < 256; ++i) {
        picture.colours[i] = {palette.rgba[i].r, palette.rgba[i].g, palette.rgba[i].b};
        picture.alphas[i] = palette.rgba[i].a;
    }
    std::string key = "Software";
    std::string text(software);
    picture.software.compression = PNG_TEXT_COMPRESSION_NONE;
    picture.software.key = key.data();
    picture.software.text = text.data();
    picture.software.text_length = text.size();
    // libpng reads the rows without changing them.
    Bytes copy(indices.begin(), indices.end());
    std::vector<png_bytep> rows = rowPointers(copy.data(), height, width);
    Bytes out;
    MemoryOutput output{&out};
    PngErrors errors;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, onError, onWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written = png != nullptr && info != nullptr &&
                         writePalettePicture(png, info, picture, rows.data(), output);
    png_destroy_write_struct(&png, &info);
    return written ? out : Bytes{};
}

}  // namespace lumora
