#include "app/playlist/playlist_items_view.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <algorithm>

#include "app/playlist/playlist_stn_view.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "playlist/playitem_edit.h"
#include "playlist/playlist_rows.h"

namespace lumora::app {
namespace {

// The cells a user may type into; the others show what follows from them.
constexpr int kEditableColumns[] = {PlayItemsView::kFile, PlayItemsView::kIn, PlayItemsView::kOut,
                                    PlayItemsView::kUo1, PlayItemsView::kUo2};

}  // namespace

PlayItemsView::PlayItemsView(PlaylistDocument& document, const PlaylistContext& context,
                             QWidget* parent)
    : QGroupBox("PlayList", parent), document_(document), context_(context) {
    setObjectName("gbPlayList");

    sgPLitem = new StringGrid(this);
    sgPLitem->setObjectName("sgPLitem");
    sgPLitem->setToolTip("PlayItems (Double click: Jump to Clip)");
    sgPLitem->setHeaders({"", "file", "type", "IN time", "OUT time", "length", "UO1", "UO2", "An"});
    sgPLitem->setSelectionMode(QAbstractItemView::SingleSelection);
    sgPLitem->setNarrowsToLeftColumn(true);
    sgPLitem->setColumnEditMask(kFile, "00000");
    for (const int col : {kIn, kOut})
        sgPLitem->setColumnEditMask(col, "00:00:00.000");
    for (const int col : {kUo1, kUo2})
        sgPLitem->setColumnEditMask(col, ">AAAAAAAA");
    const QString time = QStringLiteral("00:00:00.000");
    fitColumns(sgPLitem, {{kFile, "00000"},
                          {kType, "M2TS"},
                          {kIn, time},
                          {kOut, time},
                          {kLength, time},
                          {kUo1, "00000000"},
                          {kUo2, "00000000"},
                          {kAngles, "00"}});
    // Wide enough for the clip and its IN and OUT times; the rest scrolls.
    sgPLitem->setFixedWidth(gridWidthUpTo(sgPLitem, kOut));

    sgPIangles = new StringGrid(this);
    sgPIangles->setObjectName("sgPIangles");
    sgPIangles->setToolTip("Angles (Double click: Jump to Clip)");
    sgPIangles->setHeaders({"", "file", "type", "STC"});
    fitColumns(sgPIangles, {{1, "00000"}, {2, "M2TS"}, {3, "00"}});
    // A PlayItem has at most nine angles: one digit numbers them.
    sgPIangles->setGridColumnWidth(0, cellWidth(sgPIangles, "0"));
    sgPIangles->setFixedWidth(gridWidthUpTo(sgPIangles, 3, false));
    sgPIangles->hide();

    stnView = new StnView(document_, this);
    placeApplyButton();

    // Without angles the PlayItems panel narrows and the STN group takes the
    // room.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(sgPLitem);
    layout->addWidget(sgPIangles);
    layout->addWidget(stnView, 1);
    connectControls();
    clear();
}

// The button sits in the STN group's top row, after its "+" and "-": the
// STN table is what it copies.
void PlayItemsView::placeApplyButton() {
    bApply2CI = button(stnView, "Apply to clpi", "bApply2CI",
                       "Copy the stream attributes of the STN table into the clip's ProgramInfo");
    QLayout* group = stnView->layout();
    for (int i = 0; i < group->count(); ++i) {
        auto* row = qobject_cast<QBoxLayout*>(group->itemAt(i)->layout());
        const int after = row != nullptr ? row->indexOf(stnView->bbDelSTN) : -1;
        if (after < 0) continue;
        row->insertSpacing(after + 1, 8);
        row->insertWidget(after + 2, bApply2CI, 0, Qt::AlignBottom);
        return;
    }
}

void PlayItemsView::connectControls() {
    connect(sgPLitem, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) playItemRowChosen(row + 1);
            });
    connect(sgPLitem, &StringGrid::cellEdited, this, &PlayItemsView::playItemCellEdited);
    connect(sgPLitem, &StringGrid::insertPressed, this, &PlayItemsView::insertPlayItem);
    connect(sgPLitem, &StringGrid::shiftDeletePressed, this, &PlayItemsView::deletePlayItem);
    connect(sgPLitem, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { playItemDoubleClicked(row + 1); });
    connect(sgPIangles, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { angleDoubleClicked(row + 1); });
    connect(bApply2CI, &QPushButton::clicked, this, [this] {
        if (document_.good && selectedPlayItem() >= 0)
            emit applyToClipRequested(selectedPlayItem());
    });
}

void PlayItemsView::clear() {
    showing_ = true;
    sgPLitem->clearGrid();
    sgPIangles->clearGrid();
    sgPIangles->hide();
    showing_ = false;
    stnView->clear();
    enableEditing();
}

// Only a playlist read without error takes edits.
void PlayItemsView::enableEditing() {
    for (const int col : kEditableColumns)
        sgPLitem->setColumnEditable(col, document_.good);
    for (const int col : {kType, kLength, kAngles})
        sgPLitem->setColumnEditable(col, false);
    bApply2CI->setEnabled(document_.good && selectedPlayItem() >= 0);
}

