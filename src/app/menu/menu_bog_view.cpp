#include "app/menu/menu_bog_view.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/menu/menu_preview.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "menu/menu_rows.h"
#include "menu/page_renderer.h"
#include "navigation/command_list.h"

namespace lumora::app {
namespace {

// Columns of the buttons grid (grid coordinates; "id" is the number column).
enum ButtonColumn {
    kId = 0,
    kValue,
    kAutoAction,
    kX,
    kY,
    kUpper,
    kLower,
    kLeft,
    kRight,
    kNormalStart,
    kNormalEnd,
    kNormalRepeat,
    kSelectedSound,
    kSelectedStart,
    kSelectedEnd,
    kSelectedRepeat,
    kActivatedSound,
    kActivatedStart,
    kActivatedEnd,
    kCommands,
};

// The commands grid's font gets no smaller than this to fit its columns.
constexpr qreal kSmallestCommandFont = 7.0;

// Rows of the BOG grid.
constexpr int kDefaultValidRow = 1;
constexpr int kButtonCountRow = 2;

// The object a cell of an object column names, or nothing for the other
// columns.
std::optional<std::uint16_t> objectOfColumn(const TIGbutton& button, int col) {
    switch (col) {
        case kNormalStart:
            return button.normalStart;
        case kNormalEnd:
            return button.normalEnd;
        case kSelectedStart:
            return button.selectedStart;
        case kSelectedEnd:
            return button.selectedEnd;
        case kActivatedStart:
            return button.activatedStart;
        case kActivatedEnd:
            return button.activatedEnd;
        default:
            return std::nullopt;
    }
}

}  // namespace

MenuBogView::MenuBogView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    setObjectName("tsBOGs");
    buildGrids();
    connectGrids();
    clear();
}

void MenuBogView::buildGrids() {
    sgBOG = new StringGrid(this);
    sgBOG->setObjectName("sgBOG");
    sgBOG->setToolTip("Button overlap groups of the page (click: show its buttons)");
    sgBOG->setHeaderColumn(toQList(bogGridHeaders()));
    sgBOG->setEditStyle(StringGrid::EditStyle::InPlaceOnly);
    sgBOG->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgBOG->setSelectionMode(QAbstractItemView::SingleSelection);
    sgBOG->setRowEditMask(kDefaultValidRow, ">AAAA");
    sgBOG->setRowEditable(kButtonCountRow, false);
    sgBOG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgBOG->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    sgButtons = new StringGrid(this);
    sgButtons->setObjectName("sgButtons");
    sgButtons->setToolTip("Buttons of the selected BOG (click an object id: show the object)");
    sgButtons->setHeaders(toQList(buttonGridHeaders()));
    sgButtons->setEditStyle(StringGrid::EditStyle::InPlaceOnly);
    sgButtons->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const int col : {kValue, kUpper, kLower, kLeft, kRight, kNormalStart, kNormalEnd,
                          kSelectedStart, kSelectedEnd, kActivatedStart, kActivatedEnd})
        sgButtons->setColumnEditMask(col, ">AAAA");
    for (const int col : {kAutoAction, kNormalRepeat, kSelectedRepeat})
        sgButtons->setColumnEditMask(col, ">L");
    for (const int col : {kX, kY})
        sgButtons->setColumnEditMask(col, "9999");
    for (const int col : {kSelectedSound, kActivatedSound})
        sgButtons->setColumnEditMask(col, ">AA");
    sgButtons->setColumnEditable(kCommands, false);
    // Twenty columns: the condensed face of the window's font, where the
    // system has one, shows more of them at once.
    QFont condensed = sgButtons->font();
    condensed.setStretch(QFont::Condensed);
    sgButtons->setFont(condensed);
    sgButtons->horizontalHeader()->setFont(condensed);
    fitColumns(sgButtons, {{kId, "00000"}});
    for (int col = kValue; col <= kCommands; ++col)
        fitColumns(sgButtons, {{col, col == kX || col == kY ? "00000" : "0000"}});

    sgMenuCommands = new StringGrid(this);
    sgMenuCommands->setObjectName("sgMenuCommands");
    sgMenuCommands->setToolTip("Navigation commands of the selected button");
    sgMenuCommands->setHeaders(commandGridHeaders());
    sgMenuCommands->setNarrowsToLeftColumn(true);
    sgMenuCommands->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sgMenuCommands->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CommandCellDelegate::install(sgMenuCommands);
    fitCommandFont();
    sgMenuCommands->setMinimumWidth(120);

    preview = new ObjectPreview("pBOGPreview", this);
    preview->setToolTip("Object preview");
    preview->setMinimumWidth(120);

    commandSplitter = new QSplitter(Qt::Horizontal, this);
    commandSplitter->setObjectName("spBOGCommands");
    commandSplitter->setChildrenCollapsible(false);
    commandSplitter->addWidget(sgMenuCommands);
    commandSplitter->addWidget(preview);
    commandSplitter->setStretchFactor(0, 3);
    commandSplitter->setStretchFactor(1, 2);

    splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName("spBOGs");
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(sgButtons);
    splitter->addWidget(commandSplitter);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    sgButtons->setMinimumHeight(60);
    commandSplitter->setMinimumHeight(60);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(sgBOG);
    layout->addWidget(splitter, 1);
}

