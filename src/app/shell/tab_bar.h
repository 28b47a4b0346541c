// The main tab bar, drawn by the program: centred captions without "&",
// dark blue for the active tab with an amber bar above it, greyish blue with
// the accelerator underlined for the others.
#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace lumora::app {

class TabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TabBar(QWidget* parent = nullptr);

    static QString captionWithoutAccelerator(const QString& text, int* acceleratorIndex = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize tabSizeHint(int index) const override;
};

// A tab widget whose tabs are drawn by TabBar.
class TabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit TabWidget(QWidget* parent = nullptr) : QTabWidget(parent) {
        setTabBar(new TabBar(this));
    }
};

}  // namespace lumora::app
