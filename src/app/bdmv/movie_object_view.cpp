#include "app/bdmv/movie_object_view.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/commands/command_editor.h"
#include "app/commands/program_list_dialog.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/file_io.h"

namespace lumora::app {
namespace {

// Status panel 1 counts the commands while a long list fills the grid.
constexpr std::size_t kProgressStep = 128;

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

QString toQ(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* flagList(QWidget* parent, const QString& name, const QString& hint,
                    const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->addItems(items);
    return box;
}

// The command grid's font gets no smaller than this to fit its columns.
constexpr qreal kSmallestCommandFont = 7.0;

// The two grids stand side by side with the index group: they take the
// condensed face of the window's font where the system has one.
QFont gridFont(QFont font) {
    font.setStretch(QFont::Condensed);
    return font;
}

}  // namespace

// --- RotatedLabel -------------------------------------------------------------

QSize RotatedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.height() + 4, metrics.horizontalAdvance(text()) + 8};
}

void RotatedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.translate(0, height());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, height(), width()), Qt::AlignCenter, text());
}

// --- MovieObjectView ------------------------------------------------------------

MovieObjectView::MovieObjectView(BdmvContext& context, QWidget* parent)
    : QGroupBox("MovieObject.bdmv", parent), context_(context) {
    setObjectName("gbMovieObject");
    splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName("spObjects");
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildObjectsPanel());
    splitter->addWidget(buildCommandsPanel());
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    connectControls();
    clear();
}

QWidget* MovieObjectView::buildObjectsPanel() {
    pObjects = new QWidget(splitter);
    pObjects->setObjectName("pObjects");
    sgObject = new StringGrid(pObjects);
    sgObject->setObjectName("sgObject");
    sgObject->setToolTip("Movie objects");
    sgObject->setHeaders({"No.", "resume", "menu call", "title search", "commands"});
    sgObject->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    sgObject->setFont(gridFont(sgObject->font()));
    sgObject->setDefaultRowHeight(sgObject->fontMetrics().height() + 6);
    sgObject->setGridColumnWidth(1, fittedColumnWidth(*sgObject, 1, {"suspend", "discard"}));
    sgObject->setGridColumnWidth(2, fittedColumnWidth(*sgObject, 2, {"disable"}));
    sgObject->setGridColumnWidth(3, fittedColumnWidth(*sgObject, 3, {"disable"}));
    sgObject->setGridColumnWidth(4, fittedColumnWidth(*sgObject, 4, {"0000"}));
    sgObject->horizontalHeader()->setStretchLastSection(true);

    cbResume = flagList(pObjects, "cbResume", "Resume", {toQ(resumeText(0)), toQ(resumeText(1))});
    const QStringList mask{toQ(maskText(0)), toQ(maskText(1))};
    cbMenuCall = flagList(pObjects, "cbMenuCall", "Menu call", mask);
    cbTitleSearch = flagList(pObjects, "cbTitleSearch", "Title search", mask);
    bInsObject = smallButton(pObjects, "+", "bInsObject", "Insert movieobject");
    bDelObject = smallButton(pObjects, "-", "bDelObject", "Delete movieobject");
    lObjects = new RotatedLabel(pObjects);
    lObjects->setObjectName("lObjects");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bInsObject);
    buttons->addWidget(bDelObject);
    buttons->addStretch(1);
    auto* flags = new QVBoxLayout;
    flags->setSpacing(3);
    flags->addWidget(cbResume);
    flags->addWidget(cbMenuCall);
    flags->addWidget(cbTitleSearch);
    flags->addLayout(buttons);
    flags->addStretch(1);
    auto* layout = new QHBoxLayout(pObjects);
    // The count label lives in the strip on the right, outside the layout.
    layout->setContentsMargins(0, 0, kCountLabelInset + 2, 0);
    layout->addWidget(sgObject, 1);
    layout->addLayout(flags);
    pObjects->installEventFilter(this);
    return pObjects;
}

