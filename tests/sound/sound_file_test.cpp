#include "sound/sound_file.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/file_io.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// Two entries: 3 mono samples (6 bytes, then 2 bytes of padding) and one
// stereo frame at start 8.  The index ends at 66, where the sound data starts.
const std::string kTwoEntries =
    "42434C4B 30323030 00000042 00000000"
    "000000000000000000000000000000000000000000000000"
    "00000016 00 02"
    "11 40 00000000 00000006"
    "31 40 00000008 00000004"
    "0001 0002 0003 0000"
    "7FFF 8000";

Bytes fixture(const std::function<void(Bytes&)>& change = {}) {
    Bytes bytes = hexBytes(kTwoEntries);
    if (change) change(bytes);
    return bytes;
}

void setLong(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

TSoundEntries entryOf(std::uint8_t channels, std::size_t bytes, std::uint8_t fill = 0x11) {
    TSoundEntries entry;
    entry.channelConfiguration = channels;
    entry.data.assign(bytes, fill);
    entry.length = static_cast<std::uint32_t>(bytes);
    return entry;
}

TSND soundWith(std::initializer_list<std::size_t> sizes) {
    TSND sound = newSound();
    for (const std::size_t size : sizes) {
        EXPECT_TRUE(insertSoundEntry(
            sound, static_cast<int>(sound.index.entries.size()) - 1,
            entryOf(kSoundStereo, size, static_cast<std::uint8_t>(sound.index.entries.size()))));
    }
    return sound;
}

TEST(SoundFile, ReadsFixtures) {
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        std::size_t entries;
        const char* message;
    } cases[] = {
        {"valid", fixture(), ReadStatus::Good, 2, ""},
        {"one byte short", fixture([](Bytes& b) { b.pop_back(); }), ReadStatus::Truncated, 2,
         "sound.bdmv: data of sound entry 1 runs past the end of the file at $0000004A"},
        {"count too large", fixture([](Bytes& b) { b[45] = 0xFF; }), ReadStatus::Truncated, 3,
         "sound.bdmv: sound entry 3 runs past the end of the file at $0000004C"},
        {"bad magic", fixture([](Bytes& b) { b[3] = 'X'; }), ReadStatus::BadFormat, 0,
         "sound.bdmv format error at $00000008"},
        {"bad version", fixture([](Bytes& b) { b[5] = '3'; }), ReadStatus::BadFormat, 0,
         "sound.bdmv format error at $00000008"},
        {"version 0100", fixture([](Bytes& b) { b[5] = '1'; }), ReadStatus::Good, 2, ""},
        {"cut in the header", hexBytes("42434C4B 30323030 0000"), ReadStatus::Truncated, 0,
         "sound.bdmv: header runs past the end of the file at $00000008"},
        {"cut in the index", fixture([](Bytes& b) { b.resize(44); }), ReadStatus::Truncated, 0,
         "sound.bdmv: SoundIndex() runs past the end of the file at $0000002C"},
        {"entry start past the end", fixture([](Bytes& b) { setLong(b, 58, 0x00100000); }),
         ReadStatus::Truncated, 2,
         "sound.bdmv: data of sound entry 1 runs past the end of the file at $00100042"},
        {"start and length that overflow", fixture([](Bytes& b) {
             setLong(b, 58, 0xFFFFFFFF);
             setLong(b, 62, 0xFFFFFFFF);
         }),
         ReadStatus::Truncated, 2,
         "sound.bdmv: data of sound entry 1 runs past the end of the file at $100000041"},
        {"sound data start past the end", fixture([](Bytes& b) { setLong(b, 8, 0xFFFFFFF0); }),
         ReadStatus::Truncated, 2,
         "sound.bdmv: sound data start address runs past the end of the file at $FFFFFFF0"},
        {"ExtensionData() past the end", fixture([](Bytes& b) { setLong(b, 12, 0x1000); }),
         ReadStatus::Truncated, 2,
         "sound.bdmv: ExtensionData() runs past the end of the file at $00001000"},
    };
    for (const auto& c : cases) {
        TSND sound = soundWith({4});
        const ReadOutcome outcome = parseSound(c.bytes, "sound.bdmv", sound);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(sound.index.entries.size(), c.entries) << c.name;
        for (const auto& entry : sound.index.entries)
            EXPECT_LE(entry.data.size(), c.bytes.size()) << c.name;  // sized by what is there
    }
}

