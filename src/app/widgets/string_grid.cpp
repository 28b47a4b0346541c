#include "app/widgets/string_grid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>

#include <algorithm>

namespace lumora::app {
namespace {

constexpr int kDefaultColumnWidth = 64;
// Characters QLineEdit reads as mask syntax; as literals they need a "\".
const QString kQtMaskSyntax = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\");

QChar qtMaskCharFor(QChar classic) {
    switch (classic.unicode()) {
        case '0':
            return QLatin1Char('9');
        case '9':
            return QLatin1Char('0');
        case '#':
            return QLatin1Char('#');
        case 'L':
            return QLatin1Char('A');
        case 'l':
            return QLatin1Char('a');
        case 'A':
            return QLatin1Char('N');
        case 'a':
            return QLatin1Char('n');
        case 'C':
            return QLatin1Char('X');
        case 'c':
            return QLatin1Char('x');
        default:
            return QChar();
    }
}

QString qtLiteral(QChar c) {
    return kQtMaskSyntax.contains(c) ? QStringLiteral("\\") + c : QString(c);
}

}  // namespace

QString qtInputMask(const QString& classicMask) {
    QString out;
    for (qsizetype i = 0; i < classicMask.size(); ++i) {
        const QChar c = classicMask[i];
        if (c == QLatin1Char(';')) break;  // the notation's trailing options
        if (c == QLatin1Char('\\')) {
            if (++i < classicMask.size()) out += qtLiteral(classicMask[i]);
        } else if (c == QLatin1Char('<') && i + 1 < classicMask.size() &&
                   classicMask[i + 1] == QLatin1Char('>')) {
            out += QLatin1Char('!');
            ++i;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            out += c;
        } else if (c == QLatin1Char('!')) {
            // Only says where blanks go in the saved text; nothing to show.
        } else if (c == QLatin1Char('_')) {
            out += QLatin1Char(' ');
        } else if (const QChar mapped = qtMaskCharFor(c); !mapped.isNull()) {
            out += mapped;
        } else {
            out += qtLiteral(c);
        }
    }
    return out;
}

// The cell editor: a line edit carrying the cell's mask.  Enter always ends the
// edit (the stock delegate keeps an editor whose mask is not filled open, which
// would trap the user in the cell); what is taken is decided by the grid.
class MaskedCellDelegate : public QStyledItemDelegate {
public:
    explicit MaskedCellDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setInputMask(qtInputMask(grid_->editMask(index.column() + 1, index.row() + 1)));
        grid_->openEditor_ = editor;
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        line->setText(index.data(Qt::EditRole).toString());
        line->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        grid_->keepEditedText(index, *static_cast<const QLineEdit*>(editor));
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (editor != nullptr && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                return true;
            }
            // In edit mode the editor always holds the focus; Shift+Delete
            // (which the line edit would take as "cut") deletes the row.
            const auto modifiers =
                static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
            if (key == Qt::Key_Delete && modifiers == Qt::ShiftModifier) {
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                emit grid_->shiftDeletePressed();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    StringGrid* grid_;
};

// --- StringGrid ---------------------------------------------------------------

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new MaskedCellDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ContiguousSelection);
    setWordWrap(false);
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setDefaultRowHeight(fontMetrics().height() + 6);

    // Without items of their own the headers would number the sections; the
    // program decides what row 0 and column 0 show.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &StringGrid::fillMissingHeaderItems);
    connect(model(), &QAbstractItemModel::columnsInserted, this,
            &StringGrid::fillMissingHeaderItems);

    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_ != nullptr) corner_->installEventFilter(this);
    fitRowNumberColumn();
}

void StringGrid::setHeaders(const QStringList& headers) {
    if (headers.isEmpty()) return;
    setColumnCount(static_cast<int>(headers.size()) - 1);
    for (int col = 0; col < headers.size(); ++col)
        setCell(col, 0, headers[col]);
}

void StringGrid::setHeaderColumn(const QStringList& headers) {
    if (headers.isEmpty()) return;
    setRowCount(static_cast<int>(headers.size()) - 1);
    for (int row = 0; row < headers.size(); ++row)
        setCell(0, row, headers[row]);
}

void StringGrid::setDataRows(int rows) {
    finishOpenEdit();
    setRowCount(std::max(rows, 0));
}