QWidget* MovieObjectView::buildCommandsPanel() {
    pCommands = new QWidget(splitter);
    pCommands->setObjectName("pCommands");
    sgCommands = new StringGrid(pCommands);
    sgCommands->setObjectName("sgCommands");
    sgCommands->setToolTip(toQ(kCommandsTooltip));
    sgCommands->setHeaders(commandGridHeaders());
    sgCommands->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CommandCellDelegate::install(sgCommands);
    fitCommandFont();
    sgCommands->setMinimumHeight(60);
    sgCommands->installEventFilter(this);

    extDatRow_ = new QWidget(pCommands);
    auto* row = extensionDataRow(extDatRow_, "lObjExtDat", "bObjExtDat", lObjExtDat, bObjExtDat);
    row->setContentsMargins(0, 0, 0, 0);
    extDatRow_->setLayout(row);

    auto* layout = new QVBoxLayout(pCommands);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(sgCommands, 1);
    layout->addWidget(buildCommandTools());
    layout->addWidget(extDatRow_);
    pCommands->installEventFilter(this);
    return pCommands;
}

// The builder, with the line buttons and the program list button beside its
// hex fields.
QWidget* MovieObjectView::buildCommandTools() {
    commandEditor = new CommandEditor(pCommands);
    bInsCmd = smallButton(commandEditor, "+", "bInsCmd", "Insert a line after selected line(s)");
    bDelCmd = smallButton(commandEditor, "-", "bDelCmd", "Delete the selected line(s)");
    bbSaveProg = new QToolButton(commandEditor);
    bbSaveProg->setObjectName("bbSaveProg");
    bbSaveProg->setToolTip(toQ(kProgramListDialogTitle));
    bbSaveProg->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    bbLoadProg = new QToolButton(commandEditor);
    bbLoadProg->setObjectName("bbLoadProg");
    bbLoadProg->setToolTip(toQ(kLoadProgramListTitle));
    bbLoadProg->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    for (QWidget* w : std::initializer_list<QWidget*>{bInsCmd, bDelCmd, bbSaveProg, bbLoadProg})
        commandEditor->addBesideWords(w);
    return commandEditor;
}

void MovieObjectView::connectControls() {
    connect(sgObject, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) objectRowChosen(row + 1);
            });
    connect(sgObject, &QTableWidget::cellClicked, this,
            [this](int row, int) { objectRowChosen(row + 1); });
    connect(cbResume, &QComboBox::activated, this,
            [this](int item) { flagChosen(&Tmobject::resumeIntention, item); });
    connect(cbMenuCall, &QComboBox::activated, this,
            [this](int item) { flagChosen(&Tmobject::menuCallMask, item); });
    connect(cbTitleSearch, &QComboBox::activated, this,
            [this](int item) { flagChosen(&Tmobject::titleSearchMask, item); });
    connect(bInsObject, &QPushButton::clicked, this, &MovieObjectView::insertObject);
    connect(bDelObject, &QPushButton::clicked, this, &MovieObjectView::deleteObjects);
    connect(bObjExtDat, &QPushButton::clicked, this, &MovieObjectView::editExtensionData);
    connectCommandControls();
}

void MovieObjectView::connectCommandControls() {
    connect(sgCommands, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) showCommandInEditor();
            });
    connect(sgCommands, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (currentCommands() != nullptr && row < static_cast<int>(currentCommands()->size()))
            emit commandRowClicked(row);
    });
    // The follow waits until the grid is done with the mouse, which would
    // otherwise put the selection back on the clicked row.
    connect(
        sgCommands, &QTableWidget::cellDoubleClicked, this,
        [this](int row, int) { followCommandLine(row); }, Qt::QueuedConnection);
    connect(sgCommands, &StringGrid::insertPressed, this, &MovieObjectView::insertCommandLine);
    connect(sgCommands, &StringGrid::shiftDeletePressed, this,
            &MovieObjectView::deleteCommandLines);
    connect(bInsCmd, &QPushButton::clicked, this, &MovieObjectView::insertCommandLine);
    connect(bDelCmd, &QPushButton::clicked, this, &MovieObjectView::deleteCommandLines);
    connect(bbSaveProg, &QToolButton::clicked, this, &MovieObjectView::saveProgramList);
    connect(bbLoadProg, &QToolButton::clicked, this, &MovieObjectView::loadProgramList);
    connect(commandEditor, &CommandEditor::commandEdited, this, &MovieObjectView::commandEdited);
    connect(commandEditor, &CommandEditor::returnToGrid, this,
            [this] { sgCommands->setFocus(Qt::OtherFocusReason); });
}

