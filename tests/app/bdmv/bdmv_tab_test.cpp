// The BDMV tab on the demo disc: the index.bdmv and MovieObject.bdmv groups
// as a folder Read fills them, their edits, the ExtensionData dialog, Save and
// the layout limits of the window.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/bdj/bdjo_tab.h"
#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/index_view.h"
#include "app/bdmv/movie_object_view.h"
#include "app/options/options_tab.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/status/status_tab.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/extension_data.h"
#include "core/text.h"
#include "demo/demo_disc.h"
#include "navigation/command_codec.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TINDX;
using lumora::TMOBJ;
namespace fs = std::filesystem;

namespace {

// The demo disc in a folder of its own, so every test may change it.
struct Disc {
    Disc() : info(lumora::makeDemoDisc(dir / "disc")) {}
    std::string path(const std::string& name) const { return info.folder + name; }
    lumora::Bytes bytes(const std::string& name) const {
        return lumora::test::readFile(path(name));
    }
    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
};

TINDX parsedIndex(const lumora::Bytes& bytes) {
    TINDX index;
    index.typeIndicator = 0;  // stays 0 when the parser refuses the file
    lumora::parseIndex(bytes, "index.bdmv", index);
    return index;
}

TMOBJ parsedObjects(const lumora::Bytes& bytes) {
    TMOBJ file;
    file.typeIndicator.clear();
    lumora::parseMovieObjects(bytes, "MovieObject.bdmv", file);
    return file;
}

// A main window on a disc, shown, whose settings and boxes stay private.
struct Window {
    explicit Window(const std::string& settingsFile, const Disc& disc) {
        window.settingsFactory = [file = QString::fromStdString(settingsFile)] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window.fileErrorBox = [this](const QString& message) { fileErrors << message; };
        window.startUp({QString::fromStdString(disc.path("index.bdmv"))});
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    IndexView& index() const { return *window.bdmvTab->indexView; }
    MovieObjectView& objects() const { return *window.bdmvTab->movieObjectView; }
    const NavigationModels& models() const { return *window.bdmvTab->context().models; }
    QStringList log() const { return window.statusTab->reMessage->lines(); }
    void read() { window.readFolder(); }

    TfMain window;
    QStringList fileErrors;
};

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// What the user does: choosing a list entry, clicking a row.
void pick(QComboBox* box, int item) {
    box->setCurrentIndex(item);
    emit box->activated(item);
}

void pickText(QComboBox* box, const QString& text) {
    QVERIFY2(box->findText(text) >= 0, qPrintable(box->objectName() + ": " + text));
    pick(box, box->findText(text));
}

QPoint rowPoint(const StringGrid& grid, int row) {
    return grid.visualRect(grid.model()->index(row - 1, 0)).center();
}

void clickRow(StringGrid* grid, int row) {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(*grid, row));
}

void selectRows(StringGrid* grid, int first, int last) {
    grid->setGridCursor(1, first);
    grid->setRangeSelected(
        QTableWidgetSelectionRange(first - 1, 0, last - 1, grid->columnCount() - 1), true);
}

QStringList rowCells(const StringGrid& grid, int row) {
    QStringList cells;
    for (int col = 0; col <= grid.dataColumns(); ++col)
        cells << grid.cell(col, row);
    return cells;
}

QStringList allCells(const StringGrid& grid) {
    QStringList cells;
    for (int row = 0; row <= grid.dataRows(); ++row)
        cells << rowCells(grid, row);
    return cells;
}

QStringList column(const StringGrid& grid, int col) {
    QStringList cells;
    for (int row = 1; row <= grid.dataRows(); ++row)
        cells << grid.cell(col, row);
    return cells;
}

QStringList items(const QComboBox& box) {
    QStringList out;
    for (int i = 0; i < box.count(); ++i)
        out << box.itemText(i);
    return out;
}

template <std::size_t N>
QStringList cellList(const std::array<std::string, N>& cells) {
    QStringList out;
    for (const std::string& cell : cells)
        out << q(cell);
    return out;
}

// The width a button's caption or a combo's widest entry takes, with the
// button's margins or the combo's frame and arrow.
int textWidth(const QWidget& widget) {
    const QFontMetrics metrics = widget.fontMetrics();
    if (const auto* box = qobject_cast<const QComboBox*>(&widget)) {
        int text = 0;
        for (int i = 0; i < box->count(); ++i)
            text = std::max(text, metrics.horizontalAdvance(box->itemText(i)));
        QStyleOptionComboBox option;
        option.initFrom(box);
        return box->style()
            ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, metrics.height()), box)
            .width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return metrics.horizontalAdvance(button->text()) + 8;
    return 0;
}

// A sink that keeps every status text in order.
class StatusRecorder : public lumora::RecordingSink {
public:
    void showStatus(int which, std::string_view text) override {
        statuses.emplace_back(which, QString::fromUtf8(text.data(), qsizetype(text.size())));
        RecordingSink::showStatus(which, text);
    }
    std::vector<std::pair<int, QString>> statuses;
};

// One ExtensionData entry of 8 bytes: a block file the dialog can load.
lumora::TExtensionData oneEntryBlock() {
    lumora::TExtensionData block;
    block.length = 28;
    block.dataBlockStartAddress = 24;
    block.entries = {{1, 1, 24, 8}};
    block.dataBlock = lumora::test::hexBytes("4142434445464748");
    return block;
}

}  // namespace

class BdmvTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        lumora::apptest::isolateSettings();
        settings_ = std::make_unique<lumora::test::TempDir>();
    }
    void init() { fs::remove(*settings_ / "settings.ini"); }

    void readShowsTheIndexAndTheMovieObjects();
    void appInfoValueOutsideItsListStaysUntilPicked_data();
    void appInfoValueOutsideItsListStaysUntilPicked();
    void badIndexLeavesTheIndexViewsDisabled_data();
    void badIndexLeavesTheIndexViewsDisabled();
    void badMovieObjectFileIsShownEmptyAndNeverWritten();
    void titleInsertAndDelete_data();
    void titleInsertAndDelete();
    void deletingEveryTitleClearsTheGridAndControls();
    void insertStopsAt999Titles();
    void titleControlsStoreAtOnce();
    void firstPlaybackAndTopMenuControls();
    void appInfoControlsStoreAtOnce();
    void clickingATitleSelectsItAndShowsItsObject();
    void doubleClickOnABdjTitleReadsItsObject();
    void movieObjectInsertMovesTheReferences();
    void movieObjectDeleteReportsLostReferences_data();
    void movieObjectDeleteReportsLostReferences();
    void flagListsStoreAtOnce();
    void selectingAnObjectFillsOrClearsTheCommands();
    void commandGridReportsItsProgress();
    void showObjectScrollsItsRowToTheTop_data();
    void showObjectScrollsItsRowToTheTop();
    void extensionDataGoesThroughTheDialog_data();
    void extensionDataGoesThroughTheDialog();
    void saveWritesWhatTheViewsShow();
    void backupFailureWritesNeitherFile();
    void layoutLimits_data();
    void layoutLimits();
    void objectPanelHeightIsKeptBetweenRuns();

