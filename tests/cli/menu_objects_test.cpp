// Objects and palettes on the command line: menu edit's import-object,
// delete-objects and delete-palettes, and menu export-object and
// export-palette, checked on the menus as the program reads them back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "core/folder.h"
#include "core/text.h"
#include "demo/demo_disc.h"
#include "menu/background_picture.h"
#include "menu/menu_edit.h"
#include "menu/menu_reader.h"
#include "menu/palette_png.h"
#include "menu/rle_codec.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

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

// The object's indices as the file holds them (decoded from its RLE data).
Bytes objectIndices(const TIGMenu& menu, std::size_t id) {
    const TIGobject& object = menu.objects.at(id);
    Bytes bitmap(std::size_t{object.width} * object.height);
    decodeRle(objectRleData(menu, id), object.width, object.height, bitmap.data());
    return bitmap;
}

// An 8-bit palette PNG: pixel (x, y) has index (x + 3y + shift) % colours;
// entry i of the palette is a colour of its own for each `tint`, and `trns`
// gives the first entries' alpha.
test::PngSpec palettePicture(std::uint32_t width, std::uint32_t height, int colours, int tint = 0,
                             int shift = 0, Bytes trns = {}) {
    test::PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            spec.rows.push_back(static_cast<std::uint8_t>((x + 3 * y + shift) % colours));
    }
    for (int i = 0; i < colours; ++i) {
        const auto level = static_cast<std::uint8_t>(i * 9 + tint);
        spec.plte.insert(spec.plte.end(), {level, static_cast<std::uint8_t>(255 - level),
                                           static_cast<std::uint8_t>(40 + tint)});
    }
    spec.trns = std::move(trns);
    return spec;
}

// A true-colour picture (colour type 2, or 6 with alpha) of a few colours
// in stripes, so reducing it to a palette loses nothing.
test::PngSpec stripedPicture(std::uint32_t width, std::uint32_t height,
                             const std::vector<std::array<std::uint8_t, 4>>& colours, bool alpha) {
    test::PngSpec spec;
    spec.width = width;
    spec.height = height;
    spec.colourType = alpha ? 6 : 2;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const auto& colour = colours[(x / 4 + y) % colours.size()];
            spec.rows.insert(spec.rows.end(), colour.begin(), colour.begin() + (alpha ? 4 : 3));
        }
    }
    return spec;
}

// The colour a true-colour spec gives pixel `p`, alpha 255 without alpha.
std::array<std::uint8_t, 4> specPixel(const test::PngSpec& spec, std::size_t p) {
    const bool alpha = spec.colourType == 6;
    const std::size_t at = p * (alpha ? 4 : 3);
    return {spec.rows[at], spec.rows[at + 1], spec.rows[at + 2],
            alpha ? spec.rows[at + 3] : std::uint8_t{255}};
}

bool near(std::uint8_t a, std::uint8_t b, int tolerance) {
    return std::abs(int{a} - int{b}) <= tolerance;
}

// A menu file keeps palettes as Y, Cr, Cb and T; R, G, B are made from
// them when read, so they come back within the conversion's rounding.
constexpr int kColourRounding = 4;

// Entry `entry` of a loaded palette holds the colour R, G, B, A exactly as
// the file can: Y, Cr, Cb converted from R, G, B, and T = A.  The file
// leaves transparent black out, and it reads back as all 0.
void expectEntry(const TIGpalette& palette, std::size_t entry, std::array<std::uint8_t, 4> rgba,
                 const std::string& context) {
    const TRGBA& got = palette.rgba[entry];
    if (rgba == std::array<std::uint8_t, 4>{}) {
        EXPECT_EQ(got, TRGBA{}) << context << " entry " << entry;
        EXPECT_EQ(palette.ycrcb[entry], TYCrCb{}) << context << " entry " << entry;
        return;
    }
    EXPECT_EQ(palette.ycrcb[entry], rgbToYcrcb(rgba[0], rgba[1], rgba[2]))
        << context << " entry " << entry;
    EXPECT_EQ(got.a, rgba[3]) << context << " entry " << entry;
    EXPECT_TRUE(near(got.r, rgba[0], kColourRounding) && near(got.g, rgba[1], kColourRounding) &&
                near(got.b, rgba[2], kColourRounding))
        << context << " entry " << entry << ": " << int{got.r} << ',' << int{got.g} << ','
        << int{got.b} << " for " << int{rgba[0]} << ',' << int{rgba[1]} << ',' << int{rgba[2]};
}

