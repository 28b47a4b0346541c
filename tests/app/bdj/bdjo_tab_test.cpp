// The BD-J objects tab on the demo disc and on the real sample: every field,
// grid and check box, the chosen application's parts, a double-clicked
// playlist opening on the PLAYLIST tab, the BDMV tab's BD-J title reading its
// object, and a file of another kind leaving the views reset.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/bdj/bdjo_tab.h"
#include "app/bdmv/bdmv_tab.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/main_window.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

using namespace lumora::app;
namespace fs = std::filesystem;

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QStringList row(const StringGrid& grid, int gridRow) {
    QStringList cells;
    for (int col = 0; col <= grid.dataColumns(); ++col)
        cells << grid.cell(col, gridRow);
    return cells;
}

QStringList keysChecked(const BdjoTab& tab) {
    QStringList keys;
    for (const QCheckBox* box : tab.cbKeys) {
        if (box->isChecked()) keys << box->text();
    }
    return keys;
}

struct Window {
    Window() {
        folder = lumora::makeDemoDisc(dir / "disc").folder;
        if (!lumora::test::samplesDir().empty())
            fs::copy_file(lumora::test::samplesDir() + "/files/00000.bdjo",
                          folder + "BDJO/00002.bdjo");
        lumora::test::writeFile(folder + "BDJO/00003.bdjo",
                                std::string_view("XXXX0200 not a BD-J object"));
        window.settingsFactory = [file = q(dir / "settings.ini")] {
            return std::make_unique<QSettings>(file, QSettings::IniFormat);
        };
        window.fileErrorBox = [](const QString&) {};
        window.startUp({q(folder + "index.bdmv")});
        window.resize(1000, 700);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    BdjoTab& tab() { return *window.bdjoTab; }
    void read(const QString& entry) {
        tab().selector()->setCurrentIndex(tab().selector()->findText(entry));
        tab().readButton()->click();
    }
    lumora::test::TempDir dir;
    std::string folder;
    TfMain window;
};

}  // namespace

class BdjoTabTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void demoObjectFieldByField();
    void realSampleAsLibblurayReadsIt();
    void playlistsAndTitlesLeadAcrossTabs();
    void anotherKindOfFileLeavesTheViewsReset();
};

void BdjoTabTest::demoObjectFieldByField() {
    Window w;
    w.read("00001");
    BdjoTab& t = w.tab();
    QCOMPARE(t.eDefaultFont->text(), QString("*****"));
    QCOMPARE(t.heHavi->text(), QString("1"));
    QVERIFY(!t.cbMenuCallMask->isChecked() && !t.cbTitleSearchMask->isChecked());
    QCOMPARE(row(*t.sgAppCache, 1), (QStringList{"0", "1", "00001", "*.*"}));
    QVERIFY(!t.cbAccessToAll->isChecked());
    QVERIFY(t.cbAutostartFirst->isChecked());
    QCOMPARE(t.sgPlaylists->dataRows(), 2);
    QCOMPARE(row(*t.sgPlaylists, 2), (QStringList{"1", "00002"}));
    // One application: shown with its parts, in a grid that takes no
    // choice but scrolls to its last column.
    QCOMPARE(row(*t.sgApplications, 1),
             (QStringList{"0", "1", "1", "56789ABC", "4001", "00", "3", "3", "2", "", "00001", "",
                          "lumora.demo.GameXlet", "1", "1", "2"}));
    QCOMPARE(t.sgApplications->selectionMode(), QAbstractItemView::NoSelection);
    QVERIFY(t.sgApplications->isEnabled());
    QCOMPARE(row(*t.sgProfiles, 1), (QStringList{"1", "0001", "1.0.0"}));
    QCOMPARE(row(*t.sgNames, 1), (QStringList{"1", "eng", "Lumora demo game"}));
    QCOMPARE(row(*t.sgParameters, 2), (QStringList{"2", "mode=demo"}));
    QCOMPARE(keysChecked(t), (QStringList{"Play", "Stop", "Pause"}));
    QCOMPARE(t.eDirectoryPath->text(), QString("00001"));
}

void BdjoTabTest::realSampleAsLibblurayReadsIt() {
    if (lumora::test::samplesDir().empty()) QSKIP("no samples");
    Window w;
    w.read("00002");
    BdjoTab& t = w.tab();
    // The values libbluray gives for the sample.
    QCOMPARE(t.eDefaultFont->text(), QString("*****"));
    QCOMPARE(t.heHavi->text(), QString("1"));
    QCOMPARE(row(*t.sgAppCache, 1), (QStringList{"0", "1", "00000", "*.*"}));
    QVERIFY(t.cbAccessToAll->isChecked());
    QVERIFY(!t.cbAutostartFirst->isChecked());
    QCOMPARE(row(*t.sgPlaylists, 1), (QStringList{"0", "00001"}));
    QCOMPARE(t.sgApplications->dataRows(), 1);
    QCOMPARE(t.sgApplications->cell(12, 1), QString("com.hdcookbook.gunbunny.GunBunnyXlet"));
    QCOMPARE(t.cbKeys.size(), keysChecked(t).size() + 0u);
    QCOMPARE(t.eDirectoryPath->text(), QString("."));
}

void BdjoTabTest::playlistsAndTitlesLeadAcrossTabs() {
    Window w;
    // The BD-J title on the BDMV tab reads its object on the BDJO tab.
    emit w.window.bdmvTab->bdjTitleActivated(0);
    QCOMPARE(w.window.PageControl->currentIndex(), static_cast<int>(TfMain::kBdjo));
    QCOMPARE(w.tab().eDirectoryPath->text(), QString("00001"));
    // A double-clicked accessible playlist opens on the PLAYLIST tab.
    emit w.tab().sgPlaylists->cellDoubleClicked(1, 0);
    QCOMPARE(w.window.PageControl->currentIndex(), static_cast<int>(TfMain::kPlaylist));
    QCOMPARE(w.window.playlistTab->selector()->currentText(), QString("00002"));
}

void BdjoTabTest::anotherKindOfFileLeavesTheViewsReset() {
    Window w;
    w.read("00001");
    QVERIFY(!w.tab().eDirectoryPath->text().isEmpty());
    w.read("00003");
    QVERIFY(w.tab().eDefaultFont->text().isEmpty());
    QVERIFY(w.tab().eDirectoryPath->text().isEmpty());
    QVERIFY(!w.tab().sgApplications->isEnabled());
    QCOMPARE(w.tab().sgPlaylists->cell(1, 1), QString());
    QCOMPARE(w.tab().sgProfiles->cell(1, 1), QString());
    QVERIFY(keysChecked(w.tab()).isEmpty());
}

QTEST_MAIN(BdjoTabTest)
#include "bdjo_tab_test.moc"
