// The PLAYLIST tab on the demo disc: what a Read fills, the AppInfoPlayList
// controls, the STN table with its edit row, stream and mark insert and
// delete, chapter files, the ExtensionData dialog, Save, and the layout at the
// window's smallest size.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "app/playlist/playlist_appinfo_view.h"
#include "app/playlist/playlist_context.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_mark_view.h"
#include "app/playlist/playlist_stn_view.h"
#include "app/playlist/playlist_subpath_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/extension_data.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "playlist/marks.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::ChapterFormat;
using lumora::StnList;
using lumora::TMPLS;

Q_DECLARE_METATYPE(lumora::StnList)
Q_DECLARE_METATYPE(lumora::ChapterFormat)

namespace {

// Times on the demo disc fall on frames of its 23.976 video.
constexpr std::uint32_t ticksOfFrames(std::uint32_t frames) {
    return static_cast<std::uint32_t>(std::uint64_t{frames} * 45000 * 1001 / 24000);
}

// The demo disc in a folder of its own, so every test may change it.
struct Disc {
    Disc() : info(lumora::makeDemoDisc(dir / "disc")) {}
    std::string playlistPath(const std::string& entry) const {
        return info.folder + "PLAYLIST/" + entry + ".mpls";
    }
    void write(const std::string& entry, const TMPLS& playlist) const {
        lumora::writeFileSafely(playlistPath(entry), lumora::playlistBytes(playlist));
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

// What a chapter dialog was asked.
struct ChooserCall {
    QString title, folder, fileName, filter;
};

// The tab on a disc, shown at the size it gets in the smallest window, with
// every dialog replaced.
struct Tab {
    explicit Tab(const Disc& disc) {
        PlaylistContext c;
        c.reporter = &reporter;
        c.disc = [folder = disc.info.folder] {
            lumora::DiscFolder d;
            d.folder = folder;
            return d;
        };
        c.autoRead = [this] { return autoRead; };
        c.backupOptions = [this] { return backup; };
        c.outputFolder = [this] { return outputFolder; };
        c.chapterFormat = [this] { return format; };
        c.runExtDat = [this](TfExtDat& dialog) {
            extDatTitle = dialog.windowTitle();
            return extDat ? extDat(dialog) : false;
        };
        c.chooseChapterLoad = [this](const QString& title, const QString& folder,
                                     const QString& fileName, const QString& filter) {
            asked = {title, folder, fileName, filter};
            return loadPath;
        };
        c.chooseChapterSave = [this](const QString& title, const QString& folder,
                                     const QString& fileName, const QString& filter) {
            asked = {title, folder, fileName, filter};
            return savePath;
        };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
        c.popupMenu = &popup;
        tab.setContext(c);
        tab.setEntries({"00000", "00001", "00002"});
        tab.resize(900, 470);
        tab.show();
        (void)QTest::qWaitForWindowExposed(&tab);
    }

    void read(const QString& entry) {
        tab.selector()->setCurrentIndex(tab.selector()->findText(entry));
        tab.readSelected();
    }
    const TMPLS& playlist() const { return tab.playlist(); }
    AppInfoView& appInfo() const { return *tab.appInfoView; }
    PlayItemsView& items() const { return *tab.playItemsView; }
    StnView& stn() const { return *tab.playItemsView->stnView; }
    SubPathView& subPaths() const { return *tab.subPathView; }
    MarkView& marks() const { return *tab.markView; }
    QStringList log() const {
        QStringList lines;
        for (const std::string& line : sink.texts())
            lines << QString::fromStdString(line).trimmed();
        return lines;
    }

    lumora::RecordingSink sink;
    lumora::Reporter reporter{sink};
    GridPopupMenu popup;
    bool autoRead = false;
    lumora::BackupOptions backup{false, lumora::BackupMode::OnlyOnce, false};
    QString outputFolder;
    ChapterFormat format = ChapterFormat::Pts;
    std::function<bool(TfExtDat&)> extDat;
    QString extDatTitle;
    ChooserCall asked;
    QString loadPath;
    QString savePath;
    QStringList fileErrors;
    PlaylistTab tab;
};

// What the user does: choosing a list item, clicking a cell, typing.
void pick(QComboBox* box, int item) {
    QVERIFY2(item >= 0 && item < box->count(), qPrintable(box->objectName()));
    box->setCurrentIndex(item);
    emit box->activated(item);
}

void pickText(QComboBox* box, const QString& text) {
    QVERIFY2(box->findText(text) >= 0, qPrintable(box->objectName() + ": " + text));
    pick(box, box->findText(text));
}

void clickCell(StringGrid* grid, int col, int row) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void retype(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void enter(QLineEdit* field, const QString& text) {
    retype(field, text);
    QTest::keyClick(field, Qt::Key_Return);
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

void selectRows(StringGrid* grid, int first, int last) {
    grid->setGridCursor(1, first);
    grid->setRangeSelected(
        QTableWidgetSelectionRange(first - 1, 0, last - 1, grid->columnCount() - 1), true);
}

bool isCleared(const StringGrid& grid) {
    return !grid.isEnabled() && grid.dataRows() == 1 && grid.cell(1, 1).isEmpty();
}

// Every grid of the tab, as the user sees them.
QStringList tabCells(const Tab& t) {
    QStringList cells;
    for (const StringGrid* grid :
         {t.items().sgPLitem, t.items().sgPIangles, t.stn().sgSTN, t.stn().sgStreamEntry,
          t.subPaths().sgSubPath, t.subPaths().sgSubPlayItem, t.subPaths().sgAngles,
          t.marks().sgPlayListMark})
        cells << allCells(*grid);
    return cells;
}

}  // namespace

class PlaylistTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void readFillsTheGridsAndControls();
    void clickingRowsShowsTheirParts();
    void appInfoControlsShowTheFile_data();
    void appInfoControlsShowTheFile();
    void appInfoControlsWriteThePlaylist();
    void stnCountsAndLists_data();
    void stnCountsAndLists();
    void editRowLiesOverTheSelectedStream();
    void editRowWritesTheSelectedStream_data();
    void editRowWritesTheSelectedStream();
    void editRowFieldsWriteOnLeaving();
    void streamInsertIntoEmptyAudioListAndItsLimit();
    void streamDeleteKeepsLengthsAndLimits();
    void markInsertDeleteAndFieldClamps();
    void markLimitIs999();
    void chapterFilesRoundTrip_data();
    void chapterFilesRoundTrip();
    void extensionDataEditRoundTrip();
    void saveThenReadGivesTheSameModel();
    void saveWritesTheFileThatWasRead();
    void playlistWithoutPlayItemsCannotBeSaved();
    void brokenFilesAreNotEdited_data();
    void brokenFilesAreNotEdited();
    void choosingAPlaylistReadsItWithAutoRead();
    void clearEmptiesEverything();
    void gridPopupServesPlayItemsAndSubPlayItems();
    void fitsTheSmallestWindow();
};

void PlaylistTabTest::readFillsTheGridsAndControls() {
    Disc disc;
    Tab t(disc);
    t.read("00000");

    QVERIFY(t.tab.playlistLoaded());
    QVERIFY(t.tab.canSave());
    QCOMPARE(t.tab.saveHint(), QString("Save 00000.mpls"));
    QVERIFY(t.log().contains("3 PlayItem(s), 1 SubPath(s) and 6 PlayListMark(s) found."));

    const StringGrid& items = *t.items().sgPLitem;
    QVERIFY(items.isEnabled());
    QCOMPARE(items.dataRows(), 3);
    QCOMPARE(rowCells(items, 0), QStringList({"", "file", "type", "IN time", "OUT time", "length",
                                              "UO1", "UO2", "An"}));
    QCOMPARE(rowCells(items, 2),
             QStringList({"001", "00000", "M2TS", "00:00:20.020", "00:00:40.040", "00:00:20.020",
                          "00000000", "00000000", "2"}));
    QCOMPARE(items.cell(8, 1), QString("0"));

    // The first PlayItem is selected: no angles, its STN table shown.
    QCOMPARE(t.items().selectedPlayItem(), 0);
    QVERIFY(t.items().sgPIangles->isHidden());
    QCOMPARE(t.stn().sgSTN->cell(1, 1), QString("1"));

    QCOMPARE(allCells(*t.subPaths().sgSubPath),
             QStringList({"", "type", "repeat", "item", "000", "IG menu", "No", "1"}));
    QCOMPARE(rowCells(*t.subPaths().sgSubPlayItem, 1),
             QStringList({"000", "00001", "M2TS", "1", "No", "0", "00:00:00.000", "00:00:10.000",
                          "0", "00:00:00.000", "0"}));
    QCOMPARE(t.subPaths().cbSubPathType->currentText(), QString("IG menu"));
    QCOMPARE(t.subPaths().cbSPrepeat->currentText(), QString("No"));
    QCOMPARE(t.subPaths().cbSubPathType->toolTip(),
             QString("Interactive Graphics presentation menu"));

    const StringGrid& marks = *t.marks().sgPlayListMark;
    QCOMPARE(marks.dataRows(), 6);
    QCOMPARE(rowCells(marks, 4),
             QStringList({"003", "entry-mark", "001", "00:00:30.030", "FFFF", "0"}));
    // The first mark is loaded into the fields.
    QCOMPARE(t.marks().selectedMark(), 0);
    QCOMPARE(t.marks().cmPLMtype->currentText(), QString("entry-mark"));
    QVERIFY(t.marks().iePLMhour->isEnabled());
    QVERIFY(t.marks().bbLoadChap->isEnabled());

    QCOMPARE(t.tab.lMExtDat->text(), QString("no ExtensionData()"));
    QVERIFY(t.tab.bMExtDat->isEnabled());
}

void PlaylistTabTest::clickingRowsShowsTheirParts() {
    Disc disc;
    TMPLS playlist = disc.parsed("00000");
    // A second SubPath whose SubPlayItem has three clip entries.
    lumora::TSubPath path;
    path.type = 5;
    path.repeat = 1;
    lumora::TSubPlayItem sub;
    sub.clipName = "00001";
    sub.isMultiClipEntries = 1;
    sub.clips = {{"00001", "M2TS", 0}, {"00002", "M2TS", 1}, {"00003", "M2TS", 2}};
    path.subPlayItems = {sub};
    playlist.playList.subPaths.push_back(path);
    disc.write("00002", playlist);
    Tab t(disc);
    t.read("00002");

    clickCell(t.items().sgPLitem, 1, 2);
    QCOMPARE(t.items().selectedPlayItem(), 1);
    QVERIFY(!t.items().sgPIangles->isHidden());
    QCOMPARE(allCells(*t.items().sgPIangles),
             QStringList({"", "file", "type", "STC", "1", "00000", "M2TS", "0", "2", "00000",
                          "M2TS", "0"}));
    clickCell(t.items().sgPLitem, 1, 3);
    QVERIFY(t.items().sgPIangles->isHidden());

    QVERIFY(t.subPaths().sgAngles->isHidden());
    clickCell(t.subPaths().sgSubPath, 1, 2);
    QCOMPARE(t.subPaths().cbSubPathType->currentText(), QString("OoM Sync"));
    QCOMPARE(t.subPaths().cbSPrepeat->currentText(), QString("Yes"));
    QCOMPARE(t.subPaths().sgSubPlayItem->cell(10, 1), QString("3"));
    QVERIFY(!t.subPaths().sgAngles->isHidden());
    QCOMPARE(rowCells(*t.subPaths().sgAngles, 3), QStringList({"3", "00003", "M2TS", "2"}));
    clickCell(t.subPaths().sgSubPath, 1, 1);
    QVERIFY(t.subPaths().sgAngles->isHidden());
    QCOMPARE(t.subPaths().cbSubPathType->currentText(), QString("IG menu"));
}

void PlaylistTabTest::appInfoControlsShowTheFile_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    QTest::addColumn<int>("flags");  // random access, audio mix, bypass mixer: bits 2, 1, 0
    QTest::newRow("sequential") << 1 << 0 << 0x80000001u << 0x40000000u << 0b101;
    QTest::newRow("random") << 2 << 7 << 0x0F0F0000u << 0u << 0b010;
    QTest::newRow("shuffle") << 3 << 9999 << 0xFFFFFFFFu << 0x40000000u << 0b111;
}

void PlaylistTabTest::appInfoControlsShowTheFile() {
    QFETCH(int, type);
    QFETCH(int, count);
    QFETCH(quint32, first);
    QFETCH(quint32, second);
    QFETCH(int, flags);
    Disc disc;
    TMPLS playlist = disc.parsed("00002");
    playlist.playbackType = static_cast<std::uint8_t>(type);
    playlist.playbackCount = static_cast<std::uint16_t>(count);
    playlist.uoMask1 = first;
    playlist.uoMask2 = second;
    playlist.randomAccess = (flags >> 2) & 1;
    playlist.audioMix = (flags >> 1) & 1;
    playlist.bypassMixer = flags & 1;
    disc.write("00002", playlist);
    Tab t(disc);
    t.read("00002");

    const AppInfoView& info = t.appInfo();
    QCOMPARE(info.cbAIpbt->currentIndex(), type - 1);
    QCOMPARE(info.ieAIpbc->text(), QString::number(count));
    QCOMPARE(info.ieAIpbc->isEnabled(), type > 1);
    QCOMPARE(info.heAIUO->text(), QString::number(first, 16).toUpper().rightJustified(8, '0'));
    QCOMPARE(info.heAIUO2->text(), QString::number(second, 16).toUpper().rightJustified(8, '0'));
    for (int bit = 0; bit < 32; ++bit) {
        QCOMPARE(info.uoBox(bit)->isChecked(), ((first >> bit) & 1) != 0);
        QVERIFY(info.uoBox(bit)->isEnabled());
    }
    QCOMPARE(info.cbUO2_30->isChecked(), (second & 0x40000000u) != 0);
    QVERIFY(info.cbUO2_30->isEnabled());
    QCOMPARE(info.cbAIRA->isChecked(), (flags & 0b100) != 0);
    QCOMPARE(info.cbAIAM->isChecked(), (flags & 0b010) != 0);
    QCOMPARE(info.cbAIBM->isChecked(), (flags & 0b001) != 0);
    for (const QCheckBox* box : {info.cbAIRA, info.cbAIAM, info.cbAIBM})
        QVERIFY(box->isEnabled());
}

void PlaylistTabTest::appInfoControlsWriteThePlaylist() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    AppInfoView& info = t.appInfo();

