// The IG menu multiplexer: the fixed tables, the packet layout, stuffing,
// padding to whole aligned units, continuity counters, the periodic tables,
// a short PES packet, and menus that go through the multiplexer and come
// back out of the demultiplexer unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "stream/demux.h"
#include "stream/mux.h"
#include "stream/source_packet.h"
#include "stream_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

using test::append;
using test::hexBytes;
using test::pesPacket;
using test::ramp;
namespace fs = std::filesystem;

// The source packets of a stream, each 192 bytes.
std::vector<ByteView> packetsOf(const Bytes& stream) {
    std::vector<ByteView> packets;
    for (std::size_t at = 0; at + 192 <= stream.size(); at += 192)
        packets.push_back(ByteView(stream).subspan(at, 192));
    return packets;
}

std::uint16_t pidOf(ByteView packet) {
    return packetPid(packet.data() + 4);
}

Bytes muxed(ByteView pes, MuxResult* result = nullptr, std::vector<std::string>* log = nullptr) {
    RecordingSink sink;
    Reporter reporter(sink);
    Bytes out = muxPesStream(pes, reporter, result);
    if (log != nullptr) *log = sink.texts();
    return out;
}

// The transport packet as the table gives it, the rest 0xFF.
Bytes fixedPacket(std::string_view hex) {
    Bytes packet = hexBytes(hex);
    packet.resize(188, 0xFF);
    return packet;
}

Bytes transportPart(ByteView packet) {
    return Bytes(packet.begin() + 4, packet.end());
}

TEST(MuxTables, SectionsEndWithTheirCrc) {
    EXPECT_EQ(patSection(),
              hexBytes("00 B0 11 00 00 C1 00 00 00 00 E0 1F 00 01 E1 00 23 5A AB 82"));
    EXPECT_EQ(pmtSection(), hexBytes("02 B0 1E 00 01 C1 00 00 F0 01 F0 0C 05 04 48 44 4D 56 88"
                                     "04 0F FF FF FC 91 F4 00 F0 00 F1 F0 88 EB"));
    EXPECT_EQ(sitSection(), hexBytes("7F F0 19 FF FF C1 00 00 F0 0A 63 08 C1 D4 C0 FF FF FF FF FF"
                                     "00 01 80 00 03 00 38 6D"));
}

TEST(Mux, ThreeSmallPesPacketsMakeOneAlignedUnit) {
    Bytes pes = pesPacket(0xBD, ramp(100, 0x18), 180000, 179910);
    append(pes, pesPacket(0xBD, ramp(150, 0x14), 179910));
    append(pes, pesPacket(0xBD, Bytes{0x80, 0, 0}, 179910));
    MuxResult result;
    const Bytes stream = muxed(pes, &result);
    ASSERT_EQ(stream.size(), 6144u);
    EXPECT_EQ(result.packets, 32u);
    EXPECT_EQ(result.pesPackets, 3u);
    const auto packets = packetsOf(stream);

    // TP_extra_header: 0x10000000 + 846 per packet.
    for (std::size_t n = 0; n < packets.size(); ++n) {
        Bytes expected;
        appendBigEndian(expected, 0x10000000 + 846 * n, 4);
        EXPECT_EQ(Bytes(packets[n].begin(), packets[n].begin() + 4), expected) << n;
    }
    EXPECT_EQ(Bytes(packets[1].begin(), packets[1].begin() + 4), hexBytes("10 00 03 4E"));

    EXPECT_EQ(transportPart(packets[0]),
              fixedPacket("47 40 00 10 00 00 B0 11 00 00 C1 00 00 00 00 E0 1F 00 01 E1 00 23 5A "
                          "AB 82"));
    EXPECT_EQ(transportPart(packets[1]),
              fixedPacket("47 41 00 10 00 02 B0 1E 00 01 C1 00 00 F0 01 F0 0C 05 04 48 44 4D 56 "
                          "88 04 0F FF FF FC 91 F4 00 F0 00 F1 F0 88 EB"));
    EXPECT_EQ(transportPart(packets[2]),
              fixedPacket("47 40 1F 10 00 7F F0 19 FF FF C1 00 00 F0 0A 63 08 C1 D4 C0 FF FF FF "
                          "FF FF 00 01 80 00 03 00 38 6D"));
    EXPECT_EQ(transportPart(packets[3]), fixedPacket("47 10 01 20 B7 10 00 00 00 00 7E 00"));

    // Each PES packet in one IG packet: payload unit start, stuffing in front.
    std::size_t at = 0;
    for (std::size_t n = 4; n < 7; ++n) {
        const std::uint8_t* ts = packets[n].data() + 4;
        EXPECT_EQ(ts[1], 0x54);
        EXPECT_EQ(ts[2], 0x00);
        EXPECT_EQ(ts[3], 0x30 | (n - 4));
        const std::size_t length = ts[4];
        EXPECT_EQ(ts[5], 0x00);  // flags
        const std::size_t payload = 183 - length;
        EXPECT_TRUE(std::all_of(ts + 6, ts + 5 + length, [](std::uint8_t b) { return b == 0xFF; }));
        EXPECT_EQ(Bytes(ts + 188 - payload, ts + 188),
                  Bytes(pes.begin() + at, pes.begin() + at + payload));
        at += payload;
    }
    EXPECT_EQ(at, pes.size());
    for (std::size_t n = 7; n < 32; ++n)
        EXPECT_EQ(transportPart(packets[n]), fixedPacket("47 1F FF 10")) << n;
}