void MenuBogView::connectGrids() {
    connect(sgBOG, &QTableWidget::currentCellChanged, this,
            [this](int, int col, int, int previousCol) {
                if (!showing_ && col != previousCol) bogCellChosen(col + 1);
            });
    connect(sgBOG, &QTableWidget::cellClicked, this,
            [this](int, int col) { bogCellChosen(col + 1); });
    connect(sgBOG->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int col) { bogCellChosen(col + 1); });
    connect(sgButtons, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) showButtonCommands(row + 1);
            });
    connect(sgButtons, &QTableWidget::cellClicked, this,
            [this](int row, int col) { buttonCellClicked(col + 1, row + 1); });
    connect(sgBOG, &StringGrid::cellEdited, this, &MenuBogView::bogCellEdited);
    connect(sgButtons, &StringGrid::cellEdited, this, &MenuBogView::buttonCellEdited);
    connect(commandSplitter, &QSplitter::splitterMoved, this, [this] { fitCommandColumns(); });
}

// ---------------------------------------------------------------------------
// Showing

void MenuBogView::clear() {
    showing_ = true;
    bog_ = -1;
    sgBOG->clearGridColumns();
    sgBOG->setCell(1, 0, QString());
    sgButtons->clearGrid();
    sgMenuCommands->clearGrid();
    preview->clearPicture();
    shownObject_.reset();
    showing_ = false;
    fitBogGridHeight();
}

const TBOG* MenuBogView::shownBogRecord() const {
    const TPage* page = document_.currentPage();
    if (page == nullptr || bog_ < 0 || bog_ >= static_cast<int>(page->bogs.size())) return nullptr;
    return &page->bogs[static_cast<std::size_t>(bog_)];
}

void MenuBogView::showPage() {
    const TPage* page = document_.currentPage();
    if (page == nullptr) {
        clear();
        return;
    }
    showBogColumns();
    showBog(page->bogs.empty() ? -1 : 0);
}

void MenuBogView::showBogColumns() {
    const TPage& page = *document_.currentPage();
    showing_ = true;
    if (page.bogs.empty()) {
        sgBOG->clearGridColumns();
        sgBOG->setCell(1, 0, QString());
    } else {
        sgBOG->setDataColumns(static_cast<int>(page.bogs.size()));
        for (std::size_t b = 0; b < page.bogs.size(); ++b) {
            const auto cells = bogColumnCells(b, page.bogs[b]);
            for (int row = 0; row < static_cast<int>(cells.size()); ++row)
                sgBOG->setCell(static_cast<int>(b) + 1, row,
                               toQ(cells[static_cast<std::size_t>(row)]));
        }
        const int width = cellWidth(sgBOG, "00000");
        for (int col = 1; col <= sgBOG->dataColumns(); ++col)
            sgBOG->setGridColumnWidth(col, width);
        sgBOG->setEnabled(true);
    }
    showing_ = false;
    fitBogGridHeight();
}

