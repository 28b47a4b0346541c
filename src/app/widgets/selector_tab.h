// A tab that shows one file chosen in a selector and read with its "&Read"
// button (playlists, clip information, BD-J objects).  The tab remembers
// whether a file has been read since the last folder Read, which decides
// whether entering the tab reads the selection ("Auto Read").
#pragma once

#include <QWidget>

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
    void readSelected();
    bool loaded() const { return loaded_; }
    // Empties the selector and forgets what was read.
    void clear();
    // Fills the selector, selects the first entry and enables "&Read".
    void setEntries(const QStringList& entries);

    QComboBox* selector() const { return selector_; }
    QPushButton* readButton() const { return read_; }

signals:
    void readRequested(const QString& entry);

protected:
    // The selector row, for subclasses that add buttons to it.
    QHBoxLayout* selectorRow() const { return row_; }

private:
    QComboBox* selector_;
    QPushButton* read_;
    QHBoxLayout* row_;
    bool loaded_ = false;
};

}  // namespace lumora::app
