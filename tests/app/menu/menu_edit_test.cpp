// Editing menus on the Menu tab: a menu built from nothing, Ins/Del/Shift+Del
// on the page selector and the BOG and buttons grids with the renumbering,
// values typed into the grids stored by the editing rules and written by
// Save, the button command grid with the movie object grid's keys, program
// lists and the clipboard shared with the movie objects, following
// SetButtonPage, and the animation preview.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/movie_object_view.h"
#include "app/commands/command_editor.h"
#include "app/commands/command_grid.h"
#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_commands_view.h"
#include "app/menu/menu_context.h"
#include "app/menu/menu_effects_view.h"
#include "app/menu/menu_header_view.h"
#include "app/menu/menu_objects_view.h"
#include "app/menu/menu_play_controller.h"
#include "app/menu/menu_preview.h"
#include "app/menu/menu_tab.h"
#include "app/options/options_tab.h"
#include "app/shell/main_window.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "menu/menu_edit.h"
#include "menu/menu_reader.h"
#include "menu/menu_rows.h"
#include "menu/object_import.h"
#include "menu/palette_png.h"
#include "menu/rle_codec.h"
#include "navigation/command_list.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TCommand;
using lumora::TCommands;
using lumora::TIGMenu;

namespace {

constexpr std::uint32_t kEnableButton = 0x31800004;
constexpr std::uint32_t kGoTo = 0x20810000;
constexpr std::uint32_t kMove = 0x50000001;

// Buttons grid columns.
constexpr int kXColumn = 3;
constexpr int kUpperColumn = 5;
constexpr int kNormalStartColumn = 9;
constexpr int kNormalEndColumn = 10;
constexpr int kCommandsColumn = 19;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

TIGMenu loaded(const std::string& path) {
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    TIGMenu menu;
    const lumora::ReadOutcome outcome = lumora::loadMNU(path, menu, reporter);
    if (!outcome.good()) qWarning("%s", outcome.message.c_str());
    return menu;
}

// Types `text` into cell (col, row) of a grid in edit mode with its editor,
// as the user does.
void typeIntoCell(StringGrid& grid, int col, int row, const QString& text) {
    grid.setEditMode(true);
    grid.setGridCursor(col, row);
    grid.edit(grid.currentIndex());
    QLineEdit* editor = grid.cellEditor();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    grid.setEditMode(false);
}

// A user's double click on cell (col, row): a click, then the second press
// as a double click.
void doubleClickCell(StringGrid& grid, int col, int row) {
    const QPoint at = grid.visualRect(grid.model()->index(row - 1, col - 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
}

// A user's click on a row (which also ends the Shift of an earlier
// Shift+Del).
void clickRow(StringGrid& grid, int row) {
    const QPoint at = grid.visualRect(grid.model()->index(row - 1, 0)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
}

// The tab with every dialog replaced, at the size of the smallest window.
struct Tab {
    Tab() {
        lumora::makeDemoMenu(demoPath);
        MenuContext c;
        c.reporter = &reporter;
        c.groupSeparator = [] { return QString(","); };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
        c.programListChooser = [this](const ProgramListRequest& request) {
            listRequests.push_back(request);
            return listAnswer;
        };
        c.enableCancel = [this](bool on) { cancelEnabled = on; };
        c.saveQuestion = [this](const QString& name) {
            saveQuestions << name;
            return saveChoice;
        };
        c.picturesChooser = [this](const MenuFileRequest& request) {
            pictureRequests.push_back(request);
            return pictures;
        };
        c.saveChooser = [this](const MenuFileRequest& request) {
            saveRequests.push_back(request);
            return saveAnswer;
        };
        tab.setContext(std::move(c));
        tab.bogView->setTone([](const lumora::Tone&) {});
        tab.resize(890, 470);
        tab.show();
    }
    bool load() { return tab.loadMenuFile(q(demoPath)); }
    lumora::TPage& page(std::size_t index) { return tab.menu().ics.pages[index]; }
    MenuBogView& bogs() { return *tab.bogView; }
    StringGrid& buttons() { return *tab.bogView->sgButtons; }
    StringGrid& bogGrid() { return *tab.bogView->sgBOG; }
    MenuCommandsView& commands() { return *tab.bogView->commandsView; }
    QString panel() const { return q(sink.panel[1]); }
    // Saves the menu and reads the file back.
    TIGMenu saved() {
        saveAnswer = q(dir / "saved.mnu");
        if (!tab.save()) return {};
        return loaded(dir / "saved.mnu");
    }

    lumora::test::TempDir dir;
    std::string demoPath = dir / "demo.mnu";
    // Unsaved edits a load or a new menu replaces: dropped unless a test
    // answers otherwise.
    QStringList saveQuestions;
    SaveChoice saveChoice = SaveChoice::Discard;
    lumora::RecordingSink sink;
    lumora::Reporter reporter{sink};
    MenuTab tab;
    QString saveAnswer;
    QStringList fileErrors;
    std::vector<ProgramListRequest> listRequests;
    std::optional<ProgramListTarget> listAnswer;
    bool cancelEnabled = false;
    QStringList pictures;
    std::vector<MenuFileRequest> pictureRequests;
    std::vector<MenuFileRequest> saveRequests;
};

// An 8-bit palette PNG of width x height in `colours` colours, written to
// `path`: pixel (x, y) has index (x / 8 + y / 8) % colours; entry i is
// (40 i, 255 - 40 i, 90), entry 0 transparent.
QString palettePicture(const std::string& path, std::uint32_t width, std::uint32_t height,
                       int colours) {
    lumora::test::PngSpec spec;
    spec.width = width;
    spec.height = height;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x)
            spec.rows.push_back(static_cast<std::uint8_t>((x / 8 + y / 8) % colours));
    }
    for (int i = 0; i < colours; ++i) {
        spec.plte.insert(spec.plte.end(), {static_cast<std::uint8_t>(40 * i),
                                           static_cast<std::uint8_t>(255 - 40 * i), 90});
    }
    spec.trns = {0};
    lumora::test::writeFile(path, lumora::test::pngFile(spec));
    return q(path);
}

// Every slot of the page's button table holds the BOG record of its id.
void verifyTableFollowsBogs(const TIGMenu& menu, std::size_t page) {
    const lumora::TPage& p = menu.ics.pages[page];
    std::size_t count = 0;
    for (const lumora::TBOG& bog : p.bogs) {
        for (const lumora::TIGbutton& button : bog.buttons) {
            QCOMPARE(menu.pageButtons[page][button.id], button);
            ++count;
        }
    }
    QCOMPARE(menu.pageButtons[page].filled().size(), count);
}

// The grids show the buttons of BOG `bog` of `page` of `menu` cell by cell.
void verifyButtonsGridShows(const StringGrid& grid, const TIGMenu& menu, std::size_t page,
                            std::size_t bog) {
    const auto& buttons = menu.ics.pages[page].bogs[bog].buttons;
    QCOMPARE(grid.dataRows(), static_cast<int>(buttons.size()));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const auto cells = lumora::buttonRowCells(buttons[i]);
        for (std::size_t col = 0; col < cells.size(); ++col)
            QCOMPARE(grid.cell(static_cast<int>(col), static_cast<int>(i) + 1), q(cells[col]));
    }
}

// A main window on the demo disc, its Menu tab holding the demo menu.
struct Window {
    Window() {
        lumora::makeDemoDisc(dir / "disc");
        lumora::makeDemoMenu(menuPath);
        window.settingsFactory = [file = q(dir / "settings.ini")] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window.fileErrorBox = [](const QString&) {};
        window.startUp({q(dir / "disc/BDMV/index.bdmv")});
        window.bdmvTab->movieObjectView->tone = [](const lumora::Tone&) {};
        window.menuTab->bogView->setTone([](const lumora::Tone&) {});
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    lumora::test::TempDir dir;
    std::string menuPath = dir / "demo.mnu";
    TfMain window;
};

}  // namespace

class MenuEditTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void twoPageMenuFromNothing();
    void deleteKeysRenumberAndKeepOneOfEach();
    void insertStopsAtTheLimits();
    void typedValuesAreStoredAndSaved();
    void effectsGridsEditInPlace();
    void bogDoubleClickCyclesTheDefaultValidButton();
    void buttonCommandGridEditsTheList();
    void programListsSaveAndLoad();
    void animationPreviewRunsAndCancels();
    void clipboardIsSharedWithTheMovieObjects();
    void doubleClickFollowsSetButtonPage();
    void createMenuButtonAndAutoCreate();
    void objectsPageImportsAndExports();
    void trueColourPicturesAreReducedWhenAsked();
    void deletingObjectsAndPalettes();
    void importedPictureShowsWhereItsButtonIs();
};