    QCOMPARE(info.uoBox(26)->toolTip(), QString("Skip back to previous point "));
    QCOMPARE(info.uoBox(8)->toolTip(), QString("UO8:Angle number change"));
    QCOMPARE(info.cbUO2_30->toolTip(), QString("UO230: PiP PG textST stream number change "));

    info.uoBox(5)->click();
    info.uoBox(31)->click();
    QCOMPARE(t.playlist().uoMask1, 0x80000020u);
    QCOMPARE(info.heAIUO->text(), QString("80000020"));

    retype(info.heAIUO, "ffff0000");
    QCOMPARE(info.heAIUO->text(), QString("FFFF0000"));
    QCOMPARE(t.playlist().uoMask1, 0xFFFF0000u);
    QVERIFY(info.uoBox(16)->isChecked());
    QVERIFY(!info.uoBox(5)->isChecked());

    // Only bit 30 of the second word stays once the field is left.
    enter(info.heAIUO2, "FFFFFFFF");
    QCOMPARE(t.playlist().uoMask2, 0x40000000u);
    QCOMPARE(info.heAIUO2->text(), QString("40000000"));
    QVERIFY(info.cbUO2_30->isChecked());
    QVERIFY(info.hasFocus());
    info.cbUO2_30->click();
    QCOMPARE(t.playlist().uoMask2, 0u);

