#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "playlist/clip_info_file.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {
namespace fs = std::filesystem;

std::string sample(const char* file) {
    return test::samplesDir() + "/" + file;
}

TEST(CliClipInfo, RewriteGivesTheSampleClipsBackByteForByte) {
    LUMORA_REQUIRE_SAMPLES();
    test::TempDir dir;
    for (const char* file :
         {"bigbuckbunny/BDMV/CLIPINF/00000.clpi", "feature-disc/BDMV/CLIPINF/00007.clpi",
          "progressive/BDMV/CLIPINF/00000.clpi", "files/00015_IG_only.clpi"}) {
        const std::string out = dir / "out.clpi";
        const CliRun run = cli({"rewrite", sample(file), out});
        EXPECT_EQ(run.status, 0) << file << run.err;
        EXPECT_TRUE(has(run.out, "\tidentical\n")) << file << ": " << run.out;
        EXPECT_EQ(test::readFile(out), test::readFile(sample(file))) << file;
    }
}

TEST(CliClipInfo, DumpJson) {
    LUMORA_REQUIRE_SAMPLES();
    const CliRun run = cli({"dump", "--json", sample("feature-disc/BDMV/CLIPINF/00007.clpi")});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["format"], "clip_info");
    EXPECT_EQ(json["type_indicator"], "HDMV");
    EXPECT_EQ(json["clip_info"]["number_of_source_packets"], 43086400);
    EXPECT_EQ(json["clip_info"]["is_atc_delta"], 1);
    EXPECT_EQ(json["clip_info"]["atc_delta_entries"][0]["following_clip_information_file_name"],
              "00008");
    const auto& streams = json["program_info"]["program_sequences"][0]["streams"];
    ASSERT_EQ(streams.size(), 7u);
    EXPECT_EQ(streams[1]["coding_type"], 0x80);
    EXPECT_EQ(streams[1]["language_code"], "jpn");
    EXPECT_EQ(streams[0]["isrc"]["recording_number"], "00000");
    const auto& map = json["cpi"]["ep_map"][0];
    EXPECT_EQ(json["cpi"]["cpi_type"], 1);
    EXPECT_EQ(map["stream_pid"], 0x1011);
    EXPECT_EQ(map["number_of_ep_coarse_entries"], 546);
    EXPECT_EQ(map["fine"].size(), 1729u);
    EXPECT_EQ(json["clip_mark"]["length"], 0);

    const CliRun menu = cli({"dump", "--json", sample("files/00015_IG_only.clpi")});
    const auto menuJson = nlohmann::json::parse(menu.out);
    EXPECT_EQ(menuJson["cpi"]["length"], 0);
    EXPECT_FALSE(menuJson["cpi"].contains("cpi_type"));
}

TEST(CliClipInfo, DumpTextOfTheDemoClip) {
    test::TempDir dir;
    const DemoDiscInfo info = makeDemoDisc(dir.path().string());
    const CliRun run = cli({"dump", info.folder + "CLIPINF/00001.clpi"});
    ASSERT_EQ(run.status, 0) << run.err;
    // The menu clip's stream carries the demo menu as well.
    const std::string packets =
        "number_of_source_packets\t" + std::to_string(info.menuStreamPackets) + "\n";
    const std::vector<std::string> lines{
        "file\t00001.clpi\n",
        "application_type\tSub TS for a Interactive Graphics menu (5)\n",
        packets,
        "No.\tPID\tStream type\tDetails\n1\t1011\tAVC\t1080p, 23.976, 16:9\n"
        "2\t1400\tIG\teng\n",
        "No.\tPID\tEP type\tEP coarse\tEP fine\tEP map st.\n"
        "0\t1011\t1\t0001\t00001\t0000000E\n",
        "extension_data\tno ExtensionData()\n"};
    for (const std::string& line : lines) {
        EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
    }
}

TEST(CliClipInfo, CutClipIsPrintedAndFails) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    Bytes data = test::readFile(folder + "CLIPINF/00000.clpi");
    data.resize(data.size() - 10);
    const std::string cut = dir / "cut.clpi";
    test::writeFile(cut, data);
    const CliRun dump = cli({"dump", cut});
    EXPECT_EQ(dump.status, 1);
    EXPECT_TRUE(has(dump.out, "number_of_source_packets\t32\n"));
    EXPECT_TRUE(has(dump.err, "lumora-cli: cut.clpi: CPI() runs past the end of the file at $"))
        << dump.err;
    const CliRun rewrite = cli({"rewrite", cut, dir / "out.clpi"});
    EXPECT_EQ(rewrite.status, 1);
    EXPECT_FALSE(fs::exists(dir / "out.clpi"));
}

