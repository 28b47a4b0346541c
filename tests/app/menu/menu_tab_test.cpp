// The Menu tab on the demo menu and on damaged files: what "Load" and a
// command-line menu fill (page header, composition, BOG, buttons, commands,
// effects, objects and palettes), page changes, the header edits with their
// Enter order, the crop fields, the object previews, "&Save" (the writer's
// bytes, loaded again), and errors that never crash.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <string>

#include "app/commands/command_grid.h"
#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_commands_view.h"
#include "app/menu/menu_context.h"
#include "app/menu/menu_effects_view.h"
#include "app/menu/menu_header_view.h"
#include "app/menu/menu_objects_view.h"
#include "app/menu/menu_preview.h"
#include "app/menu/menu_tab.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/text.h"
#include "demo/demo_disc.h"
#include "menu/menu_reader.h"
#include "menu/menu_rows.h"
#include "menu/menu_writer.h"
#include "menu/rle_codec.h"
#include "navigation/command_codec.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::Bytes;
using lumora::TIGMenu;

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// The menu a file holds, read by the core alone.
TIGMenu parsed(const std::string& path) {
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    TIGMenu menu;
    lumora::loadMNU(path, menu, reporter);
    return menu;
}

// What the writer makes of the menu a file holds.
Bytes writerBytes(const std::string& path) {
    TIGMenu menu = parsed(path);
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    return *lumora::igsBytes(menu, lumora::IGSForm::MenuFile, reporter);
}

bool logHas(const lumora::RecordingSink& sink, const std::string& text) {
    for (const std::string& line : sink.texts()) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

// The tab at the size it gets in the smallest window, with every dialog and
// message box replaced.
struct Tab {
    Tab() {
        lumora::makeDemoMenu(demoPath);
        MenuContext c;
        c.reporter = &reporter;
        c.groupSeparator = [] { return QString(","); };
        c.objectBackground = [] { return QColor(10, 20, 30); };
        c.openChooser = [this](const MenuFileRequest& request) {
            openRequests.push_back(request);
            return openAnswer;
        };
        c.saveChooser = [this](const MenuFileRequest& request) {
            saveRequests.push_back(request);
            return saveAnswer;
        };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
        c.showMessage = [this](const QString& message) { messages << message; };
        c.saveQuestion = [this](const QString& name) {
            saveQuestions << name;
            return saveChoice;
        };
        tab.setContext(std::move(c));
        tab.bogView->setTone([this](const lumora::Tone&) { ++tones; });
        tab.resize(890, 470);
        tab.show();
    }
    bool load() { return tab.loadMenuFile(q(demoPath)); }
    lumora::TPage& page(std::size_t index) { return tab.menu().ics.pages[index]; }

    lumora::test::TempDir dir;
    std::string demoPath = dir / "demo.mnu";
    // Unsaved edits a load or a new menu replaces: dropped unless a test
    // answers otherwise.
    QStringList saveQuestions;
    SaveChoice saveChoice = SaveChoice::Discard;
    lumora::RecordingSink sink;
    lumora::Reporter reporter{sink};
    MenuTab tab;
    std::vector<MenuFileRequest> openRequests;
    std::vector<MenuFileRequest> saveRequests;
    QString openAnswer;
    QString saveAnswer;
    QStringList fileErrors;
    QStringList messages;
    int tones = 0;
};

template <std::size_t N>
void compareRow(const StringGrid& grid, int row, const std::array<std::string, N>& cells) {
    for (std::size_t col = 0; col < N; ++col)
        QCOMPARE(grid.cell(static_cast<int>(col), row), q(cells[col]));
}

// Whether column x of rows top..bottom of a preview shows anything but the
// object background colour of the tests.
bool columnDrawn(const QImage& image, int x, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        if (image.pixelColor(x, y) != QColor(10, 20, 30)) return true;
    }
    return false;
}

void typeInto(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

class MenuTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void loadShowsTheModel();
    void pageChangeShowsTheOtherPage();
    void headerEditsGoIntoThePage();
    void userTimeoutTakesOnlyTimesTheFieldHolds();
    void effectCountsOpenTheirSequence();
    void cropFieldsShowAndEditTheCropping();
    void previewsShowObjectsUnderTheirPalette();
    void damagedMenuTakesNoEdit();
    void saveWritesTheWritersBytes();
    void loadDialogAndStreamFiles();
    void damagedFilesGiveAnErrorAndNoMenu();
    void realCompositionWithFivePages();
    void commandLineAndDropOpenTheMenuTab();
};