    QVERIFY(!info.ieAIpbc->isEnabled());
    pickText(info.cbAIpbt, "Shuffle");
    QCOMPARE(t.playlist().playbackType, 3);
    QVERIFY(info.ieAIpbc->isEnabled());
    retype(info.ieAIpbc, "12");
    QCOMPARE(t.playlist().playbackCount, 12);

    info.cbAIRA->click();
    info.cbAIAM->click();
    info.cbAIBM->click();
    QCOMPARE(t.playlist().randomAccess, 1);
    QCOMPARE(t.playlist().audioMix, 0);
    QCOMPARE(t.playlist().bypassMixer, 1);
}

void PlaylistTabTest::stnCountsAndLists_data() {
    QTest::addColumn<StnList>("list");
    QTest::addColumn<QStringList>("rows");  // every stream row, number column first
    const auto row = [](const QString& type, const QString& mainPid, const QString& subPath,
                        const QString& subClip, const QString& subPid, const QString& attrib) {
        return QStringList{type, mainPid, subPath, subClip, subPid, attrib};
    };
    QTest::newRow("Vi") << StnList::Video
                        << QStringList("001") +
                               row("PlayItem", "1011", "", "", "", "AVC, 1080p, 23.976");
    QTest::newRow("Au") << StnList::Audio
                        << QStringList("001") +
                               row("PlayItem", "1100", "", "", "",
                                   "Dolby Lossless, Multi-ch., 48 kHz, eng") +
                               QStringList("002") +
                               row("PlayItem", "1101", "", "", "", "DD, Multi-ch., 48 kHz, fra");
    QTest::newRow("PG") << StnList::Pg
                        << QStringList("001") + row("PlayItem", "1200", "", "", "", "eng") +
                               QStringList("002") + row("PlayItem", "1201", "", "", "", "fra");
    QTest::newRow("IG") << StnList::Ig
                        << QStringList("001") + row("SubPath", "", "00", "00", "1400", "eng");
    QTest::newRow("sV") << StnList::SecondaryVideo
                        << QStringList("001") +
                               row("PlayItem", "1B00", "", "", "", "AVC, 1080p, 23.976");
    QTest::newRow("sA") << StnList::SecondaryAudio
                        << QStringList("001") +
                               row("PlayItem", "1A00", "", "", "", "DD+, Stereo, 48 kHz, eng");
    // The PiP PG streams follow the PG streams in the file; they are numbered
    // from 1.
    QTest::newRow("PIP") << StnList::Pip
                         << QStringList("001") + row("PlayItem", "1A20", "", "", "", "eng");
}

void PlaylistTabTest::stnCountsAndLists() {
    QFETCH(StnList, list);
    QFETCH(QStringList, rows);
    Disc disc;
    Tab t(disc);
    t.read("00000");

    QCOMPARE(allCells(*t.stn().sgSTN), QStringList({"", "Vi", "Au", "PG", "IG", "sV", "sA", "PIP",
                                                    "", "1", "2", "2", "1", "1", "1", "1"}));
    QCOMPARE(t.stn().sgSTN->toolTip(), QString("STN table (stream numbers)"));
    clickCell(t.stn().sgSTN, static_cast<int>(list) + 1, 1);
    QCOMPARE(t.stn().selectedList(), list);
    const StringGrid& streams = *t.stn().sgStreamEntry;
    QVERIFY(streams.isEnabled());
    QStringList shown;
    for (int r = 1; r <= streams.dataRows(); ++r)
        shown << rowCells(streams, r);
    QCOMPARE(shown, rows);
    QCOMPARE(t.stn().selectedStream(), 0);
}

void PlaylistTabTest::editRowLiesOverTheSelectedStream() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    StnView& stn = t.stn();
    stn.selectList(StnList::Audio);
    clickCell(stn.sgStreamEntry, 1, 2);

