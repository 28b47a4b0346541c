// Takes a picture of every main tab of the window, as the window shows it on
// the display it runs on (an X server, e.g. Xvfb), at a given size; then,
// with a menu loaded (the demo's, or MENU), the Menu tab's "BOGs", "Effects"
// and "Objects" pages, and its "Page view" after "Start" (normal, with the
// overlays, full screen).
//
//   lumora-shots OUTDIR [DISC_FOLDER] [WIDTHxHEIGHT] [MENU]
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_commands_view.h"
#include "app/menu/menu_objects_view.h"
#include "app/menu/menu_page_view.h"
#include "app/menu/menu_tab.h"
#include "app/shell/main_window.h"
#include "app/widgets/string_grid.h"
#include "core/file_io.h"
#include "demo/demo_disc.h"
#include "menu/palette_png.h"

namespace {

void save(lumora::app::TfMain& window, const QString& out, const char* name) {
    QApplication::processEvents();
    const QString file = QString("%1/%2.png").arg(out, name);
    window.grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

// The "Page view" after "Start" (scrolled to the buttons), after "&D" with
// the overlays on, and in full-screen view; then the effect preview with
// the frames and the palette view.
void shootPageView(lumora::app::TfMain& window, const QString& out) {
    using lumora::app::MenuTab;
    MenuTab& tab = *window.menuTab;
    tab.pcMenu->setCurrentIndex(MenuTab::kPageViewIndex);
    QApplication::processEvents();
    window.bStart->click();
    tab.pageView->ensureVisible(960, 520, 300, 200);
    save(window, out, "menu-page");
    for (QCheckBox* box : {tab.cbButtonId, tab.cbObjectId, tab.cbButtonFrame, tab.cbWindowFrame})
        box->setChecked(true);
    window.pNavigate->findChild<QPushButton*>("bDown")->click();
    save(window, out, "menu-page-overlays");
    tab.cbFullScreen->setChecked(true);
    save(window, out, "menu-page-full");
    tab.cbFullScreen->setChecked(false);
    tab.pcMenu->setCurrentIndex(MenuTab::kEffectsIndex);
    save(window, out, "menu-effects-frames");
    tab.pcMenu->setCurrentIndex(MenuTab::kObjectsIndex);
    tab.objectsView->cbViewPalette->setChecked(true);
    save(window, out, "menu-palette");
    tab.objectsView->cbViewPalette->setChecked(false);
}

// A two-page menu built from nothing: the new menu, a second page with a
// second BOG, and a second button in that BOG placed on the page.
void shootNewMenu(lumora::app::TfMain& window, const QString& out) {
    using lumora::app::MenuTab;
    MenuTab& tab = *window.menuTab;
    window.PageControl->setCurrentIndex(lumora::app::TfMain::kMenu);
    tab.newMenu();
    tab.createPage();
    tab.bogView->insertBog();
    tab.bogView->insertButton();
    lumora::app::StringGrid* buttons = tab.bogView->sgButtons;
    for (const auto& [col, text] : {std::pair{3, "400"}, std::pair{4, "300"}}) {
        buttons->setCell(col, 2, text);
        emit buttons->cellEdited(col, 2, text);
    }
    tab.bogView->commandsView->insertLine();
    tab.pcMenu->setCurrentIndex(MenuTab::kBogsIndex);
    QApplication::processEvents();
    save(window, out, "menu-new-bogs");

    // A picture imported on the Objects page: stripes in four colours.
    lumora::TIGpalette palette;
    const lumora::TRGBA colours[] = {
        {0, 0, 0, 0}, {230, 60, 40, 255}, {40, 160, 230, 255}, {250, 220, 80, 200}};
    for (std::size_t i = 0; i < 4; ++i)
        palette.rgba[i] = colours[i];
    lumora::Bytes indices(240 * 90);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<std::uint8_t>((i % 240 / 20 + i / 240 / 15) % 4);
    const QString picture = out + "/stripes.png";
    lumora::writeFileSafely(picture.toStdString(),
                            lumora::palettePngBytes(240, 90, indices, palette, "shots"));
    tab.pcMenu->setCurrentIndex(MenuTab::kObjectsIndex);
    tab.objectsView->importFiles({picture});
    save(window, out, "menu-new-objects");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName("Quillon Software");
    QApplication::setApplicationName("Lumora-shots");
    // Every run starts from the default options, whatever the last one left.
    QSettings().clear();
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumora-shots OUTDIR [DISC_FOLDER] [WIDTHxHEIGHT] [MENU]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QString disc = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QString menu = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    if (disc.isEmpty()) {
        disc = QString::fromStdString(lumora::makeDemoDisc((out + "/demo").toStdString()).folder);
        if (menu.isEmpty()) menu = out + "/demo/demo.mnu";
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
        if (!menu.isEmpty() && window.menuTab->loadMenuFile(menu)) {
            // The first button's selected object in the BOGs preview, the
            // first object in the Objects preview.
            lumora::app::MenuTab& tab = *window.menuTab;
            window.PageControl->setCurrentIndex(lumora::app::TfMain::kMenu);
            const char* pages[] = {"menu-bogs", "menu-effects", "menu-objects"};
            for (int page = 0; page < 3; ++page) {
                tab.pcMenu->setCurrentIndex(page);
                QApplication::processEvents();
                if (page == lumora::app::MenuTab::kBogsIndex) {
                    lumora::app::StringGrid* buttons = tab.bogView->sgButtons;
                    if (buttons->isEnabled()) {
                        emit buttons->cellClicked(0, 12);  // "s.start"
                        QApplication::processEvents();
                    }
                }
                const QString name = QString("%1/%2.png").arg(out, pages[page]);
                window.grab().save(name);
                std::printf("%s\n", qPrintable(name));
            }
            shootPageView(window, out);
        }
        shootNewMenu(window, out);
        window.close();
    });
    return QApplication::exec();
}
