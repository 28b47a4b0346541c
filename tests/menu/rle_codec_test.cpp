#include <gtest/gtest.h>

#include <random>

#include "menu/rle_codec.h"
#include "menu_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

Bytes line(std::initializer_list<std::uint8_t> pixels) {
    return Bytes(pixels);
}

TEST(RleEncode, CodeExamples) {
    const struct {
        Bytes pixels;
        const char* code;
    } cases[] = {
        {Bytes(10, 5), "00 8A 05 00 00"},
        {Bytes(100, 0), "00 40 64 00 00"},
        {line({1, 1, 2}), "01 01 02 00 00"},
        {line({0}), "00 01 00 00"},           // colour 0 always takes the escape
        {line({9, 9, 9}), "00 83 09 00 00"},  // three pixels are a run
        {Bytes(64, 3), "00 C0 40 03 00 00"},
        {Bytes(16383, 0), "00 7F FF 00 00"},
        // Too long for 14 bits: split, the rest as literals.
        {Bytes(16385, 7), "00 FF FF 07 07 07 00 00"},
        {Bytes(16384, 0), "00 7F FF 00 01 00 00"},
    };
    for (const auto& c : cases) {
        const auto width = static_cast<std::uint32_t>(c.pixels.size());
        EXPECT_EQ(encodeRle(c.pixels.data(), width, 1), test::hexBytes(c.code)) << c.code;
        // And back.
        Bytes decoded(c.pixels.size(), 0);
        decodeRle(test::hexBytes(c.code), width, 1, decoded.data());
        EXPECT_EQ(decoded, c.pixels) << c.code;
    }
}

TEST(RleEncode, BitmapWithoutPixelsGivesNoBytes) {
    const Bytes none;
    EXPECT_TRUE(encodeRle(none.data(), 0, 5).empty());
    EXPECT_TRUE(encodeRle(none.data(), 5, 0).empty());
}

TEST(RleDecode, Rules) {
    const struct {
        const char* what;
        std::uint32_t width, height;
        const char* code;
        const char* pixels;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> shortLines;
    } cases[] = {
        {"short line", 4, 1, "05 05 00 00", "05 05 00 00", {{2, 0}}},
        {"run of length 0 fills the line", 4, 2, "01 00 80 07 02", "01 07 07 07 02 00 00 00", {}},
        {"run of 0s of length 0", 3, 2, "01 00 40 00 02", "01 00 00 02 00 00", {}},
        {"run past the line is cut and ends it", 3, 2, "00 85 04 09", "04 04 04 09 00 00", {}},
        {"literals past the line are dropped", 2, 2, "01 02 03 04 00 00 05", "01 02 05 00", {}},
        {"lines below the bitmap are not written", 2, 1, "01 01 00 00 02 02 00 00", "01 01", {}},
        {"bytes past the end read as 0", 3, 1, "00 C0", "00 00 00", {}},
        {"long run with colour", 5, 1, "00 C0 03 09 00 00", "09 09 09 00 00", {{3, 0}}},
        {"end of line right after a full line",
         2,
         2,
         "03 03 00 00 04 00 00",
         "03 03 04 00",
         {{1, 1}}},
    };
    for (const auto& c : cases) {
        Bytes bitmap(std::size_t{c.width} * c.height, 0);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> notices;
        decodeRle(test::hexBytes(c.code), c.width, c.height, bitmap.data(),
                  [&](std::uint32_t x, std::uint32_t l) { notices.emplace_back(x, l); });
        EXPECT_EQ(bitmap, test::hexBytes(c.pixels)) << c.what;
        EXPECT_EQ(notices, c.shortLines) << c.what;
    }
}

TEST(RleDecode, ShortLineIsLogged) {
    TIGMenu menu;
    menu.resource = MenuResource(test::hexBytes("05 05 00 00"));
    TIGobject object;
    object.filled = true;
    object.width = 4;
    object.height = 1;
    object.dataLength = 4;
    object.fragments = {{0, 3, 0, 4}};
    menu.objects = {object};
    RecordingSink sink;
    Reporter reporter(sink);
    rle_decode(menu, 0, &reporter);
    ASSERT_TRUE(menu.objects[0].bitmap);
    EXPECT_EQ(*menu.objects[0].bitmap, test::hexBytes("05 05 00 00"));
    EXPECT_EQ(sink.texts(), std::vector<std::string>{" 2,0"});
}

