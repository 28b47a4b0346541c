// The string grid every grid of the program is built on, and the pop-up menu
// that switches grids between read-only and edit mode.
//
// Grid coordinates.  The program addresses a grid as (column, row) with row 0
// holding the column headers and column 0 a row number (or, for a grid laid
// out the other way round, the row headers); data cells are columns 1..n and
// rows 1..m.  On the QTableWidget underneath:
//   - row 0 is the horizontal header: cell(c, 0) is the header item of table
//     column c - 1;
//   - column 0 is the vertical header: cell(0, r) is the header item of table
//     row r - 1, so row numbers look like headers and can never be edited;
//   - cell (0, 0) is the corner button above the row numbers, painted with its
//     own text;
//   - every other cell (c, r) is item(r - 1, c - 1).
// Use the grid-coordinate functions below rather than QTableWidget's own
// row/column functions, which count data rows and columns from 0.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableWidget>

#include <map>
#include <optional>

class QAbstractButton;
class QAction;
class QLineEdit;

namespace lumora::app {

class GridPopupMenu;

// Translates an edit mask of the classic masked-edit notation ("0" digit
// required, "9" digit optional, "L"/"l" letter, "A"/"a" letter or digit,
// "C"/"c" any character, "#" digit or sign optional, ">" upper-case and "<"
// lower-case what follows, "<>" neither, "\" quotes the next character, "_" a
// blank; anything else is literal; ";" starts the notation's trailing options,
// which are dropped) into a QLineEdit input mask.  An empty mask stays empty.
QString qtInputMask(const QString& classicMask);

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    // What "Edit mode" does to a grid.  Full: in-place editing on, whole-row
    // selection off and the cell editor always shown on the current cell (and,
    // when asked for, the selection narrowed to its leftmost column).
    // InPlaceOnly: in-place editing on, nothing else changes.
    enum class EditStyle { Full, InPlaceOnly };

    explicit StringGrid(QWidget* parent = nullptr);

    // --- Layout in grid coordinates --------------------------------------
    // Row 0: headers[c] is the header of column c (headers[0] is the corner);
    // the grid gets headers.size() - 1 data columns.
    void setHeaders(const QStringList& headers);
    // Column 0 for a grid whose column 0 holds the row headers: headers[r] is
    // the header of row r (headers[0] is the corner); the grid gets
    // headers.size() - 1 data rows.
    void setHeaderColumn(const QStringList& headers);

    int dataRows() const { return rowCount(); }
    void setDataRows(int rows);
    int dataColumns() const { return columnCount(); }
    void setDataColumns(int columns);
    // Inserts an empty data row before `row` (dataRows() + 1 appends) and
    // removes data row `row`; rows below move.
    void insertDataRow(int row);
    void removeDataRow(int row);

    // Any cell, headers included; "" outside the grid.
    QString cell(int col, int row) const;
    // Any cell, headers included; ignored outside the grid.
    void setCell(int col, int row, const QString& text);
    void setRowNumber(int row, const QString& text) { setCell(0, row, text); }

    // Back to the header row plus one empty data row, disabled.
    void clearGrid();
    // The same for a grid with a header column: the header column plus one
    // empty data column (its row-0 header emptied too), disabled.
    void clearGridColumns();

    // --- Cursor and selection in grid coordinates (0 when there is none) --
    int gridCol() const;
    int gridRow() const;
    void setGridCursor(int col, int row);
    int selectionTop() const;
    int selectionBottom() const;

    // --- Sizes -------------------------------------------------------------
    void setGridColumnWidth(int col, int width);
    int gridColumnWidth(int col) const;
    void setDefaultRowHeight(int height);

    // --- Editing -------------------------------------------------------------
    void setEditStyle(EditStyle style) { editStyle_ = style; }
    EditStyle editStyle() const { return editStyle_; }
    // Full style only: entering edit mode keeps the selected rows but only the
    // selection's leftmost column.
    void setNarrowsToLeftColumn(bool narrows) { narrowsToLeftColumn_ = narrows; }
    bool narrowsToLeftColumn() const { return narrowsToLeftColumn_; }

