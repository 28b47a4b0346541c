// The HDMV command interpreter: runs the navigation commands of a movie object
// or a menu button against the register file.  Branches, comparisons,
// arithmetic, stream selection and the menu commands are performed; commands
// that would start playback or leave the object cannot be performed by an
// editor, so their text is shown and, where the command says so, the run
// ends.  A run goes to the end in one go, or one command a time in trace mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/report.h"
#include "navigation/command.h"
#include "navigation/command_codec.h"
#include "playback/registers.h"

namespace lumora {

// "None" in PSR10 and in the deferred selected button.
inline constexpr std::uint32_t kNoButton = 0xFFFF;

// The Rnd generator.  One seed for the whole program, starting at 0 and never
// re-seeded, so a program run after start-up draws the same numbers on every
// player of this program: each draw sets seed := seed * 134775813 + 1 and
// returns the upper 32 bits of seed * bound.  The first draw is always 0.
class Rnd {
public:
    // 0 .. bound - 1; 0 when bound is 0.
    std::uint32_t draw(std::uint32_t bound);
    std::uint32_t seed() const { return seed_; }

private:
    std::uint32_t seed_ = 0;
};

// The menu the button commands act on while the Menu tab is shown; the menu
// code implements it.  Pages and buttons are those of the current menu;
// `button` is always one the page's button table holds (hasButton).
class MenuHost {
public:
    virtual ~MenuHost() = default;

    virtual std::uint32_t pageCount() const = 0;
    // Whether `button` is in the button table of `page`.
    virtual bool hasButton(std::uint32_t page, std::uint32_t button) const = 0;
    // Whether two buttons of the page belong to one button overlap group.
    virtual bool sameBog(std::uint32_t page, std::uint32_t a, std::uint32_t b) const = 0;
    // `SetButtonStates`: the button states of a page that has just become
    // the current one.
    virtual void setButtonStates(std::uint32_t page) = 0;
    // `button` becomes the shown button of its BOG, every other one of the
    // BOG is marked not shown.
    virtual void showInBog(std::uint32_t page, std::uint32_t button) = 0;
    // Marks `button` not shown.
    virtual void hideButton(std::uint32_t page, std::uint32_t button) = 0;
    // `DrawButton` (normal state), `DrawSButton` (selected), `DelButton`
    // (erases the button's area).
    virtual void drawButton(std::uint32_t page, std::uint32_t button) = 0;
    virtual void drawSelectedButton(std::uint32_t page, std::uint32_t button) = 0;
    virtual void deleteButton(std::uint32_t page, std::uint32_t button) = 0;
    // Leaving `page` for another: when "Show OutEffects() effects" is checked
    // and the page has out-effects, resets the page image and plays them.
    virtual void playOutEffects(std::uint32_t page) = 0;
    // Selects the page in the page selector, runs the page-change handling
    // and renders it.
    virtual void showPage(std::uint32_t page) = 0;
    // A button with its auto action flag set shows in the "Button" selector
    // and hands over its commands, which the run continues with at line 0;
    // nothing for any other button.
    virtual std::optional<TCommands> takeAutoAction(std::uint32_t page, std::uint32_t button) = 0;
};

// How the views stand once a run (or one trace step) is over.
struct RunView {
    // A trace goes on: "Cancel" stays enabled.
    bool traceRunning = false;
    // ... and trace mode is checked: "Running trace...", "Start" in bold.
    bool traceShown = false;
    // The command row to select and scroll into view: the next line of a
    // trace, or the line a run ended early or was stopped at.
    std::optional<std::size_t> selectRow;
    // Status panel 1 during a trace: "Line 0003 : <opcode> <dest> <source> :
    // <command text>"; empty otherwise.
    std::string lineText;
    // The register panel shows these registers (the ones the next command
    // of a trace names).
    std::optional<std::uint32_t> psrNumber;
    std::optional<std::uint32_t> gprNumber;
};

enum class RunEnd {
    Finished,   // the last line was passed (or the program line was outside the list)
    Ended,      // an ending command: Break, Jump ..., SetButtonPage without auto action
    Stepped,    // trace mode: one command was run, or a trace was prepared
    Cancelled,  // Cancel (or the cancel request of a progress operation)
    StepLimit,  // the run reached its step limit
    Busy,       // a run is in progress (an event handler called back in); nothing done
};

// What the interpreter needs from the window around it.
class InterpreterHost {
public:
    virtual ~InterpreterHost() = default;
    // "Show": status panel 1 shows the text, then the run pauses for the
    // "Activate command show delay" while the interface stays live (the
    // GUI calls Reporter::slogw(text, 1); the command line prints the text).
    virtual void showText(std::string_view text) = 0;
    // A run begins; Cancel stops it from now on.
    virtual void runStarted() {}
    // The program line moved during a run (the "Command line" field).
    virtual void programLineChanged(int /*line*/) {}
    // The command at `line` of the list being run is about to be performed
    // (a scripted run lists every command it performs).
    virtual void commandExecuting(std::size_t /*line*/, const TCommand& /*command*/) {}
    // A run or trace step is over; the views follow `view`.
    virtual void runEnded(const RunView& /*view*/) {}
};

class Interpreter {
public:
    // A run that has not ended after this many commands is stopped: a
    // GoTo back without an exit would otherwise never return.
    static constexpr std::size_t kDefaultStepLimit = 100000;
    // The program line Cancel sets to end a trace.
    static constexpr int kTraceEnd = 0xFFFF;

