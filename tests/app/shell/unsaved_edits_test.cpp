// Unsaved edits: every structure knows whether it differs from its file, the
// caption shows it, and whatever would drop the edits asks first.
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/index_view.h"
#include "app/bdmv/sound_view.h"
#include "app/clipinf/clipinf_info_view.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/menu/menu_tab.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/main_window.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "support/test_support.h"

using namespace lumora::app;

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// A window on a fresh demo disc whose questions and dialogs are answered by
// the test.
struct Window {
    Window() : info(lumora::makeDemoDisc(dir / "disc")) {
        const QString settings = q(dir / "settings.ini");
        window.settingsFactory = [settings] {
            return std::make_unique<QSettings>(settings, QSettings::IniFormat);
        };
        window.fileErrorBox = [](const QString& message) { qWarning("%s", qPrintable(message)); };
        window.saveQuestion = [this](const QString& name) {
            asked << name;
            return answer;
        };
        window.menuTab->setSaveChooser([this](const MenuFileRequest&) { return menuSavePath; });
        window.startUp({q(info.folder + "index.bdmv")});
        window.resize(1280, 1024);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    ~Window() { window.shutDown(); }

    lumora::Bytes file(const std::string& relative) const {
        return lumora::test::readFile(info.folder + relative);
    }
    bool captionMarked() {
        window.refreshCaption();
        return window.windowTitle().endsWith(" *");
    }

    lumora::test::TempDir dir;
    lumora::DemoDiscInfo info;
    TfMain window;
    QStringList asked;
    SaveChoice answer = SaveChoice::Discard;
    QString menuSavePath;
};

enum class Structure { Index, Sound, Playlist, Clip, Menu };

// What the edit changed on disk once it is saved.
struct Edited {
    QString name;      // as the question names it
    std::string file;  // relative to the BDMV folder; "" for the menu
};

// Edits one structure through its view, as a user would.
Edited edit(Window& w, Structure structure) {
    TfMain& m = w.window;
    switch (structure) {
        case Structure::Index:
            m.PageControl->setCurrentIndex(TfMain::kBdmv);
            m.bdmvTab->indexView->bInsTitle->click();
            return {"index.bdmv", "index.bdmv"};
        case Structure::Sound:
            m.PageControl->setCurrentIndex(TfMain::kBdmv);
            m.bdmvTab->soundView->sgSounds->setGridCursor(1, 1);
            m.bdmvTab->soundView->deleteEntry();
            return {"sound.bdmv", "AUXDATA/sound.bdmv"};
        case Structure::Playlist:
            m.PageControl->setCurrentIndex(TfMain::kPlaylist);
            m.playlistTab->readSelected();
            m.playlistTab->playItemsView->insertPlayItem();
            return {"00000.mpls", "PLAYLIST/00000.mpls"};
        case Structure::Clip: {
            m.PageControl->setCurrentIndex(TfMain::kClipinf);
            m.clipinfTab->readSelected();
            QComboBox* type = m.clipinfTab->clipInfoView->cbApplitype;
            const int other = type->currentIndex() == 0 ? 1 : 0;
            type->setCurrentIndex(other);
            emit type->activated(other);
            return {"00000.clpi", "CLIPINF/00000.clpi"};
        }
        case Structure::Menu:
            m.PageControl->setCurrentIndex(TfMain::kMenu);
            m.menuTab->loadMenuFile(q(w.dir / "disc/demo.mnu"));
            m.menuTab->createPage();
            return {"demo.mnu", ""};
    }
    return {};
}

}  // namespace

Q_DECLARE_METATYPE(Structure)
Q_DECLARE_METATYPE(SaveChoice)

class UnsavedEditsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void readingAFolderAsksAboutEachStructure_data();
    void readingAFolderAsksAboutEachStructure();
    void lookingIsNotEditing();
    void closingTheWindowAsks();
    void readingAnotherPlaylistAsksAndCancelKeepsTheSelector();
    void jumpToTheShownClipKeepsItsEdits();
    void aFailedReadClearsTheCaption();
};

void UnsavedEditsTest::readingAFolderAsksAboutEachStructure_data() {
    QTest::addColumn<Structure>("structure");
    QTest::addColumn<SaveChoice>("choice");
    const std::pair<const char*, Structure> structures[] = {{"index", Structure::Index},
                                                            {"sound", Structure::Sound},
                                                            {"playlist", Structure::Playlist},
                                                            {"clip", Structure::Clip},
                                                            {"menu", Structure::Menu}};
    const std::pair<const char*, SaveChoice> choices[] = {{"save", SaveChoice::Save},
                                                          {"discard", SaveChoice::Discard},
                                                          {"cancel", SaveChoice::Cancel}};
    for (const auto& [sname, structure] : structures) {
        for (const auto& [cname, choice] : choices)
            QTest::addRow("%s, %s", sname, cname) << structure << choice;
    }
}