void MenuBogView::showBog(int bog) {
    const TPage* page = document_.currentPage();
    showing_ = true;
    bog_ = page != nullptr && bog >= 0 && bog < static_cast<int>(page->bogs.size()) ? bog : -1;
    const TBOG* record = shownBogRecord();
    int selectedRow = 0;
    if (record == nullptr || record->buttons.empty()) {
        sgButtons->clearGrid();
    } else {
        sgButtons->setDataRows(static_cast<int>(record->buttons.size()));
        for (std::size_t i = 0; i < record->buttons.size(); ++i) {
            const TIGbutton& button = record->buttons[i];
            showButtonRow(static_cast<int>(i) + 1, button);
            if (button.id == record->defaultValidButton) selectedRow = static_cast<int>(i) + 1;
        }
        sgButtons->setEnabled(true);
        if (selectedRow == 0) selectedRow = 1;
    }
    if (bog_ >= 0) sgBOG->setGridCursor(bog_ + 1, kDefaultValidRow);
    if (selectedRow > 0) selectGridRow(sgButtons, selectedRow);
    showing_ = false;
    showButtonCommands(selectedRow);
}

void MenuBogView::showButtonRow(int row, const TIGbutton& button) {
    showRow(sgButtons, row, buttonRowCells(button));
}

int MenuBogView::shownButtonRow() const {
    return shownBogRecord() != nullptr && sgButtons->isEnabled() ? sgButtons->gridRow() : 0;
}

// The command rows of the button; an invalid word among them sounds once.
void MenuBogView::showButtonCommands(int row) {
    const TBOG* record = shownBogRecord();
    const bool valid =
        record != nullptr && row >= 1 && row <= static_cast<int>(record->buttons.size());
    const TCommands* commands =
        valid ? &record->buttons[static_cast<std::size_t>(row) - 1].commands : nullptr;
    if (commands == nullptr || commands->empty()) {
        sgMenuCommands->clearGrid();
        return;
    }
    sgMenuCommands->setDataRows(static_cast<int>(commands->size()));
    bool invalidShown = false;
    for (std::size_t k = 0; k < commands->size(); ++k) {
        const CommandRow commandRow = comm2str(k, (*commands)[k], CommandContext::Button);
        showCommandRow(*sgMenuCommands, commandRow);
        invalidShown = invalidShown || commandRow.invalidTone;
    }
    sgMenuCommands->setEnabled(true);
    selectGridRow(sgMenuCommands, 1);
    if (invalidShown && tone) tone(kInvalidTone);
}

void MenuBogView::previewObject(std::uint16_t object) {
    const TPage* page = document_.currentPage();
    if (page == nullptr || context_.renderer == nullptr) return;
    shownObject_ = object;
    const ButtonPicture picture = context_.renderer->ShowButtonPic(object, page->palette);
    preview->showButtonPicture(picture, page->palette);
    if (picture.showsObject) emit objectShown(object, page->palette);
}

void MenuBogView::refreshPreview() {
    if (shownObject_) previewObject(*shownObject_);
}

// The BOG that holds button `id` of the current page, with the button's row
// and commands.
void MenuBogView::showButton(std::uint16_t id) {
    const TPage* page = document_.currentPage();
    if (page == nullptr) return;
    for (std::size_t b = 0; b < page->bogs.size(); ++b) {
        const auto& buttons = page->bogs[b].buttons;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            if (buttons[i].id != id) continue;
            if (static_cast<int>(b) != bog_) showBog(static_cast<int>(b));
            const int row = static_cast<int>(i) + 1;
            if (sgButtons->gridRow() != row) {
                showing_ = true;
                selectGridRow(sgButtons, row);
                showing_ = false;
                showButtonCommands(row);
            }
            return;
        }
    }
}

void MenuBogView::selectCommandLine(int line) {
    if (line < 0 || line >= sgMenuCommands->dataRows() || !sgMenuCommands->isEnabled()) return;
    selectGridRow(sgMenuCommands, line + 1);
}

// A button moved on the page view: its row shows the new position.
void MenuBogView::refreshButton(std::uint16_t id) {
    const TBOG* record = shownBogRecord();
    if (record == nullptr) return;
    for (std::size_t i = 0; i < record->buttons.size(); ++i) {
        if (record->buttons[i].id == id) showButtonRow(static_cast<int>(i) + 1, record->buttons[i]);
    }
}

// ---------------------------------------------------------------------------
// Choices and edits

void MenuBogView::bogCellChosen(int col) {
    if (showing_ || col < 1 || col - 1 == bog_ || document_.currentPage() == nullptr) return;
    showBog(col - 1);
}

