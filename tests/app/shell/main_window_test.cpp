#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextBlock>
#include <QtTest>
#include <map>
#include <QAbstractButton>
#include <filesystem>
#include <memory>

#include "app/about/about_tab.h"
#include "app/bdj/bdjo_tab.h"
#include "app/bdmv/bdmv_tab.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/menu/menu_tab.h"
#include "app/options/options_tab.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/gui_sink.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/shell/tab_bar.h"
#include "app/status/status_tab.h"
#include "app_test_support.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

using namespace lumora::app;
namespace fs = std::filesystem;

namespace {

// A window whose settings live in a private file and whose boxes never block.
struct Window {
    explicit Window(const QString& settingsFile) {
        window.settingsFactory = [settingsFile] {
            return std::make_unique<QSettings>(settingsFile, QSettings::IniFormat);
        };
        window.fileErrorBox = [this](const QString& message) { fileErrors << message; };
        window.folderChooser = [this](const QString& start) {
            chooserStarts << start;
            return chosen;
        };
    }
    TfMain window;
    QStringList fileErrors;
    QStringList chooserStarts;
    QString chosen;
};

QStringList logLines(TfMain& window) {
    return window.statusTab->reMessage->lines();
}

// The letter after a single "&" of a caption, lower case; none for "&&".
QChar acceleratorOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// Every accelerator the window offers as it stands: the main tabs' captions,
// the inner tabs shown, and the captions of the buttons, boxes, labels and
// groups that are visible.  A letter listed twice is a clash.
QStringList acceleratorClashes(TfMain& window) {
    std::map<QChar, QStringList> owners;
    const auto add = [&owners](const QString& text, const QString& owner) {
        const QChar letter = acceleratorOf(text);
        if (!letter.isNull()) owners[letter] << owner + " \"" + text + "\"";
    };
    for (int i = 0; i < window.PageControl->count(); ++i)
        add(window.PageControl->tabText(i), "tab");
    for (QTabWidget* inner : window.findChildren<QTabWidget*>()) {
        if (inner == window.PageControl || !inner->isVisible()) continue;
        for (int i = 0; i < inner->count(); ++i)
            add(inner->tabText(i), "inner tab");
    }
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible()) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            add(button->text(), button->objectName());
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) {
            add(label->text(), "label of " + label->buddy()->objectName());
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            add(group->title(), group->objectName());
        }
    }
    QStringList clashes;
    for (const auto& [letter, list] : owners) {
        if (list.size() > 1) clashes << QString(letter) + ": " + list.join(", ");
    }
    return clashes;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frameHasTheTabsInOrder();
    void startOnADiscReadsItAndSetsTheTitle();
    void tabRoles();
    void tabChangeDuringALongOperation();
    void logShowsTheMarkupAsStyles();
    void errorDisplayLastsUntilTheNextReport();
    void cancelProtocol();
    void autoReadOnEnteringATab();
    void chosenFolderGetsBdmvAndIsRead();
    void droppedFileSetsTheNameSetAndReads();
    void settingsRoundTrip();
    void shutdownDeletesTemporaryFiles();
    void wheelOnTheAboutTabScrollsTheChangeLog();
    void keyCodeOnThePageView();
    void tabCaptionsDropTheirAccelerator();
    void altLetterSelectsATab();
    void noLetterBelongsToTwoControls();

private:
    QString settingsFile() const {
        return QString::fromStdString(dir_->path().string()) + "/settings.ini";
    }
    std::unique_ptr<lumora::test::TempDir> dir_;
    QString demoFolder_;
};

void MainWindowTest::initTestCase() {
    lumora::apptest::isolateSettings();
    dir_ = std::make_unique<lumora::test::TempDir>();
    demoFolder_ = QString::fromStdString(lumora::makeDemoDisc(*dir_ / "disc/Demo Disc").folder);
}

