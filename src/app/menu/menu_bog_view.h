// The "BOGs" page of the Menu tab: the BOG grid (one column per button
// overlap group of the page), the buttons of the chosen BOG, the navigation
// commands of the chosen button with their builder (MenuCommandsView), and
// the object preview beside them.  A click on an object column of the
// buttons grid shows that object under the page's palette.
//
// The grids edit the menu: Ins and Del in the BOG grid, Ins and Shift+Del in
// the buttons grid create and delete BOGs and buttons, cells typed in edit
// mode are checked by the menu editing rules, a double click on a BOG's
// default valid button cycles it, and one on an animation column of the
// buttons grid previews the animation.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/commands/command_grid.h"
#include "app/menu/menu_context.h"

class QSplitter;
class QTimer;

namespace lumora::app {

class MenuCommandsView;
class ObjectPreview;
class StringGrid;

class MenuBogView : public QWidget {
    Q_OBJECT
public:
    MenuBogView(MenuDocument& document, MenuContext& context, QWidget* parent = nullptr);

    // Every grid cleared, the preview emptied.
    void clear();
    // The document's current page: its BOGs, the first BOG's buttons with its
    // default valid button selected, that button's commands.
    void showPage();
    // The buttons of BOG `bog` (0-based) of the current page.
    void showBog(int bog);
    // The commands of button row `row` (1-based) of the shown BOG.
    void showButtonCommands(int row);
    // The BOG and button shown (-1: none).
    int shownBog() const { return bog_; }
    int shownButtonRow() const;

    // Shows `object` in the preview under the page's palette (the click on
    // an object column).
    void previewObject(std::uint16_t object);
    // The preview drawn again (the object background colour changed).
    void refreshPreview();
    // The BOG, row and commands of button `id` of the current page (a
    // command trace shows where it is).
    void showButton(std::uint16_t id);
    // Selects command `line` (0-based) of the commands grid.
    void selectCommandLine(int line);
    // The row of button `id` shows its values again (it was dragged).
    void refreshButton(std::uint16_t id);
    // Shows BOG `bog` with button row `row` (1-based) selected, the BOG
    // column and the rows scrolled into view (after a structural change).
    void showBogAndRow(int bog, int row);

    // ---- Editing ----
    // Ins and Del in the BOG grid.
    void insertBog();
    void deleteBog();
    // Ins and Shift+Del in the buttons grid.
    void insertButton();
    void deleteButton();
    // The double click on a BOG's default valid button.
    void cycleDefaultValidButton(int col);
    // The double click on a cell of the buttons grid outside edit mode: the
    // animation of an object column runs in the preview, the sound of a
    // sound column plays.
    void previewAnimation(int col, int row);
    bool previewRunning() const;
    // Ends a running preview (Cancel, a page change, a load).
    void stopPreview();

    // Sounds the tone of an invalid command word (tests record it).
    void setTone(ToneFunction tone);
    // The palette the animation previews use (the palette selector); the
    // page's palette when unset or negative.
    std::function<int()> previewPalette;

    StringGrid* sgBOG;
    StringGrid* sgButtons;
    MenuCommandsView* commandsView;
    StringGrid* sgMenuCommands;  // the commands view's grid
    QSplitter* splitter;
    QSplitter* commandSplitter;
    ObjectPreview* preview;

signals:
    // The preview shows `object` under `palette` (the selectors follow).
    void objectShown(int object, int palette);
    // BOGs or buttons were created or deleted: the page is shown again
    // with BOG `bog` and button row `row` chosen.
    void structureChanged(int bog, int row);
    // A field of the page's BOGs or buttons changed: the page is drawn again.
    void pageEdited();
    // A button command leads out of the page (a title, a playlist, a page).
    void followRequested(const lumora::CommandFollow& follow);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildGrids();
    void connectGrids();
    void showBogColumns();
    void showButtonRow(int row, const TIGbutton& button);
    void fitBogGridHeight();
    void bogCellChosen(int col);
    void buttonCellClicked(int col, int row);
    void bogCellEdited(int col, int row, const QString& text);
    void buttonCellEdited(int col, int row, const QString& text);
    void refusal(const std::string& why);
    void previewStep();
    const TBOG* shownBogRecord() const;
    std::size_t pageIndex() const { return static_cast<std::size_t>(document_.page); }

    MenuDocument& document_;
    MenuContext& context_;
    int bog_ = -1;
    // The object the preview shows.
    std::optional<std::uint16_t> shownObject_;
    bool showing_ = false;
    bool sized_ = false;

    // The animation preview: the objects in turn, then the final one;
    // `repeat` runs the sequence until Cancel.
    struct AnimationRun {
        std::vector<std::uint16_t> objects;
        std::size_t next = 0;
        bool repeat = false;
        std::uint16_t finalObject = kIgNone;
    };
    std::optional<AnimationRun> run_;
    QTimer* previewTimer_ = nullptr;
};

}  // namespace lumora::app
