// The "index.bdmv" group of the BDMV tab: the titles grid with its labels and
// "+"/"-" buttons, the title controls, First Playback and Top Menu, the
// AppInfoBDMV controls and the ExtensionData row.  Every control writes into
// the index model at once; lengths and start addresses are kept by the core
// edits.
#pragma once

#include <QGroupBox>

#include "app/bdmv/bdmv_context.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumora::app {

class StringGrid;

class IndexView : public QGroupBox {
    Q_OBJECT
public:
    IndexView(BdmvContext& context, QWidget* parent = nullptr);

    // Start of a folder Read: the grid cleared, the lists emptied, every
    // control disabled.
    void clear();
    // The BD-J object names of the Read are known: they fill the three
    // file-name lists, the first entry selected.
    void showBdjNames();
    // After the index read: shows the model, and enables the views when the
    // file was good (they stay disabled otherwise).
    void showIndex(bool good);
    // The number of movie objects changed: the three object lists hold the
    // numbers 0 .. n - 1.
    void showObjectLists();
    // Movie object edits moved the object ids of entries: their cells, the
    // controls and the labels follow.
    void showReferences();

    void insertTitle();
    void deleteTitles();
    void editExtensionData();

    // The title of the title number list (0-based), -1 when none.
    int selectedTitle() const;
    // Selects title `title` (0-based) in the grid and the number list and
    // shows it as a click on its row does.
    void selectTitle(int title);

    StringGrid* sgTitles;
    QLabel* lTitlenum;
    QPushButton* bInsTitle;
    QPushButton* bDelTitle;
    QComboBox* cbTitleNo;
    QComboBox* cbTitleOT;
    QComboBox* cbTitleAT;
    QComboBox* cbTitlePBT;
    QComboBox* cbTitleOID;
    QComboBox* cbTitleFN;

    QCheckBox* cbFirstPlay;
    QComboBox* cbFPOT;
    QComboBox* cbFPPBT;
    QComboBox* cbFPOID;
    QComboBox* cbFPFN;
    QCheckBox* cbTopMenu;
    QComboBox* cbTMOT;
    QComboBox* cbTMOID;
    QComboBox* cbTMFN;

    QComboBox* cbOutputMode;
    QCheckBox* cbSSContent;
    QComboBox* cbVideoFormat;
    QComboBox* cbFrameRate;
    QLineEdit* eProvider;

    QLabel* lIndexExtDat;
    QPushButton* bIndexExtDat;

signals:
    // An HDMV entry names movie object `object`: show it.
    void showObjectRequested(int object);
    // A BD-J title was double-clicked; `fileIndex` is the entry of the
    // file-name list it names (-1 when it names none).
    void bdjTitleActivated(int fileIndex);
    // The number of titles changed (it decides whether Save is enabled).
    void titlesChanged();

private:
    // The controls of one of First Playback and Top Menu.
    struct EntryControls {
        QCheckBox* onOff;
        QComboBox* objectType;
        QComboBox* playbackType;  // none for the Top Menu
        QComboBox* objectId;
        QComboBox* fileName;
    };

    QLayout* buildTitleHeader();
    QLayout* buildEntryControls();
    QGroupBox* buildAppInfo();
    void connectControls();
    void connectEntry(const EntryControls& controls);

    TINDX& index() const { return context_.index(); }
    TTitleEntry& entryOf(const EntryControls& controls) const;
    TTitleEntry* currentTitle() const;
    bool bdjListed() const { return !context_.bdjNames.isEmpty(); }
    bool good() const { return context_.models->indexRead; }

    void showAppInfo();
    // `progress` counts the titles in the status line (for a read).
    void showTitles(bool progress);
    void showTitleRow(std::size_t title);
    void showTitleNumbers();
    void showTitleControls();
    void enableTitleControls();
    void showEntry(const EntryControls& controls);
    void enableEntry(const EntryControls& controls);
    void showLabels();
    void showExtensionData();

    // Handlers of the controls.
    void titleRowChosen(int row);
    void titleRowDoubleClicked(int row);
    void titleNumberChosen(int item);
    void titleObjectTypeChosen(int item);
    void titleAccessTypeChosen(int item);
    void titlePlaybackTypeChosen(int item);
    void titleObjectIdChosen(int item);
    void titleFileNameChosen(int item);
    void entrySwitched(const EntryControls& controls, bool on);
    void entryObjectTypeChosen(const EntryControls& controls, int item);
    void entryObjectIdChosen(const EntryControls& controls, int item);
    void entryFileNameChosen(const EntryControls& controls, int item);

    BdmvContext& context_;
    EntryControls firstPlay_{};
    EntryControls topMenu_{};
    QGroupBox* gbAppInfo_ = nullptr;
    bool showing_ = false;  // the views are being filled from the model
};

}  // namespace lumora::app
