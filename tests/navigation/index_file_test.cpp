#include "navigation/index_file.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// A small index: First Playback off, Top Menu on object 0, two titles (HDMV
// object 1 with access type 1, BD-J "00000").
const std::string kSmallIndex = std::string(
                                    "494E4458 30323030 0000004E 00000000"
                                    "000000000000000000000000000000000000000000000000"
                                    "00000022 0061 4C756D6F7261") +
                                std::string(52, '0') +
                                "00000032"
                                "40000000 0000 FFFF 00000000"
                                "40000000 4000 0000 00000000"
                                "0002"
                                "50000000 0000 0001 00000000"
                                "80000000 4000 3030303030 00";

TINDX titlesIndex(std::size_t titles) {
    TINDX index;
    for (std::size_t i = 0; i < titles; ++i)
        insertTitle(index, static_cast<int>(i) - 1);
    for (std::size_t i = 0; i < titles; ++i)
        index.indexes.titles[i].objectId = static_cast<std::uint16_t>(i);
    return index;
}

TEST(IndexFile, ReadsFixtures) {
    Bytes tooMany = indexBytes(titlesIndex(1));
    tooMany[78 + 28] = 0x03;  // 0x03E9 = 1001 titles
    tooMany[78 + 29] = 0xE9;
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        std::size_t titles;
        const char* message;
    } cases[] = {
        {"valid", hexBytes(kSmallIndex), ReadStatus::Good, 2, ""},
        {"one byte short",
         [] {
             Bytes b = hexBytes(kSmallIndex);
             b.pop_back();
             return b;
         }(),
         ReadStatus::Truncated, 1,
         "index.bdmv: title 2 runs past the end of the file at $00000078"},
        {"two titles short",
         [] {
             Bytes b = hexBytes(kSmallIndex);
             b.resize(b.size() - 24);
             return b;
         }(),
         ReadStatus::Truncated, 0,
         "index.bdmv: title 1 runs past the end of the file at $0000006C"},
        {"count too large", tooMany, ReadStatus::TooManyTitles, 0,
         "Error in index.bdmv (number of title: 1001)"},
        {"bad magic",
         [] {
             Bytes b = hexBytes(kSmallIndex);
             b[0] = 'X';
             return b;
         }(),
         ReadStatus::BadFormat, 0, "index.bdmv format error at $00000008"},
        {"bad version",
         [] {
             Bytes b = hexBytes(kSmallIndex);
             b[5] = '3';
             return b;
         }(),
         ReadStatus::BadFormat, 0, "index.bdmv format error at $00000008"},
        {"cut in the header", hexBytes("494E4458 303230"), ReadStatus::BadFormat, 0,
         "index.bdmv format error at $00000007"},
        {"cut in AppInfoBDMV", hexBytes("494E4458 30323030 0000004E 00000000 0000"),
         ReadStatus::Truncated, 0,
         "index.bdmv: AppInfoBDMV() runs past the end of the file at $00000010"},
    };
    for (const auto& c : cases) {
        TINDX index;
        index.contentProvider = "untouched";
        const ReadOutcome outcome = parseIndex(c.bytes, "index.bdmv", index);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        if (c.status == ReadStatus::BadFormat || c.status == ReadStatus::TooManyTitles) {
            EXPECT_EQ(index.contentProvider, "untouched") << c.name;  // the model stays as it was
        } else {
            EXPECT_EQ(index.indexes.titles.size(), c.titles) << c.name;
        }
    }
}

TEST(IndexFile, FieldsOfTheSmallIndex) {
    TINDX index;
    ASSERT_TRUE(parseIndex(hexBytes(kSmallIndex), "index.bdmv", index).good());
    EXPECT_EQ(index.videoFormat, 6);
    EXPECT_EQ(index.frameRate, 1);
    EXPECT_EQ(index.contentProvider, "Lumora");
    EXPECT_EQ(index.indexes.firstPlayback.objectId, kNoObject);
    EXPECT_EQ(index.indexes.topMenu.playbackType, 1);
    const auto& titles = index.indexes.titles;
    EXPECT_EQ(titleRowCells(titles[0]),
              (std::array<std::string, 5>{"001", "HDMV", "Permitted", "Movie", "1"}));
    EXPECT_EQ(titles[0].accessType, 1);  // shown as "Permitted", kept as 1
    EXPECT_EQ(titleRowCells(titles[1]),
              (std::array<std::string, 5>{"002", "BD-J", "Permitted", "Interactive", "00000"}));
    EXPECT_EQ(titlesLabel(index), "2 + 1 titles");
    EXPECT_EQ(indexBytes(index), hexBytes(kSmallIndex));
}

