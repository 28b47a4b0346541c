// Editing PlayItems, SubPaths and SubPlayItems on the PLAYLIST tab: typed
// cells in edit mode, the IN-time cascade with its questions, insert and
// delete with the lengths and start addresses, the SubPath type and repeat
// lists, the "Jump to Clip" double clicks, "Apply to clpi", the tab's Find,
// and saved files that read back equal to the model.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <string>

#include "app/playlist/playlist_context.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_mark_view.h"
#include "app/playlist/playlist_stn_view.h"
#include "app/playlist/playlist_subpath_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "navigation/movie_object_file.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TMPLS;

namespace {

struct Disc {
    Disc() : info(lumora::makeDemoDisc(dir / "disc")) {}
    std::string playlistPath(const std::string& entry) const {
        return info.folder + "PLAYLIST/" + entry + ".mpls";
    }
    TMPLS parsed(const std::string& entry) const {
        TMPLS playlist;
        const lumora::ReadOutcome outcome = lumora::parsePlaylist(
            lumora::test::readFile(playlistPath(entry)), entry + ".mpls", playlist);
        if (!outcome.good()) qWarning("%s", outcome.message.c_str());
        return playlist;
    }
    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
};

// The tab on a disc whose clip list starts with 00001, so a new PlayItem
// shows which clip it takes.
struct Tab {
    explicit Tab(const Disc& disc) {
        PlaylistContext c;
        c.reporter = &reporter;
        c.disc = [folder = disc.info.folder] {
            lumora::DiscFolder d;
            d.folder = folder;
            d.clipinfs = {"00001", "00000"};
            return d;
        };
        c.autoRead = [] { return false; };
        c.backupOptions = [] {
            return lumora::BackupOptions{false, lumora::BackupMode::OnlyOnce, false};
        };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
        c.popupMenu = &popup;
        tab.setContext(c);
        tab.setEntries({"00000", "00001", "00002"});
        tab.resize(900, 470);
        tab.show();
        (void)QTest::qWaitForWindowActive(&tab);
    }
    void read(const QString& entry) {
        tab.selector()->setCurrentIndex(tab.selector()->findText(entry));
        tab.readSelected();
    }
    const TMPLS& playlist() const { return tab.playlist(); }
    PlayItemsView& items() const { return *tab.playItemsView; }
    SubPathView& subPaths() const { return *tab.subPathView; }
    MarkView& marks() const { return *tab.markView; }

    lumora::RecordingSink sink;
    lumora::Reporter reporter{sink};
    GridPopupMenu popup;
    QStringList fileErrors;
    PlaylistTab tab;
};

QStringList rowCells(const StringGrid& grid, int row) {
    QStringList cells;
    for (int col = 0; col <= grid.dataColumns(); ++col)
        cells << grid.cell(col, row);
    return cells;
}

void clickCell(StringGrid* grid, int col, int row) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// A double click is a click and a second press on the same cell.
void doubleClickCell(StringGrid* grid, int col, int row) {
    clickCell(grid, col, row);
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// A key as the user presses it: to whatever holds the focus (the grid, or
// its open cell editor in edit mode).
void press(StringGrid* grid, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    grid->setFocus();
    QCoreApplication::processEvents();
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : grid;
    QTest::keyClick(target, key, modifiers);
    QCoreApplication::processEvents();
}

// Types into a cell of a grid in edit mode through its editor, ends with Enter.
void typeIntoCell(StringGrid* grid, int col, int row, const QString& text) {
    grid->setEditMode(true);
    grid->setFocus();
    grid->setGridCursor(col, row);
    QCoreApplication::processEvents();
    if (grid->cellEditor() == nullptr) grid->edit(grid->currentIndex());
    QLineEdit* editor = grid->cellEditor();
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void pick(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
}

QStringList questions(const lumora::RecordingSink& sink) {
    QStringList asked;
    for (const std::string& q : sink.questions)
        asked << QString::fromStdString(q);
    return asked;
}

struct Sizes {
    std::uint32_t playList, markStart, extensionStart;
    bool operator==(const Sizes&) const = default;
};
Sizes sizesOf(const TMPLS& p) {
    return {p.playList.length, p.markStart, p.extensionDataStart};
}

}  // namespace

class PlaylistEditTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void playItemCellEdits_data();
    void playItemCellEdits();
    void inTimeCascade_data();
    void inTimeCascade();
    void inTimeQuestionsFollowTheParts();
    void playItemInsertAndDelete();
    void deletingEveryPlayItemAndInsertingAgain();
    void playItemKeysInEditMode();
    void subPathInsertAndDelete();
    void subPathTypeAndRepeatLists();
    void subPlayItemCellEdits_data();
    void subPlayItemCellEdits();
    void jumpToClipDoubleClicks();
    void applyToClpiAsksForTheSelectedPlayItem();
    void findLogsTheCallers_data();
    void findLogsTheCallers();
};

void PlaylistEditTest::playItemCellEdits_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("row");
    QTest::addRow("file") << int(PlayItemsView::kFile) << "00001"
                          << QStringList{"000",          "00001",        "M2TS",
                                         "00:00:00.000", "00:00:20.020", "00:00:20.020",
                                         "00000000",     "00000000",     "0"};
    QTest::addRow("OUT") << int(PlayItemsView::kOut) << "00:00:30.000"
                         << QStringList{"000",          "00000",        "M2TS",
                                        "00:00:00.000", "00:00:30.000", "00:00:30.000",
                                        "00000000",     "00000000",     "0"};
    QTest::addRow("UO1") << int(PlayItemsView::kUo1) << "0000000a"
                         << QStringList{"000",          "00000",        "M2TS",
                                        "00:00:00.000", "00:00:20.020", "00:00:20.020",
                                        "0000000A",     "00000000",     "0"};
    // Only bit 30 of the second word is in use.
    QTest::addRow("UO2") << int(PlayItemsView::kUo2) << "FFFFFFFF"
                         << QStringList{"000",          "00000",        "M2TS",
                                        "00:00:00.000", "00:00:20.020", "00:00:20.020",
                                        "00000000",     "40000000",     "0"};
}

