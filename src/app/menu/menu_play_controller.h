// Plays the loaded menu on the Menu tab: the simulator on the window's
// register file and interpreter, the page view it draws into, the one timer
// (`tDrawRep`) that drives both the button animation and the user time-out,
// and the clock they run on (the window's own; tests put a manual one in).
//
// The user's operations ("Start", the directions, "S&el", the pointer on the
// page view) wait while a command run, an effect or an activated animation
// is in progress: those keep the window's events running, and a second
// operation would break the one under way.
#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>

#include "app/menu/menu_play_clock.h"
#include "menu/menu_simulator.h"

class QTimer;

namespace lumora::app {

class MenuPageView;

class MenuPlayController : public QObject, public MenuViewHost {
    Q_OBJECT
public:
    // Nothing is owned; all of it outlives the controller.
    MenuPlayController(TIGMenu& menu, Registers& registers, Interpreter& interpreter,
                       Reporter& reporter, MenuPageView& pageView, QObject* parent = nullptr);
    ~MenuPlayController() override;

    MenuSimulator& simulator() { return simulator_; }
    PageRenderer& renderer() { return simulator_.renderer(); }
    RenderOptions& options() { return simulator_.options(); }
    // The page-view timer; single-shot, armed for the next due simulator timer.
    QTimer* timer() const { return tDrawRep_; }
    // The clock the menu runs on (tests: a manual clock); set it before the
    // first "Start".
    void setClock(MenuClock& clock);

    // A command run, an effect or an activated animation is going on.
    bool busy() const;

    // The Menu tab is shown (the timers run, and the interpreter's menu
    // commands reach this menu) or left (both stop).
    void setActive(bool active);
    bool active() const { return active_; }
    // The "Page view" page is shown: the animation timer acts, and a page
    // that changed meanwhile is drawn.
    void setPageViewShown(bool shown);

    // ---- The user's operations ----
    // A page was chosen in the page selector (also after a load).
    void choosePage(std::size_t page);
    // "Start" on the Menu tab.
    void start();
    // "&U", "&D", "&L", "&R".
    void navigate(MenuDirection direction);
    // "S&el".
    void activate();
    // The "Button" selector chose a slot.
    void chooseButton(int slot);
    // The page drawn again for a changed option or colour: without the
    // in-effects and the button sounds, which belong to "Start".
    void redraw();
    // Something the page shows changed: it is drawn again now when the
    // "Page view" is shown, else when it is next shown.
    void pageOutdated();
    // The menu was emptied (a folder Read, a new load): the page view shows
    // the background, and no timer runs.
    void menuCleared();
    // The clock has moved on: the due timers fire (the timer's timeout).
    void fireTimers();

    // ---- MenuViewHost ----
    void pageChanged(const PixelRect& area) override;
    void refreshView() override;
    void timersChanged() override;
    void buttonChosen(std::uint16_t slot) override;
    void pageShown(std::size_t page) override;
    void cursorChanged(MenuCursor cursor) override;
    void buttonMoved(std::uint16_t slot) override;
    void playSound(std::uint8_t soundId) override;

signals:
    // PSR10, PSR11 or a command changed the registers.
    void registersChanged();
    // The "Button" selector shows `slot`.
    void buttonSelected(int slot);
    // A button command chose page `page`: the views follow it.
    void pageFollowed(int page);
    // A drag moved button `slot` of the current page.
    void buttonDragged(int slot);
    // A button was selected or activated with "Play button sound" on: its
    // sound `soundId` plays.
    void soundRequested(int soundId);

private:
    class Operation;
    void connectPageView();
    void pointerPressed(Qt::MouseButton button, int x, int y);
    void pointerMoved(int x, int y, Qt::KeyboardModifiers modifiers);
    void pointerReleased(Qt::MouseButton button);
    void pointerLeft();
    void drawIfStale();

    TIGMenu& menu_;
    Registers& registers_;
    Interpreter& interpreter_;
    MenuPageView& pageView_;
    // Before the simulator, whose renderer reports to this host while it
    // is being built.
    QTimer* tDrawRep_ = nullptr;
    WindowMenuClock windowClock_;
    SwitchedMenuClock clock_;
    MenuSimulator simulator_;
    bool active_ = false;
    bool pageViewShown_ = false;
    // The page chosen has not been drawn yet.
    bool stale_ = false;
    int operations_ = 0;
};

}  // namespace lumora::app
