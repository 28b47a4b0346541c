#include "app/menu/menu_commands_view.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/commands/command_editor.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/file_io.h"
#include "core/text.h"
#include "menu/menu_edit.h"

namespace lumora::app {
namespace {

// The grid's font gets no smaller than this to fit its columns.
constexpr qreal kSmallestCommandFont = 7.0;

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<CommandWord> wordOfColumn(int col) {
    switch (col) {
        case kCommandOpcodeColumn:
            return CommandWord::Opcode;
        case kCommandDestinationColumn:
            return CommandWord::Destination;
        case kCommandSourceColumn:
            return CommandWord::Source;
        default:
            return std::nullopt;
    }
}

// "button_0003.lst": the proposed name of a button's program list.
std::string buttonListFileName(std::uint16_t id, ProgramFormat format) {
    return "button_" + hexText(id, 4) + (format == ProgramFormat::List ? ".lst" : ".bin");
}

}  // namespace

MenuCommandsView::MenuCommandsView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    setObjectName("pMenuCommands");
    buildControls();
    connectControls();
    clear();
}

void MenuCommandsView::buildControls() {
    sgMenuCommands = new StringGrid(this);
    sgMenuCommands->setObjectName("sgMenuCommands");
    sgMenuCommands->setToolTip("Navigation commands of the selected button");
    sgMenuCommands->setHeaders(commandGridHeaders());
    sgMenuCommands->setNarrowsToLeftColumn(true);
    sgMenuCommands->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sgMenuCommands->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int col = kCommandOpcodeColumn; col < kCommandLineColumn; ++col)
        sgMenuCommands->setColumnEditMask(col, ">AAAAAAAA");
    sgMenuCommands->setColumnEditable(kCommandLineColumn, false);
    CommandCellDelegate::install(sgMenuCommands);
    fitCommandFont();
    sgMenuCommands->setMinimumWidth(120);
    sgMenuCommands->installEventFilter(this);

    commandEditor = new CommandEditor(this);
    bInsMCmd = smallButton(commandEditor, "+", "bInsMCmd", "Insert a line after selected line(s)");
    bDelMCmd = smallButton(commandEditor, "-", "bDelMCmd", "Delete the selected line(s)");
    bbSaveMProg = new QToolButton(commandEditor);
    bbSaveMProg->setObjectName("bbSaveMProg");
    bbSaveMProg->setToolTip(toQ(kProgramListDialogTitle));
    bbSaveMProg->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bbLoadMProg = new QToolButton(commandEditor);
    bbLoadMProg->setObjectName("bbLoadMProg");
    bbLoadMProg->setToolTip(toQ(kLoadProgramListTitle));
    bbLoadMProg->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    for (QWidget* w : std::initializer_list<QWidget*>{bInsMCmd, bDelMCmd, bbSaveMProg, bbLoadMProg})
        commandEditor->addBesideWords(w);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(sgMenuCommands, 1);
    layout->addWidget(commandEditor);
}

void MenuCommandsView::connectControls() {
    connect(sgMenuCommands, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) showInEditor();
            });
    // The follow waits until the grid is done with the mouse, which would
    // otherwise put the selection back on the clicked row.
    connect(
        sgMenuCommands, &QTableWidget::cellDoubleClicked, this,
        [this](int row, int) {
            if (!sgMenuCommands->editMode()) followLine(row);
        },
        Qt::QueuedConnection);
    connect(sgMenuCommands, &StringGrid::insertPressed, this, &MenuCommandsView::insertLine);
    connect(sgMenuCommands, &StringGrid::shiftDeletePressed, this, &MenuCommandsView::deleteLines);
    connect(sgMenuCommands, &StringGrid::cellEdited, this, &MenuCommandsView::wordTyped);
    connect(bInsMCmd, &QPushButton::clicked, this, &MenuCommandsView::insertLine);
    connect(bDelMCmd, &QPushButton::clicked, this, &MenuCommandsView::deleteLines);
    connect(bbSaveMProg, &QToolButton::clicked, this, &MenuCommandsView::saveProgramList);
    connect(bbLoadMProg, &QToolButton::clicked, this, &MenuCommandsView::loadProgramList);
    connect(commandEditor, &CommandEditor::commandEdited, this, &MenuCommandsView::commandEdited);
    connect(commandEditor, &CommandEditor::returnToGrid, this,
            [this] { sgMenuCommands->setFocus(Qt::OtherFocusReason); });
}

