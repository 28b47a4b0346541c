#include "menu/menu_edit.h"

#include <gtest/gtest.h>

#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "menu_fixtures.h"
#include "support/test_support.h"

namespace lumora {
namespace {

constexpr std::uint32_t kEnable = 0x31800004;
constexpr std::uint32_t kDisable = 0x31800005;
constexpr std::uint32_t kSetButtonPage = 0x51C00003;

TIGbutton buttonWithId(std::uint16_t id) {
    return IGbutton(id);
}

// One page of buttons 0-5 in two BOGs (0-2 and 3-5), as the renumbering
// examples need them: button 4's upper is 3, button 3's upper is 1, button 0's
// left is 5, button 2's upper is itself.
TIGMenu sixButtonMenu() {
    TIGMenu menu;
    TPage page = test::simplePage(0, {buttonWithId(0), buttonWithId(1), buttonWithId(2)});
    TBOG second;
    for (std::uint16_t id = 3; id < 6; ++id)
        second.buttons.push_back(buttonWithId(id));
    second.defaultValidButton = 5;
    page.bogs.push_back(second);
    page.bogs[0].defaultValidButton = kIgNone;
    TIGbutton& b0 = page.bogs[0].buttons[0];
    b0.left = 5;
    b0.commands = {{kEnable, 3, 0}, {kDisable, 4, 0}, {kEnable, 1, 0}};
    page.bogs[1].buttons[0].upper = 1;  // button 3
    page.bogs[1].buttons[1].upper = 3;  // button 4
    page.defaultSelectedButton = 4;
    menu.ics.pages = {page};
    test::rebuildButtonTables(menu);
    return menu;
}

const TIGbutton& button(const TIGMenu& menu, std::size_t bog, std::size_t index) {
    return menu.ics.pages[0].bogs[bog].buttons[index];
}

TEST(MenuEdit, DeletingAButtonRenumbersThePage) {
    TIGMenu menu = sixButtonMenu();
    ASSERT_TRUE(deleteButton(menu, 0, 1, 0).done());  // button 3
    const TPage& page = menu.ics.pages[0];
    ASSERT_EQ(page.bogs[1].buttons.size(), 2u);
    // The old button 4 is now 3 and takes the deleted button's upper (1).
    EXPECT_EQ(button(menu, 1, 0).id, 3);
    EXPECT_EQ(button(menu, 1, 0).upper, 1);
    EXPECT_EQ(button(menu, 1, 1).id, 4);
    EXPECT_EQ(button(menu, 0, 0).left, 4) << "left was 5";
    EXPECT_EQ(button(menu, 0, 2).upper, 2) << "a self-reference stays one";
    EXPECT_EQ(button(menu, 1, 1).upper, 4) << "the old 5 pointed at itself";
    EXPECT_EQ(page.bogs[1].defaultValidButton, 4);
    EXPECT_EQ(page.bogs[0].defaultValidButton, kIgNone);
    // EnableButton 3 named the deleted button; DisableButton 4 follows it.
    const TCommands expected{{0, 0, 0}, {kDisable, 3, 0}, {kEnable, 1, 0}};
    EXPECT_EQ(button(menu, 0, 0).commands, expected);
    // Page defaults are left alone.
    EXPECT_EQ(page.defaultSelectedButton, 4);
    // The table is one slot shorter and holds the BOG records.
    const TPageButton& table = menu.pageButtons[0];
    EXPECT_EQ(table.size(), 5u);
    for (std::uint16_t id = 0; id < 5; ++id) {
        const auto place = findButton(page, id);
        ASSERT_TRUE(place) << id;
        EXPECT_EQ(table[id], page.bogs[place->bog].buttons[place->index]) << id;
    }
}

TEST(MenuEdit, DeletionReachesReferencesThroughDeletedNeighbours) {
    // A neighbour that pointed at the deleted button, whose own neighbour in
    // that direction was itself, points at itself afterwards.
    TIGMenu menu = sixButtonMenu();
    menu.ics.pages[0].bogs[0].buttons[1].right = 2;  // button 1 -> 2, and 2 -> 2
    test::rebuildButtonTables(menu);
    ASSERT_TRUE(deleteButton(menu, 0, 0, 2).done());
    EXPECT_EQ(button(menu, 0, 1).right, 1);
}

TEST(MenuEdit, SetButtonPageToAnotherPageKeepsItsButton) {
    TIGMenu menu = sixButtonMenu();
    TCommands& commands = menu.ics.pages[0].bogs[0].buttons[1].commands;
    commands = {{kSetButtonPage, 0x80000004, 0x80000001},  // button 4 of page 1
                {kSetButtonPage, 0x80000004, 0x80000000},  // button 4 of this page
                {0x51800003, 0x80000005, 0x00000001}};     // page from a register
    test::rebuildButtonTables(menu);
    ASSERT_TRUE(deleteButton(menu, 0, 1, 0).done());
    const TCommands& after = button(menu, 0, 1).commands;
    EXPECT_EQ(after[0].destination, 0x80000004u);
    EXPECT_EQ(after[1].destination, 0x80000003u);
    EXPECT_EQ(after[2].destination, 0x80000004u);
}

TEST(MenuEdit, DeletingABogDeletesItsButtons) {
    TIGMenu menu = sixButtonMenu();
    ASSERT_TRUE(deleteBog(menu, 0, 0).done());
    const TPage& page = menu.ics.pages[0];
    ASSERT_EQ(page.bogs.size(), 1u);
    ASSERT_EQ(page.bogs[0].buttons.size(), 3u);
    EXPECT_EQ(button(menu, 0, 0).id, 0);
    EXPECT_EQ(button(menu, 0, 0).upper, 0) << "its upper (1) went, and 1's upper was 1";
    EXPECT_EQ(button(menu, 0, 1).upper, 0) << "the old 4 still points at the old 3";
    EXPECT_EQ(button(menu, 0, 2).id, 2);
    EXPECT_EQ(page.bogs[0].defaultValidButton, 2);
    EXPECT_EQ(menu.pageButtons[0].size(), 3u);
}

TEST(MenuEdit, LimitsAndWhatIsKept) {
    TIGMenu menu;
    newMenu(menu);
    for (int i = 1; i < 32; ++i)
        ASSERT_TRUE(createButton(menu, 0, 0).done());
    const MenuEdit full = createButton(menu, 0, 0);
    EXPECT_FALSE(full.done());
    EXPECT_EQ(full.refusal, "a BOG holds at most 32 buttons");
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons.size(), 32u);