private:
    std::string settingsFile() const { return *settings_ / "settings.ini"; }
    std::unique_ptr<lumora::test::TempDir> settings_;
};

void BdmvTabTest::readShowsTheIndexAndTheMovieObjects() {
    Disc disc;
    Window w(settingsFile(), disc);
    const TINDX index = parsedIndex(disc.bytes("index.bdmv"));
    const TMOBJ objects = parsedObjects(disc.bytes("MovieObject.bdmv"));
    IndexView& iv = w.index();
    MovieObjectView& ov = w.objects();

    QCOMPARE(rowCells(*iv.sgTitles, 0),
             (QStringList{"No.", "object t.", "title search", "playback t.", "OID/file"}));
    QCOMPARE(iv.sgTitles->dataRows(), static_cast<int>(index.indexes.titles.size()));
    for (std::size_t t = 0; t < index.indexes.titles.size(); ++t) {
        QCOMPARE(rowCells(*iv.sgTitles, static_cast<int>(t) + 1),
                 cellList(lumora::titleRowCells(index.indexes.titles[t])));
    }
    QCOMPARE(iv.lTitlenum->text(), QString("4 + 2 titles"));
    QVERIFY(iv.lTitlenum->font().bold());
    QCOMPARE(ov.lObjects->text(), QString("6 objects"));
    QCOMPARE(items(*iv.cbTitleNo), (QStringList{"1", "2", "3", "4"}));
    QCOMPARE(items(*iv.cbFPOID), (QStringList{"0", "1", "2", "3", "4", "5"}));
    QCOMPARE(items(*iv.cbTitleFN), QStringList{"00001"});
    QCOMPARE(items(*iv.cbTitleAT), (QStringList{"Permitted", "Prohibited1", "Prohibited2"}));

    // First Playback on object 0, Top Menu on object 1.
    QVERIFY(iv.cbFirstPlay->isChecked());
    QCOMPARE(iv.cbFPOT->currentText(), QString("HDMV"));
    QCOMPARE(iv.cbFPPBT->currentText(), QString("Movie"));
    QCOMPARE(iv.cbFPOID->currentText(), QString("0"));
    QVERIFY(iv.cbFPOID->isEnabled() && !iv.cbFPFN->isEnabled());
    QVERIFY(iv.cbTopMenu->isChecked());
    QCOMPARE(iv.cbTMOID->currentText(), QString("1"));
    QVERIFY(iv.cbTMOT->isEnabled());  // BD-J objects are listed

    QCOMPARE(iv.cbVideoFormat->currentText(), QString("1080p"));
    QCOMPARE(iv.cbFrameRate->currentText(), QString("23.976"));
    QCOMPARE(iv.cbOutputMode->currentText(), QString("2D"));
    QVERIFY(!iv.cbSSContent->isChecked());
    QCOMPARE(iv.eProvider->text(), QString("Lumora demo disc"));
    QCOMPARE(iv.lIndexExtDat->text(), QString("no ExtensionData()"));
    QCOMPARE(ov.lObjExtDat->text(), QString("no ExtensionData()"));
    QVERIFY(iv.bIndexExtDat->isEnabled() && ov.bObjExtDat->isEnabled());

    QCOMPARE(ov.sgObject->toolTip(), QString("Movie objects"));
    QCOMPARE(rowCells(*ov.sgObject, 0),
             (QStringList{"No.", "resume", "menu call", "title search", "commands"}));
    QCOMPARE(ov.sgObject->dataRows(), 6);
    for (std::size_t i = 0; i < objects.objects.size(); ++i) {
        QCOMPARE(rowCells(*ov.sgObject, static_cast<int>(i) + 1),
                 cellList(lumora::movieObjectRowCells(i, objects.objects[i])));
    }
    QCOMPARE(items(*ov.cbResume), (QStringList{"discard", "suspend"}));
    QCOMPARE(items(*ov.cbMenuCall), (QStringList{"enable", "disable"}));
    QCOMPARE(items(*w.window.cbObject),
             (QStringList{"0000", "0001", "0002", "0003", "0004", "0005"}));

    // The first title is selected with its movie object and commands.
    QCOMPARE(iv.cbTitleNo->currentText(), QString("1"));
    QCOMPARE(iv.sgTitles->gridRow(), 1);
    QCOMPARE(ov.selectedObject(), 2);
    QCOMPARE(ov.sgObject->gridRow(), 3);
    QCOMPARE(w.window.cbObject->currentText(), QString("0002"));
    QCOMPARE(ov.cbResume->currentText(), QString("suspend"));
    QCOMPARE(rowCells(*ov.sgCommands, 0),
             (QStringList{"No.", "Opcode", "Destinat.", "Source", "Command line"}));
    const auto& commands = objects.objects[2].commands;
    QCOMPARE(ov.sgCommands->dataRows(), static_cast<int>(commands.size()));
    for (std::size_t k = 0; k < commands.size(); ++k) {
        QCOMPARE(
            rowCells(*ov.sgCommands, static_cast<int>(k) + 1),
            cellList(
                lumora::comm2str(k, commands[k], lumora::CommandContext::MovieObject).cells()));
    }
    QVERIFY(w.window.bSave->isEnabled());
    QVERIFY(w.window.bStart->isEnabled());
    QVERIFY(w.log().contains("   Found 4 titles, 0 extended entry."));
    QVERIFY(w.fileErrors.isEmpty());
}

void BdmvTabTest::appInfoValueOutsideItsListStaysUntilPicked_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("formatShown");
    QTest::addColumn<QString>("rateShown");
    QTest::addColumn<QString>("formatHeld");  // shown in grey, without a selection
    QTest::addColumn<QString>("rateHeld");
    QTest::newRow("format 9") << 9 << 1 << QString() << QString("23.976") << QString("9")
                              << QString();
    QTest::newRow("rate 12") << 6 << 12 << QString("1080p") << QString() << QString()
                             << QString("12");
    QTest::newRow("rate 5 is listed")
        << 7 << 5 << QString("576p") << QString("-") << QString() << QString();
    QTest::newRow("both 15") << 15 << 15 << QString() << QString() << QString("15")
                             << QString("15");
}