void StringGrid::setDataColumns(int columns) {
    finishOpenEdit();
    setColumnCount(std::max(columns, 0));
}

void StringGrid::insertDataRow(int row) {
    if (row < 1 || row > dataRows() + 1) return;
    finishOpenEdit();
    insertRow(row - 1);
}

void StringGrid::removeDataRow(int row) {
    if (row < 1 || row > dataRows()) return;
    finishOpenEdit();
    removeRow(row - 1);
}

QString StringGrid::cell(int col, int row) const {
    if (col < 0 || row < 0 || col > dataColumns() || row > dataRows()) return {};
    if (col == 0 && row == 0) return cornerText_;
    const QTableWidgetItem* found = nullptr;
    if (row == 0) {
        found = horizontalHeaderItem(col - 1);
    } else if (col == 0) {
        found = verticalHeaderItem(row - 1);
    } else {
        found = item(row - 1, col - 1);
    }
    return found != nullptr ? found->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col > dataColumns() || row > dataRows()) return;
    if (col == 0 && row == 0) {
        cornerText_ = text;
        fitRowNumberColumn();
        if (corner_ != nullptr) corner_->update();
        return;
    }
    if (row == 0) {
        headerItem(Qt::Horizontal, col - 1)->setText(text);
        return;
    }
    if (col == 0) {
        headerItem(Qt::Vertical, row - 1)->setText(text);
        return;
    }
    if (QTableWidgetItem* existing = item(row - 1, col - 1)) {
        existing->setText(text);
    } else {
        setItem(row - 1, col - 1, new QTableWidgetItem(text));
    }
}

void StringGrid::clearGrid() {
    setDataRows(1);
    for (int col = 0; col <= dataColumns(); ++col)
        setCell(col, 1, QString());
    setEnabled(false);
}

void StringGrid::clearGridColumns() {
    setDataColumns(1);
    for (int row = 0; row <= dataRows(); ++row)
        setCell(1, row, QString());
    setEnabled(false);
}

int StringGrid::gridCol() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

int StringGrid::gridRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void StringGrid::setGridCursor(int col, int row) {
    if (col < 1 || row < 1 || col > dataColumns() || row > dataRows()) return;
    setCurrentCell(row - 1, col - 1);
}

int StringGrid::selectionTop() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) return gridRow();
    int top = ranges.first().topRow();
    for (const auto& range : ranges)
        top = std::min(top, range.topRow());
    return top + 1;
}

int StringGrid::selectionBottom() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) return gridRow();
    int bottom = ranges.first().bottomRow();
    for (const auto& range : ranges)
        bottom = std::max(bottom, range.bottomRow());
    return bottom + 1;
}

void StringGrid::setGridColumnWidth(int col, int width) {
    if (col == 0) {
        verticalHeader()->setFixedWidth(width);
    } else if (col <= dataColumns()) {
        setColumnWidth(col - 1, width);
    }
}

int StringGrid::gridColumnWidth(int col) const {
    if (col == 0) return verticalHeader()->width();
    return col <= dataColumns() ? columnWidth(col - 1) : 0;
}

void StringGrid::setDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setMinimumSectionSize(
        std::min(height, verticalHeader()->minimumSectionSize()));
    horizontalHeader()->setFixedHeight(height);
    for (int row = 0; row < rowCount(); ++row)
        setRowHeight(row, height);
}

// --- Edit mode ----------------------------------------------------------------

void StringGrid::setEditMode(bool on) {
    if (!on) finishOpenEdit();
    const bool changed = on != editMode_;
    editMode_ = on;
    setEditTriggers(on ? DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed
                       : NoEditTriggers);
    if (editStyle_ == EditStyle::Full) {
        if (on) {
            setSelectionBehavior(SelectItems);
            if (narrowsToLeftColumn_) narrowSelectionToLeftColumn();
            scheduleEditorShow();
        } else {
            setSelectionBehavior(SelectRows);
            widenSelectionToRows();
        }
    }
    if (changed) emit editModeChanged(on);
}