// The palette a palette PNG brings: its PLTE entries with their tRNS alpha
// (opaque beyond it) for entries 0-254, entry 255 left all 0.
void expectPaletteOf(const TIGpalette& palette, const test::PngSpec& spec,
                     const std::string& context) {
    for (std::size_t i = 0; i < 255; ++i) {
        std::array<std::uint8_t, 4> rgba{0, 0, 0, 255};
        if (3 * i + 2 < spec.plte.size())
            rgba = {spec.plte[3 * i], spec.plte[3 * i + 1], spec.plte[3 * i + 2], 255};
        if (i < spec.trns.size()) rgba[3] = spec.trns[i];
        expectEntry(palette, i, rgba, context);
    }
    EXPECT_EQ(palette.ycrcb[255], TYCrCb{}) << context;
    EXPECT_EQ(palette.rgba[255].a, 0) << context;
}

// The demo menu, OUT for the edits, and PNG files written by name.
class CliMenuObjects : public ::testing::Test {
protected:
    void SetUp() override { makeDemoMenu(demo); }
    std::string png(const std::string& name, const test::PngSpec& spec) {
        const std::string path = dir / name;
        test::writeFile(path, ByteView(test::pngFile(spec)));
        return path;
    }
    CliRun edit(const std::string& menu, const std::string& to,
                const std::vector<std::string>& operations) {
        return cli(joined({"menu", "edit", menu, "-o", to}, operations));
    }
    test::TempDir dir;
    const std::string demo = dir / "demo.mnu";
    const std::string out = dir / "out.mnu";
};

TEST_F(CliMenuObjects, ImportedPalettePicturesLoadBackAsObjectsAndAPalette) {
    const test::PngSpec a = palettePicture(40, 30, 20, 0, 0, {0, 90, 180});
    const test::PngSpec b = palettePicture(24, 12, 20, 0, 7, {0, 90, 180});
    const test::PngSpec other = palettePicture(360, 90, 250, 3);
    const std::string aPng = png("a.png", a);
    const std::string bPng = png("b.png", b);
    const std::string otherPng = png("other.png", other);
    const TIGMenu original = loaded(demo);
    ASSERT_EQ(original.objects.size(), 0x11u);
    ASSERT_EQ(original.palettes.size(), 2u);

    const struct {
        std::vector<std::string> words;
        std::vector<const test::PngSpec*> pictures;
        std::size_t firstObject;
        std::size_t objects;  // in the table afterwards
        std::size_t palette;
        std::size_t palettes;
    } cases[] = {
        {{aPng}, {&a}, 0x11, 0x12, 2, 3},
        {{aPng + "," + bPng}, {&a, &b}, 0x11, 0x13, 2, 3},
        {{otherPng, "replace-object=0002", "replace-palette=00"}, {&other}, 2, 0x11, 0, 2},
        {{aPng, "replace-palette=1"}, {&a}, 0x11, 0x12, 1, 2},
        // Options in any order; replacing the last object appends the next.
        {{aPng + "," + bPng, "replace-palette=$01", "replace-object=0x10"},
         {&a, &b},
         0x10,
         0x12,
         1,
         2},
    };
    for (const auto& c : cases) {
        const std::string context = c.words.back();
        const CliRun run = edit(demo, out, joined({"import-object"}, c.words));
        ASSERT_EQ(run.status, 0) << context << ": " << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, out + "\t" + std::to_string(fileSize(out)) + " bytes\n");
        const TIGMenu menu = loaded(out);
        ASSERT_EQ(menu.objects.size(), c.objects) << context;
        ASSERT_EQ(menu.palettes.size(), c.palettes) << context;
        for (std::size_t i = 0; i < c.pictures.size(); ++i) {
            const TIGobject& object = menu.objects[c.firstObject + i];
            EXPECT_EQ(object.width, c.pictures[i]->width) << context;
            EXPECT_EQ(object.height, c.pictures[i]->height) << context;
            EXPECT_EQ(objectIndices(menu, c.firstObject + i), c.pictures[i]->rows) << context;
        }
        expectPaletteOf(menu.palettes[c.palette], *c.pictures.front(), context);
        // Everything else is as it was.
        for (std::size_t id = 0; id < original.objects.size(); ++id) {
            if (id >= c.firstObject && id < c.firstObject + c.pictures.size()) continue;
            EXPECT_EQ(objectIndices(menu, id), objectIndices(original, id)) << context << id;
        }
        for (std::size_t id = 0; id < original.palettes.size(); ++id) {
            if (id == c.palette) continue;
            EXPECT_EQ(menu.palettes[id], original.palettes[id]) << context;
        }
        EXPECT_EQ(menu.ics.pages, original.ics.pages) << context;
    }

    // A script line takes the same words.
    const std::string script = dir / "import.txt";
    test::writeFile(script, std::string_view("import-object " + otherPng +
                                             " replace-object=0002 replace-palette=00  # art\n"));
    const std::string scripted = dir / "scripted.mnu";
    ASSERT_EQ(cli({"menu", "edit", demo, "--script", script, "-o", scripted}).status, 0);
    ASSERT_EQ(
        edit(demo, out, {"import-object", otherPng, "replace-object=0002", "replace-palette=00"})
            .status,
        0);
    EXPECT_EQ(readFileBytes(scripted), readFileBytes(out));
}

