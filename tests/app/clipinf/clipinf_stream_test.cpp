// The stream buttons of the CLIPINF tab on the demo disc (whose menu clip
// carries the demo menu on PID 0x1400): "Save P&ID" with its names, modes and
// Output folder, progress, Cancel and file errors; "-> M&enu" handing the menu
// file to the Menu tab.
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/clipinf/clipinf_context.h"
#include "app/clipinf/clipinf_grids.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/menu/menu_tab.h"
#include "app/shell/main_window.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

using namespace lumora::app;
namespace fs = std::filesystem;

namespace {

// A sink whose event processing runs what the test wants (a Cancel press,
// a look at the buttons during the run).
struct EventSink : lumora::RecordingSink {
    std::function<void()> duringRun;
    bool progressSeen = false;
    void processEvents() override {
        progressSeen = progressSeen || progressOn;
        if (duringRun) duringRun();
    }
};

struct Tab {
    Tab() : info(lumora::makeDemoDisc(dir / "disc")) {
        fs::create_directory(dir.path() / "out");
        ClipinfContext c;
        c.reporter = &reporter;
        c.disc = [this] {
            lumora::RecordingSink quiet;
            lumora::Reporter scan(quiet);
            lumora::DiscFolder disc;
            disc.folder = info.folder;
            lumora::readFolder(disc, scan, {});
            return disc;
        };
        c.outputFolder = [this] { return output; };
        c.savePidFormat = [this] { return format; };
        c.menuTempPath = [this] { return dir / "Lumora_MENU.tmp"; };
        c.openMenuFile = [this](const QString& path) { opened << path; };
        c.showFileError = [this](const QString& message) { fileErrors << message; };
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
    void selectStream(int row) { selectGridRow(tab.programInfoView->sgCI, row); }
    QStringList log() const {
        QStringList lines;
        for (const std::string& line : sink.texts())
            lines << QString::fromStdString(line).trimmed();
        return lines;
    }

    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
    EventSink sink;
    lumora::Reporter reporter{sink};
    QString output = QString::fromStdString(dir / "out/");
    lumora::SavePidFormat format;
    QStringList opened;
    QStringList fileErrors;
    ClipinfTab tab;
};

}  // namespace

class ClipinfStreamTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void savePidNamesTheFileAndChoosesTheMode();
    void savePidWithoutOutputFolderWritesBesideBdmv();
    void savePidRunsInProgressModeAndCanBeCancelled();
    void savePidReportsAFileThatCannotBeWritten();
    void toMenuHandsTheMenuFileToTheMenuTab();
    void toMenuOpensTheMenuInTheWindow();
};

void ClipinfStreamTest::savePidNamesTheFileAndChoosesTheMode() {
    Tab t;
    t.read("00001");
    QVERIFY(t.tab.bSavePID->isEnabled());
    t.selectStream(2);  // IG 1400: a menu file with the options' defaults
    const auto menu = t.tab.savePid();
    QVERIFY(menu);
    const std::string expected = t.dir / "out/00001_PID1400_IG_eng.mnu";
    QCOMPARE(QString::fromStdString(*menu), QString::fromStdString(expected));
    QVERIFY(lumora::test::readFile(expected) == lumora::test::readFile(t.dir / "disc/demo.mnu"));
    const QStringList log = t.log();
    QVERIFY(log.contains(QString::fromStdString("Saving " + expected + " ...")));
    QVERIFY(log.last().endsWith(" source packets saved. (0:00:00)"));
    QVERIFY(log.last().startsWith("266 "));
    QCOMPARE(log.filter(QRegularExpression("^0002BF20, 0002BC74 : ")).size(), 1);
    QCOMPARE(QString::fromStdString(t.sink.panel[0]), QString("Ready."));
    QVERIFY(t.reporter.confirmCancel());

    // "Save PES stream (not elementary)": the video's transport payloads.
    t.format.savePes = true;
    t.selectStream(1);
    const auto video = t.tab.savePid();
    QVERIFY(video);
    QCOMPARE(QString::fromStdString(*video),
             QString::fromStdString(t.dir / "out/00001_PID1011_AVC_1080p_23.976_16_9.PES.vis"));
    QVERIFY(fs::file_size(*video) > 0);
}

void ClipinfStreamTest::savePidWithoutOutputFolderWritesBesideBdmv() {
    Tab t;
    t.output.clear();
    t.read("00000");
    t.selectStream(1);
    const auto saved = t.tab.savePid();
    QVERIFY(saved);
    QCOMPARE(QString::fromStdString(*saved),
             QString::fromStdString(t.dir / "disc/00000_PID1011_AVC_1080p_23.976_16_9.vis"));
    QVERIFY(fs::exists(*saved));
}