void BdmvTabTest::appInfoValueOutsideItsListStaysUntilPicked() {
    QFETCH(int, format);
    QFETCH(int, rate);
    QFETCH(QString, formatShown);
    QFETCH(QString, rateShown);
    QFETCH(QString, formatHeld);
    QFETCH(QString, rateHeld);
    Disc disc;
    TINDX index = parsedIndex(disc.bytes("index.bdmv"));
    index.videoFormat = static_cast<std::uint8_t>(format);
    index.frameRate = static_cast<std::uint8_t>(rate);
    const lumora::Bytes written = lumora::indexBytes(index);
    lumora::test::writeFile(disc.path("index.bdmv"), written);

    Window w(settingsFile(), disc);
    QCOMPARE(w.index().cbVideoFormat->currentText(), formatShown);
    QCOMPARE(w.index().cbVideoFormat->currentIndex() < 0, formatShown.isEmpty());
    QCOMPARE(w.index().cbFrameRate->currentText(), rateShown);
    QCOMPARE(w.index().cbVideoFormat->placeholderText(), formatHeld);
    QCOMPARE(w.index().cbFrameRate->placeholderText(), rateHeld);
    w.window.bSave->click();
    QVERIFY(disc.bytes("index.bdmv") == written);  // the values go back as read

    pickText(w.index().cbVideoFormat, "720p");
    w.window.bSave->click();
    const TINDX saved = parsedIndex(disc.bytes("index.bdmv"));
    QCOMPARE(int(saved.videoFormat), 5);
    QCOMPARE(int(saved.frameRate), rate);
}

void BdmvTabTest::badIndexLeavesTheIndexViewsDisabled_data() {
    QTest::addColumn<QByteArray>("head");  // replaces the start of the file
    QTest::addColumn<int>("titles");       // number of titles written, -1: as is
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("playlistsEnabled");
    QTest::newRow("type") << QByteArray("XNDX") << -1
                          << " ERROR: index.bdmv format error at $00000008" << false;
    QTest::newRow("version") << QByteArray("INDX0300") << -1
                             << " ERROR: index.bdmv format error at $00000008" << false;
    QTest::newRow("1000 titles") << QByteArray() << 1000
                                 << " Error in index.bdmv (number of title: 1000)" << true;
}

void BdmvTabTest::badIndexLeavesTheIndexViewsDisabled() {
    QFETCH(QByteArray, head);
    QFETCH(int, titles);
    QFETCH(QString, line);
    QFETCH(bool, playlistsEnabled);
    Disc disc;
    lumora::Bytes bytes = disc.bytes("index.bdmv");
    if (titles >= 0) {
        TINDX index = parsedIndex(bytes);
        index.indexes.titles.assign(static_cast<std::size_t>(titles), index.indexes.titles[0]);
        index.indexes.length = 26 + 12 * static_cast<std::uint32_t>(titles);
        bytes = lumora::indexBytes(index);
    }
    std::copy(head.begin(), head.end(), bytes.begin());
    lumora::test::writeFile(disc.path("index.bdmv"), bytes);

    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    QVERIFY(w.log().contains(line));
    for (QWidget* control : std::initializer_list<QWidget*>{
             iv.sgTitles, iv.bInsTitle, iv.bDelTitle, iv.cbTitleNo, iv.cbTitleOT, iv.cbTitleOID,
             iv.cbFirstPlay, iv.cbFPOID, iv.cbTopMenu, iv.cbTMOID, iv.eProvider, iv.cbVideoFormat,
             iv.bIndexExtDat, w.objects().sgObject}) {
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    }
    QCOMPARE(iv.lTitlenum->text(), QString("0 titles"));
    QVERIFY(!w.window.bSave->isEnabled());
    QCOMPARE(w.window.playlistTab->readButton()->isEnabled(), playlistsEnabled);
    // The rest of the Read went on.
    QVERIFY(w.log().contains("   Found 2 AV streams"));

    w.window.save();  // nothing to write
    QVERIFY(disc.bytes("index.bdmv") == bytes);
}

void BdmvTabTest::badMovieObjectFileIsShownEmptyAndNeverWritten() {
    Disc disc;
    lumora::Bytes bytes = disc.bytes("MovieObject.bdmv");
    bytes[0] = 'X';
    lumora::test::writeFile(disc.path("MovieObject.bdmv"), bytes);
    Window w(settingsFile(), disc);
    QVERIFY(w.log().contains(" ERROR: Format error MovieObject.bdmv"));
    QCOMPARE(w.objects().lObjects->text(), QString("0 objects"));
    QVERIFY(!w.objects().sgObject->isEnabled());
    QVERIFY(!w.objects().bInsObject->isEnabled());
    QCOMPARE(w.window.cbObject->count(), 0);
    QCOMPARE(w.index().cbFPOID->count(), 0);
    // The titles are shown as read, their objects unknown.
    QCOMPARE(column(*w.index().sgTitles, 4), (QStringList{"2", "3", "4", "00001"}));
    QCOMPARE(w.index().cbTitleOID->currentIndex(), -1);
    QCOMPARE(w.index().cbTitleOID->placeholderText(), QString("2"));

    QVERIFY(w.window.bSave->isEnabled());
    w.window.bSave->click();
    QVERIFY(w.log().contains(" index.bdmv saved."));
    QVERIFY(!w.log().contains(" MovieObject.bdmv saved."));
    QVERIFY(disc.bytes("MovieObject.bdmv") == bytes);
}

void BdmvTabTest::titleInsertAndDelete_data() {
    QTest::addColumn<int>("first");  // selected rows
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("objectCells");  // "OID/file" after the edit
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<QString>("label");
    const QStringList none;
    QTest::newRow("+ after row 2")
        << 2 << 2 << "+" << QStringList{"2", "3", "0", "4", "00001"} << 3 << "5 + 2 titles";
    QTest::newRow("Ins after rows 1-4")
        << 1 << 4 << "Ins" << QStringList{"2", "3", "4", "00001", "0"} << 5 << "5 + 2 titles";
    QTest::newRow("- rows 2-3") << 2 << 3 << "-" << QStringList{"2", "00001"} << 1
                                << "2 + 2 titles";
    QTest::newRow("Del row 3") << 3 << 3 << "Del" << QStringList{"2", "3", "00001"} << 2
                               << "3 + 2 titles";
    QTest::newRow("Del row 1") << 1 << 1 << "Del" << QStringList{"3", "4", "00001"} << 1
                               << "3 + 2 titles";
}

