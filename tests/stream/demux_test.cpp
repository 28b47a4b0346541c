// The PID demultiplexer: the mode the options choose, the output names, the
// four modes over hand-made packets (PES packets across packets, unbounded
// video PES packets, headers split over two packets, adaptation fields), sync
// loss, trailing bytes, Cancel, the status line, files, and a real clip.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/file_io.h"
#include "stream/demux.h"
#include "stream_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::append;
using test::packetize;
using test::pesPacket;
using test::ramp;
using test::runDemux;
using test::segmentHeader;
using test::sourcePacket;
namespace fs = std::filesystem;

constexpr std::uint16_t kVideo = 0x1011;
constexpr std::uint16_t kAudio = 0x1100;
constexpr std::uint16_t kPg = 0x1200;
constexpr std::uint16_t kIg = 0x1400;

TEST(DemuxMode, ChosenFromTheOptions) {
    struct Case {
        std::uint16_t pid;
        SavePidFormat format;
        DemuxMode mode;
    };
    const Case cases[] = {
        {kPg, {true, true, true}, DemuxMode::Sup},  // SUP even with "Save PES"
        {kPg, {false, false, true}, DemuxMode::Elementary},
        {kPg, {true, false, true}, DemuxMode::Pes},
        {0x12FF, {}, DemuxMode::Sup},
        {0x1300, {}, DemuxMode::Elementary},
        {kIg, {}, DemuxMode::Menu},
        {0x14FF, {}, DemuxMode::Menu},
        {kIg, {true, true, true}, DemuxMode::Pes},  // "Save PES" wins over "Save MNU"
        {kIg, {false, true, false}, DemuxMode::Elementary},
        {0x1500, {}, DemuxMode::Elementary},
        {kVideo, {}, DemuxMode::Elementary},
        {kAudio, {true, true, true}, DemuxMode::Pes},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseDemuxMode(c.pid, c.format), c.mode) << std::hex << c.pid;
    }
}

TEST(DemuxNames, AbbreviationsAndExtensions) {
    const std::pair<std::uint16_t, const char*> abbreviations[] = {
        {0x1011, "vis"}, {0x1012, ""},    {0x1100, "aus"}, {0x11FF, "aus"}, {0x1B00, "svs"},
        {0x1A00, "sas"}, {0x1200, "pgs"}, {0x1400, "igs"}, {0x1800, "txs"}, {0x0100, ""},
    };
    for (const auto& [pid, text] : abbreviations)
        EXPECT_EQ(streamAbbreviation(pid), text) << std::hex << pid;
    EXPECT_EQ(demuxExtension(kIg, DemuxMode::Pes), "PES.igs");
    EXPECT_EQ(demuxExtension(kIg, DemuxMode::Menu), "mnu");
    EXPECT_EQ(demuxExtension(kPg, DemuxMode::Sup), "sup");
    EXPECT_EQ(demuxExtension(kAudio, DemuxMode::Elementary), "aus");
}

TEST(DemuxNames, OutputFileNames) {
    EXPECT_EQ(demuxFileName("00000", "1011", "AVC", "1080p, 23.976, 16:9", "vis"),
              "00000_PID1011_AVC_1080p_23.976_16_9.vis");
    EXPECT_EQ(demuxFileName("00001", "1400", "IG", "eng", "mnu"), "00001_PID1400_IG_eng.mnu");
    // A PID without an abbreviation leaves the name ending in ".".
    EXPECT_EQ(demuxFileName("00000", "1012", "AVC", "", ""), "00000_PID1012_AVC_.");
    // A "/" of a details text never makes a folder of the name.
    EXPECT_EQ(
        demuxFileName("00002", "1100", "DTS-HD", "Multi-ch., c:48/96, e:192 kHz, eng", "PES.aus"),
        "00002_PID1100_DTS-HD_Multi-ch._c_48_96_e_192_kHz_eng.PES.aus");
}

TEST(DemuxTexts, StatusLineAndLogLine) {
    EXPECT_EQ(demuxProgressText(32768, 131072, 10000),
              "Packet: 32768/131072   Elapsed: 0:00:10   Remaining: 0:00:31");
    EXPECT_EQ(demuxProgressText(32768, 32768, 0),
              "Packet: 32768/32768   Elapsed: 0:00:00   Remaining: 0:00:01");
    EXPECT_EQ(elapsedText(3723999), "1:02:03");
    const std::uint8_t extra[] = {0x10, 0x00, 0x03, 0x4E};
    EXPECT_EQ(pesLogLine(180000, 179910, 0x18, extra),
              "0002BF20, 0002BEC6 : 0:00:02.000, 0:00:01.999   18   1000034E");
}

