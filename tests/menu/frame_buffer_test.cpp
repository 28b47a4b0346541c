#include "menu/frame_buffer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumora {
namespace {

Picture solid(std::uint32_t width, std::uint32_t height, std::uint32_t rgba) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(std::size_t{width} * height, rgba);
    return picture;
}

TEST(FrameBuffer, BlendingRoundsLikeAnExactComputation) {
    for (std::uint32_t alpha = 0; alpha < 256; alpha += 5) {
        for (std::uint32_t s = 0; s < 256; s += 17) {
            for (std::uint32_t d = 0; d < 256; d += 15) {
                const double exact = (s * alpha + d * (255.0 - alpha)) / 255.0;
                const std::uint32_t out = blendOver(d, s | alpha << 24) & 0xFF;
                EXPECT_LE(std::abs(double(out) - exact), 0.5 + 1e-9)
                    << "s " << s << " d " << d << " alpha " << alpha;
            }
        }
    }
    for (std::uint32_t t = 0; t <= 255 * 255; ++t)
        ASSERT_EQ(divide255(t), std::uint32_t(std::lround(t / 255.0))) << t;
}

TEST(FrameBuffer, EveryOperationClipsToThePicture) {
    FrameBuffer page(64, 32, 0x000080);
    const FrameBuffer background(64, 32, 0x102030);
    const Picture big = solid(100, 100, 0xFF0000FF);
    // Placed partly and wholly outside, on all sides, and far away.
    for (const std::int64_t x : {-150, -50, 40, 63, 64, 70000}) {
        for (const std::int64_t y : {-150, -50, 20, 31, 32, 70000}) {
            page.blend(big, x, y);
            page.fillRect(PixelRect::sized(x, y, 100, 100), 0x00FF00);
            page.frameRect(PixelRect::sized(x, y, 100, 100), 0x0000FF);
            page.copyRect(background, PixelRect::sized(x, y, 100, 100));
            page.drawLabel(x, y, "FFFF", 0xFFFFFF, 0, 2);
        }
    }
    page.fillRect({INT64_MIN / 2, INT64_MIN / 2, INT64_MAX / 2, INT64_MAX / 2}, 0x123456);
    EXPECT_EQ(page.pixel(0, 0), opaque(0x123456));
    EXPECT_EQ(page.pixel(63, 31), opaque(0x123456));
    EXPECT_EQ(page.pixel(64, 0), 0u);
}

TEST(FrameBuffer, PartlyVisiblePictureLandsAtItsPlace) {
    FrameBuffer page(10, 10, 0);
    Picture picture = solid(4, 4, 0xFF000001);
    picture.pixels[15] = 0xFF000009;  // bottom-right corner
    page.blend(picture, -3, -3);
    EXPECT_EQ(page.pixel(0, 0) & 0xFF, 9u);
    EXPECT_EQ(page.pixel(1, 0) & 0xFF, 0u);
    page.blend(picture, 8, 8);
    EXPECT_EQ(page.pixel(8, 8) & 0xFF, 1u);
    EXPECT_EQ(page.pixel(9, 9) & 0xFF, 1u);
}

TEST(FrameBuffer, FrameIsOnePixelOnTheInnerEdge) {
    FrameBuffer page(10, 10, 0);
    page.frameRect({2, 2, 6, 5}, 0xFFFFFF);
    EXPECT_EQ(page.pixel(2, 2), opaque(0xFFFFFF));
    EXPECT_EQ(page.pixel(5, 4), opaque(0xFFFFFF));
    EXPECT_EQ(page.pixel(3, 3), opaque(0));
    EXPECT_EQ(page.pixel(6, 4), opaque(0));
    EXPECT_EQ(page.pixel(5, 5), opaque(0));
}

TEST(FrameBuffer, LabelDrawsItsDigitsInItsBox) {
    FrameBuffer page(40, 20, 0x808080);
    const PixelRect box = page.drawLabel(2, 3, "10", 0xFFFFFF, 0x000000);
    EXPECT_EQ(box, FrameBuffer::labelBox(2, 3, 2, 1));
    EXPECT_EQ(box, (PixelRect{2, 3, 15, 12}));
    // "1": the stem in the middle column of the first glyph, the box white
    // around it.
    EXPECT_EQ(page.pixel(2 + 1 + 2, 3 + 1 + 3), opaque(0));
    EXPECT_EQ(page.pixel(2, 3), opaque(0xFFFFFF));
    EXPECT_EQ(page.pixel(15, 3), opaque(0x808080));
    // Twice as large: twice the box.
    EXPECT_EQ(FrameBuffer::labelBox(0, 0, 4, 2), (PixelRect{0, 0, 50, 18}));
}

TEST(FrameBuffer, PixelBytesAreRgbxInMemory) {
    const FrameBuffer page(1, 1, 0x332211);  // R 0x11, G 0x22, B 0x33
    EXPECT_EQ(page.bytes()[0], 0x11);
    EXPECT_EQ(page.bytes()[1], 0x22);
    EXPECT_EQ(page.bytes()[2], 0x33);
    EXPECT_EQ(page.bytes()[3], 0xFF);
    EXPECT_EQ(page.strideBytes(), 4u);
}

}  // namespace
}  // namespace lumora