// Every byte of the fixture changed to a few telling values, and the fixture
// cut at every length: the reader reads within the bytes, and whatever model
// it leaves, the writer makes a file that reads back cleanly.
TEST(SoundFile, DamagedFilesReadSafelyAndWriteConsistently) {
    std::vector<Bytes> damaged;
    const Bytes whole = fixture();
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (const std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            Bytes bytes = whole;
            bytes[at] = value;
            damaged.push_back(bytes);
        }
        damaged.emplace_back(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at));
    }
    for (const Bytes& bytes : damaged) {
        TSND sound;
        const ReadOutcome outcome = parseSound(bytes, "sound.bdmv", sound);
        if (outcome.status == ReadStatus::BadFormat) continue;
        EXPECT_EQ(outcome.good(), outcome.message.empty());
        TSND again;
        EXPECT_TRUE(parseSound(soundBytes(sound), "sound.bdmv", again).good()) << outcome.message;
        EXPECT_EQ(again.index.entries.size(), sound.index.entries.size());
    }
}

TEST(SoundFile, FieldsOfTheFixture) {
    TSND sound;
    ASSERT_TRUE(parseSound(fixture(), "sound.bdmv", sound).good());
    EXPECT_EQ(sound.soundDataStart, 66u);
    EXPECT_EQ(sound.index.length, 22u);
    const auto& entries = sound.index.entries;
    EXPECT_EQ(soundRowCells(0, entries[0]),
              (std::vector<std::string>{"000", "Mono", "48kHz", "16", "0 s"}));
    EXPECT_EQ(soundRowCells(1, entries[1]),
              (std::vector<std::string>{"001", "Stereo", "48kHz", "16", "0 s"}));
    EXPECT_EQ(entries[0].data, hexBytes("0001 0002 0003"));
    EXPECT_EQ(entries[1].start, 8u);
    EXPECT_EQ(entries[1].data, hexBytes("7FFF 8000"));
    EXPECT_EQ(soundEntryInfo(sound, 1, ","),
              "Data start: 00000008 (8)  Length: 00000004 (4)  Total data length: 0000000C(12)");
    EXPECT_EQ(soundEntryInfo(sound, 2, ","), "");
    EXPECT_EQ(soundBytes(sound), fixture());
}

TEST(SoundFile, BadFormatLeavesNoEntriesAndTheTextsAsRead) {
    TSND sound = soundWith({4, 8});
    EXPECT_EQ(parseSound(fixture([](Bytes& b) { b[7] = '9'; }), "sound.bdmv", sound).status,
              ReadStatus::BadFormat);
    EXPECT_TRUE(sound.index.entries.empty());
    EXPECT_EQ(sound.version, "0209");
}

TEST(SoundFile, RealFileRoundTripsByteForByte) {
    LUMORA_REQUIRE_SAMPLES();
    const Bytes data = readFileBytes(test::samplesDir() + "/files/sound.bdmv");
    TSND sound;
    ASSERT_TRUE(parseSound(data, "sound.bdmv", sound).good());
    ASSERT_EQ(sound.index.entries.size(), 1u);
    EXPECT_EQ(soundRowCells(0, sound.index.entries[0]),
              (std::vector<std::string>{"000", "Stereo", "48kHz", "16", "1.79 s"}));
    EXPECT_EQ(soundEntryInfo(sound, 0, "."),
              "Data start: 00000000 (0)  Length: 0005417C (344.444)  Total data length: "
              "0005417C(344.444)");
    EXPECT_EQ(soundBytes(sound), data);
}

TEST(SoundFile, CreatedFileWithOneSecondOfStereo) {
    TSND sound = newSound();
    EXPECT_EQ(soundBytes(sound).size(), 46u);
    ASSERT_TRUE(insertSoundEntry(sound, -1, entryOf(kSoundStereo, 192000)));
    const Bytes bytes = soundBytes(sound);
    EXPECT_EQ(bytes.size(), 46u + 10 + 192000);
    EXPECT_EQ(sound.index.length, 12u);
    EXPECT_EQ(sound.soundDataStart, 56u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), hexBytes("42434C4B 30323030"));
    EXPECT_EQ(soundRowCells(0, sound.index.entries[0])[4], "1 s");
}

TEST(SoundFile, ShortEntryIsPaddedAndTheNextStartsAtFour) {
    TSND sound = newSound();
    ASSERT_TRUE(insertSoundEntry(sound, -1, entryOf(kSoundMono, 6, 0xAB)));
    ASSERT_TRUE(insertSoundEntry(sound, 0, entryOf(kSoundStereo, 4, 0xCD)));
    EXPECT_EQ(sound.index.entries[1].start, 8u);
    const Bytes bytes = soundBytes(sound);
    const std::size_t data = sound.soundDataStart;
    EXPECT_EQ(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(data), bytes.end()),
              hexBytes("ABABABABABAB 0000 CDCDCDCD"));
    TSND read;
    ASSERT_TRUE(parseSound(bytes, "sound.bdmv", read).good());
    EXPECT_EQ(read, sound);
}

