#include "menu/picture_png.h"

#include <png.h>

#include "core/file_io.h"

namespace lumora {
namespace {

// R, G, B, A bytes of each pixel, whatever the machine's byte order.
Bytes rgbaBytes(const Picture& picture) {
    Bytes bytes;
    bytes.reserve(picture.pixels.size() * 4);
    for (const std::uint32_t pixel : picture.pixels) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(pixel >> shift));
    }
    return bytes;
}

}  // namespace

Bytes rgbaPngBytes(const Picture& picture) {
    if (picture.empty() || picture.pixels.size() != std::size_t{picture.width} * picture.height)
        return {};
    const Bytes pixels = rgbaBytes(picture);
    // The simplified libpng interface reports errors through its return value,
    // so no error jump crosses C++ frames.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = picture.width;
    image.height = picture.height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) return {};
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr))
        return {};
    png.resize(size);
    return png;
}

void writeRgbaPng(const std::string& path, const Picture& picture) {
    const Bytes png = rgbaPngBytes(picture);
    if (png.empty()) throw FileError(path + ": the picture has no pixels to write", path);
    writeFileSafely(path, png);
}

}  // namespace lumora
