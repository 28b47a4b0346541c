// The main window's ties between the PLAYLIST and CLIPINF tabs: "Jump to
// Clip", the shared "Find" on both tabs with the "Referenced by" double
// click, "Apply to clpi", and the shared "&Save" and its hint on the CLIPINF
// tab.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "app/clipinf/clipinf_info_view.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/options/options_tab.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_subpath_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/gui_sink.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/status/status_tab.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "playlist/clip_info_file.h"
#include "playlist/playlist_file.h"
#include "support/test_support.h"

using namespace lumora::app;

namespace {

// The window on a demo disc of its own, shown, with its settings in a
// private file and its boxes answered.
struct Window {
    explicit Window(bool autoRead) : info(lumora::makeDemoDisc(dir / "disc")) {
        window.settingsFactory = [this] {
            return std::make_unique<QSettings>(QString::fromStdString(dir / "settings.ini"),
                                               QSettings::IniFormat);
        };
        window.fileErrorBox = [this](const QString& message) { fileErrors << message; };
        window.sink().asker = [](const QString&) { return false; };
        window.startUp({});
        window.optionsTab->optionBox("AutoRead")->setChecked(autoRead);
        window.setFolderText(QString::fromStdString(info.folder));
        window.readFolder();
        window.show();
        (void)QTest::qWaitForWindowActive(&window);
    }
    std::string clipPath(const std::string& entry) const {
        return info.folder + "CLIPINF/" + entry + ".clpi";
    }
    lumora::TCLPI parsedClip(const std::string& entry) const {
        lumora::TCLPI clip;
        (void)lumora::parseClipInfo(lumora::test::readFile(clipPath(entry)), entry, clip);
        return clip;
    }
    QStringList log() { return window.statusTab->reMessage->lines(); }

    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
    TfMain window;
    QStringList fileErrors;
};

void clickCell(StringGrid* grid, int col, int row) {
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

void doubleClickCell(StringGrid* grid, int col, int row) {
    clickCell(grid, col, row);
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

class ClipLinksTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    void jumpToClipReadsTheClipOnce_data();
    void jumpToClipReadsTheClipOnce();
    void jumpToAClipThatIsNotListed();
    void clipinfSaveAndItsHint();
    void findOnThePlaylistTab();
    void findOnTheClipinfTabAndBackToThePlaylist();
    void applyToClpiKeepsTheChangeUntilSave();
};

void ClipLinksTest::jumpToClipReadsTheClipOnce_data() {
    QTest::addColumn<bool>("autoRead");
    QTest::addRow("Auto Read") << true;
    QTest::addRow("no Auto Read") << false;
}

void ClipLinksTest::jumpToClipReadsTheClipOnce() {
    QFETCH(bool, autoRead);
    Window w(autoRead);
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    if (!autoRead) m.playlistTab->readSelected();
    QVERIFY(m.playlistTab->playlistLoaded());
    QSignalSpy reads(m.clipinfTab, &SelectorTab::readRequested);

    doubleClickCell(m.playlistTab->subPathView->sgSubPlayItem, 1, 1);
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kClipinf));
    QCOMPARE(reads.count(), 1);
    QCOMPARE(m.clipinfTab->document().entry, std::string("00001"));
    QVERIFY(m.clipinfTab->clipLoaded());
    QCOMPARE(m.bSave->toolTip(), QString("Save 00001.clpi"));
    QVERIFY(m.bSave->isEnabled());

    // Back on the playlist, a PlayItem jumps to its clip: read again.
    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    doubleClickCell(m.playlistTab->playItemsView->sgPLitem, 1, 1);
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kClipinf));
    QCOMPARE(reads.count(), 2);
    QCOMPARE(m.clipinfTab->document().entry, std::string("00000"));
}

void ClipLinksTest::jumpToAClipThatIsNotListed() {
    Window w(false);
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    m.playlistTab->readSelected();
    QSignalSpy reads(m.clipinfTab, &SelectorTab::readRequested);
    emit m.playlistTab->clipRequested("00009");
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kClipinf));
    QCOMPARE(reads.count(), 0);
    QCOMPARE(m.statusLine->panelText(1), QString("Clip information 00009 not found"));
}

