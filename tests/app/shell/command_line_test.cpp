#include <QDir>
#include <QFile>
#include <QtTest>

#include "app/shell/associations.h"
#include "app/shell/command_line.h"
#include "app_test_support.h"
#include "support/test_support.h"

using namespace lumora::app;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void argumentsRoute();
    void relativeArgumentIsTakenFromTheWorkingFolder();
    void dropsRoute();
    void associationsAreWrittenForTheDesktop();
};

void CommandLineTest::argumentsRoute() {
    const struct {
        QStringList arguments;
        StartAction action;
        QString folder;
        QString path;
    } cases[] = {
        {{}, StartAction::AutoRead, {}, {}},
        {{"/x/Movie/BDMV/index.bdmv", "/y/other"}, StartAction::AutoRead, {}, {}},
        {{"/x/Movie/BDMV/index.bdmv"}, StartAction::ReadFolder, "/x/Movie/BDMV/", {}},
        {{"/x/Movie/BDMV/INDEX.BDM"}, StartAction::ReadFolder, "/x/Movie/BDMV/", {}},
        // The menu extension is compared with its case.
        {{"/m/menu.mnu"}, StartAction::LoadMenu, {}, "/m/menu.mnu"},
        {{"/m/menu.MNU"}, StartAction::ReadFolder, "/m/", {}},
    };
    for (const auto& c : cases) {
        const CommandLineRoute route = routeCommandLine(c.arguments);
        QCOMPARE(route.action, c.action);
        QCOMPARE(route.folder, c.folder);
        QCOMPARE(route.path, c.path);
    }
}

void CommandLineTest::relativeArgumentIsTakenFromTheWorkingFolder() {
    const CommandLineRoute route = routeCommandLine({"Movie/BDMV/index.bdmv"});
    QCOMPARE(route.folder, QDir::currentPath() + "/Movie/BDMV/");
}

void CommandLineTest::dropsRoute() {
    const struct {
        QStringList paths;
        bool valid;
        QString folder;
        bool use83;
        QString menuPath;
    } cases[] = {
        {{}, false, {}, false, {}},
        {{"/x/Movie/BDMV/index.bdmv"}, true, "/x/Movie/BDMV/", false, {}},
        {{"/x/Movie/BDMV/INDEX.BDM"}, true, "/x/Movie/BDMV/", true, {}},
        {{"/x/Movie/BDMV/index.bdm"}, true, "/x/Movie/BDMV/", false, {}},
        // A dropped menu is loaded as a menu; only the first file counts.
        {{"/x/menus/menu.mnu", "/y/BDMV/INDEX.BDM"}, true, {}, false, "/x/menus/menu.mnu"},
        // The menu extension is compared with its case, as on the command line.
        {{"/x/menus/menu.MNU"}, true, "/x/menus/", false, {}},
    };
    for (const auto& c : cases) {
        const DropRoute route = routeDrop(c.paths);
        QCOMPARE(route.valid, c.valid);
        QCOMPARE(route.folder, c.folder);
        QCOMPARE(route.use83, c.use83);
        QCOMPARE(route.menuPath, c.menuPath);
    }
}

void CommandLineTest::associationsAreWrittenForTheDesktop() {
    lumora::test::TempDir dir;
    const QString data = QString::fromStdString(dir.path().string());
    QStringList calls;
    const auto record = [&calls](const QString& program, const QStringList& arguments) {
        calls << program + " " + arguments.join(' ');
    };
    QVERIFY(registerAssociation(Association::Mnu, "/opt/lumora/bin/lumora", data, record));

    QFile mime(data + "/mime/packages/lumora-mnu.xml");
    QVERIFY(mime.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(mime.readAll());
    QVERIFY(xml.contains("type=\"application/x-bd-igs-menu\""));
    QVERIFY(xml.contains("<comment>BD.IGS.menu</comment>"));
    QVERIFY(xml.contains("pattern=\"*.mnu\""));
    QFile desktop(data + "/applications/lumora.desktop");
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(desktop.readAll()).contains("Exec=\"/opt/lumora/bin/lumora\" %f"));
    QVERIFY(calls.contains("xdg-mime default lumora.desktop application/x-bd-igs-menu"));
    QVERIFY(calls.contains("update-mime-database " + data + "/mime"));

    // Registering the other type keeps the first one.
    QVERIFY(registerAssociation(Association::Bdmv, "/opt/lumora/bin/lumora", data, record));
    QVERIFY(QFile::exists(data + "/mime/packages/lumora-mnu.xml"));
    QVERIFY(QFile::exists(data + "/mime/packages/lumora-bdmv.xml"));

    // A data folder that cannot be written reports failure.
    lumora::test::writeFile(dir / "blocked", "x");
    QVERIFY(!registerAssociation(Association::Bdmv, "/p", data + "/blocked", record));
}

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
