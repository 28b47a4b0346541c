// The two-panel status line: panel 0 the state ("Ready.", the current action
// or the red "ERROR" mark), panel 1 the detail.
#pragma once

#include <QLabel>
#include <QStatusBar>

namespace lumora::app {

class StatusLine : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    // A plain report; ends an error display.  Panel 1's text is also the
    // status line's tooltip.
    void showPanel(int panel, const QString& text);
    // The red box with "ERROR" in yellow in panel 0, the message in panel 1.
    void showError(const QString& message);

    QString panelText(int panel) const;
    bool errorShown() const { return errorShown_; }

private:
    void sizePanel(QLabel* label, const QString& text);
    void repaintNow();

    QLabel* panels_[2];
    QString texts_[2];
    bool errorShown_ = false;
};

}  // namespace lumora::app