void PlaylistEditTest::playItemCellEdits() {
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QStringList, row);
    Disc disc;
    Tab t(disc);
    t.read("00000");
    typeIntoCell(t.items().sgPLitem, col, 1, typed);
    QCOMPARE(rowCells(*t.items().sgPLitem, 1), row);
    for (const int fixed : {PlayItemsView::kType, PlayItemsView::kLength, PlayItemsView::kAngles})
        QVERIFY(!t.items().sgPLitem->isCellEditable(fixed, 1));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());
    const TMPLS saved = disc.parsed("00000");
    const lumora::TPlayItem& item = saved.playList.playItems[0];
    if (col == PlayItemsView::kFile) QCOMPARE(item.clipName, std::string("00001"));
    if (col == PlayItemsView::kOut) QCOMPARE(item.outTime, 30u * 45000);
    if (col == PlayItemsView::kUo1) QCOMPARE(item.uoMask1, 0xAu);
    if (col == PlayItemsView::kUo2) QCOMPARE(item.uoMask2, 0x40000000u);
}

void PlaylistEditTest::inTimeCascade_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("playItemRow");
    QTest::addColumn<QString>("subPlayItemIn");
    QTest::addColumn<QString>("markTime");
    // PlayItem 1 starts 2 seconds (90000 ticks) later.
    QTest::addRow("yes") << true << QStringList{"001",          "00000",        "M2TS",
                                                "00:00:22.020", "00:00:42.040", "00:00:20.020",
                                                "00000000",     "00000000",     "2"}
                         << "00:00:02.000"
                         << "00:00:22.020";
    QTest::addRow("no") << false << QStringList{"001",          "00000",        "M2TS",
                                                "00:00:22.020", "00:00:40.040", "00:00:18.020",
                                                "00000000",     "00000000",     "2"}
                        << "00:00:00.000"
                        << "00:00:20.020";
}

void PlaylistEditTest::inTimeCascade() {
    QFETCH(bool, yes);
    QFETCH(QStringList, playItemRow);
    QFETCH(QString, subPlayItemIn);
    QFETCH(QString, markTime);
    Disc disc;
    Tab t(disc);
    t.read("00000");
    t.sink.answer = yes;
    typeIntoCell(t.items().sgPLitem, PlayItemsView::kIn, 2, "00:00:22.020");

    QCOMPARE(questions(t.sink), QStringList({"Do you want to update OUT time?",
                                             "Do you want to update SubPlayItems' IN/OUT times?",
                                             "Do you want to update PlayListMarks' marktimes?"}));
    QCOMPARE(rowCells(*t.items().sgPLitem, 2), playItemRow);
    QCOMPARE(t.subPaths().sgSubPlayItem->cell(SubPathView::kIn, 1), subPlayItemIn);
    // Marks 2 and 3 lie on PlayItem 1; the others stay.
    QCOMPARE(t.marks().sgPlayListMark->cell(3, 3), markTime);
    QCOMPARE(t.marks().sgPlayListMark->cell(3, 5), QString("00:00:40.040"));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());
}