void StringGrid::narrowSelectionToLeftColumn() {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty() || selectionModel() == nullptr) return;
    int left = ranges.first().leftColumn();
    for (const auto& range : ranges)
        left = std::min(left, range.leftColumn());
    const int top = selectionTop() - 1;
    const int bottom = selectionBottom() - 1;
    const int row = std::clamp(gridRow() - 1, top, bottom);
    selectionModel()->setCurrentIndex(model()->index(row, left), QItemSelectionModel::NoUpdate);
    clearSelection();
    setRangeSelected(QTableWidgetSelectionRange(top, left, bottom, left), true);
}

void StringGrid::widenSelectionToRows() {
    if (selectedRanges().isEmpty() || columnCount() == 0) return;
    const int top = selectionTop() - 1;
    const int bottom = selectionBottom() - 1;
    clearSelection();
    setRangeSelected(QTableWidgetSelectionRange(top, 0, bottom, columnCount() - 1), true);
}

void StringGrid::setColumnEditMask(int col, const QString& mask) {
    columnMasks_[col] = mask;
}

void StringGrid::setRowEditMask(int row, const QString& mask) {
    rowMasks_[row] = mask;
}

QString StringGrid::editMask(int col, int row) const {
    if (const auto found = rowMasks_.find(row); found != rowMasks_.end()) return found->second;
    if (const auto found = columnMasks_.find(col); found != columnMasks_.end())
        return found->second;
    return {};
}

void StringGrid::setColumnEditable(int col, bool editable) {
    columnEditable_[col] = editable;
}

void StringGrid::setRowEditable(int row, bool editable) {
    rowEditable_[row] = editable;
}

bool StringGrid::isCellEditable(int col, int row) const {
    if (col < 1 || row < 1 || col > dataColumns() || row > dataRows()) return false;
    const auto column = columnEditable_.find(col);
    const auto line = rowEditable_.find(row);
    return (column == columnEditable_.end() || column->second) &&
           (line == rowEditable_.end() || line->second);
}

bool StringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // NoEditTriggers is how the view hands mouse events to the delegate; only
    // real edit requests are checked.
    if (trigger != NoEditTriggers &&
        (!editMode_ || !isEnabled() || !isCellEditable(index.column() + 1, index.row() + 1))) {
        return false;
    }
    return QTableWidget::edit(index, trigger, event);
}

void StringGrid::keepEditedText(const QModelIndex& index, const QLineEdit& editor) {
    // Text the user did not touch is not an edit, even when the mask would
    // show it differently from the cell.
    if (!editor.isModified() || !editor.hasAcceptableInput()) return;
    pendingEdit_ = PendingEdit{index.column() + 1, index.row() + 1, editor.text()};
}

void StringGrid::applyPendingEdit() {
    if (!pendingEdit_) return;
    const PendingEdit edit = *pendingEdit_;
    pendingEdit_.reset();
    if (!isCellEditable(edit.col, edit.row)) return;  // the grid changed meanwhile
    setCell(edit.col, edit.row, edit.text);
    emit cellEdited(edit.col, edit.row, edit.text);
}

QLineEdit* StringGrid::cellEditor() const {
    return isEditing() ? openEditor_.data() : nullptr;
}

void StringGrid::finishOpenEdit() {
    QLineEdit* editor = cellEditor();
    if (editor == nullptr) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void StringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == openEditor_) openEditor_.clear();
    QTableWidget::closeEditor(editor, hint);
    applyPendingEdit();
}

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    scheduleEditorShow();
}

void StringGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    scheduleEditorShow();
}

// The always-shown editor opens from the event loop: the calls that ask for it
// (closing an editor, moving the cursor, taking the focus) are in the middle of
// the view's own editor bookkeeping.
void StringGrid::scheduleEditorShow() {
    if (!editMode_ || editStyle_ != EditStyle::Full || editorShowPending_) return;
    editorShowPending_ = true;
    QMetaObject::invokeMethod(this, &StringGrid::showEditorIfWanted, Qt::QueuedConnection);
}

void StringGrid::showEditorIfWanted() {
    editorShowPending_ = false;
    if (!editMode_ || editStyle_ != EditStyle::Full || state() == EditingState) return;
    if (!holdsKeyboardFocus() || !currentIndex().isValid()) return;
    edit(currentIndex(), AllEditTriggers, nullptr);
}

bool StringGrid::holdsKeyboardFocus() const {
    const QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && (focused == this || isAncestorOf(focused));
}

