// The navigation commands on the BDMV and Status tabs, on the demo disc: the
// command grid's rows and their drawing, list editing with its keys and
// buttons, the command builder, following a command, the program list, the
// interpreter behind "Start" with its trace and Cancel, and the registers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/index_view.h"
#include "app/bdmv/movie_object_view.h"
#include "app/commands/command_editor.h"
#include "app/commands/command_grid.h"
#include "app/commands/command_runner.h"
#include "app/commands/execute_panel.h"
#include "app/commands/register_panel.h"
#include "app/options/options_tab.h"
#include "app/playlist/playlist_context.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/gui_sink.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/status/status_tab.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/text.h"
#include "demo/demo_disc.h"
#include "navigation/command_list.h"
#include "navigation/movie_object_file.h"
#include "playback/interpreter.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TCommand;
using lumora::TCommands;
using lumora::TMOBJ;

namespace {

// Words of the demo's and of the test's own commands.
constexpr std::uint32_t kGoTo = 0x20810000;
constexpr std::uint32_t kEqual = 0x48400200;
constexpr std::uint32_t kJumpTitle = 0x21810000;
constexpr std::uint32_t kPlayPlaylist = 0x22800000;
constexpr std::uint32_t kJumpObject = 0x21800000;
constexpr std::uint32_t kMoveImmediate = 0x50400001;

// Object 5 of the test disc: one command of each kind the grid draws apart.
const TCommands kSpecials = {
    {0x50000001, 1, 2},                  // 0 Move GPR1, GPR2: both operands blue
    {0x02030000, 0, 0},                  // 1 Terminate PL: forbidden in a movie object
    {0x50800001, 0, 0},                  // 2 Move with an immediate destination: invalid
    {0x50400001, 0x80000010, 0x656E67},  // 3 Move PSR16, "eng": a PSR comment
    {0x00000000, 5, 6},                  // 4 NOP with operands: both grey
    {kGoTo, 3, 0},                       // 5 GoTo 3: source grey
    {0x42C10000, 0, 2},                  // 6 Play PL_PI 0, 2
    {kMoveImmediate, 7, 2},              // 7 Move GPR7, 2
    {0x22000000, 7, 0},                  // 8 Play PL GPR7 (playlist 2, set just before)
};
constexpr int kSpecialsObject = 5;

// The demo disc in a folder of its own, its unused object 5 holding kSpecials.
struct Disc {
    Disc() : info(lumora::makeDemoDisc(dir / "disc")) {
        TMOBJ file = objects();
        file.objects[kSpecialsObject].commands = kSpecials;
        file.length = 6;
        for (const auto& object : file.objects)
            file.length += static_cast<std::uint32_t>(lumora::movieObjectSize(object));
        lumora::test::writeFile(path("MovieObject.bdmv"), lumora::movieObjectBytes(file));
    }
    std::string path(const std::string& name) const { return info.folder + name; }
    TMOBJ objects() const {
        TMOBJ file;
        lumora::parseMovieObjects(lumora::test::readFile(path("MovieObject.bdmv")),
                                  "MovieObject.bdmv", file);
        return file;
    }
    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
};

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// A main window on the disc, shown, without show delay, whose tones and
// error boxes are recorded.
struct Window {
    Window(const std::string& settingsFile, const Disc& disc) {
        window.settingsFactory = [file = q(settingsFile)] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window.fileErrorBox = [this](const QString& message) { fileErrors << message; };
        window.startUp({q(disc.path("index.bdmv"))});
        window.reporter().setActivationDelay(0);
        objects().tone = [this](const lumora::Tone& tone) { tones.push_back(tone); };
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    MovieObjectView& objects() const { return *window.bdmvTab->movieObjectView; }
    StringGrid& grid() const { return *objects().sgCommands; }
    CommandEditor& editor() const { return *objects().commandEditor; }
    TMOBJ& model() const { return window.bdmvTab->context().models->objects; }
    const TCommands& commands(int object) const {
        return model().objects[static_cast<std::size_t>(object)].commands;
    }
    QString panel(int index) const { return window.statusLine->panelText(index); }
    QStringList log() const { return window.statusTab->reMessage->lines(); }
    void showObject(int object) { objects().setObjectSG(object); }

    TfMain window;
    QStringList fileErrors;
    std::vector<lumora::Tone> tones;
};

QPoint rowPoint(const StringGrid& grid, int row) {
    return grid.visualRect(grid.model()->index(row - 1, 0)).center();
}

void clickRow(StringGrid& grid, int row) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowPoint(grid, row));
}

// A user's double click: a click, then the second press as a double click.
// The follow waits for the mouse to be done with the grid.
void doubleClickRow(StringGrid& grid, int row) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rowPoint(grid, row));
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, rowPoint(grid, row));
    QCoreApplication::processEvents();
}

void selectRows(StringGrid& grid, int first, int last) {
    grid.setGridCursor(1, first);
    grid.clearSelection();
    grid.setRangeSelected(
        QTableWidgetSelectionRange(first - 1, 0, last - 1, grid.columnCount() - 1), true);
}

void pick(QComboBox* box, const QString& text) {
    const int item = box->findText(text);
    QVERIFY2(item >= 0, qPrintable(box->objectName() + ": " + text));
    box->setCurrentIndex(item);
    emit box->activated(item);
}