    const auto cell = [&stn](int col) {
        return stn.sgStreamEntry->visualRect(stn.sgStreamEntry->model()->index(1, col - 1));
    };
    QCOMPARE(stn.coEntryType->geometry(), cell(StnView::kType));
    QCOMPARE(stn.heMainPID->geometry(), cell(StnView::kMainPid));
    const QRect attributes = cell(StnView::kAttributes);
    QCOMPARE(stn.coAudio->geometry().left(), attributes.left());
    QCOMPARE(stn.coLang->geometry().right(), attributes.right());
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             stn.coEntryType, stn.heMainPID, stn.coAudio, stn.coAuType, stn.coFreq, stn.coLang}) {
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(w->geometry().top(), attributes.top());
    }
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             stn.heSubPID, stn.ieSubPath, stn.ieSubClip, stn.coVideo, stn.coResol, stn.coFrmRate})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QCOMPARE(stn.coAudio->currentText(), QString("DD"));
    QCOMPARE(stn.coAudio->toolTip(),
             QString("Dolby Digital (AC-3) audio stream for Primary audio"));
    QCOMPARE(stn.coAuType->toolTip(), QString("multi-channel"));
    QCOMPARE(stn.coEntryType->toolTip(),
             QString("Identify an elementary stream of the Clip used by the PlayItem."));

    // An IG stream on a SubPath: its ids and sub PID; the language alone.
    stn.selectList(StnList::Ig);
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             stn.coEntryType, stn.ieSubPath, stn.ieSubClip, stn.heSubPID, stn.coLang})
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    for (const QWidget* w : std::initializer_list<const QWidget*>{stn.heMainPID, stn.coAudio})
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QCOMPARE(stn.heSubPID->text(), QString("1400"));

    // A list without streams shows no edit row.
    t.read("00001");
    stn.selectList(StnList::Audio);
    QVERIFY(!stn.coEntryType->isVisible());
    QVERIFY(!stn.coAudio->isVisible());
}

void PlaylistTabTest::editRowWritesTheSelectedStream_data() {
    QTest::addColumn<StnList>("list");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("cell");
    QTest::newRow("audio coding") << StnList::Audio << 1 << "coAudio"
                                  << "DTS-HD" << int(StnView::kAttributes)
                                  << "DTS-HD, Multi-ch., 48 kHz, eng";
    QTest::newRow("presentation") << StnList::Audio << 2 << "coAuType"
                                  << "Stereo" << int(StnView::kAttributes)
                                  << "DD, Stereo, 48 kHz, fra";
    QTest::newRow("frequency") << StnList::Audio << 1 << "coFreq"
                               << "96 kHz" << int(StnView::kAttributes)
                               << "Dolby Lossless, Multi-ch., 96 kHz, eng";
    QTest::newRow("audio language")
        << StnList::Audio << 2 << "coLang"
        << "deu" << int(StnView::kAttributes) << "DD, Multi-ch., 48 kHz, deu";
    QTest::newRow("video coding") << StnList::Video << 1 << "coVideo"
                                  << "MPEG-2" << int(StnView::kAttributes)
                                  << "MPEG-2, 1080p, 23.976";
    QTest::newRow("video format") << StnList::Video << 1 << "coResol"
                                  << "1080i" << int(StnView::kAttributes) << "AVC, 1080i, 23.976";
    QTest::newRow("frame rate") << StnList::Video << 1 << "coFrmRate"
                                << "50" << int(StnView::kAttributes) << "AVC, 1080p, 50";
    QTest::newRow("secondary video") << StnList::SecondaryVideo << 1 << "coResol"
                                     << "720p" << int(StnView::kAttributes) << "AVC, 720p, 23.976";
    QTest::newRow("secondary audio")
        << StnList::SecondaryAudio << 1 << "coAudio"
        << "DTS-HD" << int(StnView::kAttributes) << "DTS-HD, Stereo, 48 kHz, eng";
    QTest::newRow("PG language") << StnList::Pg << 2 << "coLang"
                                 << "jpn" << int(StnView::kAttributes) << "jpn";
    QTest::newRow("IG language") << StnList::Ig << 1 << "coLang"
                                 << "fra" << int(StnView::kAttributes) << "fra";
    QTest::newRow("PiP language") << StnList::Pip << 1 << "coLang"
                                  << "spa" << int(StnView::kAttributes) << "spa";
    QTest::newRow("entry type") << StnList::Pg << 1 << "coEntryType"
                                << "SubPath" << int(StnView::kType) << "SubPath";
}

void PlaylistTabTest::editRowWritesTheSelectedStream() {
    QFETCH(StnList, list);
    QFETCH(int, row);
    QFETCH(QString, control);
    QFETCH(QString, choice);
    QFETCH(int, col);
    QFETCH(QString, cell);
    Disc disc;
    Tab t(disc);
    t.read("00000");
    clickCell(t.items().sgPLitem, 1, 2);
    StnView& stn = t.stn();
    stn.selectList(list);
    clickCell(stn.sgStreamEntry, 1, row);
    auto* box = stn.findChild<QComboBox*>(control);
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QVERIFY(box->isEnabled());

    pickText(box, choice);
    QCOMPARE(stn.sgStreamEntry->cell(col, row), cell);
    QCOMPARE(stn.sgStreamEntry->gridRow(), row);  // the selection stays
    QCOMPARE(box->currentText(), choice);         // the controls are reloaded
    // Only the selected PlayItem's stream changed.
    const TMPLS original = disc.parsed("00000");
    QVERIFY(t.playlist().playList.playItems[0] == original.playList.playItems[0]);
    QVERIFY(!(t.playlist().playList.playItems[1] == original.playList.playItems[1]));
}

