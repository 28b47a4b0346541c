#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "menu/background_picture.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

class MenuPlay : public ::testing::Test {
protected:
    void SetUp() override { makeDemoMenu(path); }
    Picture rendered(const std::vector<std::string>& options) {
        std::vector<std::string> args{"menu", "render", path, "-o", out};
        args.insert(args.end(), options.begin(), options.end());
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, out + "\t1920x1080\n");
        const PictureLoad load = decodePng(test::readFile(out));
        EXPECT_TRUE(load.picture) << load.problem;
        return load.picture.value_or(Picture{});
    }
    test::TempDir dir;
    const std::string path = dir / "demo.mnu";
    const std::string out = dir / "page.png";
};

// The colour conversion of a palette entry, written out again here from the
// integer formulas so the renderer's pictures are checked against it.
std::array<int, 3> rgbOf(int y, int cr, int cb) {
    const int luma = (y - 16) * 1164;
    const int r = cr - 128, b = cb - 128;
    const auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    return {clamp((luma + 1596 * r + 500) / 1000), clamp((luma - 813 * r - 391 * b + 500) / 1000),
            clamp((luma + 2018 * b + 500) / 1000)};
}

TEST_F(MenuPlay, FlatBackgroundPageMatchesItsObjectsAndPalettes) {
    const Picture page = rendered({"--background", "#000080"});
    ASSERT_EQ(page.width, 1920u);
    ASSERT_EQ(page.height, 1080u);

    // What a player shows after "Start": every BOG's shown button in its
    // normal state, the default selected one in its selected state, over
    // the flat colour; computed in doubles from the objects' indices and
    // the palette's Y, Cr, Cb and T.
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(path, menu, reporter).good());
    const TPage& first = menu.ics.pages.at(0);
    const TIGpalette& palette = menu.palettes.at(first.palette);
    std::vector<std::array<double, 3>> expected(1920 * 1080, {0, 0, 128});
    int buttons = 0;
    for (const TBOG& bog : first.bogs) {
        const auto it =
            std::find_if(bog.buttons.begin(), bog.buttons.end(),
                         [&](const TIGbutton& b) { return b.id == bog.defaultValidButton; });
        ASSERT_NE(it, bog.buttons.end());
        const bool selected = it->id == first.defaultSelectedButton;
        const std::uint16_t id = selected ? it->selectedStart : it->normalStart;
        const TIGobject& object = menu.objects.at(id);
        Bytes bitmap(std::size_t{object.width} * object.height);
        decodeRle(objectRleData(menu, id), object.width, object.height, bitmap.data());
        for (std::size_t y = 0; y < object.height; ++y) {
            for (std::size_t x = 0; x < object.width; ++x) {
                const std::uint8_t index = bitmap[y * object.width + x];
                const TYCrCb& colour = palette.ycrcb[index];
                const auto rgb = rgbOf(colour.y, colour.cr, colour.cb);
                const double alpha = palette.rgba[index].a / 255.0;
                auto& pixel = expected[(it->y + y) * 1920 + it->x + x];
                for (int c = 0; c < 3; ++c)
                    pixel[c] = rgb[c] * alpha + pixel[c] * (1 - alpha);
            }
        }
        ++buttons;
    }
    ASSERT_EQ(buttons, 3);
    int translucent = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::uint32_t pixel = page.pixels[i];
        ASSERT_EQ(pixel >> 24, 255u);
        for (int c = 0; c < 3; ++c) {
            const double got = (pixel >> (8 * c)) & 0xFF;
            ASSERT_LE(std::abs(got - expected[i][c]), 1.0)
                << "pixel " << i % 1920 << "," << i / 1920 << " channel " << c;
        }
        if (std::floor(expected[i][2]) != expected[i][2]) ++translucent;
    }
    EXPECT_GT(translucent, 1000);  // the buttons' fill is translucent: blending was checked
}

TEST_F(MenuPlay, BuiltInBackgroundAndOverlaysChangeThePicture) {
    const Picture flat = rendered({"--background", "#000080"});
    const Picture builtIn = rendered({});
    EXPECT_NE(flat.pixels[0], builtIn.pixels[0]);
    const Picture labelled =
        rendered({"--background", "#000080", "--overlays", "ids,objects,frames"});
    // Button 1 at (780, 520): its frame and its id label.
    const auto at = [](const Picture& p, int x, int y) { return p.pixels[y * 1920 + x]; };
    EXPECT_EQ(at(labelled, 790, 520), 0xFFC0C0C0u);  // the normal frame (silver)
    EXPECT_NE(at(labelled, 783, 523), at(flat, 783, 523));
}

TEST_F(MenuPlay, KeysChangeTheRenderedPage) {
    const Picture start = rendered({"--background", "#000080"});
    const Picture down = rendered({"--background", "#000080", "--keys", "down"});
    const Picture page1 = rendered({"--background", "#000080", "--keys", "down,enter"});
    EXPECT_NE(start, down);
    EXPECT_NE(down, page1);
    // Page 1 has two buttons at y 460 and 580: nothing at y 700 any more.
    EXPECT_EQ(page1.pixels[700 * 1920 + 900], 0xFF800000u);
}