// --- Keys, mouse and the corner -----------------------------------------------

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Insert && modifiers == Qt::NoModifier) {
        emit insertPressed();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        emit deletePressed();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && modifiers == Qt::ShiftModifier) {
        emit shiftDeletePressed();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && !popupMenu_.isNull()) {
        // The pop-up acts on the focused grid: the one clicked is meant.
        setFocus(Qt::MouseFocusReason);
        popupMenu_->popupFor(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void StringGrid::setPopupMenu(GridPopupMenu* menu) {
    popupMenu_ = menu;
    // The press opens the menu; no context menu event may reach the parents.
    setContextMenuPolicy(menu != nullptr ? Qt::PreventContextMenu : Qt::DefaultContextMenu);
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        paintCorner(*corner_);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void StringGrid::paintCorner(QAbstractButton& corner) const {
    QStyleOptionHeader option;
    option.initFrom(&corner);
    option.rect = corner.rect();
    option.position = QStyleOptionHeader::OnlyOneSection;
    option.orientation = Qt::Horizontal;
    option.text = cornerText_;
    option.textAlignment = Qt::AlignCenter;
    option.state |= QStyle::State_Raised;
    QPainter painter(&corner);
    corner.style()->drawControl(QStyle::CE_Header, &option, &painter, &corner);
}

void StringGrid::fillMissingHeaderItems() {
    for (int row = 0; row < rowCount(); ++row)
        headerItem(Qt::Vertical, row);
    for (int col = 0; col < columnCount(); ++col)
        headerItem(Qt::Horizontal, col);
}

QTableWidgetItem* StringGrid::headerItem(Qt::Orientation orientation, int section) {
    const bool horizontal = orientation == Qt::Horizontal;
    QTableWidgetItem* found =
        horizontal ? horizontalHeaderItem(section) : verticalHeaderItem(section);
    if (found != nullptr) return found;
    found = new QTableWidgetItem(QString());
    if (horizontal) {
        setHorizontalHeaderItem(section, found);
    } else {
        setVerticalHeaderItem(section, found);
    }
    return found;
}

// The number column keeps room for three digits and the corner's text even
// while the grid is cleared, unless the owner fixed its width.
void StringGrid::fitRowNumberColumn() {
    if (verticalHeader()->minimumWidth() == verticalHeader()->maximumWidth()) return;
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 6;
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("000"));
    const int corner = fontMetrics().horizontalAdvance(cornerText_);
    verticalHeader()->setMinimumWidth(std::max(digits, corner) + margin);
}

// --- GridPopupMenu --------------------------------------------------------------

GridPopupMenu::GridPopupMenu(QWidget* parent)
    : QMenu(parent),
      editMode_(addAction(QStringLiteral("Edit mode"))),
      readOnly_(addAction(QStringLiteral("Read only"))) {
    editMode_->setCheckable(true);
    readOnly_->setCheckable(true);
    connect(this, &QMenu::aboutToShow, this, &GridPopupMenu::takeTargetAndChecks);
    connect(editMode_, &QAction::triggered, this, [this] { switchTarget(true); });
    connect(readOnly_, &QAction::triggered, this, [this] { switchTarget(false); });
}

void GridPopupMenu::registerGrid(StringGrid* grid) {
    if (grid == nullptr) return;
    grids_.removeAll(QPointer<StringGrid>());
    if (!grids_.contains(grid)) grids_.append(grid);
    grid->setPopupMenu(this);
}

StringGrid* GridPopupMenu::focusedGrid() const {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* grid = qobject_cast<StringGrid*>(widget);
            grid != nullptr && grids_.contains(grid)) {
            return grid;
        }
    }
    return nullptr;
}

void GridPopupMenu::popupFor(const QPoint& globalPos) {
    popup(globalPos);
}

// Runs before the menu shows, while the grid still holds the focus.
void GridPopupMenu::takeTargetAndChecks() {
    target_ = focusedGrid();
    showTargetChecks();
}

void GridPopupMenu::switchTarget(bool editMode) {
    if (!target_.isNull()) target_->setEditMode(editMode);
    // The marks follow the grid, not the click that toggled one of them.
    showTargetChecks();
}

void GridPopupMenu::showTargetChecks() {
    const bool editing = !target_.isNull() && target_->editMode();
    editMode_->setChecked(editing);
    readOnly_->setChecked(!editing);
}

}  // namespace lumora::app