void PlaylistTabTest::editRowFieldsWriteOnLeaving() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    StnView& stn = t.stn();

    // "DTS-HD" is item 8 of the audio codings: coding type 0xA2.
    stn.selectList(StnList::Audio);
    pick(stn.coAudio, 8);
    QCOMPARE(t.playlist().playList.playItems[0].stn.audio[0].codingType, 0xA2);
    QCOMPARE(stn.coAudio->toolTip(), QString("DTS-HD audio stream for Secondary audio stream"));
    // "eng" is the first item of the language list.
    QCOMPARE(stn.coLang->currentIndex(), 0);

    stn.selectList(StnList::Pg);
    enter(stn.heMainPID, "1a2b");
    QCOMPARE(t.playlist().playList.playItems[0].stn.pg[0].mainPid, 0x1A2B);
    QCOMPARE(stn.sgStreamEntry->cell(StnView::kMainPid, 1), QString("1A2B"));
    QVERIFY(stn.hasFocus());  // Enter hands the focus to the STN group

    // Switching the entry type to SubPath shows its fields; they write their
    // values when left.
    pickText(stn.coEntryType, "SubPath");
    QVERIFY(stn.ieSubPath->isVisible());
    retype(stn.ieSubPath, "3");
    retype(stn.ieSubClip, "4");
    retype(stn.heSubPID, "1234");
    stn.bbInsSTN->setFocus();
    const lumora::TSTNStream& pg = t.playlist().playList.playItems[0].stn.pg[0];
    QCOMPARE(pg.entryType, lumora::kEntrySubPath);
    QCOMPARE(pg.subPathId, 3);
    QCOMPARE(pg.subClipEntryId, 4);
    QCOMPARE(pg.subPid, 0x1234);
    QCOMPARE(rowCells(*stn.sgStreamEntry, 1),
             QStringList({"001", "SubPath", "", "03", "04", "1234", "eng"}));
}

void PlaylistTabTest::streamInsertIntoEmptyAudioListAndItsLimit() {
    Disc disc;
    Tab t(disc);
    t.read("00001");
    StnView& stn = t.stn();
    stn.selectList(StnList::Audio);
    QVERIFY(isCleared(*stn.sgStreamEntry));
    QVERIFY(stn.bbInsSTN->isEnabled());
    QVERIFY(!stn.bbDelSTN->isEnabled());

    const TMPLS before = t.playlist();
    stn.bbInsSTN->click();
    const TMPLS& after = t.playlist();
    QCOMPARE(after.playList.playItems[0].length, before.playList.playItems[0].length + 16);
    QCOMPARE(after.playList.playItems[0].stn.length, before.playList.playItems[0].stn.length + 16);
    QCOMPARE(after.playList.length, before.playList.length + 16);
    QCOMPARE(after.markStart, before.markStart + 16);
    QCOMPARE(after.extensionDataStart, 0u);
    QCOMPARE(stn.sgSTN->cell(2, 1), QString("1"));
    QCOMPARE(allCells(*stn.sgStreamEntry).mid(7),
             QStringList({"001", "PlayItem", "1100", "", "", "", "DD, Multi-ch., 48 kHz, eng"}));
    QVERIFY(stn.sgStreamEntry->isEnabled());
    // The audio list keeps at least one stream.
    QVERIFY(!stn.bbDelSTN->isEnabled());
    stn.sgStreamEntry->setFocus();
    QTest::keyClick(stn.sgStreamEntry, Qt::Key_Delete);
    QCOMPARE(stn.sgStreamEntry->dataRows(), 1);

    // The new stream follows the selected one; the 32nd goes in, the 33rd not.
    clickCell(stn.sgStreamEntry, 1, 1);
    stn.sgStreamEntry->setFocus();
    QTest::keyClick(stn.sgStreamEntry, Qt::Key_Insert);
    QCOMPARE(stn.selectedStream(), 1);
    for (int i = 2; i < 32; ++i)
        stn.bbInsSTN->click();
    QCOMPARE(t.playlist().playList.playItems[0].stn.audio.size(), 32u);
    QVERIFY(!stn.bbInsSTN->isEnabled());
    stn.sgStreamEntry->setFocus();
    QTest::keyClick(stn.sgStreamEntry, Qt::Key_Insert);
    QCOMPARE(t.playlist().playList.playItems[0].stn.audio.size(), 32u);
    QCOMPARE(stn.sgSTN->cell(2, 1), QString("32"));
}

void PlaylistTabTest::streamDeleteKeepsLengthsAndLimits() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    StnView& stn = t.stn();

    // A secondary audio stream with two primary audio references takes 20
    // bytes.
    stn.selectList(StnList::SecondaryAudio);
    const TMPLS before = t.playlist();
    stn.bbDelSTN->click();
    QCOMPARE(t.playlist().markStart, before.markStart - 20);
    QCOMPARE(t.playlist().playList.length, before.playList.length - 20);
    QCOMPARE(t.playlist().playList.playItems[0].stn.length,
             before.playList.playItems[0].stn.length - 20);
    // The emptied list is not shown, and offers neither "+" nor "-".
    QVERIFY(isCleared(*stn.sgStreamEntry));
    QVERIFY(!stn.bbInsSTN->isEnabled());
    QVERIFY(!stn.bbDelSTN->isEnabled());
    QCOMPARE(stn.sgSTN->cell(6, 1), QString("0"));

    // The selection moves up one row; the PiP streams stay behind the PG
    // streams.
    stn.selectList(StnList::Pg);
    clickCell(stn.sgStreamEntry, 1, 2);
    stn.sgStreamEntry->setFocus();
    QTest::keyClick(stn.sgStreamEntry, Qt::Key_Delete);
    QCOMPARE(stn.sgStreamEntry->dataRows(), 1);
    QCOMPARE(stn.selectedStream(), 0);
    QCOMPARE(t.playlist().playList.playItems[0].stn.pip.size(), 1u);
    stn.bbDelSTN->click();
    QVERIFY(isCleared(*stn.sgStreamEntry));
    QVERIFY(stn.bbInsSTN->isEnabled());
    QVERIFY(!stn.bbDelSTN->isEnabled());

    // The video list has no deletion.
    stn.selectList(StnList::Video);
    QVERIFY(!stn.bbDelSTN->isEnabled());
    QVERIFY(!stn.bbInsSTN->isEnabled());

    // What the edits left is what a reader of the saved file finds.
    QVERIFY(t.tab.save());
    QVERIFY(disc.parsed("00000") == t.playlist());
}