    TIGMenu one;
    newMenu(one);
    const TIGMenu before = one;
    EXPECT_FALSE(deleteButton(one, 0, 0, 0).done());
    EXPECT_FALSE(deleteBog(one, 0, 0).done());
    EXPECT_FALSE(deletePage(one, 0).done());
    EXPECT_FALSE(deletePage(one, 1).done());
    EXPECT_FALSE(createBog(one, 1).done());
    EXPECT_EQ(one.ics, before.ics);

    while (one.ics.pages.size() < kMaxMenuPages)
        ASSERT_TRUE(createPage(one).done());
    EXPECT_EQ(createPage(one).refusal, "a menu holds at most 255 pages");
    while (one.ics.pages[0].bogs.size() < kMaxPageBogs)
        ASSERT_TRUE(createBog(one, 0).done());
    EXPECT_FALSE(createBog(one, 0).done());
}

TEST(MenuEdit, ButtonIdsNeverReachNone) {
    // A loaded page whose one button has id 0xFFFE: the table is full.
    TIGMenu menu;
    menu.ics.pages = {test::simplePage(0, {buttonWithId(0xFFFE)})};
    test::rebuildButtonTables(menu);
    EXPECT_EQ(createButton(menu, 0, 0).refusal, "the page's button ids are used up");
    EXPECT_EQ(createBog(menu, 0).refusal, "the page's button ids are used up");
    EXPECT_EQ(menu.ics.pages[0].bogs.size(), 1u);
}

TEST(MenuEdit, NewPagesTakeAFreeId) {
    TIGMenu menu;
    newMenu(menu);
    createPage(menu);
    createPage(menu);
    ASSERT_TRUE(deletePage(menu, 1).done());
    ASSERT_TRUE(createPage(menu).done());
    std::vector<int> ids;
    for (const TPage& page : menu.ics.pages)
        ids.push_back(page.id);
    EXPECT_EQ(ids, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(menu.pageButtons.size(), 3u);
}

TEST(MenuEdit, NewMenuValues) {
    TIGMenu menu = test::sampleMenu();
    newMenu(menu, 720, 576);
    const TIGSc& ics = menu.ics;
    EXPECT_EQ(ics.videoWidth, 720);
    EXPECT_EQ(ics.videoHeight, 576);
    EXPECT_EQ(ics.frameRateId, 1);
    EXPECT_EQ(ics.compositionLength, 67u);
    EXPECT_EQ(ics.modelFlags, 3);
    EXPECT_EQ(ics.compositionTimeOut, 0u);
    EXPECT_EQ(ics.selectionTimeOut, 0u);
    EXPECT_TRUE(ics.fragments.empty());
    // Kept from the menu it replaces.
    EXPECT_EQ(ics.compositionNumber, 3);
    EXPECT_EQ(ics.compositionState, 2);
    EXPECT_EQ(ics.userTimeOut, 900000u);
    EXPECT_EQ(menu.startTime, 180000u);
    EXPECT_TRUE(menu.objects.empty());
    EXPECT_TRUE(menu.palettes.empty());
    ASSERT_EQ(ics.pages.size(), 1u);
    const TPage& page = ics.pages[0];
    EXPECT_EQ(page.id, 0);
    EXPECT_EQ(page.animationFrameRateCode, 1);
    EXPECT_EQ(page.defaultSelectedButton, kIgNone);
    EXPECT_EQ(page.defaultActivatedButton, kIgNone);
    ASSERT_EQ(page.bogs.size(), 1u);
    EXPECT_EQ(page.bogs[0].defaultValidButton, kIgNone);
    ASSERT_EQ(page.bogs[0].buttons.size(), 1u);
    EXPECT_EQ(page.bogs[0].buttons[0], IGbutton(0));
    EXPECT_EQ(menu.pageButtons[0][0], IGbutton(0));

    // It is written and read back as it is.
    RecordingSink sink;
    Reporter reporter(sink);
    const auto bytes = igsBytes(menu, IGSForm::MenuFile, reporter);
    ASSERT_TRUE(bytes);
    TIGMenu again;
    ASSERT_TRUE(parseMenu(*bytes, "new.mnu", again, reporter).good());
    EXPECT_EQ(again.ics.pages, ics.pages);
    EXPECT_EQ(again.ics.videoWidth, 720);
    EXPECT_EQ(again.startTime, 180000u);
}

TEST(MenuEdit, DefaultValidButton) {
    TIGMenu menu = sixButtonMenu();
    EXPECT_TRUE(setDefaultValidButton(menu, 0, 0, kIgNone).done());
    EXPECT_TRUE(setDefaultValidButton(menu, 0, 0, 5).done());
    EXPECT_FALSE(setDefaultValidButton(menu, 0, 0, 6).done());
    EXPECT_EQ(menu.ics.pages[0].bogs[0].defaultValidButton, 5);

    // The double click: none, first, next ..., last, none; a stranger stays.
    menu.ics.pages[0].bogs[0].defaultValidButton = kIgNone;
    std::vector<std::uint16_t> seen;
    for (int i = 0; i < 4; ++i) {
        cycleDefaultValidButton(menu, 0, 0);
        seen.push_back(menu.ics.pages[0].bogs[0].defaultValidButton);
    }
    EXPECT_EQ(seen, (std::vector<std::uint16_t>{0, 1, 2, kIgNone}));
    EXPECT_FALSE(cycleDefaultValidButton(menu, 0, 1)) << "5 is the BOG's last";
    menu.ics.pages[0].bogs[0].defaultValidButton = 4;
    EXPECT_FALSE(cycleDefaultValidButton(menu, 0, 0));
    EXPECT_EQ(menu.ics.pages[0].bogs[0].defaultValidButton, 4);
}

TEST(MenuEdit, ButtonFieldRules) {
    struct Case {
        const char* column;
        const char* text;
        bool taken;
        const char* note;
    };
    const Case cases[] = {
        {"n.start", "FFFF", false, "an object id must exist"},
        {"n.start", "0008", false, "objects 0-7"},
        {"n.end", "0007", true, ""},
        {"X", "1919", true, ""},
        {"X", "1920", false, "below the video width"},
        {"Y", "1080", false, "below the video height"},
        {"upper", "0001", true, ""},
        {"upper", "0002", false, "the table has slots 0-1"},
        {"upper", "FFFF", false, "none is no neighbour"},
        {"value", "FFFF", true, ""},
        {"a.act.", "Y", true, ""},
        {"s.sound", "FF", true, "no sound"},
        {"s.sound", "00", false, "sound.bdmv has no sounds"},
        {"a.sound", "01", true, "with two sounds"},
    };
    for (const Case& c : cases) {
        TIGMenu menu = test::sampleMenu();
        const ButtonField field = *buttonFieldNamed(c.column);
        const std::size_t sounds = std::string(c.note) == "with two sounds" ? 2 : 0;
        const TPage before = menu.ics.pages[0];
        const MenuEdit edit =
            setButtonField(menu, 0, 0, 0, field, *parseButtonCell(field, c.text), sounds);
        EXPECT_EQ(edit.done(), c.taken) << c.column << "=" << c.text << " " << c.note;
        if (!c.taken) {
            EXPECT_EQ(menu.ics.pages[0], before) << c.column;
        }
        EXPECT_EQ(menu.pageButtons[0][0], menu.ics.pages[0].bogs[0].buttons[0]) << c.column;
    }
}

TEST(MenuEdit, AnimationEndsFollowTheirStarts) {
    TIGMenu menu = test::sampleMenu();
    TIGbutton& b = menu.ics.pages[0].bogs[0].buttons[0];
    b.normalStart = 2;
    b.normalEnd = 5;
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::NormalStart, 7, 0).done());
    EXPECT_EQ(b.normalStart, 7);
    EXPECT_EQ(b.normalEnd, 7) << "n.end follows a start that passed it";
    b.selectedStart = kIgNone;
    b.selectedEnd = kIgNone;
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::SelectedStart, 3, 0).done());
    EXPECT_EQ(b.selectedEnd, 3) << "an end of none follows too";
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::SelectedEnd, 6, 0).done());
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::SelectedStart, 4, 0).done());
    EXPECT_EQ(b.selectedEnd, 6) << "an end after the start stays";
    // A single-object animation does not repeat.
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::NormalRepeat, 1, 0).done());
    EXPECT_EQ(b.normalRepeat, 0);
    ASSERT_TRUE(setButtonField(menu, 0, 0, 0, ButtonField::SelectedRepeat, 1, 0).done());
    EXPECT_EQ(b.selectedRepeat, 1);
}

