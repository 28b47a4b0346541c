// Playing the demo menu in the window: "Start" draws the page, the
// navigation panel and "S&el" move the selection and run the buttons'
// commands, the pointer on the page view (normal and full screen) selects,
// activates and drags, the page-view timer steps the animation on a manual
// clock, the check boxes keep their Options twins in step, key codes go to
// the status line, the previews come from the renderer, and the shared
// bottom row fits the smallest window.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/commands/command_runner.h"
#include "app/commands/execute_panel.h"
#include "app/commands/register_panel.h"
#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_header_view.h"
#include "app/menu/menu_objects_view.h"
#include "app/menu/menu_page_view.h"
#include "app/menu/menu_play_controller.h"
#include "app/menu/menu_preview.h"
#include "app/menu/menu_tab.h"
#include "app/options/options_tab.h"
#include "app/shell/log_view.h"
#include "app/shell/main_window.h"
#include "app/shell/status_line.h"
#include "app/status/status_tab.h"
#include "app/widgets/string_grid.h"
#include "app_test_support.h"
#include "demo/demo_disc.h"
#include "menu/menu_clock.h"
#include "menu/rle_codec.h"
#include "stream/stream_menu.h"
#include "support/test_support.h"

using namespace lumora::app;
using lumora::MenuDirection;

namespace {

// The demo menu's buttons: 360 x 90 at x 780, page 0 at y 400, 520, 640.
constexpr int kButtonX = 780;
constexpr int kButtonTop[] = {400, 520, 640};

// The window on the demo menu, on its "Page view" at 100 % (page and canvas
// coordinates one and the same), with a manual clock and no show delay.
struct Window {
    explicit Window(MenuPageView::Zoom zoom = MenuPageView::Zoom::Actual) {
        lumora::makeDemoMenu(menuPath);
        window.resize(TfMain::kMinimumWidth, TfMain::kMinimumHeight);
        window.show();
        window.startUp({QString::fromStdString(menuPath)});
        window.reporter().setActivationDelay(0);
        tab().player().setClock(clock);
        tab().pageView->setZoom(zoom);
        tab().pcMenu->setCurrentIndex(MenuTab::kPageViewIndex);
        QApplication::processEvents();
    }
    MenuTab& tab() { return *window.menuTab; }
    MenuPlayController& player() { return tab().player(); }
    lumora::TIGMenu& menu() { return tab().menu(); }
    std::uint32_t psr(std::uint32_t number) { return window.registers().psr(number); }
    QString status() { return window.statusLine->panelText(1); }
    QPushButton* navigation(const char* name) {
        return window.pNavigate->findChild<QPushButton*>(name);
    }
    void press(const char* name) { QTest::mouseClick(navigation(name), Qt::LeftButton); }
    // A pointer event on the page view's canvas at canvas position `at`.
    void pointer(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton,
                 Qt::KeyboardModifiers keys = {}) {
        QWidget* canvas = tab().pageView->canvas();
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, at, canvas->mapToGlobal(at), button, held, keys);
        QApplication::sendEvent(canvas, &event);
    }
    std::uint32_t pagePixel(int x, int y) { return player().renderer().pageImage().pixel(x, y); }

    lumora::test::TempDir dir;
    std::string menuPath = dir / "demo.mnu";
    lumora::ManualMenuClock clock;
    TfMain window;
};

// The middle of button `slot` of page 0.
QPoint buttonCentre(int slot) {
    return {kButtonX + 180, kButtonTop[slot] + 45};
}

// What the page shows at (x, y) of a button at (left, top) drawn with
// `object` under palette 0 over the background.
std::uint32_t expectedPixel(MenuPlayController& player, lumora::TIGMenu& menu, std::uint16_t object,
                            int left, int top, int x, int y) {
    const auto picture = lumora::Obj2Pic(menu, object, 0);
    const std::uint32_t source =
        picture->pixels[static_cast<std::size_t>(y - top) * picture->width +
                        static_cast<std::size_t>(x - left)];
    return lumora::blendOver(player.renderer().background().pixel(x, y), source);
}

}  // namespace

class MenuPlayTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { lumora::apptest::isolateSettings(); }
    void startDrawsThePageWithItsEffects();
    void navigationMovesTheSelectionAndRunsCommands();
    void traceStepsThroughAButtonsCommands();
    void pointerSelectsActivatesAndDrags();
    void fullScreenMapsThePointerToThePage();
    void timerStepsTheAnimationOnTheMenuClock();
    void checkBoxesKeepTheirTwinsInStep();
    void overlaysTakeTheConfiguredColours();
    void keyOnThePageViewShowsItsCode();
    void paletteViewReadsOutTheSwatches();
    void bottomRowFitsTheSmallestWindow();
    void streamFilesLoadAndMuxRoundTrip();
    void firstShowingFitsTheWholePage();
    void buttonCommandsAreLoggedWithTheirRegisters();
};

void MenuPlayTest::startDrawsThePageWithItsEffects() {
    Window w;
    QVERIFY(w.window.bStart->isEnabled());
    QTest::mouseClick(w.window.bStart, Qt::LeftButton);
    // The two in-effects of 250 ms were waited out on the menu clock.
    QVERIFY(w.clock.waited() >= 500);
    QCOMPARE(w.psr(10), 0u);
    QCOMPARE(w.status(), QString("PSR10: 0000 (0), PSR11: 00 (0)"));
    // Button 0 selected, the others normal; their pixels are the objects'
    // blended over the background.
    const lumora::TIGbutton& selected = w.menu().ics.pages[0].bogs[0].buttons[0];
    const lumora::TIGbutton& normal = w.menu().ics.pages[0].bogs[1].buttons[0];
    const QPoint a = buttonCentre(0);
    const QPoint b = buttonCentre(1);
    QCOMPARE(w.pagePixel(a.x(), a.y()), expectedPixel(w.player(), w.menu(), selected.selectedStart,
                                                      kButtonX, kButtonTop[0], a.x(), a.y()));
    QCOMPARE(w.pagePixel(b.x(), b.y()), expectedPixel(w.player(), w.menu(), normal.normalStart,
                                                      kButtonX, kButtonTop[1], b.x(), b.y()));
    QVERIFY(w.pagePixel(a.x(), a.y()) != w.player().renderer().background().pixel(a.x(), a.y()));
    // The view shows those pixels.
    const QImage shown = w.tab().pageView->shownImage();
    const std::uint32_t p = w.pagePixel(a.x(), a.y());
    QCOMPARE(shown.pixelColor(a), QColor(int(p & 0xFF), int(p >> 8 & 0xFF), int(p >> 16 & 0xFF)));
}

void MenuPlayTest::navigationMovesTheSelectionAndRunsCommands() {
    Window w;
    w.window.registerPanel->showPsr(10);
    w.window.bStart->click();
    // Down and up through the neighbours; left and right lead to the button
    // itself and change nothing.
    const struct {
        const char* button;
        std::uint32_t psr10;
    } moves[] = {{"bDown", 1}, {"bDown", 2},  {"bDown", 2}, {"bUp", 1},
                 {"bLeft", 1}, {"bRight", 1}, {"bUp", 0}};
    for (const auto& move : moves) {
        w.press(move.button);
        QCOMPARE(w.psr(10), move.psr10);
        QCOMPARE(w.window.registerPanel->hePSRval->text(), QString("0000000%1").arg(move.psr10));
    }
    // "S&el" runs button 0's command, which shows its text.
    QSignalSpy shown(&w.window.commandRunner(), &CommandRunner::textShown);
    w.press("bSelect");
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.front().front().toString(), QString("Jump Title 1"));
    QCOMPARE(w.window.cbButton->currentText(), QString("0000"));
    // Button 1 chooses page 1 and its button 0: the page selector, the
    // header, the button selector and PSR11 follow.
    w.press("bDown");
    w.press("bSelect");
    QCOMPARE(w.psr(11), 1u);
    QCOMPARE(w.psr(10), 0u);
    QCOMPARE(w.tab().cbPage->currentIndex(), 1);
    QCOMPARE(w.tab().headerView->eBOGs->text(), QString("2"));
    QCOMPARE(w.window.cbButton->count(), 2);
    // The page view shows page 1, whose first button lies between page 0's.
    QVERIFY(w.pagePixel(960, 505) != w.player().renderer().background().pixel(960, 505));
    // Page 1's second button leads back.
    w.press("bDown");
    w.press("bSelect");
    QCOMPARE(w.psr(11), 0u);
    QCOMPARE(w.tab().cbPage->currentIndex(), 0);
    QCOMPARE(w.window.cbButton->count(), 3);
}