// ---------------------------------------------------------------------------
// Showing

TCommands* MenuCommandsView::commands() const {
    TPage* page = document_.currentPage();
    if (page == nullptr || bog_ < 0 || bog_ >= static_cast<int>(page->bogs.size())) return nullptr;
    auto& buttons = page->bogs[static_cast<std::size_t>(bog_)].buttons;
    if (index_ < 0 || index_ >= static_cast<int>(buttons.size())) return nullptr;
    return &buttons[static_cast<std::size_t>(index_)].commands;
}

void MenuCommandsView::clear() {
    bog_ = -1;
    index_ = -1;
    sgMenuCommands->clearGrid();
    for (QWidget* w : std::initializer_list<QWidget*>{bInsMCmd, bDelMCmd, bbSaveMProg, bbLoadMProg})
        w->setEnabled(false);
    showInEditor();
}

void MenuCommandsView::showButton(int bog, int index) {
    bog_ = bog;
    index_ = index;
    const TCommands* list = commands();
    if (list == nullptr) {
        clear();
        return;
    }
    if (list->empty()) {
        sgMenuCommands->clearGrid();
    } else {
        sgMenuCommands->setDataRows(static_cast<int>(list->size()));
        showRows(0);
    }
    // An empty list keeps its grid enabled: Insert and Ctrl+V work on it.
    sgMenuCommands->setEnabled(document_.good);
    bInsMCmd->setEnabled(document_.good);
    bbLoadMProg->setEnabled(document_.good);
    bDelMCmd->setEnabled(document_.good && !list->empty());
    bbSaveMProg->setEnabled(!list->empty());
    selectLine(0);
}

// Rows from `from` to the end; an invalid word among them sounds once.
void MenuCommandsView::showRows(std::size_t from) {
    const TCommands& list = *commands();
    bool invalidShown = false;
    for (std::size_t k = from; k < list.size(); ++k) {
        const CommandRow row = comm2str(k, list[k], CommandContext::Button);
        showCommandRow(*sgMenuCommands, row);
        invalidShown = invalidShown || row.invalidTone;
    }
    if (invalidShown && tone) tone(kInvalidTone);
}

int MenuCommandsView::currentLine() const {
    const TCommands* list = commands();
    const int line = sgMenuCommands->gridRow() - 1;
    return list != nullptr && line >= 0 && line < static_cast<int>(list->size()) ? line : -1;
}

void MenuCommandsView::selectLine(int line) {
    const TCommands* list = commands();
    if (list != nullptr && line >= 0 && line < static_cast<int>(list->size())) {
        selectGridRow(sgMenuCommands, line + 1);
    } else if (list != nullptr) {
        sgMenuCommands->setGridCursor(1, 1);
    }
    showInEditor();
}

void MenuCommandsView::showInEditor() {
    const TCommands* list = commands();
    const int line = currentLine();
    std::optional<TCommand> shown;
    if (line >= 0) shown = (*list)[static_cast<std::size_t>(line)];
    commandEditor->showCommand(shown);
    commandEditor->setEnabled(shown.has_value() && document_.good);
}

// ---------------------------------------------------------------------------
// Edits

CommandClipboard& MenuCommandsView::clipboard() {
    return context_.clipboard != nullptr ? *context_.clipboard : ownClipboard_;
}

void MenuCommandsView::buttonChanged() {
    const auto page = static_cast<std::size_t>(document_.page);
    storeButton(document_.menu, page, static_cast<std::size_t>(bog_),
                static_cast<std::size_t>(index_));
    emit commandsChanged();
}

