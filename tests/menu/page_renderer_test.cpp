#include "menu/page_renderer.h"

#include <gtest/gtest.h>

#include "menu/rle_codec.h"
#include "menu_play_fixtures.h"

namespace lumora::test {
namespace {

using Renderer = PlayTest;

// Button 0 animates its normal state over objects 3..5; button 1, selected,
// shows object 0.
void animatedPage(TIGMenu& menu, bool repeat) {
    TIGbutton animated = playButton(0, 100, 100, {3, 5});
    animated.normalRepeat = repeat ? 1 : 0;
    menu.ics.pages = {playPage(0, {animated, playButton(1, 300, 100, {0, 0}, {0, 0})}, 1)};
    menu.objects = solidObjects(8);
}

TEST_F(Renderer, NormalAnimationCyclesWithRepeatAndStopsWithout) {
    struct Case {
        bool repeat;
        std::vector<std::uint32_t> objects;  // palette index = object id + 1
    };
    for (const Case& c : {Case{true, {4, 5, 6, 4, 5, 6, 4}}, Case{false, {4, 5, 6, 6, 6, 6, 6}}}) {
        animatedPage(menu, c.repeat);
        build();
        simulator->options().animate = true;
        simulator->optionsChanged();
        simulator->start();
        ASSERT_EQ(simulator->animationInterval(), 250u);
        std::vector<std::uint32_t> shown{shownAt(105, 105)};
        for (int step = 1; step < 7; ++step) {
            simulator->passTime(250);
            shown.push_back(shownAt(105, 105));
        }
        EXPECT_EQ(shown, c.objects) << "repeat " << c.repeat;
        EXPECT_EQ(menu.buttonStates[0].normalRunning, c.repeat ? 1 : 0);
    }
}

TEST_F(Renderer, ActivatedAnimationNeverRepeatsAndTheButtonReturnsToSelected) {
    menu.ics.pages = {playPage(0, {playButton(0, 100, 100, {0, 0}, {1, 1}, {3, 5})})};
    menu.ics.pages[0].bogs[0].buttons[0].selectedRepeat = 1;
    menu.objects = solidObjects(8);
    build();
    simulator->options().animate = true;
    simulator->optionsChanged();
    simulator->start();
    EXPECT_EQ(shownAt(105, 105), 2u);  // selected: object 1
    simulator->activate();
    std::vector<std::uint32_t> shown{shownAt(105, 105)};
    for (int step = 0; step < 5; ++step) {
        simulator->passTime(250);
        shown.push_back(shownAt(105, 105));
    }
    // Objects 3, 4, 5 once, then the selected object for good.
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{4, 5, 6, 2, 2, 2}));
    EXPECT_EQ(menu.buttonStates[0].activatedRunning, 0);
}

TEST_F(Renderer, ActivatedAnimationWithoutTimerIsShownWholeOneStepApart) {
    menu.ics.pages = {playPage(0, {playButton(0, 100, 100, {0, 0}, {1, 1}, {3, 5})})};
    menu.objects = solidObjects(8);
    build();
    simulator->start();
    const std::int64_t before = clock.nowMs();
    const int refreshes = view.refreshes;
    simulator->activate();
    EXPECT_EQ(view.refreshes - refreshes, 3);
    EXPECT_EQ(clock.nowMs() - before, 3 * 250);
    EXPECT_EQ(shownAt(105, 105), 2u);  // selected again
}

TEST_F(Renderer, ObjectIdOverlayShowsTheStartObjectNotTheFrame) {
    animatedPage(menu, true);
    build();
    simulator->options().showObjectId = true;
    simulator->options().animate = true;
    simulator->optionsChanged();
    simulator->start();
    // The label at (right - 28, bottom - 16), in the colour of a button
    // without commands.
    const PixelRect label = FrameBuffer::labelBox(120 - 28, 110 - 16, 4, 1);
    FrameBuffer expected(1920, 1080, 0);
    expected.drawLabel(label.left, label.top, "0003", renderer().colours().invalidButton, 0);
    for (int step = 0; step < 3; ++step) {
        EXPECT_EQ(shownAt(105, 105), 4u + step);  // objects 3, 4, 5
        for (std::int64_t y = label.top; y < label.bottom; ++y) {
            for (std::int64_t x = label.left; x < label.right; ++x)
                ASSERT_EQ(renderer().pageImage().pixel(x, y), expected.pixel(x, y))
                    << x << "," << y;
        }
        simulator->passTime(250);
    }
}