void BdmvTabTest::titleInsertAndDelete() {
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, action);
    QFETCH(QStringList, objectCells);
    QFETCH(int, selectedRow);
    QFETCH(QString, label);
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    QCOMPARE(iv.bInsTitle->toolTip(), QString("Insert title"));
    QCOMPARE(iv.bDelTitle->toolTip(), QString("Delete title"));
    const std::uint32_t length = w.models().index.indexes.length;

    selectRows(iv.sgTitles, first, last);
    if (action == "+") iv.bInsTitle->click();
    if (action == "-") iv.bDelTitle->click();
    if (action == "Ins") QTest::keyClick(iv.sgTitles, Qt::Key_Insert);
    if (action == "Del") QTest::keyClick(iv.sgTitles, Qt::Key_Delete);

    const int count = static_cast<int>(objectCells.size());
    QCOMPARE(column(*iv.sgTitles, 4), objectCells);
    QCOMPARE(column(*iv.sgTitles, 0).last(), QString("%1").arg(count, 3, 10, QChar('0')));
    QCOMPARE(iv.cbTitleNo->count(), count);
    QCOMPARE(iv.sgTitles->gridRow(), selectedRow);
    QCOMPARE(iv.cbTitleNo->currentIndex(), selectedRow - 1);
    QCOMPARE(iv.lTitlenum->text(), label);
    const auto& titles = w.models().index.indexes.titles;
    QCOMPARE(static_cast<int>(titles.size()), count);
    QCOMPARE(int(w.models().index.indexes.length), int(length) + 12 * (count - 4));
    if (action == "+" || action == "Ins") {
        QCOMPARE(rowCells(*iv.sgTitles, selectedRow),
                 (QStringList{QString("%1").arg(selectedRow, 3, 10, QChar('0')), "HDMV",
                              "Permitted", "Movie", "0"}));
        QCOMPARE(w.objects().selectedObject(), 0);  // the new title's object is shown
    }
}

void BdmvTabTest::deletingEveryTitleClearsTheGridAndControls() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    selectRows(iv.sgTitles, 1, 4);
    iv.bDelTitle->click();
    QCOMPARE(iv.sgTitles->dataRows(), 1);
    QCOMPARE(rowCells(*iv.sgTitles, 1), QStringList(5, QString()));
    QVERIFY(!iv.sgTitles->isEnabled());
    QCOMPARE(iv.cbTitleNo->count(), 0);
    QCOMPARE(iv.cbTitleNo->currentIndex(), -1);
    for (QWidget* control : std::initializer_list<QWidget*>{
             iv.cbTitleOT, iv.cbTitleAT, iv.cbTitlePBT, iv.cbTitleOID, iv.cbTitleFN, iv.bDelTitle})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
    QCOMPARE(iv.lTitlenum->text(), QString("0 + 2 titles"));
    QVERIFY(w.window.bSave->isEnabled());  // the movie objects are still there

    // "+" brings the first title back, with its controls.
    QVERIFY(iv.bInsTitle->isEnabled());
    iv.bInsTitle->click();
    QCOMPARE(rowCells(*iv.sgTitles, 1), (QStringList{"001", "HDMV", "Permitted", "Movie", "0"}));
    QVERIFY(iv.sgTitles->isEnabled());
    QVERIFY(iv.cbTitleOID->isEnabled() && !iv.cbTitleFN->isEnabled());
    QCOMPARE(iv.cbTitleNo->currentText(), QString("1"));
}

void BdmvTabTest::insertStopsAt999Titles() {
    Disc disc;
    TINDX index = parsedIndex(disc.bytes("index.bdmv"));
    index.indexes.titles.resize(999, index.indexes.titles[0]);
    lumora::test::writeFile(disc.path("index.bdmv"), lumora::indexBytes(index));
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    QCOMPARE(iv.lTitlenum->text(), QString("999 + 2 titles"));
    QCOMPARE(iv.sgTitles->cell(0, 999), QString("999"));
    // A thousandth title would make a file that no Read takes.
    QVERIFY(!iv.bInsTitle->isEnabled());
    QTest::keyClick(iv.sgTitles, Qt::Key_Insert);
    QCOMPARE(iv.sgTitles->dataRows(), 999);
    QCOMPARE(w.models().index.indexes.titles.size(), std::size_t(999));
    iv.bDelTitle->click();
    QVERIFY(iv.bInsTitle->isEnabled());
}

void BdmvTabTest::titleControlsStoreAtOnce() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    clickRow(iv.sgTitles, 2);
    const auto title = [&] { return w.models().index.indexes.titles[1]; };
    const struct {
        QComboBox* list;
        const char* item;
        int col;
        const char* cell;
        std::function<int()> stored;
        int value;
    } cases[] = {
        {iv.cbTitleAT, "Prohibited1", 2, "Prohibited1", [&] { return title().accessType; }, 2},
        {iv.cbTitleAT, "Prohibited2", 2, "Prohibited2", [&] { return title().accessType; }, 3},
        {iv.cbTitleAT, "Permitted", 2, "Permitted", [&] { return title().accessType; }, 0},
        {iv.cbTitlePBT, "Interactive", 3, "Interactive", [&] { return title().playbackType; }, 1},
        {iv.cbTitleOID, "5", 4, "5", [&] { return title().objectId; }, 5},
        {iv.cbTitleOT, "BD-J", 1, "BD-J", [&] { return title().objectType; }, 2},
        {iv.cbTitleFN, "00001", 4, "00001", [&] { return int(title().bdjName == "00001"); }, 1},
        {iv.cbTitleOT, "HDMV", 4, "5", [&] { return title().objectType; }, 1},
    };
    for (const auto& c : cases) {
        const QByteArray what = c.list->objectName().toUtf8() + " " + c.item;
        QVERIFY2(c.list->isEnabled(), what);
        pickText(c.list, c.item);
        QVERIFY2(iv.sgTitles->cell(c.col, 2) == c.cell, what);
        QVERIFY2(c.stored() == c.value, what);
    }
    QCOMPARE(w.objects().selectedObject(), 5);  // picking an object id shows it
    // A BD-J title takes its file name from the list, and the lists follow its
    // type.
    pickText(iv.cbTitleOT, "BD-J");
    QVERIFY(!iv.cbTitleOID->isEnabled() && iv.cbTitleFN->isEnabled());
    QCOMPARE(iv.sgTitles->cell(4, 2), QString("00001"));
    // The title number list selects a title and shows it.
    pick(iv.cbTitleNo, 2);
    QCOMPARE(iv.sgTitles->gridRow(), 3);
    QCOMPARE(iv.cbTitleAT->currentText(), QString("Prohibited1"));
    QCOMPARE(iv.cbTitlePBT->currentText(), QString("Interactive"));
    QCOMPARE(iv.cbTitleOID->currentText(), QString("4"));
}

