#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "menu/background_picture.h"
#include "menu/menu_edit.h"
#include "menu/menu_reader.h"
#include "menu/rle_codec.h"
#include "navigation/command_list.h"
#include "navigation/movie_object_file.h"
#include "support/test_support.h"

namespace lumora::cli {
namespace {

// Operations one a row, as words of the command line.
std::vector<std::string> commandLine(const std::vector<std::vector<std::string>>& operations) {
    std::vector<std::string> words;
    for (const auto& operation : operations)
        words.insert(words.end(), operation.begin(), operation.end());
    return words;
}

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

// The demo menu, and OUT for the edits.
class CliMenuEdit : public ::testing::Test {
protected:
    void SetUp() override { makeDemoMenu(path); }
    CliRun edit(const std::vector<std::string>& operations,
                const std::vector<std::string>& options = {}) {
        return cli(joined(joined({"menu", "edit", path, "-o", out}, options), operations));
    }
    test::TempDir dir;
    const std::string path = dir / "demo.mnu";
    const std::string out = dir / "out.mnu";
};

void expectDone(const MenuEdit& edit) {
    EXPECT_TRUE(edit.done()) << edit.refusal;
}

// What the objects show: a filled slot's size and decoded indices.
struct ObjectPixels {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    Bytes bitmap;
    bool operator==(const ObjectPixels&) const = default;
};

std::vector<ObjectPixels> objectPixels(const TIGMenu& menu) {
    std::vector<ObjectPixels> objects;
    for (std::size_t id = 0; id < menu.objects.size(); ++id) {
        const TIGobject& object = menu.objects[id];
        ObjectPixels pixels{object.width, object.height, {}};
        if (object.filled) {
            pixels.bitmap.resize(std::size_t{object.width} * object.height);
            decodeRle(objectRleData(menu, id), object.width, object.height, pixels.bitmap.data());
        }
        objects.push_back(std::move(pixels));
    }
    return objects;
}

// The commands of movie object `number` of the demo disc, and the program
// list `lumora-cli commands` prints for them as button commands.
struct ListedCommands {
    TCommands commands;
    std::string listing;
};

ListedCommands demoProgramList(const test::TempDir& dir, std::size_t number) {
    const std::string disc = dir / "disc";
    EXPECT_EQ(cli({"make-demo", disc}).status, 0);
    const std::string movieObjects = disc + "/BDMV/MovieObject.bdmv";
    TMOBJ file;
    EXPECT_TRUE(parseMovieObjects(readFileBytes(movieObjects), "MovieObject.bdmv", file).good());
    const CliRun listing =
        cli({"commands", "--context", "button", "--object", std::to_string(number), movieObjects});
    EXPECT_EQ(listing.status, 0) << listing.err;
    return {file.objects.at(number).commands, listing.out};
}

TEST_F(CliMenuEdit, EditsLoadBackAsTheCoreMakesThemAndNothingElseChanges) {
    const ListedCommands listed = demoProgramList(dir, 4);
    ASSERT_GE(listed.commands.size(), 2u);
    test::writeFile(dir / "object4.lst", std::string_view(listed.listing));
    const TCommands binary{{0x51C00003, 0x80000000, 0x80000001}, {0x21810000, 2, 0}};
    test::writeFile(dir / "page.bin", ByteView(programListBinary(binary)));

    const CliRun run = edit(commandLine({
        {"add-page"},              // page 2
        {"add-bog", "0"},          // page 0 BOG 3 with button 0003
        {"add-button", "0", "3"},  // 0004
        {"set-bog", "0", "3", "default=0004"},
        {"set-button", "0", "4", "X=100,Y=200,upper=1,n.start=2,n.end=0003,a.act.=Y,n.repeat=Yes"},
        {"set-button", "0", "0001", "right=0004,s.sound=FF"},
        {"set-page", "1",
         "uo_mask1=80000001,animation_frame_rate_code=12,default_selected_button=0001,palette=01"},
        {"delete-button", "0", "3"},  // 0004 becomes 0003
        {"set-commands", "1", "0", dir / "object4.lst"},
        {"set-commands", "0", "3", dir / "page.bin"},
        {"add-bog", "2"},
        {"delete-bog", "2", "0"},
        {"add-page"},          // page 3
        {"delete-page", "2"},  // page 3 moves to index 2
    }));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out + "\t" + std::to_string(fileSize(out)) + " bytes\n");
    EXPECT_EQ(run.err, "");