void MenuCommandsView::showListEdit(const ListEdit& edit) {
    if (!edit.status.empty()) context_.reporter->slog(edit.status, 1);
    if (!edit.changed) return;
    const TCommands& list = *commands();
    if (list.empty()) {
        sgMenuCommands->clearGrid();
        sgMenuCommands->setEnabled(true);
    } else {
        sgMenuCommands->setDataRows(static_cast<int>(list.size()));
        sgMenuCommands->setEnabled(true);
        showRows(edit.redrawFrom);
        for (const std::size_t line : edit.retargeted) {
            if (line < edit.redrawFrom)
                showCommandRow(*sgMenuCommands, comm2str(line, list[line], CommandContext::Button));
        }
    }
    bDelMCmd->setEnabled(!list.empty());
    bbSaveMProg->setEnabled(!list.empty());
    buttonChanged();
    selectLine(static_cast<int>(edit.select));
}

void MenuCommandsView::insertLine() {
    if (commands() == nullptr || !document_.good) return;
    showListEdit(insertNewLine(*commands(), selectedCommandLines(*sgMenuCommands).last));
}

void MenuCommandsView::deleteLines() {
    if (commands() == nullptr || !document_.good) return;
    showListEdit(delcmd(*commands(), selectedCommandLines(*sgMenuCommands)));
}

void MenuCommandsView::copyLines() {
    if (commands() == nullptr) return;
    const ListEdit edit = copycmd(clipboard(), *commands(), selectedCommandLines(*sgMenuCommands));
    if (!edit.status.empty()) context_.reporter->slog(edit.status, 1);
}

void MenuCommandsView::cutLines() {
    if (commands() == nullptr || !document_.good) return;
    showListEdit(cutcmd(clipboard(), *commands(), selectedCommandLines(*sgMenuCommands)));
}

void MenuCommandsView::pasteLines() {
    if (commands() == nullptr || !document_.good) return;
    showListEdit(pastecmd(clipboard(), *commands(), selectedCommandLines(*sgMenuCommands).last));
}

void MenuCommandsView::nopLine() {
    if (commands() == nullptr || !document_.good) return;
    showListEdit(nopcmd(*commands(), selectedCommandLines(*sgMenuCommands).first));
}

void MenuCommandsView::selectAllLines() {
    if (commands() != nullptr) selectAllCommandRows(*sgMenuCommands, commands()->size());
}

// A word typed in edit mode; a button without commands takes none, and a
// refused text gives way to the held command again.
void MenuCommandsView::wordTyped(int col, int row, const QString& text) {
    TCommands* list = commands();
    const std::optional<CommandWord> word = wordOfColumn(col);
    if (list == nullptr || row < 1 || row > static_cast<int>(list->size())) {
        sgMenuCommands->setCell(col, row, QString());
        return;
    }
    const auto line = static_cast<std::size_t>(row - 1);
    const bool taken =
        word && document_.good && setTypedWord(*list, line, *word, text.toStdString());
    showCommandRow(*sgMenuCommands, comm2str(line, (*list)[line], CommandContext::Button));
    if (!taken) return;
    buttonChanged();
    showInEditor();
}

void MenuCommandsView::commandEdited(const TCommand& command) {
    const int line = currentLine();
    if (line < 0 || !document_.good) return;
    const auto at = static_cast<std::size_t>(line);
    (*commands())[at] = command;
    showCommandRow(*sgMenuCommands, comm2str(at, command, CommandContext::Button));
    buttonChanged();
    showInEditor();
}

bool MenuCommandsView::listKey(const QKeyEvent& event) {
    const CommandListActions actions{[this] { copyLines(); }, [this] { cutLines(); },
                                     [this] { pasteLines(); }, [this] { selectAllLines(); },
                                     [this] { nopLine(); }};
    return runCommandListKey(event, actions);
}

