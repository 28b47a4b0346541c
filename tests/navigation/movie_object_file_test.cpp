#include "navigation/movie_object_file.h"

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// Two objects: the first resumable with one command, the second with menu
// call and title search masked and no commands.
const std::string kTwoObjects = std::string("4D4F424A 30323030 00000000") + std::string(56, '0') +
                                "0000001A 00000000 0002"
                                "8000 0001 22800000 00000001 00000000"
                                "6000 0000";

Bytes bytesWithout(const std::string& hex, std::size_t dropped) {
    Bytes b = hexBytes(hex);
    b.resize(b.size() - dropped);
    return b;
}

// Five objects with no commands, titles 1 and 2 on objects `t1` and `t2`, a
// BD-J title 3, First Playback on object 0 and Top Menu on object 3.
struct Disc {
    TMOBJ objects;
    TINDX index;
    Disc(std::uint16_t t1, std::uint16_t t2) {
        objects.objects.resize(5);
        objects.length = 6 + 5 * 4;
        for (int i = 0; i < 3; ++i)
            insertTitle(index, i - 1);
        index.indexes.titles[0].objectId = t1;
        index.indexes.titles[1].objectId = t2;
        index.indexes.titles[2].objectType = kBdjObject;
        index.indexes.titles[2].bdjName = "00007";
        index.indexes.titles[2].objectId = 0;
        index.indexes.firstPlayback.objectId = 0;
        index.indexes.topMenu.objectId = 3;
    }
};

TEST(MovieObjectFile, ReadsFixtures) {
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        std::size_t objects;
        const char* message;
    } cases[] = {
        {"valid", hexBytes(kTwoObjects), ReadStatus::Good, 2, ""},
        {"one byte short", bytesWithout(kTwoObjects, 1), ReadStatus::Truncated, 2,
         "MovieObject.bdmv: movie object 1 runs past the end of the file at $00000044"},
        {"a command short", bytesWithout(kTwoObjects, 12), ReadStatus::Truncated, 2,
         "MovieObject.bdmv: movie object 0 runs past the end of the file at $00000036"},
        {"count too large",
         [] {
             Bytes b = hexBytes(kTwoObjects);
             b[49] = 0xFF;  // 255 objects promised, 2 there
             return b;
         }(),
         ReadStatus::Truncated, 255,
         "MovieObject.bdmv: movie object 2 runs past the end of the file at $00000046"},
        {"command count too large",
         [] {
             Bytes b = hexBytes(kTwoObjects);
             b[52] = 0xFF;  // 0xFF01 commands in the first object
             b[53] = 0x01;
             return b;
         }(),
         ReadStatus::Truncated, 2,
         "MovieObject.bdmv: movie object 0 runs past the end of the file at $00000042"},
        {"bad magic",
         [] {
             Bytes b = hexBytes(kTwoObjects);
             b[1] = 'X';
             return b;
         }(),
         ReadStatus::BadFormat, 0, "Format error MovieObject.bdmv"},
        {"bad version",
         [] {
             Bytes b = hexBytes(kTwoObjects);
             b[4] = '1';
             return b;
         }(),
         ReadStatus::BadFormat, 0, "Format error MovieObject.bdmv"},
        {"empty file", Bytes{}, ReadStatus::BadFormat, 0, "Format error MovieObject.bdmv"},
    };
    for (const auto& c : cases) {
        TMOBJ file;
        file.objects.resize(7);  // a bad file leaves the model as it was
        const ReadOutcome outcome = parseMovieObjects(c.bytes, "MovieObject.bdmv", file);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(file.objects.size(), c.status == ReadStatus::BadFormat ? 7 : c.objects) << c.name;
    }
}

TEST(MovieObjectFile, FieldsAndRows) {
    TMOBJ file;
    ASSERT_TRUE(parseMovieObjects(hexBytes(kTwoObjects), "MovieObject.bdmv", file).good());
    ASSERT_EQ(file.objects.size(), 2u);
    EXPECT_EQ(movieObjectRowCells(0, file.objects[0]),
              (std::array<std::string, 5>{"000", "suspend", "enable", "enable", "1"}));
    EXPECT_EQ(movieObjectRowCells(1, file.objects[1]),
              (std::array<std::string, 5>{"001", "discard", "disable", "disable", "0"}));
    EXPECT_EQ(commandRowCells(0, file.objects[0].commands[0]),
              (std::array<std::string, 4>{"0000", "22800000", "00000001", "00000000"}));
    EXPECT_EQ(objectsLabel(file), "2 objects");
    EXPECT_EQ(movieObjectBytes(file), hexBytes(kTwoObjects));
}

TEST(MovieObjectFile, RealFilesRoundTripByteForByte) {
    LUMORA_REQUIRE_SAMPLES();
    const struct {
        const char* file;
        std::size_t objects;
        std::size_t commands;
    } cases[] = {{"bigbuckbunny/BDMV/MovieObject.bdmv", 3, 19},
                 {"feature-disc/BDMV/MovieObject.bdmv", 11, 262},
                 {"bdj-disc/BDMV/MovieObject.bdmv", 2, 2}};
    for (const auto& c : cases) {
        const Bytes data = readFileBytes(test::samplesDir() + "/" + c.file);
        TMOBJ file;
        ASSERT_TRUE(parseMovieObjects(data, "MovieObject.bdmv", file).good()) << c.file;
        EXPECT_EQ(file.objects.size(), c.objects) << c.file;
        std::size_t commands = 0;
        for (const auto& object : file.objects)
            commands += object.commands.size();
        EXPECT_EQ(commands, c.commands) << c.file;
        EXPECT_EQ(movieObjectBytes(file), data) << c.file;
    }
}

