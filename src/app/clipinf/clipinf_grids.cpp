#include "app/clipinf/clipinf_grids.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"

namespace lumora::app {
namespace {

// A read-only grid with the headers and hint the clip tab gives it.
StringGrid* clipGrid(QWidget* parent, const QString& name, ClipGrid which) {
    auto* grid = new StringGrid(parent);
    grid->setObjectName(name);
    const ClipGridTexts& texts = clipGridTexts(which);
    grid->setToolTip(toQ(texts.hint));
    grid->setHeaders(toQList(texts.headers));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    return grid;
}

// Row numbers written in hexadecimal need room for all their digits.
void fitNumberColumn(StringGrid* grid, const QString& sample) {
    grid->setGridColumnWidth(0, cellWidth(grid, sample));
}

template <std::size_t N>
void fillRows(StringGrid* grid, const std::vector<std::array<std::string, N>>& rows) {
    sizeGrid(grid, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        showRow(grid, static_cast<int>(i) + 1, rows[i]);
}

QVBoxLayout* tightLayout(QWidget* box) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(3, 2, 3, 3);
    layout->setSpacing(3);
    return layout;
}

}  // namespace

// ---------------------------------------------------------------------------
// ProgramInfo

ProgramInfoView::ProgramInfoView(const ClipDocument& document, QWidget* parent)
    : QGroupBox("ProgramInfo", parent), document_(document) {
    setObjectName("gbProgramInfo");
    sgCI = clipGrid(this, "sgCI", ClipGrid::ProgramInfo);
    fitColumns(sgCI, {{1, "0000"}, {2, "DTS-HD XLL"}, {3, "1080p, 23.976, 16:9"}});
    // The details of a stream are the longest texts; they take what is left.
    sgCI->horizontalHeader()->setStretchLastSection(true);
    tightLayout(this)->addWidget(sgCI);

    connect(sgCI, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) emit streamChosen();
            });
    connect(sgCI, &QTableWidget::cellClicked, this, [this] { emit streamChosen(); });
    connect(sgCI, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit streamActivated(sgCI->cell(1, row + 1)); });
    clear();
}

void ProgramInfoView::clear() {
    sgCI->clearGrid();
}

void ProgramInfoView::showProgramInfo() {
    fillRows(sgCI, programInfoRows(document_.clip.programInfo));
    selectGridRow(sgCI, 1);
}

void ProgramInfoView::showStreams(const std::vector<std::size_t>& streams) {
    const auto& programs = document_.clip.programInfo.programSequences;
    if (programs.empty()) return;
    for (const std::size_t i : streams) {
        if (i < programs.front().streams.size())
            showRow(sgCI, static_cast<int>(i) + 1,
                    programStreamCells(i, programs.front().streams[i]));
    }
}

const TStreamCodingInfo* ProgramInfoView::streamAt(int row) const {
    if (row < 1) return nullptr;
    auto index = static_cast<std::size_t>(row - 1);
    for (const auto& program : document_.clip.programInfo.programSequences) {
        if (index < program.streams.size()) return &program.streams[index];
        index -= program.streams.size();
    }
    return nullptr;
}

std::optional<std::uint16_t> ProgramInfoView::selectedPid() const {
    const TStreamCodingInfo* stream = streamAt(sgCI->gridRow());
    if (stream == nullptr) return std::nullopt;
    return stream->streamPid;
}

std::array<std::string, 3> ProgramInfoView::selectedCells() const {
    const int row = sgCI->gridRow();
    return {sgCI->cell(1, row).toStdString(), sgCI->cell(2, row).toStdString(),
            sgCI->cell(3, row).toStdString()};
}

// ---------------------------------------------------------------------------
// SequenceInfo

SequenceInfoView::SequenceInfoView(const ClipDocument& document, QWidget* parent)
    : QGroupBox("SequenceInfo", parent), document_(document) {
    setObjectName("gbSequenceInfo");
    sgSequence = clipGrid(this, "sgSequence", ClipGrid::Sequences);
    fitColumns(sgSequence, {{1, "00000000"}, {2, "000"}, {3, "000"}});
    sgSTCseq = clipGrid(this, "sgSTCseq", ClipGrid::StcSequences);
    fitColumns(sgSTCseq, {{1, "0000"}, {2, "00000000"}, {3, "0:00:00.000"}, {4, "0:00:00.000"}});
    // A clip holds one or a few ATC sequences: two digits number them.
    for (StringGrid* grid : {sgSequence, sgSTCseq}) {
        fitNumberColumn(grid, "00");
        grid->horizontalHeader()->setStretchLastSection(true);
    }
    QVBoxLayout* layout = tightLayout(this);
    layout->addWidget(sgSequence, 2);
    layout->addWidget(sgSTCseq, 3);
    clear();
}

