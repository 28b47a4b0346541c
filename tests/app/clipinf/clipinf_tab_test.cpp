// The CLIPINF tab on the demo disc and on the real sample clips: what a Read
// fills, the stream labels, the packet question, ClipInfo edits with the ATC
// delta entries, ExtensionData, Save, "Pla&y" and the ProgramInfo clicks, the
// clip-tab Find with its "Referenced by" grid, "Apply to clpi", and the layout
// at the window's smallest size.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>

#include "app/clipinf/clipinf_context.h"
#include "app/clipinf/clipinf_grids.h"
#include "app/clipinf/clipinf_info_view.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/extension_data.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "playlist/clip_info_file.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::TCLPI;
namespace fs = std::filesystem;

namespace {

// The demo disc in a folder of its own, so every test may change it.
struct Disc {
    Disc() : info(lumora::makeDemoDisc(dir / "disc")) {}
    std::string clipPath(const std::string& entry) const {
        return info.folder + "CLIPINF/" + entry + ".clpi";
    }
    std::string streamPath(const std::string& entry) const {
        return info.folder + "STREAM/" + entry + ".m2ts";
    }
    TCLPI parsed(const std::string& entry) const {
        TCLPI clip;
        const lumora::ReadOutcome outcome =
            lumora::parseClipInfo(lumora::test::readFile(clipPath(entry)), entry + ".clpi", clip);
        if (!outcome.good()) qWarning("%s", outcome.message.c_str());
        return clip;
    }
    void write(const std::string& entry, const TCLPI& clip) const {
        lumora::writeFileSafely(clipPath(entry), lumora::clipInfoBytes(clip));
    }
    // What a folder Read finds now: the lists and the stream files.
    lumora::DiscFolder scan() const {
        lumora::RecordingSink sink;
        lumora::Reporter reporter(sink);
        lumora::DiscFolder disc;
        disc.folder = info.folder;
        lumora::readFolder(disc, reporter, {});
        return disc;
    }
    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
};

// The tab on a disc, shown at the size it gets in the smallest window, with
// every dialog and desktop service replaced.
struct Tab {
    explicit Tab(const Disc& d) : disc(d) {
        ClipinfContext c;
        c.reporter = &reporter;
        c.disc = [this] { return disc.scan(); };
        c.autoRead = [this] { return autoRead; };
        c.backupOptions = [this] { return backup; };
        c.outputFolder = [] { return QString(); };
        // "-> M&enu" saves the menu in the test's own folder.
        c.menuTempPath = [this] { return disc.dir / "Lumora_MENU.tmp"; };
        c.runExtDat = [this](TfExtDat& dialog) {
            extDatTitle = dialog.windowTitle();
            return extDat ? extDat(dialog) : false;
        };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
        c.openUrl = [this](const QUrl& url) {
            opened << url;
            return true;
        };
        c.groupSeparator = [this] { return separator; };
        c.popupMenu = &popup;
        tab.setContext(c);
        tab.setEntries({"00000", "00001"});
        tab.resize(900, 470);
        tab.show();
        (void)QTest::qWaitForWindowExposed(&tab);
    }

    void read(const QString& entry) {
        tab.selector()->setCurrentIndex(tab.selector()->findText(entry));
        tab.readSelected();
    }
    const TCLPI& clip() const { return tab.clip(); }
    ClipInfoView& info() const { return *tab.clipInfoView; }
    QStringList log() const {
        QStringList lines;
        for (const std::string& line : sink.texts())
            lines << QString::fromStdString(line).trimmed();
        return lines;
    }