// ---------------------------------------------------------------------------
// Showing the model

void MovieObjectView::clear() {
    showing_ = true;
    sgObject->clearGrid();
    sgCommands->clearGrid();
    showing_ = false;
    selected_ = -1;
    showFlags();
    showLabels();
    enableControls();
}

void MovieObjectView::showFile(bool good) {
    showObjects();
    showLabels();
    selected_ = -1;
    if (good && !file().objects.empty()) {
        selectObject(0);
    } else {
        showFlags();
        sgCommands->clearGrid();
    }
    enableControls();
}

void MovieObjectView::showObjects() {
    showing_ = true;
    const auto& objects = file().objects;
    if (objects.empty()) {
        sgObject->clearGrid();
    } else {
        sgObject->setDataRows(static_cast<int>(objects.size()));
        for (std::size_t i = 0; i < objects.size(); ++i)
            showObjectRow(i);
        sgObject->setEnabled(good());
    }
    showing_ = false;
}

void MovieObjectView::showObjectRow(std::size_t object) {
    const auto cells = movieObjectRowCells(object, file().objects[object]);
    for (int col = 0; col < static_cast<int>(cells.size()); ++col)
        sgObject->setCell(col, static_cast<int>(object) + 1,
                          toQ(cells[static_cast<std::size_t>(col)]));
}

void MovieObjectView::showFlags() {
    const Tmobject* object = current();
    const auto item = [&](std::uint8_t Tmobject::*flag) {
        return object != nullptr && object->*flag <= 1 ? static_cast<int>(object->*flag) : -1;
    };
    cbResume->setCurrentIndex(item(&Tmobject::resumeIntention));
    cbMenuCall->setCurrentIndex(item(&Tmobject::menuCallMask));
    cbTitleSearch->setCurrentIndex(item(&Tmobject::titleSearchMask));
}

void MovieObjectView::showCommands() {
    const Tmobject* object = current();
    Reporter& reporter = *context_.reporter;
    if (object != nullptr && !object->commands.empty()) {
        reporter.slog("Building commands...", 0);
        sgCommands->setDataRows(static_cast<int>(object->commands.size()));
        showCommandRows(0, true);
        sgCommands->setEnabled(true);
    } else {
        sgCommands->clearGrid();
    }
    reporter.slogR();
    selectCommandLine(0);
    enableCommandControls();
}

// Rows `from` to the end show their commands again; the Menu tab sounds the
// invalid-word tone once for the rows it shows, not once a row.
void MovieObjectView::showCommandRows(std::size_t from, bool progress) {
    const TCommands* commands = currentCommands();
    if (commands == nullptr) return;
    const std::size_t count = commands->size();
    bool invalidShown = false;
    for (std::size_t k = from; k < count; ++k) {
        const CommandRow row = comm2str(k, (*commands)[k], CommandContext::MovieObject);
        showCommandRow(*sgCommands, row);
        invalidShown = invalidShown || row.invalidTone;
        if (progress && k % kProgressStep == 0) {
            context_.reporter->slog(std::to_string(k + 1) + "/" + std::to_string(count), 1);
        }
    }
    if (invalidShown && menuTabActive && menuTabActive() && tone) tone(kInvalidTone);
}

void MovieObjectView::showLabels() {
    lObjects->setText(toQ(objectsLabel(file())));
    lObjects->resize(lObjects->sizeHint().width(), lObjects->height());
    lObjExtDat->setText(toQ(extensionDataSummary(file().extensionData)));
    lObjects->update();
}

void MovieObjectView::enableControls() {
    const bool any = good() && !file().objects.empty();
    for (QWidget* w : std::initializer_list<QWidget*>{cbResume, cbMenuCall, cbTitleSearch})
        w->setEnabled(any && current() != nullptr);
    bInsObject->setEnabled(good());
    bDelObject->setEnabled(any);
    bObjExtDat->setEnabled(good());
    enableCommandControls();
}

