// Takes a picture of every main tab of the window, as the window shows it on
// the display it runs on (an X server, e.g. Xvfb), at a given size.
//
//   lumora-shots OUTDIR [DISC_FOLDER] [WIDTHxHEIGHT]
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "demo/demo_disc.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quillon Software");
    QApplication::setApplicationName("Lumora-shots");
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumora-shots OUTDIR [DISC_FOLDER] [WIDTHxHEIGHT]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QString disc = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (disc.isEmpty()) {
        disc = QString::fromStdString(lumora::makeDemoDisc((out + "/demo").toStdString()).folder);
    }
    QSize size(lumora::app::TfMain::kMinimumWidth, lumora::app::TfMain::kMinimumHeight);
    if (argc > 3) {
        const QStringList parts = QString::fromLocal8Bit(argv[3]).split('x');
        if (parts.size() == 2) size = QSize(parts[0].toInt(), parts[1].toInt());
    }

    lumora::app::TfMain window;
    window.startUp({disc + "/index.bdmv"});
    window.resize(size);
    window.show();
    QTimer::singleShot(500, &window, [&] {
        for (int tab = 0; tab < window.PageControl->count(); ++tab) {
            window.PageControl->setCurrentIndex(tab);
            QApplication::processEvents();
            const QString name = QString("%1/tab%2.png").arg(out).arg(tab);
            window.grab().save(name);
            std::printf("%s\n", qPrintable(name));
        }
        window.close();
    });
    return QApplication::exec();
}