void MenuPlayTest::traceStepsThroughAButtonsCommands() {
    Window w;
    w.window.bStart->click();
    w.window.cbTrace->setChecked(true);
    w.press("bDown");
    w.press("bDown");
    // Trace mode: "S&el" prepares the run of button 2 and selects its line
    // 0 on the BOGs page; "Start" performs it.
    QSignalSpy shown(&w.window.commandRunner(), &CommandRunner::textShown);
    w.press("bSelect");
    QCOMPARE(w.window.cbButton->currentText(), QString("0002"));
    QCOMPARE(w.tab().bogView->shownBog(), 2);
    QCOMPARE(w.tab().bogView->sgMenuCommands->gridRow(), 1);
    QVERIFY(w.status().startsWith("Line 0000 : "));
    QVERIFY(w.window.bCancel->isEnabled());
    QCOMPARE(shown.count(), 0);
    w.window.bStart->click();
    QCOMPARE(shown.count(), 1);
    QCOMPARE(shown.front().front().toString(), QString("Jump Title 3"));
    QVERIFY(!w.window.bCancel->isEnabled());
}

void MenuPlayTest::pointerSelectsActivatesAndDrags() {
    Window w;
    w.window.bStart->click();
    // Hovering over the lower neighbour selects it; a click on the selected
    // button activates it: page 1.
    w.pointer(QEvent::MouseMove, buttonCentre(1));
    QCOMPARE(w.psr(10), 1u);
    w.pointer(QEvent::MouseMove, buttonCentre(1) + QPoint(1, 0));
    QCOMPARE(w.tab().pageView->canvas()->cursor().shape(), Qt::PointingHandCursor);
    w.pointer(QEvent::MouseButtonPress, buttonCentre(1), Qt::LeftButton);
    w.pointer(QEvent::MouseButtonRelease, buttonCentre(1), Qt::LeftButton);
    QCOMPARE(w.psr(11), 1u);

    // Back on page 0, a right drag moves a button; Ctrl keeps it on its row.
    w.tab().selectPage(0);
    w.window.bStart->click();
    const QPoint from = buttonCentre(2) + QPoint(0, -20);
    w.pointer(QEvent::MouseButtonPress, from, Qt::RightButton);
    QCOMPARE(w.tab().pageView->canvas()->cursor().shape(), Qt::SizeAllCursor);
    w.pointer(QEvent::MouseMove, from + QPoint(30, 25), Qt::RightButton);
    w.pointer(QEvent::MouseMove, from + QPoint(-10, 40), Qt::RightButton, Qt::ControlModifier);
    w.pointer(QEvent::MouseButtonRelease, from, Qt::RightButton);
    QCOMPARE(w.status(), QString("[X] Button: 0002   X: 770 Y: 665"));
    const lumora::TIGbutton& moved = w.menu().ics.pages[0].bogs[2].buttons[0];
    QCOMPARE(moved.x, std::uint16_t(770));
    QCOMPARE(moved.y, std::uint16_t(665));
    QCOMPARE(w.menu().pageButtons[0].find(2)->x, std::uint16_t(770));
    // The BOGs page shows the new position.
    w.tab().bogView->showButton(2);
    QCOMPARE(w.tab().bogView->sgButtons->cell(3, 1), QString("770"));
    QCOMPARE(w.tab().pageView->canvas()->cursor().shape(), Qt::ArrowCursor);
}

void MenuPlayTest::fullScreenMapsThePointerToThePage() {
    Window w;
    w.tab().cbFullScreen->setChecked(true);
    QVERIFY(w.tab().pageView->fullScreen());
    w.window.bStart->click();
    // The page fits the area 16:9, black around it; a point of the page lies
    // where the scale puts it.
    const QRect shown = w.tab().pageView->shownRect();
    QVERIFY(std::abs(shown.width() * 9 / 16 - shown.height()) <= 1);
    QCOMPARE(w.tab().pageView->shownImage().pixelColor(0, 0), QColor(Qt::black));
    const auto onCanvas = [&shown](QPoint page) {
        return QPoint(shown.left() + page.x() * shown.width() / 1920,
                      shown.top() + page.y() * shown.height() / 1080);
    };
    w.pointer(QEvent::MouseMove, onCanvas(buttonCentre(1)));
    QCOMPARE(w.psr(10), 1u);
    w.pointer(QEvent::MouseMove, onCanvas(buttonCentre(2)));
    QCOMPARE(w.psr(10), 2u);
}

