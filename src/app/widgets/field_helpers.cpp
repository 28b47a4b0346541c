#include "app/widgets/field_helpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <algorithm>

#include "app/widgets/widget_helpers.h"
#include "core/text.h"

namespace lumora::app {
namespace {

QLineEdit* field(QWidget* parent, const QString& name, const QString& hint, const QString& pattern,
                 int digits) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setMaxLength(digits);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    const int width = edit->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('D')));
    edit->setFixedWidth(width + 12);
    return edit;
}

}  // namespace

QLineEdit* numberField(QWidget* parent, const QString& name, const QString& hint, int digits) {
    return field(parent, name, hint, QStringLiteral("[0-9]{0,%1}").arg(digits), digits);
}

QLineEdit* hexField(QWidget* parent, const QString& name, const QString& hint, int digits) {
    QLineEdit* edit =
        field(parent, name, hint, QStringLiteral("[0-9A-Fa-f]{0,%1}").arg(digits), digits);
    // Typed letters show in upper case, as the file's numbers are written.
    QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        if (text == text.toUpper()) return;
        const int cursor = edit->cursorPosition();
        edit->setText(text.toUpper());
        edit->setModified(true);  // still the user's text
        edit->setCursorPosition(cursor);
    });
    return edit;
}

std::uint32_t numberOf(const QLineEdit& field) {
    return field.text().toUInt();
}

std::uint32_t hexOf(const QLineEdit& field) {
    return static_cast<std::uint32_t>(hexToNumber(field.text().toStdString()));
}

void showNumber(QLineEdit* field, std::int64_t value) {
    field->setText(QString::number(value));
}

void showHex(QLineEdit* field, std::uint32_t value, int digits) {
    field->setText(toQ(hexText(value, digits)));
}

QComboBox* listBox(QWidget* parent, const QString& name, const QString& hint,
                   const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->addItems(items);
    // The list opens as wide as its longest item even where the box is narrow.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    return box;
}

void showItem(QComboBox* box, int item) {
    box->setCurrentIndex(item >= 0 && item < box->count() ? item : -1);
}

QPushButton* narrowButton(QWidget* parent, const QString& caption, const QString& name,
                          const QString& hint) {
    QPushButton* push = button(parent, caption, name, hint);
    push->setFixedWidth(push->fontMetrics().height() + 12);
    return push;
}

void sizeGrid(StringGrid* grid, std::size_t rows) {
    if (rows == 0) {
        grid->clearGrid();
        return;
    }
    grid->setDataRows(static_cast<int>(rows));
    grid->setEnabled(true);
}

int cellWidth(const QWidget* widget, const QString& sample) {
    return widget->fontMetrics().horizontalAdvance(sample) + 12;
}

void fitColumns(StringGrid* grid, std::initializer_list<ColumnSample> columns) {
    for (const ColumnSample& column : columns) {
        grid->setGridColumnWidth(column.col, std::max(cellWidth(grid, column.sample),
                                                      cellWidth(grid, grid->cell(column.col, 0))));
    }
}

int gridWidthUpTo(const StringGrid* grid, int lastCol, bool scrollBarRoom) {
    int width = 2 * grid->frameWidth();
    if (scrollBarRoom)
        width += grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    for (int col = 0; col <= lastCol; ++col)
        width += grid->gridColumnWidth(col);
    return width;
}

void selectGridRow(StringGrid* grid, int row) {
    if (row < 1 || row > grid->dataRows()) return;
    grid->setGridCursor(std::max(grid->gridCol(), 1), row);
    grid->clearSelection();
    grid->selectRow(row - 1);
}

}  // namespace lumora::app
