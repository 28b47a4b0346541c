// The "&CLIPINF" tab: the clip selector with "&Read", the stream file's name
// and size, "Save P&ID", "-> M&enu" and "Pla&y" beside ClipInfo; then the
// ProgramInfo and SequenceInfo groups, the CPI group with its EP map and the
// "Referenced by" grid; the ExtensionData row at the bottom.  The tab owns the
// current clip; its views write every change into it at once, and Save writes
// it back to the file it was read from.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/clipinf/clipinf_context.h"
#include "app/widgets/quiet_reporter.h"
#include "app/widgets/selector_tab.h"
#include "core/saved_copy.h"
#include "playlist/cross_reference.h"

class QGroupBox;
class QLabel;
class QHBoxLayout;

namespace lumora::app {

class ClipInfoView;
class CpiView;
class ProgramInfoView;
class SequenceInfoView;
class StringGrid;

class ClipinfTab : public SelectorTab {
    Q_OBJECT
public:
    explicit ClipinfTab(QWidget* parent = nullptr);
    ~ClipinfTab() override;

    // What the tab works with.  Missing pieces fall back to the program's
    // own dialogs and desktop services, no options and a reporter that keeps
    // nothing.
    void setContext(ClipinfContext context);

    // A new folder Read: the selector, the clip, the references and every
    // view emptied.
    void clear();
    // (setEntries and readSelected come from SelectorTab; readSelected reads
    // the selected entry into the clip and fills the views.)

    // The selector's change action, as when the user picks `entry`: with
    // "Auto Read" on the clip is read; the "Referenced by" grid follows.
    // False when the entry is not listed.
    bool chooseClip(const QString& entry);
    // Selects `entry` without reading it; false when it is not listed.
    bool selectClip(const QString& entry);

    // The shared "&Save" on this tab: writes the clip to the file it was
    // read from, after the backup step.  False when nothing was written.
    bool save();
    // A clip was read without error; only such a clip is edited and saved.
    bool clipLoaded() const { return document_.good; }
    bool canSave() const { return document_.good; }
    // "Save " + the loaded clip's file name (the selected entry's while none
    // is loaded).
    QString saveHint() const;

    // The clip was edited since it was read or saved.
    bool edited() const override;
    QString editedName() const override { return QString::fromStdString(document_.fileName); }

    const TCLPI& clip() const { return document_.clip; }
    const ClipDocument& document() const { return document_; }

    // Find on this tab: walks every playlist of the folder, records which
    // PlayItems and SubPlayItems use each clip (reporting missing stream
    // files), then runs the selector's change action.
    void findReferences();
    // One list per clip entry, empty until a Find.
    const std::vector<TCIRefs>& references() const { return references_; }

    // "Apply to clpi": shows clip `entry` (read unless it is the one shown)
    // and copies the attributes of the STN streams into its ProgramInfo.
    // The change stays in memory, to be reviewed and written by "&Save" or
    // dropped.  Returns the changed streams (0-based); empty when nothing
    // changed.
    std::vector<std::size_t> applyStn(const QString& entry, const TSTN& stn);

    // "Pla&y": hands the stream file to the desktop's player.
    void play();
    // "Save P&ID": the selected stream of the clip's stream file saved into
    // the Output folder (without one, the folder that holds BDMV) in the form
    // the options choose, with progress and Cancel.  The target; nothing when
    // no stream was saved or the run was cancelled.
    std::optional<std::string> savePid();
    // "-> M&enu": the selected IG stream saved as a temporary menu file, with
    // progress and Cancel, and handed to the Menu tab.  False when no menu
    // file was handed on.
    bool extractMenu();
    // The ExtensionData "Edit" button's action.
    void editExtensionData();

    QLabel* lStreamName;
    QLabel* lStreamSize;
    QPushButton* bSavePID;
    QPushButton* bToMenu;
    QPushButton* bPlay;
    ClipInfoView* clipInfoView;
    ProgramInfoView* programInfoView;
    SequenceInfoView* sequenceInfoView;
    CpiView* cpiView;
    QGroupBox* gbCIRef;
    StringGrid* sgCIRef;
    QLabel* lCIExtdat;
    QPushButton* bCIExtDat;

signals:
    // A read or clear changed whether Save is offered and what it writes.
    void saveStateChanged();
    // A "Referenced by" row was double-clicked: the playlist to open, and the
    // PlayItem to select there (-1: none in particular).
    void playlistRequested(const QString& entry, int playItem);
    // "-> M&enu", or a double click on the IG stream: the menu is about to be
    // taken out of the stream file.
    void menuExtractionRequested();

protected:
    bool saveEdits() override { return save(); }
    QString shownEntry() const override { return QString::fromStdString(document_.entry); }

private:
    QWidget* buildTopBand(QHBoxLayout* selectors);
    QWidget* buildGroups();
    void buildReferenceGrid();
    void connectControls();
    void fillContextDefaults();

    void readClip(const QString& entry);
    void selectorChosen();
    void clearViews();
    void showDocument();
    void showStreamFile(const DiscFolder& disc);
    void checkPackets(const DiscFolder& disc);
    void showExtensionData();
    void showReferences();
    void referenceActivated(int row);
    void streamChosen();
    void streamActivated(const QString& pidCell);
    bool streamPlayable() const;
    // Runs the demultiplexer on the clip's stream file in progress mode; the
    // stream buttons and "&Read" wait meanwhile.  Nothing when a file could
    // not be used (the user was shown why).
    std::optional<DemuxResult> runDemux(std::uint16_t pid, const std::string& target,
                                        DemuxMode mode);
    std::string separator() const;

    ClipDocument document_;
    // What the clip information file holds, while a good clip is shown.
    SavedCopy<TCLPI> saved_;
    ClipinfContext context_;
    std::vector<TCIRefs> references_;
    QuietReporter quiet_;
};

}  // namespace lumora::app
