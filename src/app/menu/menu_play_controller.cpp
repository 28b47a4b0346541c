#include "app/menu/menu_play_controller.h"

#include <QTimer>
#include <algorithm>
#include <climits>
#include <initializer_list>
#include <utility>
#include <vector>

#include "app/menu/menu_page_view.h"

namespace lumora::app {
namespace {

PointerModifiers pointerModifiers(Qt::KeyboardModifiers keys) {
    return {keys.testFlag(Qt::ShiftModifier), keys.testFlag(Qt::ControlModifier),
            keys.testFlag(Qt::AltModifier)};
}

// Switches options off for a scope and back to what they were.
class OptionsOff {
public:
    OptionsOff(RenderOptions& options, std::initializer_list<bool RenderOptions::*> fields)
        : options_(options) {
        for (bool RenderOptions::*field : fields) {
            saved_.push_back({field, options_.*field});
            options_.*field = false;
        }
    }
    ~OptionsOff() {
        for (const auto& [field, value] : saved_)
            options_.*field = value;
    }
    OptionsOff(const OptionsOff&) = delete;
    OptionsOff& operator=(const OptionsOff&) = delete;

private:
    RenderOptions& options_;
    std::vector<std::pair<bool RenderOptions::*, bool>> saved_;
};

}  // namespace

// One of the user's operations is under way.
class MenuPlayController::Operation {
public:
    explicit Operation(int& depth) : depth_(depth) { ++depth_; }
    ~Operation() { --depth_; }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    int& depth_;
};

MenuPlayController::MenuPlayController(TIGMenu& menu, Registers& registers,
                                       Interpreter& interpreter, Reporter& reporter,
                                       MenuPageView& pageView, QObject* parent)
    : QObject(parent),
      menu_(menu),
      registers_(registers),
      interpreter_(interpreter),
      pageView_(pageView),
      clock_(windowClock_),
      simulator_(menu, registers, interpreter, reporter, clock_, *this) {
    tDrawRep_ = new QTimer(this);
    tDrawRep_->setObjectName("tDrawRep");
    tDrawRep_->setSingleShot(true);
    connect(tDrawRep_, &QTimer::timeout, this, &MenuPlayController::fireTimers);
    pageView_.setFrame(&renderer().pageImage());
    connectPageView();
}

// The interpreter may already be gone (the window's members go before its
// tabs), so it is not touched here; setActive(false) comes first when the
// controller is replaced.
MenuPlayController::~MenuPlayController() {
    pageView_.setFrame(nullptr);
}

void MenuPlayController::connectPageView() {
    connect(&pageView_, &MenuPageView::pointerPressed, this, &MenuPlayController::pointerPressed);
    connect(&pageView_, &MenuPageView::pointerMoved, this, &MenuPlayController::pointerMoved);
    connect(&pageView_, &MenuPageView::pointerReleased, this, &MenuPlayController::pointerReleased);
    connect(&pageView_, &MenuPageView::pointerLeft, this, &MenuPlayController::pointerLeft);
}

void MenuPlayController::setClock(MenuClock& clock) {
    clock_.setClock(clock);
    timersChanged();
}

bool MenuPlayController::busy() const {
    return operations_ > 0 || interpreter_.running() || simulator_.renderer().blocking();
}

// ---------------------------------------------------------------------------
// The Menu tab

void MenuPlayController::setActive(bool active) {
    active_ = active;
    interpreter_.setMenuHost(active ? &simulator_ : nullptr);
    if (!active) simulator_.pointerLeft();
    timersChanged();
}

void MenuPlayController::setPageViewShown(bool shown) {
    pageViewShown_ = shown;
    simulator_.setPageViewShown(shown);
    drawIfStale();
}

void MenuPlayController::drawIfStale() {
    if (stale_ && pageViewShown_) redraw();
}

// ---------------------------------------------------------------------------
// The user's operations

// The page is drawn once it is looked at: decoding every object of a page
// the user only passes through in the selector would be wasted.
void MenuPlayController::choosePage(std::size_t page) {
    simulator_.selectPage(page);
    stale_ = true;
    drawIfStale();
    emit registersChanged();
}

void MenuPlayController::start() {
    if (busy() || menu_.ics.pages.empty()) return;
    const Operation operation(operations_);
    stale_ = false;
    simulator_.start();
    emit registersChanged();
}

void MenuPlayController::navigate(MenuDirection direction) {
    if (busy()) return;
    const Operation operation(operations_);
    simulator_.navigate(direction);
    emit registersChanged();
}

void MenuPlayController::activate() {
    if (busy()) return;
    const Operation operation(operations_);
    simulator_.activate();
    emit registersChanged();
}

void MenuPlayController::chooseButton(int slot) {
    if (slot >= 0 && slot <= 0xFFFF) simulator_.setButtonSlot(static_cast<std::uint16_t>(slot));
}

void MenuPlayController::redraw() {
    if (menu_.ics.pages.empty()) return;
    // Mid-effect the page is drawn when it is next looked at.
    if (busy()) {
        stale_ = true;
        return;
    }
    const Operation operation(operations_);
    const OptionsOff quiet(options(), {&RenderOptions::showInEffects, &RenderOptions::playSound});
    stale_ = false;
    renderer().DrawPage();
}

void MenuPlayController::pageOutdated() {
    stale_ = true;
    drawIfStale();
}

void MenuPlayController::menuCleared() {
    stale_ = false;
    simulator_.pointerLeft();
    renderer().DelPage();
    simulator_.optionsChanged();
    timersChanged();
}

void MenuPlayController::fireTimers() {
    simulator_.runDueTimers();
    emit registersChanged();
}

// ---------------------------------------------------------------------------
// The pointer on the page view

void MenuPlayController::pointerPressed(Qt::MouseButton button, int x, int y) {
    if (busy() || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    const Operation operation(operations_);
    simulator_.pointerPressed(button == Qt::LeftButton ? PointerButton::Left : PointerButton::Right,
                              x, y);
    emit registersChanged();
}

void MenuPlayController::pointerMoved(int x, int y, Qt::KeyboardModifiers modifiers) {
    if (busy()) return;
    const Operation operation(operations_);
    // Hovering moves the selection now and then; the register panel is
    // refreshed only then, not for every pointer step.
    const std::uint32_t selected = registers_.psr(kPsrSelectedButton);
    const std::uint32_t page = registers_.psr(kPsrMenuPage);
    simulator_.pointerMoved(x, y, pointerModifiers(modifiers));
    if (registers_.psr(kPsrSelectedButton) != selected || registers_.psr(kPsrMenuPage) != page)
        emit registersChanged();
}

void MenuPlayController::pointerReleased(Qt::MouseButton button) {
    if (button == Qt::RightButton) simulator_.pointerReleased(PointerButton::Right);
}

void MenuPlayController::pointerLeft() {
    simulator_.pointerLeft();
}

// ---------------------------------------------------------------------------
// MenuViewHost

void MenuPlayController::pageChanged(const PixelRect& area) {
    pageView_.pageChanged(area);
}

void MenuPlayController::refreshView() {
    pageView_.repaintNow();
}

// One single-shot timer stands for both of the simulator's timers: it is
// armed for whichever falls due first, while the Menu tab is shown.
void MenuPlayController::timersChanged() {
    if (tDrawRep_ == nullptr) return;
    const bool running = active_ && !menu_.ics.pages.empty();
    const std::optional<std::int64_t> due = running ? simulator_.msUntilNextTimer() : std::nullopt;
    if (!due) {
        tDrawRep_->stop();
        return;
    }
    tDrawRep_->start(static_cast<int>(std::clamp<std::int64_t>(*due, 0, INT_MAX)));
}

void MenuPlayController::buttonChosen(std::uint16_t slot) {
    emit buttonSelected(slot);
}

void MenuPlayController::pageShown(std::size_t page) {
    emit pageFollowed(static_cast<int>(page));
}

void MenuPlayController::cursorChanged(MenuCursor cursor) {
    pageView_.setPointerCursor(cursor);
}

void MenuPlayController::buttonMoved(std::uint16_t slot) {
    emit buttonDragged(slot);
}

void MenuPlayController::playSound(std::uint8_t soundId) {
    emit soundRequested(soundId);
}

}  // namespace lumora::app