void PlaylistTabTest::markInsertDeleteAndFieldClamps() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    MarkView& m = t.marks();
    const std::uint32_t length = t.playlist().marks.length;

    // Three selected marks go at once: 42 bytes; the row above is selected.
    selectRows(m.sgPlayListMark, 2, 4);
    m.sgPlayListMark->setFocus();
    QTest::keyClick(m.sgPlayListMark, Qt::Key_Delete);
    QCOMPARE(t.playlist().marks.marks.size(), 3u);
    QCOMPARE(t.playlist().marks.length, length - 42);
    QCOMPARE(m.sgPlayListMark->dataRows(), 3);
    QCOMPARE(m.selectedMark(), 0);
    QCOMPARE(m.sgPlayListMark->cell(3, 2), QString("00:00:40.040"));

    // The new mark follows the selected one.
    clickCell(m.sgPlayListMark, 1, 2);
    m.bbPLMins->click();
    QCOMPARE(t.playlist().marks.length, length - 28);
    QCOMPARE(m.selectedMark(), 2);
    QCOMPARE(rowCells(*m.sgPlayListMark, 3),
             QStringList({"002", "entry-mark", "000", "00:00:00.000", "FFFF", "0"}));
    QCOMPARE(m.sgPlayListMark->cell(3, 4), QString("00:00:50.050"));
    QCOMPARE(m.iePLMms->text(), QString("0"));

    // The fields write the selected mark; hours above 25 and minutes above
    // 59 are taken down.
    pickText(m.cmPLMtype, "link point");
    retype(m.iePLMPI, "7");  // the last PlayItem is 2
    QCOMPARE(m.iePLMPI->text(), QString("2"));
    retype(m.iePLMhour, "30");
    QCOMPARE(m.iePLMhour->text(), QString("25"));
    enter(m.iePLMmin, "75");
    QCOMPARE(m.iePLMmin->text(), QString("59"));
    QVERIFY(m.iePLMsec->text() == "0");
    enter(m.iePLMsec, "7");
    QVERIFY(m.iePLMms->hasFocus());
    enter(m.iePLMms, "123");
    const lumora::TMark& mark = t.playlist().marks.marks[2];
    QCOMPARE(mark.type, lumora::kLinkPoint);
    QCOMPARE(mark.playItemId, 2);
    QCOMPARE(mark.time, 25u * 162000000 + 59u * 2700000 + 7u * 45000 + 123u * 45);
    QCOMPARE(rowCells(*m.sgPlayListMark, 3),
             QStringList({"002", "link point", "002", "25:59:07.123", "FFFF", "0"}));

    // Ctrl+A and Delete empty the list; the fields go with it.
    m.sgPlayListMark->setFocus();
    QTest::keyClick(m.sgPlayListMark, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m.sgPlayListMark, Qt::Key_Delete);
    QVERIFY(t.playlist().marks.marks.empty());
    QCOMPARE(t.playlist().marks.length, 2u);
    QVERIFY(isCleared(*m.sgPlayListMark));
    QVERIFY(!m.iePLMhour->isEnabled());
    QVERIFY(!m.bbPLMdel->isEnabled());
    // Inserting into the empty list enables them again.
    m.bbPLMins->click();
    QCOMPARE(m.sgPlayListMark->dataRows(), 1);
    QVERIFY(m.sgPlayListMark->isEnabled());
    QVERIFY(m.iePLMhour->isEnabled());
    QCOMPARE(t.playlist().marks.length, 16u);
}

void PlaylistTabTest::markLimitIs999() {
    Disc disc;
    TMPLS playlist = disc.parsed("00002");
    playlist.marks.marks.assign(998, lumora::TMark{});
    disc.write("00002", playlist);
    Tab t(disc);
    t.read("00002");
    MarkView& m = t.marks();
    QVERIFY(m.bbPLMins->isEnabled());
    m.bbPLMins->click();
    QCOMPARE(t.playlist().marks.marks.size(), 999u);
    QVERIFY(!m.bbPLMins->isEnabled());
    m.sgPlayListMark->setFocus();
    QTest::keyClick(m.sgPlayListMark, Qt::Key_Insert);
    QCOMPARE(t.playlist().marks.marks.size(), 999u);
    QCOMPARE(m.sgPlayListMark->dataRows(), 999);
}

void PlaylistTabTest::chapterFilesRoundTrip_data() {
    QTest::addColumn<ChapterFormat>("format");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("secondLine");
    QTest::newRow("PTS") << ChapterFormat::Pts << "chapter_00000_PTS.txt"
                         << "450450";
    QTest::newRow("frame") << ChapterFormat::Frame << "chapter_00000_frame.txt"
                           << "240";
    QTest::newRow("time") << ChapterFormat::Time << "chapter_00000_time.txt"
                          << "00:00:10.010";
}

void PlaylistTabTest::chapterFilesRoundTrip() {
    QFETCH(ChapterFormat, format);
    QFETCH(QString, fileName);
    QFETCH(QString, secondLine);
    Disc disc;
    lumora::test::TempDir out;
    Tab t(disc);
    t.format = format;
    t.outputFolder = QString::fromStdString(out.path().string()) + "/";
    t.read("00000");
    const std::vector<lumora::TMark> marks = t.playlist().marks.marks;
    const QStringList shown = allCells(*t.marks().sgPlayListMark);

    // Saved without an extension, the file gets ".txt".
    t.savePath = t.outputFolder + "chapters";
    t.marks().bbSaveChap->click();
    QCOMPARE(t.asked.title, QString("Save chapter file"));
    QCOMPARE(t.asked.folder, t.outputFolder);
    QCOMPARE(t.asked.fileName, fileName);
    QCOMPARE(t.asked.filter, QString("Text (*.txt)"));
    const std::string path = out / "chapters.txt";
    const lumora::Bytes bytes = lumora::test::readFile(path);
    const QStringList lines = QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<qsizetype>(bytes.size()))
                                  .split("\r\n");
    QCOMPARE(lines.size(), 7);  // six lines, each ended by CR LF
    QCOMPARE(lines[0], format == ChapterFormat::Time ? QString("00:00:00.000") : QString("0"));
    QCOMPARE(lines[1], secondLine);

    t.marks().sgPlayListMark->setFocus();
    QTest::keyClick(t.marks().sgPlayListMark, Qt::Key_A, Qt::ControlModifier);
    t.marks().deleteMarks();
    QVERIFY(t.playlist().marks.marks.empty());

    t.loadPath = QString::fromStdString(path);
    t.marks().bbLoadChap->click();
    QCOMPARE(t.asked.title, QString("Open chapter file"));
    QCOMPARE(t.asked.folder, t.outputFolder);
    QCOMPARE(t.asked.fileName, fileName);
    QCOMPARE(t.asked.filter, QString("Text (*.txt)"));
    QVERIFY(t.playlist().marks.marks == marks);
    QCOMPARE(t.playlist().marks.length, 2u + 14u * 6u);
    QCOMPARE(allCells(*t.marks().sgPlayListMark), shown);
    QVERIFY(t.marks().iePLMhour->isEnabled());

    // Without an Output folder the open dialog starts in the BDMV folder.
    t.outputFolder.clear();
    t.loadPath.clear();
    t.marks().loadChapters();
    QCOMPARE(t.asked.folder, QString::fromStdString(disc.info.folder));
}