    const TIGMenu original = loaded(path);
    TIGMenu expected = loaded(path);
    expectDone(createPage(expected));
    expectDone(createBog(expected, 0));
    expectDone(createButton(expected, 0, 3));
    expectDone(setDefaultValidButton(expected, 0, 3, 4));
    const std::pair<ButtonField, std::uint32_t> cells[] = {
        {ButtonField::X, 100},         {ButtonField::Y, 200},       {ButtonField::Upper, 1},
        {ButtonField::NormalStart, 2}, {ButtonField::NormalEnd, 3}, {ButtonField::AutoAction, 1},
        {ButtonField::NormalRepeat, 1}};
    for (const auto& [field, value] : cells)
        expectDone(setButtonField(expected, 0, 3, 1, field, value, 0));
    expectDone(setButtonField(expected, 0, 1, 0, ButtonField::Right, 4, 0));
    expectDone(setButtonField(expected, 0, 1, 0, ButtonField::SelectedSound, 0xFF, 0));
    expectDone(setPageField(expected, 1, PageField::UoMask1, 0x80000001));
    expectDone(setPageField(expected, 1, PageField::AnimationFrameRateCode, 12));
    expectDone(setPageField(expected, 1, PageField::DefaultSelectedButton, 1));
    expectDone(setPageField(expected, 1, PageField::Palette, 1));
    expectDone(deleteButton(expected, 0, 3, 0));
    const auto first = findButton(expected.ics.pages[1], 0);
    ASSERT_TRUE(first);
    expectDone(setButtonCommands(expected, 1, first->bog, first->index, listed.commands));
    expectDone(setButtonCommands(expected, 0, 3, 0, binary));
    expectDone(createBog(expected, 2));
    expectDone(deleteBog(expected, 2, 0));
    expectDone(createPage(expected));
    expectDone(deletePage(expected, 2));

