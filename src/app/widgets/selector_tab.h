// A tab that shows one file chosen in a selector and read with its "&Read"
// button (playlists, clip information, BD-J objects).  The tab remembers
// whether a file has been read since the last folder Read, which decides
// whether entering the tab reads the selection ("Auto Read").
#pragma once

#include <QWidget>

#include "app/widgets/unsaved_edits.h"

class QComboBox;
class QHBoxLayout;
class QPushButton;

namespace lumora::app {

class SelectorTab : public QWidget {
    Q_OBJECT
public:
    SelectorTab(QWidget* parent, const QString& objectName, const QString& caption,
                const QString& comboName, const QString& readName, const QString& readHint);

    // Reads the selected entry: the owner's reader listens to readRequested.
    // Over unsaved edits it first asks whether to save them; on Cancel
    // nothing is read and the selector goes back to the entry shown.
    void readSelected();
    bool loaded() const { return loaded_; }
    // Empties the selector and forgets what was read.
    void clear();
    // Fills the selector, selects the first entry and enables "&Read".
    void setEntries(const QStringList& entries);

    // The views show what was read from list entry `entry`.
    bool showing(const QString& entry) const { return !entry.isEmpty() && shownEntry() == entry; }
    // The structure shown was edited since it was read or saved.
    virtual bool edited() const { return false; }
    // Its file name, for the question.
    virtual QString editedName() const { return {}; }
    // Asks whether to save the edits (when there are any): true when the
    // caller may drop or replace the structure.
    bool settleEdits();
    // The question; the default is a message box.
    void setSaveQuestion(SaveQuestion question) { saveQuestion_ = std::move(question); }

    QComboBox* selector() const { return selector_; }
    QPushButton* readButton() const { return read_; }

signals:
    void readRequested(const QString& entry);

protected:
    // Writes the edited structure; false when nothing was written.
    virtual bool saveEdits() { return false; }
    // The list entry of the structure shown ("" when none).
    virtual QString shownEntry() const { return {}; }
    // The selector row, for subclasses that add buttons to it.
    QHBoxLayout* selectorRow() const { return row_; }

private:
    QComboBox* selector_;
    QPushButton* read_;
    QHBoxLayout* row_;
    bool loaded_ = false;
    SaveQuestion saveQuestion_;
};

}  // namespace lumora::app