    const Disc& disc;
    lumora::RecordingSink sink;
    lumora::Reporter reporter{sink};
    GridPopupMenu popup;
    bool autoRead = false;
    lumora::BackupOptions backup{false, lumora::BackupMode::OnlyOnce, false};
    QString separator = ",";
    std::function<bool(TfExtDat&)> extDat;
    QString extDatTitle;
    QStringList fileErrors;
    QList<QUrl> opened;
    ClipinfTab tab;
};

QStringList rowCells(const StringGrid& grid, int row) {
    QStringList cells;
    for (int col = 0; col <= grid.dataColumns(); ++col)
        cells << grid.cell(col, row);
    return cells;
}

bool isCleared(const StringGrid& grid) {
    return !grid.isEnabled() && grid.dataRows() == 1 && grid.cell(1, 1).isEmpty();
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

// Types into a cell through its real editor and ends with Enter.
void typeIntoCell(StringGrid* grid, int col, int row, const QString& text) {
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

// The demo clip 00000 with "ATCd" on and `entries` ATC delta entries.
TCLPI withAtcDeltaEntries(const Disc& disc, int entries) {
    TCLPI clip = disc.parsed("00000");
    lumora::setATCDelta(clip, true);
    for (int i = 0; i < entries; ++i) {
        const auto at = lumora::insertATCDeltaEntry(clip, static_cast<std::size_t>(i));
        clip.clipInfo.atcDeltaEntries[*at].atcDelta = 0x100u * static_cast<std::uint32_t>(i + 1);
    }
    return clip;
}

std::array<std::uint32_t, 5> startAddresses(const TCLPI& clip) {
    return {clip.sequenceInfoStart, clip.programInfoStart, clip.cpiStart, clip.clipMarkStart,
            clip.extensionDataStart};
}

lumora::TExtensionData demoBlock() {
    lumora::TExtensionData block;
    block.length = 24;
    block.dataBlockStartAddress = 24;
    block.entries = {{1, 1, 24, 4}};
    block.dataBlock = {1, 2, 3, 4};
    return block;
}

}  // namespace

class ClipinfTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void readFillsTheGridsAndControls_data();
    void readFillsTheGridsAndControls();
    void epGridsFollowTheSelectedCpiRow();
    void realClipsComeBackByteForByte_data();
    void realClipsComeBackByteForByte();
    void streamLabels_data();
    void streamLabels();
    void packetQuestion_data();
    void packetQuestion();
    void atcDeltaSwitchMovesTheAddresses();
    void atcDeltaEntriesInEditMode();
    void atcDeltaGridTakesNoEditOutsideEditMode();
    void applicationTypeSixShowsTheFontFiles();
    void countFieldsWriteTheClip();
    void extensionDataRoundTrip();
    void saveThenReadGivesTheSameModel();
    void saveClearsAnEmptyAtcDeltaSwitch();
    void brokenFilesAreNotEdited_data();
    void brokenFilesAreNotEdited();
    void playAndTheProgramInfoClicks();
    void findFillsReferencedBy();
    void referencedByDoubleClickOpensThePlaylist_data();
    void referencedByDoubleClickOpensThePlaylist();
    void applyToClpiCopiesMatchingStreamsInMemory();
    void applyToClpiWithoutMatchWritesNothing();
    void choosingAClipReadsItWithAutoRead();
    void clearEmptiesEverything();
    void fitsTheSmallestWindow();
};

void ClipinfTabTest::readFillsTheGridsAndControls_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("applicationType");
    QTest::addColumn<QList<QStringList>>("programRows");
    QTest::addColumn<QStringList>("stcRow");
    QTest::addRow("feature") << "00000"
                             << "Main TS for a Movie"
                             << QList<QStringList>{{"1", "1011", "AVC", "1080p, 23.976, 16:9"}}
                             << QStringList{"0", "1011", "00000000", "0:00:00.000", "0:01:00.060"};
    QTest::addRow("menu") << "00001"
                          << "Sub TS for a Interactive Graphics menu"
                          << QList<QStringList>{{"1", "1011", "AVC", "1080p, 23.976, 16:9"},
                                                {"2", "1400", "IG", "eng"}}
                          << QStringList{"0", "1011", "00000000", "0:00:00.000", "0:00:10.000"};
}

void ClipinfTabTest::readFillsTheGridsAndControls() {
    QFETCH(QString, entry);
    QFETCH(QString, applicationType);
    QFETCH(QList<QStringList>, programRows);
    QFETCH(QStringList, stcRow);
    Disc disc;
    Tab t(disc);
    t.read(entry);

    QVERIFY(t.tab.clipLoaded());
    QCOMPARE(t.tab.saveHint(), "Save " + entry + ".clpi");
    QVERIFY(t.log().contains("Reading " + entry + ".clpi"));
    QVERIFY(t.log().contains(QString("%1 Program stream(s) found.").arg(programRows.size())));
    QVERIFY(t.sink.questions.empty());  // the demo's counts are right
    QCOMPARE(t.sink.panel[0], std::string("Ready."));

    QCOMPARE(t.info().cbApplitype->currentText(), applicationType);
    QVERIFY(!t.info().cbisATCdelta->isChecked());
    // The menu clip's stream carries the demo menu before its video.
    const bool feature = entry == "00000";
    QCOMPARE(t.info().iePackets->text(), QString::number(feature ? disc.info.sourcePacketsPerStream
                                                                 : disc.info.menuStreamPackets));
    QCOMPARE(t.info().ieRecRate->text(), QString("6000000"));
    QVERIFY(isCleared(*t.info().sgATCdelta));
    QVERIFY(t.info().pFontFiles->isHidden());

    const StringGrid& program = *t.tab.programInfoView->sgCI;
    QCOMPARE(rowCells(program, 0), QStringList({"", "PID", "Stream type", "Details"}));
    QCOMPARE(program.dataRows(), programRows.size());
    for (int row = 1; row <= programRows.size(); ++row)
        QCOMPARE(rowCells(program, row), programRows[row - 1]);
    QCOMPARE(program.toolTip(), QString("ProgramInfo (Double click to play the m2ts file)"));

    QCOMPARE(rowCells(*t.tab.sequenceInfoView->sgSequence, 1),
             QStringList({"0", "00000000", "1", "0"}));
    QCOMPARE(rowCells(*t.tab.sequenceInfoView->sgSTCseq, 1), stcRow);
    QCOMPARE(rowCells(*t.tab.cpiView->sgEPmap, 1),
             QStringList({"0", "1011", "1", "0001", "00001", "0000000E"}));
    const std::uint32_t videoStart =
        disc.parsed(entry.toStdString()).cpi.epMaps.at(0).fine.at(0).spnEPFine;
    QCOMPARE(videoStart == 2, feature);
    const auto hex = [](std::uint32_t value, int digits) {
        return QString("%1").arg(value, digits, 16, QChar('0')).toUpper();
    };
    QCOMPARE(rowCells(*t.tab.cpiView->sgEPCoarse, 1),
             QStringList({"0000", "00000", "0000", hex(videoStart, 8)}));
    QCOMPARE(rowCells(*t.tab.cpiView->sgEPfine, 1),
             QStringList({"00000", "n", "1", "0000", hex(videoStart, 5)}));
    QCOMPARE(t.tab.lCIExtdat->text(), QString("no ExtensionData()"));
    QVERIFY(t.tab.bCIExtDat->isEnabled());
    QVERIFY(t.tab.bPlay->isEnabled());
    QVERIFY(t.tab.bSavePID->isEnabled());
    QVERIFY(!t.tab.bToMenu->isEnabled());  // the video stream is selected
}