TEST(Demux, BoundedPesAcrossPacketsAmongOtherPids) {
    const Bytes payload = ramp(500);
    const Bytes pes = pesPacket(0xFD, payload, 90000);
    Bytes stream = test::nullPacket();
    append(stream, sourcePacket(kVideo, true, ramp(184)));
    append(stream, packetize(pes, kAudio));
    append(stream, test::nullPacket());

    const auto es = runDemux(stream, kAudio, DemuxMode::Elementary);
    EXPECT_EQ(es.out, payload);
    EXPECT_EQ(es.result.savedPackets, 3u);
    EXPECT_EQ(es.result.packets, 6u);
    EXPECT_EQ(es.result.pesPackets, 1u);
    EXPECT_TRUE(es.log.empty());  // elementary mode logs nothing per PES packet

    // PES mode: the transport payloads as they are, header and all.
    EXPECT_EQ(runDemux(stream, kAudio, DemuxMode::Pes).out, pes);
}

TEST(Demux, OneSegmentPerPesPacketInMenuMode) {
    const Bytes ics = ramp(60, 0x18);  // a segment: type 0x18 first
    const Bytes pds = ramp(20, 0x14);
    const Bytes end{0x80, 0x00, 0x00};
    Bytes stream;
    std::uint8_t cc = 0;
    append(stream, packetize(pesPacket(0xBD, ics, 180000, 179910), kIg, cc));
    append(stream, packetize(pesPacket(0xBD, pds, 179910), kIg, cc));
    append(stream, packetize(pesPacket(0xBD, end), kIg, cc));  // no PTS: the last header again

    const auto menu = runDemux(stream, kIg, DemuxMode::Menu);
    Bytes expected = segmentHeader("IG", 180000, 179910);
    append(expected, ics);
    append(expected, segmentHeader("IG", 179910, 0));
    append(expected, pds);
    append(expected, segmentHeader("IG", 179910, 0));
    append(expected, end);
    EXPECT_EQ(menu.out, expected);
    EXPECT_EQ(menu.result.pesPackets, 3u);
    EXPECT_EQ(menu.log, (std::vector<std::string>{
                            " 0002BF20, 0002BEC6 : 0:00:02.000, 0:00:01.999   18   00000000",
                            " 0002BEC6, 00000000 : 0:00:01.999, 0:00:00.000   14   00000000"}));
}

TEST(Demux, SupTimesAreRelativeToTheFirstVideoPts) {
    const Bytes pcs = ramp(30, 0x16);
    Bytes stream;
    std::uint8_t cc = 0;
    // Before any video: relative to 0.
    append(stream, packetize(pesPacket(0xBD, pcs, 1000), kPg, cc));
    append(stream, packetize(pesPacket(0xE0, ramp(300), 900000, 897000, true), kVideo));
    append(stream, packetize(pesPacket(0xBD, pcs, 990000, 980000), kPg, cc));
    // A later video PTS changes nothing.
    append(stream, packetize(pesPacket(0xE0, ramp(10), 5000), kVideo));
    append(stream, packetize(pesPacket(0xBD, pcs, 900500), kPg, cc));

    const auto sup = runDemux(stream, kPg, DemuxMode::Sup);
    Bytes expected = segmentHeader("PG", 1000, 0);
    append(expected, pcs);
    append(expected, segmentHeader("PG", 90000, 80000));
    append(expected, pcs);
    append(expected, segmentHeader("PG", 500, 0));
    append(expected, pcs);
    EXPECT_EQ(sup.out, expected);
    EXPECT_EQ(sup.log.size(), 3u);
}

// Video PES packets of PES_packet_length 0 end where the next PES packet of
// the PID starts (payload unit start), or at the end of the file; payload
// that merely looks like a PES start is data.
TEST(Demux, UnboundedVideoPesPacketsAreCompleteAndExact) {
    Bytes first = ramp(700);
    // A continuation packet whose payload begins like a PES header.
    const Bytes lookalike{0x00, 0x00, 0x01, 0xE0, 0x00, 0x00, 0x80, 0x80, 0x05};
    std::copy(lookalike.begin(), lookalike.end(), first.begin() + 184 - 14);
    const Bytes second = ramp(1000, 0x30);
    Bytes stream;
    std::uint8_t cc = 0;
    append(stream, packetize(pesPacket(0xE0, first, 3003, 0, true), kVideo, cc));
    append(stream, test::nullPacket());
    append(stream, packetize(pesPacket(0xE0, second, 6006, 3003, true), kVideo, cc));

    Bytes expected = first;
    append(expected, second);
    const auto es = runDemux(stream, kVideo, DemuxMode::Elementary);
    EXPECT_EQ(es.out, expected);
    EXPECT_EQ(es.result.pesPackets, 2u);
}

