#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "app/shell/settings_store.h"
#include "app_test_support.h"

using lumora::app::LumoraSettings;
using lumora::app::readSettings;
using lumora::app::writeSettings;

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
        const LumoraSettings written = lumora::apptest::nonDefaultSettings();
        writeSettings(*store, written, false);
        QSettings reopened(store->fileName(), QSettings::IniFormat);
        QVERIFY(readSettings(reopened) == written);
    }

    void maximisedCloseKeepsTheNormalGeometry() {
        const auto store = newStore();
        LumoraSettings normal = lumora::apptest::nonDefaultSettings();
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
        writeSettings(store, lumora::apptest::nonDefaultSettings(), false);
        QVERIFY(QFileInfo(path).isDir());
    }
};

QTEST_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