void MenuPlayTest::timerStepsTheAnimationOnTheMenuClock() {
    Window w;
    w.tab().cbAnimation->setChecked(true);
    // Without the in-effects, whose waits would let the first step fall due.
    w.tab().cbInEffects->setChecked(false);
    w.window.bStart->click();
    // One timer stands for the animation: armed for the 250 ms step.
    QTimer* timer = w.player().timer();
    QVERIFY(timer->isActive());
    QCOMPARE(w.player().simulator().animationInterval(), std::optional<std::uint32_t>(250));
    QCOMPARE(timer->interval(), 250);
    const lumora::FrameBuffer before = w.player().renderer().pageImage();
    const std::uint16_t frame = w.menu().buttonStates[0].frame;
    // Nothing is due before the clock moves.
    w.player().fireTimers();
    QCOMPARE(w.menu().buttonStates[0].frame, frame);
    w.clock.advance(250);
    w.player().fireTimers();
    QVERIFY(w.menu().buttonStates[0].frame != frame);
    QVERIFY(!(w.player().renderer().pageImage() == before));
    QVERIFY(timer->isActive());
    // Leaving the Menu tab stops the timer; coming back starts it again.
    w.window.PageControl->setCurrentIndex(TfMain::kStatus);
    QVERIFY(!timer->isActive());
    w.window.PageControl->setCurrentIndex(TfMain::kMenu);
    QVERIFY(timer->isActive());
    // Unchecked, the animation stops.
    w.tab().cbAnimation->setChecked(false);
    QVERIFY(!timer->isActive());
}

void MenuPlayTest::checkBoxesKeepTheirTwinsInStep() {
    Window w;
    MenuTab& t = w.tab();
    const struct {
        QCheckBox* menuBox;
        const char* setting;
    } twins[] = {{t.cbButtonId, "ButtonId"},
                 {t.cbObjectId, "ObjectId"},
                 {t.cbButtonFrame, "ButtonFrame"},
                 {t.cbWindowFrame, "WindowFrame"},
                 {t.cbInEffects, "ShowInEffects"},
                 {t.cbOutEffects, "ShowOutEffects"},
                 {t.cbAnimation, "ShowButtonAnimation"},
                 {t.cbFullScreen, "ShowFullScreen"},
                 {t.cbPlaySound, "PlaySound"}};
    for (const auto& twin : twins) {
        QCheckBox* option = w.window.optionsTab->optionBox(twin.setting);
        QCOMPARE(twin.menuBox->isChecked(), option->isChecked());
        twin.menuBox->click();
        QVERIFY2(option->isChecked() == twin.menuBox->isChecked(), twin.setting);
        option->click();
        QVERIFY2(option->isChecked() == twin.menuBox->isChecked(), twin.setting);
    }
    // The drawing follows either box.
    w.window.optionsTab->optionBox("ShowInEffects")->setChecked(false);
    QVERIFY(!w.player().options().showInEffects);
    w.window.bStart->click();
    QCOMPARE(w.clock.waited(), 0);
    // The info boxes show on the "Effects" and "Page view" pages, the
    // effect boxes on the "Page view" only.
    QVERIFY(t.pInfo->isVisible() && t.pEffects->isVisible());
    t.pcMenu->setCurrentIndex(MenuTab::kEffectsIndex);
    QVERIFY(t.pInfo->isVisible() && !t.pEffects->isVisible());
    t.pcMenu->setCurrentIndex(MenuTab::kBogsIndex);
    QVERIFY(!t.pInfo->isVisible());
}