// A clip with two EP map PIDs: the EP tables show the PID the user picks.
void ClipinfTabTest::epGridsFollowTheSelectedCpiRow() {
    Disc disc;
    TCLPI clip = disc.parsed("00000");
    clip.cpi.pidEntries.push_back(lumora::TEPMapPIDEntry{0x1100, 3, 0});
    lumora::TEP_map_fosPID audio;
    audio.coarse = {{0, 1, 10}, {2, 2, 20}};
    audio.fine = {{1, 0, 5, 10}, {0, 2, 6, 11}, {0, 3, 7, 12}};
    clip.cpi.epMaps.push_back(audio);
    disc.write("00000", clip);
    Tab t(disc);
    t.read("00000");

    CpiView& cpi = *t.tab.cpiView;
    QCOMPARE(cpi.sgEPmap->dataRows(), 2);
    QCOMPARE(rowCells(*cpi.sgEPmap, 2).mid(0, 5), QStringList({"1", "1100", "3", "0002", "00003"}));
    QCOMPARE(cpi.sgEPfine->dataRows(), 1);  // the first PID's table

    clickCell(cpi.sgEPmap, 1, 2);
    QCOMPARE(cpi.sgEPCoarse->dataRows(), 2);
    QCOMPARE(rowCells(*cpi.sgEPCoarse, 2), QStringList({"0001", "00002", "0002", "00000014"}));
    QCOMPARE(cpi.sgEPfine->dataRows(), 3);
    QCOMPARE(rowCells(*cpi.sgEPfine, 1), QStringList({"00000", "y", "0", "0005", "0000A"}));
    QCOMPARE(rowCells(*cpi.sgEPfine, 3), QStringList({"00002", "n", "3", "0007", "0000C"}));

    clickCell(cpi.sgEPmap, 1, 1);
    QCOMPARE(cpi.sgEPCoarse->dataRows(), 1);
    QCOMPARE(cpi.sgEPfine->cell(4, 1), QString("00002"));
}

void ClipinfTabTest::realClipsComeBackByteForByte_data() {
    QTest::addColumn<QString>("sample");
    for (const char* sample :
         {"bigbuckbunny/BDMV/CLIPINF/00000.clpi", "feature-disc/BDMV/CLIPINF/00007.clpi",
          "files/00015_IG_only.clpi", "progressive/BDMV/CLIPINF/00000.clpi"})
        QTest::addRow("%s", sample) << sample;
}

// Real clips read into the tab and saved unchanged write the same bytes; the
// grids show every stream and the EP map of the first PID.
void ClipinfTabTest::realClipsComeBackByteForByte() {
    QFETCH(QString, sample);
    if (lumora::test::samplesDir().empty()) QSKIP("no samples");
    const std::string source = lumora::test::samplesDir() + "/" + sample.toStdString();
    Disc disc;
    const lumora::Bytes original = lumora::test::readFile(source);
    lumora::test::writeFile(disc.clipPath("00000"), original);
    Tab t(disc);
    t.sink.answer = false;  // the demo's stream file does not match the clip
    t.read("00000");

    QVERIFY(t.tab.clipLoaded());
    TCLPI expected;
    QVERIFY(lumora::parseClipInfo(original, "00000.clpi", expected).good());
    QVERIFY(t.clip() == expected);
    std::size_t streams = 0;
    for (const auto& program : expected.programInfo.programSequences)
        streams += program.streams.size();
    QCOMPARE(t.tab.programInfoView->sgCI->dataRows(),
             static_cast<int>(std::max<std::size_t>(streams, 1)));
    if (!expected.cpi.epMaps.empty()) {
        QCOMPARE(t.tab.cpiView->sgEPfine->dataRows(),
                 static_cast<int>(std::max<std::size_t>(expected.cpi.epMaps[0].fine.size(), 1)));
    }
    QVERIFY(t.tab.save());
    QVERIFY(lumora::test::readFile(disc.clipPath("00000")) == original);
}

void ClipinfTabTest::streamLabels_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("size");
    QTest::addRow("present") << true << ","
                             << "00000.m2ts"
                             << "6,144";
    QTest::addRow("locale separator") << true << "."
                                      << "00000.m2ts"
                                      << "6.144";
    QTest::addRow("missing") << false << ","
                             << "00000.m2ts"
                             << "missing file";
}

void ClipinfTabTest::streamLabels() {
    QFETCH(bool, present);
    QFETCH(QString, separator);
    QFETCH(QString, name);
    QFETCH(QString, size);
    Disc disc;
    // A missing stream never raises the packet question, even with a count
    // that no stream file would have.
    TCLPI clip = disc.parsed("00000");
    clip.clipInfo.numberOfSourcePackets = 7;
    disc.write("00000", clip);
    if (!present) fs::remove(disc.streamPath("00000"));
    Tab t(disc);
    t.separator = separator;
    t.sink.answer = false;
    t.read("00000");

    QCOMPARE(t.tab.lStreamName->text(), name);
    QCOMPARE(t.tab.lStreamSize->text(), size);
    const QPalette::ColorRole role = present ? QPalette::WindowText : QPalette::PlaceholderText;
    QCOMPARE(t.tab.lStreamName->foregroundRole(), role);
    QCOMPARE(t.tab.lStreamSize->foregroundRole(), role);
    QCOMPARE(t.tab.bPlay->isEnabled(), present);
    QCOMPARE(t.tab.bSavePID->isEnabled(), present);
    QCOMPARE(t.sink.questions.size(), present ? std::size_t{1} : std::size_t{0});
}