// Lines can be added to any selected object; deleting and the program list
// need lines.
void MovieObjectView::enableCommandControls() {
    const bool selected = good() && current() != nullptr;
    const bool lines = selected && !current()->commands.empty();
    bInsCmd->setEnabled(selected);
    bDelCmd->setEnabled(lines);
    bbSaveProg->setEnabled(lines);
}

Tmobject* MovieObjectView::current() const {
    const auto& objects = file().objects;
    return selected_ >= 0 && selected_ < static_cast<int>(objects.size())
               ? &file().objects[static_cast<std::size_t>(selected_)]
               : nullptr;
}

bool MovieObjectView::selectedHasCommands() const {
    const Tmobject* object = current();
    return object != nullptr && !object->commands.empty();
}

const TCommands* MovieObjectView::currentCommands() const {
    const Tmobject* object = current();
    return object != nullptr ? &object->commands : nullptr;
}

// ---------------------------------------------------------------------------
// Selecting

void MovieObjectView::selectObject(int object) {
    if (object < 0 || object >= static_cast<int>(file().objects.size())) {
        selected_ = -1;
        showFlags();
        sgCommands->clearGrid();
        showCommandInEditor();
        enableControls();
        emit objectSelected(-1);
        return;
    }
    selected_ = object;
    showing_ = true;
    sgObject->setGridCursor(1, object + 1);
    sgObject->selectRow(object);
    showing_ = false;
    showFlags();
    enableControls();
    emit objectSelected(object);
    showCommands();
}

void MovieObjectView::setObjectSG(int object) {
    if (object < 0 || object >= static_cast<int>(file().objects.size())) return;
    // The object shown already keeps its command rows (a long list takes a
    // while to build).
    if (object != selected_) selectObject(object);
    // The row above the object stays in sight; the scroll bar stops at the
    // last page by itself.
    sgObject->verticalScrollBar()->setValue(std::max(object - 1, 0));
}

void MovieObjectView::objectRowChosen(int row) {
    // A click on the row that is shown already (the press made it current)
    // changes nothing.
    if (showing_ || row < 1 || row - 1 == selected_) return;
    selectObject(row - 1);
}

void MovieObjectView::flagChosen(std::uint8_t Tmobject::*flag, int item) {
    Tmobject* object = current();
    if (object == nullptr || item < 0) return;
    object->*flag = static_cast<std::uint8_t>(item);
    showObjectRow(static_cast<std::size_t>(selected_));
}

// ---------------------------------------------------------------------------
// Insert and delete

void MovieObjectView::insertObject() {
    if (!good()) return;
    const int count = static_cast<int>(file().objects.size());
    int after = count == 0 ? -1 : sgObject->selectionBottom() - 1;
    if (count > 0 && (after < 0 || after >= count)) after = std::max(selected_, 0);
    const std::size_t added = insertMovieObject(file(), context_.index(), after);
    showObjects();
    showLabels();
    emit objectsChanged();
    emit referencesChanged();
    selectObject(static_cast<int>(added));
}

