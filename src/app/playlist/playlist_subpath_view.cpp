#include "app/playlist/playlist_subpath_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "playlist/playitem_edit.h"
#include "playlist/playlist_rows.h"

namespace lumora::app {
namespace {

// The cells a user may type into; "type" and "An" follow from the others.
constexpr std::array<int, 8> kEditableColumns{
    SubPathView::kFile, SubPathView::kConn, SubPathView::kMulti,  SubPathView::kStc,
    SubPathView::kIn,   SubPathView::kOut,  SubPathView::kSyncPi, SubPathView::kSyncPts};

}  // namespace

SubPathView::SubPathView(PlaylistDocument& document, QWidget* parent)
    : QGroupBox("SubPath", parent), document_(document) {
    setObjectName("gbSubPath");
    buildSubPlayItemGrid();
    buildClipEntryGrid();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(buildSubPathPanel());
    layout->addWidget(sgSubPlayItem, 1);
    layout->addWidget(sgAngles);
    connectControls();
    clear();
}

// The SubPath grid with the type and repeat lists of the selected SubPath
// and the "+" and "-" beside it.
QWidget* SubPathView::buildSubPathPanel() {
    auto* panel = new QWidget(this);
    sgSubPath = new StringGrid(panel);
    sgSubPath->setObjectName("sgSubPath");
    sgSubPath->setToolTip("SubPath");
    sgSubPath->setHeaders({"", "type", "repeat", "item"});
    sgSubPath->setSelectionMode(QAbstractItemView::SingleSelection);
    fitColumns(sgSubPath, {{1, "OoM Async"}, {2, "Yes"}, {3, "000"}});
    sgSubPath->setFixedWidth(gridWidthUpTo(sgSubPath, 3));

    cbSubPathType = listBox(panel, "cbSubPathType", QString(), toQList(subPathTypeItems()));
    cbSPrepeat = listBox(panel, "cbSPrepeat", QString(), toQList(repeatItems()));
    bbSPins = narrowButton(panel, "+", "bbSPins", "Insert SubPath item");
    bbSPdel = narrowButton(panel, "-", "bbSPdel", "Delete SubPath item");
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(3);
    buttons->addWidget(bbSPins);
    buttons->addWidget(bbSPdel);
    buttons->addStretch(1);
    auto* lists = new QVBoxLayout;
    lists->setSpacing(3);
    lists->addWidget(cbSubPathType);
    lists->addWidget(cbSPrepeat);
    lists->addLayout(buttons);
    lists->addStretch(1);

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(sgSubPath);
    layout->addLayout(lists);
    return panel;
}

void SubPathView::buildSubPlayItemGrid() {
    sgSubPlayItem = new StringGrid(this);
    sgSubPlayItem->setObjectName("sgSubPlayItem");
    sgSubPlayItem->setToolTip("SubPlayItems (Double click: Jump to Clip)");
    sgSubPlayItem->setHeaders({"", "file", "type", "conn", "multi", "STC", "IN time", "OUT time",
                               "sync PI", "sync PTS", "An"});
    sgSubPlayItem->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSubPlayItem->setNarrowsToLeftColumn(true);
    const std::array<std::pair<int, const char*>, 8> masks{{{kFile, "00000"},
                                                            {kConn, "0"},
                                                            {kMulti, ">L"},
                                                            {kStc, "000"},
                                                            {kIn, "00:00:00.000"},
                                                            {kOut, "00:00:00.000"},
                                                            {kSyncPi, "000"},
                                                            {kSyncPts, "00:00:00.000"}}};
    for (const auto& [col, mask] : masks)
        sgSubPlayItem->setColumnEditMask(col, mask);
    const QString time = QStringLiteral("00:00:00.000");
    fitColumns(sgSubPlayItem, {{kFile, "00000"},
                               {kType, "M2TS"},
                               {kConn, "00"},
                               {kMulti, "Yes"},
                               {kStc, "000"},
                               {kIn, time},
                               {kOut, time},
                               {kSyncPi, "000"},
                               {kSyncPts, time},
                               {kAn, "00"}});
}

void SubPathView::buildClipEntryGrid() {
    sgAngles = new StringGrid(this);
    sgAngles->setObjectName("sgAngles");
    sgAngles->setToolTip("Angles (Double click: Jump to Clip)");
    sgAngles->setHeaders({"", "file", "type", "STC"});
    fitColumns(sgAngles, {{1, "00000"}, {2, "M2TS"}, {3, "00"}});
    sgAngles->setGridColumnWidth(0, cellWidth(sgAngles, "00"));
    sgAngles->setFixedWidth(gridWidthUpTo(sgAngles, 3));
    sgAngles->hide();
}

void SubPathView::connectControls() {
    connect(sgSubPath, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) selectSubPath(row);
            });
    connect(sgSubPlayItem, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) selectSubPlayItem(row);
            });
    connect(sgSubPath, &StringGrid::insertPressed, this, &SubPathView::insertSubPath);
    connect(sgSubPath, &StringGrid::deletePressed, this, &SubPathView::deleteSubPath);
    connect(bbSPins, &QPushButton::clicked, this, &SubPathView::insertSubPath);
    connect(bbSPdel, &QPushButton::clicked, this, &SubPathView::deleteSubPath);
    connect(cbSubPathType, &QComboBox::activated, this, &SubPathView::typeChosen);
    connect(cbSPrepeat, &QComboBox::activated, this, &SubPathView::repeatChosen);
    connect(sgSubPlayItem, &StringGrid::cellEdited, this, &SubPathView::subPlayItemCellEdited);
    connect(sgSubPlayItem, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { subPlayItemDoubleClicked(row + 1); });
    connect(sgAngles, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { clipEntryDoubleClicked(row + 1); });
}

