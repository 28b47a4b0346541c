#include "app/commands/command_runner.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/commands/execute_panel.h"
#include "app/commands/register_panel.h"
#include "core/text.h"

namespace lumora::app {

lumora::PlayerSettings corePlayerSettings(const PlayerSettings& settings) {
    lumora::PlayerSettings out;
    out.region = settings.region;
    out.countryCode = settings.countryCode;
    out.audioLanguage = settings.audioLanguage;
    out.subtitleLanguage = settings.subtitleLanguage;
    out.menuLanguage = settings.menuLanguage;
    out.audioCapability = settings.audioCapability;
    out.displayCapability = settings.displayCapability;
    out.capability3d = settings.capability3d;
    out.stereoscopicOutput = settings.stereoscopicOutput;
    out.videoCapability = settings.videoCapability;
    out.textSubtitleCapability = settings.textSubtitleCapability;
    out.profileCode = settings.profileCode;
    out.version = settings.version;
    out.realValues = settings.realValues;
    return out;
}

CommandRunner::CommandRunner(Registers& registers, Reporter& reporter, ExecutePanel& execute,
                             RegisterPanel& registerPanel, QPushButton& cancel, QObject* parent)
    : QObject(parent),
      reporter_(reporter),
      execute_(execute),
      cancel_(cancel),
      registerPanel_(registerPanel),
      registers_(registers),
      interpreter_(registers, reporter, *this) {
    interpreter_.setTraceMode(execute_.cbTrace->isChecked());
    connect(execute_.cbTrace, &QCheckBox::toggled, this,
            [this](bool on) { interpreter_.setTraceMode(on); });
    // Cancel ends a trace (or stops a run) before it reaches a progress
    // operation.
    reporter_.setTraceStopper([this] { return interpreter_.cancelTrace(); });
}

void CommandRunner::resetRegisters(const PlayerSettings& settings) {
    registers_.ResetRegs(corePlayerSettings(settings));
    registerPanel_.refresh();
}

void CommandRunner::logPsrs() {
    lumora::logPsrs(registers_, reporter_);
}

void CommandRunner::logGprs() {
    lumora::logGprs(registers_, reporter_);
}

void CommandRunner::start(const TCommands& commands, CommandContext context, RowSelector rows) {
    if (interpreter_.running()) return;
    rows_ = std::move(rows);
    interpreter_.start(commands, context);
}

void CommandRunner::runRow(int line, const TCommands& commands, CommandContext context,
                           RowSelector rows) {
    if (interpreter_.running() || !interpreter_.traceMode()) return;
    rows_ = std::move(rows);
    interpreter_.setProgramLine(line);
    interpreter_.ExecComm(commands, context);
}

void CommandRunner::setProgramLine(int line) {
    interpreter_.setProgramLine(line);
}

void CommandRunner::showText(std::string_view text) {
    emit textShown(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    reporter_.slogw(text, 1);
}

void CommandRunner::runStarted() {
    cancel_.setEnabled(true);
}

void CommandRunner::programLineChanged(int line) {
    execute_.showProgramLine(line);
}

void CommandRunner::commandExecuting(std::size_t line, const TCommand& command) {
    logRegisterChanges();
    if (!commandLog_ || interpreter_.traceMode()) return;
    const CommandRow row = comm2str(line, command, interpreter_.context());
    reporter_.log("  " + row.number + "  " + row.commandLine);
    psrsBefore_ = registers_.psrs();
    gprsBefore_ = registers_.gprs();
    watching_ = true;
}

void CommandRunner::logRegisterChanges() {
    if (!watching_) return;
    watching_ = false;
    const auto changes = [this](const auto& before, const auto& now, const char* kind, int digits) {
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (before[i] == now[i]) continue;
            reporter_.log("      " + std::string(kind) +
                          zeroPad(static_cast<std::int64_t>(i), digits) + ": " +
                          hexText(before[i], 8) + " -> " + hexText(now[i], 8));
        }
    };
    changes(psrsBefore_, registers_.psrs(), "PSR", 3);
    changes(gprsBefore_, registers_.gprs(), "GPR", 4);
}

void CommandRunner::runEnded(const RunView& view) {
    logRegisterChanges();
    // A progress operation keeps its own Cancel.
    cancel_.setEnabled(view.traceRunning || reporter_.inProgress());
    execute_.setTraceShown(view.traceShown);
    if (view.selectRow && rows_) rows_(*view.selectRow);
    if (view.psrNumber) registerPanel_.showPsr(*view.psrNumber);
    if (view.gprNumber) registerPanel_.showGpr(*view.gprNumber);
    registerPanel_.refresh();
}

}  // namespace lumora::app
