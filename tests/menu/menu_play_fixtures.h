// Menus for the renderer and simulator tests: solid objects whose red channel
// tells which object a page pixel shows, a recording window and a simulator on
// a clock that moves only when told.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/report.h"
#include "menu/menu_clock.h"
#include "menu/menu_model.h"
#include "menu/menu_simulator.h"
#include "navigation/command_codec.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

namespace lumora::test {

// Commands of the tests (immediate operands).
inline TCommand moveGpr(std::uint32_t gpr, std::uint32_t value) {
    return {0x50400001, gpr, value};
}
inline TCommand addGpr(std::uint32_t gpr, std::uint32_t value) {
    return {0x50400003, gpr, value};
}
inline TCommand setButtonPage(std::optional<std::uint16_t> button,
                              std::optional<std::uint8_t> page) {
    return {0x51C00003, button ? 0x80000000u | *button : 0u, page ? 0x80000000u | *page : 0u};
}
inline TCommand enableButton(std::uint16_t button) {
    return {0x31800004, button, 0};
}
inline TCommand disableButton(std::uint16_t button) {
    return {0x31800005, button, 0};
}

// An object of one palette index: on a page with palette 0 of solidPalette()
// its pixels are red = index.
inline TIGobject solidObject(std::uint16_t id, std::uint16_t width, std::uint16_t height,
                             std::uint8_t index) {
    return bitmapObject(id, width, height, Bytes(std::size_t{width} * height, index));
}

// Entry i is opaque (i, 0, 0); entry 0 transparent.
inline TIGpalette solidPalette(std::uint16_t id) {
    TIGpalette palette;
    palette.id = id;
    for (int i = 1; i < 256; ++i)
        palette.rgba[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), 0, 0, 255};
    return palette;
}

// Objects 0..count-1, object k 20 x 10 pixels of index k + 1.
inline std::vector<TIGobject> solidObjects(std::uint16_t count) {
    std::vector<TIGobject> objects;
    for (std::uint16_t k = 0; k < count; ++k)
        objects.push_back(solidObject(k, 20, 10, static_cast<std::uint8_t>(k + 1)));
    return objects;
}

struct StateObjects {
    std::uint16_t start = kIgNone;
    std::uint16_t end = kIgNone;
};

inline TIGbutton playButton(std::uint16_t id, std::uint16_t x, std::uint16_t y, StateObjects normal,
                            StateObjects selected = {}, StateObjects activated = {},
                            TCommands commands = {}) {
    TIGbutton button = IGbutton(id);
    button.x = x;
    button.y = y;
    button.normalStart = normal.start;
    button.normalEnd = normal.end;
    button.selectedStart = selected.start;
    button.selectedEnd = selected.end;
    button.activatedStart = activated.start;
    button.activatedEnd = activated.end;
    button.commands = std::move(commands);
    return button;
}

// A page of one BOG per button, each showing its button.
inline TPage playPage(std::uint8_t id, std::vector<TIGbutton> buttons,
                      std::uint16_t defaultSelected = 0) {
    TPage page;
    page.id = id;
    page.animationFrameRateCode = 6;  // 250 ms at 23.976
    page.defaultSelectedButton = defaultSelected;
    for (TIGbutton& button : buttons) {
        TBOG bog;
        bog.defaultValidButton = button.id;
        bog.buttons = {std::move(button)};
        page.bogs.push_back(std::move(bog));
    }
    return page;
}

class RecordingView : public MenuViewHost {
public:
    void pageChanged(const PixelRect& area) override { areas.push_back(area); }
    void refreshView() override {
        ++refreshes;
        if (clock != nullptr) clock->advance(drawingMs);
        if (onRefresh) onRefresh();
    }
    void playSound(std::uint8_t id) override { sounds.push_back(id); }
    void buttonChosen(std::uint16_t slot) override { chosen = slot; }
    void pageShown(std::size_t page) override { pages.push_back(page); }
    void cursorChanged(MenuCursor c) override { cursor = c; }
    void buttonMoved(std::uint16_t slot) override { moved.push_back(slot); }

    // Each refresh takes this long on this clock (slow drawing).
    ManualMenuClock* clock = nullptr;
    std::int64_t drawingMs = 0;
    std::function<void()> onRefresh;

    std::vector<PixelRect> areas;
    int refreshes = 0;
    std::vector<std::uint8_t> sounds;
    std::uint16_t chosen = 0;
    std::vector<std::size_t> pages;
    MenuCursor cursor = MenuCursor::Arrow;
    std::vector<std::uint16_t> moved;
};

class RecordingRun : public InterpreterHost {
public:
    void showText(std::string_view text) override { shown.emplace_back(text); }
    void commandExecuting(std::size_t, const TCommand& command) override {
        executed.push_back(command);
    }
    std::vector<std::string> shown;
    std::vector<TCommand> executed;
};

// A simulator over `menu` on a flat navy background, page 0 chosen.
class PlayTest : public ::testing::Test {
protected:
    void build() {
        menu.pageButtons.clear();
        for (const TPage& page : menu.ics.pages)
            menu.pageButtons.push_back(pageButtonTable(page));
        if (menu.palettes.empty()) menu.palettes = {solidPalette(0)};
        simulator =
            std::make_unique<MenuSimulator>(menu, registers, interpreter, reporter, clock, view);
        simulator->renderer().setBackground({BackgroundChoice::Kind::Flat, {}});
        simulator->selectPage(0);
    }
    PageRenderer& renderer() { return simulator->renderer(); }
    // Red of the page pixel: the palette index of the object drawn there.
    std::uint32_t shownAt(std::int64_t x, std::int64_t y) const {
        return simulator->renderer().pageImage().pixel(x, y) & 0xFF;
    }
    std::uint32_t psr10() const { return registers.psr(kPsrSelectedButton); }

    RecordingSink sink;
    Reporter reporter{sink};
    Registers registers;
    RecordingRun run;
    Interpreter interpreter{registers, reporter, run};
    ManualMenuClock clock;
    RecordingView view;
    TIGMenu menu;
    std::unique_ptr<MenuSimulator> simulator;
};

}  // namespace lumora::test
