// What the views of the PLAYLIST tab share: the playlist read last with the
// entry it came from, and what the main window hands the tab (the reporter,
// the working folder, the options it needs, the dialogs it runs and the grid
// pop-up menu).  The dialog runners are replaceable so that tests never block.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "core/folder.h"
#include "core/report.h"
#include "playlist/marks.h"
#include "playlist/playlist_file.h"

namespace lumora::app {

class GridPopupMenu;
class TfExtDat;

struct PlaylistContext {
    Reporter* reporter = nullptr;
    // The working folder: its folder text and, by its 8.3 switch, the name set.
    std::function<DiscFolder()> disc;
    std::function<bool()> autoRead;
    std::function<BackupOptions()> backupOptions;
    // Empty, or the Output folder ending with "/".
    std::function<QString()> outputFolder;
    std::function<ChapterFormat()> chapterFormat;
    // Runs the ExtensionData dialog modally; true when it closed with OK.
    std::function<bool(TfExtDat&)> runExtDat;
    // The chapter file dialogs: they get the dialog title, the folder to start
    // in, the proposed file name and the filter, and return the chosen path or
    // "" when the user cancels.
    using FileChooser = std::function<QString(const QString& title, const QString& folder,
                                              const QString& fileName, const QString& filter)>;
    FileChooser chooseChapterLoad;
    FileChooser chooseChapterSave;
    // Shows a file that cannot be opened or created.
    std::function<void(const QString& message)> showFileError;
    // The PlayItems and SubPlayItems grids switch edit mode through it.
    GridPopupMenu* popupMenu = nullptr;
};

// The current playlist.  Only a playlist read without error is edited and
// saved; one cut short is shown for inspection only.
struct PlaylistDocument {
    TMPLS playlist;
    bool good = false;
    std::string entry;     // the list entry it was read from
    std::string fileName;  // entry + playlist extension
};

}  // namespace lumora::app