TEST_F(MenuPlay, SimulateListsEachStep) {
    const CliRun run = cli({"menu", "simulate", path, "--keys", "down,timeout,enter,enter"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string steps =
        "step\tstart\nPSR10\t0000\nPSR11\t00\nBOG\t0\t0000\nBOG\t1\t0001\nBOG\t2\t0002\n"
        "step\tdown\nPSR10\t0001\nPSR11\t00\nBOG\t0\t0000\nBOG\t1\t0001\nBOG\t2\t0002\n"
        "step\ttimeout\nPSR10\t0001\nPSR11\t00\nBOG\t0\t0000\nBOG\t1\t0001\nBOG\t2\t0002\n"
        "step\tenter\nPSR10\t0000\nPSR11\t01\nBOG\t0\t0000\nBOG\t1\t0001\n"
        "command\t0001\t0000\tSetButtonPage 0, 1\n"
        "step\tenter\nPSR10\t0000\nPSR11\t01\nBOG\t0\t0000\nBOG\t1\t0001\n"
        "command\t0000\t0000\t*Play PL_MK 0, 1  ; Forbidden opcode\n"
        "show\tPlay PLatMK 0, 1\n"
        "PSR0: ";
    EXPECT_TRUE(run.out.starts_with(steps)) << run.out.substr(0, steps.size() + 200);
    EXPECT_TRUE(has(run.out, "PSR11: 00000001 (1) - Menu Page id"));
    EXPECT_TRUE(has(run.out, "PSR6: 00000000 (0)"));
    EXPECT_EQ(run.err, "");
}

TEST_F(MenuPlay, SimulateAsJson) {
    const CliRun run =
        cli({"menu", "simulate", path, "--page", "1", "--keys", "down,enter", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["file"], "demo.mnu");
    EXPECT_EQ(json["page"], 1);
    ASSERT_EQ(json["steps"].size(), 3u);
    EXPECT_EQ(json["steps"][0]["PSR11"], 1);
    EXPECT_EQ(json["steps"][1]["PSR10"], 1);
    const auto& enter = json["steps"][2];
    EXPECT_EQ(enter["key"], "enter");
    EXPECT_EQ(enter["PSR11"], 0);
    EXPECT_EQ(enter["commands"][0]["opcode"], "51C00003");
    EXPECT_EQ(enter["commands"][0]["text"], "SetButtonPage 1, 0");
    EXPECT_EQ(enter["bogs"].size(), 3u);
    EXPECT_EQ(enter["bogs"][2]["shown"], 2);
    EXPECT_EQ(json["psrs"].size(), 128u);
    EXPECT_TRUE(json["gprs"].is_object());
}

TEST_F(MenuPlay, UsageAndFailures) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const std::string png = dir / "x.png";
    const Case cases[] = {
        {{"menu", "simulate", path}, 2, "menu simulate needs --keys LIST"},
        {{"menu", "simulate", path, "--keys", "up,jump"}, 2, "unknown key 'jump'"},
        {{"menu", "render", path}, 2, "menu render needs -o OUT.png"},
        {{"menu", "render", path, "-o", png, "--json"}, 2, "--json belongs to menu simulate"},
        {{"menu", "simulate", path, "--keys", "up", "-o", png}, 2, "-o belongs to menu render"},
        {{"menu", "render", path, "-o", png, "--overlays", "ids,x"}, 2, "unknown overlay 'x'"},
        {{"menu", "render", path, "-o", png, "--background", "#12345"}, 2, "--background needs"},
        {{"menu", "render", path, "-o", png, "--page", "x"}, 2, "--page needs a page index"},
        {{"menu", "render", path, "-o", png, "--page", "2"},
         1,
         "demo.mnu has 2 pages; there is no page 2"},
        {{"menu", "render", path, "-o", png, "--background", dir / "none.png"}, 1, "none.png"},
        {{"menu", "simulate", dir / "missing.mnu", "--keys", ""}, 1, "missing.mnu"},
    };
    for (const Case& c : cases) {
        const CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.message << "\n" << run.err;
        EXPECT_TRUE(has(run.err, c.message)) << run.err;
    }
    test::writeFile(dir / "bad.bmp", std::string_view("BMxx"));
    const CliRun bad = cli({"menu", "render", path, "-o", png, "--background", dir / "bad.bmp"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(has(bad.err, "background picture")) << bad.err;
    EXPECT_FALSE(fileExists(png));
    const CliRun help = cli({"menu", "render", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "lumora-cli menu simulate FILE.mnu"));
}

TEST_F(MenuPlay, TimeOutKeyActivatesTheSelectedButton) {
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(path, menu, reporter).good());
    menu.ics.userTimeOut = 90000;
    menu.ics.pages[0].defaultActivatedButton = kIgSelectedButton;
    const std::string timed = dir / "timed.mnu";
    ASSERT_TRUE(saveIGS(menu, IGSForm::MenuFile, timed, reporter));
    const CliRun run = cli({"menu", "simulate", timed, "--keys", "down,down,timeout"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(has(run.out,
                    "step\ttimeout\nPSR10\t0002\nPSR11\t00\nBOG\t0\t0000\nBOG\t1\t0001\n"
                    "BOG\t2\t0002\ncommand\t0002\t0000\tJump Title 3\nshow\tJump Title 3\n"))
        << run.out;
}

TEST_F(MenuPlay, EndlessProgramReportsTheStepLimit) {
    RecordingSink sink;
    Reporter reporter(sink);
    TIGMenu menu;
    ASSERT_TRUE(loadMNU(path, menu, reporter).good());
    menu.ics.pages[0].bogs[0].buttons[0].commands = {{0x20810000, 0, 0}};  // GoTo 0
    menu.pageButtons[0] = pageButtonTable(menu.ics.pages[0]);
    const std::string looping = dir / "loop.mnu";
    ASSERT_TRUE(saveIGS(menu, IGSForm::MenuFile, looping, reporter));
    const CliRun run = cli({"menu", "simulate", looping, "--keys", "enter"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.err, "Program stopped at line 0000 after 100000 commands (step limit)."))
        << run.err;
    EXPECT_TRUE(has(run.out, "step\tenter\nPSR10\t0000\n"));
}

}  // namespace
}  // namespace lumora::cli