void MenuTabTest::loadShowsTheModel() {
    Tab t;
    QVERIFY(!t.tab.menuLoaded());
    QVERIFY(t.load());
    const TIGMenu expected = parsed(t.demoPath);
    QVERIFY(t.tab.menuLoaded());
    QVERIFY(t.tab.canSave());
    QVERIFY(logHas(t.sink, "1 ICS, 17 OCS, 2 PCS found."));
    QVERIFY(t.fileErrors.isEmpty());

    // Page selector and header of page 0.
    MenuHeaderView& h = *t.tab.headerView;
    QCOMPARE(h.cbPage->count(), 2);
    QCOMPARE(h.cbPage->itemText(0), QString("0"));
    QCOMPARE(h.cbPage->itemText(1), QString("1"));
    QCOMPARE(h.cbPage->currentIndex(), 0);
    QCOMPARE(h.lPageCount->text(), QString("(2)"));
    const lumora::PageHeaderTexts texts = lumora::pageHeaderTexts(expected.ics.pages[0]);
    QCOMPARE(h.heUOMask1->text(), q(texts.uoMask1));
    QCOMPARE(h.heUOMask2->text(), QString("0"));
    QCOMPARE(h.ieAnimation->value(), 6);
    QCOMPARE(h.heDefSelButton->text(), QString("0000"));
    QCOMPARE(h.heDefActButton->text(), QString("FFFF"));
    QCOMPARE(h.hePalette->text(), QString("00"));
    QCOMPARE(h.eInWindows->text(), QString("1"));
    QCOMPARE(h.eInEffects->text(), QString("2"));
    QCOMPARE(h.eOutWindows->text(), QString("1"));
    QCOMPARE(h.eOutEffects->text(), QString("1"));
    QCOMPARE(h.eBOGs->text(), QString("3"));
    // Composition information.
    QCOMPARE(h.eUserTimeout->text(), QString("0:00:00"));
    QCOMPARE(h.coVideoFormat->currentText(), QString("1920x1080"));
    QCOMPARE(h.coFrameRate->currentText(), QString("23.97"));
    QCOMPARE(h.eINtime->text(), q(lumora::menuTimeText(expected.startTime)));
    QVERIFY(t.tab.gbPageHeader->isEnabled());
    QVERIFY(t.tab.gbComposition->isEnabled());
    QCOMPARE(t.tab.pcMenu->currentIndex(), MenuTab::kBogsIndex);

    // BOGs: one column per BOG, the first BOG's buttons with its default
    // valid button selected, that button's commands.
    MenuBogView& b = *t.tab.bogView;
    const lumora::TPage& page = expected.ics.pages[0];
    QCOMPARE(b.sgBOG->dataColumns(), 3);
    QCOMPARE(b.sgBOG->cell(0, 0), QString(" id"));
    QCOMPARE(b.sgBOG->cell(0, 1), QString(" default valid button"));
    for (int col = 1; col <= 3; ++col) {
        const auto cells = lumora::bogColumnCells(static_cast<std::size_t>(col) - 1,
                                                  page.bogs[static_cast<std::size_t>(col) - 1]);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(b.sgBOG->cell(col, row), q(cells[static_cast<std::size_t>(row)]));
    }
    QCOMPARE(b.sgButtons->cell(9, 0), QString("n.start"));
    QCOMPARE(b.sgButtons->dataRows(), 1);
    compareRow(*b.sgButtons, 1, lumora::buttonRowCells(page.bogs[0].buttons[0]));
    QCOMPARE(b.sgButtons->cell(11, 1), QString("Yes"));  // n.repeat
    QCOMPARE(b.shownButtonRow(), 1);
    const lumora::TCommands& commands = page.bogs[0].buttons[0].commands;
    QCOMPARE(b.sgMenuCommands->dataRows(), static_cast<int>(commands.size()));
    const lumora::CommandRow row = lumora::comm2str(0, commands[0], lumora::CommandContext::Button);
    QCOMPARE(b.sgMenuCommands->cell(kCommandLineColumn, 1), q(row.commandLine));
    QCOMPARE(b.sgMenuCommands->cell(kCommandOpcodeColumn, 0), QString("Opcode"));

    // Effects: the in-effects of page 0.
    MenuEffectsView& e = *t.tab.effectsView;
    QVERIFY(e.inEffectsChosen());
    QCOMPARE(e.sgWindows->dataRows(), 1);
    compareRow(*e.sgWindows, 1, lumora::windowRowCells(page.inEffects.windows[0]));
    QCOMPARE(e.sgEffects->dataRows(), 2);
    compareRow(*e.sgEffects, 1, lumora::effectRowCells(1, page.inEffects.effects[0]));
    QCOMPARE(e.sgEffects->cell(0, 2), QString("002"));
    QCOMPARE(e.sgCompObj->dataRows(), 1);
    compareRow(*e.sgCompObj, 1,
               lumora::compositionObjectRowCells(1, page.inEffects.effects[0].objects[0]));

    // Objects and palettes with their selectors, hints and label.
    MenuObjectsView& o = *t.tab.objectsView;
    QCOMPARE(o.sgIGObjects->dataRows(), static_cast<int>(expected.objects.size()));
    for (int r = 1; r <= o.sgIGObjects->dataRows(); ++r)
        compareRow(*o.sgIGObjects, r,
                   lumora::objectRowCells(expected, static_cast<std::size_t>(r) - 1));
    QCOMPARE(o.sgPalettes->dataRows(), 2);
    compareRow(*o.sgPalettes, 1, lumora::paletteRowCells(expected, 0));
    compareRow(*o.sgPalettes, 2, lumora::paletteRowCells(expected, 1));
    QCOMPARE(o.cbIGObject->count(), 17);
    QCOMPARE(o.cbIGObject->itemText(16), QString("0010"));
    QCOMPARE(o.cbPalette->itemText(1), QString("01"));
    QCOMPARE(o.cbIGObject->toolTip(), QString("17 objects"));
    QCOMPARE(o.cbPalette->toolTip(), QString("2 palettes"));
    QCOMPARE(o.lObjects->text(), QString("17 objects"));
    QVERIFY(o.gbObjPal->isEnabled());
    QCOMPARE(o.chosenObject(), 0);

    // A folder Read empties the tab again.
    t.tab.clear();
    QVERIFY(!t.tab.menuLoaded());
    QVERIFY(!t.tab.canSave());
    QCOMPARE(b.sgBOG->dataColumns(), 1);
    QVERIFY(!b.sgButtons->isEnabled());
    QCOMPARE(o.cbIGObject->count(), 0);
}