void MenuCommandsView::followLine(int line) {
    const TCommands* list = commands();
    if (list == nullptr || line < 0) return;
    const CommandFollow follow = followCommand(*list, static_cast<std::size_t>(line));
    if (follow.line) selectLine(static_cast<int>(*follow.line));
    if (follow.title || follow.playlist || follow.movieObject || follow.menuPage ||
        follow.menuButton) {
        emit followRequested(follow);
    }
}

// ---------------------------------------------------------------------------
// Program lists

ProgramListRequest MenuCommandsView::programListRequest(bool saving) const {
    const int option = context_.programFormat ? context_.programFormat() : 0;
    const auto format = option == 1 ? ProgramFormat::Binary : ProgramFormat::List;
    const TPage* page = document_.currentPage();
    const std::uint16_t id = page != nullptr && commands() != nullptr
                                 ? page->bogs[static_cast<std::size_t>(bog_)]
                                       .buttons[static_cast<std::size_t>(index_)]
                                       .id
                                 : 0;
    ProgramListRequest request;
    request.title = toQ(saving ? kProgramListDialogTitle : kLoadProgramListTitle);
    request.filters = dialogFilters(kProgramListFilter);
    request.selectedFilter = static_cast<int>(format);
    request.folder = context_.outputFolder ? context_.outputFolder() : QString();
    request.fileName = QString::fromStdString(buttonListFileName(id, format));
    request.saving = saving;
    return request;
}

std::optional<ProgramListTarget> MenuCommandsView::chooseProgramListFile(
    const ProgramListRequest& request) {
    return context_.programListChooser ? context_.programListChooser(request)
                                       : runProgramListDialog(this, request);
}

void MenuCommandsView::saveProgramList() {
    const TCommands* list = commands();
    if (list == nullptr || list->empty()) return;
    const std::optional<ProgramListTarget> target = chooseProgramListFile(programListRequest(true));
    sgMenuCommands->setFocus(Qt::OtherFocusReason);
    if (!target) return;
    try {
        lumora::saveProgramList(target->path.toStdString(), *list, target->format,
                                CommandContext::Button);
    } catch (const FileError& error) {
        if (context_.showFileError) context_.showFileError(QString::fromUtf8(error.what()));
    }
}

void MenuCommandsView::loadProgramList() {
    TCommands* list = commands();
    if (list == nullptr || !document_.good) return;
    const std::optional<ProgramListTarget> target =
        chooseProgramListFile(programListRequest(false));
    sgMenuCommands->setFocus(Qt::OtherFocusReason);
    if (!target) return;
    std::optional<TCommands> lines =
        readProgramListFile(*target, *context_.reporter, context_.showFileError);
    if (!lines) return;
    if (!list->empty() &&
        !context_.reporter->ask("Replace the " + std::to_string(list->size()) +
                                " commands of the button by the " + std::to_string(lines->size()) +
                                " of the file?")) {
        return;
    }
    const auto page = static_cast<std::size_t>(document_.page);
    setButtonCommands(document_.menu, page, static_cast<std::size_t>(bog_),
                      static_cast<std::size_t>(index_), std::move(*lines));
    showButton(bog_, index_);
    emit commandsChanged();
}

// ---------------------------------------------------------------------------
// Layout

// "No." and the three words share a fixed width; the grid takes the largest
// font (down to a limit) whose eight digits fit a word's column.
void MenuCommandsView::fitCommandFont() {
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

void MenuCommandsView::fitCommandColumns() {
    const int width = sgMenuCommands->width();
    if (width <= kCommandLineMinGridWidth) return;
    sgMenuCommands->setGridColumnWidth(kCommandLineColumn, width - kFixedCommandColumns);
}

void MenuCommandsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitCommandColumns();
}

bool MenuCommandsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgMenuCommands && event->type() == QEvent::KeyPress &&
        listKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (watched == sgMenuCommands && event->type() == QEvent::Resize) fitCommandColumns();
    return QWidget::eventFilter(watched, event);
}

}  // namespace lumora::app