// Types `text` over a field's content and presses Enter.
void type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

QStringList rowCells(const StringGrid& grid, int row) {
    QStringList cells;
    for (int col = 0; col <= grid.dataColumns(); ++col)
        cells << grid.cell(col, row);
    return cells;
}

QStringList expectedCells(std::size_t index, const TCommand& command) {
    QStringList cells;
    for (const std::string& cell :
         lumora::comm2str(index, command, lumora::CommandContext::MovieObject).cells())
        cells << q(cell);
    return cells;
}

// The grid shows exactly `commands`, one row each.
void verifyGridShows(const StringGrid& grid, const TCommands& commands) {
    QCOMPARE(grid.dataRows(), static_cast<int>(commands.size()));
    for (std::size_t k = 0; k < commands.size(); ++k)
        QCOMPARE(rowCells(grid, static_cast<int>(k) + 1), expectedCells(k, commands[k]));
}

bool sameCommands(const TCommands& a, const TCommands& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

// Pixels of `image` within `rect` whose colour lies near `colour`.
int pixelsNear(const QImage& image, const QRect& rect, const QColor& colour) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int distance = std::abs(pixel.red() - colour.red()) +
                                 std::abs(pixel.green() - colour.green()) +
                                 std::abs(pixel.blue() - colour.blue());
            if (distance <= 30) ++count;
        }
    }
    return count;
}

}  // namespace

Q_DECLARE_METATYPE(TCommands)

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void gridRowsAndTheirDrawing_data();
    void gridRowsAndTheirDrawing();
    void cellsAreDrawnInTheirColours();
    void insertAndDeleteKeepGoToTargets_data();
    void insertAndDeleteKeepGoToTargets();
    void clipboardKeys();
    void copyingBetweenObjects();
    void tonesOnInvalidLines();
    void builderControlsRewriteTheCommand();
    void doubleClickFollowsTheCommand();
    void programListInBothFormats_data();
    void programListInBothFormats();
    void startRunsToTheEnd();
    void traceStepsThroughTheObject();
    void cancelStopsAnEndlessProgram();
    void registerDumps();
    void resetRegsRefreshesThePanel();
    void registerPanelFieldRules_data();
    void registerPanelFieldRules();

private:
    std::string settingsFile() const { return *settings_ / "settings.ini"; }
    std::unique_ptr<lumora::test::TempDir> settings_;
};

void CommandsTest::initTestCase() {
    lumora::apptest::isolateSettings();
    settings_ = std::make_unique<lumora::test::TempDir>();
}

// ---------------------------------------------------------------------------
// Rows and drawing

void CommandsTest::gridRowsAndTheirDrawing_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("col");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("paper");  // "grid", "highlight", "red", "orange"
    QTest::addColumn<QString>("ink");    // "text", "highlight", "blue", "grey", "red", "orange"
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("comment");  // the italic part; "" for none

    const int opcode = kCommandOpcodeColumn;
    const int dest = kCommandDestinationColumn;
    const int src = kCommandSourceColumn;
    const int line = kCommandLineColumn;
    QTest::newRow("operands in use") << 0 << dest << false << "grid"
                                     << "blue" << false << "00000001"
                                     << "";
    QTest::newRow("opcode") << 0 << opcode << false << "grid"
                            << "blue" << false << "50000001"
                            << "";
    QTest::newRow("plain line") << 0 << line << false << "grid"
                                << "text" << false << "Move GPR1, GPR2"
                                << "";
    QTest::newRow("selected line bold") << 0 << line << true << "highlight"
                                        << "highlight" << true << "Move GPR1, GPR2"
                                        << "";
    QTest::newRow("selected operand") << 0 << src << true << "highlight"
                                      << "highlight" << false << "00000002"
                                      << "";
    QTest::newRow("forbidden") << 1 << line << false << "grid"
                               << "orange" << true << "*Terminate PL  "
                               << " ; Forbidden opcode";
    QTest::newRow("forbidden selected") << 1 << line << true << "orange"
                                        << "highlight" << true << "*Terminate PL  "
                                        << " ; Forbidden opcode";
    QTest::newRow("forbidden operand") << 1 << dest << false << "grid"
                                       << "orange" << false << "00000000"
                                       << "";
    QTest::newRow("invalid") << 2 << line << false << "grid"
                             << "red" << true << "!Move 0, GPR0  "
                             << " ; Invalid opcode";
    QTest::newRow("invalid selected opcode") << 2 << opcode << true << "red"
                                             << "highlight" << false << "50800001"
                                             << "";
    QTest::newRow("PSR comment") << 3 << line << false << "grid"
                                 << "text" << false << "Move PSR16, 6647399       "
                                 << " ;PSR16: Language Code for Audio (b23-b0)  [eng]";
    QTest::newRow("NOP destination grey") << 4 << dest << false << "grid"
                                          << "grey" << false << "00000005"
                                          << "";
    QTest::newRow("NOP source grey") << 4 << src << false << "grid"
                                     << "grey" << false << "00000006"
                                     << "";
    QTest::newRow("GoTo destination") << 5 << dest << false << "grid"
                                      << "blue" << false << "00000003"
                                      << "";
    QTest::newRow("GoTo source grey") << 5 << src << false << "grid"
                                      << "grey" << false << "00000000"
                                      << "";
}