TEST_F(CliMenuObjects, TrueColourPicturesComeInOnlyWhenReduced) {
    const std::vector<std::array<std::uint8_t, 4>> opaque = {
        {200, 30, 30, 255}, {20, 180, 60, 255}, {250, 250, 250, 255}};
    const std::vector<std::array<std::uint8_t, 4>> seeThrough = {
        {10, 20, 200, 255}, {240, 200, 20, 128}, {0, 0, 0, 0}, {90, 90, 90, 255}};
    const test::PngSpec rgb = stripedPicture(32, 16, opaque, false);
    // Three animation frames: the stripes move, and the last frame brings
    // a colour of its own, so only a palette made from all three fits them.
    std::vector<test::PngSpec> frames;
    for (int f = 0; f < 3; ++f) {
        auto colours = seeThrough;
        std::rotate(colours.begin(), colours.begin() + f, colours.end());
        if (f == 2) colours.push_back({255, 0, 255, 255});
        frames.push_back(stripedPicture(48, 20, colours, true));
    }
    const std::string rgbPng = png("rgb.png", rgb);
    std::string framePngs;
    for (int f = 0; f < 3; ++f)
        framePngs += (f == 0 ? "" : ",") + png("frame" + std::to_string(f) + ".png", frames[f]);

    const CliRun refused = edit(demo, out, {"import-object", rgbPng});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "lumora-cli: import-object " + rgbPng +
                               ": Not supported file format!; " + out + " not written\n");
    EXPECT_FALSE(fileExists(out));

    const struct {
        std::vector<std::string> words;
        std::vector<const test::PngSpec*> pictures;
    } cases[] = {
        {{rgbPng, "quantize"}, {&rgb}},
        {{framePngs, "quantize"}, {&frames[0], &frames[1], &frames[2]}},
    };
    for (const auto& c : cases) {
        const CliRun run = edit(demo, out, joined({"import-object"}, c.words));
        ASSERT_EQ(run.status, 0) << c.words.front() << ": " << run.err;
        const TIGMenu menu = loaded(out);
        ASSERT_EQ(menu.objects.size(), 0x11 + c.pictures.size());
        ASSERT_EQ(menu.palettes.size(), 3u) << "one palette for all of them";
        const TIGpalette& palette = menu.palettes[2];
        for (std::size_t i = 0; i < c.pictures.size(); ++i) {
            const test::PngSpec& spec = *c.pictures[i];
            const std::size_t id = 0x11 + i;
            ASSERT_EQ(menu.objects[id].width, spec.width);
            ASSERT_EQ(menu.objects[id].height, spec.height);
            // A few colours pass the reduction unchanged: every pixel's entry
            // holds its colour (a transparent pixel's colour is never seen).
            const Bytes indices = objectIndices(menu, id);
            for (std::size_t p = 0; p < indices.size(); ++p) {
                ASSERT_NE(indices[p], 255) << "entry 255 stays free";
                std::array<std::uint8_t, 4> colour = specPixel(spec, p);
                if (colour[3] == 0) {
                    ASSERT_EQ(palette.rgba[indices[p]].a, 0) << id << " pixel " << p;
                    continue;
                }
                expectEntry(palette, indices[p], colour, "object " + hexText(id, 4));
                if (testing::Test::HasFailure()) return;
            }
        }
    }
}