TEST(Mux, PesPacketsOf184And183Bytes) {
    const Bytes exact = pesPacket(0xBD, ramp(184 - 14), 90000);
    ASSERT_EQ(exact.size(), 184u);
    const Bytes streamA = muxed(exact);
    const ByteView packetA = packetsOf(streamA)[4];
    EXPECT_EQ(packetA[7], 0x10);  // no adaptation field
    EXPECT_EQ(Bytes(packetA.begin() + 8, packetA.end()), exact);

    const Bytes oneShort = pesPacket(0xBD, ramp(183 - 14), 90000);
    const Bytes streamB = muxed(oneShort);
    const ByteView packetB = packetsOf(streamB)[4];
    EXPECT_EQ(packetB[7], 0x30);
    EXPECT_EQ(packetB[8], 0x00);  // adaptation field of length 0: no flags byte
    EXPECT_EQ(Bytes(packetB.begin() + 9, packetB.end()), oneShort);
}

// A large menu stream: the continuity counters per PID and the tables that
// come back every 2500 and 25000 packets.
TEST(Mux, ContinuityCountersAndPeriodicTables) {
    Bytes pes;
    while (pes.size() < 25100 * 184)
        append(pes, pesPacket(0xBD, ramp(65500, 0x15), 90000, 80000));
    const Bytes stream = muxed(pes);
    const auto packets = packetsOf(stream);
    ASSERT_GT(packets.size(), 25002u);
    EXPECT_EQ(packets.size() % 32, 0u);

    std::map<std::uint16_t, int> next;
    std::vector<std::size_t> pcr, pat, sit;
    for (std::size_t n = 0; n < packets.size(); ++n) {
        const std::uint8_t* ts = packets[n].data() + 4;
        const std::uint16_t pid = packetPid(ts);
        const int cc = continuityCounter(ts);
        if (pid == kMenuPcrPid || pid == 0x1FFF) {
            EXPECT_EQ(cc, 0) << n;
        } else {
            EXPECT_EQ(cc, next[pid]) << "PID " << pid << " packet " << n;
            next[pid] = (cc + 1) % 16;
        }
        if (pid == kMenuPcrPid) pcr.push_back(n);
        if (pid == 0x0000) pat.push_back(n);
        if (pid == kMenuSitPid) sit.push_back(n);
        if (pid == kMenuPmtPid) {
            EXPECT_EQ(pidOf(packets[n - 1]), 0x0000) << n;
        }
    }
    // After a continuation packet at k - 1, packet k is the table.
    auto followsContinuation = [&](std::size_t k) {
        const std::uint8_t* ts = packets[k - 1].data() + 4;
        return packetPid(ts) == kMenuStreamPid && !payloadUnitStart(ts);
    };
    std::vector<std::size_t> expectedPcr{3}, expectedPat{0}, expectedSit{2};
    for (std::size_t k = 1; k < packets.size(); ++k) {
        if (k % 2500 == 0 && followsContinuation(k)) expectedPcr.push_back(k);
        if (k % 2500 == 2000 && followsContinuation(k)) expectedPat.push_back(k);
        if (k % 25000 == 2 && followsContinuation(k)) expectedSit.push_back(k);
    }
    EXPECT_EQ(pcr, expectedPcr);
    EXPECT_EQ(pat, expectedPat);
    EXPECT_EQ(sit, expectedSit);
    EXPECT_GE(pcr.size(), 10u);
    EXPECT_EQ(sit.size(), 2u);
}