void CommandsTest::gridRowsAndTheirDrawing() {
    QFETCH(int, line);
    QFETCH(int, col);
    QFETCH(bool, selected);
    QFETCH(QString, paper);
    QFETCH(QString, ink);
    QFETCH(bool, bold);
    QFETCH(QString, plain);
    QFETCH(QString, comment);
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(kSpecialsObject);
    verifyGridShows(w.grid(), kSpecials);

    const QPalette palette = w.grid().palette();
    const std::map<QString, QColor> colours = {
        {"grid", palette.color(QPalette::Base)},
        {"text", palette.color(QPalette::Text)},
        {"highlight", selected && paper == "highlight" ? palette.color(QPalette::Highlight)
                                                       : palette.color(QPalette::HighlightedText)},
        {"blue", QColor(0, 0, 255)},
        {"grey", QColor(160, 160, 164)},
        {"red", QColor(255, 0, 0)},
        {"orange", QColor(255, 170, 0)},
    };
    const CellDrawing drawing = commandCellDrawing(w.grid(), col, line + 1, selected, palette);
    QCOMPARE(drawing.paper, colours.at(paper));
    QCOMPARE(drawing.ink,
             ink == "highlight" ? palette.color(QPalette::HighlightedText) : colours.at(ink));
    QCOMPARE(drawing.bold, bold);
    QCOMPARE(drawing.plain, plain);
    QCOMPARE(drawing.comment, comment);
    // The comment part is green, unless its row is selected.
    if (!comment.isEmpty())
        QCOMPARE(drawing.commentInk, selected ? drawing.ink : QColor(0, 128, 0));
}

// What the grid shows on screen: the cells in their colours.
void CommandsTest::cellsAreDrawnInTheirColours() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(kSpecialsObject);
    w.objects().selectCommandLine(8);  // the rows looked at are not selected
    QCoreApplication::processEvents();
    const QImage image = w.grid().viewport()->grab().toImage();
    const auto cellRect = [&](int line, int col) {
        const QRect rect = w.grid().visualRect(w.grid().model()->index(line, col - 1));
        return QRect(rect.topLeft() * image.devicePixelRatio(),
                     rect.size() * image.devicePixelRatio());
    };
    const struct {
        int line;
        int col;
        QColor colour;
        const char* what;
    } cases[] = {
        {0, kCommandOpcodeColumn, QColor(0, 0, 255), "blue opcode"},
        {4, kCommandDestinationColumn, QColor(160, 160, 164), "grey operand"},
        {1, kCommandLineColumn, QColor(255, 170, 0), "orange forbidden line"},
        {2, kCommandLineColumn, QColor(255, 0, 0), "red invalid line"},
        {3, kCommandLineColumn, QColor(0, 128, 0), "green comment"},
        {3, kCommandLineColumn, w.grid().palette().color(QPalette::Text), "plain part"},
    };
    for (const auto& c : cases)
        QVERIFY2(pixelsNear(image, cellRect(c.line, c.col), c.colour) > 3, c.what);
    // The invalid line's comment is drawn in green like any other.
    QVERIFY(pixelsNear(image, cellRect(2, kCommandLineColumn), QColor(0, 128, 0)) > 3);
    // An unused operand shows no blue.
    QCOMPARE(pixelsNear(image, cellRect(4, kCommandSourceColumn), QColor(0, 0, 255)), 0);
}

// ---------------------------------------------------------------------------
// List editing

void CommandsTest::insertAndDeleteKeepGoToTargets_data() {
    // Object 4 of the demo: EQ GPR0, 1 / GoTo 3 / Jump Title 1 / Play PL 2 /
    // Jump Object 1.
    QTest::addColumn<QString>("action");  // "+", "-", "Insert", "Shift+Delete"
    QTest::addColumn<int>("first");       // selected grid rows
    QTest::addColumn<int>("last");
    QTest::addColumn<TCommands>("after");
    QTest::addColumn<int>("selectedRow");
    const TCommand eq{kEqual, 0, 1};
    const TCommand title{kJumpTitle, 1, 0};
    const TCommand play{kPlayPlaylist, 2, 0};
    const TCommand object{kJumpObject, 1, 0};
    const TCommand nop{};
    QTest::newRow("+ after the first line")
        << "+" << 1 << 1 << TCommands{eq, nop, {kGoTo, 4, 0}, title, play, object} << 2;
    QTest::newRow("Insert after the target")
        << "Insert" << 4 << 4 << TCommands{eq, {kGoTo, 3, 0}, title, play, nop, object} << 5;
    QTest::newRow("Insert after two selected lines")
        << "Insert" << 1 << 2 << TCommands{eq, {kGoTo, 4, 0}, nop, title, play, object} << 3;
    QTest::newRow("Shift+Delete the first line")
        << "Shift+Delete" << 1 << 1 << TCommands{{kGoTo, 2, 0}, title, play, object} << 1;
    QTest::newRow("- a run holding the target")
        << "-" << 3 << 4 << TCommands{eq, {kGoTo, 1, 0}, object} << 2;
    QTest::newRow("- every line") << "-" << 1 << 5 << TCommands{} << 1;
}

