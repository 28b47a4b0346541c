// Small builders and conversions the views share: text and number fields,
// list boxes, grid rows and column widths.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/widgets/string_grid.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lumora::app {

inline QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

// Any range of std::string (a vector, a grid's header array).
template <typename Range>
QStringList toQList(const Range& items) {
    QStringList out;
    for (const std::string& item : items)
        out << toQ(item);
    return out;
}

// A field for a decimal number of at most `digits` digits.
QLineEdit* numberField(QWidget* parent, const QString& name, const QString& hint, int digits);
// A field for a hexadecimal number of at most `digits` digits, shown in upper
// case.
QLineEdit* hexField(QWidget* parent, const QString& name, const QString& hint, int digits);
std::uint32_t numberOf(const QLineEdit& field);
std::uint32_t hexOf(const QLineEdit& field);
void showNumber(QLineEdit* field, std::int64_t value);
void showHex(QLineEdit* field, std::uint32_t value, int digits);

QComboBox* listBox(QWidget* parent, const QString& name, const QString& hint,
                   const QStringList& items = {});
// Selects `item`; an item outside the list leaves it without a selection.
void showItem(QComboBox* box, int item);

// A narrow "+" or "-" button.
QPushButton* narrowButton(QWidget* parent, const QString& caption, const QString& name,
                          const QString& hint);

// Writes the cells of grid row `row`, column 0 first.
template <std::size_t N>
void showRow(StringGrid* grid, int row, const std::array<std::string, N>& cells) {
    for (std::size_t col = 0; col < N; ++col)
        grid->setCell(static_cast<int>(col), row, toQ(cells[col]));
}

// Gives the grid one row per element, or clears it when there is none, and
// enables it when it has rows.
void sizeGrid(StringGrid* grid, std::size_t rows);

// Makes each listed column as wide as its sample text or its header,
// whichever is wider, so the grid reads the same with any font.
struct ColumnSample {
    int col;
    QString sample;
};
void fitColumns(StringGrid* grid, std::initializer_list<ColumnSample> columns);
// The width of a text in a grid cell, margins included.
int cellWidth(const QWidget* widget, const QString& sample);

// The width that shows columns 0 .. `lastCol` whole, with the frame and, when
// asked, room for a vertical scroll bar.
int gridWidthUpTo(const StringGrid* grid, int lastCol, bool scrollBarRoom = true);

// Moves the cursor to `row` (1-based) and selects that row alone.
void selectGridRow(StringGrid* grid, int row);

}  // namespace lumora::app