    // Grids start read-only with whole-row selection.
    void setEditMode(bool on);
    bool editMode() const { return editMode_; }

    // Masks in the classic notation (see qtInputMask).  A row mask wins over a
    // column mask, for grids whose rows hold different fields.  An edit is
    // taken only when the text fills every required position of the cell's
    // mask (optional positions may stay empty and are left out of the text);
    // otherwise it is dropped and the cell keeps its text.
    void setColumnEditMask(int col, const QString& mask);
    void setRowEditMask(int row, const QString& mask);
    QString editMask(int col, int row) const;

    void setColumnEditable(int col, bool editable);
    void setRowEditable(int row, bool editable);
    // Whether the cell can be edited in edit mode (header cells never).
    bool isCellEditable(int col, int row) const;

    // Set by GridPopupMenu::registerGrid: a right mouse press opens it.
    void setPopupMenu(GridPopupMenu* menu);

    // Whether a cell editor is open, and which (nullptr when none).
    bool isEditing() const { return state() == EditingState; }
    QLineEdit* cellEditor() const;

    // The view's edit(index) stays callable next to the override below.
    using QTableWidget::edit;

signals:
    // A cell edit was taken: the grid already shows `text`; the owner applies
    // it to its model and may rewrite the cell.
    void cellEdited(int col, int row, const QString& text);
    void insertPressed();
    void deletePressed();
    void shiftDeletePressed();
    void editModeChanged(bool on);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    friend class MaskedCellDelegate;
    struct PendingEdit {
        int col = 0;
        int row = 0;
        QString text;
    };

    // Called by the cell editor's delegate when an edit is committed: keeps it
    // when it fills the mask; it is applied once the editor has closed, so the
    // owner's reaction (message boxes included) never runs inside the editor.
    void keepEditedText(const QModelIndex& index, const QLineEdit& editor);
    void applyPendingEdit();
    void finishOpenEdit();

    void scheduleEditorShow();
    void showEditorIfWanted();
    bool holdsKeyboardFocus() const;
    void narrowSelectionToLeftColumn();
    void widenSelectionToRows();

    void fillMissingHeaderItems();
    QTableWidgetItem* headerItem(Qt::Orientation orientation, int section);
    void paintCorner(QAbstractButton& corner) const;
    void fitRowNumberColumn();

    EditStyle editStyle_ = EditStyle::Full;
    bool narrowsToLeftColumn_ = false;
    bool editMode_ = false;
    bool editorShowPending_ = false;
    std::optional<PendingEdit> pendingEdit_;
    QPointer<QLineEdit> openEditor_;

    QString cornerText_;
    QAbstractButton* corner_ = nullptr;
    std::map<int, QString> columnMasks_;
    std::map<int, QString> rowMasks_;
    std::map<int, bool> columnEditable_;
    std::map<int, bool> rowEditable_;
    QPointer<GridPopupMenu> popupMenu_;
};

// The grid pop-up menu: "Edit mode" and "Read only", both checkable.  It opens
// at the pointer on a right mouse press over a registered grid; its items act
// on the registered grid that holds the keyboard focus.  The main window keeps
// one instance for all its grids.
class GridPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit GridPopupMenu(QWidget* parent = nullptr);

    void registerGrid(StringGrid* grid);
    QAction* editModeAction() const { return editMode_; }
    QAction* readOnlyAction() const { return readOnly_; }

    // The registered grid holding the keyboard focus (directly or through its
    // cell editor), or nullptr.
    StringGrid* focusedGrid() const;
    // Sets the check marks from the focused grid and pops up at `globalPos`.
    void popupFor(const QPoint& globalPos);

private:
    void takeTargetAndChecks();
    void switchTarget(bool editMode);
    void showTargetChecks();

    QAction* editMode_;
    QAction* readOnly_;
    QList<QPointer<StringGrid>> grids_;
    QPointer<StringGrid> target_;
};

}  // namespace lumora::app
