// The menu page simulator: operates a loaded menu as a player would.  "Start"
// brings a page to its first selection (or runs its auto-action buttons), the
// four directions move the selection, "S&el" activates, the user time-out
// fires, the animation timer steps the buttons, the mouse selects, activates
// and drags buttons, and the buttons' navigation commands run in the
// interpreter, for which the simulator is the menu (MenuHost).
//
// Everything runs on one thread.  Time comes from a MenuClock: the two timers
// (animation steps and the user time-out) are due times on that clock, which
// the window fires with runDueTimers() (a single timer re-armed for
// msUntilNextTimer() whenever MenuViewHost::timersChanged() is called) and
// the tests and the command line pass with passTime().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/report.h"
#include "menu/menu_clock.h"
#include "menu/menu_model.h"
#include "menu/page_renderer.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

namespace lumora {

enum class MenuDirection { Up, Down, Left, Right };
enum class PointerButton { Left, Right };

// Modifier keys held with the pointer.
struct PointerModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The grid of the "Grid size" option: at most 100 pixels.
inline constexpr int kDefaultDragGrid = 15;
inline constexpr int kMaxDragGrid = 100;

class MenuSimulator : public MenuHost {
public:
    // Nothing is owned.  The interpreter is the window's one interpreter on
    // `registers`; button commands run in it with this simulator as its
    // menu.
    MenuSimulator(TIGMenu& menu, Registers& registers, Interpreter& interpreter, Reporter& reporter,
                  MenuClock& clock, MenuViewHost& host);

    PageRenderer& renderer() { return renderer_; }
    const PageRenderer& renderer() const { return renderer_; }
    RenderOptions& options() { return renderer_.options(); }

    // "Grid size" (1..100).
    void setGridSize(int pixels);
    int gridSize() const { return grid_; }
    // The animation timer acts only while the Menu tab shows its "Page view".
    void setPageViewShown(bool shown) { pageViewShown_ = shown; }
    // Call after changing "Button animation" (or a menu load): the animation
    // timer follows it.
    void optionsChanged();

    // ---- Pages ----
    // The page selector chose a page (also after a load): PSR11 follows it,
    // the button states are rebuilt, the effect preview cleared, the
    // animation interval set; the user time-out waits for the next "Start".
    void selectPage(std::size_t page);
    std::size_t page() const { return renderer_.page(); }
    // `SetButtonStates`: the button states of a page, all zero but the shown
    // button of each BOG, the animation flags and the repeat flags.
    void SetButtonStates(std::size_t page);
    // The "Button" selector: the button whose commands are traced.
    std::uint16_t buttonSlot() const { return buttonSlot_; }
    void setButtonSlot(std::uint16_t slot) { buttonSlot_ = slot; }

    // ---- The user's operations ----
    // "Start" on the Menu tab.
    void start();
    // "&U", "&D", "&L", "&R".
    void navigate(MenuDirection direction);
    // "S&el".
    void activate();
    // The timers' actions (runDueTimers calls them when they are due).
    void onAnimationTimer();
    void onUserTimeOut();

    // ---- Timers ----
    // Interval of an armed timer in milliseconds, nothing when it is off.
    std::optional<std::uint32_t> animationInterval() const;
    std::optional<std::uint32_t> userTimeOutInterval() const;
    // Milliseconds until the next timer is due (0 when one is overdue),
    // nothing when both are off.
    std::optional<std::int64_t> msUntilNextTimer() const;
    // Fires every timer that is due on the clock, earliest first.  Ticks that
    // fall into a blocking effect or activated animation are dropped, and so
    // are time-outs during a command run.
    void runDueTimers();
    // Lets `milliseconds` pass on the clock, firing the timers as they fall
    // due (tests and scripted runs; the clock's waits do the passing).
    void passTime(std::int64_t milliseconds);

    // ---- Pointer (page coordinates; see toPageX/toPageY) ----
    void pointerPressed(PointerButton button, std::int64_t x, std::int64_t y);
    void pointerMoved(std::int64_t x, std::int64_t y, PointerModifiers modifiers);
    void pointerReleased(PointerButton button);
    void pointerLeft();
    bool dragging() const { return drag_.active; }

    // ---- Buttons grid ----
    // A click on a cell of the buttons grid: the object of the columns
    // "n.start", "n.end", "s.start", "s.end", "a.start", "a.end" in the
    // page's palette, "No object assigned" for any other column.
    ButtonPicture buttonGridClick(const TIGbutton& button, std::string_view column);

    // ---- MenuHost ----
    std::uint32_t pageCount() const override;
    bool hasButton(std::uint32_t page, std::uint32_t button) const override;
    bool sameBog(std::uint32_t page, std::uint32_t a, std::uint32_t b) const override;
    void setButtonStates(std::uint32_t page) override;
    void showInBog(std::uint32_t page, std::uint32_t button) override;
    void hideButton(std::uint32_t page, std::uint32_t button) override;
    void drawButton(std::uint32_t page, std::uint32_t button) override;
    void drawSelectedButton(std::uint32_t page, std::uint32_t button) override;
    void deleteButton(std::uint32_t page, std::uint32_t button) override;
    void playOutEffects(std::uint32_t page) override;
    void showPage(std::uint32_t page) override;
    std::optional<TCommands> takeAutoAction(std::uint32_t page, std::uint32_t button) override;

private:
    struct Timer {
        bool armed = false;
        std::uint32_t intervalMs = 0;
        std::int64_t dueMs = 0;
    };
    struct Drag {
        bool active = false;
        std::uint16_t slot = kIgNone;
        std::int64_t lastX = 0;
        std::int64_t lastY = 0;
    };

    const TPage* currentPage() const;
    const TPageButton* currentTable() const;
    const TIGbutton* buttonAt(std::size_t slot) const;
    const TIGbutton* selectedButton() const;
    std::uint32_t selected() const { return registers_.psr(kPsrSelectedButton); }
    std::optional<std::size_t> bogOf(std::uint32_t page, std::uint32_t button) const;

    void moveSelection(MenuDirection direction);
    void activateSelected();
    void runButton(std::uint16_t slot);
    void continueTrace();

    void arm(Timer& timer, std::uint32_t intervalMs);
    void updateAnimationTimer();
    void armUserTimeOut();
    void restartUserTimeOut();
    Timer* nextDueTimer();

    PixelRect selectedRect(const TIGbutton& button) const;
    void hover(std::int64_t x, std::int64_t y);
    void startDrag(std::int64_t x, std::int64_t y);
    void dragTo(std::int64_t x, std::int64_t y, PointerModifiers modifiers);
    void endDrag();
    bool overlapsShownButton(const PixelRect& rect, std::uint16_t except) const;
    void moveButton(std::uint16_t slot, std::uint16_t x, std::uint16_t y);
    void setCursor(MenuCursor cursor);

    TIGMenu& menu_;
    Registers& registers_;
    Interpreter& interpreter_;
    Reporter& reporter_;
    MenuClock& clock_;
    MenuViewHost& host_;
    PageRenderer renderer_;
    int grid_ = kDefaultDragGrid;
    bool pageViewShown_ = true;
    std::uint16_t buttonSlot_ = 0;
    Timer animation_;
    Timer userTimeOut_;
    bool firingTimers_ = false;
    Drag drag_;
    MenuCursor cursor_ = MenuCursor::Arrow;
};

}  // namespace lumora