void ClipinfTabTest::packetQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("question");
    const QString asked =
        "The m2ts file contains %1 packets.\n"
        "Do you want to correct the packet value of ClipInfo?";
    QTest::addRow("yes") << true << "," << asked.arg("1,000");
    QTest::addRow("cancel") << false << "," << asked.arg("1,000");
    QTest::addRow("yes, locale separator") << true << "." << asked.arg("1.000");
}

// A stream of 192 x 1000 bytes against a held count of 999.
void ClipinfTabTest::packetQuestion() {
    QFETCH(bool, yes);
    QFETCH(QString, separator);
    QFETCH(QString, question);
    Disc disc;
    TCLPI clip = disc.parsed("00000");
    clip.clipInfo.numberOfSourcePackets = 999;
    disc.write("00000", clip);
    lumora::test::writeFile(disc.streamPath("00000"), lumora::Bytes(192 * 1000, 0));
    const lumora::Bytes before = lumora::test::readFile(disc.clipPath("00000"));
    Tab t(disc);
    t.separator = separator;
    t.sink.answer = yes;
    t.read("00000");

    QCOMPARE(t.sink.questions.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(t.sink.questions[0]), question);
    QCOMPARE(t.tab.lStreamSize->text(), QString(separator == "," ? "192,000" : "192.000"));
    lumora::Bytes after = lumora::test::readFile(disc.clipPath("00000"));
    if (yes) {
        QCOMPARE(t.clip().clipInfo.numberOfSourcePackets, 1000u);
        QCOMPARE(t.info().iePackets->text(), QString("1000"));
        QCOMPARE(lumora::Bytes(after.begin() + 56, after.begin() + 60),
                 lumora::Bytes({0x00, 0x00, 0x03, 0xE8}));
        // Nothing else of the file changed.
        std::copy(before.begin() + 56, before.begin() + 60, after.begin() + 56);
        QVERIFY(after == before);
        QVERIFY(t.clip() == disc.parsed("00000"));
    } else {
        QCOMPARE(t.clip().clipInfo.numberOfSourcePackets, 999u);
        QCOMPARE(t.info().iePackets->text(), QString("999"));
        QVERIFY(after == before);
    }
}

// Toggling "ATCd" with 3 entries moves every non-zero start address by
// 3 x 14 + 2 = 44; the grid follows the switch.
void ClipinfTabTest::atcDeltaSwitchMovesTheAddresses() {
    Disc disc;
    disc.write("00000", withAtcDeltaEntries(disc, 3));
    Tab t(disc);
    t.read("00000");
    QVERIFY(t.info().cbisATCdelta->isChecked());
    StringGrid& grid = *t.info().sgATCdelta;
    QVERIFY(grid.isEnabled());
    QCOMPARE(grid.dataRows(), 3);
    QCOMPARE(rowCells(grid, 0), QStringList({"", "ATC_delta", "following", "clipcodec"}));
    QCOMPARE(rowCells(grid, 2), QStringList({"1", "00000200", "00000", "M2TS"}));
    QCOMPARE(grid.toolTip(), QString("ATC delta entries"));

    const auto on = startAddresses(t.clip());
    const std::uint32_t length = t.clip().clipInfo.length;
    t.info().cbisATCdelta->click();
    QCOMPARE(t.clip().clipInfo.isATCdelta, 0u);
    QCOMPARE(t.clip().clipInfo.length, length - 44);
    const auto off = startAddresses(t.clip());
    for (std::size_t i = 0; i < 4; ++i)
        QCOMPARE(off[i], on[i] - 44);
    QCOMPARE(off[4], 0u);  // no ExtensionData: it stays 0
    QVERIFY(!grid.isEnabled());
    QCOMPARE(grid.dataRows(), 3);  // kept for switching on again

    t.info().cbisATCdelta->click();
    QVERIFY(startAddresses(t.clip()) == on);
    QVERIFY(grid.isEnabled());
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.clip());
}

