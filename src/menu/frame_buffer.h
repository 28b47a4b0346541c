// The pixel work of the menu views: an opaque RGB picture (the page image,
// the background, the effect preview) with rectangle fills, frames, copies,
// alpha-blended pictures and small hexadecimal labels.  Every operation clips
// to the picture, so a button or object placed anywhere on the 16-bit plane
// never writes outside it.
//
// Pixels use the packing of Picture and of the stored interface colours: R in
// bits 0-7, G 8-15, B 16-23; the top byte is always 0xFF.  In memory (little
// endian) that is R, G, B, 0xFF per pixel: a Qt view wraps the pixels as
// QImage(bytes(), width(), height(), strideBytes(), QImage::Format_RGBX8888)
// without copying.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "menu/menu_model.h"

namespace lumora {

// A rectangle from (left, top) inclusive to (right, bottom) exclusive, in
// 64-bit coordinates so positions and sizes from a file never overflow.
struct PixelRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;

    static PixelRect sized(std::int64_t x, std::int64_t y, std::int64_t width,
                           std::int64_t height) {
        return {x, y, x + width, y + height};
    }
    std::int64_t width() const { return right > left ? right - left : 0; }
    std::int64_t height() const { return bottom > top ? bottom - top : 0; }
    bool empty() const { return right <= left || bottom <= top; }
    PixelRect intersected(const PixelRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    bool overlaps(const PixelRect& other) const { return !intersected(other).empty(); }
    // Whether the point lies inside, the right and bottom edges included.
    bool containsClosed(std::int64_t x, std::int64_t y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    bool operator==(const PixelRect&) const = default;
};

// An interface colour (R low byte) as an opaque pixel.
inline constexpr std::uint32_t opaque(std::uint32_t rgb) {
    return (rgb & 0x00FFFFFFu) | 0xFF000000u;
}

// t / 255 rounded to the nearest integer, exact for t in 0..255 x 255.
inline constexpr std::uint32_t divide255(std::uint32_t t) {
    const std::uint32_t x = t + 128;
    return (x + (x >> 8)) >> 8;
}

// `source` over `destination` with the source's alpha (bits 24-31); the
// result is opaque.
inline constexpr std::uint32_t blendOver(std::uint32_t destination, std::uint32_t source) {
    const std::uint32_t alpha = source >> 24;
    if (alpha == 255) return source;
    if (alpha == 0) return destination | 0xFF000000u;
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = (source >> shift) & 0xFF;
        const std::uint32_t d = (destination >> shift) & 0xFF;
        out |= divide255(s * alpha + d * (255 - alpha)) << shift;
    }
    return out;
}

class FrameBuffer {
public:
    FrameBuffer() = default;
    // width x height pixels of one colour (R low byte).
    FrameBuffer(int width, int height, std::uint32_t rgb = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    PixelRect bounds() const { return {0, 0, width_, height_}; }
    const std::uint32_t* pixels() const { return pixels_.data(); }
    std::uint32_t* pixels() { return pixels_.data(); }
    const unsigned char* bytes() const {
        return reinterpret_cast<const unsigned char*>(pixels_.data());
    }
    std::size_t strideBytes() const { return static_cast<std::size_t>(width_) * 4; }
    // The pixel (with its 0xFF top byte); 0 outside the picture.
    std::uint32_t pixel(std::int64_t x, std::int64_t y) const;

    // Resizes and fills with one colour.
    void reset(int width, int height, std::uint32_t rgb);
    void fill(std::uint32_t rgb);
    void fillRect(const PixelRect& rect, std::uint32_t rgb);
    // A one-pixel outline on the inner edge of the rectangle.
    void frameRect(const PixelRect& rect, std::uint32_t rgb);
    // Copies the rectangle of `from` (same coordinates) into this picture.
    void copyRect(const FrameBuffer& from, const PixelRect& rect);
    // Draws a picture with its top-left corner at (x, y), blending by its
    // alpha, only inside `clip` (and the picture).
    void blend(const Picture& picture, std::int64_t x, std::int64_t y, const PixelRect& clip);
    void blend(const Picture& picture, std::int64_t x, std::int64_t y) {
        blend(picture, x, y, bounds());
    }
    // Blends one colour with the given alpha over a rectangle.
    void blendRect(const PixelRect& rect, std::uint32_t rgb, std::uint8_t alpha);

    // A label: a box of `background` with `text` in `ink` inside, in the
    // built-in 5 x 7 digit font (0-9, A-F, a few signs), each font pixel
    // `scale` x `scale` screen pixels.  Returns the box.
    PixelRect drawLabel(std::int64_t x, std::int64_t y, std::string_view text,
                        std::uint32_t background, std::uint32_t ink, int scale = 1);
    // The box a label of `characters` characters takes.
    static PixelRect labelBox(std::int64_t x, std::int64_t y, std::size_t characters, int scale);

    // An RGBA picture of the pixels (alpha 255), as the PNG writer takes it.
    Picture toPicture() const;

    bool operator==(const FrameBuffer&) const = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace lumora