// Bitmaps of runs of random lengths (some beyond one code's reach) and
// colours, 0 and literals mixed.
Bytes randomBitmap(std::mt19937& random, std::uint32_t width, std::uint32_t height) {
    Bytes bitmap(std::size_t{width} * height);
    std::size_t i = 0;
    while (i < bitmap.size()) {
        const std::uint32_t kind = random() % 4;
        const std::size_t run = kind == 0   ? 1 + random() % 3
                                : kind == 3 ? 1 + random() % 20000
                                            : 1 + random() % 100;
        const auto colour = static_cast<std::uint8_t>(random() % 2 ? 0 : random() % 256);
        for (std::size_t k = 0; k < run && i < bitmap.size(); ++k)
            bitmap[i++] = colour;
    }
    return bitmap;
}

TEST(RleCodec, DecodeOfEncodeGivesTheBitmapBack) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 60; ++round) {
        const std::uint32_t width = round == 0 ? 40000 : 1 + random() % 700;
        const std::uint32_t height = 1 + random() % 40;
        const Bytes bitmap = randomBitmap(random, width, height);
        const Bytes code = encodeRle(bitmap.data(), width, height);
        Bytes decoded(bitmap.size(), 0);
        int shortLines = 0;
        decodeRle(code, width, height, decoded.data(),
                  [&](std::uint32_t, std::uint32_t) { ++shortLines; });
        ASSERT_EQ(decoded, bitmap) << "round " << round;
        EXPECT_EQ(shortLines, 0);
        EXPECT_EQ(encodeRle(decoded.data(), width, height), code);
    }
}

// An object whose RLE data is cut into fragments at the given points and
// laid out with gaps in the menu resource, as segment headers separate them
// in a file.  With `file` the resource is that file, written first.
TIGMenu fragmentedObject(const Bytes& rle, std::vector<std::size_t> cuts, std::uint32_t width,
                         std::uint32_t height, const std::string& file = {}) {
    TIGMenu menu;
    TIGobject object;
    object.filled = true;
    object.width = static_cast<std::uint16_t>(width);
    object.height = static_cast<std::uint16_t>(height);
    object.dataLength = static_cast<std::uint32_t>(rle.size());
    cuts.push_back(rle.size());
    Bytes resource;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        resource.insert(resource.end(), 13, 0xEE);
        object.fragments.push_back({0, 0, resource.size(), static_cast<std::uint32_t>(cut - from)});
        resource.insert(resource.end(), rle.begin() + static_cast<long>(from),
                        rle.begin() + static_cast<long>(cut));
        from = cut;
    }
    if (file.empty()) {
        menu.resource = MenuResource(std::move(resource));
    } else {
        test::writeFile(file, ByteView(resource));
        menu.resource = MenuResource::openFile(file);
    }
    menu.objects = {object};
    return menu;
}

TEST(RleDecode, CodesCutByFragmentsDecodeAsJoined) {
    std::mt19937 random(99);
    for (int round = 0; round < 200; ++round) {
        const std::uint32_t width = 1 + random() % 300, height = 1 + random() % 6;
        const Bytes bitmap = randomBitmap(random, width, height);
        Bytes rle = encodeRle(bitmap.data(), width, height);
        // Damaged data too: cut short, so the last code reads zeros.
        if (round % 5 == 0) rle.resize(rle.size() - 1 - random() % 3);
        std::vector<std::size_t> cuts;
        for (std::size_t at = random() % 5; at < rle.size(); at += 1 + random() % 6)
            cuts.push_back(at);
        Bytes joined(bitmap.size(), 0);
        decodeRle(rle, width, height, joined.data());
        // Held in memory, and read from a file.
        test::TempDir dir;
        for (const std::string& file : {std::string(), dir / "resource.mnu"}) {
            TIGMenu menu = fragmentedObject(rle, cuts, width, height, file);
            ASSERT_EQ(objectRleData(menu, 0), rle);
            rle_decode(menu, 0);
            ASSERT_EQ(*menu.objects[0].bitmap, joined) << "round " << round << " " << file;
        }
        if (round % 5 != 0) {
            EXPECT_EQ(joined, bitmap);
        }
    }
}

TEST(RleDecode, DataLengthBoundsTheFragments) {
    // Fragments beyond the data length are not read; neither are positions
    // beyond the resource.
    TIGMenu menu = fragmentedObject(test::hexBytes("01 02 00 00 03 03"), {2, 4}, 4, 2);
    menu.objects[0].dataLength = 4;
    menu.objects[0].fragments.push_back({0, 0, 100000, 50});
    EXPECT_EQ(objectRleData(menu, 0), test::hexBytes("01 02 00 00"));
    rle_decode(menu, 0);
    EXPECT_EQ(*menu.objects[0].bitmap, test::hexBytes("01 02 00 00 00 00 00 00"));
}