// In edit mode: Insert after the selected entry, cell edits, Shift+Delete;
// the saved clip reads back equal to the model.
void ClipinfTabTest::atcDeltaEntriesInEditMode() {
    Disc disc;
    TCLPI clip = disc.parsed("00000");
    lumora::setATCDelta(clip, true);
    disc.write("00000", clip);
    Tab t(disc);
    QVERIFY(QTest::qWaitForWindowActive(&t.tab));
    t.read("00000");
    StringGrid* grid = t.info().sgATCdelta;
    QVERIFY(grid->isEnabled());
    const std::uint32_t start = t.clip().sequenceInfoStart;

    // A cell of the empty list takes nothing and is emptied again.
    grid->setEditMode(true);
    typeIntoCell(grid, ClipInfoView::kAtcDelta, 1, "12345678");
    QVERIFY(t.clip().clipInfo.atcDeltaEntries.empty());
    QVERIFY(grid->cell(ClipInfoView::kAtcDelta, 1).isEmpty());

    press(grid, Qt::Key_Insert);
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries.size(), std::size_t{1});
    QCOMPARE(rowCells(*grid, 1), QStringList({"0", "00000000", "00000", "M2TS"}));
    QCOMPARE(t.clip().sequenceInfoStart, start + 14);

    typeIntoCell(grid, ClipInfoView::kAtcDelta, 1, "1a2b3c4d");
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries[0].atcDelta, 0x1A2B3C4Du);
    QCOMPARE(grid->cell(ClipInfoView::kAtcDelta, 1), QString("1A2B3C4D"));
    typeIntoCell(grid, ClipInfoView::kFollowing, 1, "00007");
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries[0].followingClipName, std::string("00007"));
    // A clip name is five digits: fewer are not taken.
    typeIntoCell(grid, ClipInfoView::kFollowing, 1, "12");
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries[0].followingClipName, std::string("00007"));
    QVERIFY(!grid->isCellEditable(ClipInfoView::kClipCodec, 1));

    // The new entry follows the selected one.
    grid->setGridCursor(ClipInfoView::kAtcDelta, 1);
    press(grid, Qt::Key_Insert);
    press(grid, Qt::Key_Insert);
    QCOMPARE(grid->dataRows(), 3);
    QCOMPARE(grid->gridRow(), 3);
    QCOMPARE(rowCells(*grid, 1), QStringList({"0", "1A2B3C4D", "00007", "M2TS"}));
    QCOMPARE(rowCells(*grid, 3), QStringList({"2", "00000000", "00000", "M2TS"}));
    QCOMPARE(t.clip().sequenceInfoStart, start + 3 * 14);

    grid->setGridCursor(ClipInfoView::kAtcDelta, 1);
    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries.size(), std::size_t{2});
    QCOMPARE(grid->cell(ClipInfoView::kAtcDelta, 1), QString("00000000"));
    QCOMPARE(t.clip().sequenceInfoStart, start + 2 * 14);

    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.clip());
    t.read("00000");
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries.size(), std::size_t{2});
}

void ClipinfTabTest::atcDeltaGridTakesNoEditOutsideEditMode() {
    Disc disc;
    disc.write("00000", withAtcDeltaEntries(disc, 1));
    Tab t(disc);
    QVERIFY(QTest::qWaitForWindowActive(&t.tab));
    t.read("00000");
    StringGrid* grid = t.info().sgATCdelta;
    grid->setGridCursor(ClipInfoView::kAtcDelta, 1);
    press(grid, Qt::Key_Insert);
    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(t.clip().clipInfo.atcDeltaEntries.size(), std::size_t{1});

    // The grid pop-up switches it.
    grid->setFocus();
    QCOMPARE(t.popup.focusedGrid(), grid);
    t.popup.popupFor(QPoint(0, 0));
    t.popup.editModeAction()->trigger();
    t.popup.hide();
    QVERIFY(grid->editMode());
    press(grid, Qt::Key_Delete, Qt::ShiftModifier);
    QVERIFY(t.clip().clipInfo.atcDeltaEntries.empty());
    QVERIFY(grid->cell(ClipInfoView::kAtcDelta, 1).isEmpty());
}

// The font block exists only for text subtitle clips: switching to and from
// type 6 moves the addresses by its size and shows or hides the font list.
void ClipinfTabTest::applicationTypeSixShowsTheFontFiles() {
    Disc disc;
    TCLPI clip = disc.parsed("00000");
    clip.clipInfo.fontFiles = {"00001", "00002"};
    lumora::setApplicationType(clip, 6);
    disc.write("00000", clip);
    Tab t(disc);
    t.read("00000");
    QVERIFY(t.info().pFontFiles->isVisible());
    QCOMPARE(rowCells(*t.info().sgFontFiles, 2), QStringList({"2", "00002"}));
    QCOMPARE(t.info().sgFontFiles->toolTip(), QString("Font file names"));

    const std::uint32_t start = t.clip().sequenceInfoStart;
    t.info().cbApplitype->setCurrentIndex(1);
    emit t.info().cbApplitype->activated(1);
    QCOMPARE(t.clip().clipInfo.applicationType, std::uint8_t{1});
    QCOMPARE(t.clip().sequenceInfoStart, start - (2 + 12));
    QVERIFY(!t.info().pFontFiles->isVisible());
    QVERIFY(t.tab.save());
    // The names stay in the model for a switch back; the file has none.
    TCLPI expected = t.clip();
    expected.clipInfo.fontFiles.clear();
    QVERIFY(disc.parsed("00000") == expected);
}

void ClipinfTabTest::countFieldsWriteTheClip() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    QLineEdit* packets = t.info().iePackets;
    packets->setFocus();
    packets->selectAll();
    QTest::keyClicks(packets, "4711");
    QCOMPARE(t.clip().clipInfo.numberOfSourcePackets, 4711u);
    // Beyond 32 bits the largest count is taken and shown.
    packets->selectAll();
    QTest::keyClicks(packets, "9999999999");
    QCOMPARE(t.clip().clipInfo.numberOfSourcePackets, 0xFFFFFFFFu);
    QCOMPARE(packets->text(), QString("4294967295"));
    QLineEdit* rate = t.info().ieRecRate;
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, "48000000");
    QCOMPARE(t.clip().clipInfo.tsRecordingRate, 48000000u);
}