TEST(IndexFile, RealFilesRoundTripByteForByte) {
    LUMORA_REQUIRE_SAMPLES();
    const struct {
        const char* file;
        std::size_t titles;
        const char* label;
    } cases[] = {{"bigbuckbunny/BDMV/index.bdmv", 1, "1 + 2 titles"},
                 {"feature-disc/BDMV/index.bdmv", 9, "9 + 2 titles"},
                 {"bdj-disc/BDMV/index.bdmv", 2, "2 + 2 titles"}};
    for (const auto& c : cases) {
        const Bytes data = readFileBytes(test::samplesDir() + "/" + c.file);
        TINDX index;
        ASSERT_TRUE(parseIndex(data, "index.bdmv", index).good()) << c.file;
        EXPECT_EQ(index.indexes.titles.size(), c.titles) << c.file;
        EXPECT_EQ(titlesLabel(index), c.label) << c.file;
        EXPECT_EQ(indexBytes(index), data) << c.file;
    }
}

TEST(IndexFile, NineHundredNinetyNineTitlesAreRead) {
    const Bytes data = indexBytes(titlesIndex(999));
    TINDX index;
    EXPECT_TRUE(parseIndex(data, "index.bdmv", index).good());
    EXPECT_EQ(index.indexes.titles.size(), 999u);
    EXPECT_EQ(index.indexes.titles.back().titleNumber, 999);
}

TEST(IndexFile, UnknownVideoFormatIsKept) {
    TINDX index;
    index.videoFormat = 9;
    index.frameRate = 15;
    TINDX read;
    ASSERT_TRUE(parseIndex(indexBytes(index), "index.bdmv", read).good());
    EXPECT_EQ(read.videoFormat, 9);
    EXPECT_EQ(read.frameRate, 15);
    EXPECT_EQ(videoFormatTexts().size(), 8u);  // no list item for 9
}

TEST(IndexFile, TitleInsertMovesLengthsAndExtensionData) {
    TINDX index;
    ASSERT_TRUE(parseIndex(hexBytes(kSmallIndex), "index.bdmv", index).good());
    TExtensionData block;
    const Bytes blockBytes =
        hexBytes("00000018 00000018 000000 01 0002 0001 00000018 00000004 DEADBEEF");
    ByteReader reader(blockBytes);
    ASSERT_TRUE(readExtensionData(reader, block));
    setIndexExtensionData(index, block);
    EXPECT_EQ(index.extensionDataStart, 78u + 0x32 + 4);

    EXPECT_EQ(insertTitle(index, 0), 1u);  // after the first title
    EXPECT_EQ(index.indexes.length, 0x32u + 12);
    EXPECT_EQ(index.extensionDataStart, 78u + 0x32 + 4 + 12);
    ASSERT_EQ(index.indexes.titles.size(), 3u);
    EXPECT_EQ(index.indexes.titles[1].titleNumber, 2);
    EXPECT_EQ(index.indexes.titles[1].objectId, 0);
    EXPECT_EQ(index.indexes.titles[2].titleNumber, 3);  // the BD-J title moved down
    EXPECT_EQ(index.indexes.titles[2].bdjName, "00000");

    // The saved file has the block right after the last title and reads back.
    const Bytes saved = indexBytes(index);
    EXPECT_EQ(saved.size(), 78u + 4 + 0x32 + 12 + 28);
    TINDX again;
    ASSERT_TRUE(parseIndex(saved, "index.bdmv", again).good());
    EXPECT_EQ(again, index);
    EXPECT_EQ(insertTitle(again, -1), 0u);  // at the front
    EXPECT_EQ(again.indexes.titles[1].titleNumber, 2);
}