TEST_F(CliMenuObjects, ExportedObjectsComeBackWithTheirIndicesAndColours) {
    const TIGMenu original = loaded(demo);
    const std::string software = "Lumora v" + std::string(kVersion);
    const struct {
        const char* object;
        std::vector<std::string> options;
        std::size_t id;
        std::size_t palette;
    } cases[] = {
        {"2", {}, 2, 0},
        {"0000", {"--palette", "01"}, 0, 1},
        {"$B", {"--palette", "0"}, 0xB, 0},
        {"0x10", {"--palette", "1"}, 0x10, 1},
    };
    for (const auto& c : cases) {
        const std::string context = c.object;
        const std::string exported = dir / (hexText(c.id, 4) + ".png");
        const CliRun run = cli(
            joined(joined({"menu", "export-object", demo, c.object}, c.options), {"-o", exported}));
        ASSERT_EQ(run.status, 0) << context << ": " << run.err;
        EXPECT_EQ(run.err, "");
        const TIGobject& object = original.objects[c.id];
        EXPECT_EQ(run.out, exported + "\t" + std::to_string(object.width) + "x" +
                               std::to_string(object.height) + "\n");

        // The PNG: the indices as they are, the palette's 256 entries.
        const Bytes bytes = readFileBytes(exported);
        EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(software), std::string::npos);
        const PaletteRead read = readPalettePng(bytes);
        ASSERT_TRUE(read.picture) << context << ": " << read.error;
        EXPECT_EQ(read.picture->indices, objectIndices(original, c.id)) << context;
        const TIGpalette& palette = original.palettes[c.palette];
        ASSERT_EQ(read.picture->colours.size(), 256u);
        ASSERT_EQ(read.picture->alphas.size(), 256u);
        for (std::size_t i = 0; i < 256; ++i) {
            const TRGBA& entry = palette.rgba[i];
            EXPECT_EQ(read.picture->colours[i],
                      (std::array<std::uint8_t, 3>{entry.r, entry.g, entry.b}))
                << context << " entry " << i;
            EXPECT_EQ(read.picture->alphas[i], entry.a) << context << " entry " << i;
        }

        // Imported again: the same indices, and the colours of entries 0-254
        // as far as the menu file keeps them.
        const CliRun back = edit(demo, out, {"import-object", exported});
        ASSERT_EQ(back.status, 0) << context << ": " << back.err;
        const TIGMenu menu = loaded(out);
        ASSERT_EQ(menu.objects.size(), 0x12u);
        EXPECT_EQ(objectIndices(menu, 0x11), objectIndices(original, c.id)) << context;
        for (std::size_t i = 0; i < 255; ++i) {
            const TRGBA& entry = palette.rgba[i];
            expectEntry(menu.palettes.at(2), i, {entry.r, entry.g, entry.b, entry.a}, context);
        }
    }
}

// Reads the value of `tag` in the entry's block of a .pxml text.
int pxmlValue(const std::string& text, std::size_t entry, const std::string& tag) {
    const std::size_t block = text.find("PaletteEntryId=\"" + std::to_string(entry) + "\"");
    const std::size_t open = text.find("<" + tag + ">", block);
    if (block == std::string::npos || open == std::string::npos) return -1;
    return std::stoi(text.substr(open + tag.size() + 2));
}