// A PES header that does not fit the first packet's payload is joined with
// the next packet's.
TEST(Demux, PesHeaderSplitOverTwoPackets) {
    const Bytes segment = ramp(200, 0x15);
    const Bytes pes = pesPacket(0xBD, segment, 180000, 179910);  // 19 header bytes
    Bytes stream = sourcePacket(kIg, true, ByteView(pes).first(12));
    append(stream, sourcePacket(kIg, false, ByteView(pes).subspan(12, 184), 1));
    append(stream, sourcePacket(kIg, false, ByteView(pes).subspan(196), 2));

    const auto menu = runDemux(stream, kIg, DemuxMode::Menu);
    Bytes expected = segmentHeader("IG", 180000, 179910);
    append(expected, segment);
    EXPECT_EQ(menu.out, expected);
    EXPECT_EQ(runDemux(stream, kIg, DemuxMode::Elementary).out, segment);
}

TEST(Demux, PesPacketsWithoutHeaderAreLeftOut) {
    Bytes stream;
    std::uint8_t cc = 0;
    append(stream, packetize(pesPacket(0xBE, ramp(300)), kAudio, cc));  // padding, 2 packets
    append(stream, packetize(pesPacket(0xBF, ramp(50)), kAudio, cc));   // private stream 2
    append(stream, packetize(pesPacket(0xFD, ramp(40), 100), kAudio, cc));
    EXPECT_EQ(runDemux(stream, kAudio, DemuxMode::Elementary).out, ramp(40));
}

TEST(Demux, AdaptationFields) {
    const Bytes payload = ramp(150);
    const Bytes pes = pesPacket(0xFD, payload, 100);
    Bytes stream = sourcePacket(kAudio, true, ByteView(pes).first(100));
    // Adaptation field only (a PCR): no payload.
    Bytes pcrOnly{0, 0, 0, 0, 0x47, 0x11, 0x00, 0x21, 183, 0x10};
    pcrOnly.resize(192, 0xFF);
    append(stream, pcrOnly);
    // An adaptation field longer than a packet can hold: the packet is ignored.
    Bytes broken{0, 0, 0, 0, 0x47, 0x11, 0x00, 0x32, 200};
    broken.resize(192, 0xAA);
    append(stream, broken);
    // Payload flag clear: whatever follows the adaptation field is no payload.
    Bytes noPayload{0, 0, 0, 0, 0x47, 0x11, 0x00, 0x22, 10, 0x00};
    noPayload.resize(192, 0xBB);
    append(stream, noPayload);
    append(stream, sourcePacket(kAudio, false, ByteView(pes).subspan(100), 3));

    const auto es = runDemux(stream, kAudio, DemuxMode::Elementary);
    EXPECT_EQ(es.out, payload);
    EXPECT_EQ(es.result.savedPackets, 5u);
    EXPECT_EQ(runDemux(stream, kAudio, DemuxMode::Pes).out, pes);
}

TEST(Demux, TrailingBytesAreIgnored) {
    Bytes stream;
    for (int i = 0; i < 1000; ++i)
        append(stream, sourcePacket(kAudio, false, ramp(184), static_cast<std::uint8_t>(i)));
    const auto whole = runDemux(stream, kAudio, DemuxMode::Pes);
    append(stream, Bytes{0x47, 1, 2, 3, 4});
    const auto trailing = runDemux(stream, kAudio, DemuxMode::Pes);
    EXPECT_EQ(trailing.result.packets, 1000u);
    EXPECT_EQ(trailing.result.trailingBytes, 5u);
    EXPECT_EQ(trailing.result.syncLosses, 0u);
    EXPECT_EQ(trailing.out, whole.out);
    EXPECT_EQ(trailing.out.size(), 1000u * 184);
}

