// The read-only groups of the CLIPINF tab: ProgramInfo (the clip's elementary
// streams), SequenceInfo (ATC and STC sequences) and the CPI with its EP map.
// Each shows a part of the current clip; the EP grids follow the CPI row the
// user picks.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/clipinf/clipinf_context.h"

namespace lumora::app {

class StringGrid;

class ProgramInfoView : public QGroupBox {
    Q_OBJECT
public:
    explicit ProgramInfoView(const ClipDocument& document, QWidget* parent = nullptr);

    void clear();
    // One row per stream of every program sequence; the first row selected.
    void showProgramInfo();
    // Rewrites the rows of the given streams of the first program sequence
    // (0-based).
    void showStreams(const std::vector<std::size_t>& streams);
    // The PID of the selected row, nothing when no stream is selected.
    std::optional<std::uint16_t> selectedPid() const;
    // The selected row's "PID", "Stream type" and "Details" cells (they name
    // the file "Save P&ID" writes).
    std::array<std::string, 3> selectedCells() const;

    StringGrid* sgCI;

signals:
    // A row was clicked (or selected by the keyboard).
    void streamChosen();
    // A row was double-clicked; `pidCell` is the text of its "PID" cell.
    void streamActivated(const QString& pidCell);

private:
    const TStreamCodingInfo* streamAt(int row) const;

    const ClipDocument& document_;
};

class SequenceInfoView : public QGroupBox {
    Q_OBJECT
public:
    explicit SequenceInfoView(const ClipDocument& document, QWidget* parent = nullptr);

    void clear();
    void showSequenceInfo();

    StringGrid* sgSequence;
    StringGrid* sgSTCseq;

private:
    const ClipDocument& document_;
};

class CpiView : public QGroupBox {
    Q_OBJECT
public:
    explicit CpiView(const ClipDocument& document, QWidget* parent = nullptr);

    void clear();
    // The PID entries of the EP map, and the EP tables of the first.
    void showCpi();
    // The EP coarse and fine tables of PID entry `entry` (0-based).
    void showEntryPoints(int entry);

    StringGrid* sgEPmap;
    StringGrid* sgEPCoarse;
    StringGrid* sgEPfine;

private:
    const ClipDocument& document_;
    bool showing_ = false;
};

}  // namespace lumora::app
