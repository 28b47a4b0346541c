// The top band of the Menu tab: the page header (page selector with the page
// count, the UO masks, the animation frame rate code, the default selected
// and activated buttons, the palette and the read-only effect and BOG
// counts) and the composition information (user time-out, video format,
// frame rate, IN_time).  The fields write into the page chosen in the page
// selector when they are left; Enter moves on through them in a fixed order
// back to the page selector.
#pragma once

#include <QWidget>
#include <optional>

#include "app/menu/menu_context.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lumora::app {

class MenuHeaderView : public QWidget {
    Q_OBJECT
public:
    MenuHeaderView(MenuDocument& document, MenuContext& context, QWidget* parent = nullptr);

    // Every field emptied, the groups disabled.
    void clear();
    // After a load: the page list, the page count, the composition fields;
    // the groups enabled.  No page is selected yet.
    void showMenu();
    // The fields of the document's current page.
    void showPage();
    // Selects page `index` in the page selector (no signal).
    void selectPage(int index);
    // The page selector lists the pages again (by id) with their count.
    void showPageList();

    // The user time-out text as seconds: "h:mm:ss", also "h:mm" and
    // "h:mm:ss.zzz" (the fraction is dropped); a time of day.
    static std::optional<std::uint32_t> clockSeconds(const QString& text);

    QGroupBox* gbPageHeader;
    QGroupBox* gbComposition;
    QComboBox* cbPage;
    QLabel* lPageCount;
    QLineEdit* heUOMask1;
    QLineEdit* heUOMask2;
    QSpinBox* ieAnimation;
    QLineEdit* heDefSelButton;
    QLineEdit* heDefActButton;
    QLineEdit* hePalette;
    QLineEdit* eInWindows;
    QLineEdit* eInEffects;
    QLineEdit* eOutWindows;
    QLineEdit* eOutEffects;
    QLineEdit* eBOGs;
    QLineEdit* eUserTimeout;
    QComboBox* coVideoFormat;
    QComboBox* coFrameRate;
    QLineEdit* eINtime;

signals:
    // The user chose page `index` in the selector.
    void pageChosen(int index);
    // The page's palette changed: the palettes' references follow.
    void paletteChanged();
    // An in-effect (true) or out-effect count was clicked on a page with
    // such effects.
    void effectsRequested(bool inEffects);
    // Ins and Del in the page selector.
    void createPageRequested();
    void deletePageRequested();
    // A header or composition field changed what the page shows.
    void pageEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildPageHeader();
    QGroupBox* buildComposition();
    void connectFields();
    // Enter in `field` stores it and moves the focus to the next one.
    void chainEnter(QWidget* field, QWidget* next);

    void storeUoMask1();
    void storeUoMask2();
    void storeAnimation(int code);
    void storeDefaultSelected();
    void storeDefaultActivated();
    void storePalette();
    void storeUserTimeout();
    void chooseVideoFormat(int item);
    void chooseFrameRate(int item);
    void showComposition();
    void showUserTimeout();

    MenuDocument& document_;
    MenuContext& context_;
    std::vector<std::pair<QWidget*, QWidget*>> enterOrder_;
    bool showing_ = false;
};

}  // namespace lumora::app
