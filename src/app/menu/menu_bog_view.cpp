#include "app/menu/menu_bog_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/menu/menu_commands_view.h"

#include "app/menu/menu_preview.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "menu/menu_edit.h"
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

// The animation a double click on a column previews: its start and end
// objects, its repeat flag (none for the activated one), and whether the
// preview ends on the start object.
struct PreviewedAnimation {
    std::uint16_t start = kIgNone;
    std::uint16_t end = kIgNone;
    bool repeat = false;
    bool endsOnStart = false;
};

std::optional<PreviewedAnimation> animationOfColumn(const TIGbutton& b, int col) {
    switch (col) {
        case kNormalStart:
        case kNormalEnd:
            return PreviewedAnimation{b.normalStart, b.normalEnd, b.normalRepeat == 1,
                                      col == kNormalStart};
        case kSelectedStart:
        case kSelectedEnd:
            return PreviewedAnimation{b.selectedStart, b.selectedEnd, b.selectedRepeat == 1,
                                      col == kSelectedStart};
        case kActivatedStart:
        case kActivatedEnd:
            return PreviewedAnimation{b.activatedStart, b.activatedEnd, false,
                                      col == kActivatedStart};
        default:
            return std::nullopt;
    }
}

}  // namespace

MenuBogView::MenuBogView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    setObjectName("tsBOGs");
    previewTimer_ = new QTimer(this);
    previewTimer_->setSingleShot(true);
    connect(previewTimer_, &QTimer::timeout, this, &MenuBogView::previewStep);
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

    commandsView = new MenuCommandsView(document_, context_, this);
    sgMenuCommands = commandsView->sgMenuCommands;

    preview = new ObjectPreview("pBOGPreview", this);
    preview->setToolTip("Object preview");
    preview->setMinimumWidth(120);

    commandSplitter = new QSplitter(Qt::Horizontal, this);
    commandSplitter->setObjectName("spBOGCommands");
    commandSplitter->setChildrenCollapsible(false);
    commandSplitter->addWidget(commandsView);
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
    connect(sgBOG, &StringGrid::insertPressed, this, &MenuBogView::insertBog);
    connect(sgBOG, &StringGrid::deletePressed, this, &MenuBogView::deleteBog);
    connect(sgButtons, &StringGrid::insertPressed, this, &MenuBogView::insertButton);
    connect(sgButtons, &StringGrid::shiftDeletePressed, this, &MenuBogView::deleteButton);
    connect(sgBOG, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
        if (!sgBOG->editMode() && row + 1 == kDefaultValidRow) cycleDefaultValidButton(col + 1);
    });
    connect(sgButtons, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
        if (!sgButtons->editMode()) previewAnimation(col + 1, row + 1);
    });
    connect(commandsView, &MenuCommandsView::commandsChanged, this, [this] {
        const TBOG* record = shownBogRecord();
        const int row = shownButtonRow();
        if (record != nullptr && row >= 1 && row <= static_cast<int>(record->buttons.size()))
            showButtonRow(row, record->buttons[static_cast<std::size_t>(row) - 1]);
        emit pageEdited();
    });
    connect(commandsView, &MenuCommandsView::followRequested, this, &MenuBogView::followRequested);
}

void MenuBogView::setTone(ToneFunction tone) {
    commandsView->tone = std::move(tone);
}

// ---------------------------------------------------------------------------
// Showing