void BdmvTabTest::firstPlaybackAndTopMenuControls() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    const auto& fp = w.models().index.indexes.firstPlayback;
    const auto& tm = w.models().index.indexes.topMenu;

    iv.cbFirstPlay->click();  // off
    QCOMPARE(fp.objectId, lumora::kNoObject);
    QCOMPARE(iv.lTitlenum->text(), QString("4 + 1 titles"));
    QVERIFY(!iv.cbFPOT->isEnabled() && !iv.cbFPPBT->isEnabled() && !iv.cbFPOID->isEnabled());
    iv.cbFirstPlay->click();  // on again: the first object
    QCOMPARE(int(fp.objectId), 0);
    QVERIFY(iv.cbFPOT->isEnabled() && iv.cbFPPBT->isEnabled() && iv.cbFPOID->isEnabled());
    QCOMPARE(iv.lTitlenum->text(), QString("4 + 2 titles"));

    pickText(iv.cbFPPBT, "Interactive");
    QCOMPARE(int(fp.playbackType), 1);
    pickText(iv.cbTMOID, "3");
    QCOMPARE(int(tm.objectId), 3);
    QCOMPARE(w.objects().selectedObject(), 3);  // the picked object is shown
    QCOMPARE(w.window.cbObject->currentText(), QString("0003"));

    pickText(iv.cbFPOT, "BD-J");
    QCOMPARE(fp.objectType, lumora::kBdjObject);
    QCOMPARE(fp.bdjName, std::string("00001"));  // the name the list shows
    QVERIFY(iv.cbFPFN->isEnabled() && !iv.cbFPOID->isEnabled());
    iv.cbFirstPlay->click();  // a BD-J entry switched off names no object at all
    QVERIFY(!iv.cbFirstPlay->isChecked());
    QCOMPARE(fp.objectId, lumora::kNoObject);
    QCOMPARE(iv.cbFPOT->currentText(), QString("HDMV"));

    iv.cbTopMenu->click();
    QCOMPARE(tm.objectId, lumora::kNoObject);
    QCOMPARE(iv.lTitlenum->text(), QString("4 titles"));
    QVERIFY(!iv.cbTMOT->isEnabled() && !iv.cbTMOID->isEnabled());

    w.window.bSave->click();
    const TINDX saved = parsedIndex(disc.bytes("index.bdmv"));
    for (const auto* entry : {&saved.indexes.firstPlayback, &saved.indexes.topMenu}) {
        QVERIFY(entry->isHdmv());
        QCOMPARE(entry->objectId, lumora::kNoObject);
    }
    QCOMPARE(int(saved.indexes.firstPlayback.playbackType), 1);
}

void BdmvTabTest::appInfoControlsStoreAtOnce() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    pickText(iv.cbOutputMode, "SS");
    iv.cbSSContent->click();
    pickText(iv.cbFrameRate, "59.94");
    iv.eProvider->clear();
    QTest::keyClicks(iv.eProvider, "Studio Ä");
    const TINDX& index = w.models().index;
    QCOMPARE(int(index.outputModePreference), 1);
    QCOMPARE(int(index.ssContentExists), 1);
    QCOMPARE(int(index.frameRate), 7);
    QCOMPARE(index.contentProvider, std::string("Studio \xC4"));  // one byte a character
    QCOMPARE(iv.eProvider->maxLength(), 32);

    w.window.bSave->click();
    w.read();
    QCOMPARE(iv.cbOutputMode->currentText(), QString("SS"));
    QVERIFY(iv.cbSSContent->isChecked());
    QCOMPARE(iv.cbFrameRate->currentText(), QString("59.94"));
    QCOMPARE(iv.eProvider->text(), QString("Studio Ä"));
}

void BdmvTabTest::clickingATitleSelectsItAndShowsItsObject() {
    Disc disc;
    Window w(settingsFile(), disc);
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    IndexView& iv = w.index();
    MovieObjectView& ov = w.objects();
    iv.sgTitles->setFocus();
    clickRow(iv.sgTitles, 3);
    QCOMPARE(iv.cbTitleNo->currentText(), QString("3"));
    QCOMPARE(iv.cbTitleAT->currentText(), QString("Prohibited1"));
    QCOMPARE(ov.selectedObject(), 4);
    QCOMPARE(ov.sgObject->gridRow(), 5);
    QCOMPARE(w.window.cbObject->currentText(), QString("0004"));
    QCOMPARE(ov.sgCommands->dataRows(), 5);
    QVERIFY(iv.sgTitles->hasFocus());

    // A BD-J title: its controls, and the movie object stays.
    clickRow(iv.sgTitles, 4);
    QCOMPARE(iv.cbTitleNo->currentText(), QString("4"));
    QCOMPARE(iv.cbTitleOT->currentText(), QString("BD-J"));
    QCOMPARE(iv.cbTitleFN->currentText(), QString("00001"));
    QVERIFY(iv.cbTitleFN->isEnabled() && !iv.cbTitleOID->isEnabled());
    QCOMPARE(ov.selectedObject(), 4);

    // The keyboard moves the selection like a click.
    QTest::keyClick(iv.sgTitles, Qt::Key_Up);
    QCOMPARE(iv.cbTitleNo->currentText(), QString("3"));
}

void BdmvTabTest::doubleClickOnABdjTitleReadsItsObject() {
    Disc disc;
    Window w(settingsFile(), disc);
    QSignalSpy reads(w.window.bdjoTab, &SelectorTab::readRequested);
    StringGrid* titles = w.index().sgTitles;
    const auto doubleClick = [&](int row) {
        clickRow(titles, row);  // a double click begins with a press on the row
        QTest::mouseDClick(titles->viewport(), Qt::LeftButton, {}, rowPoint(*titles, row));
    };
    doubleClick(1);
    QCOMPARE(w.window.PageControl->currentIndex(), int(TfMain::kBdmv));  // an HDMV title
    QCOMPARE(reads.count(), 0);

    doubleClick(4);
    QCOMPARE(w.window.PageControl->currentIndex(), int(TfMain::kBdjo));
    QCOMPARE(reads.count(), 1);  // once, though "Auto Read" reads on entering the tab
    QCOMPARE(reads.first().first().toString(), QString("00001"));

    w.window.PageControl->setCurrentIndex(TfMain::kBdmv);
    doubleClick(4);
    QCOMPARE(reads.count(), 2);  // read again though it was read before
}