TEST(MovieObjectFile, InsertMovesTheReferencesBehindIt) {
    Disc disc(4, 1);
    EXPECT_EQ(insertMovieObject(disc.objects, disc.index, 1), 2u);  // after row 2 of 5
    EXPECT_EQ(disc.objects.objects.size(), 6u);
    EXPECT_EQ(disc.objects.length, 6u + 6 * 4);
    EXPECT_EQ(disc.index.indexes.titles[0].objectId, 5);
    EXPECT_EQ(disc.index.indexes.titles[1].objectId, 1);
    EXPECT_EQ(disc.index.indexes.titles[2].objectId, 0);  // BD-J: never touched
    EXPECT_EQ(disc.index.indexes.firstPlayback.objectId, 0);
    EXPECT_EQ(disc.index.indexes.topMenu.objectId, 4);  // follows its object too

    TMOBJ empty;
    TINDX none;
    insertTitle(none, -1);
    none.indexes.titles[0].objectId = kNoObject;
    EXPECT_EQ(insertMovieObject(empty, none, -1), 0u);
    EXPECT_EQ(none.indexes.titles[0].objectId, kNoObject);  // "none" stays none
}

TEST(MovieObjectFile, DeleteReportsTheReferencesItBreaks) {
    Disc disc(2, 4);
    disc.objects.objects[1].commands.resize(3);
    disc.objects.length += 36;
    disc.objects.extensionDataStart = 500;
    const auto invalid = deleteMovieObjects(disc.objects, disc.index, 1, 2);
    ASSERT_EQ(invalid.size(), 1u);
    EXPECT_EQ(invalid[0].entry, "Title 1");
    EXPECT_EQ(disc.index.indexes.titles[0].objectId, kNoObject);
    EXPECT_EQ(disc.index.indexes.titles[1].objectId, 2);
    EXPECT_EQ(disc.index.indexes.titles[2].objectId, 0);
    EXPECT_EQ(disc.index.indexes.topMenu.objectId, 1);
    EXPECT_EQ(disc.objects.objects.size(), 3u);
    EXPECT_EQ(disc.objects.length, 6u + 3 * 4);  // 2 objects and 3 commands less
    EXPECT_EQ(disc.objects.extensionDataStart, 500u - 8 - 36);

    // Deleting every object: every HDMV title and the entries that named an
    // object are reported; a title already without object is reported again.
    const auto all = deleteMovieObjects(disc.objects, disc.index, 0, 2);
    std::vector<std::string> entries;
    for (const auto& reference : all)
        entries.push_back(reference.entry);
    EXPECT_EQ(entries,
              (std::vector<std::string>{"Title 1", "Title 2", "First Playback", "Top Menu"}));
    EXPECT_TRUE(disc.objects.objects.empty());
    EXPECT_EQ(disc.index.indexes.titles[2].bdjName, "00007");
}

TEST(MovieObjectFile, ExtensionDataFollowsTheObjects) {
    TMOBJ file;
    ASSERT_TRUE(parseMovieObjects(hexBytes(kTwoObjects), "MovieObject.bdmv", file).good());
    const Bytes blockBytes = hexBytes("00000010 0000000C 000000 00 01020304");
    ByteReader reader(blockBytes);
    TExtensionData block;
    ASSERT_TRUE(readExtensionData(reader, block));
    setMovieObjectExtensionData(file, block);
    EXPECT_EQ(file.extensionDataStart, 0x1Au + 44);
    const Bytes saved = movieObjectBytes(file);
    TMOBJ read;
    ASSERT_TRUE(parseMovieObjects(saved, "MovieObject.bdmv", read).good());
    EXPECT_EQ(read, file);
    setMovieObjectExtensionData(file, TExtensionData{});
    EXPECT_EQ(file.extensionDataStart, 0u);
    EXPECT_EQ(movieObjectBytes(file), hexBytes(kTwoObjects));
}

TEST(MovieObjectFile, ReadReportsTheFoundLine) {
    test::TempDir dir;
    const std::string path = dir / "MovieObject.bdmv";
    test::writeFile(path, hexBytes(kTwoObjects));
    RecordingSink sink;
    Reporter reporter(sink);
    TMOBJ file;
    EXPECT_TRUE(readMovieObjectFile(path, "MovieObject.bdmv", file, reporter).good());
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{" Reading MovieObject.bdmv",
                                                      "   Found 2 objects, 0 extended entry."}));
    test::writeFile(path, bytesWithout(kTwoObjects, 4));
    EXPECT_EQ(readMovieObjectFile(path, "MovieObject.bdmv", file, reporter).status,
              ReadStatus::Truncated);
    EXPECT_TRUE(reporter.errorFlag());
    EXPECT_EQ(sink.texts().back(), "   Found 2 objects, 0 extended entry.");
}

}  // namespace
}  // namespace lumora