void MenuTabTest::pageChangeShowsTheOtherPage() {
    Tab t;
    QVERIFY(t.load());
    QSignalSpy shown(&t.tab, &MenuTab::pageShown);
    MenuHeaderView& h = *t.tab.headerView;
    h.cbPage->setCurrentIndex(1);
    emit h.cbPage->activated(1);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.front().front().toInt(), 1);
    QCOMPARE(t.tab.currentPage(), 1);
    QCOMPARE(h.eBOGs->text(), QString("2"));
    const lumora::TPage& page = t.page(1);
    MenuBogView& b = *t.tab.bogView;
    QCOMPARE(b.sgBOG->dataColumns(), 2);
    compareRow(*b.sgButtons, 1, lumora::buttonRowCells(page.bogs[0].buttons[0]));
    // The second BOG's column shows its buttons.
    b.sgBOG->setGridCursor(2, 1);
    QCOMPARE(b.shownBog(), 1);
    compareRow(*b.sgButtons, 1, lumora::buttonRowCells(page.bogs[1].buttons[0]));
    // Button states follow the page: one per slot, each BOG's default valid
    // button shown.
    QCOMPARE(t.tab.menu().buttonStates.size(), std::size_t(2));
    QCOMPARE(t.tab.menu().buttonStates[1].shown, std::uint8_t(1));
}

void MenuTabTest::headerEditsGoIntoThePage() {
    Tab t;
    QVERIFY(t.load());
    QVERIFY(QTest::qWaitForWindowActive(&t.tab));
    MenuHeaderView& h = *t.tab.headerView;
    // Each field is stored when left with Enter, and the focus moves on in
    // the fixed order.
    const struct {
        QLineEdit* field;
        QString typed;
        QString shown;
        QWidget* next;
    } cases[] = {
        {h.heUOMask1, "12345678", "12345678", h.heUOMask2},
        {h.heUOMask2, "abc", "ABC", h.ieAnimation},
        {h.heDefSelButton, "2", "0002", h.heDefActButton},
        {h.heDefActButton, "fffe", "FFFE", h.hePalette},
        {h.hePalette, "1", "01", h.cbPage},
    };
    for (const auto& c : cases) {
        c.field->setFocus();
        typeInto(c.field, c.typed);
        QApplication::processEvents();
        QCOMPARE(c.field->text(), c.shown);
        QVERIFY2(c.next->hasFocus(), qPrintable(c.field->objectName()));
    }
    // The animation code moves on to the default selected button.
    h.ieAnimation->setFocus();
    QTest::keyClick(h.ieAnimation, Qt::Key_Return);
    QApplication::processEvents();
    QVERIFY(h.heDefSelButton->hasFocus());
    // The user time-out moves to the page selector.
    h.eUserTimeout->setFocus();
    typeInto(h.eUserTimeout, "0:00:10");
    QApplication::processEvents();
    QVERIFY(h.cbPage->hasFocus());
    lumora::TPage& page = t.page(0);
    QCOMPARE(page.uoMask1, 0x12345678u);
    QCOMPARE(page.uoMask2, 0xABCu);
    QCOMPARE(page.defaultSelectedButton, std::uint16_t(2));
    QCOMPARE(page.defaultActivatedButton, std::uint16_t(0xFFFE));
    QCOMPARE(page.palette, std::uint8_t(1));
    // The palettes' references follow the page's palette.
    QCOMPARE(t.tab.objectsView->sgPalettes->cell(1, 2), q(lumora::getpalref(t.tab.menu(), 1)));
    QCOMPARE(t.tab.objectsView->sgPalettes->cell(1, 1), q(lumora::getpalref(t.tab.menu(), 0)));
    // A palette the menu lacks is not taken.
    typeInto(h.hePalette, "7");
    QCOMPARE(h.hePalette->text(), QString("01"));
    QCOMPARE(page.palette, std::uint8_t(1));
    // The animation code is stored on every change.
    h.ieAnimation->setValue(3);
    QCOMPARE(page.animationFrameRateCode, std::uint8_t(3));
    // Another page takes its own values; page 0 keeps the edits.
    emit h.cbPage->activated(1);
    QCOMPARE(h.heUOMask1->text(), QString("00000000"));
    QCOMPARE(h.ieAnimation->value(), 6);
    QCOMPARE(t.page(0).animationFrameRateCode, std::uint8_t(3));
}

