// The page renderer: a full 1920 x 1080 page of 30 buttons with translucent
// faces over the built-in background, drawn as "Start" draws it (pictures
// already made), and one animation timer step of all 30 buttons.
#include <memory>

#include "bench.h"
#include "core/report.h"
#include "menu/menu_clock.h"
#include "menu/menu_simulator.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

namespace lumora::bench {
namespace {

constexpr int kButtons = 30;
constexpr int kColumns = 6;
constexpr std::uint16_t kFaceWidth = 280;
constexpr std::uint16_t kFaceHeight = 160;

class QuietRun : public InterpreterHost {
public:
    void showText(std::string_view) override {}
};

// A button face: transparent corners, an opaque edge, a translucent fill
// with a band of another colour whose place tells the frames apart.
Bytes face(int frame) {
    Bytes bitmap(std::size_t{kFaceWidth} * kFaceHeight);
    for (int y = 0; y < kFaceHeight; ++y) {
        for (int x = 0; x < kFaceWidth; ++x) {
            const int dx = std::min(x, kFaceWidth - 1 - x);
            const int dy = std::min(y, kFaceHeight - 1 - y);
            std::uint8_t index = 2;  // translucent fill
            if (dx + dy < 10)
                index = 0;
            else if (dx < 4 || dy < 4)
                index = 1;
            else if (x / 8 % 8 == frame)
                index = 3;
            bitmap[static_cast<std::size_t>(y) * kFaceWidth + static_cast<std::size_t>(x)] = index;
        }
    }
    return bitmap;
}

TIGpalette benchPalette() {
    TIGpalette palette;
    palette.rgba[1] = {240, 240, 240, 255};
    palette.rgba[2] = {30, 50, 120, 200};
    palette.rgba[3] = {120, 160, 230, 160};
    return palette;
}

struct RenderSetup {
    SilentSink sink;
    Reporter reporter{sink};
    Registers registers;
    QuietRun run;
    Interpreter interpreter{registers, reporter, run};
    ManualMenuClock clock;
    MenuViewHost view;
    TIGMenu menu;
    std::unique_ptr<MenuSimulator> simulator;

    RenderSetup() {
        TPage page;
        page.animationFrameRateCode = 2;
        page.defaultSelectedButton = 0;
        for (int i = 0; i < kButtons; ++i) {
            TIGbutton button = IGbutton(static_cast<std::uint16_t>(i));
            button.x = static_cast<std::uint16_t>(20 + i % kColumns * 315);
            button.y = static_cast<std::uint16_t>(100 + i / kColumns * 190);
            button.normalStart = static_cast<std::uint16_t>(3 * i);
            button.normalEnd = static_cast<std::uint16_t>(3 * i + 1);
            button.normalRepeat = 1;
            button.selectedStart = button.selectedEnd = static_cast<std::uint16_t>(3 * i + 2);
            button.commands = {{0x21810000, 1, 0}};
            TBOG bog;
            bog.defaultValidButton = button.id;
            bog.buttons = {button};
            page.bogs.push_back(bog);
        }
        menu.ics.pages = {page};
        menu.pageButtons = {pageButtonTable(page)};
        for (int i = 0; i < 3 * kButtons; ++i)
            menu.objects.push_back(
                bitmapObject(static_cast<std::uint16_t>(i), kFaceWidth, kFaceHeight, face(i % 3)));
        menu.palettes = {benchPalette()};
        simulator =
            std::make_unique<MenuSimulator>(menu, registers, interpreter, reporter, clock, view);
        simulator->selectPage(0);
        simulator->options().animate = true;
        simulator->optionsChanged();
        simulator->start();  // makes every picture
    }
};

std::function<void()> drawPage() {
    auto setup = std::make_shared<RenderSetup>();
    return [setup] { setup->simulator->renderer().DrawPage(); };
}

std::function<void()> animationStep() {
    auto setup = std::make_shared<RenderSetup>();
    return [setup] { setup->simulator->onAnimationTimer(); };
}

const Register kDrawPage{{"page render, 30 buttons (DrawPage)", drawPage, "pages", 1}};
const Register kAnimation{{"animation step, 30 buttons", animationStep, "steps", 1}};

}  // namespace
}  // namespace lumora::bench
