// The "&Menu" tab: the page header and the composition information above the
// inner tabs "BOGs", "Effects", "Objects" and "Page view" (`pcMenu`), with the
// object and palette selectors beside the inner tabs and the info and effect
// check boxes below them.  The tab owns the menu: "Load" reads a menu file
// into it (a stream file through the stream tools), the views write their
// edits into it, the shared "&Save" writes it as a menu file the user names,
// and its player (MenuPlayController) plays it on the "Page view".
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/menu/menu_context.h"
#include "app/widgets/quiet_reporter.h"
#include "core/saved_copy.h"
#include "menu/page_renderer.h"
#include "navigation/command_list.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QTabWidget;

namespace lumora {
class InterpreterHost;
}

namespace lumora::app {

class MenuBogView;
class MenuEffectsView;
class MenuHeaderView;
class MenuObjectsView;
class MenuPageView;
class MenuPlayController;
class ObjectPreview;

class MenuTab : public QWidget {
    Q_OBJECT
public:
    // The inner pages in their order.
    static constexpr int kBogsIndex = 0;
    static constexpr int kEffectsIndex = 1;
    static constexpr int kObjectsIndex = 2;
    static constexpr int kPageViewIndex = 3;

    explicit MenuTab(QWidget* parent = nullptr);
    ~MenuTab() override;

    // What the tab works with.  Missing pieces fall back to the program's
    // own dialogs, no options and a reporter that keeps nothing.
    void setContext(MenuContext context);
    // Replaces the save dialog (tests that drive the tab through the window).
    void setSaveChooser(MenuFileChooser chooser) { context_.saveChooser = std::move(chooser); }

    // A menu is loaded when its page selector is enabled.
    bool menuLoaded() const;
    // Only a menu read without error is written.
    bool canSave() const;
    // The menu was edited since it was loaded, created or saved.
    bool edited() const;
    // The menu file name the question and "&Save" propose.
    QString editedName() const;
    // Asks whether to save the edits (when there are any): true when the
    // caller may drop or replace the menu.
    bool settleEdits();
    // The menu and every view emptied (a folder Read does this too).
    void clear();

    // "Load": the open dialog, then the chosen file by its extension: a
    // menu file is read, a stream file of the working folder's kind goes
    // through loadStreamFile, anything else is left alone.
    void chooseMenuFile();
    // Reads a menu file (".mnu") into the tab and shows it ("MenuOn"); its
    // name becomes the last menu file name.  Unsaved edits are asked about
    // first.
    // False when no menu came out of it (the error is in the log, or a file
    // that cannot be read was shown to the user).
    bool loadMenuFile(const QString& path);
    // A stream file: its IG stream becomes a menu file (the stream tools'
    // part), which is then read as by loadMenuFile.
    bool loadStreamFile(const QString& path);
    // The shared "&Save" on this tab: the save dialog, then the menu file.
    // False when nothing was written.
    bool save();
    // "Mu&x": the save dialog, then the menu multiplexed into a stream file
    // of its own.  False when nothing was written.
    bool mux();

    // The last menu file's name (path without extension): the dialogs
    // propose it.  "mymenu" at start.
    QString menuFileName() const { return menuFileName_; }
    void setMenuFileName(const QString& name) { menuFileName_ = name; }

    // The page-change handling: the views show page `index` of the menu.
    void selectPage(int index);
    int currentPage() const { return document_.page; }

    // A button command chose page `index` (SetButtonPage): the selector and
    // the views follow; the simulator keeps its button states.
    void followPage(int index);

    // ---- Editing ----
    // "Create Menu": an empty menu of one page, one BOG and one button
    // replaces the one shown (the composition number and state and the user
    // time-out stay), after the question about unsaved edits.  False when
    // the user kept the menu shown.
    bool newMenu();
    // Ins and Del in the page selector.
    void createPage();
    void deletePage();
    // A double click followed a SetButtonPage: page `index` is shown, and
    // the BOG and row of button `button` on it, when given.
    void showPageAndButton(std::optional<int> index, std::optional<std::uint16_t> button);

