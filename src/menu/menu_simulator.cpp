#include "menu/menu_simulator.h"

#include <algorithm>

#include "core/text.h"

namespace lumora {
namespace {

std::uint16_t neighbour(const TIGbutton& button, MenuDirection direction) {
    switch (direction) {
        case MenuDirection::Up:
            return button.upper;
        case MenuDirection::Down:
            return button.lower;
        case MenuDirection::Left:
            return button.left;
        case MenuDirection::Right:
            return button.right;
    }
    return button.id;
}

// The rectangle shrunk by `margin` on every side, ends included.
bool insideShrunk(const PixelRect& rect, std::int64_t x, std::int64_t y, std::int64_t margin) {
    if (rect.empty()) return false;
    return x >= rect.left + margin && x <= rect.right - margin && y >= rect.top + margin &&
           y <= rect.bottom - margin;
}

std::int64_t snap(std::int64_t position, int grid) {
    return (position + 5) / grid * grid;
}

// How a drag moves with the modifier keys held, and its status prefix.
struct DragMode {
    const char* prefix = "";
    bool grid = false;
    int factor = 1;
    bool horizontal = true;
    bool vertical = true;
};

DragMode dragMode(PointerModifiers keys) {
    if (keys.ctrl && keys.alt) return {"[GRID] ", true, 1, true, true};
    if (keys.shift) return {"[2x] ", false, 2, true, true};
    if (keys.alt) return {"[Y] ", false, 1, false, true};
    if (keys.ctrl) return {"[X] ", false, 1, true, false};
    return {};
}

}  // namespace

MenuSimulator::MenuSimulator(TIGMenu& menu, Registers& registers, Interpreter& interpreter,
                             Reporter& reporter, MenuClock& clock, MenuViewHost& host)
    : menu_(menu),
      registers_(registers),
      interpreter_(interpreter),
      reporter_(reporter),
      clock_(clock),
      host_(host),
      renderer_(menu, registers, reporter, clock, host) {}

void MenuSimulator::setGridSize(int pixels) {
    grid_ = std::clamp(pixels, 1, kMaxDragGrid);
}

void MenuSimulator::optionsChanged() {
    updateAnimationTimer();
}

// ---- Pages ----

const TPage* MenuSimulator::currentPage() const {
    return page() < menu_.ics.pages.size() ? &menu_.ics.pages[page()] : nullptr;
}

const TPageButton* MenuSimulator::currentTable() const {
    return page() < menu_.pageButtons.size() ? &menu_.pageButtons[page()] : nullptr;
}

const TIGbutton* MenuSimulator::buttonAt(std::size_t slot) const {
    const TPageButton* table = currentTable();
    return table != nullptr ? table->find(slot) : nullptr;
}

const TIGbutton* MenuSimulator::selectedButton() const {
    return buttonAt(selected());
}

void MenuSimulator::selectPage(std::size_t page) {
    if (page >= menu_.ics.pages.size()) return;
    // The page drawn and the page the navigation and the commands use stay
    // one and the same.
    registers_.setPsr(kPsrMenuPage, static_cast<std::uint32_t>(page));
    SetButtonStates(page);
    renderer_.clearEffectPreview();
    userTimeOut_.armed = false;
    updateAnimationTimer();
    host_.timersChanged();
    reporter_.slog("", 1);
}

void MenuSimulator::SetButtonStates(std::size_t page) {
    renderer_.setPage(page);
    menu_.buttonStates = makeButtonStates(menu_, page);
    if (page < menu_.ics.pages.size()) {
        for (const TBOG& bog : menu_.ics.pages[page].bogs) {
            for (const TIGbutton& button : bog.buttons) {
                if (button.id >= menu_.buttonStates.size()) continue;
                TButtonState& state = menu_.buttonStates[button.id];
                state.normalRunning = button.normalStart != button.normalEnd ? 1 : 0;
                state.selectedRunning = button.selectedStart != button.selectedEnd ? 1 : 0;
            }
        }
    }
    buttonSlot_ = 0;
    host_.buttonChosen(buttonSlot_);
}

// ---- Running commands ----

void MenuSimulator::runButton(std::uint16_t slot) {
    const TIGbutton* button = buttonAt(slot);
    if (button == nullptr) return;
    buttonSlot_ = slot;
    host_.buttonChosen(slot);
    // A copy: the commands may change the page and its tables.
    const TCommands commands = button->commands;
    interpreter_.setMenuHost(this);
    interpreter_.setProgramLine(interpreter_.traceMode() ? -1 : 0);
    interpreter_.ExecComm(commands, CommandContext::Button);
}

void MenuSimulator::continueTrace() {
    // The list being traced (an auto action may have replaced the button's).
    const TCommands commands = interpreter_.commands();
    interpreter_.setMenuHost(this);
    interpreter_.ExecComm(commands, CommandContext::Button);
}

// ---- The user's operations ----

void MenuSimulator::start() {
    const TPage* current = currentPage();
    if (current == nullptr) return;
    armUserTimeOut();
    updateAnimationTimer();
    host_.timersChanged();
    if (interpreter_.traceRunning() && interpreter_.traceMode()) {
        continueTrace();
        return;
    }
    interpreter_.setProgramLine(0);
    const std::uint16_t defaultSelected = current->defaultSelectedButton;
    const bool hasDefault = buttonAt(defaultSelected) != nullptr;
    // The default selected button is selected before the page is drawn, so
    // the drawing shows it selected and no earlier selection stays lit.
    if (hasDefault) registers_.setPsr(kPsrSelectedButton, defaultSelected);
    renderer_.DrawPage();
    if (!hasDefault) {
        // No button to select: the auto-action buttons the BOGs show run.
        std::vector<std::uint16_t> autoButtons;
        for (const TBOG& bog : current->bogs) {
            const std::uint16_t shown = bog.defaultValidButton;
            const bool inBog = std::any_of(bog.buttons.begin(), bog.buttons.end(),
                                           [shown](const TIGbutton& b) { return b.id == shown; });
            const TIGbutton* button = buttonAt(shown);
            if (shown != kIgNone && inBog && button != nullptr && button->autoAction == 1)
                autoButtons.push_back(shown);
        }
        for (const std::uint16_t slot : autoButtons)
            runButton(slot);
        return;
    }
    const TIGbutton* button = selectedButton();
    if (button != nullptr && button->autoAction == 1) runButton(button->id);
}

void MenuSimulator::navigate(MenuDirection direction) {
    restartUserTimeOut();
    moveSelection(direction);
}

void MenuSimulator::moveSelection(MenuDirection direction) {
    const TIGbutton* button = selectedButton();
    if (button == nullptr) return;
    const std::uint16_t slot = button->id;
    const std::uint16_t next = neighbour(*button, direction);
    // A button that is its own neighbour stays, and so does one whose
    // neighbour the page does not have.
    if (next == slot || buttonAt(next) == nullptr) return;
    renderer_.DrawButton(slot);
    registers_.setPsr(kPsrSelectedButton, next);
    const TIGbutton* moved = buttonAt(next);
    if (moved != nullptr && moved->autoAction == 1) {
        runButton(next);
    } else {
        renderer_.DrawSButton();
    }
}

void MenuSimulator::activate() {
    restartUserTimeOut();
    activateSelected();
}

void MenuSimulator::activateSelected() {
    const TIGbutton* button = selectedButton();
    if (button == nullptr) return;
    const std::uint16_t slot = button->id;
    const bool autoAction = button->autoAction == 1;
    const std::uint32_t oldPage = registers_.psr(kPsrMenuPage);
    renderer_.DrawAButton();
    runButton(slot);
    const bool unchanged =
        selected() == slot && registers_.psr(kPsrMenuPage) == oldPage && !autoAction;
    if (unchanged) renderer_.DrawSButton();
}

void MenuSimulator::onUserTimeOut() {
    const TPage* current = currentPage();
    if (current == nullptr || interpreter_.running() || renderer_.blocking()) return;
    const std::uint16_t activated = current->defaultActivatedButton;
    if (activated == kIgSelectedButton) {
        if (selectedButton() != nullptr) activateSelected();
        return;
    }
    const TIGbutton* button = buttonAt(activated);
    if (button == nullptr || activated >= menu_.buttonStates.size() ||
        !menu_.buttonStates[activated].shown)
        return;
    const bool autoAction = button->autoAction == 1;
    if (selected() < kIgNone) renderer_.DrawButton(selected());
    registers_.setPsr(kPsrSelectedButton, activated);
    renderer_.DrawAButton();
    const std::size_t pageIndex = page();
    runButton(activated);
    if (selected() == activated && pageIndex == registers_.psr(kPsrMenuPage) && !autoAction)
        renderer_.DrawSButton();
}

void MenuSimulator::onAnimationTimer() {
    if (!pageViewShown_ || renderer_.blocking()) return;
    const TPageButton* table = currentTable();
    if (table == nullptr) return;
    // Slots in order; the list is copied since drawing never changes it but
    // a later version might.
    std::vector<std::uint16_t> slots;
    for (const TIGbutton& button : table->filled())
        slots.push_back(button.id);
    for (const std::uint16_t slot : slots) {
        if (slot >= menu_.buttonStates.size()) continue;
        const TButtonState& state = menu_.buttonStates[slot];
        if (slot == selected()) {
            renderer_.stepSelectedButton();
        } else if (state.shown && state.normalRunning) {
            renderer_.DrawButt(slot);
        }
    }
}

// ---- Timers ----

void MenuSimulator::arm(Timer& timer, std::uint32_t intervalMs) {
    timer.armed = intervalMs > 0;
    timer.intervalMs = intervalMs;
    timer.dueMs = clock_.nowMs() + intervalMs;
}

void MenuSimulator::updateAnimationTimer() {
    const std::uint32_t step = renderer_.stepMs();
    const bool run = renderer_.options().animate && !menu_.ics.pages.empty() && step > 0;
    if (!run) {
        animation_.armed = false;
    } else if (!animation_.armed || animation_.intervalMs != step) {
        arm(animation_, step);
    }
}

void MenuSimulator::armUserTimeOut() {
    const TPage* current = currentPage();
    // The time-out activates the page's default activated button; a page
    // without one, or a menu without a time-out, has nothing to time out.
    if (current == nullptr || current->defaultActivatedButton == kIgNone ||
        menu_.ics.userTimeOut == 0) {
        userTimeOut_.armed = false;
        return;
    }
    arm(userTimeOut_, menu_.ics.userTimeOut / 90);
}

void MenuSimulator::restartUserTimeOut() {
    // The time-out counts the time without a user operation.
    if (!userTimeOut_.armed) return;
    userTimeOut_.dueMs = clock_.nowMs() + userTimeOut_.intervalMs;
    host_.timersChanged();
}

std::optional<std::uint32_t> MenuSimulator::animationInterval() const {
    if (!animation_.armed) return std::nullopt;
    return animation_.intervalMs;
}

std::optional<std::uint32_t> MenuSimulator::userTimeOutInterval() const {
    if (!userTimeOut_.armed) return std::nullopt;
    return userTimeOut_.intervalMs;
}

MenuSimulator::Timer* MenuSimulator::nextDueTimer() {
    Timer* next = nullptr;
    for (Timer* timer : {&animation_, &userTimeOut_}) {
        if (timer->armed && (next == nullptr || timer->dueMs < next->dueMs)) next = timer;
    }
    return next;
}

std::optional<std::int64_t> MenuSimulator::msUntilNextTimer() const {
    std::optional<std::int64_t> due;
    for (const Timer* timer : {&animation_, &userTimeOut_}) {
        if (timer->armed && (!due || timer->dueMs < *due)) due = timer->dueMs;
    }
    if (!due) return std::nullopt;
    return std::max<std::int64_t>(*due - clock_.nowMs(), 0);
}

void MenuSimulator::runDueTimers() {
    // A timer action that waits (an effect, a command's show delay) lets the
    // window's events run, and with them this function again.
    if (firingTimers_) return;
    firingTimers_ = true;
    // Each pass fires one timer and moves it on by at least its interval,
    // so the loop ends; the bound keeps a hostile clock from holding it.
    for (int pass = 0; pass < 1000; ++pass) {
        Timer* timer = nextDueTimer();
        const std::int64_t now = clock_.nowMs();
        if (timer == nullptr || timer->dueMs > now) break;
        timer->dueMs += timer->intervalMs;
        // Ticks missed while something blocked are dropped, not caught up.
        if (timer->dueMs <= now) timer->dueMs = now + timer->intervalMs;
        // The animation goes on during a command run (its show delays keep
        // the window live); the time-out waits for the run's end.
        if (renderer_.blocking() || (timer == &userTimeOut_ && interpreter_.running())) continue;
        if (timer == &animation_) {
            onAnimationTimer();
        } else {
            onUserTimeOut();
        }
    }
    firingTimers_ = false;
    host_.timersChanged();
}

void MenuSimulator::passTime(std::int64_t milliseconds) {
    const std::int64_t target = clock_.nowMs() + std::max<std::int64_t>(milliseconds, 0);
    for (;;) {
        const Timer* timer = nextDueTimer();
        if (timer == nullptr || timer->dueMs > target) break;
        const std::int64_t now = clock_.nowMs();
        if (timer->dueMs > now) clock_.waitMs(timer->dueMs - now);
        runDueTimers();
    }
    const std::int64_t now = clock_.nowMs();
    if (now < target) clock_.waitMs(target - now);
}

// ---- Pointer ----

PixelRect MenuSimulator::selectedRect(const TIGbutton& button) const {
    if (button.selectedStart == kIgNone) return {};
    return renderer_.objectRect(button, button.selectedStart);
}

void MenuSimulator::setCursor(MenuCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    host_.cursorChanged(cursor);
}

void MenuSimulator::pointerPressed(PointerButton button, std::int64_t x, std::int64_t y) {
    if (button == PointerButton::Right) {
        startDrag(x, y);
        return;
    }
    if (registers_.psr(kPsrMenuPage) >= kIgNone) return;
    const TIGbutton* current = selectedButton();
    if (current == nullptr) return;
    const PixelRect rect = selectedRect(*current);
    if (!rect.empty() && rect.containsClosed(x, y)) activate();
}

void MenuSimulator::pointerMoved(std::int64_t x, std::int64_t y, PointerModifiers modifiers) {
    if (drag_.active) {
        dragTo(x, y, modifiers);
    } else {
        hover(x, y);
    }
}

void MenuSimulator::pointerReleased(PointerButton button) {
    if (button == PointerButton::Right) endDrag();
}

void MenuSimulator::pointerLeft() {
    endDrag();
}

void MenuSimulator::hover(std::int64_t x, std::int64_t y) {
    if (registers_.psr(kPsrMenuPage) >= kIgNone) return;
    const TIGbutton* current = selectedButton();
    if (current == nullptr) return;
    setCursor(insideShrunk(selectedRect(*current), x, y, 5) ? MenuCursor::Hand : MenuCursor::Arrow);
    for (const MenuDirection direction :
         {MenuDirection::Up, MenuDirection::Down, MenuDirection::Right, MenuDirection::Left}) {
        const std::uint16_t next = neighbour(*current, direction);
        const TIGbutton* target = buttonAt(next);
        if (next == current->id || target == nullptr) continue;
        if (insideShrunk(selectedRect(*target), x, y, 5)) {
            navigate(direction);
            return;
        }
    }
}

void MenuSimulator::startDrag(std::int64_t x, std::int64_t y) {
    const TPageButton* table = currentTable();
    if (table == nullptr) return;
    for (const TIGbutton& button : table->filled()) {
        if (button.id >= menu_.buttonStates.size() || !menu_.buttonStates[button.id].shown)
            continue;
        const PixelRect rect = renderer_.objectRect(button, button.normalStart);
        if (button.normalStart == kIgNone || rect.empty() || !rect.containsClosed(x, y)) continue;
        drag_ = {true, button.id, x, y};
        setCursor(MenuCursor::Move);
        return;
    }
}

bool MenuSimulator::overlapsShownButton(const PixelRect& rect, std::uint16_t except) const {
    const TPageButton* table = currentTable();
    if (table == nullptr) return false;
    for (const TIGbutton& other : table->filled()) {
        if (other.id == except || other.id >= menu_.buttonStates.size() ||
            !menu_.buttonStates[other.id].shown || other.normalStart == kIgNone)
            continue;
        if (rect.overlaps(renderer_.objectRect(other, other.normalStart))) return true;
    }
    return false;
}

void MenuSimulator::dragTo(std::int64_t x, std::int64_t y, PointerModifiers modifiers) {
    const TIGbutton* found = buttonAt(drag_.slot);
    if (found == nullptr) {
        endDrag();
        return;
    }
    const TIGbutton button = *found;
    const bool isSelected = button.id == selected();
    const std::uint16_t object = isSelected ? button.selectedStart : button.normalStart;
    const PixelRect rect = renderer_.objectRect(button, object);
    renderer_.DelRect(rect);

    const DragMode mode = dragMode(modifiers);
    std::int64_t px = x, py = y;
    if (mode.grid) {
        px = snap(x, grid_);
        py = snap(y, grid_);
        drag_.lastX = snap(drag_.lastX, grid_);
        drag_.lastY = snap(drag_.lastY, grid_);
    }
    const std::int64_t dx = mode.horizontal ? (px - drag_.lastX) * mode.factor : 0;
    const std::int64_t dy = mode.vertical ? (py - drag_.lastY) * mode.factor : 0;
    const std::int64_t nx = std::int64_t{button.x} + dx;
    const std::int64_t ny = std::int64_t{button.y} + dy;
    bool moveX = dx != 0 && nx >= 0 && nx + rect.width() <= PageRenderer::kWidth - 1;
    bool moveY = dy != 0 && ny >= 0 && ny + rect.height() <= PageRenderer::kHeight - 1;
    const PixelRect moved =
        PixelRect::sized(moveX ? nx : button.x, moveY ? ny : button.y, rect.width(), rect.height());
    if ((moveX || moveY) && overlapsShownButton(moved, button.id)) moveX = moveY = false;
    if (moveX) drag_.lastX = px;
    if (moveY) drag_.lastY = py;
    if (moveX || moveY) {
        moveButton(button.id, static_cast<std::uint16_t>(moved.left),
                   static_cast<std::uint16_t>(moved.top));
    }
    renderer_.redrawButton(button.id,
                           isSelected ? ButtonDrawState::Selected : ButtonDrawState::Normal);
    const TIGbutton* now = buttonAt(button.id);
    reporter_.slog(std::string(mode.prefix) + "Button: " + hexText(button.id, 4) +
                       "   X: " + std::to_string(now->x) + " Y: " + std::to_string(now->y),
                   1);
}

void MenuSimulator::moveButton(std::uint16_t slot, std::uint16_t x, std::uint16_t y) {
    TPageButton& table = menu_.pageButtons[page()];
    if (TIGbutton* copy = table.find(slot)) {
        copy->x = x;
        copy->y = y;
    }
    // The BOG entry is the copy that is written.
    for (TBOG& bog : menu_.ics.pages[page()].bogs) {
        for (TIGbutton& button : bog.buttons) {
            if (button.id != slot) continue;
            button.x = x;
            button.y = y;
        }
    }
    host_.buttonMoved(slot);
}

void MenuSimulator::endDrag() {
    if (!drag_.active) return;
    drag_ = {};
    setCursor(MenuCursor::Arrow);
    host_.refreshView();
}

// ---- Buttons grid ----

ButtonPicture MenuSimulator::buttonGridClick(const TIGbutton& button, std::string_view column) {
    std::optional<std::uint16_t> object;
    if (column == "n.start") object = button.normalStart;
    if (column == "n.end") object = button.normalEnd;
    if (column == "s.start") object = button.selectedStart;
    if (column == "s.end") object = button.selectedEnd;
    if (column == "a.start") object = button.activatedStart;
    if (column == "a.end") object = button.activatedEnd;
    const TPage* current = currentPage();
    const std::uint8_t palette = current != nullptr ? current->palette : 0;
    return renderer_.ShowButtonPic(object.value_or(kIgNone), palette);
}

// ---- MenuHost ----

std::uint32_t MenuSimulator::pageCount() const {
    return static_cast<std::uint32_t>(menu_.ics.pages.size());
}

bool MenuSimulator::hasButton(std::uint32_t page, std::uint32_t button) const {
    return page < menu_.pageButtons.size() && menu_.pageButtons[page].find(button) != nullptr;
}

std::optional<std::size_t> MenuSimulator::bogOf(std::uint32_t page, std::uint32_t button) const {
    if (page >= menu_.ics.pages.size()) return std::nullopt;
    const auto& bogs = menu_.ics.pages[page].bogs;
    // The page's table takes the last button of an id; so does this.
    std::optional<std::size_t> found;
    for (std::size_t b = 0; b < bogs.size(); ++b) {
        for (const TIGbutton& candidate : bogs[b].buttons) {
            if (candidate.id == button) found = b;
        }
    }
    return found;
}

bool MenuSimulator::sameBog(std::uint32_t page, std::uint32_t a, std::uint32_t b) const {
    const auto first = bogOf(page, a);
    return first && first == bogOf(page, b);
}

void MenuSimulator::setButtonStates(std::uint32_t page) {
    SetButtonStates(page);
}

void MenuSimulator::showInBog(std::uint32_t page, std::uint32_t button) {
    if (page != this->page() || button >= menu_.buttonStates.size() || !hasButton(page, button))
        return;
    const std::uint8_t bog = menu_.buttonStates[button].bog;
    for (const TIGbutton& other : menu_.pageButtons[page].filled()) {
        if (other.id < menu_.buttonStates.size() && menu_.buttonStates[other.id].bog == bog)
            menu_.buttonStates[other.id].shown = 0;
    }
    menu_.buttonStates[button].shown = 1;
}

void MenuSimulator::hideButton(std::uint32_t page, std::uint32_t button) {
    if (page == this->page() && button < menu_.buttonStates.size())
        menu_.buttonStates[button].shown = 0;
}

void MenuSimulator::drawButton(std::uint32_t page, std::uint32_t button) {
    if (page == this->page()) renderer_.DrawButton(button);
}

void MenuSimulator::drawSelectedButton(std::uint32_t page, std::uint32_t button) {
    if (page == this->page() && button == selected()) renderer_.DrawSButton();
}

void MenuSimulator::deleteButton(std::uint32_t page, std::uint32_t button) {
    if (page == this->page()) renderer_.DelButton(button);
}

void MenuSimulator::playOutEffects(std::uint32_t page) {
    if (!renderer_.options().showOutEffects || page >= menu_.ics.pages.size()) return;
    const Teffectseq sequence = menu_.ics.pages[page].outEffects;
    if (sequence.effects.empty()) return;
    renderer_.DelPage();
    renderer_.DrawEffects(sequence);
}

void MenuSimulator::showPage(std::uint32_t page) {
    if (page >= menu_.ics.pages.size()) return;
    // The button states were rebuilt when the page changed; a command that
    // names the current page keeps them (and the shown button it chose).
    if (page != this->page() || menu_.buttonStates.size() != menu_.pageButtons[page].size())
        SetButtonStates(page);
    renderer_.clearEffectPreview();
    updateAnimationTimer();
    if (userTimeOut_.armed) armUserTimeOut();
    host_.timersChanged();
    host_.pageShown(page);
    renderer_.DrawPage();
}

std::optional<TCommands> MenuSimulator::takeAutoAction(std::uint32_t page, std::uint32_t button) {
    if (page != this->page()) return std::nullopt;
    const TIGbutton* target = buttonAt(button);
    if (target == nullptr || target->autoAction != 1) return std::nullopt;
    buttonSlot_ = target->id;
    host_.buttonChosen(buttonSlot_);
    return target->commands;
}

}  // namespace lumora