void BdmvTabTest::movieObjectInsertMovesTheReferences() {
    Disc disc;
    Window w(settingsFile(), disc);
    MovieObjectView& ov = w.objects();
    QCOMPARE(ov.bInsObject->toolTip(), QString("Insert movieobject"));
    QCOMPARE(ov.bDelObject->toolTip(), QString("Delete movieobject"));
    const std::uint32_t length = w.models().objects.length;
    clickRow(ov.sgObject, 3);  // object 2
    ov.bInsObject->click();

    QCOMPARE(ov.sgObject->dataRows(), 7);
    QCOMPARE(column(*ov.sgObject, 0),
             (QStringList{"000", "001", "002", "003", "004", "005", "006"}));
    QCOMPARE(rowCells(*ov.sgObject, 4), (QStringList{"003", "discard", "enable", "enable", "0"}));
    QCOMPARE(ov.selectedObject(), 3);
    QCOMPARE(ov.sgObject->gridRow(), 4);
    QCOMPARE(w.models().objects.length, length + 4);
    // Titles behind the new object follow it; the BD-J title does not move.
    QCOMPARE(column(*w.index().sgTitles, 4), (QStringList{"2", "4", "5", "00001"}));
    QCOMPARE(ov.lObjects->text(), QString("7 objects"));
    QCOMPARE(w.window.cbObject->count(), 7);
    QCOMPARE(w.window.cbObject->currentText(), QString("0003"));
    QCOMPARE(w.index().cbTitleOID->count(), 7);
    QCOMPARE(w.index().cbTMOID->count(), 7);
    // The new object has no commands: nothing to run.
    QVERIFY(!ov.sgCommands->isEnabled());
    QVERIFY(!w.window.bStart->isEnabled());
    QVERIFY(ov.cbResume->isEnabled());
}

void BdmvTabTest::movieObjectDeleteReportsLostReferences_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("objectCells");  // the titles' "OID/file"
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<int>("selectedObject");
    QTest::newRow("objects 2-3, used by titles 1 and 2")
        << 2 << 3 << QStringList{"??", "??", "2", "00001"}
        << QStringList{" ERROR: Invalid object reference in Title 1",
                       " ERROR: Invalid object reference in Title 2"}
        << 1;
    QTest::newRow("unused object 5")
        << 5 << 5 << QStringList{"2", "3", "4", "00001"} << QStringList{} << 4;
    QTest::newRow("object 0 of First Playback")
        << 0 << 0 << QStringList{"1", "2", "3", "00001"}
        << QStringList{" ERROR: Invalid object reference in First Playback"} << 0;
    QTest::newRow("every object")
        << 0 << 5 << QStringList{"??", "??", "??", "00001"}
        << QStringList{" ERROR: Invalid object reference in Title 1",
                       " ERROR: Invalid object reference in Title 2",
                       " ERROR: Invalid object reference in Title 3",
                       " ERROR: Invalid object reference in First Playback",
                       " ERROR: Invalid object reference in Top Menu"}
        << -1;
}

void BdmvTabTest::movieObjectDeleteReportsLostReferences() {
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, objectCells);
    QFETCH(QStringList, errors);
    QFETCH(int, selectedObject);
    Disc disc;
    Window w(settingsFile(), disc);
    MovieObjectView& ov = w.objects();
    const TMOBJ before = w.models().objects;
    const int logLines = static_cast<int>(w.log().size());
    selectRows(ov.sgObject, first + 1, last + 1);
    ov.bDelObject->click();

    const int removed = last - first + 1;
    QCOMPARE(column(*w.index().sgTitles, 4), objectCells);
    QStringList reported;
    for (const QString& line : w.log().mid(logLines))
        if (line.startsWith(" ERROR:")) reported << line;
    QCOMPARE(reported, errors);
    QCOMPARE(w.window.statusLine->errorShown(), !errors.isEmpty());
    if (!errors.isEmpty()) QCOMPARE(w.window.statusLine->panelText(1), QString("See Status"));
    QCOMPARE(ov.selectedObject(), selectedObject);
    QCOMPARE(ov.lObjects->text(), QString("%1 objects").arg(6 - removed));
    QCOMPARE(w.window.cbObject->count(), 6 - removed);
    QCOMPARE(w.index().cbFPOID->count(), 6 - removed);
    std::uint32_t bytes = 0;
    for (int i = first; i <= last; ++i)
        bytes += lumora::movieObjectSize(before.objects[static_cast<std::size_t>(i)]);
    QCOMPARE(w.models().objects.length, before.length - bytes);
    if (selectedObject < 0) {
        QCOMPARE(ov.sgObject->dataRows(), 1);
        QVERIFY(!ov.sgObject->isEnabled());
        QVERIFY(!ov.cbResume->isEnabled() && !ov.bDelObject->isEnabled());
        QVERIFY(!w.window.bStart->isEnabled());
    } else {
        QCOMPARE(ov.sgObject->dataRows(), 6 - removed);
    }
}

void BdmvTabTest::flagListsStoreAtOnce() {
    Disc disc;
    Window w(settingsFile(), disc);
    MovieObjectView& ov = w.objects();
    clickRow(ov.sgObject, 1);
    QCOMPARE(rowCells(*ov.sgObject, 1), (QStringList{"000", "discard", "disable", "enable", "3"}));
    QCOMPARE(ov.cbMenuCall->currentText(), QString("disable"));
    pickText(ov.cbResume, "suspend");
    pickText(ov.cbMenuCall, "enable");
    pickText(ov.cbTitleSearch, "disable");
    QCOMPARE(rowCells(*ov.sgObject, 1), (QStringList{"000", "suspend", "enable", "disable", "3"}));
    const auto& object = w.models().objects.objects[0];
    QCOMPARE(int(object.resumeIntention), 1);
    QCOMPARE(int(object.menuCallMask), 0);
    QCOMPARE(int(object.titleSearchMask), 1);
    QCOMPARE(ov.cbResume->toolTip(), QString("Resume"));
    QCOMPARE(ov.cbMenuCall->toolTip(), QString("Menu call"));
    QCOMPARE(ov.cbTitleSearch->toolTip(), QString("Title search"));
}

void BdmvTabTest::selectingAnObjectFillsOrClearsTheCommands() {
    Disc disc;
    Window w(settingsFile(), disc);
    MovieObjectView& ov = w.objects();
    const TMOBJ objects = parsedObjects(disc.bytes("MovieObject.bdmv"));
    for (int object : {4, 1, 5}) {
        clickRow(ov.sgObject, object + 1);
        const auto& commands = objects.objects[static_cast<std::size_t>(object)].commands;
        QCOMPARE(ov.sgCommands->dataRows(), static_cast<int>(commands.size()));
        QCOMPARE(column(*ov.sgCommands, 1).first(), q(lumora::hexText(commands[0].opcode, 8)));
        QVERIFY(ov.sgCommands->isEnabled());
        QCOMPARE(ov.sgCommands->gridRow(), 1);
        QVERIFY(w.window.bStart->isEnabled());
        QCOMPARE(w.window.cbObject->currentIndex(), object);
    }
    ov.bInsObject->click();  // an object without commands, selected
    QCOMPARE(ov.sgCommands->dataRows(), 1);
    QCOMPARE(rowCells(*ov.sgCommands, 1), QStringList(5, QString()));
    QVERIFY(!ov.sgCommands->isEnabled());
    QVERIFY(!w.window.bStart->isEnabled());
    QCOMPARE(w.window.statusLine->panelText(0), QString("Ready."));
}