void MenuTabTest::userTimeoutTakesOnlyTimesTheFieldHolds() {
    Tab t;
    QVERIFY(t.load());
    MenuHeaderView& h = *t.tab.headerView;
    const struct {
        QString typed;
        std::uint32_t ticks;  // held afterwards
        QString shown;
        QString message;
    } cases[] = {
        {"0:01:05", 65 * 90000, "0:01:05", {}},
        {"0:02", 120 * 90000, "0:02:00", {}},
        {"0:00:30.750", 30 * 90000, "0:00:30", {}},
        {"abc", 30 * 90000, "0:00:30", "'abc' is not a valid time"},
        {"0:61:00", 30 * 90000, "0:00:30", "'0:61:00' is not a valid time"},
        {"0:05:00", 30 * 90000, "0:00:30",
         "'0:05:00' is longer than the longest user timeout (0:03:06)"},
        {"0:00:00", 0, "0:00:00", {}},
    };
    for (const auto& c : cases) {
        t.messages.clear();
        typeInto(h.eUserTimeout, c.typed);
        QCOMPARE(t.tab.menu().ics.userTimeOut, c.ticks);
        QCOMPARE(h.eUserTimeout->text(), c.shown);
        QCOMPARE(t.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
    }
}

void MenuTabTest::effectCountsOpenTheirSequence() {
    Tab t;
    QVERIFY(t.load());
    MenuHeaderView& h = *t.tab.headerView;
    MenuEffectsView& e = *t.tab.effectsView;
    QTest::mouseClick(h.eOutWindows, Qt::LeftButton);
    QCOMPARE(t.tab.pcMenu->currentIndex(), MenuTab::kEffectsIndex);
    QVERIFY(e.rbOutEffects->isChecked());
    QCOMPARE(e.sgEffects->dataRows(), 1);
    compareRow(*e.sgEffects, 1, lumora::effectRowCells(1, t.page(0).outEffects.effects[0]));
    QTest::mouseClick(h.eInEffects, Qt::LeftButton);
    QVERIFY(e.rbInEffects->isChecked());
    QCOMPARE(e.sgEffects->dataRows(), 2);
    // The In/Out choice itself.
    e.rbOutEffects->click();
    QCOMPARE(e.sgEffects->dataRows(), 1);
    // A sequence without windows and effects is not opened by its counts.
    t.page(0).inEffects = {};
    t.tab.selectPage(0);
    t.tab.pcMenu->setCurrentIndex(MenuTab::kBogsIndex);
    QTest::mouseClick(h.eInWindows, Qt::LeftButton);
    QCOMPARE(t.tab.pcMenu->currentIndex(), MenuTab::kBogsIndex);
}

void MenuTabTest::cropFieldsShowAndEditTheCropping() {
    Tab t;
    QVERIFY(t.load());
    MenuEffectsView& e = *t.tab.effectsView;
    t.tab.pcMenu->setCurrentIndex(MenuTab::kEffectsIndex);
    // The first in-effect shows the left half of the banner.
    QVERIFY(e.cbCropped->isChecked());
    QVERIFY(e.ieCropWidth->isEnabled());
    QCOMPARE(e.ieCropX->value(), 0);
    QCOMPARE(e.ieCropWidth->value(), 320);
    QCOMPARE(e.ieCropHeight->value(), 120);
    // The preview is the page: the window (640, 160, 640 x 120) in the
    // object background colour with the cropped part of the banner at the
    // object's position.
    const auto drawn = [&e](int x) { return columnDrawn(e.preview->shownImage(), x, 160, 280); };
    QCOMPARE(e.preview->shownImage().size(), QSize(1920, 1080));
    QVERIFY(drawn(900));
    // The preview scrolls to the object once the page is shown.
    QApplication::processEvents();
    QCOMPARE(e.preview->horizontalScrollBar()->value(), 630);
    QVERIFY(!drawn(1000));
    // Edited, the composition object takes the value and the preview follows.
    e.ieCropWidth->setValue(200);
    emit e.ieCropWidth->editingFinished();
    QCOMPARE(t.page(0).inEffects.effects[0].objects[0].cropWidth, std::uint16_t(200));
    QVERIFY(drawn(830));
    QVERIFY(!drawn(900));
    // The second effect shows the whole banner: 0 and disabled.
    selectGridRow(e.sgEffects, 2);
    QVERIFY(!e.cbCropped->isChecked());
    QCOMPARE(e.ieCropWidth->value(), 0);
    QVERIFY(!e.ieCropWidth->isEnabled());
    QVERIFY(drawn(1270));
    // Nothing is written into an object that is not cropped.
    e.ieCropHeight->setValue(5);
    emit e.ieCropHeight->editingFinished();
    QCOMPARE(t.page(0).inEffects.effects[1].objects[0].cropHeight, std::uint16_t(0));
}

void MenuTabTest::previewsShowObjectsUnderTheirPalette() {
    Tab t;
    QVERIFY(t.load());
    // BOGs page: a click on an object column shows it under the page's
    // palette; the selectors follow.
    MenuBogView& b = *t.tab.bogView;
    const lumora::TIGbutton& button = t.page(0).bogs[0].buttons[0];
    b.sgButtons->scrollToItem(b.sgButtons->item(0, 13 - 1));
    QTest::mouseClick(b.sgButtons->viewport(), Qt::LeftButton, {},
                      b.sgButtons->visualItemRect(b.sgButtons->item(0, 13 - 1)).center());
    QCOMPARE(b.preview->shownImage().size(), QSize(360, 90));
    QCOMPARE(t.sink.panel[1],
             "Size: 360x90,  Object: " + lumora::hexText(button.selectedStart, 4) +
                 ",  Palette: 00,  RLE pixel data: " +
                 lumora::sizeText(t.tab.menu().objects[button.selectedStart].dataLength) +
                 " (32,400)");
    QCOMPARE(t.tab.objectsView->chosenObject(), static_cast<int>(button.selectedStart));
    // The pixels are the object's under palette 0 over the object background.
    const QImage image = b.preview->shownImage();
    const auto picture = lumora::Obj2Pic(t.tab.menu(), button.selectedStart, 0);
    const QImage expected = pictureImage(*picture);
    const QColor opaque = expected.pixelColor(180, 45);
    QCOMPARE(opaque.alpha(), 255);
    QCOMPARE(image.pixelColor(180, 45).rgb(), opaque.rgb());
    QCOMPARE(image.pixelColor(0, 0), QColor(10, 20, 30));  // a cut corner: transparent
    // Any other column shows nothing.
    b.sgButtons->scrollToItem(b.sgButtons->item(0, 2));
    QTest::mouseClick(b.sgButtons->viewport(), Qt::LeftButton, {},
                      b.sgButtons->visualItemRect(b.sgButtons->item(0, 2)).center());
    QVERIFY(!b.preview->showsPicture());
    QCOMPARE(t.sink.panel[1], std::string("No object assigned"));

    // Objects page: a row picks the palette of its first reference.
    MenuObjectsView& o = *t.tab.objectsView;
    t.tab.pcMenu->setCurrentIndex(MenuTab::kObjectsIndex);
    selectGridRow(o.sgIGObjects, 1);  // the banner, used by the in-effects (palette 1)
    QCOMPARE(o.chosenObject(), 0);
    QCOMPARE(o.chosenPalette(), 1);
    QCOMPARE(o.sgPalettes->gridRow(), 2);
    QCOMPARE(o.sgIGObjects->toolTip(), "Objects\nRef: " + q(lumora::getobjref(t.tab.menu(), 0)));
    QCOMPARE(o.preview->shownImage().size(), QSize(640, 120));
    selectGridRow(o.sgIGObjects, 3);  // a button face: the page's palette
    QCOMPARE(o.chosenPalette(), 0);
    // The palette row and the selectors choose too.
    selectGridRow(o.sgPalettes, 2);
    QCOMPARE(o.cbPalette->currentIndex(), 1);
    QCOMPARE(o.sgPalettes->toolTip(), "Palettes\nRef: " + q(lumora::getpalref(t.tab.menu(), 1)));
    o.cbIGObject->setCurrentIndex(1);
    emit o.cbIGObject->activated(1);
    QCOMPARE(o.sgIGObjects->gridRow(), 2);
    QCOMPARE(t.sink.panel[1].substr(0, 42),
             std::string("Size: 640x120,  Object: 0001,  Palette: 01"));

    // References name pages and effects; anything else names no palette.
    const TIGMenu& menu = t.tab.menu();
    using Palette = std::optional<std::size_t>;
    QVERIFY(paletteOfReference(menu, "0i 1i") == Palette(1));
    QVERIFY(paletteOfReference(menu, "1o") == Palette(1));
    QVERIFY(paletteOfReference(menu, "1:0ns") == Palette(0));
    QVERIFY(paletteOfReference(menu, "") == std::nullopt);
    QVERIFY(paletteOfReference(menu, "7:0n") == std::nullopt);
    QVERIFY(paletteOfReference(menu, "0") == std::nullopt);
}

void MenuTabTest::damagedMenuTakesNoEdit() {
    // Half the demo menu: shown for inspection, but what it lacks would be
    // written as if it were whole, so nothing changes it.
    Tab t;
    const Bytes good = lumora::test::readFile(t.demoPath);
    const std::string half = t.dir / "half.mnu";
    lumora::test::writeFile(
        half, Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)));
    t.tab.loadMenuFile(q(half));
    QVERIFY(t.tab.menuLoaded());
    MenuBogView& b = *t.tab.bogView;
    const lumora::TIGMenu before = t.tab.menu();
    const QString x = b.sgButtons->cell(3, 1);
    b.sgButtons->setCell(3, 1, "1234");
    emit b.sgButtons->cellEdited(3, 1, "1234");
    QCOMPARE(b.sgButtons->cell(3, 1), x);
    b.insertButton();
    b.insertBog();
    b.commandsView->insertLine();
    t.tab.createPage();
    QVERIFY(t.tab.menu().ics == before.ics);
}

