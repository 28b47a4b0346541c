// What both command grids share around their lists: the keys beyond Insert
// and Shift+Delete, the selected lines, and the program list files (the save
// and open dialogs, writing and reading with the user told what went wrong).
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string_view>

#include "navigation/command_list.h"

class QKeyEvent;
class QWidget;

namespace lumora {
class Reporter;
}

namespace lumora::app {

class StringGrid;

// What a program list dialog is asked for, and what it gives back.
struct ProgramListRequest {
    QString title;
    QStringList filters;  // "List (*.lst)", "Binary (*.bin)"
    int selectedFilter = 0;
    QString folder;  // where the dialog starts; empty for the current folder
    QString fileName;
    bool saving = true;  // false: an existing file is opened
};
struct ProgramListTarget {
    QString path;
    ProgramFormat format = ProgramFormat::List;
};
using ProgramListChooser =
    std::function<std::optional<ProgramListTarget>(const ProgramListRequest&)>;

inline constexpr std::string_view kLoadProgramListTitle = "Load program list";

// "List|*.lst|Binary|*.bin" as a file dialog takes it: "List (*.lst)", ...
QStringList dialogFilters(std::string_view filter);
// The dialog of `request`; the format follows the filter the user picks (on
// opening, the file's extension).
std::optional<ProgramListTarget> runProgramListDialog(QWidget* parent,
                                                      const ProgramListRequest& request);

// The keys of a command grid beyond Insert and Shift+Delete, which the grid
// reports itself.
bool isKey(const QKeyEvent& event, int key, Qt::KeyboardModifiers modifiers);
// What the keys do in one grid: Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+A and Shift+N.
struct CommandListActions {
    std::function<void()> copy;
    std::function<void()> cut;
    std::function<void()> paste;
    std::function<void()> selectAll;
    std::function<void()> nop;
};
// Runs the action of the key; false when the key is none of them.
bool runCommandListKey(const QKeyEvent& event, const CommandListActions& actions);

// The grid's selected rows as command lines (line 0 when nothing is selected).
LineRange selectedCommandLines(const StringGrid& grid);
// Selects every row of a command grid of `lines` lines.
void selectAllCommandRows(StringGrid& grid, std::size_t lines);

// Reads the program list of `target`; nothing after the reason went to the
// log as an error (a file that cannot be read goes to `fileError`).
std::optional<TCommands> readProgramListFile(const ProgramListTarget& target, Reporter& reporter,
                                             const std::function<void(const QString&)>& fileError);

}  // namespace lumora::app