// The tab on its own, with models of its own and a sink that keeps every
// status text.
void BdmvTabTest::commandGridReportsItsProgress() {
    Disc disc;
    NavigationModels models;
    StatusRecorder sink;
    lumora::Reporter reporter(sink);
    BdmvTab tab;
    tab.attach(models, reporter);  // empties the models
    models.index = parsedIndex(disc.bytes("index.bdmv"));
    models.objects = parsedObjects(disc.bytes("MovieObject.bdmv"));
    models.objects.objects[5].commands.assign(300, lumora::TCommand{0x50400001, 1, 2});
    models.indexRead = models.objectsRead = true;
    tab.showBdjNames({"00001"});
    tab.showMovieObjects(true);
    tab.showIndex(true);

    const struct {
        int object;
        std::vector<std::pair<int, QString>> statuses;
    } cases[] = {
        {4, {{0, "Building commands..."}, {1, "1/5"}, {0, "Ready."}, {1, ""}}},
        {5,
         {{0, "Building commands..."},
          {1, "1/300"},
          {1, "129/300"},
          {1, "257/300"},
          {0, "Ready."},
          {1, ""}}},
    };
    for (const auto& c : cases) {
        sink.statuses.clear();
        tab.movieObjectView->selectObject(c.object);
        QVERIFY(sink.statuses == c.statuses);
        QCOMPARE(tab.movieObjectView->sgCommands->dataRows(),
                 static_cast<int>(models.objects.objects[std::size_t(c.object)].commands.size()));
        QVERIFY(tab.canStart());
    }
    QCOMPARE(rowCells(*tab.movieObjectView->sgCommands, 300),
             (QStringList{"0299", "50400001", "00000001 ", "00000002 ", "Move GPR1, 2"}));
}

void BdmvTabTest::showObjectScrollsItsRowToTheTop_data() {
    QTest::addColumn<int>("object");
    QTest::addColumn<int>("topRow");  // grid row shown at the top
    QTest::newRow("first") << 0 << 1;
    QTest::newRow("second") << 1 << 1;
    QTest::newRow("middle") << 10 << 10;
    QTest::newRow("last") << 39 << -1;  // the last page
}

void BdmvTabTest::showObjectScrollsItsRowToTheTop() {
    QFETCH(int, object);
    QFETCH(int, topRow);
    Disc disc;
    NavigationModels models;
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    BdmvTab tab;
    tab.attach(models, reporter);
    models.objects = parsedObjects(disc.bytes("MovieObject.bdmv"));
    models.objects.objects.resize(40);
    models.objectsRead = true;
    tab.showMovieObjects(true);
    tab.resize(1000, 700);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    StringGrid& grid = *tab.movieObjectView->sgObject;
    tab.movieObjectView->setObjectSG(object);
    QCOMPARE(grid.gridRow(), object + 1);
    QCOMPARE(grid.selectionTop(), object + 1);
    const int top = grid.rowAt(0) + 1;
    if (topRow > 0) {
        QCOMPARE(top, topRow);
    } else {
        QCOMPARE(grid.verticalScrollBar()->value(), grid.verticalScrollBar()->maximum());
        QVERIFY(top < object + 1);
    }
}

void BdmvTabTest::extensionDataGoesThroughTheDialog_data() {
    QTest::addColumn<bool>("index");  // else the movie object file
    QTest::addColumn<bool>("use83");
    QTest::addColumn<QString>("title");
    QTest::newRow("index.bdmv") << true << false << "index.bdmv ExtensionData edit";
    QTest::newRow("MovieObject.bdmv") << false << false << "MovieObject.bdmv ExtensionData edit";
    QTest::newRow("8.3 index") << true << true << "INDEX.BDM ExtensionData edit";
    QTest::newRow("8.3 movie objects") << false << true << "MOVIEOBJ.BDM ExtensionData edit";
}

void BdmvTabTest::extensionDataGoesThroughTheDialog() {
    QFETCH(bool, index);
    QFETCH(bool, use83);
    QFETCH(QString, title);
    Disc disc;
    if (use83) {
        fs::rename(disc.path("index.bdmv"), disc.path("INDEX.BDM"));
        fs::rename(disc.path("MovieObject.bdmv"), disc.path("MOVIEOBJ.BDM"));
    }
    const std::string fileName = use83 ? (index ? "INDEX.BDM" : "MOVIEOBJ.BDM")
                                       : (index ? "index.bdmv" : "MovieObject.bdmv");
    const std::string blockFile = disc.dir / "block.exd";
    lumora::saveExtensionDataFile(blockFile, oneEntryBlock());

    Window w(settingsFile(), disc);
    QPushButton* edit = index ? w.index().bIndexExtDat : w.objects().bObjExtDat;
    QLabel* label = index ? w.index().lIndexExtDat : w.objects().lObjExtDat;
    QStringList titles;
    std::function<bool(TfExtDat&)> act;
    w.window.bdmvTab->setExtDatRunner([&](TfExtDat& dialog) {
        titles << dialog.windowTitle();
        return act(dialog);
    });

    act = [&](TfExtDat& dialog) {  // Cancel after a load: nothing changes
        dialog.chooseLoadFile = [&](const QString&, const QString&, const QString&) {
            return q(blockFile);
        };
        dialog.loadBlock();
        return false;
    };
    edit->click();
    QCOMPARE(titles, QStringList{title});
    QCOMPARE(label->text(), QString("no ExtensionData()"));

    act = [&](TfExtDat& dialog) {
        dialog.chooseLoadFile = [&](const QString&, const QString&, const QString&) {
            return q(blockFile);
        };
        dialog.loadBlock();
        return true;
    };
    edit->click();
    QCOMPARE(label->text(), QString("1 entry, 32 bytes"));
    w.window.bSave->click();
    const lumora::Bytes saved = disc.bytes(fileName);
    if (index) {
        const TINDX file = parsedIndex(saved);
        QVERIFY(file.extensionData == oneEntryBlock());
        QCOMPARE(file.extensionDataStart, 78 + 30 + 4 * 12u);
    } else {
        const TMOBJ file = parsedObjects(saved);
        QVERIFY(file.extensionData == oneEntryBlock());
        QCOMPARE(std::size_t(file.extensionDataStart), saved.size() - 32);
    }

    act = [&](TfExtDat& dialog) {  // the dialog shows the block; Delete and OK
        if (dialog.block() != oneEntryBlock()) return false;
        dialog.deleteBlock();
        return true;
    };
    edit->click();
    QCOMPARE(label->text(), QString("no ExtensionData()"));
    w.window.bSave->click();
    QCOMPARE(disc.bytes(fileName).size(), saved.size() - 32);
    if (index) QCOMPARE(parsedIndex(disc.bytes(fileName)).extensionDataStart, 0u);
    if (!index) QCOMPARE(parsedObjects(disc.bytes(fileName)).extensionDataStart, 0u);
}