void CommandsTest::insertAndDeleteKeepGoToTargets() {
    QFETCH(QString, action);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(TCommands, after);
    QFETCH(int, selectedRow);
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(4);
    selectRows(w.grid(), first, last);
    if (action == "+") w.objects().bInsCmd->click();
    if (action == "-") w.objects().bDelCmd->click();
    if (action == "Insert") QTest::keyClick(&w.grid(), Qt::Key_Insert);
    if (action == "Shift+Delete") QTest::keyClick(&w.grid(), Qt::Key_Delete, Qt::ShiftModifier);

    QVERIFY(sameCommands(w.commands(4), after));
    if (after.empty()) {
        // The emptied list keeps a usable grid; Start has nothing to run.
        QCOMPARE(rowCells(w.grid(), 1), QStringList(5, QString()));
        QVERIFY(w.grid().isEnabled());
        QVERIFY(!w.window.bStart->isEnabled());
        QVERIFY(!w.objects().bbSaveProg->isEnabled());
    } else {
        verifyGridShows(w.grid(), after);
        QVERIFY(w.window.bStart->isEnabled());
    }
    QCOMPARE(w.grid().gridRow(), selectedRow);
    QCOMPARE(w.objects().sgObject->cell(4, 5), QString::number(after.size()));

    // The saved file holds what the grid shows, with its length right.
    w.window.save();
    QVERIFY(w.fileErrors.isEmpty());
    const TMOBJ saved = disc.objects();
    QVERIFY(sameCommands(saved.objects[4].commands, after));
    std::uint32_t length = 6;
    for (const auto& object : saved.objects)
        length += static_cast<std::uint32_t>(lumora::movieObjectSize(object));
    QCOMPARE(saved.length, length);
}

void CommandsTest::clipboardKeys() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(4);
    StringGrid& grid = w.grid();
    const TCommand eq{kEqual, 0, 1};
    const TCommand title{kJumpTitle, 1, 0};
    const TCommand play{kPlayPlaylist, 2, 0};
    const TCommand object{kJumpObject, 1, 0};
    const struct {
        const char* what;
        int first, last;
        int key;
        Qt::KeyboardModifiers modifiers;
        TCommands after;
        QString status;
        int selectedRow;
    } steps[] = {
        {"paste with nothing copied",
         2,
         2,
         Qt::Key_V,
         Qt::ControlModifier,
         {eq, {kGoTo, 3, 0}, title, play, object},
         "Nothing to insert.",
         2},
        {"copy two lines",
         2,
         3,
         Qt::Key_C,
         Qt::ControlModifier,
         {eq, {kGoTo, 3, 0}, title, play, object},
         "Command(s) copied",
         2},
        {"paste after the last line",
         5,
         5,
         Qt::Key_V,
         Qt::ControlModifier,
         {eq, {kGoTo, 3, 0}, title, play, object, {kGoTo, 3, 0}, title},
         "",
         6},
        {"cut the first two lines",
         1,
         2,
         Qt::Key_X,
         Qt::ControlModifier,
         {title, play, object, {kGoTo, 1, 0}, title},
         "",
         1},
        // The pasted GoTo moves with the others.
        {"paste the cut lines",
         1,
         1,
         Qt::Key_V,
         Qt::ControlModifier,
         {title, eq, {kGoTo, 5, 0}, play, object, {kGoTo, 3, 0}, title},
         "",
         2},
        {"Shift+N on the first of two",
         3,
         4,
         Qt::Key_N,
         Qt::ShiftModifier,
         {title, eq, {}, play, object, {kGoTo, 3, 0}, title},
         "",
         4},
        {"Shift+N on the last line stays",
         7,
         7,
         Qt::Key_N,
         Qt::ShiftModifier,
         {title, eq, {}, play, object, {kGoTo, 3, 0}, {}},
         "",
         7},
    };
    for (const auto& step : steps) {
        w.window.reporter().slog("", 1);
        selectRows(grid, step.first, step.last);
        QTest::keyClick(&grid, step.key, step.modifiers);
        QVERIFY2(sameCommands(w.commands(4), step.after), step.what);
        verifyGridShows(grid, step.after);
        QCOMPARE(w.panel(1), step.status);
        QCOMPARE(grid.gridRow(), step.selectedRow);
    }
    QCOMPARE(w.objects().sgObject->cell(4, 5), QString("7"));
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(grid.selectionTop(), 1);
    QCOMPARE(grid.selectionBottom(), 7);
}

// One clipboard for every list: lines copied in one object paste into
// another as the same words.
void CommandsTest::copyingBetweenObjects() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(kSpecialsObject);
    selectRows(w.grid(), 3, 4);
    QTest::keyClick(&w.grid(), Qt::Key_C, Qt::ControlModifier);
    w.showObject(1);
    selectRows(w.grid(), 1, 1);
    QTest::keyClick(&w.grid(), Qt::Key_V, Qt::ControlModifier);
    const TCommands expected{{kPlayPlaylist, 1, 0}, kSpecials[2], kSpecials[3]};
    QVERIFY(sameCommands(w.commands(1), expected));
    verifyGridShows(w.grid(), expected);
}