void ClipinfStreamTest::savePidRunsInProgressModeAndCanBeCancelled() {
    Tab t;
    t.read("00001");
    t.selectStream(2);
    bool buttonsWaited = true;
    t.sink.duringRun = [&] {
        buttonsWaited = buttonsWaited && !t.tab.bSavePID->isEnabled() &&
                        !t.tab.bToMenu->isEnabled() && !t.tab.readButton()->isEnabled();
    };
    QVERIFY(t.tab.savePid());
    QVERIFY(t.sink.progressSeen);
    QVERIFY(buttonsWaited);
    QVERIFY(!t.sink.progressOn);
    QVERIFY(t.tab.bSavePID->isEnabled());
    QVERIFY(t.tab.bToMenu->isEnabled());
    QVERIFY(t.tab.readButton()->isEnabled());

    // Cancel during the run: after a PID save it asks first.
    t.sink.duringRun = [&] { t.reporter.cancel(); };
    QVERIFY(!t.tab.savePid());
    QCOMPARE(t.sink.questions.back(), std::string("Are you sure to stop?"));
    QCOMPARE(t.log().last(), QString("Saving cancelled."));
    QVERIFY(t.tab.bSavePID->isEnabled());
}

void ClipinfStreamTest::savePidReportsAFileThatCannotBeWritten() {
    Tab t;
    t.output = QString::fromStdString(t.dir / "missing/");
    t.read("00001");
    t.selectStream(1);
    QVERIFY(!t.tab.savePid());
    QCOMPARE(t.fileErrors.size(), 1);
    QVERIFY(t.fileErrors[0].contains("missing"));
    QVERIFY(!t.sink.progressOn);
    QVERIFY(t.tab.bSavePID->isEnabled());
}

void ClipinfStreamTest::toMenuHandsTheMenuFileToTheMenuTab() {
    Tab t;
    QSignalSpy started(&t.tab, &ClipinfTab::menuExtractionRequested);
    t.read("00001");
    t.selectStream(1);
    QVERIFY(!t.tab.bToMenu->isEnabled());
    QVERIFY(!t.tab.extractMenu());  // not an IG stream
    t.selectStream(2);
    QVERIFY(t.tab.bToMenu->isEnabled());
    QCOMPARE(t.tab.bToMenu->toolTip(), QString("Load to Menu"));
    t.tab.bToMenu->click();
    QCOMPARE(started.count(), 1);
    const QString temp = QString::fromStdString(t.dir / "Lumora_MENU.tmp");
    QCOMPARE(t.opened, QStringList{temp});
    QVERIFY(lumora::test::readFile(temp.toStdString()) ==
            lumora::test::readFile(t.dir / "disc/demo.mnu"));
    QVERIFY(t.log().filter(QRegularExpression("^0002BF20, 0002BC74 : ")).size() == 1);
    QVERIFY(!t.sink.progressOn);

    // Cancelled: nothing is handed on.
    t.sink.duringRun = [&] { t.reporter.cancel(); };
    QVERIFY(!t.tab.extractMenu());
    QCOMPARE(t.opened.size(), 1);
    QCOMPARE(t.log().last(), QString("Saving cancelled."));
}

// In the main window the menu of "-> M&enu" opens on the Menu tab; the last
// menu file name stays as it was.
void ClipinfStreamTest::toMenuOpensTheMenuInTheWindow() {
    lumora::test::TempDir dir;
    const QString folder = QString::fromStdString(lumora::makeDemoDisc(dir / "disc").folder);
    const QString settings = QString::fromStdString(dir / "settings.ini");
    TfMain window;
    window.settingsFactory = [settings] {
        return std::make_unique<QSettings>(settings, QSettings::IniFormat);
    };
    QStringList fileErrors;
    window.fileErrorBox = [&fileErrors](const QString& message) { fileErrors << message; };
    window.startUp({folder + "index.bdmv"});
    window.PageControl->setCurrentIndex(TfMain::kClipinf);
    ClipinfTab& tab = *window.clipinfTab;
    tab.selector()->setCurrentIndex(tab.selector()->findText("00001"));
    tab.readSelected();
    selectGridRow(tab.programInfoView->sgCI, 2);
    QVERIFY(tab.bToMenu->isEnabled());
    tab.bToMenu->click();

    QCOMPARE(window.PageControl->currentIndex(), static_cast<int>(TfMain::kMenu));
    QVERIFY(window.menuTab->menuLoaded());
    QCOMPARE(window.menuTab->menu().ics.pages.size(), std::size_t{2});
    QCOMPARE(window.menuTab->menuFileName(), QString("mymenu"));
    QVERIFY(fileErrors.isEmpty());
}

QTEST_MAIN(ClipinfStreamTest)
#include "clipinf_stream_test.moc"
