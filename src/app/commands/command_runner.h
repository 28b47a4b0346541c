// The command emulator behind the execute and register panels: the window's
// one interpreter on the window's register file, and the interpreter's host,
// which turns the course of a run into the panels' state (Cancel, a bold
// "Start", the program line, the traced row, the registers shown).
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "app/options/options_tab.h"
#include "playback/interpreter.h"
#include "playback/registers.h"

class QPushButton;

namespace lumora::app {

class ExecutePanel;
class RegisterPanel;

// The options' player settings as the register file takes them.
lumora::PlayerSettings corePlayerSettings(const PlayerSettings& settings);

class CommandRunner : public QObject, public InterpreterHost {
    Q_OBJECT
public:
    // Selects command line `line` of the grid the run belongs to and scrolls
    // it into view.
    using RowSelector = std::function<void(std::size_t line)>;

    CommandRunner(Registers& registers, Reporter& reporter, ExecutePanel& execute,
                  RegisterPanel& registerPanel, QPushButton& cancel, QObject* parent = nullptr);

    Registers& registers() { return registers_; }
    Interpreter& interpreter() { return interpreter_; }

    // "Re&set Regs" and start-up: the player's start values; the panel
    // shows them.
    void resetRegisters(const PlayerSettings& settings);
    void logPsrs();
    void logGprs();

    // "Start": runs `commands` (or the next trace step) from the grid that
    // `rows` selects in.
    void start(const TCommands& commands, CommandContext context, RowSelector rows);
    // A click on command row `line` in trace mode: one step from there.
    void runRow(int line, const TCommands& commands, CommandContext context, RowSelector rows);
    // The "Command line" field was left with a typed line.
    void setProgramLine(int line);
    // Where the traced row of a run started elsewhere (a menu button's
    // commands, run by the menu simulator) is selected.
    void setRowSelector(RowSelector rows) { rows_ = std::move(rows); }
    // While on (the Menu tab is shown), every command a run performs outside
    // trace mode is logged with the registers it changed: pressing a menu's
    // buttons leaves its course in the log.
    void setCommandLog(bool on) { commandLog_ = on; }

    // InterpreterHost
    void showText(std::string_view text) override;
    void runStarted() override;
    void programLineChanged(int line) override;
    void commandExecuting(std::size_t line, const TCommand& command) override;
    void runEnded(const RunView& view) override;

signals:
    // A command's text was shown (status panel 1, then the show delay).
    void textShown(const QString& text);

private:
    Reporter& reporter_;
    ExecutePanel& execute_;
    QPushButton& cancel_;
    RegisterPanel& registerPanel_;
    RowSelector rows_;
    // The registers' changes since the last logged command.
    void logRegisterChanges();

    Registers& registers_;
    Interpreter interpreter_;
    bool commandLog_ = false;
    bool watching_ = false;
    std::array<std::uint32_t, kPsrCount> psrsBefore_{};
    std::array<std::uint32_t, kGprCount> gprsBefore_{};
};

}  // namespace lumora::app