// Ten packets of the PID, each payload telling its number.
Bytes numberedPackets(int count) {
    Bytes stream;
    for (int i = 0; i < count; ++i) {
        append(stream, sourcePacket(kAudio, false, Bytes(184, static_cast<std::uint8_t>(i + 1)),
                                    static_cast<std::uint8_t>(i)));
    }
    return stream;
}

Bytes payloadsOf(std::initializer_list<int> numbers) {
    Bytes out;
    for (const int n : numbers)
        append(out, Bytes(184, static_cast<std::uint8_t>(n)));
    return out;
}

TEST(Demux, LostSyncCostsOnlyTheDamagedBytes) {
    {  // a damaged sync byte: that packet alone is lost
        Bytes stream = numberedPackets(10);
        stream[3 * 192 + 4] = 0x00;
        const auto run = runDemux(stream, kAudio, DemuxMode::Pes);
        EXPECT_EQ(run.out, payloadsOf({1, 2, 3, 5, 6, 7, 8, 9, 10}));
        EXPECT_EQ(run.result.syncLosses, 1u);
        EXPECT_EQ(run.result.skippedBytes, 192u);
        EXPECT_EQ(run.log,
                  std::vector<std::string>{"   Sync byte missing at byte 580: 192 bytes skipped."});
    }
    {  // bytes inserted into the file: every packet is found again
        Bytes stream = numberedPackets(10);
        stream.insert(stream.begin() + 5 * 192, {0x47, 0x47, 0x00, 0x47, 0x13, 0x14, 0x15});
        const auto run = runDemux(stream, kAudio, DemuxMode::Pes);
        EXPECT_EQ(run.out, payloadsOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        EXPECT_EQ(run.result.skippedBytes, 7u);
    }
    {  // garbage at the end
        Bytes stream = numberedPackets(4);
        append(stream, Bytes(300, 0x00));
        const auto run = runDemux(stream, kAudio, DemuxMode::Pes);
        EXPECT_EQ(run.out, payloadsOf({1, 2, 3, 4}));
        EXPECT_EQ(run.result.skippedBytes, 300u);
        EXPECT_EQ(run.result.syncLosses, 1u);
    }
}

TEST(Demux, CancelStopsAtTheNextPesStart) {
    Bytes stream;
    append(stream, packetize(pesPacket(0xFD, ramp(400), 100), kAudio));
    const auto cancelled = runDemux(stream, kAudio, DemuxMode::Elementary, true);
    EXPECT_TRUE(cancelled.result.cancelled);
    EXPECT_TRUE(cancelled.out.empty());
    EXPECT_EQ(cancelled.result.savedPackets, 1u);
}

TEST(Demux, StatusLineEvery32768Packets) {
    Bytes stream;
    stream.reserve(32800 * 192);
    for (int i = 0; i < 32800; ++i)
        append(stream, test::nullPacket());
    const auto run = runDemux(stream, kAudio, DemuxMode::Elementary);
    EXPECT_EQ(run.status.rfind("Packet: 32768/32800   Elapsed: 0:00:0", 0), 0u) << run.status;
    EXPECT_NE(run.status.find("   Remaining: "), std::string::npos);
    EXPECT_EQ(run.result.savedPackets, 0u);
}

// ---- Files ----

TEST(DemuxFile, MatchesTheDemultiplexerInMemory) {
    test::TempDir dir;
    Bytes stream;
    std::uint8_t cc = 0;
    for (std::uint32_t i = 0; i < 50; ++i)
        append(stream, packetize(pesPacket(0xBD, ramp(100 + i, 0x15), 90000 + i), kIg, cc));
    append(stream, Bytes{1, 2, 3});
    test::writeFile(dir / "clip.m2ts", stream);
    RecordingSink sink;
    Reporter reporter(sink);
    const DemuxResult result =
        Demux(dir / "clip.m2ts", dir / "menu.mnu", kIg, DemuxMode::Menu, reporter);
    const auto memory = runDemux(stream, kIg, DemuxMode::Menu);
    EXPECT_EQ(test::readFile(dir / "menu.mnu"), memory.out);
    EXPECT_EQ(result.savedPackets, memory.result.savedPackets);
    EXPECT_EQ(result.pesPackets, 50u);
    EXPECT_EQ(result.trailingBytes, 3u);
    EXPECT_EQ(result.bytesWritten, memory.out.size());
    EXPECT_EQ(sink.texts(), memory.log);
}

// Reads larger than one block: the packets that straddle the blocks, and a
// Cancel at the end of a block (PES mode has no PES starts to stop at).
TEST(DemuxFile, BlocksAndCancelAtTheEndOfABlock) {
    test::TempDir dir;
    Bytes stream;
    const int packets = 12000;
    stream.reserve(packets * 192 + 100);
    for (int i = 0; i < packets; ++i)
        append(stream, sourcePacket(kAudio, false, Bytes(184, static_cast<std::uint8_t>(i)),
                                    static_cast<std::uint8_t>(i)));
    // A damaged packet in the second block.
    stream[7000 * 192 + 4] = 0;
    test::writeFile(dir / "big.m2ts", stream);

    RecordingSink sink;
    Reporter reporter(sink);
    const DemuxResult all =
        Demux(dir / "big.m2ts", dir / "all.aus", kAudio, DemuxMode::Pes, reporter);
    EXPECT_EQ(all.savedPackets, packets - 1u);
    EXPECT_EQ(all.syncLosses, 1u);
    EXPECT_EQ(fs::file_size(dir / "all.aus"), (packets - 1u) * 184);

    // Cancel pressed while the first block's events run.
    struct CancellingSink : RecordingSink {
        Reporter* reporter = nullptr;
        void processEvents() override { reporter->requestCancel(); }
    } cancelling;
    Reporter cancelReporter(cancelling);
    cancelling.reporter = &cancelReporter;
    const DemuxResult part =
        Demux(dir / "big.m2ts", dir / "part.aus", kAudio, DemuxMode::Pes, cancelReporter);
    EXPECT_TRUE(part.cancelled);
    EXPECT_GT(part.savedPackets, 0u);
    EXPECT_LT(part.savedPackets, 7000u);
    EXPECT_EQ(part.savedPackets % 341, 0u);  // whole blocks of 341 packets
    EXPECT_EQ(fs::file_size(dir / "part.aus"), part.savedPackets * 184);
}

TEST(DemuxFile, FilesThatCannotBeUsed) {
    test::TempDir dir;
    RecordingSink sink;
    Reporter reporter(sink);
    EXPECT_THROW(Demux(dir / "missing.m2ts", dir / "out.aus", kAudio, DemuxMode::Pes, reporter),
                 FileError);
    EXPECT_FALSE(fs::exists(dir / "out.aus"));

    const Bytes stream = numberedPackets(3);
    test::writeFile(dir / "clip.m2ts", stream);
    EXPECT_THROW(Demux(dir / "clip.m2ts", dir / "clip.m2ts", kAudio, DemuxMode::Pes, reporter),
                 FileError);
    EXPECT_EQ(test::readFile(dir / "clip.m2ts"), stream);
    EXPECT_THROW(Demux(dir / "clip.m2ts", dir / "no/folder.aus", kAudio, DemuxMode::Pes, reporter),
                 FileError);

    // A PID the stream does not have: the target exists and is empty.
    const DemuxResult none =
        Demux(dir / "clip.m2ts", dir / "none.vis", kVideo, DemuxMode::Elementary, reporter);
    EXPECT_EQ(none.savedPackets, 0u);
    EXPECT_TRUE(fs::exists(dir / "none.vis"));
    EXPECT_EQ(fs::file_size(dir / "none.vis"), 0u);
    // Nothing but the files the test made is left in the folder.
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u);
}

// A clip of a real disc: its video PID.
TEST(DemuxSample, RealClipVideo) {
    LUMORA_REQUIRE_SAMPLES();
    const std::string clip = test::samplesDir() + "/progressive/BDMV/STREAM/00000.m2ts";
    test::TempDir dir;
    RecordingSink sink;
    Reporter reporter(sink);
    const DemuxResult es = Demux(clip, dir / "video.vis", kVideo, DemuxMode::Elementary, reporter);
    EXPECT_EQ(es.packets, 1024u);
    EXPECT_EQ(es.savedPackets, 836u);
    EXPECT_EQ(es.pesPackets, 151u);
    EXPECT_EQ(es.syncLosses, 0u);
    const Bytes video = test::readFile(dir / "video.vis");
    ASSERT_GE(video.size(), 5u);
    EXPECT_EQ(Bytes(video.begin(), video.begin() + 5), (Bytes{0, 0, 0, 1, 0x09}));  // an AUD

    const DemuxResult pes = Demux(clip, dir / "video.pes", kVideo, DemuxMode::Pes, reporter);
    EXPECT_EQ(pes.savedPackets, 836u);
    EXPECT_GT(fs::file_size(dir / "video.pes"), video.size());
}

}  // namespace
}  // namespace lumora
