#include "app/shell/gui_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QThread>

#include "app/shell/log_view.h"
#include "app/shell/status_line.h"

namespace lumora::app {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

GuiSink::GuiSink(LogView* log, StatusLine* status, QProgressBar* progress, QWidget* dialogParent)
    : log_(log), status_(status), progress_(progress), dialogParent_(dialogParent) {}

void GuiSink::appendLogLine(const LogLine& line) {
    log_->appendLine(line);
}

void GuiSink::showStatus(int panel, std::string_view text) {
    status_->showPanel(panel, toQString(text));
}

void GuiSink::showErrorStatus(std::string_view message) {
    status_->showError(toQString(message));
}

void GuiSink::clearLog() {
    log_->clearLog();
}

void GuiSink::beep() {
    QApplication::beep();
}

void GuiSink::setProgressMode(bool on) {
    if (onProgressMode) onProgressMode(on);
}

void GuiSink::setProgress(int percent) {
    progress_->setValue(percent);
}

void GuiSink::processEvents() {
    QCoreApplication::processEvents();
}

void GuiSink::sleepMs(int milliseconds) {
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

bool GuiSink::askYesNo(std::string_view question) {
    const QString text = toQString(question);
    if (asker) return asker(text);
    return QMessageBox::question(dialogParent_, QApplication::applicationDisplayName(), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace lumora::app