void ClipinfTabTest::extensionDataRoundTrip() {
    Disc disc;
    lumora::test::TempDir out;
    const lumora::TExtensionData block = demoBlock();
    const std::string blockFile = out / "block.exd";
    lumora::saveExtensionDataFile(blockFile, block);
    Tab t(disc);
    t.read("00000");
    t.extDat = [&blockFile](TfExtDat& dialog) {
        dialog.chooseLoadFile = [&blockFile](const QString&, const QString&, const QString&) {
            return QString::fromStdString(blockFile);
        };
        dialog.loadBlock();
        return true;
    };
    t.tab.bCIExtDat->click();
    QCOMPARE(t.extDatTitle, QString("00000.clpi ExtensionData edit"));
    QVERIFY(t.clip().extensionData == block);
    QCOMPARE(t.clip().extensionDataStart, t.clip().clipMarkStart + t.clip().clipMark.length + 4);
    QCOMPARE(t.tab.lCIExtdat->text(), QString("1 entry, 28 bytes"));

    // ATC delta entries move the block with everything behind ClipInfo.
    const std::uint32_t start = t.clip().extensionDataStart;
    t.info().cbisATCdelta->click();
    QCOMPARE(t.clip().extensionDataStart, start + 2);

    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.clip());

    // A clip without ExtensionData read after one with it shows none.
    t.read("00001");
    QCOMPARE(t.tab.lCIExtdat->text(), QString("no ExtensionData()"));
    t.read("00000");
    QCOMPARE(t.tab.lCIExtdat->text(), QString("1 entry, 28 bytes"));

    // Cancel changes nothing; Delete takes the block and its address away.
    t.extDat = [](TfExtDat& dialog) {
        dialog.deleteBlock();
        return false;
    };
    t.tab.bCIExtDat->click();
    QVERIFY(t.clip().extensionData == block);
    t.extDat = [](TfExtDat& dialog) {
        dialog.deleteBlock();
        return true;
    };
    t.tab.bCIExtDat->click();
    QVERIFY(t.clip().extensionData.empty());
    QCOMPARE(t.clip().extensionDataStart, 0u);
    QCOMPARE(t.tab.lCIExtdat->text(), QString("no ExtensionData()"));
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.clip());
}

void ClipinfTabTest::saveThenReadGivesTheSameModel() {
    Disc disc;
    Tab t(disc);
    t.backup.createBackups = true;
    t.read("00001");
    const lumora::Bytes original = lumora::test::readFile(disc.clipPath("00001"));
    t.info().cbApplitype->setCurrentIndex(7);
    emit t.info().cbApplitype->activated(7);
    t.info().cbisATCdelta->click();
    t.info().sgATCdelta->setEditMode(true);
    t.info().insertAtcDeltaEntry();
    const TCLPI edited = t.clip();

    QVERIFY(t.tab.save());
    QVERIFY(t.log().contains("Saving 00001.clpi"));
    QVERIFY(lumora::test::readFile(disc.clipPath("00001") + ".backup") == original);
    QVERIFY(disc.parsed("00001") == edited);
    t.read("00001");
    QVERIFY(t.clip() == edited);
    QCOMPARE(t.info().cbApplitype->currentIndex(), 7);
    QCOMPARE(t.info().sgATCdelta->dataRows(), 1);
}

// "ATCd" set without entries is written as off, ClipInfo 176 bytes long, and
// the check box follows.
void ClipinfTabTest::saveClearsAnEmptyAtcDeltaSwitch() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    const TCLPI before = t.clip();
    t.info().cbisATCdelta->click();
    QCOMPARE(t.clip().clipInfo.length, 178u);
    QVERIFY(t.tab.save());
    QVERIFY(!t.info().cbisATCdelta->isChecked());
    QVERIFY(t.clip() == before);
    const TCLPI saved = disc.parsed("00000");
    QCOMPARE(saved.clipInfo.isATCdelta, 0u);
    QCOMPARE(saved.clipInfo.length, 176u);
}

void ClipinfTabTest::brokenFilesAreNotEdited_data() {
    QTest::addColumn<QByteArray>("patch");
    QTest::addColumn<bool>("shown");
    QTest::addRow("version 0300") << QByteArray("0300") << false;
    QTest::addRow("cut short") << QByteArray() << true;
}

// A clip that does not read well is never edited nor written, and gets no
// packet question.
void ClipinfTabTest::brokenFilesAreNotEdited() {
    QFETCH(QByteArray, patch);
    QFETCH(bool, shown);
    Disc disc;
    lumora::Bytes bytes = lumora::test::readFile(disc.clipPath("00000"));
    if (patch.isEmpty()) {
        bytes.resize(bytes.size() - 20);
    } else {
        std::copy(patch.begin(), patch.end(), bytes.begin() + 4);
    }
    lumora::test::writeFile(disc.clipPath("00000"), bytes);
    lumora::test::writeFile(disc.streamPath("00000"), lumora::Bytes(192 * 10, 0));
    Tab t(disc);
    t.read("00000");

    QVERIFY(!t.tab.clipLoaded());
    QVERIFY(!t.tab.canSave());
    QVERIFY(!t.tab.save());
    QVERIFY(t.sink.errorDisplay);
    QVERIFY(t.sink.questions.empty());
    QVERIFY(lumora::test::readFile(disc.clipPath("00000")) == bytes);
    QCOMPARE(t.tab.programInfoView->sgCI->isEnabled(), shown);
    QCOMPARE(t.tab.bPlay->isEnabled(), shown);
    QVERIFY(!t.info().cbApplitype->isEnabled());
    QVERIFY(!t.info().cbisATCdelta->isEnabled());
    QVERIFY(!t.tab.bCIExtDat->isEnabled());
    QCOMPARE(t.tab.lStreamName->text(), QString("00000.m2ts"));
    QCOMPARE(t.tab.saveHint(), QString("Save 00000.clpi"));
}