void BdmvTabTest::saveWritesWhatTheViewsShow() {
    Disc disc;
    Window w(settingsFile(), disc);
    IndexView& iv = w.index();
    MovieObjectView& ov = w.objects();
    clickRow(iv.sgTitles, 1);
    iv.bInsTitle->click();
    selectRows(ov.sgObject, 4, 5);  // objects 3 and 4: titles 2 and 3
    ov.bDelObject->click();
    pickText(ov.cbMenuCall, "disable");
    QCOMPARE(column(*iv.sgTitles, 4), (QStringList{"2", "0", "??", "??", "00001"}));
    const QStringList titles = allCells(*iv.sgTitles);
    const QStringList objects = allCells(*ov.sgObject);
    const QString label = iv.lTitlenum->text();
    const TINDX index = w.models().index;
    const TMOBJ movieObjects = w.models().objects;

    QCOMPARE(w.window.bSave->toolTip(), QString("Save the bdmv files"));
    w.window.bSave->click();
    const QStringList log = w.log();
    QVERIFY(log.indexOf(" index.bdmv saved.") < log.indexOf(" MovieObject.bdmv saved."));
    QVERIFY(log.indexOf(" index.bdmv saved.") >= 0);
    QVERIFY(fs::exists(disc.path("index.bdmv.backup")));
    QVERIFY(fs::exists(disc.path("MovieObject.bdmv.backup")));
    QVERIFY(parsedIndex(disc.bytes("index.bdmv")) == index);
    QVERIFY(parsedObjects(disc.bytes("MovieObject.bdmv")) == movieObjects);

    w.read();
    QCOMPARE(allCells(*iv.sgTitles), titles);
    QCOMPARE(allCells(*ov.sgObject), objects);
    QCOMPARE(iv.lTitlenum->text(), label);
    QCOMPARE(ov.lObjects->text(), QString("4 objects"));
    QVERIFY(w.fileErrors.isEmpty());
}

void BdmvTabTest::backupFailureWritesNeitherFile() {
    Disc disc;
    lumora::test::writeFile(disc.path("index.bdmv.backup"), std::string_view("old"));
    Window w(settingsFile(), disc);
    lumora::app::LumoraSettings settings;
    settings.backupMode = 2;  // "Stop if exists"
    w.window.optionsTab->applySettings(settings);
    const lumora::Bytes index = disc.bytes("index.bdmv");
    const lumora::Bytes objects = disc.bytes("MovieObject.bdmv");
    w.objects().bInsObject->click();
    w.window.bSave->click();
    QVERIFY(w.log().contains(" ERROR: Cannot create backup file."));
    QVERIFY(disc.bytes("index.bdmv") == index);
    // The movie objects are not written beside the old index: the titles
    // would name the wrong objects.
    QVERIFY(disc.bytes("MovieObject.bdmv") == objects);
    QVERIFY(!fs::exists(disc.path("MovieObject.bdmv.backup")));
}

void BdmvTabTest::layoutLimits_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("minimum") << QSize(913, 605);
    QTest::newRow("default") << QSize(1000, 700);
    QTest::newRow("large") << QSize(1400, 1000);
}

void BdmvTabTest::layoutLimits() {
    QFETCH(QSize, size);
    Disc disc;
    Window w(settingsFile(), disc);
    const auto resize = [&](QSize to) {
        w.window.resize(to);
        QCoreApplication::processEvents();
        QCOMPARE(w.window.size(), to);
    };
    resize(size);
    MovieObjectView& ov = w.objects();
    const auto check = [&] {
        QCOMPARE(ov.sgCommands->gridColumnWidth(4), ov.sgCommands->width() - 215);
        QVERIFY(ov.pObjects->height() <= ov.height() - 187);
        QCOMPARE(ov.lObjExtDat->isVisibleTo(&w.window), ov.pCommands->width() > 510);
        QCOMPARE(ov.bObjExtDat->isVisibleTo(&w.window), ov.pCommands->width() > 510);
        QCOMPARE(ov.lObjects->x(), ov.pObjects->width() - 28);
    };
    check();
    // The splitter cannot give the objects more than their limit.
    ov.splitter->setSizes({5000, 10});
    check();
    // Shrinking the window keeps the objects within their limit.
    resize(QSize(913, 605));
    check();
    resize(size);

    // Every control shows whole: inside its parent, and as large as it asks
    // (or, when it was given a fixed width, wide enough for its texts).
    QWidget* tab = w.window.bdmvTab;
    for (QWidget* widget : tab->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) ||
                             qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                             qobject_cast<QLabel*>(widget) || qobject_cast<QGroupBox*>(widget) ||
                             qobject_cast<StringGrid*>(widget);
        if (!control || !widget->isVisibleTo(tab) || widget->parentWidget()->inherits("QComboBox"))
            continue;
        const QByteArray name =
            widget->objectName().toUtf8() + " (" + widget->metaObject()->className() + ")";
        QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), name);
        if (qobject_cast<StringGrid*>(widget) || qobject_cast<QGroupBox*>(widget)) continue;
        const bool fixed = widget->minimumWidth() == widget->maximumWidth();
        const int wanted = fixed ? textWidth(*widget) : widget->minimumSizeHint().width();
        QVERIFY2(widget->width() >= wanted, name + " " + QByteArray::number(widget->width()) + "<" +
                                                QByteArray::number(wanted));
        QVERIFY2(widget->height() >= widget->minimumSizeHint().height(), name);
    }
}

void BdmvTabTest::objectPanelHeightIsKeptBetweenRuns() {
    Disc disc;
    int height = 0;
    {
        Window first(settingsFile(), disc);
        first.objects().splitter->setSizes({180, 400});
        height = first.objects().pObjects->height();
        QVERIFY(height > 150);
        first.window.shutDown();
    }
    QCOMPARE(QSettings(QString::fromStdString(settingsFile()), QSettings::IniFormat)
                 .value("ObjectHeight")
                 .toInt(),
             height);
    Window second(settingsFile(), disc);
    QCOMPARE(second.objects().pObjects->height(), height);
}

QTEST_MAIN(BdmvTabTest)
#include "bdmv_tab_test.moc"
