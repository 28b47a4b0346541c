// What the views of the Menu tab share: the menu the tab owns with the page
// they show, and what the main window hands the tab (the reporter, the
// options it needs, the file choosers, the grid pop-up menu and, once the
// stream tools exist, the way a menu comes out of a stream file).  The
// choosers and message boxes are replaceable so that tests never block.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/commands/program_list_dialog.h"
#include "app/widgets/unsaved_edits.h"
#include "core/report.h"
#include "menu/menu_model.h"

namespace lumora {
class Interpreter;
class PageRenderer;
class Registers;
}  // namespace lumora

namespace lumora::app {

class GridPopupMenu;

// What a file dialog of the tab is asked for.
struct MenuFileRequest {
    QString title;
    QStringList filters;  // "Menu (*.mnu)", ...
    QString folder;       // where the dialog starts; empty for the current folder
    QString fileName;     // the name it proposes
    QString defaultSuffix;
};
// Returns the chosen path, or "" when the user cancelled.
using MenuFileChooser = std::function<QString(const MenuFileRequest& request)>;
// Several existing files at once (the frames of an animation); empty when
// the user cancelled.
using MenuFilesChooser = std::function<QStringList(const MenuFileRequest& request)>;

struct MenuContext {
    Reporter* reporter = nullptr;
    // Empty, or the Output folder ending with "/".
    std::function<QString()> outputFolder;
    // The stream-file extension of the working folder: ".m2ts", or ".MTS"
    // for an AVCHD folder.
    std::function<QString()> streamExtension;
    // The "Object background" colour the previews are filled with.
    std::function<QColor()> objectBackground;
    // The user locale's thousands separator.
    std::function<QString()> groupSeparator;
    MenuFileChooser openChooser;       // "Load"
    MenuFileChooser saveChooser;       // "&Save", "Save image", "Save palette"
    MenuFilesChooser picturesChooser;  // "Load object image"
    // Shows a file that cannot be opened or created.
    std::function<void(const QString& message)> showFileError;
    // Shows a refused entry (a text that is not a time).
    std::function<void(const QString& message)> showMessage;
    // Saves the IG stream of a stream file as a menu file and returns that
    // file's path; "" when the file holds no menu or the user cancelled.
    // The window fills it with the demultiplexer; absent, stream files are
    // not read.
    std::function<QString(const QString& streamPath)> extractMenu;
    // The grids that switch edit mode register with it.
    GridPopupMenu* popupMenu = nullptr;
    // The window's register file and interpreter, where the menu's button
    // commands run; absent, the tab plays the menu on registers of its own.
    Registers* registers = nullptr;
    Interpreter* interpreter = nullptr;
    // Filled by the tab: the renderer of the menu it plays, which draws the
    // views' previews.
    PageRenderer* renderer = nullptr;
    // The program's one command clipboard, shared with the movie object
    // commands; absent, the tab keeps one of its own.
    CommandClipboard* clipboard = nullptr;
    // The "Program format" option (0 list, 1 binary) and the program list
    // dialogs (tests put their own chooser here).
    std::function<int()> programFormat;
    ProgramListChooser programListChooser;
    // The number of sound entries of the disc's sound.bdmv: the sound
    // columns of the buttons grid name one of them or none (FF).
    std::function<std::size_t()> soundCount;
    // Plays entry `index` of sound.bdmv (a button's sound).
    std::function<void(std::size_t index)> playSound;
    // Asked before a load or a new menu replaces unsaved edits; absent, a
    // message box asks.
    SaveQuestion saveQuestion;
    // The window's Cancel button, enabled while a repeating animation preview
    // runs; pressing it sets the reporter's cancel request.
    std::function<void(bool enabled)> enableCancel;
};

// The menu the tab shows.  A menu read with errors is shown for inspection
// but never written: what it lacks would be written as if it were whole.
struct MenuDocument {
    TIGMenu menu;
    bool loaded = false;  // the views show a menu
    bool good = false;    // read without error
    int page = -1;        // the page the views show (index into the pages)

    TPage* currentPage() {
        const auto index = static_cast<std::size_t>(page);
        return page >= 0 && index < menu.ics.pages.size() ? &menu.ics.pages[index] : nullptr;
    }
    const TPage* currentPage() const {
        const auto index = static_cast<std::size_t>(page);
        return page >= 0 && index < menu.ics.pages.size() ? &menu.ics.pages[index] : nullptr;
    }
};

}  // namespace lumora::app
