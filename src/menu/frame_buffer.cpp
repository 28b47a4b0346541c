#include "menu/frame_buffer.h"

#include <array>

namespace lumora {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
// Each character takes its glyph and one blank column.
constexpr int kAdvance = kGlyphWidth + 1;

using Glyph = std::array<std::uint8_t, kGlyphHeight>;  // rows, bit 4 = leftmost pixel

// The characters of ids and coordinates; anything else draws blank.
const Glyph* glyphOf(char c) {
    static const Glyph kDigits[16] = {
        {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
        {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
        {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
        {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
        {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
        {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
        {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
        {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
        {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
        {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
        {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
        {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
        {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
        {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C},  // D
        {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
        {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
    };
    static const Glyph kColon = {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00};
    static const Glyph kMinus = {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00};
    static const Glyph kTimes = {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11};
    if (c >= '0' && c <= '9') return &kDigits[c - '0'];
    if (c >= 'A' && c <= 'F') return &kDigits[10 + c - 'A'];
    if (c >= 'a' && c <= 'f') return &kDigits[10 + c - 'a'];
    if (c == ':') return &kColon;
    if (c == '-') return &kMinus;
    if (c == 'x') return &kTimes;
    return nullptr;
}

}  // namespace

FrameBuffer::FrameBuffer(int width, int height, std::uint32_t rgb) {
    reset(width, height, rgb);
}

void FrameBuffer::reset(int width, int height, std::uint32_t rgb) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                   opaque(rgb));
}

std::uint32_t FrameBuffer::pixel(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

void FrameBuffer::fill(std::uint32_t rgb) {
    std::fill(pixels_.begin(), pixels_.end(), opaque(rgb));
}

void FrameBuffer::fillRect(const PixelRect& rect, std::uint32_t rgb) {
    const PixelRect area = rect.intersected(bounds());
    if (area.empty()) return;
    for (std::int64_t y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = pixels_.data() + y * width_;
        std::fill(row + area.left, row + area.right, opaque(rgb));
    }
}

void FrameBuffer::frameRect(const PixelRect& rect, std::uint32_t rgb) {
    if (rect.empty()) return;
    fillRect({rect.left, rect.top, rect.right, rect.top + 1}, rgb);
    fillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, rgb);
    fillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, rgb);
    fillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, rgb);
}

void FrameBuffer::copyRect(const FrameBuffer& from, const PixelRect& rect) {
    const PixelRect area = rect.intersected(bounds()).intersected(from.bounds());
    if (area.empty()) return;
    for (std::int64_t y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* source = from.pixels_.data() + y * from.width_;
        std::copy(source + area.left, source + area.right, pixels_.data() + y * width_ + area.left);
    }
}

void FrameBuffer::blend(const Picture& picture, std::int64_t x, std::int64_t y,
                        const PixelRect& clip) {
    if (picture.empty() ||
        picture.pixels.size() != std::size_t{picture.width} * std::size_t{picture.height})
        return;
    const PixelRect area = PixelRect::sized(x, y, picture.width, picture.height)
                               .intersected(clip)
                               .intersected(bounds());
    if (area.empty()) return;
    for (std::int64_t row = area.top; row < area.bottom; ++row) {
        const std::uint32_t* source =
            picture.pixels.data() + (row - y) * picture.width + (area.left - x);
        std::uint32_t* target = pixels_.data() + row * width_ + area.left;
        const std::int64_t count = area.width();
        for (std::int64_t i = 0; i < count; ++i)
            target[i] = blendOver(target[i], source[i]);
    }
}

void FrameBuffer::blendRect(const PixelRect& rect, std::uint32_t rgb, std::uint8_t alpha) {
    const PixelRect area = rect.intersected(bounds());
    const std::uint32_t source = (rgb & 0x00FFFFFFu) | (std::uint32_t{alpha} << 24);
    for (std::int64_t y = area.top; y < area.bottom; ++y) {
        std::uint32_t* row = pixels_.data() + y * width_;
        for (std::int64_t x = area.left; x < area.right; ++x)
            row[x] = blendOver(row[x], source);
    }
}

PixelRect FrameBuffer::labelBox(std::int64_t x, std::int64_t y, std::size_t characters, int scale) {
    const std::int64_t s = std::max(scale, 1);
    const std::int64_t width = static_cast<std::int64_t>(characters) * kAdvance * s + s;
    return PixelRect::sized(x, y, width, (kGlyphHeight + 2) * s);
}

PixelRect FrameBuffer::drawLabel(std::int64_t x, std::int64_t y, std::string_view text,
                                 std::uint32_t background, std::uint32_t ink, int scale) {
    const std::int64_t s = std::max(scale, 1);
    const PixelRect box = labelBox(x, y, text.size(), static_cast<int>(s));
    fillRect(box, background);
    std::int64_t left = x + s;
    for (const char c : text) {
        if (const Glyph* glyph = glyphOf(c)) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int column = 0; column < kGlyphWidth; ++column) {
                    if (((*glyph)[static_cast<std::size_t>(row)] >> (kGlyphWidth - 1 - column) &
                         1) == 0)
                        continue;
                    fillRect(PixelRect::sized(left + column * s, y + s + row * s, s, s), ink);
                }
            }
        }
        left += kAdvance * s;
    }
    return box;
}

Picture FrameBuffer::toPicture() const {
    Picture picture;
    picture.width = static_cast<std::uint32_t>(width_);
    picture.height = static_cast<std::uint32_t>(height_);
    picture.pixels = pixels_;
    return picture;
}

}  // namespace lumora