void CommandsTest::tonesOnInvalidLines() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(kSpecialsObject);
    QVERIFY(w.tones.empty());  // the BDMV tab shows invalid words silently
    // Up and Down reaching the invalid line 2 sound the short tone.
    selectRows(w.grid(), 2, 2);
    const std::vector<std::pair<int, bool>> moves = {
        {Qt::Key_Down, true}, {Qt::Key_Down, false}, {Qt::Key_Up, true}, {Qt::Key_Up, false}};
    for (const auto& [key, tone] : moves) {
        const std::size_t before = w.tones.size();
        QTest::keyClick(&w.grid(), key);
        QCOMPARE(w.tones.size(), before + (tone ? 1 : 0));
    }
    QCOMPARE(w.grid().gridRow(), 2);
    for (const lumora::Tone& tone : w.tones) {
        QCOMPARE(tone.frequencyHz, 2000);
        QCOMPARE(tone.durationMs, 30);
    }

    // Shown while the Menu tab is active, an invalid word sounds once.
    w.tones.clear();
    w.window.PageControl->setCurrentIndex(TfMain::kMenu);
    w.objects().selectObject(kSpecialsObject);
    QCOMPARE(w.tones.size(), std::size_t(1));
    QCOMPARE(w.tones[0].durationMs, 40);
    // The list is still a movie object's: Terminate PL stays forbidden.
    QVERIFY(w.grid().cell(kCommandLineColumn, 2).startsWith("*"));
}

// ---------------------------------------------------------------------------
// The command builder

void CommandsTest::builderControlsRewriteTheCommand() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.showObject(5);
    TMOBJ& model = w.model();
    model.objects[5].commands = {TCommand{}};
    w.objects().selectObject(5);
    CommandEditor& e = w.editor();
    const struct {
        const char* what;
        std::function<void()> act;
        TCommand after;
        const char* line;
    } steps[] = {
        {"group", [&] { pick(e.cbCmdGroup, "Set"); }, {0x10000000, 0, 0}, "!---"},
        {"sub-group", [&] { pick(e.cbCmdSubGroup, "Set"); }, {0x10000000, 0, 0}, "!---"},
        {"option", [&] { pick(e.cbCmdOption, "Add"); }, {0x50000003, 0, 0}, "Add GPR0, GPR0"},
        {"source type", [&] { pick(e.cbSrcType, "Imm"); }, {0x50400003, 0, 0}, "Add GPR0, 0"},
        {"destination value", [&] { type(e.ieDest, "3"); }, {0x50400003, 3, 0}, "Add GPR3, 0"},
        {"source value", [&] { type(e.ieSrc, "5"); }, {0x50400003, 3, 5}, "Add GPR3, 5"},
        {"destination type",
         [&] { pick(e.cbDestType, "PSR"); },
         {0x50400003, 0x80000003, 5},
         "Add PSR3, 5"},
        {"source box off", [&] { e.cbCmdSrc->click(); }, {0x30400003, 0x80000003, 5}, "!Add PSR3"},
        {"destination box off", [&] { e.cbCmdDest->click(); }, {0x10400003, 0x80000003, 5}, "!Add"},
        {"source box on checks both",
         [&] { e.cbCmdSrc->click(); },
         {0x50400003, 0x80000003, 5},
         "Add PSR3, 5"},
        {"hex source",
         [&] { type(e.heSrc, "1f"); },
         {0x50400003, 0x80000003, 0x1F},
         "Add PSR3, 31"},
        {"hex opcode 0 clears the operands", [&] { type(e.heOpcode, "0"); }, {0, 0, 0}, "NOP"},
    };
    for (const auto& step : steps) {
        step.act();
        const TCommand& command = w.commands(5)[0];
        QVERIFY2(command == step.after, qPrintable(QString("%1: %2 %3 %4")
                                                       .arg(step.what)
                                                       .arg(command.opcode, 8, 16, QChar('0'))
                                                       .arg(command.destination, 8, 16, QChar('0'))
                                                       .arg(command.source, 8, 16, QChar('0'))));
        QVERIFY2(w.grid().cell(kCommandLineColumn, 1).startsWith(step.line), step.what);
        // The editor shows the command again.
        QCOMPARE(e.heOpcode->text(), q(lumora::hexText(step.after.opcode, 8)));
    }
    // After the "PSR" choice the grid named the PSR in its tooltip; Enter in
    // a field hands the focus back to the grid.
    QCOMPARE(w.grid().toolTip(), QString("Navigation commands"));
    pick(e.cbCmdGroup, "Set");
    pick(e.cbCmdOption, "Move");
    pick(e.cbSrcType, "PSR");
    type(e.ieSrc, "4");
    QCOMPARE(w.grid().toolTip(), QString("PSR4: Title Number (b15-b0) {1-999,$ffff}"));
    QCOMPARE(e.cbSrcType->currentText(), QString("PSR"));
    QVERIFY(e.cbCmdDest->isChecked() && e.cbCmdSrc->isChecked());
    QCOMPARE(e.ieSrc->text(), QString("4"));
    if (QApplication::focusWidget() != nullptr) QCOMPARE(QApplication::focusWidget(), &w.grid());
    QCOMPARE(w.commands(5).size(), std::size_t(1));
}

