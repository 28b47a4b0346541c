#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/settings_store.h"
#include "app_test_support.h"

using lumora::app::LumoraSettings;
using lumora::app::readSettings;
using lumora::app::writeSettings;

namespace {

// Every field away from its default, so a value that is not written or not
// read back shows up.
LumoraSettings nonDefaultSettings() {
    LumoraSettings s;
    s.windowState = lumora::app::kWindowMinimised;
    s.top = 31;
    s.left = 42;
    s.width = 1001;
    s.height = 702;
    s.hasGeometry = true;
    s.bdmvDir = QStringLiteral("/discs/Movie/BDMV/");
    s.backgroundPic = QStringLiteral("/pictures/back.png");
    s.autoRead = false;
    s.backup = false;
    s.saveBackup = true;
    s.backupMode = 2;
    s.objectHeight = 80;
    s.playListHeight = 200;
    s.subPathHeight = 120;
    s.playListMarkHeight = 110;
    s.chapterFormat = 2;
    s.programFormat = 1;
    s.savePes = true;
    s.saveSup = false;
    s.saveMnu = false;
    s.buttonId = true;
    s.objectId = true;
    s.buttonFrame = true;
    s.windowFrame = true;
    s.forcedBeep = false;
    s.preLoad = false;
    s.showInEffects = false;
    s.showOutEffects = false;
    s.showButtonAnimation = true;
    s.showFullScreen = true;
    s.background = true;
    s.realPsrs = true;
    s.playSound = true;
    s.associateBdmv = true;
    s.associateMnu = true;
    s.use83Names = true;
    s.autoMenu = true;
    s.actiDelay = 250;
    s.grid = 40;
    s.colBackground = 0x010203;
    s.colObjectBackground = 0x040506;
    s.colSelectedButton = 0x070809;
    s.colSelectedFrame = 0x0A0B0C;
    s.colNormalButton = 0x0D0E0F;
    s.colNormalFrame = 0x101112;
    s.colInvalidButton = 0x131415;
    s.colInvalidFrame = 0x161718;
    s.colWindow = 0x191A1B;
    s.region = 2;
    s.countryCode = 0x4445;
    s.playerAudioLang = QStringLiteral("fra");
    s.playerPgLang = QStringLiteral("deu");
    s.playerMenuLang = QStringLiteral("jpn");
    s.playerAudioCap = 0x12345;
    s.playerVideoCap = 0x9;
    s.playerDisplayCap = 0x80004;
    s.playerOmPref = false;
    s.player3dCap = 0x55;
    s.playerTextSubCap = 0xA028;
    s.playerVersProf = 0x080300;
    return s;
}

}  // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    int storeCount_ = 0;

    // A store of its own for each use, so no test sees another's values.
    std::unique_ptr<QSettings> newStore() {
        const QString path = folder_.filePath(QStringLiteral("store%1.ini").arg(++storeCount_));
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    }

