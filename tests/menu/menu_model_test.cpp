#include <gtest/gtest.h>

#include "menu/menu_model.h"
#include "menu/menu_rows.h"
#include "menu_fixtures.h"

namespace lumora {
namespace {

TIGbutton buttonWith(std::uint16_t id, std::uint16_t normal, std::uint16_t normalEnd,
                     std::uint16_t selected, std::uint16_t activated) {
    TIGbutton b = IGbutton(id);
    b.normalStart = normal;
    b.normalEnd = normalEnd;
    b.selectedStart = selected;
    b.selectedEnd = selected;
    b.activatedStart = activated;
    b.activatedEnd = activated;
    return b;
}

Teffect effectShowing(std::uint16_t object, std::uint8_t palette) {
    Teffect effect;
    effect.palette = palette;
    TCompositionObject composed;
    composed.objectId = object;
    effect.objects = {composed};
    return effect;
}

// Page 0 shows object 9 in its in- and out-effects, with button 3 in the
// normal and selected and button 5 in the activated range; page 1's button 2
// in its normal range.  Palette 4: page 0's in-effects and buttons, page 1's
// buttons.
TIGMenu referenceMenu() {
    TIGMenu menu;
    TPage first =
        test::simplePage(0, {buttonWith(3, 8, 10, 9, kIgNone),
                             buttonWith(5, kIgNone, kIgNone, 1, 9), buttonWith(6, 1, 2, 3, 4)});
    first.inEffects.effects = {effectShowing(9, 4)};
    first.outEffects.effects = {effectShowing(9, 0)};
    first.palette = 4;
    TPage second = test::simplePage(1, {buttonWith(2, 9, 9, 1, 1)});
    second.palette = 4;
    TPage third = test::simplePage(2, {buttonWith(0, 1, 1, 1, 1)});
    third.palette = 6;
    menu.ics.pages = {first, second, third};
    test::rebuildButtonTables(menu);
    menu.objects.resize(10);
    menu.palettes.resize(7);
    return menu;
}

TEST(MenuReferences, Examples) {
    const TIGMenu menu = referenceMenu();
    EXPECT_EQ(getobjref(menu, 9), "0io 0:3ns,5a 1:2n");
    EXPECT_EQ(getpalref(menu, 4), "0i 0 1 ");
    EXPECT_EQ(getpalref(menu, 6), "2 ") << "only the buttons of page 2";
    EXPECT_EQ(getpalref(menu, 0), "0o ");
    EXPECT_EQ(getpalref(menu, 5), "") << "used by nothing";
    EXPECT_EQ(getobjref(menu, 7), "");
    // A state whose start is "none" shows nothing, whatever its end says.
    EXPECT_EQ(getobjref(menu, kIgNone), "");
}

TEST(MenuTables, ObjectTableKeepsEmptySlots) {
    TIGMenu menu;
    menu.objects.resize(6);
    for (const std::uint16_t id : {0, 1, 5}) {
        menu.objects[id] = bitmapObject(id, 2, 2, Bytes(4, 1));
    }
    EXPECT_EQ(objectRowCells(menu, 2), (std::array<std::string, 4>{"0000", "0", "0", ""}));
    EXPECT_EQ(objectRowCells(menu, 5)[0], "0005");
    EXPECT_EQ(objectGridHeaders()[0], "   id");
}

TEST(MenuTables, ButtonTableHasASlotPerId) {
    const TPage page = test::simplePage(0, {IGbutton(0), IGbutton(1), IGbutton(7)});
    const TPageButton table = pageButtonTable(page);
    ASSERT_EQ(table.size(), 8u);
    for (std::size_t slot = 2; slot < 7; ++slot) {
        EXPECT_EQ(table[slot].id, kIgNone) << slot;
        EXPECT_EQ(table.find(slot), nullptr);
    }
    EXPECT_EQ(table[7].id, 7);
    EXPECT_EQ(table[100].id, kIgNone) << "beyond the table";
    // Duplicate ids do not lengthen the table beyond the button count.
    const TPageButton doubled = pageButtonTable(test::simplePage(0, {IGbutton(0), IGbutton(0)}));
    EXPECT_EQ(doubled.size(), 2u);
    EXPECT_EQ(doubled.filled().size(), 1u);
}

TEST(MenuTables, HighButtonIdsCostOnlyTheirButtons) {
    TPageButton table;
    table.put(IGbutton(0xFFFE));
    EXPECT_EQ(table.size(), 0xFFFFu);
    EXPECT_EQ(table.filled().size(), 1u);
    table.resize(10);
    EXPECT_TRUE(table.filled().empty());
    EXPECT_EQ(table.size(), 10u);
}

TEST(MenuTables, NewButtonDefaults) {
    const TIGbutton b = IGbutton(4);
    EXPECT_EQ(b.upper, 4);
    EXPECT_EQ(b.lower, 4);
    EXPECT_EQ(b.left, 4);
    EXPECT_EQ(b.right, 4);
    EXPECT_EQ(b.numericSelectValue, kIgNone);
    EXPECT_EQ(b.normalStart, kIgNone);
    EXPECT_EQ(b.selectedSound, kIgNoSound);
    EXPECT_EQ(b.activatedSound, kIgNoSound);
    EXPECT_TRUE(b.commands.empty());
}

TEST(MenuTables, ButtonStatesOfAPage) {
    TIGMenu menu = referenceMenu();
    const auto states = makeButtonStates(menu, 0);
    ASSERT_EQ(states.size(), 7u);
    EXPECT_EQ(states[3].shown, 1) << "the BOG's default valid button";
    EXPECT_EQ(states[5].shown, 0);
    EXPECT_EQ(states[6].index, 2);
    EXPECT_TRUE(makeButtonStates(menu, 9).empty());
}

TEST(MenuPalettes, Id2palPacksRgba) {
    TIGMenu menu;
    menu.palettes.resize(2);
    menu.palettes[1].rgba[3] = {1, 2, 3, 4};
    EXPECT_EQ(id2pal(menu, 1)[3], 0x04030201u);
    EXPECT_EQ(id2pal(menu, 1)[4], 0u);
    EXPECT_EQ(id2pal(menu, 200), TRGBApalettes{});
}

TEST(MenuTiming, AnimationStepTimes) {
    const struct {
        std::uint8_t frameRate, code;
        std::uint32_t ms;
    } cases[] = {{1, 2, 83}, {6, 1, 20}, {4, 1, 33}, {3, 5, 200},   {1, 0, 0},
                 {0, 1, 0},  {5, 1, 0},  {8, 1, 0},  {7, 255, 4254}};
    for (const auto& c : cases) {
        EXPECT_EQ(animationStepMs(c.frameRate, c.code), c.ms)
            << int(c.frameRate) << " " << int(c.code);
    }
    EXPECT_EQ(menuFrameRateText(1), "23.97");
    EXPECT_EQ(menuFrameRateText(5), "-");
}

TEST(MenuTexts, FormatsAndTimes) {
    const struct {
        std::uint16_t width, height;
        int index;
    } formats[] = {{1920, 1080, 0}, {1280, 720, 1}, {720, 576, 2}, {720, 480, 3}, {640, 360, -1}};
    for (const auto& f : formats) {
        TIGSc ics;
        ics.videoWidth = f.width;
        ics.videoHeight = f.height;
        EXPECT_EQ(menuVideoFormatIndex(ics), f.index) << f.width;
    }
    EXPECT_EQ(menuTimeText(180000), "0:00:02.000");
    EXPECT_EQ(menuTimeText(45000), "0:00:00.500");
    EXPECT_EQ(menuTimeText(90000ull * 3725 + 90 * 7), "1:02:05.007");
    EXPECT_EQ(menuClockText(900000), "0:00:10");
    // Typed times read back the ticks their text shows.
    for (const std::uint64_t ticks : {180000ull, 45000ull, 90000ull * 3725 + 90 * 7, 0ull})
        EXPECT_EQ(menuTimeTicks(menuTimeText(ticks)), ticks);
    EXPECT_EQ(menuTimeTicks("0:00:00.5"), 45000u);
    for (const char* bad : {"", "0:00:02", "0:60:00.000", "0:00:60.000", "0:00:02.0000",
                            "a:00:00.000", "0::02.000", "0:00:02.000 "})
        EXPECT_EQ(menuTimeTicks(bad), std::nullopt) << bad;
}

TEST(MenuRows, ButtonRowAndOthers) {
    TIGbutton b = IGbutton(0x12);
    b.normalRepeat = 1;
    b.x = 300;
    b.commands.resize(2);
    const auto cells = buttonRowCells(b);
    EXPECT_EQ(cells[0], "0012");
    EXPECT_EQ(cells[2], "No");
    EXPECT_EQ(cells[3], "300");
    EXPECT_EQ(cells[11], "Yes");
    EXPECT_EQ(cells[12], "FF");
    EXPECT_EQ(cells[19], "2");
    EXPECT_EQ(buttonGridHeaders()[11], "n.repeat");
    Teffect effect;
    effect.duration = 45000;
    effect.palette = 0x1A;
    EXPECT_EQ(effectRowCells(1, effect),
              (std::array<std::string, 4>{"001", "0:00:00.500", "1A", "0"}));
    EXPECT_EQ(windowRowCells({1, 2, 3, 4, 5})[0], "01");
}

}  // namespace
}  // namespace lumora