TEST_F(Renderer, OverlayColoursFollowStateAndCommands) {
    TIGbutton valid = playButton(0, 100, 100, {0, 0}, {1, 1}, {}, {moveGpr(0, 1)});
    TIGbutton invalid = playButton(1, 300, 100, {0, 0}, {1, 1});
    TIGbutton normal = playButton(2, 500, 100, {0, 0}, {1, 1}, {}, {moveGpr(0, 1)});
    menu.ics.pages = {playPage(0, {valid, invalid, normal})};
    menu.objects = solidObjects(2);
    build();
    renderer().options().showButtonFrame = true;
    renderer().options().showButtonId = true;
    simulator->start();
    const MenuColours& colours = renderer().colours();
    EXPECT_EQ(renderer().pageImage().pixel(100, 109), opaque(colours.selectedFrame));
    EXPECT_EQ(renderer().pageImage().pixel(300, 109), opaque(colours.invalidFrame));
    EXPECT_EQ(renderer().pageImage().pixel(500, 109), opaque(colours.normalFrame));
    // The id label's box at (X + 3, Y + 3).
    EXPECT_EQ(renderer().pageImage().pixel(103, 103), opaque(colours.selectedButton));
    EXPECT_EQ(renderer().pageImage().pixel(303, 103), opaque(colours.invalidButton));
    EXPECT_EQ(renderer().pageImage().pixel(503, 103), opaque(colours.normalButton));
}

TEST_F(Renderer, PageWithoutShownButtonsShowsTheBackground) {
    menu.ics.pages = {playPage(0, {playButton(0, 100, 100, {0, 0}), playButton(1, 0, 0, {1, 1})})};
    for (TBOG& bog : menu.ics.pages[0].bogs)
        bog.defaultValidButton = kIgNone;
    menu.ics.pages[0].defaultSelectedButton = kIgNone;
    menu.objects = solidObjects(2);
    build();
    registers.setPsr(kPsrSelectedButton, kIgNone);
    simulator->start();
    EXPECT_EQ(renderer().pageImage(), renderer().background());
    EXPECT_EQ(sink.panel[1], "PSR10: FFFF (65535), PSR11: 00 (0)");
}

TEST_F(Renderer, ButtonsAndObjectsOutsideThePageAreClipped) {
    TIGMenu& m = menu;
    // Objects wider than the page, buttons at the edges and far beyond.
    m.objects = {solidObject(0, 4000, 30, 1), solidObject(1, 30, 2000, 2),
                 solidObject(2, 360, 90, 3)};
    m.ics.pages = {
        playPage(0, {playButton(0, 1900, 1070, {2, 2}, {2, 2}),
                     playButton(1, 0xFFFF, 0xFFFF, {2, 2}), playButton(2, 10, 0, {0, 0}),
                     playButton(3, 0, 10, {1, 1}), playButton(4, 1919, 1079, {0, 1}, {}, {0, 2})})};
    m.ics.pages[0].inEffects.windows = {{0, 1800, 1000, 0xFFFF, 0xFFFF}, {1, 0xFFFF, 0, 10, 10}};
    Teffect effect;
    effect.duration = 9000;
    TCompositionObject wide;
    wide.objectId = 0;
    wide.x = 1800;
    wide.y = 1000;
    TCompositionObject cropped = wide;
    cropped.objectId = 1;
    cropped.windowId = 1;
    cropped.flags = kObjectCropped;
    cropped.cropX = 0xFFF0;
    cropped.cropWidth = 0xFFFF;
    cropped.cropHeight = 0xFFFF;
    TCompositionObject missingWindow = wide;
    missingWindow.windowId = 7;
    effect.objects = {wide, cropped, missingWindow};
    m.ics.pages[0].inEffects.effects = {effect};
    m.ics.pages[0].outEffects = m.ics.pages[0].inEffects;
    build();
    renderer().options().showButtonFrame = true;
    renderer().options().showButtonId = true;
    renderer().options().showObjectId = true;
    renderer().options().showWindowFrame = true;
    renderer().options().fullScreen = true;
    simulator->start();
    EXPECT_EQ(shownAt(1901, 1071), 3u);  // inside the frame, above the id label
    EXPECT_EQ(shownAt(1919, 5), 1u);     // object 0 of button 2, cut at the right edge
    EXPECT_EQ(shownAt(5, 1079), 2u);
    for (const MenuDirection direction :
         {MenuDirection::Up, MenuDirection::Down, MenuDirection::Left, MenuDirection::Right})
        simulator->navigate(direction);
    simulator->activate();
    renderer().DrawEffects(m.ics.pages[0].outEffects);
    renderer().EffPreview(m.ics.pages[0].inEffects, 0, 0);
    renderer().EffPreview(m.ics.pages[0].inEffects, 0, 1);
    renderer().EffPreview(m.ics.pages[0].inEffects, 0, 2);
    renderer().EffPreview(m.ics.pages[0].inEffects, 9, 9);
    renderer().DelButton(1);
    renderer().DelButton(99);
    for (std::size_t slot = 0; slot < 6; ++slot) {
        renderer().DrawButton(slot);
        renderer().DrawButt(slot);
        renderer().redrawButton(slot, ButtonDrawState::Activated);
    }
    SUCCEED();  // the sanitizers watch every write
}

