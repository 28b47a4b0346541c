// What the views of the BDMV tab share: the index and movie object models the
// main window owns, the reporter, the names of the current name set, the BD-J
// object names of the last Read, and the way the ExtensionData dialog is run.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "core/folder.h"
#include "core/report.h"
#include "core/saved_copy.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "sound/sound_file.h"

class QPushButton;
class QWidget;

namespace lumora::app {

class StringGrid;
class TfExtDat;

// The sound file of the working folder.
struct SoundModel {
    TSND sound;
    bool shown = false;  // read or created: the group shows it and Save writes it
    // What the file holds; nothing for a file created here and not yet saved.
    SavedCopy<TSND> saved;
    bool edited() const { return shown && (!saved.holds() || saved.edited(sound)); }
};

// The structure files of the BDMV folder itself.  A file that was not read
// well is never written back: its model is empty and its flag is off.
struct NavigationModels {
    TINDX index;
    TMOBJ objects;
    SoundModel sound;
    bool indexRead = false;
    bool objectsRead = false;
    // What the files hold, while they were read well.
    SavedCopy<TINDX> indexSaved;
    SavedCopy<TMOBJ> objectsSaved;

    bool indexEdited() const { return indexRead && indexSaved.edited(index); }
    bool objectsEdited() const { return objectsRead && objectsSaved.edited(objects); }
};

struct BdmvContext {
    NavigationModels* models = nullptr;
    Reporter* reporter = nullptr;
    NameSet names = nameSet(false);
    QStringList bdjNames;  // BD-J object files without extension
    // Runs the dialog modally and tells whether it closed with OK.  Tests put
    // their own here so that nothing blocks.
    std::function<bool(TfExtDat&)> runExtDat;
    // The Output folder of the options, where the dialog's file choosers start.
    std::function<QString()> outputFolder;

    TINDX& index() const { return models->index; }
    TMOBJ& objects() const { return models->objects; }
};

// A column of a grid of the tab, wide enough for its header and for each of
// `texts` in the grid's font.
int fittedColumnWidth(const StringGrid& grid, int col, const QStringList& texts);

}  // namespace lumora::app
