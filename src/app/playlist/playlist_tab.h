// The "&PLAYLIST" tab: the playlist selector with "&Read" beside
// AppInfoPlayList, then the PlayList, SubPath and PlayListMark groups one
// above the other (the ExtensionData row sits with the mark buttons).  The tab owns the current
// playlist; its views write every change into it at once, and Save writes it back to the file it
// was read from.
#pragma once

#include <QList>
#include <memory>

#include "app/playlist/playlist_context.h"
#include "app/widgets/quiet_reporter.h"
#include "app/widgets/selector_tab.h"
#include "core/saved_copy.h"
#include "navigation/movie_object_file.h"

class QLabel;
class QSplitter;

namespace lumora::app {

class AppInfoView;
class MarkView;
class PlayItemsView;
class SubPathView;

class PlaylistTab : public SelectorTab {
    Q_OBJECT
public:
    explicit PlaylistTab(QWidget* parent = nullptr);
    ~PlaylistTab() override;

    // What the tab works with.  Missing pieces fall back to the program's
    // own dialogs, no options and a reporter that keeps nothing.
    void setContext(PlaylistContext context);

    // A new folder Read: the selector, the playlist and every view emptied.
    void clear();
    // (setEntries and readSelected come from SelectorTab; readSelected reads
    // the selected entry into the playlist and fills the views.)

    // The selector's change action, as when the user picks `entry`: with
    // "Auto Read" on the playlist is read.  False when the entry is not listed.
    bool choosePlaylist(const QString& entry);

    // The shared "&Save" on this tab: writes the playlist to the file it was
    // read from, after the backup step.  False when nothing was written.
    bool save();
    // A playlist was read without error.
    bool playlistLoaded() const { return document_.good; }
    // Save is offered: a playlist is loaded and holds at least one PlayItem.
    bool canSave() const;
    // "Save " + the loaded playlist's file name (the selected entry's while
    // none is loaded).
    QString saveHint() const;

    // The playlist was edited since it was read or saved.
    bool edited() const override;
    QString editedName() const override { return QString::fromStdString(document_.fileName); }

    const TMPLS& playlist() const { return document_.playlist; }
    const PlaylistDocument& document() const { return document_; }

    // The heights of the PlayList, SubPath and PlayListMark groups, as the
    // settings keep them.
    QList<int> groupHeights() const;
    void setGroupHeights(const QList<int>& heights);

    // The ExtensionData "Edit" button's action.
    void editExtensionData();

    // Find on this tab: logs which movie object commands play the selected
    // playlist.
    void findCallers(const TMOBJ& objects);

    AppInfoView* appInfoView;
    PlayItemsView* playItemsView;
    SubPathView* subPathView;
    MarkView* markView;
    QSplitter* spPlaylist;
    QLabel* lMExtDat;
    QPushButton* bMExtDat;

signals:
    // A read, clear or PlayItem edit changed whether Save is offered and
    // what it writes.
    void saveStateChanged();
    // "Jump to Clip": a PlayItem, angle, SubPlayItem or clip entry was
    // double-clicked.
    void clipRequested(const QString& clip);
    // "Apply to clpi" for PlayItem `item` (0-based) of the playlist.
    void applyToClipRequested(int item);

protected:
    bool saveEdits() override { return save(); }
    QString shownEntry() const override { return QString::fromStdString(document_.entry); }

private:
    QWidget* buildTopBand(QLayout* selectors);
    void buildGroups();
    void connectViews();
    void playItemsChanged();
    void refreshMarks();
    void fillContextDefaults();

    void readPlaylist(const QString& entry);
    void selectorChosen();
    void clearViews();
    void showDocument();
    void showExtensionData();
    void showError(const QString& message);

    PlaylistDocument document_;
    // What the playlist file holds, while a good playlist is shown.
    SavedCopy<TMPLS> saved_;
    PlaylistContext context_;
    QuietReporter quiet_;
};

}  // namespace lumora::app
