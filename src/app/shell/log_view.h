// The message log: a read-only rich-text view that paints the styled segments
// of each log line.
#pragma once

#include <QTextEdit>

#include "core/report.h"

namespace lumora::app {

class LogView : public QTextEdit {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    void appendLine(const LogLine& line);
    void clearLog();
    // The log's plain lines (for tests and copying).
    QStringList lines() const;

    static QColor colourOf(LogColour colour, const QColor& windowText);

private:
    int lineCount_ = 0;
};

}  // namespace lumora::app