void ClipinfTabTest::playAndTheProgramInfoClicks() {
    Disc disc;
    Tab t(disc);
    QSignalSpy menus(&t.tab, &ClipinfTab::menuExtractionRequested);
    t.read("00001");
    const QUrl stream = QUrl::fromLocalFile(QString::fromStdString(disc.streamPath("00001")));

    t.tab.bPlay->click();
    QCOMPARE(t.opened, QList<QUrl>{stream});

    StringGrid* program = t.tab.programInfoView->sgCI;
    clickCell(program, 1, 2);  // the IG stream, PID 1400
    QVERIFY(t.tab.bToMenu->isEnabled());
    doubleClickCell(program, 1, 2);
    QCOMPARE(menus.count(), 1);
    QCOMPARE(t.opened.size(), 1);

    clickCell(program, 1, 1);
    QVERIFY(!t.tab.bToMenu->isEnabled());
    doubleClickCell(program, 2, 1);
    QCOMPARE(t.opened, (QList<QUrl>{stream, stream}));

    // Without its stream file the clip plays nothing.
    fs::remove(disc.streamPath("00001"));
    t.read("00001");
    QVERIFY(!t.tab.bPlay->isEnabled());
    clickCell(program, 1, 2);
    QVERIFY(!t.tab.bToMenu->isEnabled());
    doubleClickCell(program, 1, 2);
    t.tab.play();
    QCOMPARE(t.opened.size(), 2);
    QCOMPARE(menus.count(), 1);
}

// Every playlist is walked: the references of the selected clip fill the
// grid; a missing stream file is reported once per reference and the walk
// goes on; picking another clip shows its references without walking again.
void ClipinfTabTest::findFillsReferencedBy() {
    Disc disc;
    fs::remove(disc.streamPath("00001"));
    Tab t(disc);
    QVERIFY(t.tab.references().empty());
    t.tab.findReferences();

    QCOMPARE(t.tab.references().size(), std::size_t{2});
    const StringGrid& refs = *t.tab.sgCIRef;
    QCOMPARE(rowCells(refs, 0), QStringList({"", "mpls", "s/p", "item"}));
    QCOMPARE(refs.dataRows(), 4);
    QCOMPARE(rowCells(refs, 1), QStringList({"1", "00000", "p", "00000"}));
    QCOMPARE(rowCells(refs, 3), QStringList({"3", "00000", "p", "00002"}));
    QCOMPARE(rowCells(refs, 4), QStringList({"4", "00002", "p", "00000"}));
    QVERIFY(refs.isEnabled());
    const QStringList log = t.log();
    QVERIFY(
        log.contains("ERROR: Missing stream file referenced by 00000.mpls, SubPath 0, "
                     "SubPlayItem 0"));
    QVERIFY(log.contains("ERROR: Missing stream file referenced by 00001.mpls, PlayItem 0"));
    QVERIFY(!t.tab.clipLoaded());  // "Auto Read" is off

    const std::size_t lines = t.sink.lines.size();
    t.tab.selector()->setCurrentIndex(1);
    emit t.tab.selector()->activated(1);
    QCOMPARE(refs.dataRows(), 2);
    QCOMPARE(rowCells(refs, 1), QStringList({"1", "00000", "s", "00000"}));
    QCOMPARE(rowCells(refs, 2), QStringList({"2", "00001", "p", "00000"}));
    QCOMPARE(t.sink.lines.size(), lines);

    // A Read keeps showing them; a folder Read forgets them.
    t.read("00001");
    QCOMPARE(refs.dataRows(), 2);
    t.tab.clear();
    QVERIFY(t.tab.references().empty());
    QVERIFY(isCleared(refs));
}

void ClipinfTabTest::referencedByDoubleClickOpensThePlaylist_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("playlist");
    QTest::addColumn<int>("playItem");
    QTest::addRow("first PlayItem") << 1 << "00000" << -1;
    QTest::addRow("third PlayItem") << 3 << "00000" << 2;
    QTest::addRow("other playlist") << 4 << "00002" << -1;
}

void ClipinfTabTest::referencedByDoubleClickOpensThePlaylist() {
    QFETCH(int, row);
    QFETCH(QString, playlist);
    QFETCH(int, playItem);
    Disc disc;
    Tab t(disc);
    t.tab.findReferences();
    QSignalSpy opened(&t.tab, &ClipinfTab::playlistRequested);
    doubleClickCell(t.tab.sgCIRef, 1, row);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened[0][0].toString(), playlist);
    QCOMPARE(opened[0][1].toInt(), playItem);
}

// Only streams whose PIDs match at their STN position take the attributes;
// the clip is saved after the backup step and shown as saved.
void ClipinfTabTest::applyToClpiCopiesMatchingStreamsInMemory() {
    Disc disc;
    Tab t(disc);
    t.backup.createBackups = true;
    const lumora::Bytes original = lumora::test::readFile(disc.clipPath("00001"));
    lumora::TSTN stn;
    lumora::TSTNStream video;
    video.mainPid = 0x1011;
    video.codingType = 0x02;
    video.videoFormat = 5;
    video.frameRate = 6;
    lumora::TSTNStream menu;
    menu.mainPid = 0x1400;
    menu.codingType = 0x91;
    menu.language = "fra";
    stn.video = {video};
    stn.ig = {menu};

    const auto changed = t.tab.applyStn("00001", stn);
    QCOMPARE(changed, (std::vector<std::size_t>{0, 1}));
    QCOMPARE(t.tab.selector()->currentText(), QString("00001"));
    const StringGrid& program = *t.tab.programInfoView->sgCI;
    QCOMPARE(rowCells(program, 1), QStringList({"1", "1011", "MPEG-2", "720p, 50, 16:9"}));
    QCOMPARE(rowCells(program, 2), QStringList({"2", "1400", "IG", "fra"}));
    // The change waits in memory for the user to look at it.
    QVERIFY(lumora::test::readFile(disc.clipPath("00001")) == original);
    QVERIFY(t.tab.edited());
    QCOMPARE(
        t.sink.panel[1],
        std::string("2 stream(s) of 00001.clpi changed from the STN table; Save writes them."));

    // Save writes it after the backup step.
    QVERIFY(t.tab.save());
    QVERIFY(!t.tab.edited());
    QVERIFY(lumora::test::readFile(disc.clipPath("00001") + ".backup") == original);
    const TCLPI saved = disc.parsed("00001");
    QVERIFY(saved == t.clip());
    QCOMPARE(saved.programInfo.programSequences[0].streams[1].igLanguage, std::string("fra"));
}

