#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "menu/menu_reader.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

// A menu file as the program reads it back; a read with errors fails the test.
TIGMenu loaded(const std::string& path) {
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    const ReadOutcome outcome = loadMNU(path, menu, reporter);
    EXPECT_TRUE(outcome.good()) << path << ": " << outcome.message;
    return menu;
}

std::vector<std::string> joined(std::vector<std::string> head,
                                const std::vector<std::string>& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(CliMenuNew, WritesTheNewMenuInEachVideoSize) {
    test::TempDir dir;
    const struct {
        std::vector<std::string> options;
        std::uint16_t width;
        std::uint16_t height;
    } cases[] = {
        {{}, 1920, 1080},
        {{"--video", "1280x720"}, 1280, 720},
        {{"--video", "720x576"}, 720, 576},
        {{"--video", "720x480"}, 720, 480},
    };
    for (const auto& c : cases) {
        const std::string out = dir / (std::to_string(c.height) + ".mnu");
        const CliRun run = cli(joined(joined({"menu", "new"}, c.options), {"-o", out}));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out + "\t" + std::to_string(fileSize(out)) + " bytes\n");

        const TIGMenu menu = loaded(out);
        const TIGSc& ics = menu.ics;
        EXPECT_EQ(ics.videoWidth, c.width);
        EXPECT_EQ(ics.videoHeight, c.height);
        EXPECT_EQ(ics.frameRateId, 1);
        EXPECT_EQ(ics.modelFlags, kStreamModel | kUserInterfaceModel);
        EXPECT_EQ(menu.startTime, 180000u);
        EXPECT_TRUE(menu.objects.empty());
        EXPECT_TRUE(menu.palettes.empty());
        ASSERT_EQ(ics.pages.size(), 1u);
        ASSERT_EQ(ics.pages[0].bogs.size(), 1u);
        ASSERT_EQ(ics.pages[0].bogs[0].buttons.size(), 1u);
        const TIGbutton& button = ics.pages[0].bogs[0].buttons[0];
        EXPECT_EQ(button.id, 0);
        EXPECT_EQ(std::vector({button.upper, button.lower, button.left, button.right}),
                  std::vector<std::uint16_t>(4, 0))
            << "the only button is its own neighbour";
        EXPECT_TRUE(button.commands.empty());
    }
}

TEST(CliMenuNew, UsageErrorsWriteNothing) {
    test::TempDir dir;
    const std::string out = dir / "new.mnu";
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"menu", "new"}, "menu new needs -o OUT.mnu"},
        {{"menu", "new", "--video", "640x480", "-o", out}, "--video must be 1920x1080"},
        {{"menu", "new", "x.mnu", "-o", out}, "menu new takes no FILE"},
        {{"menu", "new", "-o", out, "--palette", "0"}, "unknown option --palette"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_TRUE(has(run.err, c.message)) << run.err;
    }
    EXPECT_FALSE(fileExists(out));
    const CliRun help = cli({"menu", "new", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "usage: lumora-cli menu new [--video SIZE] -o OUT.mnu"));
    EXPECT_TRUE(has(cli({"menu", "--help"}).out, "lumora-cli menu new"));
}

}  // namespace
}  // namespace lumora::cli
