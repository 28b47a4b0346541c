// The "BD&JO" tab: the BD-J object selector with "&Read" and the object's
// tables, field by field: TerminalInfo, AppCacheInfo, the accessible
// playlists, the application management table with the chosen application's
// profiles, names and parameters, the key interest table and the file access
// information.  BD-J objects are only read.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>

#include "app/widgets/quiet_reporter.h"
#include "app/widgets/selector_tab.h"
#include "bdj/bdjo_file.h"
#include "core/folder.h"

class QCheckBox;
class QLineEdit;

namespace lumora::app {

class StringGrid;

struct BdjoContext {
    Reporter* reporter = nullptr;
    // The working folder (its BDJO folder holds the files).
    std::function<DiscFolder()> disc;
    std::function<bool()> autoRead;
    // A file that cannot be read (the window's error box).
    std::function<void(const QString& message)> showFileError;
};

class BdjoTab : public SelectorTab {
    Q_OBJECT
public:
    explicit BdjoTab(QWidget* parent = nullptr);
    ~BdjoTab() override;

    void setContext(BdjoContext context);
    // A folder Read begins: no entries, the views reset.
    void clearViews();
    // Reads BDJO/`entry`.bdjo and shows it; a file of another kind leaves
    // the views reset.
    void readBdjo(const QString& entry);
    const TBDJO& bdjo() const { return bdjo_; }
    // The profiles, names and parameters of application row `row` (1-based).
    void showApplication(int row);

    QLineEdit* eDefaultFont;
    QLineEdit* heHavi;
    QCheckBox* cbMenuCallMask;
    QCheckBox* cbTitleSearchMask;
    StringGrid* sgAppCache;
    QCheckBox* cbAccessToAll;
    QCheckBox* cbAutostartFirst;
    StringGrid* sgPlaylists;
    StringGrid* sgApplications;
    StringGrid* sgProfiles;
    StringGrid* sgNames;
    StringGrid* sgParameters;
    std::array<QCheckBox*, kBdjKeys.size()> cbKeys{};
    QLineEdit* eDirectoryPath;

signals:
    // A double click on an accessible playlist: the PLAYLIST tab shows it
    // when its selector lists it.
    void playlistRequested(const QString& entry);

private:
    QWidget* buildTerminalInfo();
    QWidget* buildAppCache();
    QWidget* buildPlaylists();
    QWidget* buildApplications();
    QWidget* buildKeys();
    QWidget* buildFileAccess();
    void fillContextDefaults();
    void showBdjo();
    void selectorChosen();

    BdjoContext context_;
    TBDJO bdjo_;
    QuietReporter quiet_;
};

}  // namespace lumora::app