// No SubPath question without SubPaths, no question at all when IN stays.
void PlaylistEditTest::inTimeQuestionsFollowTheParts() {
    Disc disc;
    Tab t(disc);
    t.read("00002");
    typeIntoCell(t.items().sgPLitem, PlayItemsView::kIn, 1, "00:00:00.000");
    QVERIFY(t.sink.questions.empty());
    typeIntoCell(t.items().sgPLitem, PlayItemsView::kIn, 1, "00:00:01.000");
    QCOMPARE(questions(t.sink), QStringList({"Do you want to update OUT time?",
                                             "Do you want to update PlayListMarks' marktimes?"}));
    QCOMPARE(t.playlist().playList.playItems[0].outTime, 11u * 45000);
    QCOMPARE(t.playlist().marks.marks[0].time, 45000u);
}

// The new PlayItem goes behind the selected row, plays the first clip of the
// list and takes 66 bytes; deleting it brings every byte back.
void PlaylistEditTest::playItemInsertAndDelete() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    const TMPLS original = t.playlist();
    QSignalSpy states(&t.tab, &PlaylistTab::saveStateChanged);
    StringGrid* grid = t.items().sgPLitem;
    clickCell(grid, 1, 2);
    press(grid, Qt::Key_Insert);

    QCOMPARE(grid->dataRows(), 4);
    QCOMPARE(t.items().selectedPlayItem(), 2);
    QCOMPARE(rowCells(*grid, 3),
             QStringList({"002", "00001", "M2TS", "00:00:00.000", "00:00:00.000", "00:00:00.000",
                          "00000000", "00000000", "0"}));
    QCOMPARE(grid->cell(0, 4), QString("003"));
    const Sizes before = sizesOf(original);
    QVERIFY(sizesOf(t.playlist()) == (Sizes{before.playList + 66, before.markStart + 66, 0}));
    QCOMPARE(t.items().stnView->sgSTN->cell(1, 1), QString("1"));
    // The marks of the old third PlayItem now name the fourth.
    QCOMPARE(t.marks().sgPlayListMark->cell(2, 6), QString("003"));
    QCOMPARE(states.count(), 1);
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());

    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(t.playlist() == original);
    QCOMPARE(grid->dataRows(), 3);
    QCOMPARE(t.items().selectedPlayItem(), 2);
    QCOMPARE(t.marks().sgPlayListMark->cell(2, 6), QString("002"));
}

void PlaylistEditTest::deletingEveryPlayItemAndInsertingAgain() {
    Disc disc;
    Tab t(disc);
    t.read("00002");
    StringGrid* grid = t.items().sgPLitem;
    clickCell(grid, 1, 1);
    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(t.playlist().playList.playItems.empty());
    QVERIFY(t.playlist().marks.marks.empty());
    // Its mark went with it, and the log says so.
    const auto& texts = t.sink.texts();
    QVERIFY(std::any_of(texts.begin(), texts.end(), [](const std::string& line) {
        return line.find("Mark 000 (entry-mark at 00:00:00.000) deleted with PlayItem 000") !=
               std::string::npos;
    }));
    QVERIFY(!t.tab.canSave());
    QVERIFY(grid->isEnabled());
    QVERIFY(grid->cell(1, 1).isEmpty());
    QVERIFY(!t.items().bApply2CI->isEnabled());

    press(grid, Qt::Key_Insert);
    QVERIFY(t.tab.canSave());
    QCOMPARE(grid->cell(1, 1), QString("00001"));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00002") == t.playlist());
}

// In edit mode the cell editor holds the focus; the keys still reach the
// grid.
void PlaylistEditTest::playItemKeysInEditMode() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    StringGrid* grid = t.items().sgPLitem;
    grid->setEditMode(true);
    grid->setGridCursor(PlayItemsView::kFile, 3);
    press(grid, Qt::Key_Insert);
    QCOMPARE(t.playlist().playList.playItems.size(), std::size_t{4});
    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.playlist().playList.playItems.size(), std::size_t{3});
    // Double clicks edit cells there: no jump.
    QSignalSpy jumps(&t.tab, &PlaylistTab::clipRequested);
    doubleClickCell(grid, PlayItemsView::kType, 1);
    QCOMPARE(jumps.count(), 0);
}

