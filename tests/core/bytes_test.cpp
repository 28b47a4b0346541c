#include "core/bytes.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

struct StringCase {
    const char* bytes;
    const char* text;
};

TEST(ByteReader, ReadStringCutsAtFirstZeroAndAlwaysAdvancesByWidth) {
    const StringCase cases[] = {{"4D 4F 42 4A", "MOBJ"},
                                {"41 42 00 44", "AB"},
                                {"41 42 43 00", "ABC"},
                                {"00 00 00 00", ""}};
    for (const auto& c : cases) {
        const Bytes data = hexBytes(c.bytes);
        ByteReader reader(data);
        EXPECT_EQ(reader.readstring(4), c.text) << c.bytes;
        EXPECT_EQ(reader.position(), 4u) << c.bytes;
        EXPECT_FALSE(reader.overran());
    }
}

TEST(ByteReader, IntegersAreBigEndian) {
    const Bytes data = hexBytes("FF FF 01 02 03 04 05 0A 0B 0C 12 34 56 78");
    ByteReader reader(data);
    EXPECT_EQ(reader.readword(), 65535);
    EXPECT_EQ(reader.read5byte(), 4328719365ull);
    EXPECT_EQ(reader.read3byte(), 0x0A0B0Cu);
    EXPECT_EQ(reader.readlong(), 0x12345678u);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_FALSE(reader.overran());
}

TEST(ByteReader, ReadingPastTheEndYieldsZerosAndRemembersWhere) {
    const Bytes data = hexBytes("AA BB CC");
    ByteReader reader(data, 100);
    EXPECT_EQ(reader.readword(), 0xAABB);
    EXPECT_FALSE(reader.overran());
    EXPECT_EQ(reader.readlong(), 0xCC000000u);  // the byte there, then zeros
    EXPECT_TRUE(reader.overran());
    EXPECT_EQ(reader.overrunOffset(), 102u);
    EXPECT_EQ(reader.position(), 3u);  // stays at the end
    EXPECT_EQ(reader.readbyte(), 0);
    EXPECT_EQ(reader.readstring(8), "");
    EXPECT_EQ(reader.readbytes(3), Bytes(3, 0));
    EXPECT_EQ(reader.overrunOffset(), 102u);  // the first overrun is kept
}

TEST(ByteReader, SubReaderIsBoundedAndKeepsFileOffsets) {
    const Bytes data = hexBytes("01 02 03 04 05 06");
    ByteReader reader(data);
    reader.skip(1);
    ByteReader inner = reader.sub(3);
    EXPECT_EQ(reader.position(), 4u);
    EXPECT_EQ(inner.size(), 3u);
    EXPECT_EQ(inner.fileOffset(), 1u);
    EXPECT_EQ(inner.readlong(), 0x02030400u);  // cannot see byte 05
    EXPECT_TRUE(inner.overran());
    EXPECT_EQ(inner.overrunOffset(), 1u);
    EXPECT_FALSE(reader.overran());

    ByteReader tooLong = reader.sub(10);  // only 2 bytes are left
    EXPECT_EQ(tooLong.size(), 2u);
    EXPECT_TRUE(reader.overran());
}

TEST(ByteReader, CountsAreCheckedAgainstTheBytesLeft) {
    const Bytes data(24, 0);
    ByteReader reader(data);
    reader.skip(4);
    EXPECT_TRUE(reader.fits(5, 4));
    EXPECT_FALSE(reader.fits(6, 4));
    EXPECT_FALSE(reader.fits(0xFFFFFFFFull, 12));
    EXPECT_TRUE(reader.fits(0, 12));
    reader.seek(1000);
    EXPECT_TRUE(reader.overran());
    EXPECT_TRUE(reader.atEnd());
}

TEST(ScratchBuffer, SetTextZeroPadsAndCuts) {
    const struct {
        const char* text;
        const char* bytes;
    } cases[] = {{"00001", "30 30 30 30 31"}, {"", "00 00 00 00 00"}, {"123456", "31 32 33 34 35"}};
    for (const auto& c : cases) {
        ScratchBuffer b;
        b.block(7);
        b.setbyte(0xEE, 0);
        b.setbyte(0xEE, 6);
        b.settext(c.text, 1, 5);
        EXPECT_EQ(Bytes(b.bytes().begin(), b.bytes().end()),
                  hexBytes(std::string("EE") + c.bytes + "EE"))
            << c.text;
    }
}

TEST(ScratchBuffer, PositionalAndAppendingWritersAgree) {
    ScratchBuffer positional;
    positional.block(10);
    positional.setbyte(0x1FF, 0);  // truncated to 8 bits
    positional.setword(0xABCD, 1);
    positional.setlong(0x01020304, 3);
    positional.set3byte(0x12345678, 7);

    ScratchBuffer appended;
    appended.block(10);
    appended.addbyte(0xFF);
    appended.addword(0xABCD);
    appended.addlong(0x01020304);
    appended.add3byte(0x12345678);  // the low 24 bits: 34 56 78
    EXPECT_EQ(appended.cursor(), 10u);
    EXPECT_EQ(Bytes(positional.bytes().begin(), positional.bytes().end()),
              hexBytes("FF AB CD 01 02 03 04 34 56 78"));
    EXPECT_TRUE(std::equal(positional.bytes().begin(), positional.bytes().end(),
                           appended.bytes().begin(), appended.bytes().end()));
}

TEST(ScratchBuffer, ShrinkingLeavesNoStaleByteInTheNextBlock) {
    ScratchBuffer b;
    b.block(78);
    for (std::size_t i = 0; i < 78; ++i)
        b.setbyte(0xAA, i);
    b.block(30);
    b.setword(0x1234, 0);
    const ByteView block = b.first(30);
    ASSERT_EQ(block.size(), 30u);
    EXPECT_EQ(block[0], 0x12);
    EXPECT_TRUE(std::all_of(block.begin() + 2, block.end(), [](std::uint8_t v) { return v == 0; }));
}

TEST(ScratchBuffer, WritesBeyondTheBlockGrowItInsteadOfOverrunning) {
    ScratchBuffer b;
    b.block(2);
    b.setlong(0xDEADBEEF, 4);
    EXPECT_EQ(b.length(), 8u);
    EXPECT_EQ(Bytes(b.bytes().begin(), b.bytes().end()), hexBytes("00 00 00 00 DE AD BE EF"));
}

}  // namespace
}  // namespace lumora
