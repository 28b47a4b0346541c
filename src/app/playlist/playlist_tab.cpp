#include "app/playlist/playlist_tab.h"

#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/playlist/playlist_appinfo_view.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_mark_view.h"
#include "app/playlist/playlist_stn_view.h"
#include "app/playlist/playlist_subpath_view.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/extension_data.h"
#include "core/file_io.h"
#include "playlist/cross_reference.h"

namespace lumora::app {
namespace {

// The groups' default heights and the least each may be given; the PlayList
// group takes what the window gains or loses.
constexpr int kPlayListHeight = 176;
constexpr int kSubPathHeight = 112;
constexpr int kMarkHeight = 103;
constexpr int kPlayListMinimum = 158;
constexpr int kSubPathMinimum = 92;
constexpr int kMarkMinimum = 96;

QString chooseFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& title,
                   const QString& folder, const QString& fileName, const QString& filter) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace

PlaylistTab::PlaylistTab(QWidget* parent)
    : SelectorTab(parent, "tsPLAYLIST", "Playlist:", "cbPlaylist", "bReadPL",
                  "Read the selected .mpls file") {
    fillContextDefaults();
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    // The selector moves into the band beside AppInfoPlayList, with "&Read"
    // below it.
    QHBoxLayout* selectors = selectorRow();
    layout->removeItem(selectors);
    selectors->setParent(nullptr);
    selectors->removeWidget(readButton());
    layout->addWidget(buildTopBand(selectors));
    buildGroups();
    layout->addWidget(spPlaylist, 1);

    connect(this, &SelectorTab::readRequested, this, &PlaylistTab::readPlaylist);
    connect(selector(), &QComboBox::activated, this, &PlaylistTab::selectorChosen);
    connect(bMExtDat, &QPushButton::clicked, this, &PlaylistTab::editExtensionData);
    connectViews();
    clear();
}

PlaylistTab::~PlaylistTab() = default;

// The selector at the left, AppInfoPlayList beside it: one band, so the three
// groups below get the height.
QWidget* PlaylistTab::buildTopBand(QLayout* selectors) {
    auto* band = new QWidget(this);
    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addLayout(selectors);
    auto* read = new QHBoxLayout;
    read->addStretch(1);
    read->addWidget(readButton());
    left->addLayout(read);
    left->addStretch(1);
    appInfoView = new AppInfoView(document_, band);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(left);
    layout->addWidget(appInfoView, 1);
    return band;
}

void PlaylistTab::buildGroups() {
    spPlaylist = new QSplitter(Qt::Vertical, this);
    spPlaylist->setObjectName("spPlaylist");
    spPlaylist->setChildrenCollapsible(false);
    playItemsView = new PlayItemsView(document_, context_, spPlaylist);
    subPathView = new SubPathView(document_, spPlaylist);
    markView = new MarkView(document_, context_, spPlaylist);
    playItemsView->setMinimumHeight(kPlayListMinimum);
    subPathView->setMinimumHeight(kSubPathMinimum);
    markView->setMinimumHeight(kMarkMinimum);
    spPlaylist->addWidget(playItemsView);
    spPlaylist->addWidget(subPathView);
    spPlaylist->addWidget(markView);
    spPlaylist->setStretchFactor(0, 1);
    spPlaylist->setStretchFactor(1, 0);
    spPlaylist->setStretchFactor(2, 0);
    spPlaylist->setSizes({kPlayListHeight, kSubPathHeight, kMarkHeight});

    // The ExtensionData block follows the marks in the file; its row sits
    // beside the mark buttons, where the width is free.
    QHBoxLayout* buttons = markView->buttonRow();
    buttons->insertLayout(buttons->count() - 1,
                          extensionDataRow(markView, "lMExtDat", "bMExtDat", lMExtDat, bMExtDat));
}

// What one view changes, the others show.
void PlaylistTab::connectViews() {
    connect(playItemsView, &PlayItemsView::playItemsChanged, this, &PlaylistTab::playItemsChanged);
    connect(playItemsView, &PlayItemsView::subPlayItemTimesMoved, subPathView,
            &SubPathView::refreshSubPlayItems);
    connect(playItemsView, &PlayItemsView::marksMoved, this, &PlaylistTab::refreshMarks);
    // SubPath ids in the STN entries follow inserted and deleted SubPaths.
    connect(subPathView, &SubPathView::subPathsChanged, this,
            [this] { playItemsView->stnView->showPlayItem(playItemsView->selectedPlayItem()); });
    connect(playItemsView, &PlayItemsView::clipRequested, this, &PlaylistTab::clipRequested);
    connect(subPathView, &SubPathView::clipRequested, this, &PlaylistTab::clipRequested);
    connect(playItemsView, &PlayItemsView::applyToClipRequested, this,
            &PlaylistTab::applyToClipRequested);
}

// Marks and sync references were renumbered with the PlayItems, and a
// playlist without PlayItems cannot be saved.
void PlaylistTab::playItemsChanged() {
    refreshMarks();
    subPathView->refreshSubPlayItems();
    emit saveStateChanged();
}

void PlaylistTab::refreshMarks() {
    const int selected = markView->selectedMark();
    const int count = static_cast<int>(document_.playlist.marks.marks.size());
    // The fields of a mark that is gone must not stay on show.
    if (count == 0) markView->clear();
    markView->showMarks();
    if (count > 0 && selected >= 0) markView->selectMark(std::min(selected, count - 1));
}

void PlaylistTab::setContext(PlaylistContext context) {
    context_ = std::move(context);
    fillContextDefaults();
    if (context_.popupMenu != nullptr) {
        context_.popupMenu->registerGrid(playItemsView->sgPLitem);
        context_.popupMenu->registerGrid(subPathView->sgSubPlayItem);
    }
}

void PlaylistTab::fillContextDefaults() {
    context_.reporter = quiet_.orThis(context_.reporter);
    if (!context_.disc) context_.disc = [] { return DiscFolder{}; };
    if (!context_.autoRead) context_.autoRead = [] { return false; };
    if (!context_.backupOptions) context_.backupOptions = [] { return BackupOptions{}; };
    if (!context_.outputFolder) context_.outputFolder = [] { return QString(); };
    if (!context_.chapterFormat) context_.chapterFormat = [] { return ChapterFormat::Pts; };
    if (!context_.runExtDat) {
        context_.runExtDat = [](TfExtDat& dialog) { return dialog.exec() == QDialog::Accepted; };
    }
    if (!context_.chooseChapterLoad) {
        context_.chooseChapterLoad = [this](const QString& title, const QString& folder,
                                            const QString& fileName, const QString& filter) {
            return chooseFile(this, QFileDialog::AcceptOpen, title, folder, fileName, filter);
        };
    }
    if (!context_.chooseChapterSave) {
        context_.chooseChapterSave = [this](const QString& title, const QString& folder,
                                            const QString& fileName, const QString& filter) {
            return chooseFile(this, QFileDialog::AcceptSave, title, folder, fileName, filter);
        };
    }
    if (!context_.showFileError) {
        context_.showFileError = [this](const QString& message) {
            QMessageBox::critical(this, toQ(programCaption()), message);
        };
    }
}

// ---------------------------------------------------------------------------
// Reading

void PlaylistTab::clear() {
    SelectorTab::clear();
    // The views decide what they offer from the playlist: it goes first.
    document_ = PlaylistDocument{};
    saved_.forget();
    clearViews();
    showExtensionData();
    emit saveStateChanged();
}

bool PlaylistTab::choosePlaylist(const QString& entry) {
    const int item = selector()->findText(entry);
    if (item < 0) return false;
    selector()->setCurrentIndex(item);
    selectorChosen();
    return true;
}

void PlaylistTab::selectorChosen() {
    // The entry shown is not read again: that would drop its unsaved edits
    // ("&Read" does it, after asking).
    if (context_.autoRead() && readButton()->isEnabled() && !showing(selector()->currentText()))
        readSelected();
}

// A playlist that cannot be read is not shown, and one cut short is shown
// for inspection only: Save must never write a playlist under another
// playlist's name, nor write back what a broken file let the reader see.
void PlaylistTab::readPlaylist(const QString& entry) {
    const DiscFolder disc = context_.disc();
    if (disc.folder.empty()) return;  // no folder has been read
    Reporter& reporter = *context_.reporter;
    const std::string listEntry = entry.toStdString();
    const std::string name = listEntry + std::string(disc.names().playlistExt);
    TMPLS read;
    ReadOutcome outcome;
    bool opened = false;
    try {
        outcome = readPlaylistFile(disc.playlistPath(listEntry), name, read, reporter);
        opened = true;
    } catch (const FileError& error) {
        showError(QString::fromUtf8(error.what()));
    }
    // The views let go of the old playlist before it is replaced, so nothing
    // they hold can land in the new one.
    clearViews();
    const bool shown = opened && outcome.status != ReadStatus::BadFormat;
    document_.playlist = shown ? std::move(read) : TMPLS{};
    document_.good = opened && outcome.good();
    document_.entry = listEntry;
    document_.fileName = name;
    if (document_.good) {
        saved_.remember(document_.playlist);
    } else {
        saved_.forget();
        reporter.slogR();
    }
    if (shown) {
        showDocument();
    } else {
        clearViews();  // now that they offer nothing for the empty playlist
    }
    showExtensionData();
    selector()->setFocus();
    emit saveStateChanged();
}

void PlaylistTab::clearViews() {
    appInfoView->clear();
    playItemsView->clear();
    subPathView->clear();
    markView->clear();
    bMExtDat->setEnabled(false);
}

void PlaylistTab::showDocument() {
    appInfoView->showPlaylist();
    playItemsView->showPlayItems();
    subPathView->showSubPaths();
    markView->showMarks();
}

void PlaylistTab::showExtensionData() {
    lMExtDat->setText(toQ(extensionDataSummary(document_.playlist.extensionData)));
    bMExtDat->setEnabled(document_.good);
}

void PlaylistTab::showError(const QString& message) {
    context_.showFileError(message);
}

// ---------------------------------------------------------------------------
// Saving and ExtensionData

bool PlaylistTab::edited() const {
    return document_.good && saved_.edited(document_.playlist);
}

bool PlaylistTab::canSave() const {
    return document_.good && !document_.playlist.playList.playItems.empty();
}

QString PlaylistTab::saveHint() const {
    if (document_.good) return "Save " + toQ(document_.fileName);
    const NameSet& names = context_.disc().names();
    return "Save " + selector()->currentText() + toQ(std::string(names.playlistExt));
}

bool PlaylistTab::save() {
    if (!canSave()) return false;
    const DiscFolder disc = context_.disc();
    try {
        if (!savePlaylistFile(disc.folder + "PLAYLIST/", document_.fileName, document_.playlist,
                              *context_.reporter, context_.backupOptions())) {
            return false;
        }
        saved_.remember(document_.playlist);
        return true;
    } catch (const FileError& error) {
        showError(QString::fromUtf8(error.what()));
        return false;
    }
}

void PlaylistTab::editExtensionData() {
    if (!document_.good) return;
    TfExtDat dialog(toQ(document_.fileName), document_.playlist.extensionData,
                    context_.outputFolder(), this);
    if (!context_.runExtDat(dialog)) return;
    setPlaylistExtensionData(document_.playlist, dialog.block());
    showExtensionData();
}

// ---------------------------------------------------------------------------
// Find

void PlaylistTab::findCallers(const TMOBJ& objects) {
    const QString entry = selector()->currentText();
    if (entry.isEmpty()) return;
    findPlaylistCallers(objects, entry.toStdString(), *context_.reporter);
}

// ---------------------------------------------------------------------------
// Layout

QList<int> PlaylistTab::groupHeights() const {
    return spPlaylist->sizes();
}

void PlaylistTab::setGroupHeights(const QList<int>& heights) {
    spPlaylist->setSizes(heights);
}

}  // namespace lumora::app