void ClipLinksTest::clipinfSaveAndItsHint() {
    Window w(false);
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kClipinf);
    QVERIFY(!m.bSave->isEnabled());
    QCOMPARE(m.bSave->toolTip(), QString("Save 00000.clpi"));
    m.optionsTab->setUse83(true);
    QCOMPARE(m.bSave->toolTip(), QString("Save 00000.CPI"));
    m.optionsTab->setUse83(false);

    m.clipinfTab->readSelected();
    QVERIFY(m.bSave->isEnabled());
    QLineEdit* rate = m.clipinfTab->clipInfoView->ieRecRate;
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, "12345");
    m.bSave->click();
    QCOMPARE(w.parsedClip("00000").clipInfo.tsRecordingRate, 12345u);
    QVERIFY(w.parsedClip("00000") == m.clipinfTab->clip());
    QVERIFY(w.log().contains(" Saving 00000.clpi"));
    QVERIFY(w.fileErrors.isEmpty());
}

void ClipLinksTest::findOnThePlaylistTab() {
    Window w(false);
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    QVERIFY(m.bFind->isVisible());
    m.playlistTab->selector()->setCurrentIndex(1);
    m.bFind->click();
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kStatus));
    const QStringList log = w.log();
    const qsizetype found = log.indexOf(" PlayList 00001 found in:");
    QVERIFY(found > 0);
    QCOMPARE(log.mid(found + 1), QStringList{"Object 0001, Command line 0000"});
}

void ClipLinksTest::findOnTheClipinfTabAndBackToThePlaylist() {
    Window w(false);
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kClipinf);
    m.bFind->click();
    StringGrid* refs = m.clipinfTab->sgCIRef;
    QCOMPARE(refs->dataRows(), 4);
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kClipinf));

    doubleClickCell(refs, 1, 3);  // playlist 00000, PlayItem 2
    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kPlaylist));
    QCOMPARE(m.playlistTab->document().entry, std::string("00000"));
    QCOMPARE(m.playlistTab->playItemsView->selectedPlayItem(), 2);
    QCOMPARE(m.playlistTab->playItemsView->sgPLitem->selectionTop(), 3);
}

// The clip of the selected PlayItem takes the STN attributes in memory and
// comes to the front to be reviewed; the CLIPINF tab's Save writes it after
// the backup step.
void ClipLinksTest::applyToClpiKeepsTheChangeUntilSave() {
    Window w(false);
    TfMain& m = w.window;
    lumora::TMPLS menu;
    const std::string menuPath = w.info.folder + "PLAYLIST/00001.mpls";
    QVERIFY(lumora::parsePlaylist(lumora::test::readFile(menuPath), "00001.mpls", menu).good());
    menu.playList.playItems[0].stn.ig[0].language = "deu";
    lumora::writeFileSafely(menuPath, lumora::playlistBytes(menu));
    const lumora::Bytes original = lumora::test::readFile(w.clipPath("00001"));

    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    m.playlistTab->selector()->setCurrentIndex(1);
    m.playlistTab->readSelected();
    m.playlistTab->playItemsView->bApply2CI->click();

    QCOMPARE(m.PageControl->currentIndex(), int(TfMain::kClipinf));
    QVERIFY(lumora::test::readFile(w.clipPath("00001")) == original);
    QCOMPARE(m.clipinfTab->clip().programInfo.programSequences[0].streams[1].igLanguage,
             std::string("deu"));
    m.refreshCaption();
    QVERIFY(m.windowTitle().endsWith(" *"));

    m.bSave->click();
    QVERIFY(!m.windowTitle().endsWith(" *"));
    const lumora::TCLPI saved = w.parsedClip("00001");
    QCOMPARE(saved.programInfo.programSequences[0].streams[1].igLanguage, std::string("deu"));
    QVERIFY(saved == m.clipinfTab->clip());
    QCOMPARE(m.clipinfTab->selector()->currentText(), QString("00001"));
    QVERIFY(lumora::test::readFile(w.clipPath("00001") + ".backup") == original);
}

QTEST_MAIN(ClipLinksTest)
#include "clip_links_test.moc"
