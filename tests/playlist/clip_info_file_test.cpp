#include "playlist/clip_info_file.h"

#include <gtest/gtest.h>

#include <random>

#include "core/file_io.h"
#include "core/text.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::hexBytes;

// The model as the reader gives it back from the writer's bytes: lengths and
// start addresses as a file would have them.
TCLPI asRead(const TCLPI& clip) {
    TCLPI read;
    const ReadOutcome outcome = parseClipInfo(clipInfoBytes(clip), "test.clpi", read);
    EXPECT_TRUE(outcome.good()) << outcome.message;
    return read;
}

// The edits must leave the held lengths and addresses as the writer lays
// them out.
void expectAddressesConsistent(const TCLPI& c) {
    const TCLPI read = asRead(c);
    EXPECT_EQ(read.sequenceInfoStart, c.sequenceInfoStart);
    EXPECT_EQ(read.programInfoStart, c.programInfoStart);
    EXPECT_EQ(read.cpiStart, c.cpiStart);
    EXPECT_EQ(read.clipMarkStart, c.clipMarkStart);
    EXPECT_EQ(read.extensionDataStart, c.extensionDataStart);
    EXPECT_EQ(read.clipInfo.length, c.clipInfo.length);
}

// ... and everything the model holds is in the file.
void expectConsistent(const TCLPI& c) {
    expectAddressesConsistent(c);
    EXPECT_TRUE(asRead(c) == c);
}

TStreamCodingInfo codingInfo(std::uint16_t pid, std::uint8_t coding) {
    TStreamCodingInfo s;
    s.streamPid = pid;
    s.codingType = coding;
    return s;
}

TEP_map_fosPID epMap(std::size_t coarse, std::size_t fine) {
    TEP_map_fosPID map;
    for (std::size_t i = 0; i < coarse; ++i) {
        map.coarse.push_back(TEPCoarseEntry{static_cast<std::uint32_t>(i * 3 % 0x40000),
                                            static_cast<std::uint16_t>(i % 0x4000),
                                            static_cast<std::uint32_t>(i * 1000)});
    }
    for (std::size_t i = 0; i < fine; ++i) {
        map.fine.push_back(TEPFineEntry{
            static_cast<std::uint8_t>(i % 2), static_cast<std::uint8_t>(i % 8),
            static_cast<std::uint16_t>(i % 0x800), static_cast<std::uint32_t>(i * 7 % 0x20000)});
    }
    return map;
}

TExtensionData extensionBlock() {
    TExtensionData block;
    block.length = 24;
    block.dataBlockStartAddress = 24;
    block.entries = {TExtensionDataEntry{1, 1, 24, 4}};
    block.dataBlock = {0x0A, 0x0B, 0x0C, 0x0D};
    return block;
}

// A clip with every part the format knows, several of each.
TCLPI richClip(bool withExtension = true) {
    TCLPI c;
    c.clipInfo.tsRecordingRate = 48000000;
    c.clipInfo.numberOfSourcePackets = 1000;
    c.clipInfo.isATCdelta = 1;
    c.clipInfo.atcDeltaEntries = {{0x100, "00008", "M2TS"}, {0x200, "00009", "M2TS"}};
    TATC_sequences first;
    first.stcSequences = {{0x1001, 0, 27000000, 28000000}, {0x1001, 500, 28000000, 29000000}};
    TATC_sequences second;
    second.spnATCStart = 900;
    second.offsetSTCId = 1;
    second.stcSequences = {{0x1011, 900, 45000, 90000}};
    c.sequenceInfo.atcSequences = {first, second};

    TProgram_sequences program;
    TStreamCodingInfo video = codingInfo(0x1011, 0x1B);
    video.videoFormat = 6;
    video.frameRate = 1;
    video.aspectRatio = 2;
    video.ccFlag = 1;
    video.isrcCountryCode = "US";
    video.isrcRegistrantCode = "ABC";
    video.isrcRecordingYear = "09";
    video.isrcRecordingNumber = "12345";
    TStreamCodingInfo audio = codingInfo(0x1100, 0x81);
    audio.presentationType = 6;
    audio.samplingFrequency = 1;
    audio.audioLanguage = "fra";
    TStreamCodingInfo pg = codingInfo(0x1200, 0x90);
    pg.pgLanguage = "deu";
    TStreamCodingInfo ig = codingInfo(0x1400, 0x91);
    ig.igLanguage = "eng";
    TStreamCodingInfo text = codingInfo(0x1800, 0x92);
    text.characterCode = 1;
    text.textLanguage = "jpn";
    program.streams = {video, audio, pg, ig, text};
    TProgram_sequences later;
    later.spnProgramSequenceStart = 900;
    later.streams = {video};
    c.programInfo.programSequences = {program, later};

    c.cpi.cpiType = 1;
    c.cpi.pidEntries = {{0x1011, 1, 0}, {0x1100, 3, 0}};
    TEP_map_fosPID second_map = epMap(1, 2);
    second_map.lead = {0, 0};
    second_map.padding = {0, 0, 0, 0};
    c.cpi.epMaps = {epMap(3, 5), second_map};

    c.clipMark.data = {1, 2, 3, 4};
    if (withExtension) c.extensionData = extensionBlock();
    return asRead(c);
}