// ---------------------------------------------------------------------------
// Following a command

void CommandsTest::doubleClickFollowsTheCommand() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& index = *w.window.bdmvTab->indexView;

    // GoTo: the target line.
    w.showObject(4);
    doubleClickRow(w.grid(), 2);
    QCOMPARE(w.grid().gridRow(), 4);

    // Jump Object: that object.
    w.showObject(0);
    doubleClickRow(w.grid(), 3);
    QCOMPARE(w.objects().selectedObject(), 1);

    // Jump Title 1: the title's row, its object and the first line.
    index.selectTitle(1);
    w.showObject(4);
    doubleClickRow(w.grid(), 3);
    QCOMPARE(w.window.PageControl->currentIndex(), int(TfMain::kBdmv));
    QCOMPARE(index.sgTitles->gridRow(), 1);
    QCOMPARE(w.objects().selectedObject(), 2);
    QCOMPARE(w.grid().gridRow(), 1);

    // Playlists: the PLAYLIST tab reads the one named.  (The tab reads from
    // the working folder the window gives it.)
    PlaylistContext playlists;
    playlists.reporter = &w.window.reporter();
    playlists.disc = [&] { return w.window.disc(); };
    playlists.autoRead = [] { return false; };
    w.window.playlistTab->setContext(playlists);
    const struct {
        int object;
        int row;
        const char* playlist;
        int playItem;  // -1: not changed
    } plays[] = {
        {2, 2, "00000", -1},                // Play PL 0
        {kSpecialsObject, 9, "00002", -1},  // Move GPR7, 2 then Play PL GPR7
        {kSpecialsObject, 7, "00000", 2},   // Play PL_PI 0, 2
    };
    for (const auto& play : plays) {
        w.window.PageControl->setCurrentIndex(TfMain::kBdmv);
        w.showObject(play.object);
        doubleClickRow(w.grid(), play.row);
        QCOMPARE(w.window.PageControl->currentIndex(), int(TfMain::kPlaylist));
        QCOMPARE(w.window.playlistTab->selector()->currentText(), QString(play.playlist));
        QVERIFY(w.window.playlistTab->loaded());
        QCOMPARE(q(w.window.playlistTab->document().entry), QString(play.playlist));
        QVERIFY(w.window.playlistTab->document().good);
        if (play.playItem >= 0)
            QCOMPARE(w.window.playlistTab->playItemsView->selectedPlayItem(), play.playItem);
    }
}

// ---------------------------------------------------------------------------
// Program list

void CommandsTest::programListInBothFormats_data() {
    QTest::addColumn<int>("option");  // the program format option
    QTest::addColumn<int>("chosen");  // the filter the user leaves chosen
    QTest::newRow("list") << 0 << 0;
    QTest::newRow("binary") << 1 << 1;
    QTest::newRow("binary chosen over the option") << 0 << 1;
}

void CommandsTest::programListInBothFormats() {
    QFETCH(int, option);
    QFETCH(int, chosen);
    Disc disc;
    Window w(settingsFile(), disc);
    lumora::test::TempDir out;
    LumoraSettings settings;
    w.window.optionsTab->collectSettings(settings);
    settings.programFormat = option;
    w.window.optionsTab->applySettings(settings);
    w.window.optionsTab->findChild<QLineEdit*>("eOutputDir")->setText(q(out.path().string()));

    std::vector<ProgramListRequest> requests;
    const QString path = q(out / (chosen == 0 ? "mine.lst" : "mine.bin"));
    w.objects().programListChooser = [&](const ProgramListRequest& request) {
        requests.push_back(request);
        return std::optional<ProgramListTarget>(ProgramListTarget{
            path, chosen == 0 ? lumora::ProgramFormat::List : lumora::ProgramFormat::Binary});
    };
    w.showObject(2);
    QVERIFY(w.objects().bbSaveProg->isEnabled());
    w.objects().bbSaveProg->click();

    QCOMPARE(requests.size(), std::size_t(1));
    const ProgramListRequest& request = requests[0];
    QCOMPARE(request.title, QString("Save program list"));
    QCOMPARE(request.filters, (QStringList{"List (*.lst)", "Binary (*.bin)"}));
    QCOMPARE(request.selectedFilter, option);
    QCOMPARE(request.fileName, QString(option == 0 ? "program_002.lst" : "program_002.bin"));
    QCOMPARE(request.folder, w.window.optionsTab->outputFolder());

    const lumora::Bytes bytes = lumora::test::readFile(path.toStdString());
    const TCommands& commands = w.commands(2);
    if (chosen == 0) {
        const std::string text = lumora::programListText(commands);
        QVERIFY(bytes == lumora::Bytes(text.begin(), text.end()));
        // The lines are the grid's rows as shown.
        const QStringList lines = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                                      qsizetype(bytes.size()))
                                      .split("\r\n");
        QCOMPARE(lines.size(), 5 + 3 + 1);
        QCOMPARE(lines[5], QString("0000  [50400001,00000001 ,00000001 ]  Move GPR1, 1"));
    } else {
        QVERIFY(bytes == lumora::programListBinary(commands));
        QCOMPARE(bytes.size(), std::size_t(36));
    }
    QVERIFY(w.fileErrors.isEmpty());

    // Loaded into object 1, the file replaces its commands once the user
    // agrees; the file's lengths follow, so it is written whole.
    QStringList questions;
    w.window.sink().asker = [&questions](const QString& question) {
        questions << question;
        return true;
    };
    w.showObject(1);
    w.objects().bbLoadProg->click();
    QVERIFY(!requests.back().saving);
    QCOMPARE(requests.back().title, QString("Load program list"));
    QCOMPARE(questions.size(), 1);
    QVERIFY(sameCommands(w.commands(1), w.commands(2)));
    verifyGridShows(w.grid(), w.commands(1));
    std::uint32_t length = 6;
    for (const auto& object : w.model().objects)
        length += static_cast<std::uint32_t>(lumora::movieObjectSize(object));
    QCOMPARE(w.model().length, length);
}