void PlaylistEditTest::subPathInsertAndDelete() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    const TMPLS original = t.playlist();
    SubPathView& v = t.subPaths();
    QCOMPARE(v.bbSPins->toolTip(), QString("Insert SubPath item"));
    QCOMPARE(v.bbSPdel->toolTip(), QString("Delete SubPath item"));
    v.bbSPins->click();

    QCOMPARE(v.sgSubPath->dataRows(), 2);
    QCOMPARE(v.selectedSubPath(), 1);
    QCOMPARE(rowCells(*v.sgSubPath, 2), QStringList({"001", "IG menu", "No", "1"}));
    // Its SubPlayItem plays PlayItem 0's clip over PlayItem 0's times.
    QCOMPARE(rowCells(*v.sgSubPlayItem, 1),
             QStringList({"000", "00000", "M2TS", "1", "No", "0", "00:00:00.000", "00:00:20.020",
                          "0", "00:00:00.000", "0"}));
    QCOMPARE(v.cbSubPathType->currentText(), QString("IG menu"));
    QVERIFY(v.cbSubPathType->isEnabled());
    QVERIFY(!v.cbSPrepeat->isEnabled());
    const Sizes before = sizesOf(original);
    QVERIFY(sizesOf(t.playlist()) == (Sizes{before.playList + 40, before.markStart + 40, 0}));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());

    press(v.sgSubPath, Qt::Key_Delete);
    QVERIFY(t.playlist() == original);
    QCOMPARE(v.selectedSubPath(), 0);
    press(v.sgSubPath, Qt::Key_Delete);
    QVERIFY(t.playlist().playList.subPaths.empty());
    QVERIFY(!v.sgSubPath->isEnabled());
    QVERIFY(!v.sgSubPlayItem->isEnabled());
    QVERIFY(!v.bbSPdel->isEnabled());
    QVERIFY(!v.cbSubPathType->isEnabled());
    v.bbSPins->click();
    QCOMPARE(t.playlist().playList.subPaths.size(), std::size_t{1});
    QVERIFY(v.bbSPdel->isEnabled());
}

void PlaylistEditTest::subPathTypeAndRepeatLists() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    SubPathView& v = t.subPaths();
    pick(v.cbSubPathType, 2);
    QVERIFY(v.cbSPrepeat->isEnabled());
    QCOMPARE(v.cbSubPathType->toolTip(),
             QString("Primary audio presentation path of the Browsable slideshow"));
    pick(v.cbSPrepeat, 1);
    QCOMPARE(rowCells(*v.sgSubPath, 1), QStringList({"000", "p. Audio", "Yes", "1"}));
    QCOMPARE(t.playlist().playList.subPaths[0].repeat, std::uint16_t{1});

    pick(v.cbSubPathType, 4);
    QCOMPARE(rowCells(*v.sgSubPath, 1), QStringList({"000", "Text sub", "No", "1"}));
    QCOMPARE(v.cbSPrepeat->currentText(), QString("No"));
    QVERIFY(!v.cbSPrepeat->isEnabled());
    QCOMPARE(t.playlist().playList.subPaths[0].repeat, std::uint16_t{0});
    QCOMPARE(v.cbSubPathType->toolTip(), QString("Text subtitle presentation path"));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());
}

void PlaylistEditTest::subPlayItemCellEdits_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addRow("conn 3 is 1") << int(SubPathView::kConn) << "3"
                                 << "1";
    QTest::addRow("conn 5") << int(SubPathView::kConn) << "5"
                            << "5";
    QTest::addRow("multi") << int(SubPathView::kMulti) << "y"
                           << "Yes";
    QTest::addRow("STC") << int(SubPathView::kStc) << "002"
                         << "2";
    QTest::addRow("IN") << int(SubPathView::kIn) << "00:00:05.000"
                        << "00:00:05.000";
    QTest::addRow("OUT") << int(SubPathView::kOut) << "00:01:00.000"
                         << "00:01:00.000";
    QTest::addRow("sync PI") << int(SubPathView::kSyncPi) << "002"
                             << "2";
    QTest::addRow("sync PTS") << int(SubPathView::kSyncPts) << "00:00:01.000"
                              << "00:00:01.000";
}