    // Nothing is owned; all three outlive the interpreter.  The owner wires
    // Cancel with reporter.setTraceStopper([&] { return interpreter.cancelTrace(); }).
    Interpreter(Registers& registers, Reporter& reporter, InterpreterHost& host)
        : registers_(registers), reporter_(reporter), host_(host) {}

    // The menu while the Menu tab is shown, null otherwise (then EnableButton
    // and DisableButton do nothing and SetButtonPage ends the run).
    void setMenuHost(MenuHost* menu) { menu_ = menu; }
    // "Trace (execute commands step by step)".
    void setTraceMode(bool on) { traceMode_ = on; }
    bool traceMode() const { return traceMode_; }
    // Commands a run may take before it is stopped; 0 = no limit.
    void setStepLimit(std::size_t commands) { stepLimit_ = commands; }
    std::size_t stepLimit() const { return stepLimit_; }

    // The index of the next command; -1 = a trace was just asked for.
    int programLine() const { return programLine_; }
    // The "Command line" field was left with a typed value.
    void setProgramLine(int line);
    bool traceRunning() const { return traceRunning_; }
    bool running() const { return running_; }
    // The private copy of the list being run (an auto action replaces it).
    const TCommands& commands() const { return commands_; }
    const RunView& view() const { return view_; }
    Rnd& random() { return rnd_; }

    // "Start": unless a trace goes on with trace mode checked, the program
    // line becomes -1 (trace mode: prepare a trace) or 0; then ExecComm.
    RunEnd start(const TCommands& commands, CommandContext context);
    // Runs `commands` from the program line: to the end, or one command in
    // trace mode.  `context` decides how the trace shows the command text.
    // A trace row click is setProgramLine(row) and ExecComm.
    RunEnd ExecComm(const TCommands& commands, CommandContext context);
    // The context of the list being run (which words are forbidden).
    CommandContext context() const { return context_; }
    // Cancel: a run in progress stops before its next command; a trace
    // that goes on ends (program line kTraceEnd).  False when there is
    // nothing of the interpreter's to stop, so Cancel goes on to a
    // progress operation.
    bool cancelTrace();

private:
    struct Step {
        std::int64_t next = 0;
        bool ends = false;
    };
    struct RunGuard;

    std::int64_t commandCount() const { return static_cast<std::int64_t>(commands_.size()); }
    RunEnd runLoop(std::int64_t& line);
    bool stopAsked();
    RunEnd stopped(std::int64_t line, RunEnd end, std::size_t steps);
    void selectDeferredButton();
    void moveProgramLine(std::int64_t line);
    void finishRun(std::int64_t line, RunEnd end);
    RunView traceView(std::size_t line) const;

    Step execute(std::int64_t line);
    void playAt(std::uint32_t psr, std::uint32_t a, std::uint32_t b, std::string_view name);
    std::uint32_t operandValue(std::uint32_t opcode, std::uint32_t word, bool immediate) const;
    void writeOperand(std::uint32_t word, bool immediate, std::uint32_t value);
    Step compare(std::int64_t line, const TCommand& command, std::uint32_t a, std::uint32_t b);
    void set(const TCommand& command, std::uint32_t a, std::uint32_t b);
    void setStream(std::uint32_t a, std::uint32_t b);
    void enableButton(std::uint32_t button);
    void disableButton(std::uint32_t button);
    Step setButtonPage(std::uint32_t a, std::uint32_t b);
    void show(const std::string& text) { host_.showText(text); }

    Registers& registers_;
    Reporter& reporter_;
    InterpreterHost& host_;
    MenuHost* menu_ = nullptr;
    bool traceMode_ = false;
    std::size_t stepLimit_ = kDefaultStepLimit;

    int programLine_ = 0;
    bool traceRunning_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
    TCommands commands_;
    CommandContext context_ = CommandContext::MovieObject;
    bool lastCompare_ = false;
    std::uint32_t deferredButton_ = kNoButton;
    RunView view_;
    Rnd rnd_;
};

}  // namespace lumora