void PlaylistTabTest::extensionDataEditRoundTrip() {
    Disc disc;
    lumora::test::TempDir out;
    lumora::TExtensionData block;
    block.length = 24;
    block.dataBlockStartAddress = 24;
    block.entries = {{1, 1, 24, 4}};
    block.dataBlock = {1, 2, 3, 4};
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
    t.tab.bMExtDat->click();
    QCOMPARE(t.extDatTitle, QString("00000.mpls ExtensionData edit"));
    QVERIFY(t.playlist().extensionData == block);
    QCOMPARE(t.playlist().extensionDataStart,
             t.playlist().markStart + t.playlist().marks.length + 4);
    QCOMPARE(t.tab.lMExtDat->text(), QString("1 entry, 28 bytes"));

    // Marks move the block.
    const std::uint32_t start = t.playlist().extensionDataStart;
    t.marks().bbPLMins->click();
    QCOMPARE(t.playlist().extensionDataStart, start + 14);

    QVERIFY(t.tab.save());
    const TMPLS saved = disc.parsed("00000");
    QVERIFY(saved.extensionData == block);
    QVERIFY(saved == t.playlist());
    t.read("00000");
    QCOMPARE(t.tab.lMExtDat->text(), QString("1 entry, 28 bytes"));

    // Cancel changes nothing; Delete takes the block and its address away.
    t.extDat = [](TfExtDat& dialog) {
        dialog.deleteBlock();
        return false;
    };
    t.tab.bMExtDat->click();
    QVERIFY(t.playlist().extensionData == block);
    t.extDat = [](TfExtDat& dialog) {
        dialog.deleteBlock();
        return true;
    };
    t.tab.bMExtDat->click();
    QVERIFY(t.playlist().extensionData.empty());
    QCOMPARE(t.playlist().extensionDataStart, 0u);
    QCOMPARE(t.tab.lMExtDat->text(), QString("no ExtensionData()"));
}

void PlaylistTabTest::saveThenReadGivesTheSameModel() {
    Disc disc;
    Tab t(disc);
    t.backup.createBackups = true;
    t.read("00000");

    // A bit of everything: AppInfo, a stream attribute, a new stream, a mark.
    t.appInfo().uoBox(3)->click();
    t.appInfo().cbAIBM->click();
    clickCell(t.items().sgPLitem, 1, 3);
    t.stn().selectList(StnList::Ig);
    t.stn().bbInsSTN->click();
    pickText(t.stn().coLang, "ita");
    clickCell(t.marks().sgPlayListMark, 1, 6);
    t.marks().bbPLMins->click();
    enter(t.marks().iePLMsec, "42");
    const TMPLS edited = t.playlist();
    clickCell(t.items().sgPLitem, 1, 3);
    const QStringList shown = tabCells(t);

    QVERIFY(t.tab.save());
    QVERIFY(lumora::fileExists(disc.playlistPath("00000") + ".backup"));
    QVERIFY(t.log().contains("Saving 00000.mpls"));
    QVERIFY(disc.parsed("00000") == edited);
    t.read("00000");
    QVERIFY(t.playlist() == edited);
    clickCell(t.items().sgPLitem, 1, 3);
    t.stn().selectList(StnList::Ig);
    clickCell(t.marks().sgPlayListMark, 1, 7);
    QCOMPARE(tabCells(t), shown);
}

// Save writes the playlist that was read, to the file it came from, even when
// the selector has moved on without a Read.
void PlaylistTabTest::saveWritesTheFileThatWasRead() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    const lumora::Bytes other = lumora::test::readFile(disc.playlistPath("00001"));
    t.appInfo().uoBox(0)->click();
    t.tab.selector()->setCurrentIndex(1);
    QCOMPARE(t.tab.saveHint(), QString("Save 00000.mpls"));
    QVERIFY(t.tab.save());
    QCOMPARE(disc.parsed("00000").uoMask1, 1u);
    QVERIFY(lumora::test::readFile(disc.playlistPath("00001")) == other);
}

void PlaylistTabTest::playlistWithoutPlayItemsCannotBeSaved() {
    Disc disc;
    TMPLS empty;
    disc.write("00002", empty);
    const lumora::Bytes bytes = lumora::test::readFile(disc.playlistPath("00002"));
    Tab t(disc);
    t.read("00000");
    t.read("00002");
    QVERIFY(t.tab.playlistLoaded());
    QVERIFY(!t.tab.canSave());
    QVERIFY(!t.tab.save());
    QVERIFY(lumora::test::readFile(disc.playlistPath("00002")) == bytes);
    // One empty row, left enabled so that Insert can add a PlayItem.
    QCOMPARE(t.items().sgPLitem->dataRows(), 1);
    QVERIFY(t.items().sgPLitem->cell(1, 1).isEmpty());
    QVERIFY(t.items().sgPLitem->isEnabled());
    QVERIFY(isCleared(*t.stn().sgSTN));
    QVERIFY(isCleared(*t.stn().sgStreamEntry));
    QVERIFY(!t.stn().bbInsSTN->isEnabled());
    QVERIFY(isCleared(*t.subPaths().sgSubPath));
    QVERIFY(!t.subPaths().cbSubPathType->isEnabled());
    QVERIFY(isCleared(*t.marks().sgPlayListMark));
    QVERIFY(!t.marks().bbLoadChap->isEnabled());
    QVERIFY(t.marks().bbPLMins->isEnabled());
    QVERIFY(t.appInfo().cbAIpbt->isEnabled());
}