TEST_F(Renderer, EffectWaitsOutItsDurationMinusTheDrawingTime) {
    menu.ics.pages = {playPage(0, {})};
    menu.objects = solidObjects(2);
    TPage& page = menu.ics.pages[0];
    page.inEffects.windows = {{0, 10, 10, 100, 50}};
    Teffect effect;
    effect.duration = 45000;  // 0.5 s
    TCompositionObject object;
    object.objectId = 1;
    object.x = 20;
    object.y = 20;
    effect.objects = {object};
    page.inEffects.effects = {effect};
    build();
    view.clock = &clock;
    view.drawingMs = 100;  // drawing the effect takes 100 ms
    const Teffectseq sequence = page.inEffects;
    renderer().DrawEffects(sequence);
    EXPECT_EQ(clock.waited(), 400);
    EXPECT_EQ(clock.nowMs(), 500);
    EXPECT_EQ(sink.panel[1], "Effect: 0  duration: 500ms, displayed: 500 ms");
    // The window is cleared again afterwards.
    EXPECT_EQ(shownAt(25, 25), 0u);
}

TEST_F(Renderer, SlowEffectIsNotLengthened) {
    menu.ics.pages = {playPage(0, {})};
    menu.objects = solidObjects(1);
    TPage& page = menu.ics.pages[0];
    page.inEffects.windows = {{0, 0, 0, 10, 10}};
    Teffect effect;
    effect.duration = 9000;  // 100 ms
    effect.objects = {TCompositionObject{}};
    page.inEffects.effects = {effect, effect};
    build();
    view.clock = &clock;
    view.drawingMs = 150;
    renderer().DrawEffects(page.inEffects);
    EXPECT_EQ(clock.waited(), 0);
    EXPECT_EQ(sink.panel[1], "Effect: 1  duration: 100ms, displayed: 150 ms");
}

TEST_F(Renderer, EffectObjectsShowAtTheirPositionInsideTheirWindow) {
    menu.ics.pages = {playPage(0, {})};
    menu.objects = {solidObject(0, 50, 50, 9)};
    TPage& page = menu.ics.pages[0];
    page.inEffects.windows = {{0, 100, 100, 30, 30}};
    Teffect effect;
    TCompositionObject object;
    object.x = 110;
    object.y = 110;
    effect.objects = {object};
    page.inEffects.effects = {effect};
    build();
    FrameBuffer during;
    view.onRefresh = [&] { during = renderer().pageImage(); };
    renderer().DrawEffects(page.inEffects);
    EXPECT_EQ(during.pixel(110, 110) & 0xFF, 9u);
    EXPECT_EQ(during.pixel(129, 129) & 0xFF, 9u);
    EXPECT_EQ(during.pixel(130, 130) & 0xFF, 0u);  // outside the window
    EXPECT_EQ(during.pixel(109, 109) & 0xFF, 0u);
    // The preview shows the whole object at its place, the window in the
    // object background colour around it.
    renderer().EffPreview(page.inEffects, 0, 0);
    EXPECT_EQ(renderer().effectPreview().pixel(150, 150) & 0xFF, 9u);
    EXPECT_EQ(renderer().effectPreview().pixel(105, 105),
              opaque(renderer().colours().objectBackground));
}

TEST_F(Renderer, LoadBmpsMakesEveryPictureOfThePage) {
    menu.ics.pages = {playPage(0, {playButton(0, 0, 0, {0, 2}, {3, 3}, {4, 4})})};
    menu.ics.pages[0].palette = 1;
    Teffect effect;
    effect.palette = 0;
    effect.objects = {TCompositionObject{5, 0, 0, 0, 0, 0, 0, 0, 0}};
    menu.ics.pages[0].outEffects.effects = {effect};
    menu.objects = solidObjects(7);
    menu.palettes = {solidPalette(0), solidPalette(1)};
    build();
    renderer().LoadBmps(0);
    for (std::size_t id = 0; id < 5; ++id) {
        const auto& pictures = menu.objects[id].cache.pictures;
        ASSERT_GT(pictures.size(), 1u) << id;
        EXPECT_TRUE(pictures[1]) << id;
    }
    EXPECT_TRUE(menu.objects[5].cache.pictures.at(0));
    EXPECT_TRUE(menu.objects[6].cache.pictures.empty());
}

