#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

// The demo menu, written as make-demo writes it.
class DemoMenu : public ::testing::Test {
protected:
    void SetUp() override { makeDemoMenu(path); }
    test::TempDir dir;
    const std::string path = dir / "demo.mnu";
};

Bytes segmentOf(std::uint8_t type, ByteView payload, std::uint32_t pts, std::uint32_t dts) {
    Bytes out{'I', 'G'};
    appendBigEndian(out, pts, 4);
    appendBigEndian(out, dts, 4);
    out.push_back(type);
    appendBigEndian(out, payload.size(), 2);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

TEST(CliMenu, MakeDemoWritesTheMenuBesideTheDisc) {
    test::TempDir dir;
    ASSERT_EQ(cli({"make-demo", dir.path().string()}).status, 0);
    const CliRun run = cli({"menu", "info", dir / "demo.mnu"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              " 1 ICS, 17 OCS, 2 PCS found.\n"
              " \n"
              "video_format\t1920x1080\n"
              "frame_rate\t23.97\n"
              "user_timeout\t0:00:00\n"
              "in_time\t0:00:02.000\n"
              "pages\t2\t0\t1\n");
}

TEST_F(DemoMenu, ObjectsAndPalettes) {
    const CliRun objects = cli({"menu", "objects", path});
    EXPECT_EQ(objects.status, 0);
    EXPECT_TRUE(
        objects.out.starts_with("0000\t640\t120\t0i 1i\n0001\t640\t120\t0o 1o\n"
                                "0002\t360\t90\t0:0n\n"))
        << objects.out;
    EXPECT_TRUE(has(objects.out, "\n0007\t360\t90\t0:1n 1:0n\n"));
    EXPECT_EQ(std::count(objects.out.begin(), objects.out.end(), '\n'), 17);
    const CliRun palettes = cli({"menu", "palettes", path});
    EXPECT_EQ(palettes.out, "00\t0 1 \n01\t0io 1io \n");
}

// Width and height from a PNG's IHDR chunk.
std::pair<std::uint32_t, std::uint32_t> pngSize(const Bytes& png) {
    ByteReader reader(png);
    EXPECT_EQ(reader.readlong(), 0x89504E47u);
    reader.seek(16);
    const std::uint32_t width = reader.readlong();
    return {width, reader.readlong()};
}

TEST_F(DemoMenu, ObjectAsPng) {
    const CliRun run = cli({"menu", "object", path, "2", "-o", dir / "button.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir / "button.png" + "\t360x90\n");
    EXPECT_EQ(pngSize(readFileBytes(dir / "button.png")), std::make_pair(360u, 90u));
    const CliRun banner =
        cli({"menu", "object", path, "0x0", "--palette", "01", "-o", dir / "banner.png"});
    ASSERT_EQ(banner.status, 0) << banner.err;
    EXPECT_EQ(pngSize(readFileBytes(dir / "banner.png")), std::make_pair(640u, 120u));
}

TEST_F(DemoMenu, Errors) {
    test::writeFile(dir / "not-a-menu.mnu", std::string_view("PG this is no menu"));
    const struct {
        std::vector<std::string> args;
        int status;
        const char* err;
    } cases[] = {
        {{"menu"}, 2, "menu needs a subcommand and FILE.mnu"},
        {{"menu", "list", path}, 2, "unknown menu subcommand 'list'"},
        {{"menu", "info", path, "extra"}, 2, "menu info needs one FILE.mnu"},
        {{"menu", "object", path, "2"}, 2, "menu object needs -o OUT.png"},
        {{"menu", "object", path, "XYZ", "-o", "x.png"}, 2, "ID must be 1 to 4 hexadecimal"},
        {{"menu", "object", path, "2", "--palette", "100", "-o", "x.png"}, 2, "--palette must"},
        {{"menu", "object", path, "55", "-o", dir / "x.png"}, 1, "demo.mnu has no object 0055"},
        {{"menu", "object", path, "2", "--palette", "7", "-o", dir / "x.png"},
         1,
         "demo.mnu has no palette 07"},
        {{"menu", "info", dir / "not-a-menu.mnu"}, 1, "File format error: not-a-menu.mnu"},
        {{"menu", "objects", dir / "missing.mnu"}, 1, "missing.mnu"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.back() << "\n" << run.err;
        EXPECT_TRUE(has(run.err, c.err)) << run.err;
    }
    EXPECT_FALSE(fileExists(dir / "x.png"));
    const CliRun help = cli({"menu", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "usage: lumora-cli menu info FILE [--pid PID]"));
}

TEST_F(DemoMenu, DumpAndRewrite) {
    const CliRun text = cli({"dump", path});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_TRUE(text.out.starts_with("file\tdemo.mnu\nvideo_format\t1920x1080\n"));
    EXPECT_TRUE(has(text.out, "\nbogs\t3\n"));
    EXPECT_TRUE(has(text.out, "\n1\t0000\t00\t640\t160\tNo\t0,0,320,120\n"))
        << "the cropped banner";
    EXPECT_TRUE(has(text.out, "\t51C00003\t80000000 \t80000001 \tSetButtonPage 0, 1\n"));

    const CliRun json = cli({"dump", "--json", path});
    ASSERT_EQ(json.status, 0);
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["format"], "menu");
    EXPECT_EQ(parsed["start_time"], 180000);
    const auto& composition = parsed["interactive_composition"];
    EXPECT_EQ(composition["pages"].size(), 2u);
    EXPECT_EQ(composition["pages"][0]["in_effects"]["effects"][0]["composition_objects"][0]
                         ["cropping"]["width"],
              320);
    EXPECT_EQ(parsed["objects"].size(), 17u);
    EXPECT_EQ(parsed["palettes"][1]["entries"].size(), 3u) << "transparent black is not written";

    const CliRun rewrite = cli({"rewrite", path, dir / "again.mnu"});
    EXPECT_EQ(rewrite.status, 0) << rewrite.err;
    EXPECT_TRUE(has(rewrite.out, "bytes\tidentical\n")) << rewrite.out;
}

TEST_F(DemoMenu, DamagedMenuIsNotRewritten) {
    Bytes file = readFileBytes(path);
    const Bytes unknown = segmentOf(0x17, Bytes(4, 0), 0, 0);
    file.insert(file.begin(), unknown.begin(), unknown.end());
    test::writeFile(dir / "damaged.mnu", ByteView(file));
    const CliRun info = cli({"menu", "info", dir / "damaged.mnu"});
    EXPECT_EQ(info.status, 1);
    EXPECT_TRUE(has(info.out, " ERROR: Unknow segment! damaged.mnu: segment type $17 at $00000000"))
        << info.out;
    EXPECT_TRUE(has(info.out, "pages\t2\t0\t1\n")) << "the rest is still read";
    const CliRun rewrite = cli({"rewrite", dir / "damaged.mnu", dir / "out.mnu"});
    EXPECT_EQ(rewrite.status, 1);
    EXPECT_FALSE(fileExists(dir / "out.mnu"));
}

TEST(CliMenu, RealCompositionRewritesIdentically) {
    LUMORA_REQUIRE_SAMPLES();
    const Bytes payload = readFileBytes(test::samplesDir() + "/files/ics_menu_5_pages.bin");
    // A menu file as the writer stamps one without objects: ICS at the start
    // time with DTS there too, END at the start time.
    Bytes file = segmentOf(0x18, payload, 180000, 180000);
    const Bytes end = segmentOf(0x80, {}, 180000, 0);
    file.insert(file.end(), end.begin(), end.end());
    test::TempDir dir;
    test::writeFile(dir / "real.mnu", ByteView(file));
    const CliRun info = cli({"menu", "info", dir / "real.mnu"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(has(info.out, "pages\t5\t0\t1\t2\t3\t4\n")) << info.out;
    const CliRun rewrite = cli({"rewrite", dir / "real.mnu", dir / "again.mnu"});
    EXPECT_TRUE(has(rewrite.out, "bytes\tidentical\n")) << rewrite.out;
}

TEST(CliMenu, SubtitleFileIsNotAMenu) {
    LUMORA_REQUIRE_SAMPLES();
    const CliRun run = cli({"menu", "objects", test::samplesDir() + "/files/test.sup"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(has(run.err, "File format error: test.sup"));
}

}  // namespace
}  // namespace lumora::cli