    const TIGMenu edited = loaded(out);
    EXPECT_EQ(edited.ics.pages, expected.ics.pages);
    EXPECT_EQ(edited.pageButtons, expected.pageButtons);
    // The edits as typed, where the renumbering left them.
    ASSERT_EQ(edited.ics.pages.size(), 3u);
    EXPECT_EQ(edited.ics.pages[2].id, 3);
    const TIGbutton& moved = edited.ics.pages[0].bogs.at(3).buttons.at(0);
    EXPECT_EQ(moved.id, 3);
    EXPECT_EQ(std::vector({moved.x, moved.y, moved.upper, moved.normalStart, moved.normalEnd}),
              std::vector<std::uint16_t>({100, 200, 1, 2, 3}));
    EXPECT_EQ(moved.commands, binary);
    EXPECT_EQ(edited.ics.pages[0].bogs[1].buttons[0].right, 3) << "followed the renumbering";
    EXPECT_EQ(edited.ics.pages[0].bogs[3].defaultValidButton, 3);
    EXPECT_EQ(edited.ics.pages[1].uoMask1, 0x80000001u);
    // Everything outside the pages is as it was.
    EXPECT_EQ(edited.palettes, original.palettes);
    EXPECT_EQ(objectPixels(edited), objectPixels(original));
    const TIGSc& before = original.ics;
    const TIGSc& after = edited.ics;
    EXPECT_EQ(std::vector<std::uint64_t>({after.videoWidth, after.videoHeight, after.frameRateId,
                                          after.compositionNumber, after.compositionState,
                                          after.modelFlags, after.compositionTimeOut,
                                          after.selectionTimeOut, after.userTimeOut}),
              std::vector<std::uint64_t>({before.videoWidth, before.videoHeight, before.frameRateId,
                                          before.compositionNumber, before.compositionState,
                                          before.modelFlags, before.compositionTimeOut,
                                          before.selectionTimeOut, before.userTimeOut}));
    EXPECT_EQ(edited.startTime, original.startTime);
}

TEST_F(CliMenuEdit, ScriptAndStreamFileGiveTheSameMenuAsTheCommandLine) {
    const std::string bin = dir / "jump.bin";
    test::writeFile(bin, ByteView(programListBinary({{0x21810000, 2, 0}})));
    const std::vector<std::string> operations = commandLine({
        {"add-button", "0", "2"},
        {"set-button", "0", "3", "X=40,Y=60,left=0,lower=2"},
        {"set-bog", "0", "2", "default=3"},
        {"set-commands", "0", "3", bin},
        {"set-page", "0", "default_activated_button=FFFE"},
    });
    const CliRun line = edit(operations);
    ASSERT_EQ(line.status, 0) << line.err;

    const std::string script = dir / "edit.txt";
    test::writeFile(script,
                    std::string_view("# a button under the last one\r\n"
                                     "add-button 0 2\r\n"
                                     "\r\n"
                                     "   set-button 0 3   X=40,Y=60,left=0,lower=2  # shown\n"
                                     "set-bog 0 2 default=3\n"
                                     "\t\n"
                                     "set-commands 0 3 " +
                                     bin +
                                     "\n"
                                     "#set-page 0 palette=01\n"
                                     "set-page 0 default_activated_button=FFFE"));
    const std::string scripted = dir / "scripted.mnu";
    const CliRun fromScript = cli({"menu", "edit", path, "--script", script, "-o", scripted});
    ASSERT_EQ(fromScript.status, 0) << fromScript.err;
    EXPECT_EQ(readFileBytes(scripted), readFileBytes(out));

    // The demo disc's menu clip carries the same menu on PID 0x1400.
    const std::string disc = dir / "disc";
    ASSERT_EQ(cli({"make-demo", disc}).status, 0);
    const std::string streamed = dir / "streamed.mnu";
    const CliRun fromStream = cli(joined(
        {"menu", "edit", disc + "/BDMV/STREAM/00001.m2ts", "--pid", "0x1400", "-o", streamed},
        operations));
    ASSERT_EQ(fromStream.status, 0) << fromStream.err;
    EXPECT_EQ(readFileBytes(streamed), readFileBytes(out));
}

TEST_F(CliMenuEdit, EditedMenusSimulateAndRender) {
    // Two pages from a new menu: Enter on page 0's button goes to page 1.
    const std::string fresh = dir / "new.mnu";
    ASSERT_EQ(cli({"menu", "new", "-o", fresh}).status, 0);
    const std::string list = dir / "to-page-1.lst";
    test::writeFile(list, std::string_view(programListText({{0x51C00003, 0x80000000, 0x80000001}},
                                                           CommandContext::Button)));
    const std::string twoPages = dir / "two-pages.mnu";
    const CliRun made = cli({"menu",
                             "edit",
                             fresh,
                             "-o",
                             twoPages,
                             "add-page",
                             "set-bog",
                             "0",
                             "0",
                             "default=0",
                             "set-page",
                             "0",
                             "default_selected_button=0",
                             "set-button",
                             "0",
                             "0",
                             "X=100,Y=200",
                             "set-commands",
                             "0",
                             "0",
                             list});
    ASSERT_EQ(made.status, 0) << made.err;
    const CliRun run = cli({"menu", "simulate", twoPages, "--keys", "enter"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(
        run.out.starts_with("step\tstart\nPSR10\t0000\nPSR11\t00\nBOG\t0\t0000\n"
                            "step\tenter\nPSR10\t0000\nPSR11\t01\nBOG\t0\t0000\n"
                            "command\t0000\t0000\tSetButtonPage 0, 1\nPSR0: "))
        << run.out;

    // The demo's button 1 moved up to (100, 100), edited in place.
    const std::string png = dir / "page.png";
    const auto render = [&](const std::string& menu) {
        const CliRun rendered = cli({"menu", "render", menu, "--background", "#000080", "-o", png});
        EXPECT_EQ(rendered.status, 0) << rendered.err;
        EXPECT_EQ(rendered.out, png + "\t1920x1080\n");
        const PictureLoad load = decodePng(test::readFile(png));
        EXPECT_TRUE(load.picture) << load.problem;
        return load.picture.value_or(Picture{1920, 1080, std::vector<std::uint32_t>(1920 * 1080)});
    };
    const Picture before = render(path);
    const CliRun moved =
        cli({"menu", "edit", path, "-o", path, "set-button", "0", "1", "X=100,Y=100"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    const Picture after = render(path);
    const auto at = [](const Picture& picture, std::size_t x, std::size_t y) {
        return picture.pixels.at(y * 1920 + x);
    };
    constexpr std::uint32_t kFlat = 0xFF800000;  // #000080
    // The middle of the 360x90 button, before and after.
    EXPECT_NE(at(before, 780 + 180, 520 + 45), kFlat);
    EXPECT_EQ(at(after, 780 + 180, 520 + 45), kFlat);
    EXPECT_EQ(at(before, 100 + 180, 100 + 45), kFlat);
    EXPECT_NE(at(after, 100 + 180, 100 + 45), kFlat);
}

TEST_F(CliMenuEdit, RefusedOperationsWriteNothing) {
    const std::string fresh = dir / "new.mnu";
    ASSERT_EQ(cli({"menu", "new", "-o", fresh}).status, 0);
    test::writeFile(dir / "bad.lst", std::string_view("0000  Jump Title 1\n"));
    Bytes cut = readFileBytes(path);
    cut.resize(cut.size() - 100);
    test::writeFile(dir / "cut.mnu", ByteView(cut));
    test::writeFile(dir / "edit.txt", std::string_view("add-page\n# then\ndelete-page 5\n"));
    const std::vector<std::string> thirtyThirdButton =
        commandLine(std::vector<std::vector<std::string>>(32, {"add-button", "0", "0"}));
    test::PngSpec picture;  // 1x1, 8-bit palette
    picture.rows = {0};
    picture.plte = {10, 20, 30};
    const std::string small = dir / "small.png";
    test::writeFile(small, ByteView(test::pngFile(picture)));
    test::PngSpec otherPalette = picture;
    otherPalette.plte = {10, 20, 31};
    test::writeFile(dir / "other.png", ByteView(test::pngFile(otherPalette)));
    test::PngSpec wide = picture;
    wide.width = 1921;
    wide.rows.assign(1921, 0);
    test::writeFile(dir / "wide.png", ByteView(test::pngFile(wide)));
    test::PngSpec rgb;
    rgb.colourType = 2;
    rgb.rows = {1, 2, 3};
    test::writeFile(dir / "rgb.png", ByteView(test::pngFile(rgb)));
    Bytes cutPng = test::pngFile(picture);
    cutPng.resize(cutPng.size() - 20);
    test::writeFile(dir / "cut.png", ByteView(cutPng));
    test::writeFile(dir / "import.txt",
                    std::string_view("import-object " + small + "\nimport-object " + small +
                                     " replace-object=0000 replace-palette=05\n"));

    const struct {
        std::string menu;
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {fresh,
         {"set-button", "0", "0", "n.start=FFFF"},
         "set-button 0 0 n.start=FFFF: object FFFF is not in the object table"},
        {fresh, thirtyThirdButton, "add-button 0 0: a BOG holds at most 32 buttons"},
        {fresh, {"delete-page", "0"}, "delete-page 0: a menu keeps at least one page"},
        {fresh, {"delete-button", "0", "0"}, "delete-button 0 0: a BOG keeps at least one button"},
        {fresh, {"delete-bog", "0", "0"}, "delete-bog 0 0: a page keeps at least one BOG"},
        {path, {"delete-button", "0", "10"}, "delete-button 0 10: page 0 has no button 0010"},
        {path, {"set-bog", "0", "0", "default=3"}, "is not in the page's button table"},
        {path, {"set-button", "2", "0", "X=1"}, "set-button 2 0 X=1: the menu has no page 2"},
        {path, {"add-page", "set-page", "2", "palette=7"}, "palette 07 is not in the menu"},
        {path, {"set-button", "0", "1", "X=1920"}, "X 1920 is not below the video width 1920"},
        {path, {"set-button", "0", "1", "s.sound=00"}, "sound 00 is not in sound.bdmv"},
        {path, {"--sounds", "2", "set-button", "0", "1", "a.sound=02"}, "sound 02"},
        {path, {"set-commands", "0", "0", dir / "none.lst"}, "none.lst"},
        {path,
         {"set-commands", "0", "0", dir / "bad.lst"},
         "bad.lst is not a program list: line 1"},
        {path,
         {"--script", dir / "edit.txt"},
         "edit.txt line 3: delete-page 5: the menu has no page 5"},
        {dir / "cut.mnu", {"add-page"}, "cut.mnu was read with errors and is not edited"},
        {path, {"import-object", dir / "none.png"}, "none.png"},
        {path,
         {"import-object", dir / "rgb.png"},
         "import-object " + dir / "rgb.png" + ": Not supported file format!"},
        {path, {"import-object", dir / "wide.png"}, "wide.png: Not supported file format!"},
        {path, {"import-object", dir / "cut.png"}, "import-object " + dir / "cut.png" + ": "},
        {path,
         {"import-object", small + "," + dir / "rgb.png"},
         "rgb.png: Not supported file format!"},
        {path,
         {"import-object", small + "," + dir / "other.png"},
         "the pictures do not share one palette"},
        {fresh, {"import-object", small, "replace-object=0"}, "the menu has no object 0000"},
        {path, {"import-object", small, "replace-palette=2"}, "the menu has no palette 02"},
        {path,
         {"--script", dir / "import.txt"},
         "import.txt line 2: import-object " + small +
             " replace-object=0000 replace-palette=05: the menu has no palette 05"},
        {path,
         {"delete-objects", "0002"},
         "delete-objects 0002: Cannot delete object. Remove all reference first."},
        {path,
         {"delete-palettes", "0-1"},
         "delete-palettes 0-1: Cannot delete palette. Remove all reference first."},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(joined({"menu", "edit", c.menu, "-o", out}, c.arguments));
        EXPECT_EQ(run.status, 1) << c.message << '\n' << run.err;
        EXPECT_TRUE(has(run.err, c.message)) << run.err;
        EXPECT_TRUE(has(run.err, out + " not written\n")) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(fileExists(out)) << c.message;
    }
    // A file there already stays as it was, also when earlier operations were made.
    test::writeFile(out, std::string_view("an older menu"));
    const CliRun third =
        edit({"add-page", "delete-page", "0", "delete-page", "0", "delete-page", "0"});
    EXPECT_EQ(third.status, 1);
    EXPECT_TRUE(has(third.err, "delete-page 0: a menu keeps at least one page")) << third.err;
    const Bytes kept = test::readFile(out);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "an older menu");
    // With sounds on the disc the sound cells take them.
    const CliRun sounds =
        edit({"set-button", "0", "1", "s.sound=01,a.sound=FF"}, {"--sounds", "2"});
    ASSERT_EQ(sounds.status, 0) << sounds.err;
    EXPECT_EQ(loaded(out).ics.pages[0].bogs[1].buttons[0].selectedSound, 1);
}

TEST_F(CliMenuEdit, MalformedOperationsAreUsageErrors) {
    test::writeFile(dir / "unknown.txt", std::string_view("add-page\n\nrename-page 0 x\n"));
    test::writeFile(dir / "count.txt", std::string_view("# one BOG\nadd-bog\n"));
    const std::string script = dir / "count.txt";
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"frobnicate"}, "unknown operation 'frobnicate'"},
        {{"delete-page"}, "delete-page: wrong number of arguments, delete-page takes P"},
        {{"delete-page", "add-page"}, "delete-page takes P"},
        {{"add-page", "1"}, "unknown operation '1' (after 'add-page')"},
        {{"set-button", "0", "1", "X=1", "Y=2"}, "unknown operation 'Y=2'"},
        {{"set-button", "0", "1", "colour=3"}, "unknown column 'colour'"},
        {{"set-button", "0", "1", "id=3"}, "unknown column 'id'"},
        {{"set-button", "0", "1", "X=12345"}, "'12345' is not in the format of column X"},
        {{"set-button", "0", "1", "upper=3G"}, "'3G' is not in the format of column upper"},
        {{"set-button", "0", "1", "a.act.=maybe"}, "'maybe' is not in the format of column a.act."},
        {{"set-button", "0", "1", "X=1,"}, "'' is not COLUMN=VALUE"},
        {{"set-button", "0", "1", "X"}, "'X' is not COLUMN=VALUE"},
        {{"set-page", "0", "palette=100"}, "'100' is not in the format of field palette"},
        {{"set-page", "0", "mask=1"}, "unknown field 'mask'"},
        {{"set-bog", "0", "0", "valid=1"}, "set-bog takes default=ID, not 'valid=1'"},
        {{"set-bog", "0", "0", "default=12345"}, "ID must be 1 to 4 hexadecimal digits"},
        {{"delete-button", "0", "G"}, "ID must be 1 to 4 hexadecimal digits, not 'G'"},
        {{"add-bog", "x"}, "P must be a decimal index, not 'x'"},
        {{"delete-bog", "0", "1.5"}, "B must be a decimal index, not '1.5'"},
        {{}, "menu edit needs an OP or --script SCRIPT"},
        {{"--script", script, "add-page"}, "from --script or the command line, not both"},
        {{"--script", dir / "unknown.txt"}, "unknown.txt line 3: unknown operation 'rename-page'"},
        {{"--script", script}, "count.txt line 2: add-bog: wrong number of arguments"},
        {{"--sounds", "256", "add-page"}, "--sounds needs a count of 0-255, not '256'"},
        {{"--pid", "0x2000", "add-page"}, "--pid needs a PID up to 0x1FFF"},
        {{"--video", "720x576", "add-page"}, "--video belongs to menu new"},
        // The pictures are not read before the menu is: a.png does not exist.
        {{"import-object"},
         "import-object: wrong number of arguments, import-object takes PNG[,PNG...] "
         "[replace-object=HHHH] [replace-palette=HH] [quantize]"},
        {{"import-object", "a.png", "b.png"},
         "'b.png' is not replace-object=HHHH, replace-palette=HH or quantize"},
        {{"import-object", "a.png,"}, "'a.png,' has an empty PNG file name"},
        {{"import-object", ",a.png", "quantize"}, "has an empty PNG file name"},
        {{"import-object", "a.png", "replace-object=12345"},
         "replace-object must be 1 to 4 hexadecimal digits, not 'replace-object=12345'"},
        {{"import-object", "a.png", "replace-palette=100"},
         "replace-palette must be 1 or 2 hexadecimal digits"},
        {{"import-object", "a.png", "replace-object="}, "replace-object must be 1 to 4"},
        {{"import-object", "a.png", "quantize", "replace-palette=1", "quantize"},
         "quantize is given twice"},
        {{"import-object", "a.png", "replace-object=1", "replace-object=2"},
         "replace-object is given twice"},
        {{"import-object", "a.png", "quantize", "replace-object=1", "replace-palette=1",
          "quantize"},
         "unknown operation 'quantize' (after 'import-object a.png quantize"},
        {{"import-object", "a.png", "Quantize"}, "'Quantize' is not replace-object=HHHH"},
        {{"delete-objects"}, "delete-objects takes HHHH[-HHHH]"},
        {{"delete-objects", "0001", "0002"}, "unknown operation '0002'"},
        {{"delete-objects", "12345"}, "'12345' is not an object id or range HHHH[-HHHH]"},
        {{"delete-objects", "1-"}, "'1-' is not an object id or range"},
        {{"delete-objects", "1-2-3"}, "'1-2-3' is not an object id or range"},
        {{"delete-objects", "0003-0001"}, "the range '0003-0001' runs backwards"},
        {{"delete-palettes", "0-100"}, "'0-100' is not a palette id or range HH[-HH]"},
        {{"delete-palettes", "2-1"}, "the range '2-1' runs backwards"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(joined({"menu", "edit", path, "-o", out}, c.arguments));
        EXPECT_EQ(run.status, 2) << c.message << '\n' << run.err;
        EXPECT_TRUE(has(run.err, c.message)) << run.err;
        EXPECT_TRUE(has(run.err, "usage: lumora-cli menu new")) << "the usage follows";
        EXPECT_FALSE(fileExists(out)) << c.message;
    }
    EXPECT_EQ(cli({"menu", "edit", path, "add-page"}).status, 2) << "no -o";
    EXPECT_EQ(cli({"menu", "edit", "-o", out}).status, 2) << "no FILE";
    EXPECT_EQ(cli({"menu", "new", "--script", script, "-o", out}).status, 2);
    EXPECT_FALSE(fileExists(out));
    const CliRun help = cli({"menu", "edit", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(has(help.out, "set-button P ID COLUMN=VALUE[,COLUMN=VALUE...]"));
}

}  // namespace
}  // namespace lumora::cli