void MenuEditTest::twoPageMenuFromNothing() {
    Tab t;
    t.tab.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t.tab));
    QVERIFY(!t.tab.menuLoaded());
    t.tab.newMenu();
    QVERIFY(t.tab.menuLoaded());
    QVERIFY(t.tab.canSave());
    QCOMPARE(t.tab.cbPage->count(), 1);
    QCOMPARE(t.tab.headerView->lPageCount->text(), QString("(1)"));
    QCOMPARE(t.bogGrid().dataColumns(), 1);
    QCOMPARE(t.buttons().dataRows(), 1);
    QCOMPARE(t.buttons().cell(0, 1), QString("0000"));
    QCOMPARE(t.tab.headerView->eINtime->text(), QString("0:00:02.000"));
    QCOMPARE(t.tab.pcMenu->currentIndex(), MenuTab::kBogsIndex);

    // Ins in the page selector: a second page, selected.
    t.tab.cbPage->setFocus();
    QTest::keyClick(t.tab.cbPage, Qt::Key_Insert);
    QCOMPARE(t.tab.menu().ics.pages.size(), std::size_t(2));
    QCOMPARE(t.tab.cbPage->currentIndex(), 1);
    QCOMPARE(t.tab.headerView->lPageCount->text(), QString("(2)"));
    QCOMPARE(t.tab.currentPage(), 1);

    // Ins in the BOG grid: a second BOG, its column chosen.
    t.bogGrid().setFocus();
    QTest::keyClick(&t.bogGrid(), Qt::Key_Insert);
    QCOMPARE(t.page(1).bogs.size(), std::size_t(2));
    QCOMPARE(t.bogGrid().dataColumns(), 2);
    QCOMPARE(t.bogs().shownBog(), 1);
    QCOMPARE(t.bogGrid().gridCol(), 2);

    // Ins in the buttons grid: a second button in that BOG, its row chosen.
    t.buttons().setFocus();
    QTest::keyClick(&t.buttons(), Qt::Key_Insert);
    QCOMPARE(t.page(1).bogs[1].buttons.size(), std::size_t(2));
    QCOMPARE(t.bogs().shownBog(), 1);
    QCOMPARE(t.buttons().gridRow(), 2);
    QCOMPARE(t.buttons().cell(0, 2), QString("0002"));
    QVERIFY(t.buttons().hasFocus());
    verifyTableFollowsBogs(t.tab.menu(), 1);

    // Values typed into the new button go into the menu.
    typeIntoCell(t.buttons(), kXColumn, 2, "640");
    QCOMPARE(t.page(1).bogs[1].buttons[1].x, std::uint16_t(640));
    typeIntoCell(t.buttons(), kUpperColumn, 2, "0001");
    QCOMPARE(t.page(1).bogs[1].buttons[1].upper, std::uint16_t(1));
    verifyTableFollowsBogs(t.tab.menu(), 1);

    // Save writes exactly that.
    const TIGMenu back = t.saved();
    QCOMPARE(back.ics.pages, t.tab.menu().ics.pages);
    QCOMPARE(back.ics.pages[1].id, std::uint8_t(1));
}

