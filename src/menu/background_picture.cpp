#include "menu/background_picture.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "core/file_io.h"

namespace lumora {
namespace {

// ---- The built-in picture ----

struct Layer {
    double r = 0, g = 0, b = 0, a = 0;  // straight colour 0..1, alpha 0..1
};

// `top` over `under`, straight (not premultiplied) colours.
Layer over(const Layer& top, const Layer& under) {
    const double a = top.a + under.a * (1 - top.a);
    if (a <= 0) return {};
    const auto mix = [&](double t, double u) {
        return (t * top.a + u * under.a * (1 - top.a)) / a;
    };
    return {mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), a};
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

std::uint32_t packLayer(const Layer& layer) {
    const auto byte = [](double v) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
    };
    return byte(layer.r) | byte(layer.g) << 8 | byte(layer.b) << 16 | byte(layer.a) << 24;
}

Picture makeBuiltInBackground() {
    constexpr int kGrid = 60;  // grid pitch, centred on the page
    Picture picture;
    picture.width = kMenuPageWidth;
    picture.height = kMenuPageHeight;
    picture.pixels.resize(std::size_t{picture.width} * picture.height);
    for (int y = 0; y < kMenuPageHeight; ++y) {
        const double dy = (y - kMenuPageHeight * 0.45) / (kMenuPageHeight * 0.55);
        const bool gridRow = (y - kMenuPageHeight / 2) % kGrid == 0;
        for (int x = 0; x < kMenuPageWidth; ++x) {
            const double dx = (x - kMenuPageWidth / 2.0) / (kMenuPageWidth / 2.0);
            // Darker towards the edges and corners.
            Layer layer{0.0, 0.0, 0.02,
                        0.72 * smoothstep(0.25, 1.45, std::sqrt(dx * dx + dy * dy))};
            // A faint light band running down from the upper left.
            const double band = (x * 0.45 + y - 520.0) / 260.0;
            layer = over({1.0, 1.0, 1.0, 0.07 * std::exp(-band * band)}, layer);
            // A fine grid, brighter near the centre.
            const bool gridColumn = (x - kMenuPageWidth / 2) % kGrid == 0;
            if (gridRow || gridColumn) {
                const double fade = 1.0 - smoothstep(0.3, 1.3, std::sqrt(dx * dx + dy * dy));
                layer = over({0.85, 0.9, 1.0, 0.03 + 0.06 * fade}, layer);
            }
            picture.pixels[static_cast<std::size_t>(y) * kMenuPageWidth +
                           static_cast<std::size_t>(x)] = packLayer(layer);
        }
    }
    return picture;
}

// ---- Windows bitmaps ----

std::uint32_t le16(ByteView bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}
std::uint32_t le32(ByteView bytes, std::size_t at) {
    return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

PictureLoad problem(std::string text) {
    return {std::nullopt, std::move(text)};
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; V4 and V5 are longer
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

// 32-bit bitmaps with bit fields are taken only in the usual B, G, R byte
// order.
bool standardMasks(ByteView bytes) {
    const std::size_t masks = kFileHeaderSize + kInfoHeaderSize;
    if (bytes.size() < masks + 12) return false;
    return le32(bytes, masks) == 0x00FF0000u && le32(bytes, masks + 4) == 0x0000FF00u &&
           le32(bytes, masks + 8) == 0x000000FFu;
}

}  // namespace

const Picture& builtInBackgroundPicture() {
    static const Picture picture = makeBuiltInBackground();
    return picture;
}

PictureLoad decodeBmp(ByteView bytes) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return problem("is not a BMP file");
    const std::uint32_t pixelOffset = le32(bytes, 10);
    const std::uint32_t headerSize = le32(bytes, 14);
    if (headerSize < kInfoHeaderSize || headerSize > bytes.size() - kFileHeaderSize)
        return problem("has a bitmap header this program does not read");
    const auto width = static_cast<std::int32_t>(le32(bytes, 18));
    const auto height = static_cast<std::int32_t>(le32(bytes, 22));
    const std::uint32_t bits = le16(bytes, 28);
    const std::uint32_t compression = le32(bytes, 30);
    if (le16(bytes, 26) != 1 || (bits != 24 && bits != 32))
        return problem("is not a 24-bit or 32-bit bitmap");
    const bool plain = compression == kBiRgb ||
                       (compression == kBiBitfields && bits == 32 && standardMasks(bytes));
    if (!plain) return problem("is a compressed bitmap");
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    if (width <= 0 || rows == 0) return problem("has no pixels");
    if (std::uint64_t(width) * std::uint64_t(rows) > kMaxBackgroundPixels)
        return problem("is larger than " + std::to_string(kMaxBackgroundPixels) + " pixels");
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    if (pixelOffset > bytes.size() || stride * std::uint64_t(rows) > bytes.size() - pixelOffset)
        return problem("ends inside its pixel data");

    Picture picture;
    picture.width = static_cast<std::uint32_t>(width);
    picture.height = static_cast<std::uint32_t>(rows);
    picture.pixels.resize(std::size_t{picture.width} * picture.height);
    const std::size_t step = bits / 8;
    for (std::int64_t row = 0; row < rows; ++row) {
        // Positive heights store the bottom row first.
        const std::int64_t target = height < 0 ? row : rows - 1 - row;
        const std::uint8_t* source = bytes.data() + pixelOffset + row * stride;
        std::uint32_t* out = picture.pixels.data() + target * width;
        for (std::int32_t x = 0; x < width; ++x, source += step) {
            out[x] = std::uint32_t{source[2]} | std::uint32_t{source[1]} << 8 |
                     std::uint32_t{source[0]} << 16 | 0xFF000000u;
        }
    }
    return {std::move(picture), {}};
}

PictureLoad decodePng(ByteView bytes) {
    // The simplified libpng interface reports errors through its return
    // value, so no error jump crosses C++ frames.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return problem("is not a PNG file (" + std::string(image.message) + ")");
    if (std::uint64_t{image.width} * image.height > kMaxBackgroundPixels) {
        png_image_free(&image);
        return problem("is larger than " + std::to_string(kMaxBackgroundPixels) + " pixels");
    }
    image.format = PNG_FORMAT_RGBA;
    Bytes rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        const std::string message = image.message;
        png_image_free(&image);
        return problem("cannot be decoded (" + message + ")");
    }
    Picture picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.pixels.resize(std::size_t{picture.width} * picture.height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint8_t* p = rgba.data() + i * 4;
        picture.pixels[i] = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                            std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    }
    if (picture.empty()) return problem("has no pixels");
    return {std::move(picture), {}};
}

PictureLoad loadBackgroundPicture(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // Pictures are at most 4096 x 4096 pixels of 4 bytes, with room for
    // the headers and row padding.
    const Bytes bytes = readFileBytes(path, kMaxBackgroundPixels * 4 + 65536);
    return extension == ".PNG" ? decodePng(bytes) : decodeBmp(bytes);
}

}  // namespace lumora