void PlaylistEditTest::subPlayItemCellEdits() {
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    Disc disc;
    Tab t(disc);
    t.read("00000");
    StringGrid* grid = t.subPaths().sgSubPlayItem;
    typeIntoCell(grid, col, 1, typed);
    QCOMPARE(grid->cell(col, 1), shown);
    for (const int fixed : {SubPathView::kType, SubPathView::kAn})
        QVERIFY(!grid->isCellEditable(fixed, 1));
    const lumora::TSubPlayItem& sub = t.playlist().playList.subPaths[0].subPlayItems[0];
    if (col == SubPathView::kSyncPts) QCOMPARE(sub.syncStartPts, 45000u);
    if (col == SubPathView::kMulti) {
        // The clip entries list starts with the SubPlayItem's own clip.
        QCOMPARE(grid->cell(SubPathView::kAn, 1), QString("1"));
        QVERIFY(t.subPaths().sgAngles->isVisible());
        QCOMPARE(rowCells(*t.subPaths().sgAngles, 1), QStringList({"1", "00001", "M2TS", "0"}));
    }
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());
}

void PlaylistEditTest::jumpToClipDoubleClicks() {
    Disc disc;
    TMPLS feature = disc.parsed("00000");
    lumora::TSubPlayItem& sub = feature.playList.subPaths[0].subPlayItems[0];
    sub.isMultiClipEntries = 1;
    sub.clips = {{"00001", "M2TS", 0}, {"00000", "M2TS", 0}, {"00001", "M2TS", 1}};
    lumora::writeFileSafely(disc.playlistPath("00000"), lumora::playlistBytes(feature));
    Tab t(disc);
    t.read("00000");
    QCOMPARE(rowCells(*t.subPaths().sgAngles, 3), QStringList({"3", "00001", "M2TS", "1"}));

    QSignalSpy jumps(&t.tab, &PlaylistTab::clipRequested);
    doubleClickCell(t.items().sgPLitem, PlayItemsView::kIn, 2);
    QVERIFY(t.items().sgPIangles->isVisible());
    doubleClickCell(t.items().sgPIangles, 1, 2);
    doubleClickCell(t.subPaths().sgSubPlayItem, 1, 1);
    doubleClickCell(t.subPaths().sgAngles, 1, 2);
    QCOMPARE(jumps.count(), 4);
    QCOMPARE(jumps[0][0].toString(), QString("00000"));
    QCOMPARE(jumps[1][0].toString(), QString("00000"));
    QCOMPARE(jumps[2][0].toString(), QString("00001"));
    QCOMPARE(jumps[3][0].toString(), QString("00000"));

    t.subPaths().sgSubPlayItem->setEditMode(true);
    doubleClickCell(t.subPaths().sgSubPlayItem, SubPathView::kType, 1);
    QCOMPARE(jumps.count(), 4);
}

void PlaylistEditTest::applyToClpiAsksForTheSelectedPlayItem() {
    Disc disc;
    Tab t(disc);
    QSignalSpy applies(&t.tab, &PlaylistTab::applyToClipRequested);
    QVERIFY(!t.items().bApply2CI->isEnabled());
    t.read("00000");
    QCOMPARE(t.items().bApply2CI->text(), QString("Apply to clpi"));
    QVERIFY(t.items().bApply2CI->isVisible());
    clickCell(t.items().sgPLitem, 1, 3);
    t.items().bApply2CI->click();
    QCOMPARE(applies.count(), 1);
    QCOMPARE(applies[0][0].toInt(), 2);
}

void PlaylistEditTest::findLogsTheCallers_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("lines");
    QTest::addRow("feature") << "00000"
                             << QStringList{"Object 0002, Command line 0001",
                                            "Object 0003, Command line 0000"};
    QTest::addRow("menu") << "00001" << QStringList{"Object 0001, Command line 0000"};
    QTest::addRow("trailer") << "00002"
                             << QStringList{"Object 0000, Command line 0001",
                                            "Object 0004, Command line 0003"};
}

void PlaylistEditTest::findLogsTheCallers() {
    QFETCH(QString, entry);
    QFETCH(QStringList, lines);
    Disc disc;
    lumora::TMOBJ objects;
    QVERIFY(lumora::parseMovieObjects(lumora::test::readFile(disc.info.folder + "MovieObject.bdmv"),
                                      "MovieObject.bdmv", objects)
                .good());
    Tab t(disc);
    t.tab.selector()->setCurrentIndex(t.tab.selector()->findText(entry));
    t.tab.findCallers(objects);
    QStringList expected{"", "PlayList " + entry + " found in:"};
    expected << lines;
    QStringList logged;
    for (const std::string& line : t.sink.texts())
        logged << QString::fromStdString(line).trimmed();
    QCOMPARE(logged, expected);
    // The caller lines are plain: no leading blank.
    QCOMPARE(QString::fromStdString(t.sink.texts().back()), lines.back());
}

QTEST_MAIN(PlaylistEditTest)
#include "playlist_edit_test.moc"