TEST_F(Renderer, ObjectPreviewShowsSizeAndData) {
    menu.ics.pages = {playPage(0, {})};
    menu.objects = solidObjects(3);
    menu.objects[2].dataLength = 12345;
    build();
    ButtonPicture picture = renderer().ShowButtonPic(2, 0);
    EXPECT_TRUE(picture.showsObject);
    EXPECT_EQ(picture.picture.width(), 20);
    EXPECT_EQ(picture.picture.pixel(0, 0) & 0xFF, 3u);
    EXPECT_EQ(sink.panel[1],
              "Size: 20x10,  Object: 0002,  Palette: 00,  RLE pixel data: 12,345 (200)");
    picture = renderer().ShowButtonPic(kIgNone, 0);
    EXPECT_EQ(picture.picture.width(), 1);
    EXPECT_EQ(sink.panel[1], "No object assigned");
}

TEST_F(Renderer, PaletteViewAndItsReadout) {
    menu.ics.pages = {playPage(0, {})};
    menu.palettes = {solidPalette(0), solidPalette(1)};
    menu.palettes[1].rgba[17] = {0x12, 0x34, 0x56, 0x40};
    build();
    renderer().options().viewPaletteOnly = true;
    const ButtonPicture picture = renderer().ShowButtonPic(0, 1);
    ASSERT_TRUE(picture.paletteView);
    EXPECT_EQ(picture.picture.width(), 350);
    EXPECT_EQ(picture.picture.height(), 180);
    EXPECT_EQ(sink.panel[1], "Palette: 01 (1)");
    // Entry 17: column 1, row 1; its swatch at (21, 21), cut corners black.
    EXPECT_EQ(picture.picture.pixel(24, 24), opaque(0x563412));
    EXPECT_EQ(picture.picture.pixel(21, 21), opaque(0));
    EXPECT_EQ(picture.picture.pixel(20, 20), opaque(renderer().colours().objectBackground));
    // The right-hand swatch: white at opacity 0x40 over silver.
    const std::uint32_t white = blendOver(opaque(0xC0C0C0), 0x40FFFFFFu);
    EXPECT_EQ(picture.picture.pixel(24 + 170, 24), white);

    PaletteReadout readout = renderer().paletteReadout(1, 25, 25);
    EXPECT_TRUE(readout.overSwatch);
    EXPECT_EQ(readout.entry, 17);
    EXPECT_EQ(readout.text,
              "Palette: 01 (1)      Color: 11 (17)      RGB: #123456  (18,52,86)      Opacity: 40 "
              "(64)      Transparency: BF (191)  74%");
    EXPECT_EQ(renderer().paletteReadout(1, 195, 25).entry, 17);
    // The last swatch and just past the grids.
    EXPECT_EQ(renderer().paletteReadout(1, 170, 170).entry, 255);
    EXPECT_FALSE(renderer().paletteReadout(1, 171, 100).overSwatch);
    EXPECT_FALSE(renderer().paletteReadout(1, 100, 171).overSwatch);
    EXPECT_EQ(renderer().paletteReadout(1, 5, 5).text, "Palette: 01 (1)");
}

TEST_F(Renderer, UnusableBackgroundPictureFallsBackToTheBuiltInOne) {
    menu.ics.pages = {playPage(0, {})};
    build();
    renderer().setBackground({BackgroundChoice::Kind::Picture, "/nonexistent/pic.png"});
    ASSERT_FALSE(sink.lines.empty());
    EXPECT_NE(sink.texts().back().find("the built-in picture is shown"), std::string::npos);
    PageRenderer builtIn(menu, registers, reporter, clock, view);
    EXPECT_EQ(renderer().background(), builtIn.background());
    EXPECT_EQ(renderer().pageImage(), renderer().background());
}

TEST(PageViewSizing, FullScreenKeepsSixteenByNineCentred) {
    EXPECT_EQ(fitFullScreen(962, 1000), PixelRect::sized(1, 230, 960, 540));
    EXPECT_EQ(fitFullScreen(2000, 542), PixelRect::sized(520, 1, 960, 540));
    EXPECT_EQ(toPageX(480, 960), 960);
    EXPECT_EQ(toPageY(270, 540), 540);
}

}  // namespace
}  // namespace lumora::test