// ---------------------------------------------------------------------------
// Showing

void SubPathView::clear() {
    showing_ = true;
    for (StringGrid* grid : {sgSubPath, sgSubPlayItem, sgAngles})
        grid->clearGrid();
    sgAngles->hide();
    for (QComboBox* box : {cbSubPathType, cbSPrepeat}) {
        box->setCurrentIndex(-1);
        box->setEnabled(false);
    }
    cbSubPathType->setToolTip(QString());
    showing_ = false;
    enableControls();
}

// Only a playlist read without error takes edits.
void SubPathView::enableControls() {
    const auto count = document_.playlist.playList.subPaths.size();
    bbSPins->setEnabled(document_.good && count < kMaxSubPaths);
    bbSPdel->setEnabled(document_.good && count > 0);
    for (const int col : kEditableColumns)
        sgSubPlayItem->setColumnEditable(col, document_.good);
    for (const int col : {kType, kAn})
        sgSubPlayItem->setColumnEditable(col, false);
}

void SubPathView::showSubPaths() {
    if (document_.playlist.playList.subPaths.empty()) {
        clear();
        return;
    }
    showSubPathRows();
    selectSubPath(0);
    enableControls();
}

void SubPathView::showSubPathRows() {
    const auto& paths = document_.playlist.playList.subPaths;
    showing_ = true;
    sizeGrid(sgSubPath, paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i)
        showSubPathRow(static_cast<int>(i));
    showing_ = false;
}

void SubPathView::showSubPathRow(int path) {
    const auto i = static_cast<std::size_t>(path);
    showRow(sgSubPath, path + 1, subPathRowCells(i, document_.playlist.playList.subPaths[i]));
}

TSubPath* SubPathView::subPath(int path) const {
    auto& paths = document_.playlist.playList.subPaths;
    return path >= 0 && path < static_cast<int>(paths.size())
               ? &paths[static_cast<std::size_t>(path)]
               : nullptr;
}

int SubPathView::selectedSubPath() const {
    const int path = sgSubPath->gridRow() - 1;
    return subPath(path) != nullptr ? path : -1;
}

int SubPathView::selectedSubPlayItem() const {
    const TSubPath* path = subPath(selectedSubPath());
    const int item = sgSubPlayItem->gridRow() - 1;
    return path != nullptr && item >= 0 && item < static_cast<int>(path->subPlayItems.size()) ? item
                                                                                              : -1;
}

void SubPathView::selectSubPath(int path) {
    if (subPath(path) == nullptr) return;
    showing_ = true;
    selectGridRow(sgSubPath, path + 1);
    showing_ = false;
    showSubPathLists(path);
    showSubPlayItems(path);
}

void SubPathView::showSubPathLists(int path) {
    const TSubPath& shown = *subPath(path);
    showing_ = true;
    // A type the list does not hold leaves it without a selection.
    showItem(cbSubPathType, shown.type);
    showItem(cbSPrepeat, shown.repeat != 0 ? 1 : 0);
    showing_ = false;
    cbSubPathType->setToolTip(toQ(subPathTypeHint(shown.type)));
    cbSubPathType->setEnabled(document_.good);
    cbSPrepeat->setEnabled(document_.good && repeatListEnabled(shown.type));
}

