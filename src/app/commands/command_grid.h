// The pieces both command grids share (the movie object commands on the BDMV
// tab and the button commands on the Menu tab): writing a command row with
// the facts it is drawn by, the cell drawing, and the tone an invalid word
// sounds.
//
// A row's cells and its drawing facts travel together: showCommandRow puts
// the five texts into the grid and the mark and operand use into the items,
// and CommandCellDelegate paints every body cell from them, so a grid never
// shows a text drawn by the facts of another command.
#pragma once

#include <QColor>
#include <QPalette>
#include <QStringList>
#include <QStyledItemDelegate>
#include <cstddef>
#include <functional>

#include "navigation/command_codec.h"

namespace lumora::app {

class StringGrid;

// Sounds a tone (frequency, duration).  Tests put a recorder here.
using ToneFunction = std::function<void(const Tone&)>;
// The program's tone: a short sine on the default audio output, the system
// beep where there is none.
void playTone(const Tone& tone);

// Columns of a command grid in grid coordinates ("No." is the number column).
inline constexpr int kCommandNumberColumn = 0;
inline constexpr int kCommandOpcodeColumn = 1;
inline constexpr int kCommandDestinationColumn = 2;
inline constexpr int kCommandSourceColumn = 3;
inline constexpr int kCommandLineColumn = 4;

// The headers of a command grid.
QStringList commandGridHeaders();

// Writes command row `row` into grid row row.number + 1 (the grid must have
// that row) with its drawing facts.
void showCommandRow(StringGrid& grid, const CommandRow& row);
// The facts a body cell of a grid row is drawn by, as showCommandRow stored
// them; a row never shown draws as a plain row.
CommandRow storedCommandRow(const StringGrid& grid, int gridRow);

// How one body cell is drawn: the paper, the plain part in `ink` (bold or
// not) and the comment part in italic `commentInk`.
struct CellDrawing {
    QColor paper;
    QColor ink;
    bool bold = false;
    QString plain;
    QString comment;  // empty when the cell holds no ";"
    QColor commentInk;
};
// The drawing of cell (gridCol, gridRow) of a command grid, in the colours
// of `palette` (its current colour group) for the window-text, highlight and
// grid colours.
CellDrawing commandCellDrawing(const StringGrid& grid, int gridCol, int gridRow, bool selected,
                               const QPalette& palette);

// Draws the body cells of a command grid by the codec's rule and leaves
// editing to the delegate the grid had before (the masked cell editor), so
// a grid in edit mode keeps its masks.
class CommandCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Installs the drawing on `grid`, keeping its editor delegate.
    static CommandCellDelegate* install(StringGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CommandCellDelegate(StringGrid* grid, QAbstractItemDelegate* editing);
    bool rowSelected(int tableRow) const;

    StringGrid* grid_;
    QAbstractItemDelegate* editing_;
};

}  // namespace lumora::app