// ---------------------------------------------------------------------------
// The interpreter

void CommandsTest::startRunsToTheEnd() {
    Disc disc;
    Window w(settingsFile(), disc);
    QSignalSpy texts(&w.window.commandRunner(), &CommandRunner::textShown);
    w.window.registers().setGpr(1, 9);
    w.showObject(2);  // Move GPR1, 1 / Play PL 0 / Jump Object 1
    QVERIFY(w.window.bStart->isEnabled());
    QCOMPARE(w.window.bStart->toolTip(), QString("Run the commands"));
    w.window.bStart->click();

    QStringList shown;
    for (const auto& args : texts)
        shown << args.at(0).toString();
    QCOMPARE(shown, (QStringList{"Play PL 0", "Jump Object 1"}));
    QCOMPARE(w.window.registers().gpr(1), 1u);
    QCOMPARE(w.window.registers().psr(6), 0u);
    QCOMPARE(w.panel(0), QString("Ready. "));
    QCOMPARE(w.panel(1), QString());
    QVERIFY(!w.window.bCancel->isEnabled());
    QVERIFY(!w.window.bStart->font().bold());
    // Jump Object ended the run early: its line is selected.
    QCOMPARE(w.window.eProgLine->text(), QString("0002"));
    QCOMPARE(w.grid().gridRow(), 3);
    QCOMPARE(w.window.cbObject->currentText(), QString("0002"));
}

void CommandsTest::traceStepsThroughTheObject() {
    Disc disc;
    Window w(settingsFile(), disc);
    QSignalSpy texts(&w.window.commandRunner(), &CommandRunner::textShown);
    lumora::Registers& registers = w.window.registers();
    registers.setGpr(1, 9);
    w.showObject(2);
    w.window.cbTrace->setChecked(true);
    QCOMPARE(w.window.bStart->toolTip(), QString());

    // The first Start only prepares: line 0, its registers in the panel.
    w.window.bStart->click();
    QCOMPARE(texts.count(), 0);
    QCOMPARE(w.panel(0), QString("Running trace..."));
    QCOMPARE(w.panel(1), QString("Line 0000 : 50400001 00000001  00000001  : Move GPR1, 1"));
    QVERIFY(w.window.bStart->font().bold());
    QVERIFY(w.window.bCancel->isEnabled());
    QCOMPARE(w.grid().gridRow(), 1);
    QCOMPARE(w.window.registerPanel->ieGPRnum->text(), QString("0001"));
    QCOMPARE(w.window.registerPanel->heGPRval->text(), QString("00000009"));

    // Each Start runs one command; the panel shows what the Move did.
    w.window.bStart->click();
    QCOMPARE(registers.gpr(1), 1u);
    QCOMPARE(w.window.registerPanel->heGPRval->text(), QString("00000001"));
    QCOMPARE(w.grid().gridRow(), 2);
    QCOMPARE(w.window.eProgLine->text(), QString("0001"));
    QCOMPARE(w.panel(1), QString("Line 0001 : 22800000 00000000  00000000 : Play PL 0"));

    // A row click runs that line.
    registers.setGpr(1, 9);
    clickRow(w.grid(), 1);
    QCOMPARE(registers.gpr(1), 1u);
    QCOMPARE(w.window.registerPanel->heGPRval->text(), QString("00000001"));
    QCOMPARE(w.grid().gridRow(), 2);

    // Cancel ends the trace and leaves the cancel request alone.
    w.window.bCancel->click();
    QCOMPARE(w.panel(0), QString("Ready. "));
    QCOMPARE(w.panel(1), QString());
    QVERIFY(!w.window.bCancel->isEnabled());
    QVERIFY(!w.window.bStart->font().bold());
    QVERIFY(!w.window.reporter().cancelRequested());
    QVERIFY(!w.window.commandRunner().interpreter().traceRunning());
    QCOMPARE(texts.count(), 0);  // Play PL was never reached

    // Start begins anew.
    w.window.bStart->click();
    QCOMPARE(w.panel(0), QString("Running trace..."));
    QCOMPARE(w.grid().gridRow(), 1);
    w.window.cbTrace->setChecked(false);
    QCOMPARE(w.window.bStart->toolTip(), QString("Run the commands"));
}