void MenuPlayTest::overlaysTakeTheConfiguredColours() {
    Window w;
    w.window.bStart->click();
    // "Show Button ID" draws the label of the selected button in the
    // "Selected button" colour, of a normal one in the "Normal button"
    // colour; "Show Button frame" frames the selected one in the "Selected
    // frame" colour.
    w.tab().cbButtonId->setChecked(true);
    w.tab().cbButtonFrame->setChecked(true);
    QCOMPARE(w.pagePixel(kButtonX + 3, kButtonTop[0] + 3), lumora::opaque(0x00FFFF));
    QCOMPARE(w.pagePixel(kButtonX + 3, kButtonTop[1] + 3), lumora::opaque(0xFFFFFF));
    QCOMPARE(w.pagePixel(kButtonX + 100, kButtonTop[0]), lumora::opaque(0x0000FF));
    // Unchecked, the page is the plain page again.
    w.tab().cbButtonId->setChecked(false);
    QVERIFY(w.pagePixel(kButtonX + 3, kButtonTop[1] + 3) != lumora::opaque(0xFFFFFF));
}

void MenuPlayTest::keyOnThePageViewShowsItsCode() {
    Window w;
    QWidget* canvas = w.tab().pageView->canvas();
    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_A);
    QCOMPARE(w.status(), QString::number(Qt::Key_A));
    QTest::keyClick(canvas, Qt::Key_Return);
    QCOMPARE(w.status(), QString::number(Qt::Key_Return));
}