TEST_F(CliMenuObjects, PalettesExportByTheirNameExactly) {
    const TIGMenu original = loaded(demo);
    const struct {
        const char* name;
        const char* palette;
        std::size_t id;
        bool empty;
    } cases[] = {
        {"p.pxml", "01", 1, false}, {"p.act", "0", 0, false}, {"p.ACT", "1", 1, true},
        {"p.PXML", "0", 0, true},   {"p.txt", "0", 0, true},  {"p", "0", 0, true},
    };
    for (const auto& c : cases) {
        const std::string file = dir / c.name;
        const CliRun run = cli({"menu", "export-palette", demo, c.palette, "-o", file});
        ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, file + "\t" + std::to_string(fileSize(file)) + " bytes\n");
        ASSERT_TRUE(fileExists(file)) << c.name;
        const Bytes bytes = readFileBytes(file);
        if (c.empty) {
            EXPECT_TRUE(bytes.empty()) << c.name;
            EXPECT_EQ(run.err, "lumora-cli: warning: " + file +
                                   " does not end in .pxml or .act (lower case); an empty file "
                                   "was written\n");
            continue;
        }
        EXPECT_EQ(run.err, "") << c.name;
        const TIGpalette& palette = original.palettes[c.id];
        if (std::string_view(c.name).ends_with(".act")) {
            ASSERT_EQ(bytes.size(), 768u);
            for (std::size_t i = 0; i < 256; ++i) {
                const TRGBA& entry = palette.rgba[i];
                EXPECT_EQ(Bytes(bytes.begin() + 3 * i, bytes.begin() + 3 * i + 3),
                          (Bytes{entry.r, entry.g, entry.b}))
                    << "entry " << i;
            }
            continue;
        }
        const std::string text(bytes.begin(), bytes.end());
        std::size_t lines = 0;
        for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; ++at, ++lines)
            ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "line " << lines + 1 << " ends in CR LF";
        EXPECT_TRUE(text.ends_with("</PaletteDefinition>\r\n"));
        std::size_t entries = 0;
        for (std::size_t at = 0; (at = text.find("<PaletteData ", at)) != std::string::npos; ++at)
            ++entries;
        EXPECT_EQ(entries, 256u);
        for (const std::size_t i : {std::size_t{0}, std::size_t{1}, std::size_t{100},
                                    std::size_t{254}, std::size_t{255}}) {
            const TRGBA& rgba = palette.rgba[i];
            const TYCrCb& ycrcb = palette.ycrcb[i];
            EXPECT_EQ(
                std::vector({pxmlValue(text, i, "R"), pxmlValue(text, i, "G"),
                             pxmlValue(text, i, "B"), pxmlValue(text, i, "T"),
                             pxmlValue(text, i, "Y"), pxmlValue(text, i, "Cr"),
                             pxmlValue(text, i, "Cb")}),
                std::vector<int>({rgba.r, rgba.g, rgba.b, rgba.a, ycrcb.y, ycrcb.cr, ycrcb.cb}))
                << "entry " << i;
        }
    }
}

