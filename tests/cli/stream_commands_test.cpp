// `lumora-cli demux`, `lumora-cli mux-menu`, and the menu commands on stream
// files, on the demo disc (whose menu clip carries the demo menu on PID
// 0x1400).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "cli/menu_source.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

namespace fs = std::filesystem;

struct Demo {
    Demo() : info(makeDemoDisc(dir.path().string())) {}
    std::string stream(const std::string& clip) const {
        return info.folder + "STREAM/" + clip + ".m2ts";
    }
    test::TempDir dir;
    DemoDiscInfo info;
};

TEST(CliPid, HexadecimalWithPrefixOrDecimal) {
    const std::pair<const char*, std::optional<std::uint16_t>> cases[] = {
        {"0x1100", 0x1100},       {"0X1fff", 0x1FFF},
        {"4352", 0x1100},         {"0", 0},
        {"0x2000", std::nullopt}, {"8192", std::nullopt},
        {"1400h", std::nullopt},  {"0x", std::nullopt},
        {"", std::nullopt},       {"-1", std::nullopt},
    };
    for (const auto& [text, pid] : cases)
        EXPECT_EQ(parsePidArgument(text), pid) << text;
}

TEST(CliDemux, TheMenuClipsIgStreamIsTheDemoMenu) {
    Demo demo;
    const std::string out = demo.dir / "menu.mnu";
    // Without --mode an IG PID is saved as a menu file.
    const CliRun run = cli({"demux", demo.stream("00001"), "--pid", "0x1400", "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(has(run.out, " Saving " + out + " ...\n"));
    EXPECT_TRUE(has(run.out, " 0002BF20, 0002BC74 : 0:00:02.000, 0:00:01.992   18   "));
    EXPECT_TRUE(has(run.out, " source packets saved. (0:00:0"));
    EXPECT_EQ(run.err, "");  // no progress when standard error is no terminal
    EXPECT_EQ(test::readFile(out), test::readFile(demo.dir / "demo.mnu"));

    // --mode pes: the transport payloads; decimal PID.
    const CliRun pes = cli({"demux", demo.stream("00001"), "--pid", "5120", "--mode", "pes", "-o",
                            demo.dir / "menu.pes"});
    EXPECT_EQ(pes.status, 0) << pes.err;
    EXPECT_GT(fs::file_size(demo.dir / "menu.pes"), fs::file_size(out));
    EXPECT_FALSE(has(pes.out, "0002BF20"));  // no PES lines in PES mode
}

TEST(CliDemux, ErrorsAndUsage) {
    Demo demo;
    const std::string out = demo.dir / "x.out";
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const Case cases[] = {
        {{"demux", demo.stream("00000"), "-o", out}, 2, "demux needs --pid PID"},
        {{"demux", demo.stream("00000"), "--pid", "0x1011"}, 2, "demux needs -o OUT"},
        {{"demux", "--pid", "0x1011", "-o", out}, 2, "demux needs one STREAM"},
        {{"demux", demo.stream("00000"), "--pid", "0x20000", "-o", out}, 2, "PID must be"},
        {{"demux", demo.stream("00000"), "--pid", "0x1011", "--mode", "raw", "-o", out},
         2,
         "--mode must be es, pes, sup or mnu"},
        {{"demux", demo.dir / "none.m2ts", "--pid", "0x1011", "-o", out}, 1, "none.m2ts"},
        {{"demux", demo.stream("00000"), "--pid", "0x1400", "-o", out},
         1,
         "has no packet of PID 0x1400"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.err;
        EXPECT_TRUE(has(run.err, c.err)) << run.err;
    }
    const CliRun help = cli({"demux", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "usage: lumora-cli demux STREAM --pid PID"));
}

TEST(CliMuxMenu, MenuFileToStreamAndBack) {
    Demo demo;
    const std::string stream = demo.dir / "menu.m2ts";
    const CliRun run = cli({"mux-menu", demo.dir / "demo.mnu", "-o", stream});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto size = fs::file_size(stream);
    EXPECT_EQ(run.out, stream + "\t" + std::to_string(size / 192) + " source packets\n");
    EXPECT_EQ(size % 6144, 0u);

    const CliRun back = cli({"demux", stream, "--pid", "0x1400", "-o", demo.dir / "back.mnu"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(test::readFile(demo.dir / "back.mnu"), test::readFile(demo.dir / "demo.mnu"));

    EXPECT_EQ(cli({"mux-menu", demo.stream("00000"), "-o", stream}).status, 1);
    EXPECT_EQ(cli({"mux-menu", demo.dir / "demo.mnu"}).status, 2);
}

// The menu commands take a stream file as they take a menu file.
TEST(CliMenu, StreamFilesGiveTheirMenu) {
    Demo demo;
    const CliRun fromFile = cli({"menu", "objects", demo.dir / "demo.mnu"});
    const CliRun fromStream = cli({"menu", "objects", demo.stream("00001")});
    EXPECT_EQ(fromStream.status, 0) << fromStream.err;
    EXPECT_EQ(fromStream.out, fromFile.out);
    EXPECT_EQ(cli({"menu", "palettes", demo.stream("00001"), "--pid", "0x1400"}).out,
              cli({"menu", "palettes", demo.dir / "demo.mnu"}).out);

    // The info shows the demultiplexer's lines before the loader's.
    const CliRun info = cli({"menu", "info", demo.stream("00001")});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.rfind(" 0002BF20, 0002BC74 : ", 0), 0u);
    EXPECT_TRUE(has(info.out, " 1 ICS, 17 OCS, 2 PCS found.\n \nvideo_format\t1920x1080\n"));

    // A file of source packets counts as a stream file whatever its name.
    fs::copy_file(demo.stream("00001"), demo.dir / "clip.bin");
    EXPECT_EQ(cli({"menu", "objects", demo.dir / "clip.bin"}).out, fromFile.out);

    // No IG stream on the PID: the menu reader says so, naming the stream.
    const CliRun none = cli({"menu", "info", demo.stream("00001"), "--pid", "0x1401"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(has(none.err, "00001_PID1401.mnu")) << none.err;
    EXPECT_EQ(cli({"menu", "info", demo.stream("00001"), "--pid", "x"}).status, 2);
    // The temporary menu files are gone.
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(name.rfind("Lumora_cli_" + std::to_string(::getpid()), 0) == 0) << name;
    }
}

}  // namespace
}  // namespace lumora::cli