TEST(Colours, ConversionExamples) {
    EXPECT_EQ(ycrcbToRgb(235, 128, 128), 0xFFFFFFu);
    EXPECT_EQ(rgbToYcrcb(0, 0, 0), (TYCrCb{16, 128, 128}));
    EXPECT_EQ(rgbToYcrcb(255, 0, 0), (TYCrCb{82, 240, 91}));
    EXPECT_EQ(ycrcbToRgb(82, 240, 91), 255u + 0u * 256 + 2u * 65536);
    EXPECT_EQ(ycrcbToRgb(16, 128, 128), 0u);
    // Out-of-range channels are clamped: Y 255 with Cr 255 is above 255 red,
    // Y 0 below 0.
    EXPECT_EQ(ycrcbToRgb(255, 255, 128) & 0xFF, 255u);
    EXPECT_EQ(ycrcbToRgb(0, 128, 128), 0u);
    EXPECT_EQ(rgbToYcrcb(255, 255, 255), (TYCrCb{235, 128, 128}));
    EXPECT_EQ(paletteColour({82, 240, 91}, 77), (TRGBA{255, 0, 2, 77}));
}

TIGMenu menuWithObject(std::uint16_t width, std::uint16_t height) {
    TIGMenu menu;
    Bytes bitmap(std::size_t{width} * height);
    for (std::size_t i = 0; i < bitmap.size(); ++i)
        bitmap[i] = static_cast<std::uint8_t>(i % 3);
    menu.objects = {bitmapObject(0, width, height, bitmap)};
    TIGpalette palette;
    palette.rgba[0] = {10, 20, 30, 0};  // transparent
    palette.rgba[1] = {255, 0, 0, 255};
    palette.rgba[2] = {0, 0, 255, 128};
    menu.palettes = {palette};
    return menu;
}

TEST(ObjectPictures, PaletteColoursAndTransparency) {
    TIGMenu menu = menuWithObject(3, 1);
    const auto picture = Obj2Pic(menu, 0, 0);
    ASSERT_EQ(picture->width, 3u);
    EXPECT_EQ(picture->pixels[0] >> 24, 0u) << "entry 0 with T = 0 is fully transparent";
    EXPECT_EQ(picture->pixels[1], 0xFF0000FFu);
    EXPECT_EQ(picture->pixels[2], 0x80FF0000u);
    // Kept in the cache until the object changes.
    EXPECT_EQ(Obj2Pic(menu, 0, 0), picture);
    dropObjectPictures(menu, 0);
    EXPECT_NE(Obj2Pic(menu, 0, 0), picture);
    // A palette outside the table draws nothing.
    EXPECT_EQ(Obj2Pic(menu, 0, 7)->pixels, std::vector<std::uint32_t>(3, 0));
    EXPECT_TRUE(Obj2Pic(menu, 5, 0)->empty());
}

TEST(ObjectPictures, CroppedPictureIsTheRectangle) {
    TIGMenu menu = menuWithObject(100, 50);
    const auto whole = Obj2Pic(menu, 0, 0);
    const Picture part = Obj2PicCr(menu, 0, 0, 10, 5, 30, 15);
    ASSERT_EQ(part.width, 20u);
    ASSERT_EQ(part.height, 10u);
    for (std::uint32_t y = 0; y < 10; ++y) {
        for (std::uint32_t x = 0; x < 20; ++x)
            ASSERT_EQ(part.pixels[y * 20 + x], whole->pixels[(y + 5) * 100 + x + 10]);
    }
    // A rectangle reaching past the object keeps only what lies inside it.
    const Picture edge = Obj2PicCr(menu, 0, 0, 90, 40, 65535, 65535);
    EXPECT_EQ(edge.width, 10u);
    EXPECT_EQ(edge.height, 10u);
    EXPECT_TRUE(Obj2PicCr(menu, 0, 0, 200, 0, 300, 10).empty());
}

TEST(ObjectPictures, StatusNoticeWhileDecoding) {
    TIGMenu menu = menuWithObject(4, 4);
    menu.objects[0].bitmap.reset();
    menu.objects[0].dataLength = 0;
    RecordingSink sink;
    Reporter reporter(sink);
    Obj2Pic(menu, 0, 0, &reporter);
    EXPECT_EQ(sink.panel[0], "Ready.");
    ASSERT_TRUE(menu.objects[0].bitmap);
    EXPECT_EQ(*menu.objects[0].bitmap, Bytes(16, 0));
}

}  // namespace
}  // namespace lumora