void MenuTabTest::saveWritesTheWritersBytes() {
    Tab t;
    // Nothing loaded: nothing to save.
    QVERIFY(!t.tab.save());
    QVERIFY(t.saveRequests.empty());
    QVERIFY(t.load());
    const std::string out = t.dir / "out.mnu";
    t.saveAnswer = q(out);
    QVERIFY(t.tab.save());
    QCOMPARE(t.saveRequests.size(), std::size_t(1));
    const MenuFileRequest& request = t.saveRequests.front();
    QCOMPARE(request.title, QString("Save Menu"));
    QCOMPARE(request.filters, QStringList{"Menu (*.mnu)"});
    QCOMPARE(request.fileName, QString("demo"));
    QCOMPARE(request.defaultSuffix, QString("mnu"));
    // The writer's bytes for the loaded menu, which for a menu the writer
    // made are the file's own.
    const Bytes written = lumora::test::readFile(out);
    QVERIFY(written == writerBytes(t.demoPath));
    QVERIFY(written == lumora::test::readFile(t.demoPath));
    QVERIFY(logHas(t.sink, "out.mnu saved."));
    QCOMPARE(t.tab.menuFileName(), q(t.dir / "out"));

    // An edit saved and loaded again; saved once more, the same bytes.
    MenuHeaderView& h = *t.tab.headerView;
    typeInto(h.heUOMask1, "0000ABCD");
    const std::string edited = t.dir / "edited.mnu";
    t.saveAnswer = q(edited);
    QVERIFY(t.tab.save());
    QCOMPARE(t.saveRequests.back().fileName, QString("out"));
    QVERIFY(t.tab.loadMenuFile(q(edited)));
    QCOMPARE(h.heUOMask1->text(), QString("0000ABCD"));
    const std::string again = t.dir / "again.mnu";
    t.saveAnswer = q(again);
    QVERIFY(t.tab.save());
    QVERIFY(lumora::test::readFile(again) == lumora::test::readFile(edited));
    // A cancelled dialog writes nothing.
    t.saveAnswer.clear();
    QVERIFY(!t.tab.save());
}

