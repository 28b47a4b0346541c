#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "app/options/options_tab.h"
#include "app/shell/settings_store.h"
#include "app_test_support.h"

using lumora::app::LumoraSettings;
using lumora::app::OptionsTab;
using lumora::app::PlayerSettings;

namespace {

// The values the main window keeps: the page must leave them alone.
void setWindowValues(LumoraSettings& s) {
    s.windowState = lumora::app::kWindowMaximised;
    s.top = 5;
    s.left = 6;
    s.width = 1200;
    s.height = 800;
    s.hasGeometry = true;
    s.bdmvDir = QStringLiteral("/discs/Movie/BDMV/");
    s.backgroundPic = QStringLiteral("/pictures/back.png");
    s.objectHeight = 90;
    s.playListHeight = 190;
    s.subPathHeight = 130;
    s.playListMarkHeight = 140;
}

template <typename T>
T* child(const QWidget& parent, const char* name) {
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) qFatal("no child %s", name);
    return found;
}

void leaveField(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    emit edit->editingFinished();
}

}  // namespace

class OptionsTabTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }

    // With nothing stored the page shows the documented defaults.
    void firstStartShowsTheDefaults_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("checked");
        const auto row = [](const char* box, bool checked) {
            QTest::newRow(box) << QString::fromLatin1(box) << checked;
        };
        row("cbOAutoRead", true);
        row("cbOBackup", true);
        row("cbOSaveBACKUP", false);
        row("cb83names", false);
        row("cbOAssociateBDMV", false);
        row("cbOAssociateMNU", false);
        row("cbOForcedBeep", true);
        row("cbOSavePES", false);
        row("cbOSaveSUP", true);
        row("cbOSaveMNU", true);
        row("cbOButtonId", false);
        row("cbOObjectId", false);
        row("cbOButtonFrame", false);
        row("cbOWindowFrame", false);
        row("cbOPreLoad", true);
        row("cbOShowInEffects", true);
        row("cbOShowOutEffects", true);
        row("cbOShowButtonAnimation", false);
        row("cbOShowFullScreen", false);
        row("cbOBackground", false);
        row("cbOPlaySound", false);
        row("cbOAutoMenu", false);
        row("cbORealPSRs", false);
    }

    void firstStartShowsTheDefaults() {
        QFETCH(QString, box);
        QFETCH(bool, checked);
        QSettings store;  // the program's own store, empty in a test run
        OptionsTab tab;
        tab.applySettings(lumora::app::readSettings(store));
        QCOMPARE(child<QCheckBox>(tab, box.toLatin1().constData())->isChecked(), checked);
    }

    void firstStartShowsTheDefaultValues() {
        OptionsTab tab;
        tab.applySettings(LumoraSettings{});
        const lumora::BackupOptions backup = tab.backupOptions();
        QVERIFY(backup.createBackups);
        QCOMPARE(backup.mode, lumora::BackupMode::OnlyOnce);
        QVERIFY(!backup.saveToBackupDir);
        QCOMPARE(tab.chapterFormat(), 0);
        QCOMPARE(tab.programFormat(), 0);
        QCOMPARE(tab.activationDelay(), 500);
        QCOMPARE(tab.gridSize(), 15);
        QCOMPARE(tab.outputFolder(), QString());
        QCOMPARE(tab.colour(QStringLiteral("colBackground")), QColor(0, 0, 128));
        QCOMPARE(tab.colour(QStringLiteral("colSelectedButton")), QColor(255, 255, 0));
        QCOMPARE(tab.colour(QStringLiteral("colWindow")), QColor(0, 255, 0));
        QCOMPARE(child<QLineEdit>(tab, "heCountryCode")->text(), QStringLiteral("5553"));
        QCOMPARE(child<QLabel>(tab, "lCountry")->text(), QStringLiteral("US"));
        QCOMPARE(child<QLineEdit>(tab, "heAudioCap")->text(), QStringLiteral("AAAAA"));
        QCOMPARE(child<QLineEdit>(tab, "heDisplaySize")->text(), QStringLiteral("FFF"));
        QCOMPARE(child<QLineEdit>(tab, "heVersion")->text(), QStringLiteral("240"));
        QCOMPARE(child<QComboBox>(tab, "cbProfile")->currentText(), QStringLiteral("Profile 5"));
    }

    // The register values a reset takes from the default player settings.
    void defaultPlayerSettingsGiveTheStandardRegisterValues() {
        OptionsTab tab;
        tab.applySettings(LumoraSettings{});
        const PlayerSettings player = tab.playerSettings();
        QCOMPARE(player.region, 0);
        QCOMPARE(player.countryCode, 0x5553u);
        QCOMPARE(player.audioLanguage, std::string("eng"));
        QCOMPARE(player.subtitleLanguage, std::string("eng"));
        QCOMPARE(player.menuLanguage, std::string("eng"));
        QCOMPARE(player.audioCapability, 0xAAAAAu);
        QVERIFY(player.stereoscopicOutput);
        QCOMPARE(player.displayCapability, 0xFFF03u);
        QCOMPARE(player.capability3d, 0x7Fu);
        QCOMPARE(player.videoCapability, 7u);
        QCOMPARE(player.textSubtitleCapability, 0x1F0F8u);
        QCOMPARE(player.profileAndVersion(), 0x130240u);
        QVERIFY(!player.realValues);
    }

    void pageValuesRoundTripWithoutTouchingTheWindowValues() {
        LumoraSettings applied = lumora::apptest::nonDefaultSettings();
        OptionsTab tab;
        tab.applySettings(applied);

        LumoraSettings collected;
        setWindowValues(collected);
        tab.collectSettings(collected);

        setWindowValues(applied);
        QVERIFY(collected == applied);
    }

    void pageValuesRoundTripThroughTheStore() {
        QTemporaryDir folder;
        QSettings store(folder.filePath(QStringLiteral("store.ini")), QSettings::IniFormat);
        OptionsTab closing;
        closing.applySettings(lumora::apptest::nonDefaultSettings());
        LumoraSettings written;
        closing.collectSettings(written);
        lumora::app::writeSettings(store, written, false);

        OptionsTab starting;
        starting.applySettings(lumora::app::readSettings(store));
        LumoraSettings read;
        starting.collectSettings(read);
        QVERIFY(read == written);
        QCOMPARE(starting.playerSettings().profileAndVersion(), 0x080300u);
        QCOMPARE(starting.playerSettings().menuLanguage, std::string("zun"));
    }

    void versionAndProfileFromTheStore_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("profile");
        QTest::newRow("profile 5") << 0x130240 << "240"
                                   << "Profile 5";
        QTest::newRow("profile 3") << 0x080300 << "300"
                                   << "Profile 3";
        QTest::newRow("first profile") << 0x000200 << "200"
                                       << "Profile 1 before Nov 1, 2007";
        // An unknown profile code leaves the list as it was (here "Profile 2").
        QTest::newRow("unknown profile") << 0x070123 << "123"
                                         << "Profile 2";
        QTest::newRow("code of a version") << 0x024000 << "4000"
                                           << "Profile 2";
    }

    void versionAndProfileFromTheStore() {
        QFETCH(int, stored);
        QFETCH(QString, version);
        QFETCH(QString, profile);
        OptionsTab tab;
        auto* profiles = child<QComboBox>(tab, "cbProfile");
        profiles->setCurrentText(QStringLiteral("Profile 2"));
        LumoraSettings settings;
        settings.playerVersProf = stored;
        tab.applySettings(settings);
        QCOMPARE(child<QLineEdit>(tab, "heVersion")->text(), version);
        QCOMPARE(profiles->currentText(), profile);
    }

    void backupModeFollowsCreateBackupFiles_data() {
        QTest::addColumn<bool>("backup");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    void backupModeFollowsCreateBackupFiles() {
        QFETCH(bool, backup);
        OptionsTab tab;
        auto* box = child<QCheckBox>(tab, "cbOBackup");
        auto* modes = child<QWidget>(tab, "rgOBackup");

        LumoraSettings settings;
        settings.backup = backup;
        tab.applySettings(settings);
        QCOMPARE(modes->isEnabled(), backup);

        box->click();
        QCOMPARE(modes->isEnabled(), !backup);
        QCOMPARE(tab.backupOptions().createBackups, !backup);
    }

    void languageListsHoldTheWholeTable_data() {
        QTest::addColumn<QString>("list");
        QTest::newRow("audio") << "cbAudioLang";
        QTest::newRow("subtitle") << "cbPGLang";
        QTest::newRow("menu") << "cbMenuLang";
    }

    void languageListsHoldTheWholeTable() {
        QFETCH(QString, list);
        OptionsTab tab;
        auto* combo = child<QComboBox>(tab, list.toLatin1().constData());
        QCOMPARE(combo->count(), 431);
        QCOMPARE(combo->itemText(0), QStringLiteral("eng"));
        QCOMPARE(combo->itemText(1), QStringLiteral("aar"));
        QCOMPARE(combo->itemText(430), QStringLiteral("zun"));
        QCOMPARE(combo->currentIndex(), 0);
    }

    void storedLanguageSelectsItsEntry_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("english is the first entry") << "eng" << 0;
        QTest::newRow("french") << "fra" << 124;
        QTest::newRow("not in the list") << "xyz" << -1;
        QTest::newRow("case matters") << "FRA" << -1;
    }

    void storedLanguageSelectsItsEntry() {
        QFETCH(QString, stored);
        QFETCH(int, index);
        OptionsTab tab;
        LumoraSettings settings;
        settings.playerPgLang = stored;
        tab.applySettings(settings);
        QCOMPARE(child<QComboBox>(tab, "cbPGLang")->currentIndex(), index);
        QCOMPARE(child<QComboBox>(tab, "cbAudioLang")->currentIndex(), 0);
    }

    void outputFolderComesFromTheFolderChooser() {
        OptionsTab tab;
        QString askedTitle;
        tab.setFolderChooser([&](QWidget*, const QString& title, const QString&) {
            askedTitle = title;
            return QStringLiteral("/data/out");
        });
        child<QToolButton>(tab, "bbOutputDir")->click();
        QCOMPARE(askedTitle, QStringLiteral("Select a directory"));
        QCOMPARE(child<QLineEdit>(tab, "eOutputDir")->text(), QStringLiteral("/data/out"));
        QCOMPARE(tab.outputFolder(), QStringLiteral("/data/out/"));

        // Cancelling the chooser keeps the folder.
        tab.setFolderChooser([](QWidget*, const QString&, const QString&) { return QString(); });
        child<QToolButton>(tab, "bbOutputDir")->click();
        QCOMPARE(tab.outputFolder(), QStringLiteral("/data/out/"));

        // Applying stored settings neither sets nor clears it.
        tab.applySettings(lumora::apptest::nonDefaultSettings());
        QCOMPARE(tab.outputFolder(), QStringLiteral("/data/out/"));
    }

    void gridSizeIsAtMostHundred() {
        OptionsTab tab;
        LumoraSettings settings;
        settings.grid = 250;
        tab.applySettings(settings);
        QCOMPARE(tab.gridSize(), 100);
    }

    void countryCodeIsClampedWhenLeft_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("letters");
        QTest::newRow("below") << "12"
                               << "4141"
                               << "AA";
        QTest::newRow("above") << "ffff"
                               << "5A5A"
                               << "ZZ";
        QTest::newRow("inside, lower case") << "6a70"
                                            << "5A5A"
                                            << "ZZ";
        QTest::newRow("japan") << "4a50"
                               << "4A50"
                               << "JP";
        QTest::newRow("empty") << ""
                               << "4141"
                               << "AA";
    }

    void countryCodeIsClampedWhenLeft() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, letters);
        OptionsTab tab;
        auto* code = child<QLineEdit>(tab, "heCountryCode");
        leaveField(code, typed);
        QCOMPARE(code->text(), shown);
        QCOMPARE(child<QLabel>(tab, "lCountry")->text(), letters);
        QCOMPARE(tab.playerSettings().countryCode, shown.toUInt(nullptr, 16));
    }

    void hexFieldsTakeOnlyTheirDigits_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("audio capability") << "heAudioCap"
                                          << "123456"
                                          << "12345";
        QTest::newRow("display size") << "heDisplaySize"
                                      << "abcd"
                                      << "ABC";
        QTest::newRow("version") << "heVersion"
                                 << "0300"
                                 << "300";
        QTest::newRow("not hexadecimal") << "heVersion"
                                         << "xyz"
                                         << "0";
    }

    void hexFieldsTakeOnlyTheirDigits() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        OptionsTab tab;
        auto* edit = child<QLineEdit>(tab, field.toLatin1().constData());
        edit->clear();
        QTest::keyClicks(edit, typed);
        emit edit->editingFinished();
        QCOMPARE(edit->text(), shown);
    }

    void optionBoxesByTheirSettingsName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ButtonId") << "ButtonId"
                                  << "Button ID (hex)";
        QTest::newRow("ObjectId") << "ObjectId"
                                  << "Object ID (hex)";
        QTest::newRow("ButtonFrame") << "ButtonFrame"
                                     << "Button frame";
        QTest::newRow("WindowFrame") << "WindowFrame"
                                     << "Window frame";
        QTest::newRow("ShowInEffects") << "ShowInEffects"
                                       << "Show InEffects";
        QTest::newRow("ShowOutEffects") << "ShowOutEffects"
                                        << "Show OutEffects";
        QTest::newRow("ShowButtonAnimation") << "ShowButtonAnimation"
                                             << "Animate buttons";
        QTest::newRow("ShowFullScreen") << "ShowFullScreen"
                                        << "Full screen view";
        QTest::newRow("PlaySound") << "PlaySound"
                                   << "Play sound";
        QTest::newRow("PreLoad") << "PreLoad"
                                 << "Preload all bitmap of the page";
        QTest::newRow("8.3names") << "8.3names"
                                  << "Use 8.3 filenames";
        QTest::newRow("SavePES") << "SavePES"
                                 << "Save PES stream (not elementary)";
    }

    void optionBoxesByTheirSettingsName() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        OptionsTab tab;
        QCheckBox* box = tab.optionBox(name);
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), caption);
    }

    void optionBoxOfAnOtherNameIsNull() {
        OptionsTab tab;
        QVERIFY(tab.optionBox(QStringLiteral("Grid")) == nullptr);
        QVERIFY(tab.optionBox(QStringLiteral("colWindow")) == nullptr);
        QVERIFY(!tab.colour(QStringLiteral("ButtonId")).isValid());
    }

    void changesAreAnnounced() {
        OptionsTab tab;
        QSignalSpy use83(&tab, &OptionsTab::use83Changed);
        QSignalSpy delay(&tab, &OptionsTab::activationDelayChanged);
        tab.setUse83(true);
        tab.setUse83(true);
        QVERIFY(tab.use83());
        child<QSpinBox>(tab, "ieOActiDelay")->setValue(20);
        QCOMPARE(use83.size(), 1);
        QCOMPARE(use83.at(0).at(0).toBool(), true);
        QCOMPARE(delay.size(), 1);
        QCOMPARE(delay.at(0).at(0).toInt(), 20);
        QCOMPARE(tab.activationDelay(), 20);
    }

    // "Text flow & alignment" shows its ampersand instead of making a shortcut.
    void ampersandInACaptionIsNoShortcut() {
        OptionsTab tab;
        auto* box = child<QCheckBox>(tab, "cbTextSubCap4000");
        QVERIFY(QKeySequence::mnemonic(box->text()).isEmpty());
        QVERIFY(box->text().startsWith(QStringLiteral("Text flow &")));
    }

    // The page scrolls only downwards in a tab of the window's minimum size.
    void fitsTheWidthOfTheSmallestTab() {
        OptionsTab tab;
        tab.resize(890, 470);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        QCoreApplication::processEvents();
        auto* scroll = child<QScrollArea>(tab, "sbOptions");
        QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);
    }
};

QTEST_MAIN(OptionsTabTest)
#include "options_tab_test.moc"
