// The "&About" tab: the about text with its links, the program's picture and
// the change log.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTextBrowser;

namespace lumora::app {

class AboutTab : public QWidget {
    Q_OBJECT
public:
    explicit AboutTab(QWidget* parent = nullptr);

    // Scrolls the change log one line per 60 units of wheel delta: up for a
    // positive delta, down otherwise.
    void scrollChangeLog(int wheelDelta);

    QTextBrowser* about;
    QLabel* picture;
    QPlainTextEdit* changeLog;

signals:
    // The pointer is over a link (empty when it left it).
    void linkHovered(const QString& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace lumora::app