// A file that cannot be read leaves nothing to edit or save; one cut short
// shows what could be read, for inspection only.
void PlaylistTabTest::brokenFilesAreNotEdited_data() {
    QTest::addColumn<QByteArray>("content");  // empty: no file at all
    QTest::addColumn<QString>("logged");
    QTest::addColumn<bool>("rowsShown");
    QTest::newRow("version 0300") << QByteArray("MPLS0300") + QByteArray(60, '\0')
                                  << "ERROR: Invalid format: 00002.mpls" << false;
    QTest::newRow("no file") << QByteArray() << "" << false;
    Disc disc;
    const lumora::Bytes whole = lumora::test::readFile(disc.playlistPath("00000"));
    QTest::newRow("cut short") << QByteArray(reinterpret_cast<const char*>(whole.data()),
                                             static_cast<qsizetype>(whole.size()) - 50)
                               << "ERROR: 00002.mpls: " << true;
}

void PlaylistTabTest::brokenFilesAreNotEdited() {
    QFETCH(QByteArray, content);
    QFETCH(QString, logged);
    QFETCH(bool, rowsShown);
    Disc disc;
    const std::string path = disc.playlistPath("00002");
    std::filesystem::remove(path);
    if (!content.isEmpty()) {
        lumora::test::writeFile(
            path, std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
    }
    Tab t(disc);
    t.read("00000");
    t.read("00002");

    QVERIFY(!t.tab.playlistLoaded());
    QVERIFY(!t.tab.canSave());
    QVERIFY(!t.tab.save());
    QCOMPARE(t.fileErrors.size(), content.isEmpty() ? 1 : 0);
    if (!logged.isEmpty()) {
        const QStringList log = t.log();
        QVERIFY(std::any_of(log.begin(), log.end(),
                            [&logged](const QString& line) { return line.startsWith(logged); }));
    }
    QCOMPARE(t.items().sgPLitem->isEnabled(), rowsShown);
    QCOMPARE(t.items().sgPLitem->dataRows(), rowsShown ? 3 : 1);
    for (const QWidget* w : std::initializer_list<const QWidget*>{
             t.appInfo().cbAIpbt, t.appInfo().uoBox(0), t.stn().bbInsSTN, t.stn().coEntryType,
             t.marks().bbPLMins, t.marks().bbLoadChap, t.tab.bMExtDat})
        QVERIFY2(!w->isEnabled() || !w->isVisible(), qPrintable(w->objectName()));
}

void PlaylistTabTest::choosingAPlaylistReadsItWithAutoRead() {
    Disc disc;
    Tab t(disc);
    pick(t.tab.selector(), 1);
    QVERIFY(!t.tab.playlistLoaded());
    t.autoRead = true;
    QVERIFY(t.tab.choosePlaylist("00002"));
    QCOMPARE(t.tab.document().entry, std::string("00002"));
    QVERIFY(t.tab.playlistLoaded());
    pick(t.tab.selector(), 1);
    QCOMPARE(t.tab.document().entry, std::string("00001"));
    QVERIFY(!t.tab.choosePlaylist("00009"));
}

void PlaylistTabTest::clearEmptiesEverything() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    QSignalSpy changes(&t.tab, &PlaylistTab::saveStateChanged);
    t.tab.clear();
    QCOMPARE(changes.count(), 1);
    QVERIFY(!t.tab.playlistLoaded());
    QVERIFY(!t.tab.loaded());
    QCOMPARE(t.tab.selector()->count(), 0);
    for (const StringGrid* grid :
         {t.items().sgPLitem, t.stn().sgSTN, t.stn().sgStreamEntry, t.subPaths().sgSubPath,
          t.subPaths().sgSubPlayItem, t.marks().sgPlayListMark})
        QVERIFY2(isCleared(*grid), qPrintable(grid->objectName()));
    QVERIFY(!t.appInfo().cbAIpbt->isEnabled());
    QCOMPARE(t.tab.lMExtDat->text(), QString("no ExtensionData()"));
}

void PlaylistTabTest::gridPopupServesPlayItemsAndSubPlayItems() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    for (StringGrid* grid : {t.items().sgPLitem, t.subPaths().sgSubPlayItem}) {
        grid->setFocus();
        QCOMPARE(t.popup.focusedGrid(), grid);
        grid->setEditMode(true);
        QVERIFY(grid->isCellEditable(1, 1));   // "file"
        QVERIFY(!grid->isCellEditable(2, 1));  // "type" follows from the codec
        grid->setEditMode(false);
    }
    t.marks().sgPlayListMark->setFocus();
    QVERIFY(t.popup.focusedGrid() == nullptr);
}

void PlaylistTabTest::fitsTheSmallestWindow() {
    Disc disc;
    Tab t(disc);
    t.read("00000");
    clickCell(t.items().sgPLitem, 1, 2);  // the angles grid shows
    t.stn().selectList(StnList::Audio);
    QVERIFY(t.tab.minimumSizeHint().width() <= 900);
    QVERIFY(t.tab.minimumSizeHint().height() <= 470);

    // Every control lies inside the tab; the edit row inside its grid.
    const QRect page = t.tab.rect();
    const QList<QWidget*> widgets = t.tab.findChildren<QWidget*>();
    for (const QWidget* w : widgets) {
        if (!w->isVisible() || w->parentWidget() == t.stn().sgStreamEntry->viewport()) continue;
        const QRect area(w->mapTo(&t.tab, QPoint(0, 0)), w->size());
        QVERIFY2(page.contains(area),
                 qPrintable(w->objectName() + " " + w->metaObject()->className()));
    }
    const QList<int> heights = t.tab.groupHeights();
    QVERIFY(heights[0] >= 158);
    QVERIFY(heights[1] >= 92);
    QVERIFY(heights[2] >= 96);
    const StringGrid& streams = *t.stn().sgStreamEntry;
    // "attrib" takes the grid's width less the fixed part (at least 215
    // pixels, more when the font needs it).
    int columns = 2 * streams.frameWidth();
    for (int col = 0; col <= StnView::kAttributes; ++col)
        columns += streams.gridColumnWidth(col);
    QCOMPARE(columns, streams.width());
    QVERIFY(streams.gridColumnWidth(StnView::kAttributes) <= streams.width() - 215);

    // The splitters keep the least heights whatever is asked of them.
    t.tab.setGroupHeights({10, 400, 10});
    const QList<int> squeezed = t.tab.groupHeights();
    QVERIFY(squeezed[0] >= 158);
    QVERIFY(squeezed[2] >= 96);
    t.tab.setGroupHeights({400, 10, 10});
    QVERIFY(t.tab.groupHeights()[1] >= 92);
}

QTEST_MAIN(PlaylistTabTest)
#include "playlist_tab_test.moc"