std::string samplePath(const char* file) {
    return test::samplesDir() + "/" + file;
}

TEST(ClipInfoFile, RealClipsReadAndComeBackByteForByte) {
    LUMORA_REQUIRE_SAMPLES();
    const struct {
        const char* file;
        std::uint8_t applicationType;
        std::uint32_t packets;
        std::vector<std::uint16_t> pids;
        std::size_t coarse, fine;
    } cases[] = {
        {"bigbuckbunny/BDMV/CLIPINF/00000.clpi", 1, 58048, {0x1011, 0x1100}, 7, 32},
        {"feature-disc/BDMV/CLIPINF/00007.clpi",
         1,
         43086400,
         {0x1011, 0x1100, 0x1200, 0x1201, 0x1202, 0x1203, 0x1204},
         546,
         1729},
        {"progressive/BDMV/CLIPINF/00000.clpi", 1, 1024, {0x1011}, 2, 9},
        {"files/00015_IG_only.clpi", 5, 15904, {0x1400}, 0, 0},
    };
    for (const auto& c : cases) {
        const Bytes data = readFileBytes(samplePath(c.file));
        TCLPI clip;
        const ReadOutcome outcome = parseClipInfo(data, "x.clpi", clip);
        ASSERT_TRUE(outcome.good()) << c.file << ": " << outcome.message;
        EXPECT_EQ(clip.clipInfo.applicationType, c.applicationType) << c.file;
        EXPECT_EQ(clip.clipInfo.tsRecordingRate, 6000000u) << c.file;
        EXPECT_EQ(clip.clipInfo.numberOfSourcePackets, c.packets) << c.file;
        ASSERT_EQ(clip.programInfo.programSequences.size(), 1u) << c.file;
        std::vector<std::uint16_t> pids;
        for (const auto& s : clip.programInfo.programSequences[0].streams)
            pids.push_back(s.streamPid);
        EXPECT_EQ(pids, c.pids) << c.file;
        const std::size_t maps = clip.cpi.epMaps.size();
        EXPECT_EQ(maps ? clip.cpi.epMaps[0].coarse.size() : 0, c.coarse) << c.file;
        EXPECT_EQ(maps ? clip.cpi.epMaps[0].fine.size() : 0, c.fine) << c.file;
        EXPECT_EQ(clipInfoBytes(clip), data) << c.file;
        EXPECT_TRUE(asRead(clip) == clip) << c.file;
    }
}