// The demo's clips describe their stream files: the packet count is the
// file's, and the EP map's entry point is a packet of the video PID that
// starts a PES packet.
TEST(CliClipInfo, DemoClipsMatchTheirStreams) {
    test::TempDir dir;
    const DemoDiscInfo info = makeDemoDisc(dir.path().string());
    for (const char* name : {"00000", "00001"}) {
        TCLPI clip;
        ASSERT_TRUE(
            parseClipInfo(readFileBytes(info.folder + "CLIPINF/" + name + ".clpi"), name, clip)
                .good());
        const Bytes stream = readFileBytes(info.folder + "STREAM/" + name + ".m2ts");
        EXPECT_FALSE(packetCheck(clip, static_cast<std::int64_t>(stream.size())).differs);
        ASSERT_EQ(clip.cpi.pidEntries.size(), 1u);
        const std::uint16_t pid = clip.cpi.pidEntries[0].streamPid;
        const TEP_map_fosPID& map = clip.cpi.epMaps.at(0);
        ASSERT_EQ(map.fine.size(), 1u);
        EXPECT_EQ(map.coarse.at(0).spnEPCoarse, map.fine[0].spnEPFine);
        const std::size_t packet = std::size_t{map.fine[0].spnEPFine} * 192 + 4;
        ASSERT_LT(packet + 4, stream.size());
        EXPECT_EQ(stream[packet], 0x47);
        EXPECT_EQ((stream[packet + 1] & 0x1F) << 8 | stream[packet + 2], pid);
        EXPECT_TRUE(stream[packet + 1] & 0x40) << "payload unit start";
        EXPECT_EQ(clip.programInfo.programSequences.at(0).streams.at(0).streamPid, pid);
    }
}

TEST(CliFind, ClipReferencesOfTheDemo) {
    test::TempDir dir;
    makeDemoDisc(dir.path().string());
    const CliRun run = cli({"find", dir.path().string(), "--clip", "00000"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              " Reading 00000.mpls\n Reading 00001.mpls\n Reading 00002.mpls\n"
              "clip\t00000\nreferences\t4\nNo.\tmpls\ts/p\titem\n"
              "1\t00000\tp\t00000\n2\t00000\tp\t00001\n3\t00000\tp\t00002\n4\t00002\tp\t00000\n");
    EXPECT_EQ(run.err, "");
    // The extension may be given.
    EXPECT_EQ(cli({"find", dir / "BDMV", "--clip", "00001.clpi"}).status, 0);
}

TEST(CliFind, MissingStreamsAreReported) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::remove(folder + "STREAM/00001.m2ts");
    const CliRun run = cli({"find", folder + "index.bdmv", "--clip", "00001"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out,
                    " ERROR: Missing stream file referenced by 00000.mpls, SubPath 0, "
                    "SubPlayItem 0\n"));
    EXPECT_TRUE(has(run.out, " ERROR: Missing stream file referenced by 00001.mpls, PlayItem 0\n"));
    EXPECT_TRUE(has(run.out, "references\t2\n"));
    EXPECT_TRUE(has(run.err, "lumora-cli: Missing stream file referenced by 00001.mpls"));
}

TEST(CliFind, MovieObjectsThatPlayAPlaylist) {
    test::TempDir dir;
    makeDemoDisc(dir.path().string());
    const CliRun run = cli({"find", dir.path().string(), "--playlist", "00002"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              " \n PlayList 00002 found in:\nObject 0000, Command line 0001\n"
              "Object 0004, Command line 0003\n");
    const CliRun menu = cli({"find", dir.path().string(), "--playlist", "00001.mpls"});
    EXPECT_EQ(menu.out, " \n PlayList 00001 found in:\nObject 0001, Command line 0000\n");
}

TEST(CliFind, FailuresAndUsage) {
    test::TempDir dir;
    makeDemoDisc(dir.path().string());
    const std::string path = dir.path().string();
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"find", path, "--clip", "00009"}, 1, "lumora-cli: no clip 00009 in "},
        {{"find", path, "--playlist", "00042"}, 1, "lumora-cli: no playlist 00042 in "},
        {{"find", dir / "nowhere", "--clip", "00000"}, 1, "lumora-cli: Check failed."},
        {{"find", path}, 2, "lumora-cli: find needs either --clip NAME or --playlist NAME"},
        {{"find", path, "--clip", "00000", "--playlist", "00000"}, 2, "lumora-cli: find needs"},
        {{"find", "--clip", "00000"}, 2, "lumora-cli: find needs one PATH"},
        {{"find", path, "--clip"}, 2, "lumora-cli: option --clip needs a value"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.err;
        EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
    }
    const CliRun help = cli({"find", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "usage: lumora-cli find PATH --clip NAME\n"));
    EXPECT_TRUE(has(cli({"--help"}).out, "  find        "));
}

}  // namespace
}  // namespace lumora::cli
