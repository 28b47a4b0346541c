// The ExtensionData edit dialog: shows the entries of one block and their data
// as a hex dump, lets the user change an entry's ID1, delete the block, or
// exchange it with a raw block file.  It works on its own copy of the block;
// the owner takes block() after OK.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

#include "core/extension_data.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;

namespace lumora::app {

class StringGrid;

class TfExtDat : public QDialog {
    Q_OBJECT
public:
    // Columns of the entries grid.
    enum Column { kId1 = 1, kId2, kStart, kLength, kName };

    TfExtDat(const QString& titlePrefix, const TExtensionData& block, const QString& outputFolder,
             QWidget* parent = nullptr);

    const TExtensionData& block() const { return block_; }

    // The file choosers: they get the dialog title, the folder to start in and
    // the filter, and return the chosen path or "" when the user cancels.
    // Replaceable so that tests never open a real file dialog.
    using FileChooser =
        std::function<QString(const QString& title, const QString& folder, const QString& filter)>;
    FileChooser chooseLoadFile;
    FileChooser chooseSaveFile;
    // Shows a file error; a critical message box unless replaced.
    std::function<void(const QString& message)> showError;

    // The views, for the owner's tests and this dialog's own.
    StringGrid* entriesGrid() const { return grid_; }
    QTextEdit* dataView() const { return dataView_; }
    QLabel* summaryLabel() const { return summary_; }
    QPushButton* loadButton() const { return load_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* deleteButton() const { return delete_; }

    void loadBlock();
    void saveBlock();
    void deleteBlock();

private:
    QGroupBox* buildSummaryGroup();
    QGroupBox* buildEntriesGroup();
    QGroupBox* buildDataGroup();

    void refresh();
    void fillEntries();
    void showEntryData(int entry);
    void applyCellEdit(int col, int row, const QString& text);
    void showEntryCell(int col, int row);

    TExtensionData block_;
    QString outputFolder_;
    StringGrid* grid_ = nullptr;
    QTextEdit* dataView_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
};

// A saved block file name gets the block files' extension when the user typed
// none.
QString withExtDatExtension(const QString& path);

}  // namespace lumora::app