void MenuEditTest::deleteKeysRenumberAndKeepOneOfEach() {
    Tab t;
    QVERIFY(t.load());
    // Page 0: buttons 0, 1, 2, each in a BOG of its own, 2's upper is 1.
    QCOMPARE(t.page(0).bogs[2].buttons[0].upper, std::uint16_t(1));
    t.bogGrid().setGridCursor(2, 1);
    t.bogGrid().setFocus();
    QTest::keyClick(&t.bogGrid(), Qt::Key_Delete);
    QCOMPARE(t.page(0).bogs.size(), std::size_t(2));
    QCOMPARE(t.bogGrid().dataColumns(), 2);
    const lumora::TIGbutton& last = t.page(0).bogs[1].buttons[0];
    QCOMPARE(last.id, std::uint16_t(1));
    // It takes the deleted button's own upper.
    QCOMPARE(last.upper, std::uint16_t(0));
    QCOMPARE(t.page(0).bogs[1].defaultValidButton, std::uint16_t(1));
    QCOMPARE(t.tab.menu().pageButtons[0].size(), std::size_t(2));
    verifyTableFollowsBogs(t.tab.menu(), 0);
    QCOMPARE(t.tab.headerView->eBOGs->text(), QString("2"));

    // Shift+Del on the only button of a BOG is refused and says why.
    t.bogs().showBog(0);
    t.buttons().setFocus();
    QTest::keyClick(&t.buttons(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.page(0).bogs[0].buttons.size(), std::size_t(1));
    QVERIFY(t.panel().contains("a BOG keeps at least one button"));

    // With a second button, Shift+Del deletes the selected one; the row
    // above is selected.
    QTest::keyClick(&t.buttons(), Qt::Key_Insert);
    QCOMPARE(t.buttons().cell(0, 2), QString("0002"));
    QTest::keyClick(&t.buttons(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.page(0).bogs[0].buttons.size(), std::size_t(1));
    QCOMPARE(t.buttons().gridRow(), 1);

    // Del in the page selector: page 1 goes, page 0 is shown; the last page
    // is kept.
    t.tab.selectPage(1);
    QTest::keyClick(t.tab.cbPage, Qt::Key_Delete);
    QCOMPARE(t.tab.menu().ics.pages.size(), std::size_t(1));
    QCOMPARE(t.tab.currentPage(), 0);
    QCOMPARE(t.tab.headerView->lPageCount->text(), QString("(1)"));
    QTest::keyClick(t.tab.cbPage, Qt::Key_Delete);
    QCOMPARE(t.tab.menu().ics.pages.size(), std::size_t(1));
    QVERIFY(t.panel().contains("a menu keeps at least one page"));
    t.bogGrid().setGridCursor(1, 1);
    QTest::keyClick(&t.bogGrid(), Qt::Key_Delete);
    t.bogGrid().setGridCursor(1, 1);
    QTest::keyClick(&t.bogGrid(), Qt::Key_Delete);
    QCOMPARE(t.page(0).bogs.size(), std::size_t(1));
    QVERIFY(t.panel().contains("a page keeps at least one BOG"));

    const TIGMenu back = t.saved();
    QCOMPARE(back.ics.pages, t.tab.menu().ics.pages);
}

void MenuEditTest::insertStopsAtTheLimits() {
    Tab t;
    t.tab.newMenu();
    t.buttons().setFocus();
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(&t.buttons(), Qt::Key_Insert);
    QCOMPARE(t.page(0).bogs[0].buttons.size(), std::size_t(32));
    QCOMPARE(t.buttons().dataRows(), 32);
    QCOMPARE(t.buttons().gridRow(), 32);
    QVERIFY(t.panel().contains("a BOG holds at most 32 buttons"));
    verifyTableFollowsBogs(t.tab.menu(), 0);
}

void MenuEditTest::typedValuesAreStoredAndSaved() {
    Tab t;
    QVERIFY(t.load());
    const TIGMenu before = loaded(t.demoPath);
    StringGrid& grid = t.buttons();
    struct Case {
        int col;
        const char* typed;
        const char* shown;  // the cell afterwards
    };
    // Page 0, BOG 0, button 0: x 780, upper 0, objects 2..6 of 17.
    const Case cases[] = {
        {kXColumn, "1919", "1919"},
        {kXColumn, "1920", "1919"},  // not below the video width: the held value stays
        {kUpperColumn, "0002", "0002"},
        {kUpperColumn, "0003", "0002"},        // beyond the button table
        {kNormalStartColumn, "FFFF", "0002"},  // an object must exist
        {kNormalStartColumn, "0007", "0007"},
        {12, "01", "00"},  // s.sound: this tab knows no sounds; the demo button has 00
    };
    for (const Case& c : cases) {
        grid.setCell(c.col, 1, c.typed);
        emit grid.cellEdited(c.col, 1, c.typed);
        QCOMPARE(grid.cell(c.col, 1), QString(c.shown));
    }
    // "n.end" followed "n.start" past it.
    QCOMPARE(grid.cell(kNormalEndColumn, 1), QString("0007"));
    const lumora::TIGbutton& b = t.page(0).bogs[0].buttons[0];
    QCOMPARE(b.x, std::uint16_t(1919));
    QCOMPARE(b.normalEnd, std::uint16_t(7));
    QVERIFY(t.panel().contains("s.sound"));
    // The same through the cell editor.
    typeIntoCell(grid, 4, 1, "77");
    QCOMPARE(b.y, std::uint16_t(77));
    // The BOG grid's default valid button: FFFF always, others within the table.
    typeIntoCell(t.bogGrid(), 1, 1, "0005");
    QCOMPARE(t.page(0).bogs[0].defaultValidButton, std::uint16_t(0));
    QCOMPARE(t.bogGrid().cell(1, 1), QString("0000"));
    typeIntoCell(t.bogGrid(), 1, 1, "FFFF");
    QCOMPARE(t.page(0).bogs[0].defaultValidButton, std::uint16_t(0xFFFF));
    verifyTableFollowsBogs(t.tab.menu(), 0);

    // What the grids show is what Save writes.
    const TIGMenu back = t.saved();
    QCOMPARE(back.ics.pages, t.tab.menu().ics.pages);
    verifyButtonsGridShows(grid, back, 0, 0);
    QCOMPARE(t.bogGrid().cell(1, 1), q(lumora::bogColumnCells(0, back.ics.pages[0].bogs[0])[1]));
    QVERIFY(back.ics.pages[1] == before.ics.pages[1]);
}

void MenuEditTest::effectsGridsEditInPlace() {
    Tab t;
    QVERIFY(t.load());
    MenuEffectsView& e = *t.tab.effectsView;
    t.tab.pcMenu->setCurrentIndex(MenuTab::kEffectsIndex);
    typeIntoCell(*e.sgEffects, 1, 1, "0:00:01.500");
    QCOMPARE(t.page(0).inEffects.effects[0].duration, std::uint32_t(135000));
    QCOMPARE(e.sgEffects->cell(1, 1), QString("0:00:01.500"));
    // A palette the menu lacks is refused; the cell shows the held one.
    e.sgEffects->setCell(2, 1, "09");
    emit e.sgEffects->cellEdited(2, 1, "09");
    QCOMPARE(e.sgEffects->cell(2, 1), QString("01"));
    // Windows and composition objects.
    typeIntoCell(*e.sgWindows, 1, 1, "600");
    QCOMPARE(t.page(0).inEffects.windows[0].x, std::uint16_t(600));
    typeIntoCell(*e.sgCompObj, 3, 1, "700");
    QCOMPARE(t.page(0).inEffects.effects[0].objects[0].x, std::uint16_t(700));
    e.sgCompObj->setCell(2, 1, "05");
    emit e.sgCompObj->cellEdited(2, 1, "05");
    QCOMPARE(t.page(0).inEffects.effects[0].objects[0].windowId, std::uint8_t(0));
    // "Object cropped" turns cropping off and on (then the whole object).
    QVERIFY(e.cbCropped->isChecked());
    e.cbCropped->click();
    QVERIFY(!t.page(0).inEffects.effects[0].objects[0].cropped());
    QVERIFY(!e.ieCropWidth->isEnabled());
    e.cbCropped->click();
    const lumora::TCompositionObject& o = t.page(0).inEffects.effects[0].objects[0];
    QVERIFY(o.cropped());
    QCOMPARE(o.cropWidth, t.tab.menu().objects[0].width);
    QCOMPARE(e.ieCropWidth->value(), static_cast<int>(o.cropWidth));

    const TIGMenu back = t.saved();
    QCOMPARE(back.ics.pages, t.tab.menu().ics.pages);
}

void MenuEditTest::bogDoubleClickCyclesTheDefaultValidButton() {
    Tab t;
    t.tab.newMenu();
    t.buttons().setFocus();
    QTest::keyClick(&t.buttons(), Qt::Key_Insert);  // buttons 0 and 1 in BOG 0
    const auto doubleClick = [&t] {
        doubleClickCell(t.bogGrid(), 1, 1);
        return t.page(0).bogs[0].defaultValidButton;
    };
    QCOMPARE(doubleClick(), std::uint16_t(0));
    QCOMPARE(doubleClick(), std::uint16_t(1));
    QCOMPARE(t.buttons().gridRow(), 2);
    QCOMPARE(doubleClick(), std::uint16_t(0xFFFF));
    QCOMPARE(t.bogGrid().cell(1, 1), QString("FFFF"));
}

void MenuEditTest::buttonCommandGridEditsTheList() {
    Tab t;
    QVERIFY(t.load());
    MenuCommandsView& view = t.commands();
    StringGrid& grid = *view.sgMenuCommands;
    // Page 0's button 0 holds one command (Jump Title 1).
    QCOMPARE(grid.dataRows(), 1);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Insert);
    QCOMPARE(t.page(0).bogs[0].buttons[0].commands.size(), std::size_t(2));
    QCOMPARE(t.buttons().cell(kCommandsColumn, 1), QString("2"));
    verifyTableFollowsBogs(t.tab.menu(), 0);
    // Typed words, in edit mode.
    typeIntoCell(grid, kCommandOpcodeColumn, 2, "20810000");
    typeIntoCell(grid, kCommandDestinationColumn, 2, "00000000");
    QCOMPARE(t.page(0).bogs[0].buttons[0].commands[1], (TCommand{kGoTo, 0, 0}));
    QCOMPARE(grid.cell(kCommandLineColumn, 2), QString("GoTo 0"));
    // Insert before it: the GoTo keeps pointing at the same command.
    grid.setFocus();
    selectGridRow(&grid, 1);
    QTest::keyClick(&grid, Qt::Key_Insert);
    QCOMPARE(t.page(0).bogs[0].buttons[0].commands[2], (TCommand{kGoTo, 0, 0}));
    selectGridRow(&grid, 1);
    QTest::keyClick(&grid, Qt::Key_Delete, Qt::ShiftModifier);
    // Ctrl+A, Ctrl+C on this button, Ctrl+V on button 1.
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(t.panel(), QString("Command(s) copied"));
    const TCommands copied = t.page(0).bogs[0].buttons[0].commands;
    t.bogs().showBog(1);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    const TCommands& pasted = t.page(0).bogs[1].buttons[0].commands;
    QCOMPARE(pasted.size(), std::size_t(1) + copied.size());
    // The pasted GoTo moved with its line.
    QCOMPARE(pasted[2], (TCommand{kGoTo, 1, 0}));
    // Shift+N turns the selected line into a NOP.
    selectGridRow(&grid, 1);
    QTest::keyClick(&grid, Qt::Key_N, Qt::ShiftModifier);
    QCOMPARE(pasted[0], TCommand{});
    QCOMPARE(grid.gridRow(), 2);
    verifyTableFollowsBogs(t.tab.menu(), 0);

    // A button without commands takes Insert and Ctrl+V too.
    t.tab.newMenu();
    QVERIFY(grid.isEnabled());
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(t.page(0).bogs[0].buttons[0].commands, copied);
    QCOMPARE(t.buttons().cell(kCommandsColumn, 1), QString::number(copied.size()));
    // The builder writes into the button.
    selectGridRow(&grid, 1);
    QLineEdit* opcode = view.commandEditor->heOpcode;
    opcode->setFocus();
    opcode->selectAll();
    QTest::keyClicks(opcode, "50000001");
    QTest::keyClick(opcode, Qt::Key_Return);
    QCOMPARE(t.page(0).bogs[0].buttons[0].commands[0].opcode, kMove);
    verifyTableFollowsBogs(t.tab.menu(), 0);
    const TIGMenu back = t.saved();
    QCOMPARE(back.ics.pages, t.tab.menu().ics.pages);
}

void MenuEditTest::programListsSaveAndLoad() {
    Tab t;
    QVERIFY(t.load());
    MenuCommandsView& view = t.commands();
    const std::string list = t.dir / "button.lst";
    t.listAnswer = ProgramListTarget{q(list), lumora::ProgramFormat::List};
    view.bbSaveMProg->click();
    QCOMPARE(t.listRequests.back().fileName, QString("button_0000.lst"));
    const TCommands held = t.page(0).bogs[0].buttons[0].commands;
    const std::string text = lumora::programListText(held, lumora::CommandContext::Button);
    QCOMPARE(lumora::test::readFile(list), lumora::Bytes(text.begin(), text.end()));

    // Loaded into button 2 after the question: its commands are replaced.
    t.bogs().showBog(2);
    t.sink.answer = true;
    view.bbLoadMProg->click();
    QVERIFY(!t.listRequests.back().saving);
    QCOMPARE(t.sink.questions.size(), std::size_t(1));
    QCOMPARE(t.page(0).bogs[2].buttons[0].commands, held);
    verifyTableFollowsBogs(t.tab.menu(), 0);
    // A binary list, and a damaged one that changes nothing.
    const std::string binary = t.dir / "button.bin";
    const TCommands two = {{kEnableButton, 1, 0}, {kMove, 1, 2}};
    lumora::writeFileSafely(binary, lumora::programListBinary(two));
    t.listAnswer = ProgramListTarget{q(binary), lumora::ProgramFormat::Binary};
    view.bbLoadMProg->click();
    QCOMPARE(t.page(0).bogs[2].buttons[0].commands, two);
    lumora::writeFileSafely(binary, lumora::Bytes(13, 0));
    view.bbLoadMProg->click();
    QCOMPARE(t.page(0).bogs[2].buttons[0].commands, two);
    QVERIFY(t.reporter.errorFlag());
}

void MenuEditTest::animationPreviewRunsAndCancels() {
    Tab t;
    QVERIFY(t.load());
    // Button 0 of page 0: normal animation 2..3, repeating.
    doubleClickCell(t.buttons(), kNormalEndColumn, 1);
    QVERIFY(t.bogs().previewRunning());
    QVERIFY(t.cancelEnabled);
    QVERIFY(t.bogs().preview->showsPicture());
    t.reporter.requestCancel();
    QTRY_VERIFY(!t.bogs().previewRunning());
    QVERIFY(!t.cancelEnabled);
    // The activated animation has one object and runs once.
    t.bogs().previewAnimation(17, 1);
    QTRY_VERIFY(!t.bogs().previewRunning());
    // Outside the object columns nothing runs.
    t.bogs().previewAnimation(kXColumn, 1);
    QVERIFY(!t.bogs().previewRunning());
}

void MenuEditTest::clipboardIsSharedWithTheMovieObjects() {
    Window w;
    TfMain& window = w.window;
    QVERIFY(window.menuTab->loadMenuFile(q(w.menuPath)));
    MovieObjectView& objects = *window.bdmvTab->movieObjectView;
    MenuCommandsView& buttons = *window.menuTab->bogView->commandsView;
    // A button's command into movie object 0.
    window.PageControl->setCurrentIndex(TfMain::kMenu);
    window.menuTab->bogView->showBog(1);
    buttons.sgMenuCommands->setFocus();
    QTest::keyClick(buttons.sgMenuCommands, Qt::Key_C, Qt::ControlModifier);
    const TCommand buttonCommand =
        window.menuTab->menu().ics.pages[0].bogs[1].buttons[0].commands[0];
    window.PageControl->setCurrentIndex(TfMain::kBdmv);
    objects.setObjectSG(0);
    const std::size_t before = objects.currentCommands()->size();
    objects.sgCommands->setFocus();
    QTest::keyClick(objects.sgCommands, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(objects.currentCommands()->size(), before + 1);
    QCOMPARE((*objects.currentCommands())[1], buttonCommand);
    // And back: the movie object's first command into a button.
    selectGridRow(objects.sgCommands, 1);
    QTest::keyClick(objects.sgCommands, Qt::Key_C, Qt::ControlModifier);
    const TCommand objectCommand = (*objects.currentCommands())[0];
    window.PageControl->setCurrentIndex(TfMain::kMenu);
    buttons.sgMenuCommands->setFocus();
    QTest::keyClick(buttons.sgMenuCommands, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window.menuTab->menu().ics.pages[0].bogs[1].buttons[0].commands[1], objectCommand);
}

void MenuEditTest::doubleClickFollowsSetButtonPage() {
    Window w;
    TfMain& window = w.window;
    QVERIFY(window.menuTab->loadMenuFile(q(w.menuPath)));
    // Page 1's button 1: SetButtonPage button 1... of page 0; page 0's
    // button 1: button 0 of page 1.
    window.PageControl->setCurrentIndex(TfMain::kBdmv);
    window.menuTab->bogView->showBog(1);
    StringGrid& grid = *window.menuTab->bogView->sgMenuCommands;
    window.PageControl->setCurrentIndex(TfMain::kMenu);
    doubleClickCell(grid, 1, 1);
    QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
    QCOMPARE(window.menuTab->currentPage(), 1);
    QCOMPARE(window.menuTab->cbPage->currentIndex(), 1);
    QCOMPARE(window.menuTab->bogView->shownBog(), 0);
    // The same from a movie object: the Menu tab comes to the front.
    window.menuTab->selectPage(0);
    window.PageControl->setCurrentIndex(TfMain::kBdmv);
    MovieObjectView& objects = *window.bdmvTab->movieObjectView;
    objects.setObjectSG(0);
    selectGridRow(objects.sgCommands, 1);
    QTest::keyClick(objects.sgCommands, Qt::Key_Insert);
    lumora::TCommands& list = window.bdmvTab->context().models->objects.objects[0].commands;
    const std::size_t line = static_cast<std::size_t>(objects.currentCommandLine());
    list[line] = {0x51C00003, 0x80000001, 0x80000001};
    objects.followCommandLine(static_cast<int>(line));
    QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
    QCOMPARE(window.menuTab->currentPage(), 1);
    QCOMPARE(window.menuTab->bogView->shownBog(), 1);
}

void MenuEditTest::createMenuButtonAndAutoCreate() {
    Window w;
    TfMain& window = w.window;
    QVERIFY(!window.menuTab->menuLoaded());
    window.optionsTab->findChild<QPushButton*>("bCreateMenu")->click();
    QVERIFY(window.menuTab->menuLoaded());
    QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
    QVERIFY(window.bSave->isEnabled());
    QVERIFY(window.bMux->isEnabled());

    // "Auto create" at start-up; a menu named on the command line stays.
    lumora::test::TempDir dir;
    const QString settings = q(dir / "auto.ini");
    {
        QSettings store(settings, QSettings::IniFormat);
        store.setValue("AutoMenu", 1);
    }
    const auto start = [&settings](const QStringList& arguments) {
        auto started = std::make_unique<TfMain>();
        started->settingsFactory = [settings] {
            return std::make_unique<QSettings>(settings, QSettings::IniFormat);
        };
        started->fileErrorBox = [](const QString&) {};
        started->startUp(arguments);
        return started;
    };
    const auto automatic = start({});
    QVERIFY(automatic->menuTab->menuLoaded());
    QCOMPARE(automatic->menuTab->menu().ics.pages.size(), std::size_t(1));
    const auto named = start({q(w.menuPath)});
    QCOMPARE(named->menuTab->menu().ics.pages.size(), std::size_t(2));
}

void MenuEditTest::objectsPageImportsAndExports() {
    Tab t;
    t.tab.newMenu();
    MenuObjectsView& o = *t.tab.objectsView;
    QVERIFY(o.bLoadObject->isEnabled());
    QVERIFY(!o.bSaveObject->isEnabled());
    QVERIFY(!o.bSavePalette->isEnabled());
    QVERIFY(!o.cbReplaceObject->isEnabled());
    // Ins in the objects grid imports, as "Load object image" does.
    t.pictures = {palettePicture(t.dir / "a.png", 64, 32, 5)};
    QTest::keyClick(o.sgIGObjects, Qt::Key_Insert);
    QCOMPARE(t.pictureRequests.back().title, QString("Insert object, insert palette"));
    QCOMPARE(t.tab.menu().objects.size(), std::size_t(1));
    QCOMPARE(t.tab.menu().palettes.size(), std::size_t(1));
    QCOMPARE(o.sgIGObjects->cell(1, 1), QString("64"));
    QCOMPARE(o.cbIGObject->currentText(), QString("0000"));
    QCOMPARE(o.cbPalette->currentText(), QString("00"));
    QVERIFY(o.bSaveObject->isEnabled());
    QVERIFY(o.bSavePalette->isEnabled());
    QVERIFY(o.cbReplaceObject->isEnabled());
    QVERIFY(o.preview->showsPicture());
    // A second picture replacing the object and the palette.
    o.cbReplaceObject->setChecked(true);
    o.cbReplacePalette->setChecked(true);
    t.pictures = {palettePicture(t.dir / "b.png", 16, 16, 3)};
    o.bLoadObject->click();
    QCOMPARE(t.pictureRequests.back().title, QString("Replace object, replace palette"));
    QCOMPARE(t.tab.menu().objects.size(), std::size_t(1));
    QCOMPARE(t.tab.menu().objects[0].width, std::uint16_t(16));
    QVERIFY(!o.cbReplaceObject->isChecked());
    QVERIFY(!o.cbReplacePalette->isChecked());
    // A picture wider than the video is refused.
    t.pictures = {palettePicture(t.dir / "wide.png", 1921, 2, 3)};
    o.bLoadObject->click();
    QCOMPARE(t.tab.menu().objects.size(), std::size_t(1));
    QVERIFY(t.sink.panel[1].find("Not supported file format!") != std::string::npos);

    // Save object image and palette.
    t.saveAnswer = q(t.dir / "out.png");
    o.bSaveObject->click();
    QCOMPARE(t.saveRequests.back().title, QString("Save image"));
    QCOMPARE(t.saveRequests.back().fileName, QString("IGobject_0000_pal_00"));
    const auto back = lumora::readPalettePng(lumora::test::readFile(t.dir / "out.png"));
    QVERIFY(back.picture.has_value());
    QCOMPARE(back.picture->indices, *t.tab.menu().objects[0].bitmap);
    t.saveAnswer = q(t.dir / "p.pxml");
    o.bSavePalette->click();
    QCOMPARE(t.saveRequests.back().title, QString("Save palette"));
    QCOMPARE(t.saveRequests.back().fileName, QString("palette_000"));
    const std::string pxml = lumora::pxmlText(t.tab.menu().palettes[0]);
    QVERIFY(lumora::test::readFile(t.dir / "p.pxml") == lumora::Bytes(pxml.begin(), pxml.end()));
}

void MenuEditTest::trueColourPicturesAreReducedWhenAsked() {
    Tab t;
    t.tab.newMenu();
    lumora::test::PngSpec spec;
    spec.width = 20;
    spec.height = 10;
    spec.colourType = 6;
    for (int i = 0; i < 200; ++i)
        spec.rows.insert(spec.rows.end(), {static_cast<std::uint8_t>(i), 30, 60, 255});
    lumora::test::writeFile(t.dir / "rgba.png", lumora::test::pngFile(spec));
    t.pictures = {q(t.dir / "rgba.png")};
    t.sink.answer = false;
    t.tab.objectsView->bLoadObject->click();
    QCOMPARE(t.sink.questions.back(), std::string("Reduce the picture to 255 colours?"));
    QVERIFY(t.tab.menu().objects.empty());
    QVERIFY(t.sink.panel[1].find("Not supported file format!") != std::string::npos);
    t.sink.answer = true;
    t.tab.objectsView->bLoadObject->click();
    QCOMPARE(t.tab.menu().objects.size(), std::size_t(1));
    QCOMPARE(t.tab.menu().palettes.size(), std::size_t(1));
    // Frames with palettes of their own become one palette too.
    t.pictures = {palettePicture(t.dir / "f1.png", 8, 8, 3),
                  palettePicture(t.dir / "f2.png", 8, 8, 4)};
    t.tab.objectsView->bLoadObject->click();
    QCOMPARE(t.tab.menu().objects.size(), std::size_t(3));
    QCOMPARE(t.tab.menu().palettes.size(), std::size_t(2));
}

void MenuEditTest::deletingObjectsAndPalettes() {
    Tab t;
    QVERIFY(t.load());
    MenuObjectsView& o = *t.tab.objectsView;
    const std::size_t objects = t.tab.menu().objects.size();
    // The demo's objects are all used: a deletion is refused and says why.
    selectGridRow(o.sgIGObjects, 1);
    QTest::keyClick(o.sgIGObjects, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.tab.menu().objects.size(), objects);
    QCOMPARE(t.panel(), QString("Cannot delete object. Remove all reference first."));
    // Two unused pictures: the first deleted, the second moves down.
    t.pictures = {palettePicture(t.dir / "a.png", 8, 8, 3)};
    o.bLoadObject->click();
    t.pictures = {palettePicture(t.dir / "b.png", 12, 8, 3)};
    o.bLoadObject->click();
    QCOMPARE(t.tab.menu().objects.size(), objects + 2);
    clickRow(*o.sgIGObjects, static_cast<int>(objects) + 1);
    QTest::keyClick(o.sgIGObjects, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.tab.menu().objects.size(), objects + 1);
    QCOMPARE(t.tab.menu().objects[objects].width, std::uint16_t(12));
    QCOMPARE(o.sgIGObjects->dataRows(), static_cast<int>(objects) + 1);
    // Palettes: the page's own is refused, an unused one goes.
    const std::size_t palettes = t.tab.menu().palettes.size();
    clickRow(*o.sgPalettes, 1);
    QTest::keyClick(o.sgPalettes, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.panel(), QString("Cannot delete palette. Remove all reference first."));
    clickRow(*o.sgPalettes, static_cast<int>(palettes));
    QTest::keyClick(o.sgPalettes, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.tab.menu().palettes.size(), palettes - 1);
    QCOMPARE(o.cbPalette->count(), static_cast<int>(palettes) - 1);
}

void MenuEditTest::importedPictureShowsWhereItsButtonIs() {
    Tab t;
    t.tab.newMenu();
    t.pictures = {palettePicture(t.dir / "face.png", 64, 32, 5)};
    t.tab.objectsView->bLoadObject->click();
    // The one button, shown by its BOG, shows object 0 at (300, 200) in
    // both its normal and its selected state.
    for (const auto& [col, text] : {std::pair{kXColumn, "300"}, std::pair{4, "200"},
                                    std::pair{kNormalStartColumn, "0000"}, std::pair{13, "0000"}}) {
        t.buttons().setCell(col, 1, text);
        emit t.buttons().cellEdited(col, 1, text);
    }
    t.bogGrid().setCell(1, 1, "0000");
    emit t.bogGrid().cellEdited(1, 1, "0000");
    const TIGMenu written = t.saved();
    QCOMPARE(written.objects.size(), std::size_t(1));
    Tab again;
    QVERIFY(again.tab.loadMenuFile(q(t.dir / "saved.mnu")));
    again.tab.player().start();
    const lumora::FrameBuffer& page = again.tab.player().renderer().pageImage();
    // Pixel (300 + 8, 200): index 1, (40, 215, 90) as the written Y, Cr, Cb
    // give it back; the transparent index 0 at (300, 200) shows the
    // background.
    const lumora::TRGBA colour = lumora::paletteColour(lumora::rgbToYcrcb(40, 215, 90), 255);
    const std::uint32_t pixel = page.pixel(308, 200);
    QCOMPARE(static_cast<int>(pixel & 0xFF), static_cast<int>(colour.r));
    QCOMPARE(static_cast<int>(pixel >> 8 & 0xFF), static_cast<int>(colour.g));
    QCOMPARE(static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(colour.b));
    QVERIFY(page.pixel(300, 200) != pixel);
}

QTEST_MAIN(MenuEditTest)
#include "menu_edit_test.moc"
