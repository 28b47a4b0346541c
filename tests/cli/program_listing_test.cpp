#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "navigation/command_list.h"
#include "navigation/movie_object_file.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

const std::string kBanner =
    ";------------------------------------------------------------\n"
    ";\n"
    ";             MovieObject program list by Lumora\n"
    ";\n"
    ";------------------------------------------------------------\n";

class CommandsListing : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = makeDemoDisc(dir_.path().string()).folder + "MovieObject.bdmv";
    }
    test::TempDir dir_;
    std::string path_;
};

TEST_F(CommandsListing, OneObject) {
    const CliRun run = cli({"commands", "--object", "0", path_});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kBanner +
                           "0000  [50400001,00000000 ,00000000 ]  Move GPR0, 0\n"
                           "0001  [22800000,00000002 ,00000000]  Play PL 2\n"
                           "0002  [21800000,00000001 ,00000000]  Jump Object 1\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CommandsListing, CrLfGivesTheListFileByteForByte) {
    TMOBJ file;
    ASSERT_TRUE(parseMovieObjects(readFileBytes(path_), "MovieObject.bdmv", file).good());
    const std::string saved = dir_ / "program_004.lst";
    saveProgramList(saved, file.objects[4].commands, ProgramFormat::List);
    const Bytes bytes = readFileBytes(saved);

    const CliRun run = cli({"commands", "--crlf", "--object", "4", path_});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(bytes.begin(), bytes.end()));
}

TEST_F(CommandsListing, ButtonContextMarksPlayCommands) {
    const CliRun object = cli({"commands", "--object", "1", "--context", "object", path_});
    EXPECT_TRUE(has(object.out, "]  Play PL 1\n"));
    const CliRun button = cli({"commands", "--object", "1", "--context", "button", path_});
    ASSERT_EQ(button.status, 0);
    EXPECT_TRUE(has(button.out, "]  *Play PL 1  ; Forbidden opcode\n"));
}

TEST_F(CommandsListing, EveryObjectWithAHeaderEach) {
    const CliRun run = cli({"commands", path_});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with(kBanner + "; Movie object 000: 3 commands\n0000  ["));
    EXPECT_EQ(count(run.out, "; Movie object "), 6u);
    EXPECT_TRUE(has(run.out,
                    "; Movie object 004: 5 commands\n"
                    "0000  [48400200,00000000 ,00000001 ]  EQ GPR0, 1\n"
                    "0001  [20810000,00000003 ,00000000]  GoTo 3\n"));
    EXPECT_TRUE(
        run.out.ends_with("; Movie object 005: 1 commands\n"
                          "0000  [00000000,00000000,00000000]  NOP\n"));
    EXPECT_EQ(count(run.out, "\r"), 0u);
}

TEST_F(CommandsListing, UsageAndFileErrors) {
    struct ErrorCase {
        std::vector<std::string> args;
        int status;
        std::string_view message;
    };
    const ErrorCase cases[] = {
        {{"commands"}, 2, "lumora-cli: commands needs one FILE\nusage: lumora-cli commands"},
        {{"commands", "--bogus", path_}, 2, "lumora-cli: unknown option --bogus\n"},
        {{"commands", "--object", "x1", path_}, 2, "--object takes a movie object number\n"},
        {{"commands", "--object", "123456", path_}, 2, "--object takes a movie object number\n"},
        {{"commands", "--context", "menu", path_}, 2, "--context takes object or button\n"},
        {{"commands", path_, "--object"}, 2, "option --object needs a value\n"},
        {{"commands", "--object", "6", path_}, 1, "no movie object 6; the file has 6\n"},
        {{"commands", dir_ / "missing.bdmv"}, 1, "lumora-cli: "},
    };
    for (const ErrorCase& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(has(run.err, std::string(c.message))) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(CommandsListing, BadAndCutFiles) {
    const std::string bad = dir_ / "bad.bdmv";
    test::writeFile(bad, std::string_view("MOBJ0300" + std::string(50, '\0')));
    CliRun run = cli({"commands", bad});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "lumora-cli: Format error bad.bdmv\n");
    EXPECT_EQ(run.out, "");

    // The file cut inside the fourth command of object 0: three are listed.
    Bytes data = readFileBytes(path_);
    data.resize(50 + 4 + 12 * 2 + 5);
    const std::string cut = dir_ / "cut.bdmv";
    test::writeFile(cut, data);
    run = cli({"commands", "--object", "0", cut});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, "0001  [22800000,00000002 ,00000000]  Play PL 2\n"));
    EXPECT_FALSE(has(run.out, "0002  ["));
    EXPECT_TRUE(has(run.err, "runs past the end of the file")) << run.err;
}

TEST(CommandsListingHelp, PrintsUsage) {
    const CliRun run = cli({"commands", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.starts_with("usage: lumora-cli commands [--object N]"));
    EXPECT_TRUE(has(run.out, "Exit status:"));
}

TEST(CommandsListingSamples, FeatureDisc) {
    LUMORA_REQUIRE_SAMPLES();
    const CliRun run =
        cli({"commands", test::samplesDir() + "/feature-disc/BDMV/MovieObject.bdmv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(count(run.out, "; Movie object "), 11u);
    EXPECT_EQ(count(run.out, "]  "), 262u);
    EXPECT_EQ(count(run.out, "; Invalid opcode"), 0u);
}

}  // namespace
}  // namespace lumora::cli
