#include "menu/menu_simulator.h"

#include <gtest/gtest.h>

#include "menu_play_fixtures.h"

namespace lumora::test {
namespace {

using Simulator = PlayTest;

// Two buttons one above the other: 0 (objects 0 normal, 1 selected, 2
// activated) at (100, 100) and 1 (3, 4, 5) at (100, 200).
void twoButtons(TIGMenu& menu, TCommands first = {}, TCommands second = {}) {
    TIGbutton top = playButton(0, 100, 100, {0, 0}, {1, 1}, {2, 2}, std::move(first));
    TIGbutton bottom = playButton(1, 100, 200, {3, 3}, {4, 4}, {5, 5}, std::move(second));
    top.lower = 1;
    bottom.upper = 0;
    menu.ics.pages = {playPage(0, {top, bottom})};
    menu.objects = solidObjects(8);
}

TEST_F(Simulator, StartSelectsTheDefaultButton) {
    twoButtons(menu);
    build();
    simulator->start();
    EXPECT_EQ(psr10(), 0u);
    EXPECT_EQ(shownAt(105, 105), 2u);  // selected object 1
    EXPECT_EQ(shownAt(105, 205), 4u);  // normal object 3
    EXPECT_EQ(registers.psr(kPsrPageBackup), 0u);
}

TEST_F(Simulator, StartAgainLeavesNoEarlierSelectionLit) {
    twoButtons(menu);
    build();
    simulator->start();
    simulator->navigate(MenuDirection::Down);
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(shownAt(105, 205), 5u);
    simulator->start();
    EXPECT_EQ(psr10(), 0u);
    EXPECT_EQ(shownAt(105, 105), 2u);
    EXPECT_EQ(shownAt(105, 205), 4u);  // normal again
}

TEST_F(Simulator, AutoActionButtonRunsAtStartWhenNothingIsSelected) {
    TIGbutton automatic = playButton(0, 100, 100, {0, 0}, {}, {}, {moveGpr(0, 7)});
    automatic.autoAction = 1;
    TIGbutton elsewhere = playButton(1, 300, 100, {0, 0}, {}, {}, {moveGpr(1, 8)});
    elsewhere.autoAction = 1;
    menu.ics.pages = {playPage(0, {automatic, elsewhere}, kIgNone)};
    // BOG 1 names a default valid button that it does not hold.
    menu.ics.pages[0].bogs[1].defaultValidButton = 0;
    menu.objects = solidObjects(2);
    build();
    registers.setPsr(kPsrSelectedButton, kIgNone);
    simulator->start();
    EXPECT_EQ(registers.gpr(0), 7u);
    EXPECT_EQ(registers.gpr(1), 0u);
    EXPECT_EQ(run.executed.size(), 1u);
    EXPECT_EQ(view.chosen, 0);
    EXPECT_EQ(simulator->buttonSlot(), 0);
}

TEST_F(Simulator, DefaultSelectedAutoActionButtonRunsAtStart) {
    twoButtons(menu, {moveGpr(3, 3)});
    menu.ics.pages[0].bogs[0].buttons[0].autoAction = 1;
    build();
    simulator->start();
    EXPECT_EQ(registers.gpr(3), 3u);
}

TEST_F(Simulator, ButtonThatIsItsOwnUpperNeighbourStays) {
    twoButtons(menu);
    menu.ics.pages[0].bogs[0].buttons[0].selectedSound = 1;
    build();
    simulator->options().playSound = true;
    simulator->options().soundCount = 4;
    simulator->start();
    ASSERT_EQ(view.sounds, std::vector<std::uint8_t>{1});
    const FrameBuffer before = renderer().pageImage();
    const std::size_t changes = view.areas.size();
    simulator->navigate(MenuDirection::Up);
    EXPECT_EQ(psr10(), 0u);
    EXPECT_EQ(view.sounds.size(), 1u);  // no sound either
    EXPECT_EQ(view.areas.size(), changes);
    EXPECT_EQ(renderer().pageImage(), before);
}

TEST_F(Simulator, NeighbourTheTableLacksIsRefused) {
    twoButtons(menu);
    menu.ics.pages[0].bogs[0].buttons[0].right = 0x1234;
    build();
    simulator->start();
    simulator->navigate(MenuDirection::Right);
    EXPECT_EQ(psr10(), 0u);
    EXPECT_EQ(shownAt(105, 105), 2u);
}

TEST_F(Simulator, NavigationMovesTheSelection) {
    twoButtons(menu);
    build();
    simulator->start();
    simulator->navigate(MenuDirection::Down);
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(shownAt(105, 105), 1u);  // normal object 0
    EXPECT_EQ(shownAt(105, 205), 5u);  // selected object 4
    simulator->navigate(MenuDirection::Up);
    EXPECT_EQ(psr10(), 0u);
}

TEST_F(Simulator, NeighbourWithAutoActionRunsWithoutBeingDrawnSelected) {
    twoButtons(menu, {}, {moveGpr(1, 9)});
    menu.ics.pages[0].bogs[1].buttons[0].autoAction = 1;
    build();
    simulator->start();
    simulator->navigate(MenuDirection::Down);
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(registers.gpr(1), 9u);
    EXPECT_EQ(shownAt(105, 205), 4u);  // still its normal object
    EXPECT_EQ(view.chosen, 1);
}

TEST_F(Simulator, ActivationRunsTheCommandsAndSelectsAgain) {
    twoButtons(menu, {addGpr(0, 2), {0x21810000, 3, 0}});  // then Jump Title 3
    build();
    simulator->start();
    simulator->activate();
    EXPECT_EQ(registers.gpr(0), 2u);
    EXPECT_EQ(registers.psr(kPsrTitle), 3u);
    EXPECT_EQ(run.shown, std::vector<std::string>{"Jump Title 3"});
    EXPECT_EQ(run.executed.size(), 2u);
    EXPECT_EQ(shownAt(105, 105), 2u);  // selected again after the activated object
}

TEST_F(Simulator, SelectedButtonTimeOutActivatesItEverySecond) {
    twoButtons(menu, {addGpr(0, 1)});
    menu.ics.userTimeOut = 90000;  // one second
    menu.ics.pages[0].defaultActivatedButton = kIgSelectedButton;
    build();
    simulator->start();
    ASSERT_EQ(simulator->userTimeOutInterval(), 1000u);
    simulator->passTime(999);
    EXPECT_EQ(registers.gpr(0), 0u);
    simulator->passTime(1);
    EXPECT_EQ(registers.gpr(0), 1u);
    simulator->passTime(1000);
    EXPECT_EQ(registers.gpr(0), 2u);
    // A key starts the count again.
    simulator->passTime(600);
    simulator->navigate(MenuDirection::Up);
    simulator->passTime(600);
    EXPECT_EQ(registers.gpr(0), 2u);
    simulator->passTime(400);
    EXPECT_EQ(registers.gpr(0), 3u);
}

TEST_F(Simulator, TimeOutActivatesTheDefaultActivatedButton) {
    twoButtons(menu, {}, {moveGpr(5, 5)});
    menu.ics.userTimeOut = 45000;
    menu.ics.pages[0].defaultActivatedButton = 1;
    build();
    simulator->start();
    simulator->passTime(500);
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(registers.gpr(5), 5u);
    EXPECT_EQ(shownAt(105, 105), 1u);  // the old selection is normal
    EXPECT_EQ(shownAt(105, 205), 5u);  // the activated button ends selected
}

TEST_F(Simulator, NoTimeOutWithoutDurationOrButton) {
    twoButtons(menu);
    menu.ics.pages[0].defaultActivatedButton = kIgSelectedButton;
    build();
    simulator->start();
    EXPECT_FALSE(simulator->userTimeOutInterval());
    menu.ics.userTimeOut = 90000;
    menu.ics.pages[0].defaultActivatedButton = kIgNone;
    simulator->start();
    EXPECT_FALSE(simulator->userTimeOutInterval());
    EXPECT_FALSE(simulator->msUntilNextTimer());
}

TEST_F(Simulator, HiddenButtonsAreNotAnimated) {
    TIGbutton shown = playButton(0, 100, 100, {3, 5});
    TIGbutton hidden = playButton(1, 300, 100, {3, 5});
    shown.normalRepeat = hidden.normalRepeat = 1;
    TIGbutton selected = playButton(2, 500, 100, {0, 0}, {0, 0});
    menu.ics.pages = {playPage(0, {shown, selected}, 2)};
    menu.ics.pages[0].bogs[0].buttons.push_back(hidden);  // BOG 0 shows button 0
    menu.objects = solidObjects(8);
    build();
    simulator->options().animate = true;
    simulator->optionsChanged();
    simulator->start();
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(shownAt(305, 105), 0u);
        simulator->passTime(250);
    }
    EXPECT_EQ(shownAt(105, 105), 5u);  // 3, 4, 5, 3, 4
    EXPECT_EQ(menu.buttonStates[1].frame, 0);
}

TEST_F(Simulator, AnimationTimerIsIdleOutsideThePageView) {
    TIGbutton animated = playButton(0, 100, 100, {3, 5});
    animated.normalRepeat = 1;
    menu.ics.pages = {playPage(0, {animated, playButton(1, 500, 100, {0, 0}, {0, 0})}, 1)};
    menu.objects = solidObjects(8);
    build();
    simulator->options().animate = true;
    simulator->optionsChanged();
    simulator->start();
    simulator->setPageViewShown(false);
    simulator->passTime(1000);
    EXPECT_EQ(shownAt(105, 105), 4u);
    simulator->options().animate = false;
    simulator->optionsChanged();
    EXPECT_FALSE(simulator->animationInterval());
}

TEST_F(Simulator, EnableButtonInTheSelectedButtonsBogSelectsItAfterTheRun) {
    TIGbutton first = playButton(0, 100, 100, {0, 0}, {1, 1}, {}, {enableButton(1)});
    TIGbutton second = playButton(1, 100, 100, {3, 3}, {4, 4});
    menu.ics.pages = {playPage(0, {first})};
    menu.ics.pages[0].bogs[0].buttons.push_back(second);
    menu.objects = solidObjects(6);
    build();
    simulator->start();
    simulator->activate();
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(menu.buttonStates[0].shown, 0);
    EXPECT_EQ(menu.buttonStates[1].shown, 1);
    EXPECT_EQ(shownAt(105, 105), 5u);  // button 1 selected
}

TEST_F(Simulator, DisableButtonHidesAndErasesIt) {
    twoButtons(menu, {disableButton(1)});
    build();
    simulator->start();
    simulator->activate();
    EXPECT_EQ(menu.buttonStates[1].shown, 0);
    EXPECT_EQ(shownAt(105, 205), 0u);
}

TEST_F(Simulator, SetButtonPageShowsTheOtherPage) {
    twoButtons(menu, {setButtonPage(1, 1)});
    menu.ics.pages.push_back(playPage(
        1, {playButton(0, 600, 600, {6, 6}, {7, 7}), playButton(1, 600, 700, {6, 6}, {7, 7})}));
    TPage& first = menu.ics.pages[0];
    first.outEffects.windows = {{0, 0, 0, 50, 50}};
    Teffect fade;
    fade.duration = 9000;
    fade.objects = {TCompositionObject{}};
    first.outEffects.effects = {fade};
    build();
    simulator->start();
    const std::int64_t before = clock.nowMs();
    simulator->activate();
    EXPECT_EQ(registers.psr(kPsrMenuPage), 1u);
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(simulator->page(), 1u);
    EXPECT_EQ(view.pages, std::vector<std::size_t>{1});
    // The activated object's step (250 ms) and page 0's out-effect.
    EXPECT_EQ(clock.nowMs() - before, 350);
    EXPECT_EQ(shownAt(105, 105), 0u);  // page 0's buttons are gone
    EXPECT_EQ(shownAt(605, 605), 7u);
    EXPECT_EQ(shownAt(605, 705), 8u);  // selected
    EXPECT_EQ(registers.psr(kPsrPageBackup), 1u);
}

TEST_F(Simulator, SetButtonPageToAnAutoActionButtonContinuesWithItsCommands) {
    twoButtons(menu, {setButtonPage(1, std::nullopt), moveGpr(9, 1)}, {moveGpr(8, 8)});
    menu.ics.pages[0].bogs[1].buttons[0].autoAction = 1;
    build();
    simulator->start();
    simulator->activate();
    EXPECT_EQ(psr10(), 1u);
    EXPECT_EQ(registers.gpr(8), 8u);
    EXPECT_EQ(registers.gpr(9), 0u);  // the rest of the first list is not run
    EXPECT_EQ(simulator->buttonSlot(), 1);
}

TEST_F(Simulator, TraceRunsOneCommandPerStart) {
    twoButtons(menu, {moveGpr(0, 1), moveGpr(1, 2)});
    build();
    simulator->start();
    interpreter.setTraceMode(true);
    simulator->activate();  // prepares the trace
    EXPECT_EQ(registers.gpr(0), 0u);
    simulator->start();
    EXPECT_EQ(registers.gpr(0), 1u);
    EXPECT_EQ(registers.gpr(1), 0u);
    simulator->start();
    EXPECT_EQ(registers.gpr(1), 2u);
    EXPECT_FALSE(interpreter.traceRunning());
}

TEST_F(Simulator, ClickActivatesAndHoverSelects) {
    twoButtons(menu, {addGpr(0, 1)});
    build();
    simulator->start();
    simulator->pointerMoved(110, 105, {});
    EXPECT_EQ(view.cursor, MenuCursor::Hand);
    simulator->pointerMoved(102, 105, {});  // inside, but within the 5-pixel margin
    EXPECT_EQ(view.cursor, MenuCursor::Arrow);
    simulator->pointerPressed(PointerButton::Left, 120, 110);  // the corner counts
    EXPECT_EQ(registers.gpr(0), 1u);
    simulator->pointerPressed(PointerButton::Left, 121, 110);
    EXPECT_EQ(registers.gpr(0), 1u);
    // Over the lower neighbour's selected object: it becomes selected.
    simulator->pointerMoved(110, 205, {});
    EXPECT_EQ(psr10(), 1u);
}

TEST_F(Simulator, GridDragMovesInStepsOfTheGrid) {
    twoButtons(menu);
    build();
    simulator->start();
    simulator->navigate(MenuDirection::Down);  // drag the unselected button 0
    simulator->pointerPressed(PointerButton::Right, 105, 105);
    ASSERT_TRUE(simulator->dragging());
    EXPECT_EQ(view.cursor, MenuCursor::Move);
    const PointerModifiers grid{false, true, true};
    std::vector<int> xs;
    for (const int x : {112, 121, 129, 136, 150}) {
        simulator->pointerMoved(x, 105, grid);
        xs.push_back(menu.ics.pages[0].bogs[0].buttons[0].x);
    }
    EXPECT_EQ(xs, (std::vector<int>{100, 115, 115, 130, 145}));
    EXPECT_EQ(menu.pageButtons[0].find(0)->x, 145);
    EXPECT_EQ(sink.panel[1], "[GRID] Button: 0000   X: 145 Y: 100");
    EXPECT_EQ(shownAt(150, 105), 1u);  // drawn at its new place
    EXPECT_EQ(shownAt(105, 105), 0u);
    EXPECT_FALSE(view.moved.empty());
    simulator->pointerReleased(PointerButton::Right);
    EXPECT_FALSE(simulator->dragging());
    EXPECT_EQ(view.cursor, MenuCursor::Arrow);
}

TEST_F(Simulator, DragModesFollowTheModifierKeys) {
    struct Case {
        PointerModifiers keys;
        int x, y;
        const char* prefix;
    };
    const Case cases[] = {
        {{}, 110, 107, ""},
        {{true, false, false}, 120, 114, "[2x] "},
        {{false, false, true}, 100, 107, "[Y] "},
        {{false, true, false}, 110, 100, "[X] "},
    };
    for (const Case& c : cases) {
        twoButtons(menu);
        menu.ics.pages[0].bogs[1].buttons[0].y = 500;
        build();
        simulator->start();
        simulator->pointerPressed(PointerButton::Right, 105, 105);
        simulator->pointerMoved(115, 112, c.keys);
        const TIGbutton& button = menu.ics.pages[0].bogs[0].buttons[0];
        EXPECT_EQ(button.x, c.x) << c.prefix;
        EXPECT_EQ(button.y, c.y) << c.prefix;
        EXPECT_EQ(sink.panel[1], std::string(c.prefix) + "Button: 0000   X: " +
                                     std::to_string(c.x) + " Y: " + std::to_string(c.y));
        simulator->pointerLeft();
    }
}

TEST_F(Simulator, DragOntoAnotherShownButtonIsRefused) {
    twoButtons(menu);
    menu.ics.pages[0].bogs[1].buttons[0].x = 130;
    menu.ics.pages[0].bogs[1].buttons[0].y = 100;
    build();
    simulator->start();
    simulator->pointerPressed(PointerButton::Right, 105, 105);
    simulator->pointerMoved(120, 105, {});  // would cover 115..135, button 1 is at 130
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons[0].x, 100);
    simulator->pointerMoved(115, 105, {});  // 110..130 touches, does not overlap
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons[0].x, 110);
    EXPECT_EQ(menu.pageButtons[0].find(0)->x, 110);
}

