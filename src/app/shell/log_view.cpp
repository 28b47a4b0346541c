#include "app/shell/log_view.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace lumora::app {

LogView::LogView(QWidget* parent) : QTextEdit(parent) {
    setObjectName("reMessage");
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setAcceptRichText(false);
}

QColor LogView::colourOf(LogColour colour, const QColor& windowText) {
    switch (colour) {
        case LogColour::Blue:
            return QColor(0, 0, 255);
        case LogColour::Green:
            return QColor(0, 170, 0);
        case LogColour::Red:
            return QColor(255, 0, 0);
        case LogColour::Default:
            break;
    }
    return windowText;
}

void LogView::appendLine(const LogLine& line) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (lineCount_ > 0) cursor.insertBlock();
    ++lineCount_;
    const QColor windowText = palette().color(QPalette::Text);
    for (std::size_t i = 0; i < line.segments.size(); ++i) {
        const std::string_view text = line.segmentText(i);
        if (text.empty()) continue;
        const LogStyle& style = line.segments[i].style;
        QTextCharFormat format;
        format.setForeground(colourOf(style.colour, windowText));
        format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(style.italic);
        format.setFontUnderline(style.underline);
        cursor.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                          format);
    }
    // Keep the newest line in view, as a log is read from the bottom.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::clearLog() {
    clear();
    lineCount_ = 0;
}

QStringList LogView::lines() const {
    QStringList out;
    if (lineCount_ == 0) return out;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        out << block.text();
    }
    return out;
}

}  // namespace lumora::app