void MenuBogView::buttonCellClicked(int col, int row) {
    const TBOG* record = shownBogRecord();
    if (record == nullptr || row < 1 || row > static_cast<int>(record->buttons.size())) return;
    const TIGbutton& button = record->buttons[static_cast<std::size_t>(row) - 1];
    if (sgButtons->gridRow() == row) showButtonCommands(row);
    const std::optional<std::uint16_t> object = objectOfColumn(button, col);
    previewObject(object ? *object : kIgNone);
}

void MenuBogView::bogCellEdited(int col, int row, const QString& text) {
    const bool taken = applyBogEdit && applyBogEdit(col - 1, col, row, text);
    const TPage* page = document_.currentPage();
    if (page == nullptr || col < 1 || col > static_cast<int>(page->bogs.size())) return;
    if (!taken) {
        const auto cells = bogColumnCells(static_cast<std::size_t>(col) - 1,
                                          page->bogs[static_cast<std::size_t>(col) - 1]);
        sgBOG->setCell(col, row, toQ(cells[static_cast<std::size_t>(row)]));
    }
}

void MenuBogView::buttonCellEdited(int col, int row, const QString& text) {
    const bool taken = applyButtonEdit && applyButtonEdit(bog_, col, row, text);
    const TBOG* record = shownBogRecord();
    if (record == nullptr || row < 1 || row > static_cast<int>(record->buttons.size())) return;
    if (!taken) showButtonRow(row, record->buttons[static_cast<std::size_t>(row) - 1]);
}

// ---------------------------------------------------------------------------
// Layout

// Two rows under the index row; room for the scroll bar when the BOGs do
// not all fit.
void MenuBogView::fitBogGridHeight() {
    int columns = sgBOG->verticalHeader()->width();
    for (int col = 1; col <= sgBOG->dataColumns(); ++col)
        columns += sgBOG->gridColumnWidth(col);
    int height = sgBOG->horizontalHeader()->sizeHint().height() + 2 * sgBOG->frameWidth();
    for (int row = 0; row < sgBOG->dataRows(); ++row)
        height += sgBOG->rowHeight(row);
    const int inside = sgBOG->width() - 2 * sgBOG->frameWidth();
    if (columns > inside) height += sgBOG->horizontalScrollBar()->sizeHint().height();
    sgBOG->setFixedHeight(height);
}

// "No." and the three words share a fixed width; the grid takes the
// largest font (down to a limit) whose eight digits fit a word's column.
void MenuBogView::fitCommandFont() {
    const int share = kFixedCommandColumns - 2 * sgMenuCommands->frameWidth();
    QFont font = sgMenuCommands->font();
    font.setStretch(QFont::Condensed);
    int number = 0;
    int word = 0;
    for (;;) {
        sgMenuCommands->setFont(font);
        number = cellWidth(sgMenuCommands, "0000");
        word = (share - number) / 3;
        int needed = 0;
        for (int col = kCommandOpcodeColumn; col < kCommandLineColumn; ++col) {
            needed = std::max({needed, cellWidth(sgMenuCommands, "00000000"),
                               cellWidth(sgMenuCommands, sgMenuCommands->cell(col, 0))});
        }
        if (needed <= word || font.pointSizeF() - 0.5 < kSmallestCommandFont) break;
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    sgMenuCommands->setDefaultRowHeight(QFontMetrics(font).height() + 6);
    sgMenuCommands->setGridColumnWidth(kCommandNumberColumn, number);
    for (int col = kCommandOpcodeColumn; col < kCommandLineColumn; ++col)
        sgMenuCommands->setGridColumnWidth(col, word);
}

void MenuBogView::fitCommandColumns() {
    const int width = sgMenuCommands->width();
    if (width <= kCommandLineMinGridWidth) return;
    sgMenuCommands->setGridColumnWidth(kCommandLineColumn, width - kFixedCommandColumns);
}

void MenuBogView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitBogGridHeight();
    fitCommandColumns();
}

void MenuBogView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!sized_) {
        // The commands take a little more than half the width at first, the
        // preview the rest.
        sized_ = true;
        const int width = commandSplitter->width();
        commandSplitter->setSizes({width * 11 / 20, width - width * 11 / 20});
    }
    fitBogGridHeight();
    fitCommandColumns();
}

}  // namespace lumora::app