// Tables are looked at after continuation packets only: PES packets that fit
// one transport packet never bring them.
TEST(Mux, SmallPesPacketsNeverTriggerTheTables) {
    Bytes pes;
    for (int i = 0; i < 2600; ++i)
        append(pes, pesPacket(0xBD, ramp(20), 90000));
    const Bytes stream = muxed(pes);
    const auto packets = packetsOf(stream);
    std::size_t tables = 0;
    for (const ByteView packet : packets) {
        const std::uint16_t pid = pidOf(packet);
        if (pid != kMenuStreamPid && pid != 0x1FFF) ++tables;
    }
    EXPECT_EQ(tables, 4u);
}

TEST(Mux, ShortPesPacketLogsMuxError) {
    Bytes pes = pesPacket(0xBD, ramp(1000), 90000);
    pes.resize(300);
    MuxResult result;
    std::vector<std::string> log;
    const Bytes stream = muxed(pes, &result, &log);
    EXPECT_TRUE(result.shortRead);
    EXPECT_EQ(log, std::vector<std::string>{" ERROR: Mux error"});
    const auto packets = packetsOf(stream);
    ASSERT_EQ(packets.size(), 32u);
    EXPECT_EQ(Bytes(packets[4].begin() + 8, packets[4].end()),
              Bytes(pes.begin(), pes.begin() + 184));
    // The second packet holds the last 116 bytes, then 0xFF where the rest was due.
    Bytes second(pes.begin() + 184, pes.end());
    second.resize(184, 0xFF);
    EXPECT_EQ(Bytes(packets[5].begin() + 8, packets[5].end()), second);
    EXPECT_EQ(pidOf(packets[6]), 0x1FFF);
}

TEST(Mux, WordsOutsidePesPacketsAreSkipped) {
    const Bytes pes = pesPacket(0xBD, ramp(400), 90000);
    Bytes withJunk = hexBytes("00 00 01 BE 12 34 56 78");
    append(withJunk, pes);
    EXPECT_EQ(muxed(withJunk), muxed(pes));
}

TEST(Mux, MuxWritesThroughATemporaryFile) {
    test::TempDir dir;
    const Bytes pes = pesPacket(0xBD, ramp(4000), 90000);
    RecordingSink sink;
    Reporter reporter(sink);
    const MuxResult result = Mux(pes, dir / "menu.m2ts", reporter);
    EXPECT_EQ(test::readFile(dir / "menu.m2ts"), muxed(pes));
    EXPECT_EQ(result.packets * 192, fs::file_size(dir / "menu.m2ts"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_THROW(Mux(pes, dir / "no/menu.m2ts", reporter), FileError);
}

// The demo menu muxed and taken out again in menu mode is the writer's menu
// file byte for byte.
TEST(MuxRoundTrip, MenuComesBackAsTheWritersMenuFile) {
    test::TempDir dir;
    makeDemoMenu(dir / "demo.mnu");
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(dir / "demo.mnu", menu, reporter).good());
    const std::optional<Bytes> menuFile = igsBytes(menu, IGSForm::MenuFile, reporter);
    ASSERT_TRUE(menuFile);
    EXPECT_EQ(*menuFile, test::readFile(dir / "demo.mnu"));

    const std::optional<MuxResult> result = muxMenu(menu, dir / "menu.m2ts", reporter);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->shortRead);
    EXPECT_EQ(result->packets % 32, 0u);
    const DemuxResult back =
        Demux(dir / "menu.m2ts", dir / "back.mnu", kMenuStreamPid, DemuxMode::Menu, reporter);
    EXPECT_EQ(back.pesPackets, result->pesPackets);
    EXPECT_EQ(test::readFile(dir / "back.mnu"), *menuFile);
}

}  // namespace
}  // namespace lumora