void PlayItemsView::fillRows() {
    const auto& items = document_.playlist.playList.playItems;
    showing_ = true;
    if (items.empty()) {
        sgPLitem->clearGrid();
        // Insert must still reach the grid of an editable playlist.
        sgPLitem->setEnabled(document_.good);
    } else {
        sizeGrid(sgPLitem, items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            showPlayItemRow(static_cast<int>(i));
    }
    showing_ = false;
}

void PlayItemsView::showPlayItemRow(int item) {
    const auto i = static_cast<std::size_t>(item);
    showRow(sgPLitem, item + 1, playItemRowCells(i, document_.playlist.playList.playItems[i]));
}

void PlayItemsView::showPlayItems() {
    fillRows();
    if (document_.playlist.playList.playItems.empty()) {
        showAngles(-1);
        stnView->showPlayItem(-1);
    } else {
        selectPlayItem(0);
    }
    enableEditing();
}

int PlayItemsView::selectedPlayItem() const {
    const int count = static_cast<int>(document_.playlist.playList.playItems.size());
    const int row = sgPLitem->gridRow();
    return row >= 1 && row <= count ? row - 1 : -1;
}

void PlayItemsView::selectPlayItem(int item) {
    showing_ = true;
    selectGridRow(sgPLitem, item + 1);
    showing_ = false;
    showAngles(selectedPlayItem());
    stnView->showPlayItem(selectedPlayItem());
    bApply2CI->setEnabled(document_.good && selectedPlayItem() >= 0);
}

void PlayItemsView::playItemRowChosen(int row) {
    if (showing_ || row < 1) return;
    selectPlayItem(row - 1);
}

void PlayItemsView::showAngles(int item) {
    const auto& items = document_.playlist.playList.playItems;
    const TPlayItem* playItem = item >= 0 && item < static_cast<int>(items.size())
                                    ? &items[static_cast<std::size_t>(item)]
                                    : nullptr;
    if (playItem == nullptr || playItem->isMultiAngle == 0 || playItem->angles.clips.empty()) {
        sgPIangles->clearGrid();
        sgPIangles->hide();
        return;
    }
    const auto& clips = playItem->angles.clips;
    sizeGrid(sgPIangles, clips.size());
    for (std::size_t i = 0; i < clips.size(); ++i)
        showRow(sgPIangles, static_cast<int>(i) + 1, clipRefRowCells(i, clips[i]));
    sgPIangles->show();
}

// ---------------------------------------------------------------------------
// Editing

void PlayItemsView::playItemCellEdited(int col, int row, const QString& text) {
    const int item = row - 1;
    const int count = static_cast<int>(document_.playlist.playList.playItems.size());
    if (!document_.good || item < 0 || item >= count) return;
    const PlayItemCellEdit result = editPlayItemCell(
        document_.playlist, static_cast<std::size_t>(item), static_cast<PlayItemColumn>(col),
        text.toStdString(), context_.reporter->sink());
    if (result.edit == CellEdit::Typing) return;
    showPlayItemRow(item);
    // The first angle is the PlayItem's own clip.
    if (item == selectedPlayItem()) showAngles(item);
    if (result.cascade.subPlayItemsMoved) emit subPlayItemTimesMoved();
    if (!result.cascade.marksMoved.empty()) emit marksMoved();
}

// The new PlayItem goes behind the last selected row and plays the first
// clip of the clip list, which is what its row shows.
void PlayItemsView::insertPlayItem() {
    if (!document_.good) return;
    const int count = static_cast<int>(document_.playlist.playList.playItems.size());
    const int at = count == 0 ? 0 : std::clamp(sgPLitem->selectionBottom(), 1, count);
    const DiscFolder disc = context_.disc();
    const std::string clip = disc.clipinfs.empty() ? "00000" : disc.clipinfs.front();
    const auto inserted =
        lumora::insertPlayItem(document_.playlist, static_cast<std::size_t>(at), clip);
    if (!inserted) return;
    fillRows();
    selectPlayItem(static_cast<int>(*inserted));
    enableEditing();
    emit playItemsChanged();
}

void PlayItemsView::deletePlayItem() {
    const int item = selectedPlayItem();
    if (!document_.good || item < 0) return;
    const auto removed = lumora::deletePlayItem(document_.playlist, static_cast<std::size_t>(item));
    if (!removed) return;
    // Marks go with their PlayItem; the log says which, so none is lost unseen.
    for (const RemovedMark& mark : *removed)
        context_.reporter->log(removedMarkText(mark, static_cast<std::size_t>(item)));
    const int count = static_cast<int>(document_.playlist.playList.playItems.size());
    fillRows();
    if (count == 0) {
        showAngles(-1);
        stnView->showPlayItem(-1);
    } else {
        // The PlayItem that moved into its place, or the new last one.
        selectPlayItem(std::min(item, count - 1));
    }
    enableEditing();
    emit playItemsChanged();
}

// ---------------------------------------------------------------------------
// Jump to Clip

void PlayItemsView::playItemDoubleClicked(int row) {
    // In edit mode a double click opens the cell editor.
    if (sgPLitem->editMode()) return;
    const auto& items = document_.playlist.playList.playItems;
    if (row < 1 || row > static_cast<int>(items.size())) return;
    emit clipRequested(toQ(items[static_cast<std::size_t>(row - 1)].clipName));
}

void PlayItemsView::angleDoubleClicked(int row) {
    const auto& items = document_.playlist.playList.playItems;
    const int item = selectedPlayItem();
    if (item < 0) return;
    const auto& clips = items[static_cast<std::size_t>(item)].angles.clips;
    if (row < 1 || row > static_cast<int>(clips.size())) return;
    emit clipRequested(toQ(clips[static_cast<std::size_t>(row - 1)].clipName));
}

}  // namespace lumora::app
