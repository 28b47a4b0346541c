// FFmpeg as an outside reference, when it is installed: its probe reads the
// multiplexer's stream file without a transport stream error, and its stream
// copy of an audio or video PID is byte for byte the elementary stream of the
// demultiplexer (on a stream FFmpeg itself writes, whose video PES packets
// are unbounded, and on a clip of a real disc).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "demo/demo_disc.h"
#include "menu/menu_reader.h"
#include "stream/demux.h"
#include "stream/mux.h"
#include "stream/source_packet.h"
#include "stream_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

int run(const std::string& command) {
    return std::system(command.c_str());
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

std::string textOf(const std::string& path) {
    const Bytes bytes = test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(FFmpeg, ProbeReadsTheMuxedMenu) {
    if (!test::toolAvailable("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    test::TempDir dir;
    makeDemoMenu(dir / "demo.mnu");
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(dir / "demo.mnu", menu, reporter).good());
    ASSERT_TRUE(muxMenu(menu, dir / "menu.m2ts", reporter));

    const int status = run("ffprobe -v error -show_entries stream=id,codec_tag -of compact=p=0 " +
                           quoted(dir / "menu.m2ts") + " > " + quoted(dir / "probe.txt") + " 2> " +
                           quoted(dir / "errors.txt"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(textOf(dir / "errors.txt"), "");
    EXPECT_NE(textOf(dir / "probe.txt").find("codec_tag=0x0091|id=0x1400"), std::string::npos)
        << textOf(dir / "probe.txt");
}

// A PID as FFmpeg's stream specifiers take it: 4 lower-case hex digits.
std::string pidHex(std::uint16_t pid) {
    static const char* digits = "0123456789abcdef";
    std::string text;
    for (int shift = 12; shift >= 0; shift -= 4)
        text += digits[pid >> shift & 0xF];
    return text;
}

// FFmpeg's stream copy of one PID, as raw data.
bool streamCopy(const std::string& source, std::uint16_t pid, const std::string& target) {
    return run("ffmpeg -hide_banner -loglevel error -y -i " + quoted(source) + " -map 0:#0x" +
               pidHex(pid) + " -c copy -copyinkf -f data " + quoted(target)) == 0;
}

Bytes elementaryStream(const std::string& source, std::uint16_t pid, const std::string& target) {
    RecordingSink sink;
    Reporter reporter(sink);
    Demux(source, target, pid, DemuxMode::Elementary, reporter);
    return test::readFile(target);
}

// Whether the first PES packet of `pid` has PES_packet_length 0.
bool firstPesUnbounded(const Bytes& stream, std::uint16_t pid) {
    for (std::size_t at = 0; at + 192 <= stream.size(); at += 192) {
        const std::uint8_t* ts = stream.data() + at + 4;
        if (packetPid(ts) != pid || !payloadUnitStart(ts)) continue;
        const std::uint8_t* pes = ts + 188 - payloadSize(ts);
        return pes[4] == 0 && pes[5] == 0;
    }
    return false;
}

TEST(FFmpeg, ElementaryStreamsEqualStreamCopies) {
    if (!test::toolAvailable("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    const std::string clip = dir / "made.m2ts";
    const int made =
        run("ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25 "
            "-f lavfi -i sine=frequency=440:sample_rate=48000 -t 2 -c:v libx264 -preset ultrafast "
            "-c:a ac3 -f mpegts -mpegts_m2ts_mode 1 " +
            quoted(clip));
    if (made != 0) GTEST_SKIP() << "ffmpeg cannot encode H.264 and AC-3 here";
    ASSERT_TRUE(firstPesUnbounded(test::readFile(clip), 0x1011));

    for (const std::uint16_t pid : {std::uint16_t{0x1011}, std::uint16_t{0x1100}}) {
        const std::string copy = dir / ("copy_" + pidHex(pid));
        ASSERT_TRUE(streamCopy(clip, pid, copy)) << pid;
        const Bytes ours = elementaryStream(clip, pid, dir / ("ours_" + pidHex(pid)));
        EXPECT_GT(ours.size(), 1000u);
        EXPECT_TRUE(ours == test::readFile(copy)) << "PID " << pid;
    }
}

TEST(FFmpeg, RealClipVideoEqualsStreamCopy) {
    LUMORA_REQUIRE_SAMPLES();
    if (!test::toolAvailable("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    const std::string clip = test::samplesDir() + "/progressive/BDMV/STREAM/00000.m2ts";
    ASSERT_TRUE(streamCopy(clip, 0x1011, dir / "copy"));
    EXPECT_TRUE(elementaryStream(clip, 0x1011, dir / "ours") == test::readFile(dir / "copy"));
}

}  // namespace
}  // namespace lumora