void SubPathView::showSubPlayItems(int path) {
    const auto& items = subPath(path)->subPlayItems;
    showing_ = true;
    sizeGrid(sgSubPlayItem, items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        showRow(sgSubPlayItem, static_cast<int>(i) + 1, subPlayItemRowCells(i, items[i]));
    showing_ = false;
    if (items.empty()) {
        showClipEntries(nullptr);
        return;
    }
    selectSubPlayItem(0);
}

void SubPathView::refreshSubPlayItems() {
    const TSubPath* path = subPath(selectedSubPath());
    if (path == nullptr) return;
    const auto& items = path->subPlayItems;
    for (std::size_t i = 0; i < items.size(); ++i)
        showRow(sgSubPlayItem, static_cast<int>(i) + 1, subPlayItemRowCells(i, items[i]));
}

void SubPathView::selectSubPlayItem(int item) {
    const TSubPath* path = subPath(selectedSubPath());
    if (path == nullptr || item < 0 || item >= static_cast<int>(path->subPlayItems.size())) return;
    showing_ = true;
    selectGridRow(sgSubPlayItem, item + 1);
    showing_ = false;
    showClipEntries(&path->subPlayItems[static_cast<std::size_t>(item)]);
}

void SubPathView::showClipEntries(const TSubPlayItem* item) {
    if (item == nullptr || item->clips.empty()) {
        sgAngles->clearGrid();
        sgAngles->hide();
        return;
    }
    sizeGrid(sgAngles, item->clips.size());
    for (std::size_t i = 0; i < item->clips.size(); ++i)
        showRow(sgAngles, static_cast<int>(i) + 1, clipRefRowCells(i, item->clips[i]));
    sgAngles->show();
}

// ---------------------------------------------------------------------------
// SubPath type and repeat

void SubPathView::typeChosen(int item) {
    const int path = selectedSubPath();
    if (showing_ || !document_.good || path < 0 || item < 0) return;
    setSubPathType(document_.playlist, static_cast<std::size_t>(path),
                   static_cast<std::uint8_t>(item));
    showSubPathRow(path);
    showSubPathLists(path);
}

void SubPathView::repeatChosen(int item) {
    const int path = selectedSubPath();
    if (showing_ || !document_.good || path < 0 || item < 0) return;
    setSubPathRepeat(document_.playlist, static_cast<std::size_t>(path),
                     static_cast<std::uint16_t>(item));
    showSubPathRow(path);
}

// ---------------------------------------------------------------------------
// Insert and delete

void SubPathView::insertSubPath() {
    if (!document_.good) return;
    const int count = static_cast<int>(document_.playlist.playList.subPaths.size());
    const int selected = selectedSubPath();
    const int at = count == 0 ? 0 : (selected < 0 ? count : selected + 1);
    const auto inserted = lumora::insertSubPath(document_.playlist, static_cast<std::size_t>(at));
    if (!inserted) return;
    showSubPathRows();
    selectSubPath(static_cast<int>(*inserted));
    enableControls();
    emit subPathsChanged();
}

void SubPathView::deleteSubPath() {
    const int path = selectedSubPath();
    if (!document_.good || path < 0) return;
    lumora::deleteSubPath(document_.playlist, static_cast<std::size_t>(path));
    if (document_.playlist.playList.subPaths.empty()) {
        clear();
    } else {
        showSubPathRows();
        // The selection moves up a row, unless it was on the first.
        selectSubPath(std::max(path - 1, 0));
        enableControls();
    }
    emit subPathsChanged();
}

// ---------------------------------------------------------------------------
// SubPlayItems

void SubPathView::subPlayItemCellEdited(int col, int row, const QString& text) {
    const int path = selectedSubPath();
    const TSubPath* shown = subPath(path);
    if (!document_.good || shown == nullptr || row < 1 ||
        row > static_cast<int>(shown->subPlayItems.size())) {
        return;
    }
    const auto item = static_cast<std::size_t>(row - 1);
    const CellEdit edit =
        editSubPlayItemCell(document_.playlist, static_cast<std::size_t>(path), item,
                            static_cast<lumora::SubPlayItemColumn>(col), text.toStdString());
    if (edit == CellEdit::Typing) return;
    showRow(sgSubPlayItem, row, subPlayItemRowCells(item, shown->subPlayItems[item]));
    if (row - 1 == selectedSubPlayItem()) showClipEntries(&shown->subPlayItems[item]);
}

void SubPathView::subPlayItemDoubleClicked(int row) {
    // In edit mode a double click opens the cell editor.
    if (sgSubPlayItem->editMode()) return;
    const TSubPath* path = subPath(selectedSubPath());
    if (path == nullptr || row < 1 || row > static_cast<int>(path->subPlayItems.size())) return;
    emit clipRequested(toQ(path->subPlayItems[static_cast<std::size_t>(row - 1)].clipName));
}

void SubPathView::clipEntryDoubleClicked(int row) {
    const TSubPath* path = subPath(selectedSubPath());
    const int item = selectedSubPlayItem();
    if (path == nullptr || item < 0) return;
    const auto& clips = path->subPlayItems[static_cast<std::size_t>(item)].clips;
    if (row < 1 || row > static_cast<int>(clips.size())) return;
    emit clipRequested(toQ(clips[static_cast<std::size_t>(row - 1)].clipName));
}

}  // namespace lumora::app
