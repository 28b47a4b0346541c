#include "app/widgets/unsaved_edits.h"

#include <QMessageBox>

#include "core/folder.h"

namespace lumora::app {

SaveChoice askToSaveChanges(QWidget* parent, const QString& name) {
    const auto answer = QMessageBox::question(
        parent, QString::fromStdString(programCaption()), "Save changes to " + name + "?",
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return SaveChoice::Save;
    if (answer == QMessageBox::Discard) return SaveChoice::Discard;
    return SaveChoice::Cancel;
}

bool settleEdits(const SaveQuestion& ask, const QString& name, const std::function<bool()>& save) {
    switch (ask(name)) {
        case SaveChoice::Save:
            return save();
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

}  // namespace lumora::app