void MovieObjectView::deleteObjects() {
    const int count = static_cast<int>(file().objects.size());
    if (!good() || count == 0) return;
    int first = sgObject->selectionTop() - 1;
    int last = sgObject->selectionBottom() - 1;
    if (first < 0 || last < first || last >= count) first = last = std::max(selected_, 0);
    const auto invalid = deleteMovieObjects(
        file(), context_.index(), static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    Reporter& reporter = *context_.reporter;
    for (const InvalidReference& reference : invalid)
        reporter.erlog("Invalid object reference in " + reference.entry);
    showObjects();
    showLabels();
    emit objectsChanged();
    emit referencesChanged();
    selectObject(file().objects.empty() ? -1 : std::max(first - 1, 0));
    // After the selection, whose report would end the error display.
    if (!invalid.empty()) reporter.erslog("See Status");
}

// ---------------------------------------------------------------------------
// Command lines

void MovieObjectView::setCommandClipboard(CommandClipboard* clipboard) {
    clipboard_ = clipboard != nullptr ? clipboard : &ownClipboard_;
}

int MovieObjectView::currentCommandLine() const {
    const TCommands* commands = currentCommands();
    const int line = sgCommands->gridRow() - 1;
    return commands != nullptr && line >= 0 && line < static_cast<int>(commands->size()) ? line
                                                                                         : -1;
}

void MovieObjectView::selectCommandLine(int line) {
    const TCommands* commands = currentCommands();
    if (commands != nullptr && line >= 0 && line < static_cast<int>(commands->size())) {
        sgCommands->setGridCursor(1, line + 1);
        sgCommands->clearSelection();
        sgCommands->selectRow(line);
        sgCommands->scrollTo(sgCommands->model()->index(line, 0));
    } else {
        sgCommands->setGridCursor(1, 1);
    }
    showCommandInEditor();
}

void MovieObjectView::showCommandInEditor() {
    const TCommands* commands = currentCommands();
    const int line = currentCommandLine();
    std::optional<TCommand> shown;
    if (line >= 0) shown = (*commands)[static_cast<std::size_t>(line)];
    commandEditor->showCommand(shown);
    sgCommands->setToolTip(commandEditor->gridTooltip());
}

LineRange MovieObjectView::selectedLines() const {
    return selectedCommandLines(*sgCommands);
}

std::size_t MovieObjectView::lastSelectedLine() const {
    return selectedLines().last;
}

void MovieObjectView::showListEdit(const ListEdit& edit) {
    if (!edit.status.empty()) context_.reporter->slog(edit.status, 1);
    if (!edit.changed) return;
    const TCommands& commands = *currentCommands();
    if (commands.empty()) {
        // The emptied list keeps its grid: "+" and the keys still work on it.
        sgCommands->clearGrid();
        sgCommands->setEnabled(true);
    } else {
        sgCommands->setDataRows(static_cast<int>(commands.size()));
        sgCommands->setEnabled(true);
        showCommandRows(edit.redrawFrom, false);
        for (const std::size_t line : edit.retargeted) {
            if (line < edit.redrawFrom)
                showCommandRow(*sgCommands,
                               comm2str(line, commands[line], CommandContext::MovieObject));
        }
    }
    if (edit.delta != 0) {
        showObjectRow(static_cast<std::size_t>(selected_));
        emit commandsChanged();
    }
    selectCommandLine(static_cast<int>(edit.select));
    enableCommandControls();
}

void MovieObjectView::insertCommandLine() {
    if (!good() || current() == nullptr) return;
    showListEdit(
        lumora::insertNewLine(file(), static_cast<std::size_t>(selected_), lastSelectedLine()));
}

void MovieObjectView::deleteCommandLines() {
    if (!good() || current() == nullptr) return;
    showListEdit(delcmd(file(), static_cast<std::size_t>(selected_), selectedLines()));
}

void MovieObjectView::copyCommandLines() {
    if (currentCommands() == nullptr) return;
    const ListEdit edit = copycmd(*clipboard_, *currentCommands(), selectedLines());
    if (!edit.status.empty()) context_.reporter->slog(edit.status, 1);
}

void MovieObjectView::cutCommandLines() {
    if (!good() || current() == nullptr) return;
    showListEdit(cutcmd(*clipboard_, file(), static_cast<std::size_t>(selected_), selectedLines()));
}

void MovieObjectView::pasteCommandLines() {
    if (!good() || current() == nullptr) return;
    showListEdit(
        pastecmd(*clipboard_, file(), static_cast<std::size_t>(selected_), lastSelectedLine()));
}

void MovieObjectView::nopCommandLine() {
    if (!good() || current() == nullptr) return;
    showListEdit(nopcmd(current()->commands, selectedLines().first));
}

void MovieObjectView::selectAllCommandLines() {
    const TCommands* commands = currentCommands();
    if (commands == nullptr || commands->empty()) return;
    selectAllCommandRows(*sgCommands, commands->size());
}

void MovieObjectView::commandEdited(const TCommand& command) {
    const int line = currentCommandLine();
    if (line < 0) return;
    const auto at = static_cast<std::size_t>(line);
    current()->commands[at] = command;
    showCommandRow(*sgCommands, comm2str(at, command, CommandContext::MovieObject));
    showCommandInEditor();
}

void MovieObjectView::stepToneFor(int line) {
    const TCommands* commands = currentCommands();
    if (commands == nullptr || line < 0 || !tone) return;
    if (stepTone(*commands, static_cast<std::size_t>(line))) tone(kInvalidLineStepTone);
}

// The keys of the command grid beyond Insert and Shift+Delete, which the
// grid reports itself.  True when the key was taken.
bool MovieObjectView::commandKey(const QKeyEvent& event) {
    const CommandListActions actions{[this] { copyCommandLines(); }, [this] { cutCommandLines(); },
                                     [this] { pasteCommandLines(); },
                                     [this] { selectAllCommandLines(); },
                                     [this] { nopCommandLine(); }};
    if (runCommandListKey(event, actions)) return true;
    // Up and Down move as ever; the tone tells that the line reached holds
    // no valid command.
    const int line = sgCommands->gridRow() - 1;
    if (isKey(event, Qt::Key_Up, Qt::NoModifier) && line > 0) stepToneFor(line - 1);
    if (isKey(event, Qt::Key_Down, Qt::NoModifier)) stepToneFor(line + 1);
    return false;
}

void MovieObjectView::followCommandLine(int line) {
    const TCommands* commands = currentCommands();
    if (commands == nullptr || line < 0) return;
    const CommandFollow follow = followCommand(*commands, static_cast<std::size_t>(line));
    if (follow.line) selectCommandLine(static_cast<int>(*follow.line));
    if (follow.movieObject && *follow.movieObject < file().objects.size()) {
        setObjectSG(static_cast<int>(*follow.movieObject));
    }
    if (follow.title || follow.playlist || follow.menuPage || follow.menuButton) {
        emit followRequested(follow);
    }
}

// ---------------------------------------------------------------------------
// Program list

ProgramListRequest MovieObjectView::programListRequest(bool saving) const {
    const int option = programFormat ? programFormat() : 0;
    const auto format = option == 1 ? ProgramFormat::Binary : ProgramFormat::List;
    ProgramListRequest request;
    request.title = toQ(saving ? kProgramListDialogTitle : kLoadProgramListTitle);
    request.filters = dialogFilters(kProgramListFilter);
    request.selectedFilter = static_cast<int>(format);
    request.folder = context_.outputFolder ? context_.outputFolder() : QString();
    request.fileName = toQ(programListFileName(static_cast<std::size_t>(selected_), format));
    request.saving = saving;
    return request;
}

void MovieObjectView::saveProgramList() {
    const TCommands* commands = currentCommands();
    if (commands == nullptr || commands->empty()) return;
    const std::optional<ProgramListTarget> target = chooseProgramListFile(programListRequest(true));
    sgCommands->setFocus(Qt::OtherFocusReason);
    if (!target) return;
    try {
        lumora::saveProgramList(target->path.toStdString(), *commands, target->format,
                                CommandContext::MovieObject);
    } catch (const FileError& error) {
        showFileError(QString::fromUtf8(error.what()));
    }
}

void MovieObjectView::loadProgramList() {
    if (!good() || current() == nullptr) return;
    const std::optional<ProgramListTarget> target =
        chooseProgramListFile(programListRequest(false));
    sgCommands->setFocus(Qt::OtherFocusReason);
    if (!target) return;
    const std::optional<TCommands> lines = readProgramListFile(
        *target, *context_.reporter, [this](const QString& message) { showFileError(message); });
    if (!lines) return;
    const std::size_t held = current()->commands.size();
    if (held != 0 &&
        !context_.reporter->ask("Replace the " + std::to_string(held) +
                                " commands of movie object " + std::to_string(selected_) +
                                " by the " + std::to_string(lines->size()) + " of the file?")) {
        return;
    }
    if (held == 0 && lines->empty()) return;
    const auto object = static_cast<std::size_t>(selected_);
    if (held != 0) delcmd(file(), object, {0, held - 1});
    ListEdit edit = inscmd(file(), object, 0, *lines);
    // Every row shows another command now; the count moved by the difference.
    edit.changed = true;
    edit.redrawFrom = 0;
    edit.select = 0;
    edit.delta = static_cast<int>(lines->size()) - static_cast<int>(held);
    showListEdit(edit);
}

void MovieObjectView::showFileError(const QString& message) {
    if (fileErrorBox) {
        fileErrorBox(message);
    } else {
        QMessageBox::critical(this, window()->windowTitle(), message);
    }
}

std::optional<ProgramListTarget> MovieObjectView::chooseProgramListFile(
    const ProgramListRequest& request) {
    return programListChooser ? programListChooser(request) : runProgramListDialog(this, request);
}

// ---------------------------------------------------------------------------
// ExtensionData

void MovieObjectView::editExtensionData() {
    const QString folder = context_.outputFolder ? context_.outputFolder() : QString();
    TfExtDat dialog(toQ(std::string(context_.names.movieObject)), file().extensionData, folder,
                    this);
    const bool ok =
        context_.runExtDat ? context_.runExtDat(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return;
    setMovieObjectExtensionData(file(), dialog.block());
    showLabels();
}

// ---------------------------------------------------------------------------
// Layout

int MovieObjectView::objectPanelHeight() const {
    return heightApplied_ ? pObjects->height() : wantedObjectHeight_;
}

void MovieObjectView::setObjectPanelHeight(int height) {
    wantedObjectHeight_ = std::max(height, 0);
    heightApplied_ = false;
    if (isVisible()) keepObjectsPanelInBounds();
}

void MovieObjectView::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    keepObjectsPanelInBounds();
}

// The stored height of the objects panel takes effect once the group has its
// size on screen.
void MovieObjectView::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    keepObjectsPanelInBounds();
}