    // The colour behind the object previews.
    void setObjectBackground(const QColor& colour);
    // The interface colours of the menu views (the menu background colour
    // around the page and behind the built-in picture, the overlays, the
    // previews).
    void setMenuColours(const MenuColours& colours);
    // What the pages are drawn on.
    void setBackground(const BackgroundChoice& choice);
    // "Preload all bitmap of the page".
    void setPreload(bool on);
    // The entries of the disc's sound.bdmv: button sounds below it play.
    void setSoundCount(std::size_t count);
    // "Grid size" of button drags.
    void setGridSize(int pixels);

    // ---- Playing the menu ----
    MenuPlayController& player() { return *player_; }
    // The Menu tab is shown or left: the timers and the interpreter's menu
    // commands follow.
    void setActive(bool active);
    // A command trace stopped at `line` of the button in the "Button"
    // selector: its BOG, its row and the line are selected.
    void showTracedCommand(int line);

    const MenuDocument& document() const { return document_; }
    TIGMenu& menu() { return document_.menu; }

    MenuHeaderView* headerView;
    MenuBogView* bogView;
    MenuEffectsView* effectsView;
    MenuObjectsView* objectsView;
    // The header's controls other parts of the window use.
    QGroupBox* gbPageHeader;
    QGroupBox* gbComposition;
    QComboBox* cbPage;
    QTabWidget* pcMenu;
    MenuPageView* pageView;
    // The info check boxes (shown on the "Effects" and "Page view" pages)
    // and the effect check boxes (on the "Page view"), each with a twin on
    // the Options tab.
    QWidget* pInfo;
    QWidget* pEffects;
    QCheckBox* cbButtonId;
    QCheckBox* cbObjectId;
    QCheckBox* cbButtonFrame;
    QCheckBox* cbWindowFrame;
    QCheckBox* cbInEffects;
    QCheckBox* cbOutEffects;
    QCheckBox* cbAnimation;
    QCheckBox* cbFullScreen;
    QCheckBox* cbPlaySound;
    // The page view's zoom: "Fit", "50 %", "100 %".
    QComboBox* coZoom;

signals:
    // "Load" was confirmed: the Menu tab comes to the front.
    void showRequested();
    // A menu was loaded, cleared or saved: Save, Mux and Start follow.
    void menuStateChanged();
    // The views show page `index` (the button selector follows).
    void pageShown(int index);
    // The "Button" selector is to show `slot`.
    void buttonSelected(int slot);
    // The menu changed PSR10, PSR11 or ran commands.
    void registersChanged();
    // A double-clicked button command leads to a title, a playlist, a movie
    // object or a page of the menu.
    void followRequested(const lumora::CommandFollow& follow);

private:
    QWidget* buildOptionBoxes();
    void connectViews();
    void connectOptionBoxes();
    void fillContextDefaults();
    // The player on the context's registers and interpreter; options,
    // colours and background carry over from the one it replaces.
    void createPlayer();
    void showPageViews(int index);
    void infoOptionChanged();
    void previewsChanged();
    void paletteHovered(ObjectPreview* preview, std::uint32_t palette, int x, int y);
    Reporter& reporter() const { return *context_.reporter; }
    void clearViews();
    // Fills every view from the loaded menu.
    void MenuOn();
    void innerPageChanged(int index);
    // After an edit of the page's fields: the page-change handling draws it
    // again; the views keep what they show.
    void pageEdited();
    // After BOGs or buttons were created or deleted: the page shown again
    // with BOG `bog` and button row `row` chosen.
    void structureChanged(int bog, int row);
    void refusal(const std::string& why);
    // The files read without the question (the callers asked).
    bool readMenuFile(const QString& path);
    bool readStreamFile(const QString& path);

    MenuDocument document_;
    // What the menu was when it was loaded, created or saved.
    SavedCopy<TIGMenu, SameMenuContent> saved_;
    MenuContext context_;
    QString menuFileName_ = "mymenu";
    QuietReporter quiet_;
    // Registers and an interpreter of the tab's own, until the window
    // hands it its own.
    std::unique_ptr<Registers> ownRegisters_;
    std::unique_ptr<InterpreterHost> ownInterpreterHost_;
    std::unique_ptr<Interpreter> ownInterpreter_;
    std::unique_ptr<MenuPlayController> player_;
    bool active_ = false;
};

}  // namespace lumora::app