void MenuTabTest::loadDialogAndStreamFiles() {
    Tab t;
    QSignalSpy shown(&t.tab, &MenuTab::showRequested);
    // Cancelled: nothing happens.
    t.tab.chooseMenuFile();
    QCOMPARE(t.openRequests.size(), std::size_t(1));
    const MenuFileRequest& request = t.openRequests.front();
    QCOMPARE(request.filters,
             (QStringList{"Menu (*.mnu)", "BD AV stream (*.m2ts)", "AVCHD stream (*.MTS)"}));
    QCOMPARE(request.fileName, QString("mymenu"));
    QCOMPARE(request.defaultSuffix, QString("mnu"));
    QCOMPARE(shown.count(), 0);
    QVERIFY(!t.tab.menuLoaded());

    t.openAnswer = q(t.demoPath);
    t.tab.chooseMenuFile();
    QCOMPARE(shown.count(), 1);
    QVERIFY(t.tab.menuLoaded());
    QCOMPARE(t.tab.menuFileName(), q(t.dir / "demo"));
    // The next dialog starts at the last menu.
    t.tab.chooseMenuFile();
    QCOMPARE(t.openRequests.back().fileName, QString("demo"));
    QCOMPARE(t.openRequests.back().folder, q(t.dir.path().string()));

    // A stream file goes through the stream tools; without them nothing is
    // loaded and the log says why.
    t.openAnswer = q(t.dir / "00001.m2ts");
    t.tab.chooseMenuFile();
    QVERIFY(logHas(t.sink, "stream tools"));
    // With them, the menu they extract is loaded under the stream's name.
    MenuContext c;
    c.reporter = &t.reporter;
    c.openChooser = [&](const MenuFileRequest&) { return t.openAnswer; };
    QStringList extracted;
    c.extractMenu = [&](const QString& stream) {
        extracted << stream;
        return q(t.demoPath);
    };
    t.tab.setContext(std::move(c));
    t.tab.clear();
    t.tab.chooseMenuFile();
    QCOMPARE(extracted, QStringList{t.openAnswer});
    QVERIFY(t.tab.menuLoaded());
    QCOMPARE(t.tab.menuFileName(), q(t.dir / "00001"));
    // Another extension is not read.
    t.tab.clear();
    t.openAnswer = q(t.dir / "menu.MNU");
    t.tab.chooseMenuFile();
    QVERIFY(!t.tab.menuLoaded());
}

