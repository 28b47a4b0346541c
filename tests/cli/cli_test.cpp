#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {
namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runCli(args, {out, err});
    return {status, out.str(), err.str()};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliCheck, CompleteDemoDiscPasses) {
    test::TempDir dir;
    const CliRun made = cli({"make-demo", dir.path().string()});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_TRUE(has(made.out, "Demo disc written to " + dir.path().string() + "/BDMV/"));

    // The folder that holds BDMV, the BDMV folder itself and a file in it all
    // name the same disc.
    for (const std::string& path :
         {dir.path().string(), dir / "BDMV", dir / "BDMV/", dir / "BDMV/index.bdmv"}) {
        const CliRun run = cli({"check", path});
        EXPECT_EQ(run.status, 0) << path << "\n" << run.out << run.err;
        EXPECT_TRUE(has(run.out, " Checking required files and directories...\n")) << path;
        EXPECT_TRUE(has(run.out, "   Found 2 AV streams\n")) << path;
        EXPECT_FALSE(has(run.out, "[b]")) << "markup must be removed";
        EXPECT_EQ(run.err, "");
    }
}

TEST(CliCheck, ColourKeepsTheStylesAsEscapes) {
    test::TempDir dir;
    makeDemoDisc(dir.path().string());
    const CliRun run = cli({"check", "--color", dir.path().string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(has(run.out, "\x1b[0;34mPLAYLIST\x1b[0m folder: \x1b[0;1mOK"));
}

TEST(CliCheck, EightThreeNamesWhileTheOptionIsOff) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::rename(folder + "index.bdmv", folder + "INDEX.BDM");
    fs::rename(folder + "MovieObject.bdmv", folder + "MOVIEOBJ.BDM");
    fs::rename(folder + "PLAYLIST/00000.mpls", folder + "PLAYLIST/00000.MPL");
    fs::rename(folder + "CLIPINF/00000.clpi", folder + "CLIPINF/00000.CPI");
    const CliRun run = cli({"check", folder});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(has(run.out, " INDEX.BDM: OK\n"));
    EXPECT_TRUE(has(run.out, "   Found 1 playlists.\n"));
    EXPECT_TRUE(has(run.out, "   Stream 00000.MTS missing\n"));
    EXPECT_TRUE(has(run.out, "   Found 0 AV streams, missing 1\n"));
}

TEST(CliCheck, MissingMandatoryFileFails) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::remove(folder + "MovieObject.bdmv");
    const CliRun run = cli({"check", folder});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, " MovieObject.bdmv: missing\n ERROR: Check failed.\n"));
    EXPECT_EQ(run.err, "lumora-cli: Check failed.\n");
}

TEST(CliCheck, ClipWithoutStream) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    fs::remove(folder + "STREAM/00000.m2ts");
    const CliRun run = cli({"check", folder});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(has(run.out, "   Stream 00000.m2ts missing\n   Found 1 AV streams, missing 1\n"));
}

TEST(Cli, UsageErrorsAndHelp) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* where;  // "out" or "err"
        const char* text;
    } cases[] = {
        {{}, 2, "err", "usage: lumora-cli COMMAND"},
        {{"--help"}, 0, "out", "check"},
        {{"frobnicate"}, 2, "err", "unknown command 'frobnicate'"},
        {{"check"}, 2, "err", "check needs one PATH"},
        {{"check", "a", "b"}, 2, "err", "check needs one PATH"},
        {{"check", "--bogus", "x"}, 2, "err", "unknown option --bogus"},
        {{"check", "--help"}, 0, "out", "usage: lumora-cli check"},
        {{"make-demo"}, 2, "err", "make-demo needs one DIR"},
        {{"make-demo", "--help"}, 0, "out", "usage: lumora-cli make-demo"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.text;
        EXPECT_TRUE(has(std::string(c.where) == "out" ? run.out : run.err, c.text)) << c.text;
    }
}

TEST(Cli, UnwritableDemoTargetFails) {
    test::TempDir dir;
    test::writeFile(dir / "file", "x");
    const CliRun run = cli({"make-demo", dir / "file"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.err, "lumora-cli: Cannot create folder"));
}

}  // namespace
}  // namespace lumora::cli