void SequenceInfoView::clear() {
    sgSequence->clearGrid();
    sgSTCseq->clearGrid();
}

void SequenceInfoView::showSequenceInfo() {
    const TSequenceInfo& info = document_.clip.sequenceInfo;
    sizeGrid(sgSequence, info.atcSequences.size());
    for (std::size_t i = 0; i < info.atcSequences.size(); ++i)
        showRow(sgSequence, static_cast<int>(i) + 1, sequenceRowCells(i, info.atcSequences[i]));
    fillRows(sgSTCseq, stcRows(info));
}

// ---------------------------------------------------------------------------
// CPI

CpiView::CpiView(const ClipDocument& document, QWidget* parent)
    : QGroupBox("CPI", parent), document_(document) {
    setObjectName("gbCPI");
    sgEPmap = clipGrid(this, "sgEPmap", ClipGrid::Cpi);
    fitColumns(sgEPmap, {{1, "0000"}, {2, "0"}, {3, "0000"}, {4, "00000"}, {5, "00000000"}});
    sgEPCoarse = clipGrid(this, "sgEPCoarse", ClipGrid::EpCoarse);
    fitNumberColumn(sgEPCoarse, "0000");
    fitColumns(sgEPCoarse, {{1, "00000"}, {2, "0000"}, {3, "00000000"}});
    sgEPfine = clipGrid(this, "sgEPfine", ClipGrid::EpFine);
    fitNumberColumn(sgEPfine, "00000");
    fitColumns(sgEPfine, {{1, "n"}, {2, "0"}, {3, "0000"}, {4, "00000"}});
    for (StringGrid* grid : {sgEPmap, sgEPCoarse, sgEPfine})
        grid->horizontalHeader()->setStretchLastSection(true);
    // Every column of the PID entries in view; the EP tables fit below them.
    const int width = std::max(
        {gridWidthUpTo(sgEPmap, 5), gridWidthUpTo(sgEPCoarse, 3), gridWidthUpTo(sgEPfine, 4)});
    for (StringGrid* grid : {sgEPmap, sgEPCoarse, sgEPfine})
        grid->setFixedWidth(width);

    QVBoxLayout* layout = tightLayout(this);
    layout->addWidget(sgEPmap, 2);
    layout->addWidget(sgEPCoarse, 3);
    layout->addWidget(sgEPfine, 4);

    connect(sgEPmap, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) showEntryPoints(row);
            });
    clear();
}

void CpiView::clear() {
    for (StringGrid* grid : {sgEPmap, sgEPCoarse, sgEPfine})
        grid->clearGrid();
}

void CpiView::showCpi() {
    const TCPI& cpi = document_.clip.cpi;
    showing_ = true;
    sizeGrid(sgEPmap, cpi.pidEntries.size());
    for (std::size_t i = 0; i < cpi.pidEntries.size(); ++i)
        showRow(sgEPmap, static_cast<int>(i) + 1, cpiRowCells(i, cpi));
    selectGridRow(sgEPmap, 1);
    showing_ = false;
    showEntryPoints(0);
}

void CpiView::showEntryPoints(int entry) {
    const TCPI& cpi = document_.clip.cpi;
    if (entry < 0 || entry >= static_cast<int>(cpi.epMaps.size()) ||
        entry >= static_cast<int>(cpi.pidEntries.size())) {
        sgEPCoarse->clearGrid();
        sgEPfine->clearGrid();
        return;
    }
    const TEP_map_fosPID& map = cpi.epMaps[static_cast<std::size_t>(entry)];
    sizeGrid(sgEPCoarse, map.coarse.size());
    for (std::size_t i = 0; i < map.coarse.size(); ++i)
        showRow(sgEPCoarse, static_cast<int>(i) + 1, epCoarseRowCells(i, map.coarse[i]));
    sizeGrid(sgEPfine, map.fine.size());
    for (std::size_t i = 0; i < map.fine.size(); ++i)
        showRow(sgEPfine, static_cast<int>(i) + 1, epFineRowCells(i, map.fine[i]));
}

}  // namespace lumora::app