TEST(MenuEdit, CellTexts) {
    EXPECT_EQ(parseButtonCell(ButtonField::X, "100"), 100u);
    EXPECT_EQ(parseButtonCell(ButtonField::X, "10000"), std::nullopt);
    EXPECT_EQ(parseButtonCell(ButtonField::Upper, "3"), 3u);
    EXPECT_EQ(parseButtonCell(ButtonField::Upper, "00G1"), std::nullopt);
    EXPECT_EQ(parseButtonCell(ButtonField::SelectedSound, "100"), std::nullopt);
    EXPECT_EQ(parseButtonCell(ButtonField::AutoAction, "yes"), 1u);
    EXPECT_EQ(parseButtonCell(ButtonField::AutoAction, "N"), 0u);
    EXPECT_EQ(parseButtonCell(ButtonField::AutoAction, "maybe"), std::nullopt);
    EXPECT_EQ(buttonFieldNamed("id"), std::nullopt);
    EXPECT_EQ(buttonFieldNamed("comm."), std::nullopt);
    EXPECT_EQ(buttonFieldName(ButtonField::ActivatedEnd), "a.end");
    EXPECT_EQ(pageFieldNamed("palette"), PageField::Palette);
    EXPECT_EQ(parsePageField(PageField::UoMask1, "FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parsePageField(PageField::AnimationFrameRateCode, "1000"), std::nullopt);
}

TEST(MenuEdit, PageAndEffectFields) {
    TIGMenu menu = test::sampleMenu();
    EXPECT_TRUE(setPageField(menu, 0, PageField::Palette, 2).done());
    EXPECT_FALSE(setPageField(menu, 0, PageField::Palette, 3).done());
    EXPECT_FALSE(setPageField(menu, 0, PageField::AnimationFrameRateCode, 256).done());
    EXPECT_TRUE(setPageField(menu, 0, PageField::DefaultActivatedButton, 0xFFFE).done());
    EXPECT_EQ(menu.ics.pages[0].palette, 2);

    Teffectseq& in = menu.ics.pages[0].inEffects;
    Teffect& effect = in.effects[0];
    EXPECT_TRUE(setEffectField(menu, effect, EffectField::Duration, 0xFFFFFF).done());
    EXPECT_FALSE(setEffectField(menu, effect, EffectField::Duration, 0x1000000).done());
    EXPECT_FALSE(setEffectField(menu, effect, EffectField::Palette, 3).done());
    TCompositionObject& object = effect.objects[1];
    EXPECT_FALSE(setCompositionField(menu, in, object, CompositionField::Window, 2).done());
    EXPECT_TRUE(setCompositionField(menu, in, object, CompositionField::Window, 0).done());
    EXPECT_FALSE(setCompositionField(menu, in, object, CompositionField::Object, 8).done());
    EXPECT_FALSE(setWindowField(menu, in, 0, WindowField::Width, 1921).done());
    EXPECT_TRUE(setWindowField(menu, in, 0, WindowField::X, 1000).done());

    setObjectCropped(menu, object, true);
    EXPECT_TRUE(object.cropped());
    EXPECT_EQ(object.cropWidth, menu.objects[5].width);
    EXPECT_EQ(object.cropHeight, menu.objects[5].height);
    setObjectCropped(menu, object, false);
    EXPECT_FALSE(object.cropped());
    EXPECT_EQ(object.cropWidth, 0);
}

}  // namespace
}  // namespace lumora
