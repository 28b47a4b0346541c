#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/cli_runner.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {
namespace fs = std::filesystem;

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

TEST(CliDump, IndexAndMovieObjectsAsGridRows) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    const CliRun index = cli({"dump", folder + "index.bdmv"});
    EXPECT_EQ(index.status, 0) << index.err;
    for (const char* line :
         {"file\tindex.bdmv\n", "type_indicator\tINDX\n", "version\t0200\n",
          "video_format\t1080p (6)\n", "first_playback\tHDMV\tMovie\t0\n",
          "top_menu\tHDMV\tInteractive\t1\n", "titles\t4 + 2 titles\n",
          "No.\tobject t.\ttitle search\tplayback t.\tOID/file\n",
          "001\tHDMV\tPermitted\tMovie\t2\n", "003\tHDMV\tProhibited1\tInteractive\t4\n",
          "004\tBD-J\tPermitted\tInteractive\t00001\n", "extension_data\tno ExtensionData()\n"}) {
        EXPECT_TRUE(has(index.out, line)) << line;
    }
    const CliRun objects = cli({"dump", folder + "MovieObject.bdmv"});
    EXPECT_EQ(objects.status, 0);
    for (const char* line : {"movie_objects\t6 objects\n", "000\tdiscard\tdisable\tenable\t3\n",
                             "movie_object\t004\n", "0001\t20810000\t00000003\t00000000\n"}) {
        EXPECT_TRUE(has(objects.out, line)) << line;
    }
}

TEST(CliDump, JsonCarriesTheRawValues) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    const CliRun index = cli({"dump", "--json", folder + "index.bdmv"});
    ASSERT_EQ(index.status, 0);
    const auto json = nlohmann::json::parse(index.out);
    EXPECT_EQ(json["format"], "index");
    EXPECT_EQ(json["app_info_bdmv"]["video_format"], 6);
    EXPECT_EQ(json["indexes"]["first_playback"]["hdmv_object_id"], 0);
    EXPECT_EQ(json["indexes"]["titles"].size(), 4u);
    EXPECT_EQ(json["indexes"]["titles"][2]["access_type"], 2);
    EXPECT_EQ(json["indexes"]["titles"][3]["bdj_object_file"], "00001");

    const CliRun objects = cli({"dump", "--json", folder + "MovieObject.bdmv"});
    const auto mobj = nlohmann::json::parse(objects.out);
    EXPECT_EQ(mobj["format"], "movie_objects");
    EXPECT_EQ(mobj["movie_objects"]["objects"][0]["menu_call_mask"], 1);
    EXPECT_EQ(mobj["movie_objects"]["objects"][4]["commands"][1]["opcode"], 0x20810000u);
}

TEST(CliDump, BadAndTruncatedFiles) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    Bytes cut = test::readFile(folder + "MovieObject.bdmv");
    cut.resize(cut.size() - 5);
    test::writeFile(dir / "cut.bdmv", cut);
    test::writeFile(dir / "junk.bin", "not a structure");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {{"dump", dir / "cut.bdmv"},
         1,
         "movie_objects\t6 objects\n",
         "lumora-cli: cut.bdmv: movie object 5 runs past the end of the file"},
        {{"dump", dir / "junk.bin"},
         1,
         "",
         "lumora-cli: junk.bin: not a structure file Lumora knows"},
        {{"dump", dir / "absent.bdmv"}, 1, "", "lumora-cli: Cannot open file"},
        {{"rewrite", dir / "cut.bdmv", dir / "out.bdmv"}, 1, "", "not written"},
        {{"dump"}, 2, "", "dump needs one FILE"},
        {{"rewrite", "a"}, 2, "", "rewrite needs FILE and OUT"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.err;
        EXPECT_TRUE(has(run.out, c.out)) << run.out;
        EXPECT_TRUE(has(run.err, c.err)) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bdmv"));
}

TEST(CliRewrite, FilesComeBackByteForByte) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    std::vector<std::string> files{folder + "index.bdmv", folder + "MovieObject.bdmv"};
    if (!test::samplesDir().empty()) {
        for (const char* sample :
             {"bigbuckbunny/BDMV/index.bdmv", "feature-disc/BDMV/MovieObject.bdmv",
              "bdj-disc/BDMV/index.bdmv"}) {
            files.push_back(test::samplesDir() + "/" + sample);
        }
    }
    for (const std::string& file : files) {
        const std::string out = dir / "rewritten";
        const CliRun run = cli({"rewrite", file, out});
        EXPECT_EQ(run.status, 0) << file << run.err;
        EXPECT_TRUE(has(run.out, "\tidentical\n")) << file << run.out;
        EXPECT_EQ(test::readFile(out), test::readFile(file)) << file;
    }
    // A file whose reserved bits are set comes back with them cleared.
    Bytes objects = test::readFile(folder + "MovieObject.bdmv");
    objects[50 + 1] = 0x01;  // a flag-word bit below bit 13
    test::writeFile(dir / "odd.bdmv", objects);
    const CliRun odd = cli({"rewrite", dir / "odd.bdmv", dir / "fixed.bdmv"});
    EXPECT_EQ(odd.status, 0);
    EXPECT_TRUE(has(odd.out, "\tdiffers at $00000033\n")) << odd.out;
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