void MenuPlayTest::paletteViewReadsOutTheSwatches() {
    Window w;
    MenuTab& t = w.tab();
    t.pcMenu->setCurrentIndex(MenuTab::kObjectsIndex);
    t.objectsView->cbViewPalette->setChecked(true);
    t.objectsView->cbPalette->setCurrentIndex(0);
    emit t.objectsView->cbPalette->activated(0);
    ObjectPreview* preview = t.objectsView->preview;
    QVERIFY(preview->showsPalette());
    QCOMPARE(preview->shownImage().size(), QSize(350, 180));
    QCOMPARE(w.status(), QString("Palette: 00 (0)"));
    // Entry 2 (the button fill) under the pointer: its colour and opacity.
    QMouseEvent move(QEvent::MouseMove, QPointF(35, 15), QPointF(35, 15), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(preview->pictureWidget(), &move);
    QVERIFY(w.status().startsWith("Palette: 00 (0)      Color: 02 (2)      RGB: #"));
    QVERIFY(w.status().contains("Opacity: "));
    QCOMPARE(preview->pictureWidget()->cursor().shape(), Qt::PointingHandCursor);
    // Unchecked, the object is shown again.
    t.objectsView->cbViewPalette->setChecked(false);
    QVERIFY(!preview->showsPalette());
}

void MenuPlayTest::bottomRowFitsTheSmallestWindow() {
    Window w;
    QWidget* row = w.window.findChild<QWidget*>("pShared");
    QVERIFY(row != nullptr);
    for (int page = 0; page < w.window.PageControl->count(); ++page) {
        w.window.PageControl->setCurrentIndex(page);
        QApplication::processEvents();
        QList<QRect> taken;
        QStringList names;
        for (QWidget* widget : row->findChildren<QWidget*>()) {
            const bool leaf = widget->findChildren<QWidget*>().isEmpty() ||
                              qobject_cast<QComboBox*>(widget) != nullptr;
            if (!widget->isVisible() || !leaf || qobject_cast<QComboBox*>(widget->parent()))
                continue;
            const QRect place(widget->mapTo(row, QPoint(0, 0)), widget->size());
            QVERIFY2(row->rect().contains(place), qPrintable(widget->objectName()));
            for (int i = 0; i < taken.size(); ++i) {
                QVERIFY2(
                    !taken[i].intersects(place),
                    qPrintable(QString("tab %1: %2 overlaps %3")
                                   .arg(page)
                                   .arg(widget->objectName() + widget->metaObject()->className(),
                                        names[i])));
            }
            taken << place;
            names << widget->objectName() + widget->metaObject()->className();
        }
    }
}

void MenuPlayTest::streamFilesLoadAndMuxRoundTrip() {
    Window w;
    const lumora::DemoDiscInfo disc = lumora::makeDemoDisc((w.dir / "disc"));
    // "Load" of a stream file: the window's extraction takes PID 0x1400 out
    // of the menu clip, and the menu plays.
    QVERIFY(w.tab().loadStreamFile(QString::fromStdString(disc.folder + "STREAM/00001.m2ts")));
    QCOMPARE(w.menu().ics.pages.size(), std::size_t(2));
    QVERIFY(w.tab().canSave());
    w.window.applyTabRoles();
    QVERIFY(w.window.bMux->isEnabled());
    QCOMPARE(w.window.bMux->toolTip(), QString("Mux the IGS menu to a .m2ts"));

    // "Mu&x" in a tab whose save dialog answers: whole aligned units, and
    // the stream's menu is the menu again.
    MenuTab tab;
    MenuContext context;
    std::vector<MenuFileRequest> requests;
    const std::string muxed = w.dir / "muxed.m2ts";
    context.saveChooser = [&](const MenuFileRequest& request) {
        requests.push_back(request);
        return QString::fromStdString(muxed);
    };
    tab.setContext(std::move(context));
    QVERIFY(tab.loadMenuFile(QString::fromStdString(w.menuPath)));
    QVERIFY(tab.mux());
    QCOMPARE(requests.size(), std::size_t(1));
    QCOMPARE(requests[0].title, QString("Mux Menu"));
    QCOMPARE(requests[0].filters, QStringList{"m2ts (*.m2ts)"});
    QCOMPARE(requests[0].defaultSuffix, QString("m2ts"));
    QCOMPARE(requests[0].fileName, QString("demo"));
    const auto size = std::filesystem::file_size(muxed);
    QVERIFY(size > 0);
    QCOMPARE(size % 6144, std::uintmax_t(0));
    lumora::RecordingSink sink;
    lumora::Reporter reporter(sink);
    lumora::TIGMenu again;
    const auto result = lumora::loadMenuFromStream(muxed, lumora::kDefaultMenuPid, again, reporter,
                                                   w.dir / "again.mnu");
    QVERIFY(result.outcome.good());
    QVERIFY(again.ics.pages == tab.menu().ics.pages);
}

void MenuPlayTest::firstShowingFitsTheWholePage() {
    // A fresh tab shows the whole page in the view, over the area colour.
    Window w(MenuPageView::Zoom::Fit);
    MenuPageView& view = *w.tab().pageView;
    QCOMPARE(w.tab().coZoom->currentText(), QString("Fit"));
    QVERIFY(w.tab().coZoom->isVisible());
    w.window.bStart->click();
    const QRect shown = view.shownRect();
    QVERIFY(view.viewport()->rect().contains(shown));
    QVERIFY(shown.width() >= view.viewport()->width() - 4 ||
            shown.height() >= view.viewport()->height() - 4);
    QVERIFY(view.shownScale() < 1);
    // The labels are drawn larger in page pixels so that they keep their
    // size on the screen.
    QCOMPARE(w.player().options().labelScale,
             std::clamp(static_cast<int>(std::lround(1 / view.shownScale())), 1, 4));
    // A point of the page lies where the scale puts it: the pointer over
    // button 1 selects it.
    const QPoint centre = buttonCentre(1);
    w.pointer(QEvent::MouseMove, QPoint(shown.left() + centre.x() * shown.width() / 1920,
                                        shown.top() + centre.y() * shown.height() / 1080));
    QCOMPARE(w.psr(10), 1u);
    // "50 %" and "100 %" show the page at those sizes, with scroll bars.
    const struct {
        int item;
        int width;
    } zooms[] = {{1, 960}, {2, 1920}};
    for (const auto& z : zooms) {
        w.tab().coZoom->setCurrentIndex(z.item);
        emit w.tab().coZoom->activated(z.item);
        QCOMPARE(view.shownRect().width(), z.width);
        QCOMPARE(view.canvas()->width(), z.width);
    }
    QCOMPARE(w.player().options().labelScale, 1);
}

void MenuPlayTest::buttonCommandsAreLoggedWithTheirRegisters() {
    // Without trace mode a pressed button leaves its commands and the
    // registers they changed in the log.
    Window w;
    QVERIFY(!w.window.cbTrace->isChecked());
    w.window.bStart->click();
    w.press("bDown");  // button 1: SetButtonPage button 0 of page 1
    w.press("bSelect");
    QCOMPARE(w.psr(11), 1u);
    const QString log = w.window.statusTab->reMessage->lines().join('\n');
    QVERIFY2(log.contains("  0000  SetButtonPage"), qPrintable(log));
    QVERIFY2(log.contains("      PSR011: 00000000 -> 00000001"), qPrintable(log));
}

QTEST_MAIN(MenuPlayTest)
#include "menu_play_test.moc"