TEST(ClipInfoFile, RealClipDetails) {
    LUMORA_REQUIRE_SAMPLES();
    TCLPI bunny;
    ASSERT_TRUE(parseClipInfo(readFileBytes(samplePath("bigbuckbunny/BDMV/CLIPINF/00000.clpi")),
                              "00000.clpi", bunny)
                    .good());
    // This tool aligns blocks: two bytes after SequenceInfo() and
    // ProgramInfo(), and an empty ExtensionData() at the end.
    EXPECT_EQ(bunny.sequenceInfo.padding, Bytes(2, 0));
    EXPECT_EQ(bunny.programInfo.padding, Bytes(2, 0));
    EXPECT_NE(bunny.extensionDataStart, 0u);
    EXPECT_EQ(extensionDataSummary(bunny.extensionData), "no ExtensionData()");
    EXPECT_EQ(programInfoRows(bunny.programInfo),
              (std::vector<std::array<std::string, 4>>{{"1", "1011", "AVC", "1080p, 23.976, 16:9"},
                                                       {"2", "1100", "LPCM", "Stereo, 48 kHz, "}}));
    EXPECT_EQ(stcRows(bunny.sequenceInfo),
              (std::vector<std::array<std::string, 5>>{
                  {"0", "1001", "00000000", "0:10:00.000", "0:10:30.113"}}));
    EXPECT_EQ(cpiRowCells(0, bunny.cpi),
              (std::array<std::string, 6>{"0", "1011", "1", "0007", "00020", "0000000E"}));
    EXPECT_EQ(epCoarseRowCells(1, bunny.cpi.epMaps[0].coarse[1]),
              (std::array<std::string, 4>{"0001", "00001", "0067", "00000673"}));
    EXPECT_EQ(epFineRowCells(0, bunny.cpi.epMaps[0].fine[0]),
              (std::array<std::string, 5>{"00000", "n", "1", "03FC", "00004"}));

    TCLPI feature;
    ASSERT_TRUE(parseClipInfo(readFileBytes(samplePath("feature-disc/BDMV/CLIPINF/00007.clpi")),
                              "00007.clpi", feature)
                    .good());
    ASSERT_EQ(feature.clipInfo.atcDeltaEntries.size(), 1u);
    EXPECT_EQ(atcDeltaRowCells(0, feature.clipInfo.atcDeltaEntries[0]),
              (std::array<std::string, 4>{"0", "01563777", "00008", "M2TS"}));
    EXPECT_EQ(feature.clipInfo.length, 176u + 2 + 14);
    EXPECT_EQ(programStreamCells(2, feature.programInfo.programSequences[0].streams[2]),
              (std::array<std::string, 4>{"3", "1200", "PG", "jpn"}));
}

TEST(ClipInfoFile, EveryPartRoundTrips) {
    const TCLPI clip = richClip();
    const Bytes bytes = clipInfoBytes(clip);
    TCLPI again;
    ASSERT_TRUE(parseClipInfo(bytes, "x.clpi", again).good());
    EXPECT_TRUE(again == clip);
    EXPECT_EQ(clipInfoBytes(again), bytes);
    EXPECT_EQ(clip.clipInfo.length, 176u + 2 + 2 * 14);
    EXPECT_EQ(clip.sequenceInfoStart, 40u + 4 + clip.clipInfo.length);
    // The second PID's map starts after two bytes of lead, its fine table
    // after four bytes of padding.
    const TCPI& cpi = clip.cpi;
    EXPECT_EQ(cpi.pidEntries[0].epMapStartAddress, 2u + 2 * 12);
    EXPECT_EQ(cpi.pidEntries[1].epMapStartAddress, 2u + 2 * 12 + (4 + 3 * 8 + 5 * 4) + 2);
    EXPECT_EQ(cpi.epMaps[1].epFineTableStartAddress, 4u + 8 + 4);
    EXPECT_EQ(clip.extensionDataStart, clip.clipMarkStart + 4 + 4);
    EXPECT_EQ(clip.extensionData, extensionBlock());
    const TStreamCodingInfo& video = clip.programInfo.programSequences[0].streams[0];
    EXPECT_EQ(video.aspectRatio, 2);
    EXPECT_EQ(video.ccFlag, 1);
    EXPECT_EQ(video.isrcRecordingNumber, "12345");
}

