#include "playback/interpreter.h"

#include <limits>

#include "core/text.h"

namespace lumora {
namespace {

constexpr std::uint32_t kImmediateFlags = 0x00C00000;
// Where an ending command sends the run: past any list, and far enough past
// the program line that the views know the run ended early.
constexpr std::int64_t kEndedLine = std::numeric_limits<std::int64_t>::max();

enum class Op {
    None,
    Break,
    GoTo,
    JumpObject,
    JumpTitle,
    CallObject,
    CallTitle,
    Resume,
    PlayPL,
    PlayPLatPI,
    PlayPLatMK,
    TerminatePL,
    LinkPI,
    LinkMK,
    Compare,
    Set,
    SetStream,
    SetStreamSS,
    SetButtonPage,
    EnableButton,
    DisableButton,
    SetOutputMode,
    PopUpMenuOff,
    StillOn,
    StillOff,
};

// The words with the given bits below the immediate flags, in the flag
// combinations the command allows.
bool anyFlags(std::uint32_t word, std::uint32_t base) {
    return (word & ~kImmediateFlags) == base;
}
bool destinationFlagOnly(std::uint32_t word, std::uint32_t base) {
    return word == base || word == (base | 0x00800000);
}

bool isSetStreamWord(std::uint32_t word) {
    return anyFlags(word, 0x51000001) || anyFlags(word, 0x5100000B);
}
bool isSetButtonPageWord(std::uint32_t word) {
    return anyFlags(word, 0x51000003);
}

// The recognised words that take no operand or exactly one flag layout.
Op fixedWord(std::uint32_t word) {
    switch (word) {
        case 0x00020000:
            return Op::Break;
        case 0x01040000:
            return Op::Resume;
        case 0x02030000:
            return Op::TerminatePL;
        case 0x11000007:
            return Op::PopUpMenuOff;
        case 0x11000008:
            return Op::StillOn;
        case 0x11000009:
            return Op::StillOff;
        default:
            return Op::None;
    }
}

// Words whose destination may be immediate (bit 23) but whose source is not
// in use.
Op oneOperandWord(std::uint32_t word) {
    const struct {
        std::uint32_t base;
        Op op;
    } table[] = {
        {0x20010000, Op::GoTo},          {0x21000000, Op::JumpObject},
        {0x21010000, Op::JumpTitle},     {0x21020000, Op::CallObject},
        {0x21030000, Op::CallTitle},     {0x22000000, Op::PlayPL},
        {0x22040000, Op::LinkPI},        {0x22050000, Op::LinkMK},
        {0x31000004, Op::EnableButton},  {0x31000005, Op::DisableButton},
        {0x3100000A, Op::SetOutputMode},
    };
    for (const auto& entry : table) {
        if (destinationFlagOnly(word, entry.base)) return entry.op;
    }
    return Op::None;
}

// Words with two operands, either of which may be immediate.
Op twoOperandWord(std::uint32_t word) {
    // The whole range counts, so words with compare option 0 (repeat the
    // last result) or stray low bits still compare by bits 10..8.
    if (word >= 0x48000100 && word <= 0x48C00700) return Op::Compare;
    if ((word & ~kImmediateFlags & ~0xFu) == 0x50000000 && (word & 0xF) != 0) return Op::Set;
    if (anyFlags(word, 0x42010000)) return Op::PlayPLatPI;
    if (anyFlags(word, 0x42020000)) return Op::PlayPLatMK;
    if (anyFlags(word, 0x51000001)) return Op::SetStream;
    if (anyFlags(word, 0x5100000B)) return Op::SetStreamSS;
    if (anyFlags(word, 0x51000003)) return Op::SetButtonPage;
    return Op::None;
}

// The command an opcode word stands for.  Each command is recognised by its
// own words only (compare and set by their ranges); every other word, NOP,
// SetNVTimer and SetSecondaryStream among them, does nothing.
Op classify(std::uint32_t word) {
    if (const Op op = fixedWord(word); op != Op::None) return op;
    if (const Op op = oneOperandWord(word); op != Op::None) return op;
    return twoOperandWord(word);
}

std::string decimal(std::uint32_t value) {
    return std::to_string(value);
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace

std::uint32_t Rnd::draw(std::uint32_t bound) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((std::uint64_t{seed_} * bound) >> 32);
}

struct Interpreter::RunGuard {
    explicit RunGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunGuard() { flag_ = false; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
    bool& flag_;
};

void Interpreter::setProgramLine(int line) {
    programLine_ = line;
}

void Interpreter::moveProgramLine(std::int64_t line) {
    programLine_ = static_cast<int>(line);
    host_.programLineChanged(programLine_);
}

RunEnd Interpreter::start(const TCommands& commands, CommandContext context) {
    if (running_) return RunEnd::Busy;
    if (!(traceRunning_ && traceMode_)) moveProgramLine(traceMode_ ? -1 : 0);
    return ExecComm(commands, context);
}

bool Interpreter::cancelTrace() {
    if (running_) {
        stopRequested_ = true;
        return true;
    }
    // While a progress operation runs, its Cancel belongs to it, even when a
    // trace waits for its next step.
    if (!traceRunning_ || reporter_.inProgress()) return false;
    // Ends the trace whether or not trace mode is still checked ("Start"
    // would restart the program from line 0 once it is not).
    moveProgramLine(kTraceEnd);
    const TCommands commands = commands_;
    ExecComm(commands, context_);
    return true;
}

RunEnd Interpreter::ExecComm(const TCommands& commands, CommandContext context) {
    if (running_) return RunEnd::Busy;
    std::int64_t line = programLine_;
    RunEnd end = RunEnd::Finished;
    {
        RunGuard guard(running_);
        const bool continuingTrace = traceRunning_ && traceMode_;
        commands_ = commands;
        context_ = context;
        stopRequested_ = false;
        // A trace is one run taken a step at a time: a compare with option 0
        // sees the result of the previous step.
        if (!continuingTrace) lastCompare_ = false;
        deferredButton_ = kNoButton;
        host_.runStarted();
        end = runLoop(line);
        selectDeferredButton();
    }
    finishRun(line, end);
    return end;
}

RunEnd Interpreter::runLoop(std::int64_t& line) {
    std::size_t steps = 0;
    while (line >= 0 && line < commandCount()) {
        if (stopAsked()) return stopped(line, RunEnd::Cancelled, steps);
        if (stepLimit_ != 0 && steps == stepLimit_) return stopped(line, RunEnd::StepLimit, steps);
        ++steps;
        host_.commandExecuting(static_cast<std::size_t>(line),
                               commands_[static_cast<std::size_t>(line)]);
        const Step step = execute(line);
        line = step.next;
        if (line < commandCount()) moveProgramLine(line);
        if (step.ends) return RunEnd::Ended;
        if (line >= commandCount()) return RunEnd::Finished;
        // Cancel during the show delay of a trace step ends the trace.
        if (stopRequested_) return stopped(line, RunEnd::Cancelled, steps);
        if (traceMode_) return RunEnd::Stepped;
    }
    return line < 0 ? RunEnd::Stepped : RunEnd::Finished;
}

bool Interpreter::stopAsked() {
    // Lets pending events run; Cancel reaches stopRequested_ through
    // cancelTrace().  The reporter's own request counts only inside a
    // progress operation: outside one it may be left over from an
    // operation that was cancelled earlier.
    const bool requested = reporter_.pollCancel();
    return stopRequested_ || (requested && reporter_.inProgress());
}

RunEnd Interpreter::stopped(std::int64_t line, RunEnd end, std::size_t steps) {
    std::string message = "[b]Program stopped[/b] at line " + zeroPad(line, 4);
    if (end == RunEnd::StepLimit) {
        message += " after " + std::to_string(steps) + " commands (step limit).";
    } else {
        message += " (Cancel).";
    }
    reporter_.log(message);
    return end;
}

void Interpreter::selectDeferredButton() {
    if (deferredButton_ == kNoButton || registers_.psr(kPsrSelectedButton) != kNoButton) return;
    registers_.setPsr(kPsrSelectedButton, deferredButton_);
    if (menu_ != nullptr) menu_->drawSelectedButton(registers_.psr(kPsrMenuPage), deferredButton_);
    deferredButton_ = kNoButton;
}

void Interpreter::finishRun(std::int64_t line, RunEnd end) {
    if (line < 0) {
        line = 0;
        moveProgramLine(0);
    }
    const bool stoppedRun = end == RunEnd::Cancelled || end == RunEnd::StepLimit;
    traceRunning_ = !stoppedRun && line < commandCount();
    RunView view;
    if (traceRunning_ && traceMode_) {
        view = traceView(static_cast<std::size_t>(line));
        reporter_.slog("Running trace...", 0);
        reporter_.slog(view.lineText, 1);
    } else {
        reporter_.slog("Ready. ", 0);
        reporter_.slog("", 1);
    }
    view.traceRunning = traceRunning_;
    const bool endedEarly = stoppedRun || programLine_ + std::int64_t{1} < line;
    if (endedEarly && programLine_ >= 0 && programLine_ < commandCount()) {
        view.selectRow = static_cast<std::size_t>(programLine_);
    }
    view_ = view;
    host_.runEnded(view_);
}

RunView Interpreter::traceView(std::size_t line) const {
    RunView view;
    view.traceShown = true;
    view.selectRow = line;
    const TCommand& command = commands_[line];
    const CommandRow row = comm2str(line, command, context_);
    view.lineText = "Line " + zeroPad(static_cast<std::int64_t>(line), 4) + " : " + row.opcode +
                    " " + row.destination + " " + row.source + " : " + row.commandLine;
    // The register panel follows the registers the command names.  A GPR
    // is taken from the operand that names it, so "Move PSR16, GPR7" shows
    // GPR 7 rather than bits of the PSR operand.
    if (contains(row.commandLine, "GPR")) {
        const bool inDestination = contains(destinationText(command), "GPR");
        view.gprNumber = (inDestination ? command.destination : command.source) & kGprNumberMask;
    }
    if (contains(row.commandLine, "PSR")) {
        const bool inSource = contains(row.commandLine, ", PSR");
        view.psrNumber = (inSource ? command.source : command.destination) & kPsrNumberMask;
    }
    return view;
}

std::uint32_t Interpreter::operandValue(std::uint32_t opcode, std::uint32_t word,
                                        bool immediate) const {
    if (immediate) return word;
    // Packed forms: the register operand names GPRs whose low bits fill the
    // number fields, the flag bits stay as written.
    if (isSetStreamWord(opcode)) {
        return (word & 0x8000C000u) | (registers_.gpr((word >> 16) & kGprNumberMask) & 0xFF) << 16 |
               (registers_.gpr(word & kGprNumberMask) & 0xFFF);
    }
    if (isSetButtonPageWord(opcode)) {
        return (word & 0x80000000u) | (registers_.gpr(word & kGprNumberMask) & 0xFFFF);
    }
    return registers_.RegRead(word);
}

void Interpreter::writeOperand(std::uint32_t word, bool immediate, std::uint32_t value) {
    if (!immediate) registers_.RegWrite(word, value);
}

Interpreter::Step Interpreter::execute(std::int64_t line) {
    // A copy: an auto action replaces the list while the command runs.
    const TCommand command = commands_[static_cast<std::size_t>(line)];
    const std::uint32_t opcode = command.opcode;
    const std::uint32_t a = operandValue(opcode, command.destination, destinationImmediate(opcode));
    const std::uint32_t b = operandValue(opcode, command.source, sourceImmediate(opcode));
    const Step end{kEndedLine, true};
    switch (classify(opcode)) {
        case Op::None:
            break;
        case Op::Break:
            return end;
        case Op::GoTo:
            return {std::int64_t{a}, false};
        case Op::JumpObject:
            show("Jump Object " + decimal(a));
            return end;
        case Op::JumpTitle:
            registers_.setPsr(kPsrTitle, a);
            show("Jump Title " + decimal(a));
            return end;
        case Op::CallObject:
            show("Call Object " + decimal(a));
            break;
        case Op::CallTitle:
            registers_.setPsr(kPsrTitle, a);
            show("Call Title " + decimal(a));
            break;
        case Op::Resume:
            show("Resume");
            break;
        case Op::PlayPL:
            show("Play PL " + decimal(a));
            registers_.setPsr(kPsrPlayList, a);
            break;
        case Op::PlayPLatPI:
            playAt(kPsrPlayItem, a, b, "Play PLatPI ");
            break;
        case Op::PlayPLatMK:
            playAt(kPsrChapter, a, b, "Play PLatMK ");
            break;
        case Op::TerminatePL:
            show("Terminate PL");
            break;
        case Op::LinkPI:
            show("Link PI " + decimal(a));
            registers_.setPsr(kPsrPlayItem, a);
            break;
        case Op::LinkMK:
            show("Link MK " + decimal(a));
            registers_.setPsr(kPsrChapter, a + 1);  // marks count from 0, chapters from 1
            break;
        case Op::Compare:
            return compare(line, command, a, b);
        case Op::Set:
            set(command, a, b);
            break;
        case Op::SetStream:
            setStream(a, b);
            break;
        case Op::SetStreamSS:
            // Only in stereoscopic output mode.
            if (registers_.psr(kPsrStereoscopicStatus) == 1) setStream(a, b);
            break;
        case Op::SetButtonPage:
            return setButtonPage(a, b);
        case Op::EnableButton:
            enableButton(a);
            break;
        case Op::DisableButton:
            disableButton(a);
            break;
        case Op::SetOutputMode:
            registers_.setPsr(kPsrStereoscopicStatus, a & 1);
            break;
        case Op::PopUpMenuOff:
            show("Pop up Menu Off");
            break;
        case Op::StillOn:
            show("Still On");
            break;
        case Op::StillOff:
            show("Still Off");
            break;
    }
    return {line + 1, false};
}

void Interpreter::playAt(std::uint32_t psr, std::uint32_t a, std::uint32_t b,
                         std::string_view name) {
    registers_.setPsr(kPsrPlayList, a);
    registers_.setPsr(psr, b);
    show(std::string(name) + decimal(a) + ", " + decimal(b));
}

Interpreter::Step Interpreter::compare(std::int64_t line, const TCommand& command, std::uint32_t a,
                                       std::uint32_t b) {
    bool result = lastCompare_;
    switch ((command.opcode >> 8) & 7) {
        case 1:
            result = (a & b) != 0;
            break;
        case 2:
            result = a == b;
            break;
        case 3:
            result = a != b;
            break;
        case 4:
            result = a >= b;
            break;
        case 5:
            result = a > b;
            break;
        case 6:
            result = a <= b;
            break;
        case 7:
            result = a < b;
            break;
        default:
            break;  // 0: the previous result of this run
    }
    lastCompare_ = result;
    // A false comparison skips the next command, whatever it is.
    return {line + (result ? 1 : 2), false};
}

void Interpreter::set(const TCommand& command, std::uint32_t a, std::uint32_t b) {
    const std::uint32_t shift = b & 31;
    std::uint32_t result = a;
    switch (command.opcode & 0xF) {
        case 1:
            result = b;
            break;
        case 2:
            writeOperand(command.source, sourceImmediate(command.opcode), a);
            result = b;
            break;
        case 3:
            result = a + b;
            break;
        case 4:
            result = a - b;
            break;
        case 5:
            result = a * b;
            break;
        case 6:
            result = b == 0 ? 0xFFFFFFFFu : a / b;
            break;
        case 7:
            result = b == 0 ? 0xFFFFFFFFu : a % b;
            break;
        case 8:
            result = rnd_.draw(b);
            break;
        case 9:
            result = a & b;
            break;
        case 10:
            result = a | b;
            break;
        case 11:
            result = a ^ b;
            break;
        case 12:
            result = a | (1u << shift);
            break;
        case 13:
            result = a & ~(1u << shift);
            break;
        case 14:
            result = a << shift;
            break;
        case 15:
            result = a >> shift;
            break;
        default:
            return;
    }
    writeOperand(command.destination, destinationImmediate(command.opcode), result);
}

void Interpreter::setStream(std::uint32_t a, std::uint32_t b) {
    if (a & 0x80000000u) registers_.setPsr(kPsrAudioStream, (a >> 16) & 0xFF);
    if (a & 0x8000u) {
        const std::uint32_t pg = registers_.psr(kPsrPgStream);
        registers_.setPsr(kPsrPgStream, (pg & 0x0FFF0000u) | (a & 0xFFF) | (a & 0x4000u) << 17);
    }
    if (b & 0x80000000u) registers_.setPsr(kPsrIgStream, (b >> 16) & 0xFF);
    if (b & 0x8000u) registers_.setPsr(kPsrAngle, b & 0xFF);
}

void Interpreter::enableButton(std::uint32_t button) {
    if (menu_ == nullptr) return;
    MenuHost& menu = *menu_;
    const std::uint32_t page = registers_.psr(kPsrMenuPage);
    if (!menu.hasButton(page, button)) return;
    // Enabling a button of the selected button's BOG hides the selected one;
    // the selection comes back on the enabled button when the run is over.
    const std::uint32_t selected = registers_.psr(kPsrSelectedButton);
    if (menu.hasButton(page, selected) && menu.sameBog(page, selected, button)) {
        registers_.setPsr(kPsrSelectedButton, kNoButton);
        deferredButton_ = button;
    }
    menu.showInBog(page, button);
    menu.drawButton(page, button);
}

void Interpreter::disableButton(std::uint32_t button) {
    if (menu_ == nullptr) return;
    const std::uint32_t page = registers_.psr(kPsrMenuPage);
    if (!menu_->hasButton(page, button)) return;
    menu_->hideButton(page, button);
    menu_->deleteButton(page, button);
}

Interpreter::Step Interpreter::setButtonPage(std::uint32_t a, std::uint32_t b) {
    const Step end{kEndedLine, true};
    if (menu_ == nullptr) {
        show("SetButtonPage ");
        return end;
    }
    MenuHost& menu = *menu_;
    const std::uint32_t oldButton = registers_.psr(kPsrSelectedButton);
    const std::uint32_t oldPage = registers_.psr(kPsrMenuPage);
    const bool buttonFlag = (a & 0x80000000u) != 0;
    const bool pageFlag = (b & 0x80000000u) != 0;
    const bool outEffectsOff = (b & 0x40000000u) != 0;

    if (pageFlag && (b & 0xFF) < menu.pageCount()) registers_.setPsr(kPsrMenuPage, b & 0xFF);
    const std::uint32_t page = registers_.psr(kPsrMenuPage);
    if (buttonFlag && menu.hasButton(page, a & 0xFFFF)) {
        registers_.setPsr(kPsrSelectedButton, a & 0xFFFF);
    }
    const std::uint32_t button = registers_.psr(kPsrSelectedButton);
    const bool isButton = menu.hasButton(page, button);

    if (page != oldPage) menu.setButtonStates(page);
    if (isButton) menu.showInBog(page, button);
    if (pageFlag) {
        if (!outEffectsOff && oldPage < menu.pageCount()) menu.playOutEffects(oldPage);
        menu.showPage(page);
    } else if (buttonFlag) {
        if (isButton && menu.hasButton(page, oldButton) && !menu.sameBog(page, oldButton, button)) {
            menu.drawButton(page, oldButton);
        }
        if (isButton) menu.drawSelectedButton(page, button);
    }

    std::optional<TCommands> autoAction;
    if (isButton) autoAction = menu.takeAutoAction(page, button);
    if (!autoAction) return end;
    commands_ = std::move(*autoAction);
    return {0, false};
}

}  // namespace lumora