TEST_F(CliMenuObjects, ExportsThatCannotBeMadeWriteNothing) {
    test::writeFile(dir / "notes.txt", std::string_view("not a menu at all"));
    const std::string to = dir / "x.png";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } cases[] = {
        {{"export-object", demo, "0011"}, 1, "demo.mnu has no object 0011"},
        {{"export-object", demo, "2", "--palette", "2"}, 1, "demo.mnu has no palette 02"},
        {{"export-palette", demo, "02"}, 1, "demo.mnu has no palette 02"},
        {{"export-object", dir / "notes.txt", "0"}, 1, ""},
        {{"export-object", demo, "G"}, 2, "ID must be 1 to 4 hexadecimal digits, not 'G'"},
        {{"export-object", demo, "12345"}, 2, "ID must be 1 to 4 hexadecimal digits"},
        {{"export-object", demo}, 2, "menu export-object needs FILE and ID"},
        {{"export-object", demo, "2", "--palette", "100"}, 2, "--palette must be 1 or 2"},
        {{"export-palette", demo, "100"}, 2, "P must be 1 or 2 hexadecimal digits, not '100'"},
        {{"export-palette", demo, "0", "--palette", "1"}, 2, "--palette belongs to menu export"},
        {{"export-palette", demo, "0", "--pid", "0x2000"}, 2, "--pid needs a PID up to 0x1FFF"},
        {{"export-palette", demo, "0", "--video", "720x576"}, 2, "unknown option --video"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(joined(joined({"menu"}, c.args), {"-o", to}));
        EXPECT_EQ(run.status, c.status) << c.message << '\n' << run.err;
        EXPECT_TRUE(has(run.err, c.message)) << run.err;
        EXPECT_EQ(has(run.err, "usage: lumora-cli menu export-object"), c.status == 2) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fileExists(to)) << c.message;
    }
    const CliRun noOut = cli({"menu", "export-palette", demo, "0"});
    EXPECT_EQ(noOut.status, 2);
    EXPECT_TRUE(has(noOut.err, "menu export-palette needs -o")) << noOut.err;
    // A file there already stays when the export cannot be made.
    test::writeFile(to, std::string_view("an older picture"));
    EXPECT_EQ(cli({"menu", "export-object", demo, "0011", "-o", to}).status, 1);
    const Bytes kept = test::readFile(to);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "an older picture");

    for (const char* action : {"export-object", "export-palette"}) {
        const CliRun help = cli({"menu", action, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(has(help.out, "usage: lumora-cli menu export-object FILE ID [--palette P]"));
        EXPECT_TRUE(has(help.out, "an empty file"));
    }
    const CliRun menuHelp = cli({"menu", "--help"});
    EXPECT_TRUE(has(menuHelp.out, "lumora-cli menu export-object FILE ID"));
    EXPECT_TRUE(has(menuHelp.out, "lumora-cli menu export-palette FILE P"));
}

// What the demo's page 0 looks like, as menu render draws it.
Picture rendered(const std::string& menu, const std::string& png) {
    const CliRun run = cli({"menu", "render", menu, "--background", "#000080", "-o", png});
    EXPECT_EQ(run.status, 0) << run.err;
    const PictureLoad load = decodePng(test::readFile(png));
    EXPECT_TRUE(load.picture) << load.problem;
    return load.picture.value_or(Picture{});
}

TEST_F(CliMenuObjects, DeletedObjectsTakeTheirReferencesAlong) {
    // Three frames sharing one palette, two dark and a red one; the demo's
    // button 0001 (normal, at 780, 520) shows the red one under it.
    const test::PngSpec red = [] {
        test::PngSpec spec = palettePicture(360, 90, 1);
        spec.plte = {200, 30, 30, 10, 10, 10};
        return spec;
    }();
    test::PngSpec dark = red;
    std::fill(dark.rows.begin(), dark.rows.end(), 1);
    const std::string pictures =
        png("f0.png", dark) + "," + png("f1.png", dark) + "," + png("f2.png", red);
    const std::string before = dir / "before.mnu";
    const CliRun made = edit(demo, before,
                             {"import-object", pictures, "set-button", "0", "1",
                              "n.start=0013,n.end=0013", "set-page", "0", "palette=02"});
    ASSERT_EQ(made.status, 0) << made.err;

    const CliRun deleted = edit(before, out, {"delete-objects", "0011-0012"});
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    const TIGMenu was = loaded(before);
    const TIGMenu is = loaded(out);
    ASSERT_EQ(is.objects.size(), 0x12u);
    EXPECT_EQ(objectIndices(is, 0x11), objectIndices(was, 0x13));
    // Only the button's two references changed, to the object's new id.
    const TIGbutton& button = is.ics.pages[0].bogs[1].buttons[0];
    EXPECT_EQ(button.id, 1);
    EXPECT_EQ(std::vector({button.normalStart, button.normalEnd}),
              std::vector<std::uint16_t>({0x11, 0x11}));
    std::vector<TPage> expected = was.ics.pages;
    expected[0].bogs[1].buttons[0].normalStart = 0x11;
    expected[0].bogs[1].buttons[0].normalEnd = 0x11;
    EXPECT_EQ(is.ics.pages, expected);
    EXPECT_EQ(is.palettes, was.palettes);

    // The page looks the same, the button red in it.
    const Picture shown = rendered(out, dir / "after.png");
    EXPECT_EQ(shown, rendered(before, dir / "before.png"));
    ASSERT_EQ(shown.pixels.size(), 1920u * 1080u);
    const std::uint32_t middle = shown.pixels[(520 + 45) * 1920 + 780 + 180];
    EXPECT_TRUE(near(middle & 0xFF, 200, kColourRounding) &&
                near((middle >> 8) & 0xFF, 30, kColourRounding) &&
                near((middle >> 16) & 0xFF, 30, kColourRounding))
        << std::hex << middle;

    // An unused last object goes; it leaves its palette.
    const std::string a = png("a.png", palettePicture(8, 8, 4));
    ASSERT_EQ(edit(demo, out, {"import-object", a, "delete-objects", "11"}).status, 0);
    const TIGMenu original = loaded(demo);
    const TIGMenu left = loaded(out);
    ASSERT_EQ(left.objects.size(), original.objects.size());
    for (std::size_t id = 0; id < left.objects.size(); ++id)
        EXPECT_EQ(objectIndices(left, id), objectIndices(original, id)) << id;
    EXPECT_EQ(left.palettes.size(), 3u);
    EXPECT_EQ(left.ics.pages, original.ics.pages);

    const struct {
        std::vector<std::string> operations;
        std::string message;
    } refusals[] = {
        {{"delete-objects", "0002"},
         "delete-objects 0002: Cannot delete object. Remove all reference first."},
        // Every object of the range is checked, not only the first.
        {{"import-object", a, "delete-objects", "0011-0012"}, "the menu has no such objects"},
        {{"import-object", a, "delete-objects", "0010-0011"}, "Remove all reference first."},
    };
    for (const auto& c : refusals) {
        std::filesystem::remove(out);
        const CliRun run = edit(demo, out, c.operations);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_TRUE(has(run.err, c.message + "; " + out + " not written\n")) << run.err;
        EXPECT_FALSE(fileExists(out)) << c.message;
    }
}

TEST_F(CliMenuObjects, DeletedPalettesTakeTheirUsersAlong) {
    const std::string fresh = dir / "new.mnu";
    ASSERT_EQ(cli({"menu", "new", "-o", fresh}).status, 0);
    const std::string a = png("a.png", palettePicture(8, 8, 4, 0));
    const std::string b = png("b.png", palettePicture(8, 8, 4, 50));
    const CliRun made = edit(fresh, out,
                             {"import-object", a, "import-object", b, "set-page", "0", "palette=01",
                              "delete-palettes", "0"});
    ASSERT_EQ(made.status, 0) << made.err;
    const TIGMenu menu = loaded(out);
    ASSERT_EQ(menu.palettes.size(), 1u);
    EXPECT_EQ(menu.ics.pages[0].palette, 0) << "followed its palette";
    expectPaletteOf(menu.palettes[0], palettePicture(8, 8, 4, 50), "b.png");
    EXPECT_EQ(menu.objects.size(), 2u) << "objects do not belong to a palette";

    // An unused palette of the demo goes; those in use and the last stay.
    ASSERT_EQ(edit(demo, out, {"import-object", a, "delete-palettes", "02-02"}).status, 0);
    EXPECT_EQ(loaded(out).palettes, loaded(demo).palettes);
    const struct {
        std::string menu;
        std::vector<std::string> operations;
        std::string message;
    } refusals[] = {
        {demo, {"delete-palettes", "00"}, "Cannot delete palette. Remove all reference first."},
        {demo, {"import-object", a, "delete-palettes", "1-2"}, "Remove all reference first."},
        {fresh,
         {"import-object", a, "delete-palettes", "0"},
         "delete-palettes 0: Cannot delete palette. Remove all objects first."},
        {fresh, {"delete-palettes", "0"}, "delete-palettes 0: the menu has no such palettes"},
        {demo, {"delete-palettes", "01-02"}, "the menu has no such palettes"},
    };
    for (const auto& c : refusals) {
        std::filesystem::remove(out);
        const CliRun run = edit(c.menu, out, c.operations);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_TRUE(has(run.err, c.message + "; " + out + " not written\n")) << run.err;
        EXPECT_FALSE(fileExists(out)) << c.message;
    }
}

}  // namespace
}  // namespace lumora::cli