private slots:
    void initTestCase() {
        lumora::apptest::isolateSettings();
        QVERIFY(folder_.isValid());
    }

    void firstStartGivesTheDefaults() {
        const auto store = newStore();
        const LumoraSettings settings = readSettings(*store);
        QVERIFY(settings == LumoraSettings{});
        QVERIFY(!settings.hasGeometry);
    }

    void writingTheDefaultsStoresEveryValue_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* name, const QVariant& value) {
            QTest::newRow(name) << QString::fromLatin1(name) << value;
        };
        row("WindowState", 0);
        row("Top", 0);
        row("Left", 0);
        row("Width", 0);
        row("Height", 0);
        row("BDMVdir", QString());
        row("BackgroundPic", QString());
        row("AutoRead", 1);
        row("Backup", 1);
        row("SaveBACKUP", 0);
        row("BackupMode", 0);
        row("ObjectHeight", 75);
        row("PlayListHeight", 176);
        row("SubPathHeight", 112);
        row("PlayListMarkHeight", 103);
        row("ChapterFormat", 0);
        row("ProgramFormat", 0);
        row("SavePES", 0);
        row("SaveSUP", 1);
        row("SaveMNU", 1);
        row("ButtonId", 0);
        row("ObjectId", 0);
        row("ButtonFrame", 0);
        row("WindowFrame", 0);
        row("ForcedBeep", 1);
        row("PreLoad", 1);
        row("ShowInEffects", 1);
        row("ShowOutEffects", 1);
        row("ShowButtonAnimation", 0);
        row("ShowFullScreen", 0);
        row("Background", 0);
        row("RealPSRs", 0);
        row("PlaySound", 0);
        row("AssociateBDMV", 0);
        row("AssociateMNU", 0);
        row("8.3names", 0);
        row("AutoMenu", 0);
        row("ActiDelay", 500);
        row("Grid", 15);
        row("colBackground", 0x800000);
        row("colObjectBackground", 0xC0C0C0);
        row("colSelectedButton", 0x00FFFF);
        row("colSelectedFrame", 0x0000FF);
        row("colNormalButton", 0xFFFFFF);
        row("colNormalFrame", 0xC0C0C0);
        row("colInvalidButton", 0x808080);
        row("colInvalidFrame", 0);
        row("colWindow", 0x00FF00);
        row("Region", 0);
        row("CountryCode", 0x5553);
        row("PlayerAudioLang", QStringLiteral("eng"));
        row("PlayerPGLang", QStringLiteral("eng"));
        row("PlayerMenuLang", QStringLiteral("eng"));
        row("PlayerAudioCap", 0xAAAAA);
        row("PlayerVideoCap", 7);
        row("PlayerDisplayCap", 0xFFF03);
        row("PlayerOMPref", 1);
        row("Player3DCap", 0x7F);
        row("PlayerTextSubCap", 0x1F0F8);
        row("PlayerVersProf", 0x130240);
    }

    void writingTheDefaultsStoresEveryValue() {
        QFETCH(QString, name);
        QFETCH(QVariant, expected);
        const auto store = newStore();
        writeSettings(*store, LumoraSettings{}, false);
        QSettings reopened(store->fileName(), QSettings::IniFormat);
        QVERIFY2(reopened.contains(name), qPrintable(name));
        if (expected.typeId() == QMetaType::Int) {
            QCOMPARE(reopened.value(name).toInt(), expected.toInt());
        } else {
            QCOMPARE(reopened.value(name).toString(), expected.toString());
        }
    }

    void writtenStoreHoldsNothingElse() {
        const auto store = newStore();
        writeSettings(*store, LumoraSettings{}, false);
        QCOMPARE(store->allKeys().size(), 60);
    }

    void nonDefaultValuesSurviveTheStore() {
        const auto store = newStore();
        const LumoraSettings written = nonDefaultSettings();
        writeSettings(*store, written, false);
        QSettings reopened(store->fileName(), QSettings::IniFormat);
        QVERIFY(readSettings(reopened) == written);
    }

    void maximisedCloseKeepsTheNormalGeometry() {
        const auto store = newStore();
        LumoraSettings normal = nonDefaultSettings();
        normal.windowState = lumora::app::kWindowNormal;
        writeSettings(*store, normal, false);

        LumoraSettings maximised = normal;
        maximised.top = 0;
        maximised.left = 0;
        maximised.width = 1920;
        maximised.height = 1080;
        writeSettings(*store, maximised, true);

        QCOMPARE(store->value(QStringLiteral("WindowState")).toInt(), 2);
        const LumoraSettings read = readSettings(*store);
        QCOMPARE(read.windowState, lumora::app::kWindowMaximised);
        QVERIFY(read.hasGeometry);
        QCOMPARE(read.top, normal.top);
        QCOMPARE(read.left, normal.left);
        QCOMPARE(read.width, normal.width);
        QCOMPARE(read.height, normal.height);
    }

    void maximisedFirstCloseStoresNoGeometry() {
        const auto store = newStore();
        writeSettings(*store, LumoraSettings{}, true);
        QVERIFY(!store->contains(QStringLiteral("Top")));
        QVERIFY(!readSettings(*store).hasGeometry);
    }

    // Values edited by hand or by another tool.
    void oddStoredValues_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("grid");
        QTest::addColumn<bool>("autoRead");
        QTest::addColumn<int>("colWindow");
        QTest::newRow("grid not a number") << "Grid"
                                           << "wide" << 15 << true << 0x00FF00;
        QTest::newRow("boolean not a number") << "AutoRead"
                                              << "yes" << 15 << true << 0x00FF00;
        QTest::newRow("boolean other than 1") << "AutoRead"
                                              << "7" << 15 << true << 0x00FF00;
        QTest::newRow("boolean 0") << "AutoRead"
                                   << "0" << 15 << false << 0x00FF00;
        QTest::newRow("colour written unsigned")
            << "colWindow"
            << "4278190335" << 15 << true << static_cast<int>(0xFF0000FFu);
        QTest::newRow("colour beyond 32 bits") << "colWindow"
                                               << "4294967296" << 15 << true << 0x00FF00;
    }

    void oddStoredValues() {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(int, grid);
        QFETCH(bool, autoRead);
        QFETCH(int, colWindow);
        const auto store = newStore();
        store->setValue(name, stored);
        const LumoraSettings read = readSettings(*store);
        QCOMPARE(read.grid, grid);
        QCOMPARE(read.autoRead, autoRead);
        QCOMPARE(read.colWindow, colWindow);
    }

    // A store whose file is a folder can be neither read nor written.
    void unusableStoreIsSkipped() {
        const QString path = folder_.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(path));
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(readSettings(store) == LumoraSettings{});
        writeSettings(store, nonDefaultSettings(), false);
        QVERIFY(QFileInfo(path).isDir());
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