TEST(ClipInfoFile, UnknownPartsAreKeptAndStayAligned) {
    TCLPI c = richClip(false);
    auto& streams = c.programInfo.programSequences[0].streams;
    TStreamCodingInfo odd = codingInfo(0x1012, 0x20);  // no known layout
    odd.length = 8;
    odd.tail = hexBytes("01020304050607");
    streams.insert(streams.begin() + 1, odd);
    streams[2].length = 24;  // three bytes more than the audio fields
    streams[2].tail = hexBytes("AABBCC");
    c.clipInfo.tail = hexBytes("C1C2");
    c.sequenceInfo.tail = hexBytes("5E");
    c.programInfo.tail = hexBytes("9F9F");
    c.cpi.tail = hexBytes("EEEE");
    c.clipMark.data = hexBytes("0000000C 0001 0000 00000000");
    c.trailing = hexBytes("00000000");
    const TCLPI read = asRead(c);
    const auto& readStreams = read.programInfo.programSequences[0].streams;
    ASSERT_EQ(readStreams.size(), 6u);
    EXPECT_EQ(readStreams[1].tail, hexBytes("01020304050607"));
    EXPECT_EQ(readStreams[2].tail, hexBytes("AABBCC"));
    EXPECT_EQ(readStreams[3].pgLanguage, "deu");  // still aligned behind them
    EXPECT_EQ(programStreamCells(1, readStreams[1]),
              (std::array<std::string, 4>{"2", "1012", "", ""}));
    EXPECT_EQ(read.clipInfo.tail, hexBytes("C1C2"));
    EXPECT_EQ(read.sequenceInfo.tail, hexBytes("5E"));
    EXPECT_EQ(read.programInfo.tail, hexBytes("9F9F"));
    EXPECT_EQ(read.cpi.tail, hexBytes("EEEE"));
    EXPECT_EQ(read.clipMark.data, hexBytes("0000000C 0001 0000 00000000"));
    EXPECT_EQ(read.clipMark.length, 12u);
    EXPECT_EQ(read.trailing, hexBytes("00000000"));
    EXPECT_TRUE(asRead(read) == read);
}