void ClipinfTabTest::applyToClpiWithoutMatchWritesNothing() {
    Disc disc;
    Tab t(disc);
    const lumora::Bytes original = lumora::test::readFile(disc.clipPath("00000"));
    lumora::TSTN stn;
    lumora::TSTNStream video;
    video.mainPid = 0x1012;  // not the clip's video PID
    video.codingType = 0x02;
    stn.video = {video};
    QVERIFY(t.tab.applyStn("00000", stn).empty());
    QVERIFY(t.tab.clipLoaded());
    QVERIFY(lumora::test::readFile(disc.clipPath("00000")) == original);
    QVERIFY(t.log().contains("No stream of 00000.clpi matches the STN table."));
    QVERIFY(t.tab.applyStn("00009", stn).empty());
    QCOMPARE(t.sink.panel[1], std::string("Clip information 00009 not found"));
}

void ClipinfTabTest::choosingAClipReadsItWithAutoRead() {
    Disc disc;
    Tab t(disc);
    QSignalSpy states(&t.tab, &ClipinfTab::saveStateChanged);
    QVERIFY(t.tab.chooseClip("00001"));
    QVERIFY(!t.tab.clipLoaded());
    QCOMPARE(t.tab.saveHint(), QString("Save 00001.clpi"));
    t.autoRead = true;
    QVERIFY(t.tab.chooseClip("00000"));
    QCOMPARE(t.tab.document().entry, std::string("00000"));
    QVERIFY(t.tab.clipLoaded());
    QVERIFY(states.count() >= 2);
    QVERIFY(!t.tab.chooseClip("00009"));
    // Selecting alone reads nothing.
    QVERIFY(t.tab.selectClip("00001"));
    QCOMPARE(t.tab.document().entry, std::string("00000"));
}

void ClipinfTabTest::clearEmptiesEverything() {
    Disc disc;
    disc.write("00000", withAtcDeltaEntries(disc, 2));
    Tab t(disc);
    t.read("00000");
    t.tab.clear();
    QVERIFY(!t.tab.clipLoaded());
    QVERIFY(!t.tab.loaded());
    QCOMPARE(t.tab.selector()->count(), 0);
    for (const StringGrid* grid :
         {t.tab.programInfoView->sgCI, t.tab.sequenceInfoView->sgSequence,
          t.tab.sequenceInfoView->sgSTCseq, t.tab.cpiView->sgEPmap, t.tab.cpiView->sgEPCoarse,
          t.tab.cpiView->sgEPfine, t.info().sgATCdelta, t.info().sgFontFiles, t.tab.sgCIRef})
        QVERIFY2(isCleared(*grid), qPrintable(grid->objectName()));
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             t.tab.bPlay, t.tab.bSavePID, t.tab.bToMenu, t.tab.bCIExtDat, t.info().cbApplitype,
             t.info().cbisATCdelta, t.info().iePackets})
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QVERIFY(t.tab.lStreamName->text().isEmpty());
    QCOMPARE(t.tab.lCIExtdat->text(), QString("no ExtensionData()"));
}

// At the size the tab gets in the smallest window every control lies inside
// it, and every grid shows all its columns.
void ClipinfTabTest::fitsTheSmallestWindow() {
    Disc disc;
    TCLPI clip = withAtcDeltaEntries(disc, 4);
    clip.clipInfo.fontFiles = {"00001"};
    lumora::setApplicationType(clip, 6);
    disc.write("00000", clip);
    Tab t(disc);
    t.sink.answer = false;
    t.read("00000");
    t.tab.findReferences();
    QVERIFY(t.tab.minimumSizeHint().width() <= 900);
    QVERIFY(t.tab.minimumSizeHint().height() <= 470);

    const QRect page = t.tab.rect();
    for (const QWidget* w : t.tab.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const QRect area(w->mapTo(&t.tab, QPoint(0, 0)), w->size());
        QVERIFY2(page.contains(area),
                 qPrintable(w->objectName() + " " + w->metaObject()->className()));
    }
    for (const StringGrid* grid : t.tab.findChildren<StringGrid*>()) {
        int columns = 0;
        for (int col = 1; col <= grid->dataColumns(); ++col)
            columns += grid->gridColumnWidth(col);
        QVERIFY2(columns <= grid->viewport()->width(), qPrintable(grid->objectName()));
        QVERIFY2(grid->height() >= 2 * grid->horizontalHeader()->height(),
                 qPrintable(grid->objectName()));
    }
}

QTEST_MAIN(ClipinfTabTest)
#include "clipinf_tab_test.moc"