void MainWindowTest::frameHasTheTabsInOrder() {
    Window w(settingsFile());
    const QStringList captions{"&BDMV", "&PLAYLIST", "&CLIPINF", "&Menu",
                               "BD&JO", "&Options",  "S&tatus",  "&About"};
    QCOMPARE(w.window.PageControl->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(w.window.PageControl->tabText(i), captions[i]);
    QCOMPARE(w.window.PageControl->widget(TfMain::kMenu), w.window.menuTab);
    QCOMPARE(w.window.minimumSize(), QSize(913, 605));
    QCOMPARE(w.window.windowTitle(), QString("Lumora v0.36b"));
    QVERIFY(!w.window.bCancel->isEnabled());
    const QStringList inner{"BOGs", "Effects", "Objects", "Page view"};
    for (int i = 0; i < inner.size(); ++i)
        QCOMPARE(w.window.menuTab->pcMenu->tabText(i), inner[i]);
}

void MainWindowTest::startOnADiscReadsItAndSetsTheTitle() {
    Window w(settingsFile());
    w.window.startUp({demoFolder_ + "index.bdmv"});
    QCOMPARE(w.window.windowTitle(), QString("Lumora v0.36b [Demo Disc]"));
    QCOMPARE(w.window.folderText(), demoFolder_);
    const QStringList log = logLines(w.window);
    QVERIFY(log.contains(" Checking required files and directories..."));
    QVERIFY(log.contains("   Found 2 AV streams"));
    QCOMPARE(w.window.statusLine->panelText(0), QString("Ready."));
    QCOMPARE(w.window.playlistTab->selector()->count(), 3);
    QVERIFY(w.window.playlistTab->readButton()->isEnabled());
    QVERIFY(w.window.bdmvTab->bReadBDMV->isEnabled());
    QVERIFY(w.window.bdmvTab->gbSound->isVisibleTo(&w.window));  // the demo has sound.bdmv
    QVERIFY(w.fileErrors.isEmpty());
}

void MainWindowTest::tabRoles() {
    Window w(settingsFile());
    w.window.startUp({});
    TfMain& m = w.window;
    const struct {
        int tab;
        bool save, execute, navigate, registers, find, load, mux;
        const char* hint;
    } cases[] = {
        {TfMain::kBdmv, true, true, false, true, false, false, false, "Save the bdmv files"},
        {TfMain::kPlaylist, true, false, false, false, true, false, false, "Save .mpls"},
        {TfMain::kClipinf, true, false, false, false, true, false, false, "Save .clpi"},
        {TfMain::kMenu, true, true, true, true, false, true, true, "Save the IGS menu (*.mnu)"},
        {TfMain::kBdjo, true, false, false, false, false, false, false, "Save"},
        {TfMain::kOptions, false, false, false, false, false, false, false, "Save"},
        {TfMain::kStatus, false, false, false, true, false, false, false, "Save"},
        {TfMain::kAbout, false, false, false, false, false, false, false, "Save"},
    };
    for (const auto& c : cases) {
        m.PageControl->setCurrentIndex(c.tab);
        const QByteArray tab = m.PageControl->tabText(c.tab).toUtf8();
        QVERIFY2(m.bSave->isVisibleTo(&m) == c.save, tab);
        QVERIFY2(m.pExecute->isVisibleTo(&m) == c.execute, tab);
        QVERIFY2(m.pNavigate->isVisibleTo(&m) == c.navigate, tab);
        QVERIFY2(m.pRegisters->isVisibleTo(&m) == c.registers, tab);
        QVERIFY2(m.bFind->isVisibleTo(&m) == c.find, tab);
        QVERIFY2(m.bLoadMenu->isVisibleTo(&m) == c.load, tab);
        QVERIFY2(m.bMux->isVisibleTo(&m) == c.mux, tab);
        QCOMPARE(m.bSave->toolTip(), QString(c.hint));
        // Nothing is loaded: every Save stays disabled, so does Start.
        QVERIFY2(!m.bSave->isEnabled(), tab);
        QVERIFY2(!m.bStart->isEnabled(), tab);
    }
    // On the Menu tab before any menu exists: Save, Mux and Start disabled,
    // Load enabled; the execute panel shows the button selector.
    m.PageControl->setCurrentIndex(TfMain::kMenu);
    QVERIFY(!m.bMux->isEnabled());
    QVERIFY(m.bLoadMenu->isEnabled());
    QVERIFY(m.cbButton->isVisibleTo(&m));
    QVERIFY(!m.cbObject->isVisibleTo(&m));
    m.PageControl->setCurrentIndex(TfMain::kBdmv);
    QVERIFY(m.cbObject->isVisibleTo(&m));
    QVERIFY(!m.cbButton->isVisibleTo(&m));

    // 8.3 names change the save hint's extension at once.
    w.window.optionsTab->setUse83(true);
    m.PageControl->setCurrentIndex(TfMain::kPlaylist);
    QCOMPARE(m.bSave->toolTip(), QString("Save .MPL"));
    w.window.optionsTab->setUse83(false);
}

void MainWindowTest::tabChangeDuringALongOperation() {
    Window w(settingsFile());
    w.window.startUp({});
    TfMain& m = w.window;
    m.PageControl->setCurrentIndex(TfMain::kBdmv);
    m.reporter().PrBarOn();
    QVERIFY(m.progressBar->isVisibleTo(&m));
    QVERIFY(!m.lWebLink->isVisibleTo(&m));
    QVERIFY(!m.pRegisters->isVisibleTo(&m));
    QVERIFY(m.bCancel->isEnabled());

    m.PageControl->setCurrentIndex(TfMain::kStatus);  // roles of the new tab at once
    QVERIFY(m.pRegisters->isVisibleTo(&m));
    QVERIFY(!m.bSave->isVisibleTo(&m));
    QVERIFY(m.bCancel->isEnabled());

    m.PageControl->setCurrentIndex(TfMain::kMenu);
    m.reporter().PrBarOff();  // and again when the operation ends
    QVERIFY(!m.progressBar->isVisibleTo(&m));
    QVERIFY(!m.lWebLink->isVisibleTo(&m));  // the execute panel stands in its place
    QVERIFY(m.pNavigate->isVisibleTo(&m));
    QVERIFY(!m.bCancel->isEnabled());
}

void MainWindowTest::logShowsTheMarkupAsStyles() {
    Window w(settingsFile());
    lumora::Reporter& r = w.window.reporter();
    r.log("[b][re]x[/re][/b]");
    r.log("  Found [b]3[/b] playlists.");
    r.log("");
    QCOMPARE(logLines(w.window), (QStringList{" x", "   Found 3 playlists.", " "}));

    QTextDocument* document = w.window.statusTab->reMessage->document();
    const auto formatAt = [document](int block, int position) {
        QTextCursor cursor(document->findBlockByNumber(block));
        cursor.setPosition(cursor.block().position() + position + 1);
        return cursor.charFormat();
    };
    QVERIFY(formatAt(0, 1).fontWeight() == QFont::Bold);
    QCOMPARE(formatAt(0, 1).foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatAt(0, 0).fontWeight() != QFont::Bold);
    QVERIFY(formatAt(1, 9).fontWeight() == QFont::Bold);   // the 3
    QVERIFY(formatAt(1, 10).fontWeight() != QFont::Bold);  // the blank after it

    w.window.statusTab->bClear->click();
    QVERIFY(logLines(w.window).isEmpty());
}

void MainWindowTest::errorDisplayLastsUntilTheNextReport() {
    Window w(settingsFile());
    lumora::Reporter& r = w.window.reporter();
    r.erlog("Cannot create backup file.");
    QVERIFY(w.window.statusLine->errorShown());
    QCOMPARE(w.window.statusLine->panelText(0), QString("ERROR"));
    QCOMPARE(w.window.statusLine->panelText(1), QString("Cannot create backup file."));
    QCOMPARE(w.window.statusLine->toolTip(), QString("Cannot create backup file."));
    QCOMPARE(logLines(w.window).last(), QString(" ERROR: Cannot create backup file."));
    QVERIFY(r.errorFlag());
    r.slog("Ready.", 0);
    QVERIFY(!w.window.statusLine->errorShown());
    QCOMPARE(w.window.statusLine->panelText(0), QString("Ready."));
}

void MainWindowTest::cancelProtocol() {
    Window w(settingsFile());
    QStringList questions;
    bool answer = false;
    w.window.sink().asker = [&](const QString& q) {
        questions << q;
        return answer;
    };
    lumora::Reporter& r = w.window.reporter();
    r.PrBarOn();
    w.window.bCancel->click();  // before any PID save: no question
    QVERIFY(r.cancelRequested());
    QVERIFY(questions.isEmpty());
    r.PrBarOff();

    r.setConfirmCancel();
    r.PrBarOn();
    w.window.bCancel->click();
    QCOMPARE(questions, QStringList{"Are you sure to stop?"});
    QVERIFY(!r.cancelRequested());
    answer = true;
    w.window.bCancel->click();
    QVERIFY(r.cancelRequested());
    QCOMPARE(w.window.statusLine->panelText(1), QString("Cancelled."));
    r.PrBarOff();
}

void MainWindowTest::autoReadOnEnteringATab() {
    Window w(settingsFile());
    w.window.startUp({demoFolder_ + "index.bdmv"});
    QSignalSpy reads(w.window.playlistTab, &SelectorTab::readRequested);
    w.window.PageControl->setCurrentIndex(TfMain::kPlaylist);
    w.window.PageControl->setCurrentIndex(TfMain::kBdmv);
    w.window.PageControl->setCurrentIndex(TfMain::kPlaylist);
    QCOMPARE(reads.count(), 1);  // only the first entry reads
    QCOMPARE(reads.first().first().toString(), QString("00000"));
    w.window.playlistTab->selector()->setCurrentIndex(1);
    w.window.playlistTab->readButton()->click();
    QCOMPARE(reads.count(), 2);
    QCOMPARE(reads.last().first().toString(), QString("00001"));

    // A new folder Read forgets what was read.
    w.window.PageControl->setCurrentIndex(TfMain::kBdmv);
    w.window.readFolder();
    w.window.PageControl->setCurrentIndex(TfMain::kPlaylist);
    QCOMPARE(reads.count(), 3);
}

void MainWindowTest::chosenFolderGetsBdmvAndIsRead() {
    Window w(settingsFile());
    w.window.startUp({});
    w.window.setFolderText("/somewhere/Movie/BDMV/");
    const QString disc = QString::fromStdString(dir_->path().string()) + "/disc/Demo Disc";
    w.chosen = disc;
    w.window.chooseFolder();
    QCOMPARE(w.chooserStarts, QStringList{"/somewhere/Movie/"});
    QCOMPARE(w.window.folderText(), disc + "/BDMV/");
    QVERIFY(logLines(w.window).contains("   Found 3 playlists."));
    w.chosen.clear();  // a cancelled chooser changes nothing
    w.window.chooseFolder();
    QCOMPARE(w.window.folderText(), disc + "/BDMV/");
}

void MainWindowTest::droppedFileSetsTheNameSetAndReads() {
    lumora::test::TempDir dir;
    const std::string folder = lumora::makeDemoDisc(dir.path().string()).folder;
    fs::rename(folder + "index.bdmv", folder + "INDEX.BDM");
    fs::rename(folder + "MovieObject.bdmv", folder + "MOVIEOBJ.BDM");
    Window w(settingsFile());
    w.window.startUp({});
    w.window.handleDrop({QString::fromStdString(folder) + "INDEX.BDM", "/elsewhere/x.bdmv"});
    QVERIFY(w.window.optionsTab->use83());
    QCOMPARE(w.window.folderText(), QString::fromStdString(folder));
    QVERIFY(logLines(w.window).contains(" INDEX.BDM: OK"));

    // A dropped index.bdmv switches 8.3 names off; the Read then finds only
    // the 8.3 names and switches them on again.
    w.window.handleDrop({QString::fromStdString(folder) + "index.bdmv"});
    QVERIFY(w.window.optionsTab->use83());
    QVERIFY(logLines(w.window).count(" INDEX.BDM: OK") == 2);
}

void MainWindowTest::settingsRoundTrip() {
    const QString file = QString::fromStdString(dir_->path().string()) + "/roundtrip.ini";
    {
        Window first(file);
        first.window.startUp({});
        QCOMPARE(first.window.folderText(), QString());  // first start: defaults
        QVERIFY(first.window.optionsTab->autoRead());
        first.window.setFolderText(demoFolder_);
        first.window.setGeometry(40, 50, 1000, 700);
        first.window.optionsTab->setUse83(true);
        first.window.shutDown();
    }
    QSettings stored(file, QSettings::IniFormat);
    for (const char* key : {"WindowState", "Top", "Left", "Width", "Height", "BDMVdir", "AutoRead",
                            "Backup", "8.3names", "ActiDelay", "PlayerVersProf"}) {
        QVERIFY2(stored.contains(key), key);
    }
    QCOMPARE(stored.value("Width").toInt(), 1000);
    QCOMPARE(stored.value("BDMVdir").toString(), demoFolder_);

    Window second(file);
    second.window.startUp({});  // "Auto Read" reads the stored folder
    QCOMPARE(second.window.folderText(), demoFolder_);
    QCOMPARE(second.window.geometry().width(), 1000);
    QVERIFY(logLines(second.window).contains(" Checking required files and directories..."));
    // The stored 8.3 option is applied, and the Read detects the normal names.
    QVERIFY(!second.window.optionsTab->use83());
}

void MainWindowTest::shutdownDeletesTemporaryFiles() {
    const QString temp = QDir::tempPath();
    const QStringList names{"Lumora_menu_resource.tmp", "Lumora_MENU.tmp", "Lumora_IGSsave",
                            "_Lumora_tmppes"};
    for (const QString& name : names)
        lumora::test::writeFile((temp + "/" + name).toStdString(), "x");
    Window w(settingsFile());
    w.window.startUp({});
    w.window.shutDown();
    QVERIFY(!QFile::exists(temp + "/Lumora_menu_resource.tmp"));
    QVERIFY(!QFile::exists(temp + "/Lumora_MENU.tmp"));
    QVERIFY(!QFile::exists(temp + "/Lumora_IGSsave"));
    QVERIFY(QFile::exists(temp + "/_Lumora_tmppes"));  // not "Lumora_*"
    QFile::remove(temp + "/_Lumora_tmppes");
}

void MainWindowTest::wheelOnTheAboutTabScrollsTheChangeLog() {
    Window w(settingsFile());
    QPlainTextEdit* log = w.window.aboutTab->changeLog;
    log->setPlainText(QString("line\n").repeated(400));
    w.window.resize(913, 605);
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.window.PageControl->setCurrentIndex(TfMain::kAbout);
    QScrollBar* bar = log->verticalScrollBar();
    bar->setValue(10);
    const auto wheel = [&](int delta) {
        QWheelEvent event(QPointF(5, 5), log->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(log->viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(bar->value(), 12);
    wheel(120);
    QCOMPARE(bar->value(), 10);
    wheel(-59);  // less than one line
    QCOMPARE(bar->value(), 10);
}

void MainWindowTest::keyCodeOnThePageView() {
    Window w(settingsFile());
    w.window.PageControl->setCurrentIndex(TfMain::kMenu);
    w.window.menuTab->pcMenu->setCurrentIndex(MenuTab::kPageViewIndex);
    QTest::keyClick(&w.window, Qt::Key_A);
    QCOMPARE(w.window.statusLine->panelText(1), QString::number(Qt::Key_A));
}

void MainWindowTest::tabCaptionsDropTheirAccelerator() {
    int accelerator = -1;
    QCOMPARE(TabBar::captionWithoutAccelerator("S&tatus", &accelerator), QString("Status"));
    QCOMPARE(accelerator, 1);
    QCOMPARE(TabBar::captionWithoutAccelerator("Save P&ID", &accelerator), QString("Save PID"));
    QCOMPARE(accelerator, 6);
    QCOMPARE(TabBar::captionWithoutAccelerator("A && B", &accelerator), QString("A & B"));
    QCOMPARE(accelerator, -1);
}

void MainWindowTest::altLetterSelectsATab() {
    Window w(settingsFile());
    w.window.show();
    QApplication::setActiveWindow(&w.window);
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    const struct {
        Qt::Key key;
        int tab;
    } cases[] = {{Qt::Key_T, TfMain::kStatus},
                 {Qt::Key_J, TfMain::kBdjo},
                 {Qt::Key_B, TfMain::kBdmv},
                 {Qt::Key_O, TfMain::kOptions}};
    for (const auto& c : cases) {
        QTest::keyClick(&w.window, c.key, Qt::AltModifier);
        QCOMPARE(w.window.PageControl->currentIndex(), c.tab);
    }
}

void MainWindowTest::noLetterBelongsToTwoControls() {
    Window w(settingsFile());
    w.window.startUp({demoFolder_ + "index.bdmv"});
    w.window.resize(1280, 1024);
    w.window.show();
    (void)QTest::qWaitForWindowExposed(&w.window);
    QStringList clashes;
    for (int tab = 0; tab < w.window.PageControl->count(); ++tab) {
        w.window.PageControl->setCurrentIndex(tab);
        QApplication::processEvents();
        const auto inner = w.window.PageControl->currentWidget()->findChildren<QTabWidget*>();
        const int pages = inner.isEmpty() ? 1 : inner.front()->count();
        for (int page = 0; page < pages; ++page) {
            if (!inner.isEmpty()) inner.front()->setCurrentIndex(page);
            QApplication::processEvents();
            for (const QString& clash : acceleratorClashes(w.window))
                clashes << w.window.PageControl->tabText(tab) + "/" + QString::number(page) + ": " +
                               clash;
        }
    }
    clashes.removeDuplicates();
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("\n")));
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
