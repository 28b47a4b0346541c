#include "menu/background_picture.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "menu/picture_png.h"
#include "support/test_support.h"

namespace lumora {
namespace {

void le(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A BMP of width x height; pixel (x, y) has R = x, G = y, B = 7.
Bytes bmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = 0) {
    const std::int32_t rows = height < 0 ? -height : height;
    const std::uint32_t stride = (std::uint32_t(width) * bits + 31) / 32 * 4;
    Bytes out{'B', 'M'};
    le(out, 54 + stride * rows, 4);
    le(out, 0, 4);
    le(out, 54, 4);
    le(out, 40, 4);
    le(out, std::uint32_t(width), 4);
    le(out, std::uint32_t(height), 4);
    le(out, 1, 2);
    le(out, bits, 2);
    le(out, compression, 4);
    le(out, stride * rows, 4);
    le(out, 2835, 4);
    le(out, 2835, 4);
    le(out, 0, 4);
    le(out, 0, 4);
    for (std::int32_t row = 0; row < rows; ++row) {
        const std::int32_t y = height < 0 ? row : rows - 1 - row;
        Bytes line;
        for (std::int32_t x = 0; x < width; ++x) {
            line.insert(line.end(), {7, std::uint8_t(y), std::uint8_t(x)});
            if (bits == 32) line.push_back(0);  // alpha byte, not used
        }
        line.resize(stride);
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

TEST(BackgroundPicture, BitmapsOfBothRowOrdersAndDepths) {
    for (const int bits : {24, 32}) {
        for (const std::int32_t height : {3, -3}) {
            const PictureLoad load = decodeBmp(bmp(5, height, bits));
            ASSERT_TRUE(load.picture) << load.problem;
            EXPECT_EQ(load.picture->width, 5u);
            EXPECT_EQ(load.picture->height, 3u);
            // Pixel (4, 2): R 4, G 2, B 7, opaque.
            EXPECT_EQ(load.picture->pixels[2 * 5 + 4], 0xFF070204u) << bits << " " << height;
        }
    }
}

TEST(BackgroundPicture, HostileBitmapsAreRefused) {
    const Bytes good = bmp(4, 4, 24);
    struct Case {
        const char* what;
        Bytes bytes;
        const char* problem;
    };
    Bytes cut = good;
    cut.resize(good.size() - 1);
    Bytes huge = good;
    huge[18] = huge[19] = huge[22] = huge[23] = 0xFF;  // 65535 x 65535
    huge[20] = huge[24] = 0;
    Bytes offset = good;
    offset[10] = offset[11] = offset[12] = offset[13] = 0xFF;
    Bytes header = good;
    header[14] = 0xFF;
    header[15] = 0xFF;
    const Case cases[] = {
        {"empty", {}, "is not a BMP file"},
        {"png", {0x89, 'P', 'N', 'G'}, "is not a BMP file"},
        {"cut", cut, "ends inside its pixel data"},
        {"8-bit", bmp(4, 4, 8), "is not a 24-bit or 32-bit bitmap"},
        {"rle", bmp(4, 4, 24, 1), "is a compressed bitmap"},
        {"no pixels", bmp(0, 4, 24), "has no pixels"},
        {"huge", huge, "is larger than"},
        {"offset", offset, "ends inside its pixel data"},
        {"header", header, "has a bitmap header this program does not read"},
    };
    for (const Case& c : cases) {
        const PictureLoad load = decodeBmp(c.bytes);
        EXPECT_FALSE(load.picture) << c.what;
        EXPECT_NE(load.problem.find(c.problem), std::string::npos)
            << c.what << ": " << load.problem;
    }
}

TEST(BackgroundPicture, PngKeepsItsAlpha) {
    Picture picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {0x80112233u, 0xFF445566u};
    const PictureLoad load = decodePng(rgbaPngBytes(picture));
    ASSERT_TRUE(load.picture) << load.problem;
    EXPECT_EQ(*load.picture, picture);
    EXPECT_FALSE(decodePng(Bytes{1, 2, 3}).picture);
}

TEST(BackgroundPicture, FileKindFollowsTheExtension) {
    test::TempDir dir;
    Picture picture;
    picture.width = picture.height = 1;
    picture.pixels = {0xFF0000FFu};
    writeFileSafely(dir / "a.PnG", rgbaPngBytes(picture));
    writeFileSafely(dir / "b.bmp", bmp(2, 2, 24));
    writeFileSafely(dir / "c.png", bmp(2, 2, 24));
    EXPECT_TRUE(loadBackgroundPicture(dir / "a.PnG").picture);
    EXPECT_TRUE(loadBackgroundPicture(dir / "b.bmp").picture);
    EXPECT_FALSE(loadBackgroundPicture(dir / "c.png").picture);
    EXPECT_THROW(loadBackgroundPicture(dir / "missing.png"), FileError);
}

TEST(BackgroundPicture, BuiltInPictureFillsThePageAndLetsTheColourThrough) {
    const Picture& picture = builtInBackgroundPicture();
    ASSERT_EQ(picture.width, 1920u);
    ASSERT_EQ(picture.height, 1080u);
    ASSERT_EQ(picture.pixels.size(), 1920u * 1080u);
    // Translucent everywhere: the menu background colour always shows.
    std::uint32_t maxAlpha = 0;
    for (const std::uint32_t pixel : picture.pixels)
        maxAlpha = std::max(maxAlpha, pixel >> 24);
    EXPECT_LT(maxAlpha, 255u);
    EXPECT_GT(maxAlpha, 0u);
}

}  // namespace
}  // namespace lumora