TEST(SoundFile, LengthColumn) {
    const struct {
        std::uint32_t length;
        const char* text;
    } cases[] = {
        {192000, "1 s"},  {96000, "0.5 s"},   {0, "0 s"},
        {960, "0 s"},  // half: to even
        {2880, "0.02 s"}, {2881, "0.02 s"},   {19200, "0.1 s"},
        {1919, "0.01 s"}, {344444, "1.79 s"}, {4294967295u, "22369.62 s"},
    };
    for (const auto& c : cases) {
        TSoundEntries entry;
        entry.length = c.length;
        EXPECT_EQ(soundRowCells(7, entry)[4], c.text) << c.length;
    }
}

TEST(SoundFile, CellsOfUnknownValues) {
    TSoundEntries entry;
    entry.channelConfiguration = 2;
    entry.samplingFrequency = 4;
    entry.bitsPerSample = 3;
    EXPECT_EQ(soundRowCells(12, entry), (std::vector<std::string>{"012", "-", "-", "-", "0 s"}));
    EXPECT_EQ(soundGridHeaders(),
              (std::vector<std::string>{"No.", "channel", "frequency", "bits/sample", "length"}));
}

TEST(SoundFile, InsertAfterTheFirstRowPutsTheSoundAtIndexOne) {
    TSND sound = soundWith({4, 8, 12});
    const TSND before = sound;
    ASSERT_TRUE(insertSoundEntry(sound, 0, entryOf(kSoundMono, 6, 0xEE)));
    const auto& entries = sound.index.entries;
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].data, Bytes(6, 0xEE));
    EXPECT_EQ(entries[2].data, before.index.entries[1].data);  // the later ones moved down
    EXPECT_EQ(entries[3].data, before.index.entries[2].data);
    EXPECT_EQ((std::vector<std::uint32_t>{entries[0].start, entries[1].start, entries[2].start,
                                          entries[3].start}),
              (std::vector<std::uint32_t>{0, 4, 12, 20}));
    EXPECT_EQ(sound.index.length, before.index.length + 10);
    EXPECT_EQ(sound.soundDataStart, before.soundDataStart + 10);

    ASSERT_TRUE(insertSoundEntry(sound, -1, entryOf(kSoundMono, 2)));  // at the front
    EXPECT_EQ(sound.index.entries[0].length, 2u);
    ASSERT_TRUE(insertSoundEntry(sound, 99, entryOf(kSoundMono, 2, 0x77)));  // past the end
    EXPECT_EQ(sound.index.entries.back().data, Bytes(2, 0x77));
}

TEST(SoundFile, DeleteMovesTheLaterEntriesUp) {
    TSND sound = soundWith({4, 8, 12});
    ASSERT_TRUE(deleteSoundEntry(sound, 0));
    const auto& entries = sound.index.entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].data, Bytes(8, 1));
    EXPECT_EQ(entries[0].start, 0u);
    EXPECT_EQ(entries[1].start, 8u);
    EXPECT_EQ(sound.index.length, 22u);
    EXPECT_EQ(sound.soundDataStart, 66u);
    EXPECT_FALSE(deleteSoundEntry(sound, 2));
    ASSERT_TRUE(deleteSoundEntry(sound, 1));
    ASSERT_TRUE(deleteSoundEntry(sound, 0));
    EXPECT_EQ(sound, newSound());
    EXPECT_FALSE(deleteSoundEntry(sound, 0));  // nothing to delete
}

TEST(SoundFile, AtMost255Entries) {
    TSND sound = newSound();
    for (std::size_t i = 0; i < kMaxSoundEntries; ++i)
        ASSERT_TRUE(insertSoundEntry(sound, -1, entryOf(kSoundMono, 2)));
    EXPECT_FALSE(insertSoundEntry(sound, -1, entryOf(kSoundMono, 2)));
    EXPECT_EQ(sound.index.entries.size(), 255u);
    TSND read;
    ASSERT_TRUE(parseSound(soundBytes(sound), "sound.bdmv", read).good());
    EXPECT_EQ(read.index.entries.size(), 255u);
    EXPECT_EQ(read.soundDataStart, 46u + 2550);
}

