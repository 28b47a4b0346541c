// The GUI's report sink: log lines to the message log, status texts to the
// status line, progress to the progress bar, questions as modal boxes.
#pragma once

#include <QString>
#include <functional>

#include "core/report.h"

class QProgressBar;
class QWidget;

namespace lumora::app {

class LogView;
class StatusLine;

class GuiSink : public ReportSink {
public:
    GuiSink(LogView* log, StatusLine* status, QProgressBar* progress, QWidget* dialogParent);

    void appendLogLine(const LogLine& line) override;
    void showStatus(int panel, std::string_view text) override;
    void showErrorStatus(std::string_view message) override;
    void clearLog() override;
    void beep() override;
    void setProgressMode(bool on) override;
    void setProgress(int percent) override;
    void processEvents() override;
    void sleepMs(int milliseconds) override;
    bool askYesNo(std::string_view question) override;

    // The window's part of progress mode (panels, Cancel, tab roles).
    std::function<void(bool)> onProgressMode;
    // Replaces the modal box (tests answer here).
    std::function<bool(const QString&)> asker;

private:
    LogView* log_;
    StatusLine* status_;
    QProgressBar* progress_;
    QWidget* dialogParent_;
};

QString toQString(std::string_view text);

}  // namespace lumora::app
