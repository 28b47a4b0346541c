// The navigation commands of the button chosen on the "BOGs" page: the
// command grid (drawn like the movie object commands, marked by the button
// context's forbidden words), the command builder below it with the line
// and program list buttons, and the list keys of the movie object grid
// (Insert, Shift+Delete, Ctrl+C/X/V/A, Shift+N).  Every change goes into the
// button's record and its slot of the page button table at once.
#pragma once

#include <QWidget>

#include "app/commands/command_grid.h"
#include "app/menu/menu_context.h"
#include "navigation/command_list.h"

class QPushButton;
class QToolButton;

namespace lumora::app {

class CommandEditor;
class StringGrid;

class MenuCommandsView : public QWidget {
    Q_OBJECT
public:
    // Layout limit: past this width the "Command line" column takes all but
    // kFixedCommandColumns of the grid.
    static constexpr int kCommandLineMinGridWidth = 375;
    static constexpr int kFixedCommandColumns = 200;

    MenuCommandsView(MenuDocument& document, MenuContext& context, QWidget* parent = nullptr);

    // No button: the grid cleared and disabled, the builder empty.
    void clear();
    // The commands of button `index` of BOG `bog` of the current page; the
    // grid takes keys even when the button has none yet.
    void showButton(int bog, int index);
    // The list shown, null when no button is.
    TCommands* commands() const;
    // Selects command `line` (0-based) and shows it in the builder.
    void selectLine(int line);
    int currentLine() const;

    // The list edits of the keys and buttons, on the selected lines.
    void insertLine();
    void deleteLines();
    void copyLines();
    void cutLines();
    void pasteLines();
    void nopLine();
    void selectAllLines();
    // Double click: follows the command on `line`; a GoTo stays in the
    // grid, everything else is the window's.
    void followLine(int line);
    // "Save program list": the dialog, then the file.
    void saveProgramList();
    // "Load program list": the dialog, then the file's commands replace the
    // button's (after a question when it has commands).
    void loadProgramList();

    // Sounds the tone of an invalid command word (tests record it).
    ToneFunction tone = playTone;

    StringGrid* sgMenuCommands;
    CommandEditor* commandEditor;
    QPushButton* bInsMCmd;
    QPushButton* bDelMCmd;
    QToolButton* bbSaveMProg;
    QToolButton* bbLoadMProg;

signals:
    // The button's commands changed: its "comm." cell and the page follow.
    void commandsChanged();
    // A double click leads out of the grid: a title, a playlist, a movie
    // object, a menu page or button.
    void followRequested(const lumora::CommandFollow& follow);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void fitCommandFont();
    void fitCommandColumns();
    CommandClipboard& clipboard();
    void showRows(std::size_t from);
    void showInEditor();
    // Shows the result of a list edit: rows, selection, status; the button
    // record goes into the page button table.
    void showListEdit(const ListEdit& edit);
    void buttonChanged();
    void wordTyped(int col, int row, const QString& text);
    void commandEdited(const TCommand& command);
    bool listKey(const QKeyEvent& event);
    ProgramListRequest programListRequest(bool saving) const;
    std::optional<ProgramListTarget> chooseProgramListFile(const ProgramListRequest& request);

    MenuDocument& document_;
    MenuContext& context_;
    CommandClipboard ownClipboard_;
    int bog_ = -1;
    int index_ = -1;
};

}  // namespace lumora::app