// A program that loops for ever stays stoppable: Cancel, pressed while it
// runs, ends it.
void CommandsTest::cancelStopsAnEndlessProgram() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.model().objects[5].commands = {{kGoTo, 0, 0}};
    w.objects().selectObject(5);
    // The step limit is far away: only Cancel can end this run early.
    w.window.commandRunner().interpreter().setStepLimit(10'000'000);
    QTimer::singleShot(0, w.window.bCancel, [&] {
        QVERIFY(w.window.bCancel->isEnabled());
        w.window.bCancel->click();
    });
    w.window.bStart->click();
    QVERIFY(!w.window.commandRunner().interpreter().running());
    QVERIFY(w.log().contains(" Program stopped at line 0000 (Cancel)."));
    QCOMPARE(w.panel(0), QString("Ready. "));
    QVERIFY(!w.window.bCancel->isEnabled());
    QVERIFY(!w.window.reporter().cancelRequested());
}

// ---------------------------------------------------------------------------
// Registers

void CommandsTest::registerDumps() {
    Disc disc;
    Window w(settingsFile(), disc);
    w.window.PageControl->setCurrentIndex(TfMain::kStatus);
    QVERIFY(w.window.pRegisters->isVisibleTo(&w.window));
    w.window.statusTab->bClear->click();
    w.window.statusTab->bPSRs->click();
    const QStringList psrs = w.log();
    // PSR0..24, PSR29..31 (the others of 25..31 are 0), and one line for
    // PSR43, 48, 49, 50 and 61.
    QCOMPARE(psrs.size(), 29);
    QCOMPARE(psrs[8], QString(" PSR8: FFFFFFFF (4294967295) - Presentation Time in 45kHz "
                              "{0-$ffffffff}"));

    lumora::Registers& registers = w.window.registers();
    registers.setGpr(0, 1);
    registers.setGpr(7, 2);
    registers.setGpr(4095, 3);
    w.window.statusTab->bClear->click();
    w.window.statusTab->bGPRs->click();
    QCOMPARE(w.log(), QStringList{" GPR0: 00000001 (1)   GPR7: 00000002 (2)   "
                                  "GPR4095: 00000003 (3)   "});
}

void CommandsTest::resetRegsRefreshesThePanel() {
    Disc disc;
    Window w(settingsFile(), disc);
    lumora::Registers& registers = w.window.registers();
    // Start-up filled the registers from the player settings.
    QCOMPARE(registers.psr(19), 0x5553u);
    QCOMPARE(registers.psr(20), 1u);
    QCOMPARE(registers.psr(31), 0x130240u);
    QCOMPARE(registers.psr(8), 0xFFFFFFFFu);

    RegisterPanel& panel = *w.window.registerPanel;
    type(panel.iePSRnum, "8");
    type(panel.hePSRval, "5");
    type(panel.ieGPRnum, "2");
    type(panel.heGPRval, "abc");
    QCOMPARE(registers.psr(8), 5u);
    QCOMPARE(registers.gpr(2), 0xABCu);
    w.window.statusTab->bResetRegs->click();
    QCOMPARE(registers.psr(8), 0xFFFFFFFFu);
    QCOMPARE(registers.gpr(2), 0u);
    QCOMPARE(panel.hePSRval->text(), QString("FFFFFFFF"));
    QCOMPARE(panel.heGPRval->text(), QString("00000000"));
}

void CommandsTest::registerPanelFieldRules_data() {
    QTest::addColumn<bool>("psr");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");  // the number field once left
    QTest::addColumn<QString>("value");  // the register's value beside it
    QTest::newRow("PSR 128 is out of the file") << true << "128"
                                                << "000"
                                                << "00000001";
    QTest::newRow("PSR 5") << true << "5"
                           << "005"
                           << "0000FFFF";
    QTest::newRow("PSR 127") << true << "127"
                             << "127"
                             << "00000000";
    QTest::newRow("GPR 4096 is out of the file") << false << "4096"
                                                 << "0000"
                                                 << "00000000";
    QTest::newRow("GPR 4095") << false << "4095"
                              << "4095"
                              << "00000000";
}

void CommandsTest::registerPanelFieldRules() {
    QFETCH(bool, psr);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, value);
    Disc disc;
    Window w(settingsFile(), disc);
    RegisterPanel& panel = *w.window.registerPanel;
    QLineEdit* number = psr ? panel.iePSRnum : panel.ieGPRnum;
    QLineEdit* valueField = psr ? panel.hePSRval : panel.heGPRval;
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, typed);
    QCOMPARE(number->text(), typed);  // a plain number while it is edited
    QTest::keyClick(number, Qt::Key_Return);
    QCOMPARE(number->text(), shown);
    QCOMPARE(valueField->text(), value);

    // A value written through the panel, shown as 8 hex digits.
    type(valueField, "1a2b");
    const std::uint32_t registerNumber = shown.toUInt();
    lumora::Registers& registers = w.window.registers();
    QCOMPARE(psr ? registers.psr(registerNumber) : registers.gpr(registerNumber), 0x1A2Bu);
    QCOMPARE(valueField->text(), QString("00001A2B"));
}

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