TEST(SoundFile, ExtensionDataFollowsThePaddedData) {
    TSND sound = soundWith({6});
    const Bytes blockBytes =
        hexBytes("00000018 00000018 000000 01 0002 0001 00000018 00000004 DEADBEEF");
    ByteReader reader(blockBytes);
    TExtensionData block;
    ASSERT_TRUE(readExtensionData(reader, block));
    setSoundExtensionData(sound, block);
    EXPECT_EQ(sound.extensionDataStart, 56u + 8);
    const Bytes bytes = soundBytes(sound);
    EXPECT_EQ(bytes.size(), 56u + 8 + blockBytes.size());
    TSND read;
    ASSERT_TRUE(parseSound(bytes, "sound.bdmv", read).good());
    EXPECT_EQ(read, sound);

    ASSERT_TRUE(insertSoundEntry(sound, 0, entryOf(kSoundMono, 4)));
    EXPECT_EQ(sound.extensionDataStart, 66u + 12);
    ASSERT_TRUE(deleteSoundEntry(sound, 0));
    EXPECT_EQ(sound.extensionDataStart, 56u + 4);
    setSoundExtensionData(sound, {});
    EXPECT_EQ(sound.extensionDataStart, 0u);
    EXPECT_EQ(soundBytes(sound).size(), 56u + 4);
}

TEST(SoundFile, GapBeforeTheSoundDataIsKept) {
    // A writer that aligned the sound data to 16 bytes: 24 zero bytes follow
    // the index of one entry.
    TSND sound = soundWith({4});
    sound.soundDataStart = 80;
    layOutSound(sound);
    const Bytes bytes = soundBytes(sound);
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(Bytes(bytes.begin() + 56, bytes.begin() + 80), Bytes(24, 0));
    TSND read;
    ASSERT_TRUE(parseSound(bytes, "sound.bdmv", read).good());
    EXPECT_EQ(soundBytes(read), bytes);
    ASSERT_TRUE(insertSoundEntry(read, 0, entryOf(kSoundMono, 2)));
    EXPECT_EQ(read.soundDataStart, 90u);  // the gap moves with the index

    // An address inside the index or far beyond it is no gap: the data
    // follows the index.
    for (const std::uint32_t start : {50u, 56u + kMaxSoundDataGap + 1}) {
        TSND broken = soundWith({4});
        broken.soundDataStart = start;
        layOutSound(broken);
        EXPECT_EQ(broken.soundDataStart, 56u) << start;
    }
}

TEST(SoundFile, ReadLogsTheEntriesFound) {
    test::TempDir dir;
    const struct {
        Bytes bytes;
        std::vector<std::string> log;
        bool error;
    } cases[] = {
        {fixture(), {"Reading sound.bdmv", "Found 2 sound entries"}, false},
        {soundBytes(soundWith({4})), {"Reading sound.bdmv", "Found 1 sound entry"}, false},
        {soundBytes(newSound()), {"Reading sound.bdmv", "Found 0 sound entry"}, false},
        {fixture([](Bytes& b) { b[0] = 'X'; }), {"Reading sound.bdmv"}, false},
        {fixture([](Bytes& b) { b.pop_back(); }),
         {"Reading sound.bdmv",
          "ERROR: sound.bdmv: data of sound entry 1 runs past the end of the file at $0000004A"},
         true},
    };
    for (const auto& c : cases) {
        test::writeFile(dir / "sound.bdmv", c.bytes);
        RecordingSink sink;
        Reporter reporter(sink);
        TSND sound;
        readSoundFile(dir / "sound.bdmv", sound, reporter);
        std::vector<std::string> texts;
        for (const auto& text : sink.texts())
            texts.push_back(text.substr(text.find_first_not_of(' ')));
        EXPECT_EQ(texts, c.log);
        EXPECT_EQ(reporter.errorFlag(), c.error);
    }
    RecordingSink sink;
    Reporter reporter(sink);
    TSND sound;
    EXPECT_THROW(readSoundFile(dir / "missing.bdmv", sound, reporter), FileError);
}

TEST(SoundFile, SaveMakesTheBackupFirst) {
    test::TempDir dir;
    const std::string auxdata = dir / "AUXDATA";
    test::writeFile(auxdata + "/sound.bdmv", fixture());
    RecordingSink sink;
    Reporter reporter(sink);
    const TSND sound = soundWith({4});
    ASSERT_TRUE(saveSoundFile(auxdata, sound, reporter, BackupOptions{}));
    EXPECT_EQ(test::readFile(auxdata + "/sound.bdmv.backup"), fixture());
    EXPECT_EQ(test::readFile(auxdata + "/sound.bdmv"), soundBytes(sound));
    EXPECT_EQ(sink.panel[0], "Ready.");
    ASSERT_FALSE(sink.texts().empty());
    EXPECT_EQ(sink.texts().front(), " Saving sound.bdmv");

    // "Stop if exists" with a backup there: nothing is written.
    BackupOptions stop;
    stop.mode = BackupMode::StopIfExists;
    EXPECT_FALSE(saveSoundFile(auxdata + "/", newSound(), reporter, stop));
    EXPECT_EQ(test::readFile(auxdata + "/sound.bdmv"), soundBytes(sound));
    EXPECT_EQ(sink.texts().back(), " ERROR: Cannot create backup file.");
}

}  // namespace
}  // namespace lumora
