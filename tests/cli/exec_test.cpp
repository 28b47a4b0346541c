#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"
#include "demo/demo_disc.h"
#include "navigation/movie_object_file.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

bool startsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// A movie object file holding one object with the given commands.
std::string writeProgram(const test::TempDir& dir, TCommands commands) {
    TMOBJ file;
    Tmobject object;
    object.commands = std::move(commands);
    file.objects.push_back(object);
    file.length = 6 + movieObjectSize(object);
    const std::string path = dir / "MovieObject.bdmv";
    test::writeFile(path, movieObjectBytes(file));
    return path;
}

TEST(CliExec, DemoObjectsShowTheirTextsThenTheRegisters) {
    test::TempDir dir;
    const std::string file = makeDemoDisc(dir.path().string()).folder + "MovieObject.bdmv";
    const struct {
        const char* object;
        const char* shown;
        const char* register_;
    } cases[] = {
        // First Playback: the trailer, then the menu.
        {"0", "Play PL 2\nJump Object 1\n", "PSR6: 00000002 (2) - PlayList id (b15-b0) {0-1999}\n"},
        // Title 1 marks the feature as seen in GPR1.
        {"2", "Play PL 0\nJump Object 1\n", "\nGPR1: 00000001 (1)   \n"},
        {"3", "Play PLatMK 0, 0\nJump Object 1\n", "PSR5: 00000000 (0) - Chapter Number"},
        // Title 3: GPR0 is 0, so the EQ is false and the GoTo skipped.
        {"4", "Jump Title 1\n", "PSR4: 00000001 (1) - Title Number"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli({"exec", "--object", c.object, file});
        EXPECT_EQ(run.status, 0) << c.object << run.err;
        EXPECT_TRUE(startsWith(run.out, std::string(c.shown) + "PSR0: 00000001 (1) - "))
            << c.object << "\n"
            << run.out;
        EXPECT_TRUE(has(run.out, c.register_)) << c.object << "\n" << run.out;
        EXPECT_TRUE(has(run.out, "\nPSR8: FFFFFFFF (4294967295) - Presentation Time"));
        EXPECT_FALSE(has(run.out, "[b]")) << "markup must be removed";
        EXPECT_EQ(run.err, "");
    }
}

TEST(CliExec, RealPsrsAndTrace) {
    test::TempDir dir;
    const std::string file = makeDemoDisc(dir.path().string()).folder + "MovieObject.bdmv";
    const CliRun real = cli({"exec", "--real-psrs", "--object", "1", file});
    EXPECT_EQ(real.status, 0);
    EXPECT_TRUE(has(real.out, "\nPSR1: 00000001 (1) - Primary Audio Stream Number"));
    EXPECT_TRUE(has(real.out, "\nPSR2: 0FFF0001 (268369921) - "));

    const CliRun trace = cli({"exec", "--trace", "--object", "4", file});
    EXPECT_EQ(trace.status, 0) << trace.err;
    EXPECT_TRUE(startsWith(trace.out,
                           "Line 0000 : 48400200 00000000  00000001  : EQ GPR0, 1\n"
                           "Line 0002 : 21810000 00000001  00000000 : Jump Title 1\n"
                           "Jump Title 1\n"
                           "PSR0: "))
        << trace.out;
}

TEST(CliExec, EndlessProgramStopsAtTheStepLimit) {
    test::TempDir dir;
    const std::string file = writeProgram(dir, {{0x50400003, 0, 1}, {0x20810000, 0, 0}});
    const CliRun run = cli({"exec", "--object", "0", "--max-steps", "50", file});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "lumora-cli: Program stopped at line 0000 after 50 commands (step limit).\n");
    EXPECT_TRUE(has(run.out, "\nGPR0: 00000019 (25)   \n")) << run.out;

    const CliRun trace = cli({"exec", "--trace", "--object", "0", "--max-steps", "7", file});
    EXPECT_EQ(trace.status, 1);
    EXPECT_EQ(trace.err,
              "lumora-cli: Program stopped at line 0001 after 7 commands (step limit).\n");
    EXPECT_TRUE(has(trace.out, "\nGPR0: 00000004 (4)   \n")) << trace.out;
}

TEST(CliExec, UsageAndFileErrors) {
    test::TempDir dir;
    const std::string file = makeDemoDisc(dir.path().string()).folder + "MovieObject.bdmv";
    const std::string index = dir / "BDMV/index.bdmv";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* where;
        const char* text;
    } cases[] = {
        {{"exec", "--help"}, 0, "out", "usage: lumora-cli exec --object N"},
        {{"exec", file}, 2, "err", "exec needs --object N"},
        {{"exec", "--object", "1"}, 2, "err", "exec needs one FILE"},
        {{"exec", "--object", "x1", file}, 2, "err", "--object needs a number, not 'x1'"},
        {{"exec", "--object", "-1", file}, 2, "err", "--object needs a number"},
        {{"exec", "--object", "1", "--max-steps", "0", file}, 2, "err", "--max-steps needs"},
        {{"exec", "--object", "1", "--bogus", file}, 2, "err", "unknown option --bogus"},
        {{"exec", "--object", "6", file}, 1, "err", "has 6 movie objects; there is no object 6"},
        {{"exec", "--object", "0", index}, 1, "err", "lumora-cli: "},
        {{"exec", "--object", "0", dir / "none.bdmv"}, 1, "err", "lumora-cli: "},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.text << run.err;
        EXPECT_TRUE(has(std::string(c.where) == "out" ? run.out : run.err, c.text))
            << c.text << "\n"
            << run.out << run.err;
    }
}

}  // namespace
}  // namespace lumora::cli
