// The question asked before unsaved edits would be dropped (a read over
// them, a new folder, the window closing): "Save changes to NAME?" with Save,
// Discard and Cancel.  The question is a replaceable function so that tests
// answer it without a message box.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace lumora::app {

enum class SaveChoice { Save, Discard, Cancel };
using SaveQuestion = std::function<SaveChoice(const QString& name)>;

// "Save changes to NAME?" in a message box over `parent`.
SaveChoice askToSaveChanges(QWidget* parent, const QString& name);

// Asks `ask` about the edits of `name`; Save runs `save`.  True when the
// caller may go on and replace the structure: the edits were saved or
// dropped.  False on Cancel, and when the save did not write the file (the
// edits are still there, so nothing is replaced).
bool settleEdits(const SaveQuestion& ask, const QString& name, const std::function<bool()>& save);

}  // namespace lumora::app