void MenuBogView::clear() {
    showing_ = true;
    bog_ = -1;
    sgBOG->clearGridColumns();
    sgBOG->setCell(1, 0, QString());
    sgButtons->clearGrid();
    commandsView->clear();
    stopPreview();
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
    stopPreview();
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

void MenuBogView::showButtonCommands(int row) {
    const TBOG* record = shownBogRecord();
    const bool valid =
        record != nullptr && row >= 1 && row <= static_cast<int>(record->buttons.size());
    if (valid) {
        commandsView->showButton(bog_, row - 1);
    } else {
        commandsView->clear();
    }
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
    commandsView->selectLine(line);
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
    stopPreview();
    if (sgButtons->gridRow() == row) showButtonCommands(row);
    const std::optional<std::uint16_t> object = objectOfColumn(button, col);
    previewObject(object ? *object : kIgNone);
}

void MenuBogView::refusal(const std::string& why) {
    context_.reporter->slog(why, 1);
}

void MenuBogView::bogCellEdited(int col, int row, const QString& text) {
    const TPage* shown = document_.currentPage();
    if (shown == nullptr || col < 1 || col > static_cast<int>(shown->bogs.size())) return;
    const auto bog = static_cast<std::size_t>(col) - 1;
    if (row == kDefaultValidRow && document_.good) {
        const std::optional<std::uint32_t> value =
            parseButtonCell(ButtonField::Upper, text.toStdString());
        const MenuEdit edit =
            value ? setDefaultValidButton(document_.menu, pageIndex(), bog,
                                          static_cast<std::uint16_t>(*value))
                  : MenuEdit::refused("'" + text.toStdString() + "' is no button id");
        if (edit.done()) {
            emit pageEdited();
        } else {
            refusal(edit.refusal);
        }
    }
    const auto cells = bogColumnCells(bog, shown->bogs[bog]);
    sgBOG->setCell(col, row, toQ(cells[static_cast<std::size_t>(row)]));
}

void MenuBogView::buttonCellEdited(int col, int row, const QString& text) {
    const TBOG* record = shownBogRecord();
    if (record == nullptr || row < 1 || row > static_cast<int>(record->buttons.size())) return;
    const auto index = static_cast<std::size_t>(row) - 1;
    const std::string column = buttonGridHeaders()[static_cast<std::size_t>(col)];
    const std::optional<ButtonField> field = buttonFieldNamed(column);
    if (field && document_.good) {
        const std::optional<std::uint32_t> value = parseButtonCell(*field, text.toStdString());
        const std::size_t sounds = context_.soundCount ? context_.soundCount() : 0;
        const MenuEdit edit =
            value ? setButtonField(document_.menu, pageIndex(), static_cast<std::size_t>(bog_),
                                   index, *field, *value, sounds)
                  : MenuEdit::refused("'" + text.toStdString() + "' is no value of " + column);
        if (edit.done()) {
            emit pageEdited();
        } else {
            refusal(column + ": " + edit.refusal);
        }
    }
    // The row shows what is held: the value taken, the one kept, and the
    // end that followed a start.
    showButtonRow(row, record->buttons[index]);
}

void MenuBogView::insertBog() {
    if (document_.currentPage() == nullptr || !document_.good) return;
    const MenuEdit edit = createBog(document_.menu, pageIndex());
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    const int bog = static_cast<int>(document_.currentPage()->bogs.size()) - 1;
    emit structureChanged(bog, 1);
    sgBOG->setFocus(Qt::OtherFocusReason);
}

void MenuBogView::deleteBog() {
    const int col = sgBOG->gridCol();
    if (document_.currentPage() == nullptr || !document_.good || col < 1) return;
    const MenuEdit edit =
        lumora::deleteBog(document_.menu, pageIndex(), static_cast<std::size_t>(col) - 1);
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    emit structureChanged(std::max(col - 2, 0), 1);
    sgBOG->setFocus(Qt::OtherFocusReason);
}

void MenuBogView::insertButton() {
    const TBOG* record = shownBogRecord();
    if (record == nullptr || !document_.good) return;
    const int scroll = sgButtons->horizontalScrollBar()->value();
    const MenuEdit edit = createButton(document_.menu, pageIndex(), static_cast<std::size_t>(bog_));
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    emit structureChanged(bog_, static_cast<int>(shownBogRecord()->buttons.size()));
    sgButtons->horizontalScrollBar()->setValue(scroll);
    sgButtons->setFocus(Qt::OtherFocusReason);
}

void MenuBogView::deleteButton() {
    const TBOG* record = shownBogRecord();
    const int row = shownButtonRow();
    if (record == nullptr || !document_.good || row < 1) return;
    const int scroll = sgButtons->horizontalScrollBar()->value();
    const MenuEdit edit =
        lumora::deleteButton(document_.menu, pageIndex(), static_cast<std::size_t>(bog_),
                             static_cast<std::size_t>(row) - 1);
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    emit structureChanged(bog_, std::max(row - 1, 1));
    sgButtons->horizontalScrollBar()->setValue(scroll);
    sgButtons->setFocus(Qt::OtherFocusReason);
}

void MenuBogView::cycleDefaultValidButton(int col) {
    TPage* page = document_.currentPage();
    if (page == nullptr || !document_.good || col < 1 || col > static_cast<int>(page->bogs.size()))
        return;
    const auto bog = static_cast<std::size_t>(col) - 1;
    const std::optional<std::size_t> shown =
        lumora::cycleDefaultValidButton(document_.menu, pageIndex(), bog);
    const auto cells = bogColumnCells(bog, page->bogs[bog]);
    sgBOG->setCell(col, kDefaultValidRow, toQ(cells[kDefaultValidRow]));
    if (shown) {
        if (col - 1 != bog_) showBog(col - 1);
        showing_ = true;
        selectGridRow(sgButtons, static_cast<int>(*shown) + 1);
        showing_ = false;
        showButtonCommands(static_cast<int>(*shown) + 1);
    }
    emit pageEdited();
}

// ---------------------------------------------------------------------------
// Animation preview

void MenuBogView::previewAnimation(int col, int row) {
    const TBOG* record = shownBogRecord();
    if (record == nullptr || row < 1 || row > static_cast<int>(record->buttons.size())) return;
    const TIGbutton& button = record->buttons[static_cast<std::size_t>(row) - 1];
    if (col == kSelectedSound || col == kActivatedSound) {
        const std::uint8_t sound =
            col == kSelectedSound ? button.selectedSound : button.activatedSound;
        const std::size_t sounds = context_.soundCount ? context_.soundCount() : 0;
        if (sound < sounds && context_.playSound) context_.playSound(sound);
        return;
    }
    const std::optional<PreviewedAnimation> animation = animationOfColumn(button, col);
    if (!animation) return;
    stopPreview();
    AnimationRun run;
    if (animation->start != kIgNone && animation->end != kIgNone) {
        for (std::uint32_t object = animation->start; object <= animation->end; ++object)
            run.objects.push_back(static_cast<std::uint16_t>(object));
    }
    run.repeat = animation->repeat && run.objects.size() > 1;
    run.finalObject = animation->endsOnStart ? animation->start : animation->end;
    run_ = std::move(run);
    if (run_->repeat) {
        context_.reporter->clearCancel();
        if (context_.enableCancel) context_.enableCancel(true);
    }
    previewStep();
}

bool MenuBogView::previewRunning() const {
    return run_.has_value();
}

void MenuBogView::stopPreview() {
    previewTimer_->stop();
    if (run_ && run_->repeat && context_.enableCancel) context_.enableCancel(false);
    run_.reset();
}

// One object of the run, or the final one when the run is over (or was
// cancelled).
void MenuBogView::previewStep() {
    if (!run_) return;
    const TPage* page = document_.currentPage();
    const bool cancelled = run_->repeat && context_.reporter->cancelRequested();
    if (run_->next >= run_->objects.size() && run_->repeat && !cancelled) run_->next = 0;
    const int chosen = previewPalette ? previewPalette() : -1;
    const std::uint32_t palette = chosen >= 0       ? static_cast<std::uint32_t>(chosen)
                                  : page != nullptr ? page->palette
                                                    : 0;
    const auto show = [this, palette](std::uint16_t object) {
        if (context_.renderer == nullptr) return;
        shownObject_ = object;
        preview->showButtonPicture(context_.renderer->ShowButtonPic(object, palette), palette);
    };
    if (cancelled || run_->next >= run_->objects.size()) {
        const std::uint16_t last = run_->finalObject;
        stopPreview();
        show(last);
        return;
    }
    show(run_->objects[run_->next++]);
    const std::uint32_t step = page != nullptr ? animationStepMs(document_.menu.ics.frameRateId,
                                                                 page->animationFrameRateCode)
                                               : 0;
    previewTimer_->start(static_cast<int>(step));
}

void MenuBogView::showBogAndRow(int bog, int row) {
    const TPage* page = document_.currentPage();
    if (page == nullptr || page->bogs.empty()) return;
    bog = std::clamp(bog, 0, static_cast<int>(page->bogs.size()) - 1);
    showBog(bog);
    sgBOG->setGridCursor(bog + 1, kDefaultValidRow);
    sgBOG->scrollTo(sgBOG->model()->index(0, bog));
    const int rows = static_cast<int>(page->bogs[static_cast<std::size_t>(bog)].buttons.size());
    row = std::clamp(row, 1, std::max(rows, 1));
    showing_ = true;
    selectGridRow(sgButtons, row);
    showing_ = false;
    showButtonCommands(row);
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

void MenuBogView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitBogGridHeight();
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
}

}  // namespace lumora::app