TEST_F(Simulator, DragStaysOnThePage) {
    twoButtons(menu);
    build();
    simulator->start();
    simulator->pointerPressed(PointerButton::Right, 105, 105);
    simulator->pointerMoved(0, 0, {});  // would go to -5, -5
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons[0].x, 100);
    simulator->pointerMoved(1900, 1000, {});
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons[0].x, 1895);  // 1895 + 20 = 1915
    simulator->pointerMoved(1910, 1000, {});
    EXPECT_EQ(menu.ics.pages[0].bogs[0].buttons[0].x, 1895);  // 1905 + 20 > 1919
}

TEST_F(Simulator, RightPressBesideEveryButtonStartsNoDrag) {
    twoButtons(menu);
    build();
    simulator->start();
    simulator->pointerPressed(PointerButton::Right, 50, 50);
    EXPECT_FALSE(simulator->dragging());
}

TEST_F(Simulator, ButtonGridClickShowsTheColumnsObject) {
    twoButtons(menu);
    build();
    const TIGbutton button = menu.ics.pages[0].bogs[1].buttons[0];
    EXPECT_EQ(simulator->buttonGridClick(button, "s.start").picture.pixel(0, 0) & 0xFF, 5u);
    EXPECT_EQ(simulator->buttonGridClick(button, "a.end").picture.pixel(0, 0) & 0xFF, 6u);
    EXPECT_EQ(simulator->buttonGridClick(button, "X").picture.width(), 1);
    EXPECT_EQ(sink.panel[1], "No object assigned");
}

TEST_F(Simulator, MenuHostAnswersForThePageTables) {
    twoButtons(menu);
    menu.ics.pages[0].bogs[0].buttons.push_back(playButton(7, 0, 0, {0, 0}));
    build();
    EXPECT_EQ(simulator->pageCount(), 1u);
    EXPECT_TRUE(simulator->hasButton(0, 7));
    EXPECT_FALSE(simulator->hasButton(0, 5));
    EXPECT_FALSE(simulator->hasButton(3, 0));
    EXPECT_TRUE(simulator->sameBog(0, 0, 7));
    EXPECT_FALSE(simulator->sameBog(0, 0, 1));
    EXPECT_FALSE(simulator->sameBog(0, 5, 6));
}

TEST_F(Simulator, EndlessProgramStopsAtTheStepLimit) {
    twoButtons(menu, {{0x20810000, 0, 0}});  // GoTo 0
    build();
    interpreter.setStepLimit(50);
    simulator->start();
    simulator->activate();
    ASSERT_FALSE(sink.lines.empty());
    EXPECT_NE(sink.texts().back().find("step limit"), std::string::npos);
    EXPECT_EQ(shownAt(105, 105), 2u);
}

}  // namespace
}  // namespace lumora::test
