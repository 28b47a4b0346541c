// The "&Menu" tab: the page header, the composition information, the object
// and palette selectors, and the inner tabs "BOGs", "Effects", "Objects" and
// "Page view".
#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QTabWidget;

namespace lumora::app {

class MenuTab : public QWidget {
    Q_OBJECT
public:
    explicit MenuTab(QWidget* parent = nullptr);

    // A menu is loaded when its page selector is enabled.
    bool menuLoaded() const;
    void clear();

    static constexpr int kPageViewIndex = 3;

    QGroupBox* gbPageHeader;
    QGroupBox* gbComposition;
    QComboBox* cbPage;
    QTabWidget* pcMenu;
    QWidget* pageView;
};

}  // namespace lumora::app