// Save writes the structure and reads the folder; Discard reads it over the
// edits; Cancel keeps everything as it is, edits and caption included.
void UnsavedEditsTest::readingAFolderAsksAboutEachStructure() {
    QFETCH(Structure, structure);
    QFETCH(SaveChoice, choice);
    Window w;
    QVERIFY(!w.captionMarked());
    QVERIFY(!w.window.anyEdited());
    w.menuSavePath = q(w.dir / "saved.mnu");
    const Edited edited = edit(w, structure);
    const lumora::Bytes before = edited.file.empty() ? lumora::Bytes{} : w.file(edited.file);
    QVERIFY(w.window.anyEdited());
    QVERIFY(w.captionMarked());

    w.answer = choice;
    w.window.readFolder();
    QCOMPARE(w.asked, QStringList{edited.name});
    const bool written =
        edited.file.empty() ? QFileInfo::exists(w.menuSavePath) : w.file(edited.file) != before;
    QCOMPARE(written, choice == SaveChoice::Save);
    QCOMPARE(w.window.anyEdited(), choice == SaveChoice::Cancel);
    QCOMPARE(w.captionMarked(), choice == SaveChoice::Cancel);
    // A folder Read empties the Menu tab; Cancel kept it.
    if (structure == Structure::Menu)
        QCOMPARE(w.window.menuTab->menuLoaded(), choice == SaveChoice::Cancel);
}

// Reading, showing and playing change no structure: every tab and inner
// page visited, the menu played, and nothing counts as edited.
void UnsavedEditsTest::lookingIsNotEditing() {
    Window w;
    TfMain& m = w.window;
    m.menuTab->loadMenuFile(q(w.dir / "disc/demo.mnu"));
    for (int tab = 0; tab < m.PageControl->count(); ++tab) {
        m.PageControl->setCurrentIndex(tab);
        QCoreApplication::processEvents();
    }
    m.playlistTab->readSelected();
    m.clipinfTab->readSelected();
    m.PageControl->setCurrentIndex(TfMain::kMenu);
    for (int page = 0; page < m.menuTab->pcMenu->count(); ++page) {
        m.menuTab->pcMenu->setCurrentIndex(page);
        QTest::qWait(50);
    }
    m.menuTab->selectPage(1);
    QTest::qWait(50);
    QVERIFY(!m.anyEdited());
    QVERIFY(!w.captionMarked());
}

void UnsavedEditsTest::closingTheWindowAsks() {
    Window w;
    edit(w, Structure::Playlist);
    edit(w, Structure::Index);
    w.answer = SaveChoice::Cancel;
    QVERIFY(!w.window.close());
    QVERIFY(w.window.isVisible());
    // One question at a time: Cancel on the first ends the round.
    QCOMPARE(w.asked, QStringList{"index.bdmv"});

    w.asked.clear();
    w.answer = SaveChoice::Discard;
    QVERIFY(w.window.close());
    QCOMPARE(w.asked, (QStringList{"index.bdmv", "00000.mpls"}));
}

// Choosing another playlist over edits asks; Cancel leaves the playlist and
// its selector as they were, Save writes it before the other is read.
void UnsavedEditsTest::readingAnotherPlaylistAsksAndCancelKeepsTheSelector() {
    Window w;
    edit(w, Structure::Playlist);
    PlaylistTab& tab = *w.window.playlistTab;
    const std::size_t items = tab.playlist().playList.playItems.size();

    w.answer = SaveChoice::Cancel;
    QVERIFY(tab.choosePlaylist("00001"));
    QCOMPARE(w.asked, QStringList{"00000.mpls"});
    QCOMPARE(tab.selector()->currentText(), QString("00000"));
    QCOMPARE(tab.playlist().playList.playItems.size(), items);
    QVERIFY(tab.edited());

    w.answer = SaveChoice::Save;
    QVERIFY(tab.choosePlaylist("00001"));
    QCOMPARE(tab.document().entry, std::string("00001"));
    QVERIFY(!tab.edited());
    lumora::TMPLS saved;
    QVERIFY(lumora::parsePlaylist(w.file("PLAYLIST/00000.mpls"), "00000.mpls", saved).good());
    QCOMPARE(saved.playList.playItems.size(), items);
}

// "Jump to Clip" on the clip shown brings it to the front without reading it
// again, and so does the clip tab's Find: the edits stay, nothing is asked.
void UnsavedEditsTest::jumpToTheShownClipKeepsItsEdits() {
    Window w;
    edit(w, Structure::Clip);
    const lumora::TCLPI edited = w.window.clipinfTab->clip();
    w.window.PageControl->setCurrentIndex(TfMain::kPlaylist);
    w.window.playlistTab->readSelected();
    emit w.window.playlistTab->clipRequested("00000");
    QCOMPARE(w.window.PageControl->currentIndex(), int(TfMain::kClipinf));
    QVERIFY(w.asked.isEmpty());
    QVERIFY(w.window.clipinfTab->clip() == edited);
    QVERIFY(w.window.clipinfTab->edited());
    w.window.bFind->click();
    QVERIFY(w.asked.isEmpty());
    QVERIFY(w.window.clipinfTab->clip() == edited);
}

void UnsavedEditsTest::aFailedReadClearsTheCaption() {
    Window w;
    QCOMPARE(w.window.windowTitle(), QString("Lumora v0.36b [disc]"));
    w.window.setFolderText(q(w.dir / "nowhere/BDMV/"));
    w.window.readFolder();
    QCOMPARE(w.window.windowTitle(), QString("Lumora v0.36b"));
}

QTEST_MAIN(UnsavedEditsTest)
#include "unsaved_edits_test.moc"
