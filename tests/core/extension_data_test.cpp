#include "core/extension_data.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "core/text.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// One "PIP metadata" entry of 8 bytes, then 4 bytes of padding.
constexpr const char* kOneEntry =
    "00000020 00000018 000000 01 0001 0001 00000018 00000008 4142434445464748 00000000";

TEST(ExtensionData, ReadsFixtures) {
    const struct {
        const char* name;
        std::string bytes;
        bool ok;
        std::size_t entries;
        std::size_t dataBytes;
        std::size_t overrunAt;
    } cases[] = {
        {"valid", kOneEntry, true, 1, 12, 0},
        {"no block", "00000000", true, 0, 0, 0},
        {"cut inside the entry", "00000020 00000018 000000 01 0001 0001 0000", false, 0, 0, 12},
        {"one byte short of the entry", "00000020 00000018 000000 01 0001000100000018000000", false,
         0, 0, 12},
        {"count beyond the data", "00000020 00000018 000000 05 0001 0001 00000018 00000008 41",
         false, 1, 0, 24},
        {"length field cut", "0000", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const Bytes data = hexBytes(c.bytes);
        ByteReader reader(data);
        TExtensionData block;
        EXPECT_EQ(readExtensionData(reader, block), c.ok) << c.name;
        EXPECT_EQ(block.entries.size(), c.entries) << c.name;
        EXPECT_EQ(block.dataBlock.size(), c.dataBytes) << c.name;
        if (!c.ok) {
            EXPECT_EQ(reader.overrunOffset(), c.overrunAt) << c.name;
        }
    }
}

TEST(ExtensionData, WritesTheBlockBackWithReservedBitsZero) {
    Bytes data = hexBytes(kOneEntry);
    data[8] = 0x7F;  // reserved bits set in the file
    ByteReader reader(data);
    TExtensionData block;
    ASSERT_TRUE(readExtensionData(reader, block));
    EXPECT_EQ(block.length, 0x20u);
    EXPECT_EQ(block.dataBlockStartAddress, 0x18u);
    EXPECT_EQ(block.entries[0], (TExtensionDataEntry{1, 1, 0x18, 8}));
    EXPECT_EQ(extensionDataBytes(block), hexBytes(kOneEntry));  // padding kept
    EXPECT_EQ(extensionDataBytes(TExtensionData{}), hexBytes("00000000"));
}

TEST(ExtensionData, SummaryTexts) {
    TExtensionData block;
    EXPECT_EQ(extensionDataSummary(block), "no ExtensionData()");
    EXPECT_EQ(extensionDataDialogSummary(block), "None");
    block.length = 52;
    EXPECT_EQ(extensionDataSummary(block), "no ExtensionData()");  // the label counts entries
    EXPECT_EQ(extensionDataDialogSummary(block), "56 bytes, 0 entry");
    block.entries.resize(1);
    EXPECT_EQ(extensionDataSummary(block), "1 entry, 56 bytes");
    EXPECT_EQ(extensionDataDialogSummary(block), "56 bytes, 1 entry");
    block.entries.resize(3);
    EXPECT_EQ(extensionDataSummary(block), "3 entries, 56 bytes");
    EXPECT_EQ(extensionDataDialogSummary(block), "56 bytes, 3 entries");
}

TEST(ExtensionData, EntryNames) {
    const struct {
        std::uint16_t id1, id2;
        const char* name;
    } cases[] = {{1, 1, "PIP metadata"},
                 {1, 2, "HDMV LPCM down mix coefficient"},
                 {1, 3, ""},
                 {2, 1, "STN table SS"},
                 {2, 2, "SubPath entries extension"},
                 {2, 3, "Active video window"},
                 {2, 4, "Extent Start Point"},
                 {2, 5, "ProgramInfo SS"},
                 {2, 6, "CPI SS"},
                 {2, 7, ""},
                 {0, 1, ""},
                 {3, 1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(extensionEntryName(c.id1, c.id2), c.name) << c.id1 << "/" << c.id2;
}

TEST(ExtensionData, HexDumpOfAnEntry) {
    const Bytes data = hexBytes(kOneEntry);
    ByteReader reader(data);
    TExtensionData block;
    ASSERT_TRUE(readExtensionData(reader, block));
    const auto lines = extensionEntryHexDump(block, 0);
    ASSERT_EQ(lines.size(), 1u);
    const std::string expected =
        " 0018 41 42 43 44 45 46 47 48" + std::string(24 * 3, ' ') + " ABCDEFGH";
    EXPECT_EQ(lines[0].text, expected);
    EXPECT_EQ(lines[0].text.substr(lines[0].addressStart, lines[0].addressLength), "0018");
    EXPECT_EQ(lines[0].text.substr(lines[0].charsStart, lines[0].charsLength), "ABCDEFGH");

    // 40 bytes of control characters over two lines; the second line's address
    // moves by 32.
    block.entries[0].length = 40;
    block.dataBlock.assign(40, 0x01);
    const auto two = extensionEntryHexDump(block, 0);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1].text.substr(0, 5), " 0038");
    EXPECT_EQ(two[1].text.substr(two[1].charsStart), "........");

    // An empty entry shows its address only; an entry pointing outside the
    // data block shows what is not there as "--".
    block.entries[0].length = 0;
    EXPECT_EQ(extensionEntryHexDump(block, 0)[0].text, " 0018" + std::string(96, ' ') + " ");
    block.entries[0] = {1, 1, 0x10, 2};
    EXPECT_EQ(extensionEntryHexDump(block, 0)[0].text.substr(0, 11), " 0010 -- --");
    EXPECT_TRUE(extensionEntryHexDump(block, 5).empty());
}

TEST(ExtensionData, RawBlockFileRoundTrip) {
    test::TempDir dir;
    Bytes data = hexBytes(kOneEntry);
    data.insert(data.end(), 8, 0xEE);  // more file after the block's length
    ByteReader reader(data);
    TExtensionData block;
    ASSERT_TRUE(readExtensionData(reader, block));
    ASSERT_EQ(block.dataBlock.size(), 20u);

    const std::string path = dir / "block.exd";
    saveExtensionDataFile(path, block);
    // The file holds exactly length + 4 bytes: the data beyond is not written.
    EXPECT_EQ(test::readFile(path), hexBytes(kOneEntry));

    TExtensionData loaded;
    ASSERT_TRUE(loadExtensionDataFile(path, loaded));
    EXPECT_EQ(loaded.entries, block.entries);
    EXPECT_EQ(loaded.dataBlock, hexBytes("4142434445464748 00000000"));

    // A length too small for its own entries writes no data instead of
    // running backwards.
    block.length = 4;
    EXPECT_EQ(extensionDataFileBytes(block).size(), 24u);
}

TEST(ExtensionData, TruncatedRawFileLeavesTheBlockAsItWas) {
    test::TempDir dir;
    const std::string path = dir / "cut.exd";
    test::writeFile(path, hexBytes("00000020 00000018 000000 03 0001"));
    TExtensionData block;
    block.length = 99;
    std::string error;
    EXPECT_FALSE(loadExtensionDataFile(path, block, &error));
    EXPECT_EQ(block.length, 99u);
    EXPECT_NE(error.find("cut.exd"), std::string::npos);
    EXPECT_NE(error.find("$0000000C"), std::string::npos);
    EXPECT_THROW(loadExtensionDataFile(dir / "absent.exd", block), FileError);
}

TEST(ExtensionData, IdTypedAsHexText) {
    EXPECT_EQ(hexToNumber("1f"), 31u);
    EXPECT_EQ(hexToNumber("xyz"), 0u);
}

}  // namespace
}  // namespace lumora