// The commands keep at least their minimum; the objects panel gives way.
void MovieObjectView::keepObjectsPanelInBounds() {
    const int limit =
        std::max(height() - kObjectsHeightMargin, pObjects->minimumSizeHint().height());
    pObjects->setMaximumHeight(limit);
    const int total = splitter->height() - splitter->handleWidth();
    if (!heightApplied_ && isVisible() && splitter->height() > 0) {
        const int wanted = std::min(wantedObjectHeight_, limit);
        splitter->setSizes({wanted, std::max(total - wanted, 0)});
        heightApplied_ = true;
    }
    if (pCommands->height() < kMinCommandsHeight) {
        splitter->setSizes({limit, std::max(total - limit, 0)});
    }
}

// "Command line" takes all but a fixed share of the grid, which "No." and the
// three words split.  The grid keeps the window's font size unless eight
// digits do not fit a word's column; then it takes the largest size that
// fits.  Its vertical scroll bar, when shown, covers the end of "Command
// line".
void MovieObjectView::fitCommandFont() {
    const int share = kFixedCommandColumns - 2 * sgCommands->frameWidth();
    QFont font = gridFont(sgCommands->font());
    int number = 0;
    int word = 0;
    for (;;) {
        sgCommands->setFont(font);
        number = fittedColumnWidth(*sgCommands, 0, {"0000"});
        word = (share - number) / 3;
        int needed = 0;
        for (int col = 1; col < kCommandLineColumn; ++col)
            needed = std::max(needed, fittedColumnWidth(*sgCommands, col, {"00000000"}));
        if (needed <= word || font.pointSizeF() - 0.5 < kSmallestCommandFont) break;
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    sgCommands->setDefaultRowHeight(QFontMetrics(font).height() + 6);
    sgCommands->setGridColumnWidth(0, number);
    for (int col = 1; col < kCommandLineColumn; ++col)
        sgCommands->setGridColumnWidth(col, word);
}

void MovieObjectView::fitCommandColumns() {
    const int width = sgCommands->width() - kFixedCommandColumns;
    sgCommands->setGridColumnWidth(kCommandLineColumn, std::max(width, 0));
}

void MovieObjectView::placeCountLabel() {
    lObjects->setGeometry(pObjects->width() - kCountLabelInset, 0, lObjects->sizeHint().width(),
                          pObjects->height());
}

bool MovieObjectView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sgCommands && event->type() == QEvent::KeyPress &&
        commandKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    if (event->type() == QEvent::Resize) {
        if (watched == sgCommands) fitCommandColumns();
        if (watched == pCommands) extDatRow_->setVisible(pCommands->width() > kExtDatMinWidth);
        if (watched == pObjects) placeCountLabel();
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace lumora::app