TEST(IndexFile, TitleDeleteRenumbersAndShrinks) {
    TINDX index = titlesIndex(6);
    const std::uint32_t length = index.indexes.length;
    deleteTitles(index, 1, 3);  // titles 2..4
    ASSERT_EQ(index.indexes.titles.size(), 3u);
    EXPECT_EQ(index.indexes.titles[0].objectId, 0);  // the old 1, 5 and 6
    EXPECT_EQ(index.indexes.titles[1].objectId, 4);
    EXPECT_EQ(index.indexes.titles[2].objectId, 5);
    EXPECT_EQ(index.indexes.titles[2].titleNumber, 3);
    EXPECT_EQ(index.indexes.length, length - 36);
    deleteTitles(index, 0, 10);  // a range past the end stops at the last title
    EXPECT_TRUE(index.indexes.titles.empty());
    EXPECT_EQ(index.indexes.length, 26u);
}

TEST(IndexFile, EntriesSwitchedOffSayNoObject) {
    TINDX index;
    index.indexes.firstPlayback.objectType = kBdjObject;
    index.indexes.firstPlayback.bdjName = "00001";
    setEntryOn(index.indexes.firstPlayback, false, 0);
    // A BD-J entry cannot say "none" in the file: switched off it becomes an
    // HDMV entry without object, and stays off after a save and a read.
    TINDX read;
    ASSERT_TRUE(parseIndex(indexBytes(index), "index.bdmv", read).good());
    EXPECT_EQ(read.indexes.firstPlayback.objectId, kNoObject);
    EXPECT_EQ(titlesLabel(read), "0 titles");
    setEntryOn(index.indexes.topMenu, true, 3);
    EXPECT_EQ(index.indexes.topMenu.objectId, 3);
    EXPECT_EQ(titlesLabel(index), "0 + 1 titles");
}

TEST(IndexFile, ReadAndSaveReport) {
    test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    test::writeFile(folder + "index.bdmv", hexBytes(kSmallIndex));
    RecordingSink sink;
    Reporter reporter(sink);
    TINDX index;
    EXPECT_TRUE(readIndexFile(folder + "index.bdmv", "index.bdmv", index, reporter).good());
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{" Reading index.bdmv",
                                                      "   Found 2 titles, 0 extended entry."}));
    insertTitle(index, 1);
    EXPECT_TRUE(saveIndexFile(folder, "index.bdmv", index, reporter, BackupOptions{}));
    EXPECT_EQ(sink.texts().back(), " index.bdmv saved.");
    EXPECT_EQ(test::readFile(folder + "index.bdmv.backup"), hexBytes(kSmallIndex));
    TINDX again;
    EXPECT_TRUE(readIndexFile(folder + "index.bdmv", "index.bdmv", again, reporter).good());
    EXPECT_EQ(again.indexes.titles.size(), 3u);

    // Stop if exists: a backup is there, nothing is written.
    BackupOptions stop{true, BackupMode::StopIfExists, false};
    EXPECT_FALSE(saveIndexFile(folder, "index.bdmv", TINDX{}, reporter, stop));
    EXPECT_EQ(test::readFile(folder + "index.bdmv"), indexBytes(again));

    test::writeFile(folder + "index.bdmv", hexBytes("58585858"));
    EXPECT_EQ(readIndexFile(folder + "index.bdmv", "index.bdmv", again, reporter).status,
              ReadStatus::BadFormat);
    EXPECT_EQ(sink.texts().back(), " ERROR: index.bdmv format error at $00000004");
}

TEST(IndexFile, AccessTypeItems) {
    const struct {
        std::uint8_t type;
        int item;
        const char* text;
    } cases[] = {
        {0, 0, "Permitted"}, {1, 0, "Permitted"}, {2, 1, "Prohibited1"}, {3, 2, "Prohibited2"}};
    for (const auto& c : cases) {
        EXPECT_EQ(itemForAccessType(c.type), c.item);
        EXPECT_EQ(accessTypeText(c.type), c.text);
    }
    EXPECT_EQ(accessTypeForItem(0), 0);
    EXPECT_EQ(accessTypeForItem(1), 2);
    EXPECT_EQ(accessTypeForItem(2), 3);
}

}  // namespace
}  // namespace lumora