TEST(ClipInfoFile, ReadsFixtures) {
    const TCLPI model = richClip(false);
    const Bytes good = clipInfoBytes(model);
    const auto changed = [&good](std::size_t at, std::uint8_t value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    const std::size_t program = model.programInfoStart;
    const std::size_t epMap = model.cpiStart + 4 + 2;  // EP_map() after the CPI type word
    const struct {
        const char* name;
        Bytes bytes;
        ReadStatus status;
        const char* message;
    } cases[] = {
        {"valid", good, ReadStatus::Good, ""},
        {"one byte short", Bytes(good.begin(), good.end() - 1), ReadStatus::Truncated,
         "x.clpi: ClipMark() runs past the end of the file at $"},
        {"header only", Bytes(good.begin(), good.begin() + 20), ReadStatus::Truncated,
         "x.clpi: the header runs past the end of the file at $"},
        {"program sequence count too large", changed(program + 5, 0xFF), ReadStatus::Truncated,
         "x.clpi: program sequence count 255 runs past its block at $"},
        {"ATC sequence count too large", changed(model.sequenceInfoStart + 5, 0x40),
         ReadStatus::Truncated, "x.clpi: ATC sequence count 64 runs past its block"},
        {"ATC delta count too large", changed(40 + 4 + 177, 200), ReadStatus::Truncated,
         "x.clpi: ATC delta entry count 200 runs past its block"},
        {"stream longer than ProgramInfo", changed(program + 4 + 2 + 8 + 2, 0xFF),
         ReadStatus::Truncated, "x.clpi: program sequence 0 stream 0 (PID 1011) runs past"},
        {"EP map inside the PID entries", changed(epMap + 2 + 11, 0x00), ReadStatus::Truncated,
         "x.clpi: EP map of PID 1011 starts inside the data before it at $"},
        {"EP fine count too large", changed(epMap + 2 + 5, 0x07), ReadStatus::Truncated,
         "x.clpi: EP map of PID 1011 EP fine entry count"},
        {"SequenceInfo past the end", changed(9, 0xF0), ReadStatus::Truncated,
         "x.clpi: SequenceInfo() runs past the end of the file"},
        {"ClipInfo shorter than its fields", changed(40 + 3, 100), ReadStatus::Truncated,
         "x.clpi: ClipInfo() does not fit its length"},
        {"bad magic", changed(0, 'X'), ReadStatus::BadFormat, "Invalid format: x.clpi"},
        {"version 0300", changed(5, '3'), ReadStatus::BadFormat, "Invalid format: x.clpi"},
    };
    for (const auto& c : cases) {
        TCLPI clip;
        const ReadOutcome outcome = parseClipInfo(c.bytes, "x.clpi", clip);
        EXPECT_EQ(outcome.status, c.status) << c.name << ": " << outcome.message;
        EXPECT_EQ(outcome.message.rfind(c.message, 0), 0u) << c.name << ": " << outcome.message;
    }
}

TEST(ClipInfoFile, CutAndDamagedFilesNeverReadOutsideTheirBytes) {
    const Bytes good = clipInfoBytes(richClip());
    for (std::size_t size = 0; size < good.size(); ++size) {
        TCLPI clip;
        parseClipInfo(ByteView(good.data(), size), "x.clpi", clip);
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = good;
        for (int flips = 0; flips < 4; ++flips)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        TCLPI clip;
        if (parseClipInfo(damaged, "x.clpi", clip).good()) clipInfoBytes(clip);
    }
}

TEST(ClipInfoFile, BadFormatKeepsTheRestOfTheModel) {
    TCLPI clip = richClip();
    const Bytes bad = hexBytes("48444D5630333030");  // "HDMV0300"
    EXPECT_EQ(parseClipInfo(bad, "y.clpi", clip).status, ReadStatus::BadFormat);
    EXPECT_EQ(clip.version, "0300");
    EXPECT_EQ(clip.clipInfo.atcDeltaEntries.size(), 2u);
    // A clip without ExtensionData read after one with it shows none.
    TCLPI reused = richClip();
    ASSERT_TRUE(parseClipInfo(clipInfoBytes(richClip(false)), "z.clpi", reused).good());
    EXPECT_EQ(extensionDataSummary(reused.extensionData), "no ExtensionData()");
}

TEST(ClipInfoFile, LargeEpMapSurvives) {
    // More than 16383 coarse entries need the coarse count's top bits, more
    // than 65535 fine entries the fine count's.
    TCLPI c;
    c.cpi.cpiType = 1;
    c.cpi.pidEntries = {{0x1011, 1, 0}};
    c.cpi.epMaps = {epMap(20000, 70000)};
    const Bytes bytes = clipInfoBytes(c);
    TCLPI read;
    ASSERT_TRUE(parseClipInfo(bytes, "big.clpi", read).good());
    ASSERT_EQ(read.cpi.epMaps.size(), 1u);
    EXPECT_EQ(read.cpi.epMaps[0].coarse.size(), 20000u);
    EXPECT_EQ(read.cpi.epMaps[0].fine.size(), 70000u);
    EXPECT_TRUE(read.cpi.epMaps[0].coarse == c.cpi.epMaps[0].coarse);
    EXPECT_TRUE(read.cpi.epMaps[0].fine == c.cpi.epMaps[0].fine);
    EXPECT_EQ(cpiRowCells(0, read.cpi)[3], "4E20");
    EXPECT_EQ(cpiRowCells(0, read.cpi)[4], "11170");
    EXPECT_EQ(clipInfoBytes(read), bytes);
}

TEST(ClipInfoFile, AtcDeltaCheckBoxMovesEveryLaterAddress) {
    TCLPI c = richClip();
    c.clipInfo.atcDeltaEntries.push_back({0x300, "00010", "M2TS"});
    c = asRead(c);
    ASSERT_EQ(c.clipInfo.atcDeltaEntries.size(), 3u);
    const TCLPI on = c;
    setATCDelta(c, false);
    EXPECT_EQ(c.clipInfo.length, on.clipInfo.length - 44);
    for (const auto& [now, before] :
         {std::pair{c.sequenceInfoStart, on.sequenceInfoStart},
          std::pair{c.programInfoStart, on.programInfoStart}, std::pair{c.cpiStart, on.cpiStart},
          std::pair{c.clipMarkStart, on.clipMarkStart},
          std::pair{c.extensionDataStart, on.extensionDataStart}}) {
        EXPECT_EQ(now, before - 44);
    }
    // Off, the entries stay in memory but are not written.
    EXPECT_EQ(c.clipInfo.atcDeltaEntries.size(), 3u);
    EXPECT_EQ(clipInfoBytes(c).size(), clipInfoBytes(on).size() - 44);
    setATCDelta(c, false);  // already off: nothing moves
    setATCDelta(c, true);
    EXPECT_TRUE(c == on);
    expectConsistent(c);

    // Without ExtensionData its start address stays 0.
    TCLPI plain = richClip(false);
    setATCDelta(plain, false);
    EXPECT_EQ(plain.extensionDataStart, 0u);
    expectAddressesConsistent(plain);
}

TEST(ClipInfoFile, SavingAtcDeltaWithoutEntriesClearsTheFlag) {
    test::TempDir dir;
    TCLPI c = richClip();
    while (deleteATCDeltaEntry(c, 0)) {
    }
    EXPECT_EQ(c.clipInfo.isATCdelta, 1u);
    EXPECT_EQ(c.clipInfo.length, 178u);
    RecordingSink sink;
    Reporter reporter(sink);
    BackupOptions backup;
    backup.createBackups = false;
    ASSERT_TRUE(saveClipInfoFile(dir.path().string() + "/", "00000.clpi", c, reporter, backup));
    EXPECT_EQ(c.clipInfo.isATCdelta, 0u);
    EXPECT_EQ(c.clipInfo.length, 176u);
    const Bytes saved = test::readFile(dir / "00000.clpi");
    EXPECT_EQ(Bytes(saved.begin() + 40, saved.begin() + 44), hexBytes("000000B0"));
    EXPECT_EQ(Bytes(saved.begin() + 48, saved.begin() + 52), hexBytes("00000000"));
    TCLPI read;
    ASSERT_TRUE(parseClipInfo(saved, "00000.clpi", read).good());
    EXPECT_TRUE(read == c);
    EXPECT_EQ(sink.texts().front(), " Saving 00000.clpi");
}

TEST(ClipInfoFile, AtcDeltaEntryEditing) {
    TCLPI c = richClip(false);
    while (deleteATCDeltaEntry(c, 0)) {
    }
    const TCLPI empty = c;
    // The list is empty: cell edits show the (empty) row again.
    EXPECT_EQ(editATCDeltaCell(c, 0, ATCDeltaColumn::AtcDelta, "00000001"), CellEdit::Shown);
    ASSERT_EQ(insertATCDeltaEntry(c, 5), std::optional<std::size_t>(0));
    EXPECT_EQ(atcDeltaRowCells(0, c.clipInfo.atcDeltaEntries[0]),
              (std::array<std::string, 4>{"0", "00000000", "00000", "M2TS"}));
    EXPECT_EQ(c.clipInfo.length, empty.clipInfo.length + 14);
    EXPECT_EQ(c.cpiStart, empty.cpiStart + 14);
    expectConsistent(c);

    const struct {
        ATCDeltaColumn column;
        const char* text;
        CellEdit edit;
        std::array<std::string, 4> row;
    } edits[] = {
        {ATCDeltaColumn::AtcDelta, "0012ab9F", CellEdit::Taken, {"0", "0012AB9F", "00000", "M2TS"}},
        {ATCDeltaColumn::AtcDelta, "0012 ", CellEdit::Typing, {"0", "0012AB9F", "00000", "M2TS"}},
        {ATCDeltaColumn::AtcDelta, "0012XY00", CellEdit::Taken, {"0", "00000000", "00000", "M2TS"}},
        {ATCDeltaColumn::Following, "00042", CellEdit::Taken, {"0", "00000000", "00042", "M2TS"}},
        {ATCDeltaColumn::ClipCodec, "ABCD", CellEdit::Shown, {"0", "00000000", "00042", "M2TS"}},
    };
    for (const auto& e : edits) {
        EXPECT_EQ(editATCDeltaCell(c, 0, e.column, e.text), e.edit) << e.text;
        EXPECT_EQ(atcDeltaRowCells(0, c.clipInfo.atcDeltaEntries[0]), e.row) << e.text;
    }
    ASSERT_EQ(insertATCDeltaEntry(c, 1), std::optional<std::size_t>(1));
    ASSERT_EQ(insertATCDeltaEntry(c, 0), std::optional<std::size_t>(0));
    EXPECT_EQ(c.clipInfo.atcDeltaEntries[1].followingClipName, "00042");
    expectConsistent(c);
    EXPECT_TRUE(deleteATCDeltaEntry(c, 1));
    EXPECT_FALSE(deleteATCDeltaEntry(c, 2));
    expectConsistent(c);

    // With the flag off the grid takes no entries; a byte counts at most 255.
    setATCDelta(c, false);
    EXPECT_EQ(insertATCDeltaEntry(c, 0), std::nullopt);
    setATCDelta(c, true);
    while (insertATCDeltaEntry(c, 0)) {
    }
    EXPECT_EQ(c.clipInfo.atcDeltaEntries.size(), 255u);
    expectConsistent(c);
}

TEST(ClipInfoFile, ApplicationTypeSixCarriesTheFontBlock) {
    TCLPI c = richClip();
    c.clipInfo.fontFiles = {"00001", "00002"};
    const TCLPI before = c;  // the fonts are not written for type 1
    setApplicationType(c, 6);
    EXPECT_EQ(c.clipMarkStart, before.clipMarkStart + 2 + 2 * 6);
    expectConsistent(c);
    EXPECT_EQ(fontRowCells(1, c.clipInfo.fontFiles[1]), (std::array<std::string, 2>{"2", "00002"}));
    setApplicationType(c, 7);
    EXPECT_EQ(c.clipMarkStart, before.clipMarkStart);
    expectAddressesConsistent(c);  // the fonts stay in memory
    setApplicationType(c, 1);
    EXPECT_TRUE(c == before);
    EXPECT_EQ(applicationTypeItems().size(), 11u);
    EXPECT_EQ(applicationTypeItems()[5], "Sub TS for a Interactive Graphics menu");
}

TEST(ClipInfoFile, ExtensionDataFromTheDialog) {
    TCLPI c = richClip(false);
    setClipInfoExtensionData(c, extensionBlock());
    EXPECT_EQ(c.extensionDataStart, c.clipMarkStart + c.clipMark.length + 4);
    expectConsistent(c);
    setClipInfoExtensionData(c, TExtensionData{});
    EXPECT_EQ(c.extensionDataStart, 0u);
    expectConsistent(c);
}

TEST(ClipInfoFile, GridTexts) {
    const TCLPI c = richClip();
    EXPECT_EQ(programInfoRows(c.programInfo), (std::vector<std::array<std::string, 4>>{
                                                  {"1", "1011", "AVC", "1080p, 23.976, 4:3"},
                                                  {"2", "1100", "DD", "Multi-ch., 48 kHz, fra"},
                                                  {"3", "1200", "PG", "deu"},
                                                  {"4", "1400", "IG", "eng"},
                                                  {"5", "1800", "Text", "1, jpn"},
                                                  {"6", "1011", "AVC", "1080p, 23.976, 4:3"}}));
    EXPECT_EQ(sequenceRowCells(1, c.sequenceInfo.atcSequences[1]),
              (std::array<std::string, 4>{"1", "00000384", "1", "1"}));
    const auto stc = stcRows(c.sequenceInfo);
    ASSERT_EQ(stc.size(), 3u);
    EXPECT_EQ(stc[2],
              (std::array<std::string, 5>{"1", "1011", "00000384", "0:00:01.000", "0:00:02.000"}));
    // Presentation times are times of day: 25 hours show as 1 hour.
    EXPECT_EQ(presentationTimeText(45000u * 3600 * 25), "1:00:00.000");
    EXPECT_EQ(presentationTimeText(45), "0:00:00.001");
    EXPECT_EQ(presentationTimeText(22), "0:00:00.000");
    EXPECT_EQ(clipGridTexts(ClipGrid::EpFine).headers,
              (std::vector<std::string>{"", "is_angle_ch", "I_end_pos", "PTS_EP", "SPN_EP"}));
    EXPECT_EQ(clipGridTexts(ClipGrid::Cpi).hint, "CPI (Characteristic Point Information)");
    EXPECT_EQ(epFineRowCells(0x1F, TEPFineEntry{1, 7, 0x7FF, 0x1FFFF}),
              (std::array<std::string, 5>{"0001F", "y", "7", "07FF", "1FFFF"}));
}

TEST(ClipInfoFile, StreamLabelsAndButtons) {
    DiscFolder disc;
    disc.clipinfs = {"00000", "00001", "00002"};
    disc.streams = {TAVStream{"00000.m2ts", 192000}, TAVStream{}, TAVStream{"00002.m2ts", 0}};
    const StreamLabel present = streamLabel(disc, 0);
    EXPECT_EQ(present.name, "00000.m2ts");
    EXPECT_EQ(present.size, "192,000");
    EXPECT_FALSE(present.missing);
    const StreamLabel missing = streamLabel(disc, 1);
    EXPECT_EQ(missing.name, "00001.m2ts");
    EXPECT_EQ(missing.size, "missing file");
    EXPECT_TRUE(missing.missing);
    EXPECT_EQ(streamLabel(disc, 0, ".").size, "192.000");
    EXPECT_TRUE(streamPlayable(disc, 0));
    EXPECT_FALSE(streamPlayable(disc, 1));
    EXPECT_FALSE(streamPlayable(disc, 2));  // an empty stream file
    EXPECT_TRUE(menuExtractionEnabled(0x1400, true));
    EXPECT_TRUE(menuExtractionEnabled(0x14FF, true));
    EXPECT_FALSE(menuExtractionEnabled(0x1500, true));
    EXPECT_FALSE(menuExtractionEnabled(0x1400, false));
    EXPECT_EQ(programInfoDoubleClick("1400", true), ProgramInfoAction::ExtractMenu);
    EXPECT_EQ(programInfoDoubleClick("1011", true), ProgramInfoAction::Play);
    EXPECT_EQ(programInfoDoubleClick("1400", false), ProgramInfoAction::None);
}

class AnsweringSink : public RecordingSink {
public:
    explicit AnsweringSink(bool yes) { answer = yes; }
};

TEST(ClipInfoFile, PacketCountCheck) {
    test::TempDir dir;
    TCLPI c = richClip();
    c.clipInfo.numberOfSourcePackets = 999;
    const std::string path = dir / "00000.clpi";
    test::writeFile(path, clipInfoBytes(c));
    const std::int64_t streamSize = 192 * 1000;

    EXPECT_EQ(packetQuestion(1000),
              "The m2ts file contains 1,000 packets.\nDo you want to correct the packet value of "
              "ClipInfo?");
    const PacketCheck check = packetCheck(c, streamSize);
    EXPECT_EQ(check.packets, 1000u);
    EXPECT_TRUE(check.differs);
    // A missing or empty stream file asks nothing.
    EXPECT_FALSE(packetCheck(c, -1).differs);
    EXPECT_FALSE(packetCheck(c, 0).differs);
    EXPECT_FALSE(packetCheck(c, 999 * 192 + 191).differs);

    AnsweringSink cancel(false);
    EXPECT_FALSE(checkPacketCount(c, path, streamSize, cancel));
    EXPECT_EQ(cancel.questions.size(), 1u);
    EXPECT_EQ(c.clipInfo.numberOfSourcePackets, 999u);
    EXPECT_EQ(test::readFile(path), clipInfoBytes(c));

    AnsweringSink yes(true);
    EXPECT_TRUE(checkPacketCount(c, path, streamSize, yes));
    EXPECT_EQ(c.clipInfo.numberOfSourcePackets, 1000u);
    const Bytes fixed = test::readFile(path);
    EXPECT_EQ(Bytes(fixed.begin() + 56, fixed.begin() + 60), hexBytes("000003E8"));
    EXPECT_EQ(fixed, clipInfoBytes(c));
    // Now they agree: no second question.
    EXPECT_FALSE(checkPacketCount(c, path, streamSize, yes));
    EXPECT_EQ(yes.questions.size(), 1u);

    // Only a clip information file gets the count.
    const std::string other = dir / "other.bin";
    test::writeFile(other, Bytes(100, 0x11));
    EXPECT_FALSE(writePacketCount(other, 5));
    EXPECT_EQ(test::readFile(other), Bytes(100, 0x11));
}

TEST(ClipInfoFile, ReadLogsAndErrors) {
    test::TempDir dir;
    const std::string good = dir / "00000.clpi";
    test::writeFile(good, clipInfoBytes(richClip()));
    const std::string bad = dir / "00001.clpi";
    test::writeFile(bad, hexBytes("4D504C5330323030 00000000"));
    RecordingSink sink;
    Reporter reporter(sink);
    TCLPI clip;
    EXPECT_TRUE(readClipInfoFile(good, "00000.clpi", clip, reporter).good());
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{" Reading 00000.clpi",
                                                      " 5 Program stream(s) found.", " "}));
    sink.lines.clear();
    EXPECT_EQ(readClipInfoFile(bad, "00001.clpi", clip, reporter).status, ReadStatus::BadFormat);
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{" Reading 00001.clpi",
                                                      " ERROR: Invalid format: 00001.clpi"}));
    EXPECT_TRUE(reporter.errorFlag());
    EXPECT_THROW(readClipInfoFile(dir / "none.clpi", "none.clpi", clip, reporter), FileError);
}

}  // namespace
}  // namespace lumora