void MenuTabTest::damagedFilesGiveAnErrorAndNoMenu() {
    lumora::test::TempDir dir;
    const std::string demo = dir / "demo.mnu";
    lumora::makeDemoMenu(demo);
    const Bytes good = lumora::test::readFile(demo);
    Bytes half(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    Bytes icsCut(good.begin(), good.begin() + 40);
    Bytes garbage(3000);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    // A composition whose page count promises far more than the data holds.
    Bytes hostile = good;
    hostile[10 + 3 + 16] = 0xFF;  // number_of_pages of the first ICS
    const struct {
        const char* name;
        Bytes bytes;
        bool shown;  // what could be read is shown for inspection
    } cases[] = {
        {"half.mnu", half, true},
        // The composition's header without its pages.
        {"ics-cut.mnu", icsCut, true},
        {"garbage.mnu", garbage, false},
        {"hostile.mnu", hostile, true},
        {"empty.mnu", {}, false},
    };
    for (const auto& c : cases) {
        Tab t;
        const std::string path = dir / c.name;
        lumora::test::writeFile(path, c.bytes);
        t.tab.loadMenuFile(q(path));
        QVERIFY2(logHas(t.sink, "ERROR"), c.name);
        QVERIFY2(t.tab.menuLoaded() == c.shown, c.name);
        QVERIFY2(!t.tab.canSave(), c.name);  // never written back
        QVERIFY2(t.fileErrors.isEmpty(), c.name);
    }
    // A subtitle stream holds no composition.
    if (!lumora::test::samplesDir().empty()) {
        Tab t;
        QVERIFY(!t.tab.loadMenuFile(q(lumora::test::samplesDir() + "/files/test.sup")));
        QVERIFY(logHas(t.sink, "File format error"));
        QVERIFY(!t.tab.menuLoaded());
    }
    // A file that cannot be opened shows the error box; a loaded menu goes.
    Tab t;
    QVERIFY(t.load());
    QVERIFY(!t.tab.loadMenuFile(q(dir / "missing.mnu")));
    QCOMPARE(t.fileErrors.size(), 1);
    QVERIFY(!t.tab.menuLoaded());
}

// The composition of a real disc (five pages, no objects), wrapped into a
// menu file: "IG" headers around the ICS and an END segment.
void MenuTabTest::realCompositionWithFivePages() {
    if (lumora::test::samplesDir().empty()) QSKIP("no samples");
    const Bytes ics =
        lumora::test::readFile(lumora::test::samplesDir() + "/files/ics_menu_5_pages.bin");
    Bytes file = lumora::test::hexBytes("49 47 00 02 BF 20 00 00 00 00 18");
    file.push_back(static_cast<std::uint8_t>(ics.size() >> 8));
    file.push_back(static_cast<std::uint8_t>(ics.size()));
    file.insert(file.end(), ics.begin(), ics.end());
    const Bytes end = lumora::test::hexBytes("49 47 00 02 BF 20 00 00 00 00 80 00 00");
    file.insert(file.end(), end.begin(), end.end());
    lumora::test::TempDir dir;
    lumora::test::writeFile(dir / "real.mnu", file);
    Tab t;
    QVERIFY(t.tab.loadMenuFile(q(dir / "real.mnu")));
    QVERIFY(t.tab.canSave());
    const TIGMenu expected = parsed(dir / "real.mnu");
    QCOMPARE(t.tab.headerView->cbPage->count(), 5);
    QCOMPARE(t.tab.headerView->lPageCount->text(), QString("(5)"));
    QCOMPARE(t.tab.headerView->eINtime->text(), QString("0:00:02.000"));
    for (int p = 0; p < 5; ++p) {
        emit t.tab.headerView->cbPage->activated(p);
        const lumora::TPage& page = expected.ics.pages[static_cast<std::size_t>(p)];
        QCOMPARE(t.tab.headerView->cbPage->itemText(p), QString::number(page.id));
        QCOMPARE(t.tab.bogView->sgBOG->dataColumns(),
                 std::max<int>(1, static_cast<int>(page.bogs.size())));
        if (!page.bogs.empty() && !page.bogs[0].buttons.empty())
            compareRow(*t.tab.bogView->sgButtons, 1,
                       lumora::buttonRowCells(page.bogs[0].buttons[0]));
    }
    QCOMPARE(t.tab.objectsView->cbIGObject->count(), 0);
    QVERIFY(!t.tab.objectsView->gbObjPal->isEnabled());
}

void MenuTabTest::commandLineAndDropOpenTheMenuTab() {
    lumora::test::TempDir dir;
    const lumora::DemoDiscInfo disc = lumora::makeDemoDisc(dir / "disc");
    const QString menu = q(dir / "disc/demo.mnu");
    const QString settings = q(dir / "settings.ini");
    {
        TfMain window;
        window.settingsFactory = [settings] {
            return std::make_unique<QSettings>(settings, QSettings::IniFormat);
        };
        window.fileErrorBox = [](const QString& message) { qWarning("%s", qPrintable(message)); };
        window.startUp({menu});
        QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
        QVERIFY(window.menuTab->menuLoaded());
        QVERIFY(window.bSave->isEnabled());
        QVERIFY(window.bMux->isEnabled());
        QVERIFY(window.bLoadMenu->isVisibleTo(&window));
        QCOMPARE(window.menuTab->menuFileName(), q(dir / "disc/demo"));
        // The button selector lists the page's button slots.
        QCOMPARE(window.cbButton->count(), 3);
        QCOMPARE(window.cbButton->itemText(2), QString("0002"));
        // The grids that switch edit mode answer to the window's pop-up:
        // the BOG and buttons grids only edit in place, the others take
        // the full edit mode, the commands narrowed to their left column.
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        MenuTab& tab = *window.menuTab;
        const struct {
            StringGrid* grid;
            int page;
            StringGrid::EditStyle style;
        } grids[] = {
            {tab.bogView->sgBOG, MenuTab::kBogsIndex, StringGrid::EditStyle::InPlaceOnly},
            {tab.bogView->sgButtons, MenuTab::kBogsIndex, StringGrid::EditStyle::InPlaceOnly},
            {tab.bogView->sgMenuCommands, MenuTab::kBogsIndex, StringGrid::EditStyle::Full},
            {tab.effectsView->sgWindows, MenuTab::kEffectsIndex, StringGrid::EditStyle::Full},
            {tab.effectsView->sgEffects, MenuTab::kEffectsIndex, StringGrid::EditStyle::Full},
            {tab.effectsView->sgCompObj, MenuTab::kEffectsIndex, StringGrid::EditStyle::Full},
        };
        for (const auto& g : grids) {
            tab.pcMenu->setCurrentIndex(g.page);
            g.grid->setFocus();
            QApplication::processEvents();
            QCOMPARE(window.PopupMenu->focusedGrid(), g.grid);
            QVERIFY(g.grid->editStyle() == g.style);
        }
        QVERIFY(tab.bogView->sgMenuCommands->narrowsToLeftColumn());
        // A folder Read empties the menu views again.
        window.setFolderText(q(disc.folder));
        window.readFolder();
        QVERIFY(!window.menuTab->menuLoaded());
        window.PageControl->setCurrentIndex(TfMain::kMenu);
        QVERIFY(!window.bSave->isEnabled());
        window.shutDown();
    }
    {
        TfMain window;
        window.settingsFactory = [settings] {
            return std::make_unique<QSettings>(settings, QSettings::IniFormat);
        };
        window.fileErrorBox = [](const QString& message) { qWarning("%s", qPrintable(message)); };
        window.startUp({});
        window.handleDrop({menu});
        QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
        QVERIFY(window.menuTab->menuLoaded());
        window.shutDown();
    }
}

QTEST_MAIN(MenuTabTest)
#include "menu_tab_test.moc"
