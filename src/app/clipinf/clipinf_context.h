// What the views of the CLIPINF tab share: the clip read last with the entry
// it came from, and what the main window hands the tab (the reporter, the
// working folder, the options it needs, the dialogs and the desktop services
// it runs, the way to the Menu tab, and the grid pop-up menu).  The runners are replaceable so that
// tests never block and never start a player.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <string>

#include "core/folder.h"
#include "core/report.h"
#include "playlist/clip_info_file.h"
#include "stream/demux.h"

namespace lumora::app {

class GridPopupMenu;
class TfExtDat;

struct ClipinfContext {
    Reporter* reporter = nullptr;
    // The working folder: its folder text, its lists and stream files and, by
    // its 8.3 switch, the name set.
    std::function<DiscFolder()> disc;
    std::function<bool()> autoRead;
    std::function<BackupOptions()> backupOptions;
    // Empty, or the Output folder ending with "/".
    std::function<QString()> outputFolder;
    // The Options' "Save PID format" boxes, which choose how "Save P&ID"
    // saves a stream.
    std::function<SavePidFormat()> savePidFormat;
    // Where "-> M&enu" saves the IG stream as a menu file before the Menu tab
    // reads it: the system temporary folder's "Lumora_MENU.tmp".
    std::function<std::string()> menuTempPath;
    // Hands the menu file "-> M&enu" made to the Menu tab, which reads and
    // shows it; the last menu file name stays as it was.
    std::function<void(const QString& path)> openMenuFile;
    // Runs the ExtensionData dialog modally; true when it closed with OK.
    std::function<bool(TfExtDat&)> runExtDat;
    // Shows a file that cannot be opened or created.
    std::function<void(const QString& message)> showFileError;
    // Hands a file to the desktop's default application without waiting.
    std::function<bool(const QUrl& url)> openUrl;
    // The user locale's thousands separator, for sizes and packet counts.
    std::function<QString()> groupSeparator;
    // The ATC delta grid switches edit mode through it.
    GridPopupMenu* popupMenu = nullptr;
};

// The current clip.  Only a clip read without error is edited and saved; one
// cut short is shown for inspection only.
struct ClipDocument {
    TCLPI clip;
    bool good = false;
    std::string entry;     // the list entry it was read from
    std::string fileName;  // entry + clip extension
    // The entry's place in the clip list, which is also its place in the
    // stream file list; -1 when the entry is not listed.
    int listIndex = -1;
};

}  // namespace lumora::app
