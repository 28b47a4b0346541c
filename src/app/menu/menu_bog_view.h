// The "BOGs" page of the Menu tab: the BOG grid (one column per button
// overlap group of the page), the buttons of the chosen BOG, the navigation
// commands of the chosen button (drawn like the movie object commands) and
// the object preview beside them.  A click on an object column of the
// buttons grid shows that object under the page's palette.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "app/commands/command_grid.h"
#include "app/menu/menu_context.h"

class QSplitter;

namespace lumora::app {

class ObjectPreview;
class StringGrid;

class MenuBogView : public QWidget {
    Q_OBJECT
public:
    // Layout limit: past this width the "Command line" column takes all but
    // kFixedCommandColumns of the commands grid.
    static constexpr int kCommandLineMinGridWidth = 375;
    static constexpr int kFixedCommandColumns = 200;

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

    // Sounds the tone of an invalid command word (tests record it).
    ToneFunction tone = playTone;
    // Where grid edits go once the menu can be edited; until then an edit
    // is not taken and the cell shows the held value again.
    std::function<bool(int bog, int col, int row, const QString& text)> applyBogEdit;
    std::function<bool(int bog, int col, int row, const QString& text)> applyButtonEdit;

    StringGrid* sgBOG;
    StringGrid* sgButtons;
    StringGrid* sgMenuCommands;
    QSplitter* splitter;
    QSplitter* commandSplitter;
    ObjectPreview* preview;

signals:
    // The preview shows `object` under `palette` (the selectors follow).
    void objectShown(int object, int palette);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildGrids();
    void connectGrids();
    void showBogColumns();
    void showButtonRow(int row, const TIGbutton& button);
    void fitBogGridHeight();
    void fitCommandFont();
    void fitCommandColumns();
    void bogCellChosen(int col);
    void buttonCellClicked(int col, int row);
    void bogCellEdited(int col, int row, const QString& text);
    void buttonCellEdited(int col, int row, const QString& text);
    const TBOG* shownBogRecord() const;

    MenuDocument& document_;
    MenuContext& context_;
    int bog_ = -1;
    // The object the preview shows.
    std::optional<std::uint16_t> shownObject_;
    bool showing_ = false;
    bool sized_ = false;
};

}  // namespace lumora::app
