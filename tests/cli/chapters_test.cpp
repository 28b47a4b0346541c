#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_runner.h"
#include "demo/demo_disc.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

TEST(CliChapters, ExportThenImportGivesTheMarksBack) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    const std::string feature = folder + "PLAYLIST/00000.mpls";
    for (const char* format : {"pts", "frame", "time"}) {
        const std::string chapters = dir / (std::string("chapters_") + format + ".txt");
        const CliRun exported =
            cli({"chapters", "export", feature, "--format", format, "-o", chapters});
        ASSERT_EQ(exported.status, 0) << format << exported.err;
        const std::string out = dir / "out.mpls";
        const CliRun imported =
            cli({"chapters", "import", feature, chapters, "--format", format, "-o", out});
        ASSERT_EQ(imported.status, 0) << format << imported.err;
        EXPECT_NE(imported.out.find("\t6 marks\n"), std::string::npos) << imported.out;
        TMPLS before, after;
        ASSERT_TRUE(parsePlaylist(test::readFile(feature), "a", before).good());
        ASSERT_TRUE(parsePlaylist(test::readFile(out), "b", after).good());
        ASSERT_EQ(after.marks.marks.size(), before.marks.marks.size());
        // Frame numbers hold a mark to its nearest frame; the demo's marks lie
        // on whole seconds, between frames of 23.976 video.
        const std::int64_t slack =
            std::string(format) == "frame" ? 45000 * 1001 / 24000 / 2 + 1 : 0;
        for (std::size_t i = 0; i < before.marks.marks.size(); ++i) {
            EXPECT_EQ(after.marks.marks[i].playItemId, before.marks.marks[i].playItemId)
                << format << i;
            EXPECT_LE(std::abs(static_cast<std::int64_t>(after.marks.marks[i].time) -
                               static_cast<std::int64_t>(before.marks.marks[i].time)),
                      slack)
                << format << i;
        }
    }
    const CliRun time = cli({"chapters", "export", feature, "--format", "time"});
    EXPECT_EQ(time.out.substr(0, 28), "00:00:00.000\r\n00:00:10.010\r\n");
}

TEST(CliChapters, ErrorsAndUsage) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    test::writeFile(dir / "bad.txt", "12\nnot a number\n");
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"chapters"}, 2, "chapters needs export or import"},
        {{"chapters", "export", folder + "PLAYLIST/00000.mpls", "--format", "beats"},
         2,
         "unknown chapter format"},
        {{"chapters", "import", folder + "PLAYLIST/00000.mpls", dir / "bad.txt"}, 2, "needs -o"},
        {{"chapters", "import", folder + "PLAYLIST/00000.mpls", dir / "bad.txt", "-o",
          dir / "x.mpls"},
         1,
         "Line 2 is not a chapter"},
        {{"chapters", "export", folder + "index.bdmv"}, 1, "Invalid format: index.bdmv"},
    };
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST(CliDump, Playlists) {
    test::TempDir dir;
    const std::string folder = makeDemoDisc(dir.path().string()).folder;
    const CliRun text = cli({"dump", folder + "PLAYLIST/00000.mpls"});
    ASSERT_EQ(text.status, 0);
    for (const char* line :
         {"playitems\t3\n",
          "001\t00000\tM2TS\t00:00:20.020\t00:00:40.040\t00:00:20.020\t00000000\t00000000\t2\n",
          "Vi\tAu\tPG\tIG\tsV\tsA\tPIP\n", "1\t2\t2\t1\t1\t1\t1\n",
          "001\tSubPath\t\t00\t00\t1400\teng\n", "000\tIG menu\tNo\t1\n",
          "005\tentry-mark\t002\t00:00:50.050\tFFFF\t0\n"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line;
    }
    const CliRun json = cli({"dump", "--json", folder + "PLAYLIST/00000.mpls"});
    EXPECT_NE(json.out.find("\"format\": \"playlist\""), std::string::npos);
    EXPECT_NE(json.out.find("\"secondary_video\""), std::string::npos);
    const CliRun rewrite = cli({"rewrite", folder + "PLAYLIST/00000.mpls", dir / "again.mpls"});
    EXPECT_NE(rewrite.out.find("identical"), std::string::npos);
}

}  // namespace
}  // namespace lumora::cli
