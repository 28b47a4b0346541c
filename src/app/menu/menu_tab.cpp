#include "app/menu/menu_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLocale>
#include <QMessageBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/menu/menu_bog_view.h"
#include "app/menu/menu_effects_view.h"
#include "app/menu/menu_header_view.h"
#include "app/menu/menu_objects_view.h"
#include "app/menu/menu_page_view.h"
#include "app/menu/menu_play_controller.h"
#include "app/menu/menu_preview.h"
#include "app/widgets/string_grid.h"
#include "core/file_io.h"
#include "menu/menu_edit.h"
#include "menu/menu_reader.h"
#include "menu/menu_writer.h"
#include "playback/interpreter.h"
#include "stream/mux.h"

namespace lumora::app {
namespace {

// The host of the tab's own interpreter: command texts go to the status line
// without a pause.
class StatusInterpreterHost : public InterpreterHost {
public:
    explicit StatusInterpreterHost(Reporter*& reporter) : reporter_(reporter) {}
    void showText(std::string_view text) override { reporter_->slog(text, 1); }

private:
    Reporter*& reporter_;
};

QCheckBox* optionBox(QWidget* parent, const char* caption, const char* name, bool checked) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

std::uint32_t storedColour(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

QColor fromStored(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>(colour >> 8 & 0xFF),
                  static_cast<int>(colour >> 16 & 0xFF));
}

constexpr const char* kMenuExtension = ".mnu";

QString extensionOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot);
}

// The path without its extension.
QString withoutExtension(const QString& path) {
    const QString extension = extensionOf(path);
    return path.left(path.size() - extension.size());
}

QStringList runFileDialog(QWidget* parent, const MenuFileRequest& request,
                          QFileDialog::FileMode mode) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(mode == QFileDialog::AnyFile ? QFileDialog::AcceptSave
                                                      : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

}  // namespace

MenuTab::MenuTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsMenu");
    fillContextDefaults();
    headerView = new MenuHeaderView(document_, context_, this);
    gbPageHeader = headerView->gbPageHeader;
    gbComposition = headerView->gbComposition;
    cbPage = headerView->cbPage;

    pcMenu = new QTabWidget(this);
    pcMenu->setObjectName("pcMenu");
    bogView = new MenuBogView(document_, context_, pcMenu);
    effectsView = new MenuEffectsView(document_, context_, pcMenu);
    objectsView = new MenuObjectsView(document_, context_, pcMenu);
    pageView = new MenuPageView(pcMenu);
    pageView->setObjectName("tsPageView");
    pageView->setToolTip(
        "Left click: activate; pointer over a neighbour: select it; right drag: move a button "
        "(Shift: 2x, Ctrl: X only, Alt: Y only, Ctrl+Alt: grid)");
    pcMenu->addTab(bogView, "BOGs");
    pcMenu->addTab(effectsView, "Effects");
    pcMenu->addTab(objectsView, "Objects");
    pcMenu->addTab(pageView, "Page view");
    pcMenu->setCornerWidget(objectsView->gbObjPal, Qt::TopRightCorner);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(headerView);
    layout->addWidget(pcMenu, 1);
    layout->addWidget(buildOptionBoxes());
    createPlayer();
    connectViews();
    connectOptionBoxes();
    clear();
    innerPageChanged(pcMenu->currentIndex());
}

MenuTab::~MenuTab() = default;

// Two rows under the pages: the info boxes, then the effect boxes.
QWidget* MenuTab::buildOptionBoxes() {
    auto* boxes = new QWidget(this);
    auto* rows = new QVBoxLayout(boxes);
    rows->setContentsMargins(2, 0, 2, 0);
    rows->setSpacing(0);
    pInfo = new QWidget(boxes);
    pInfo->setObjectName("pInfo");
    cbButtonId = optionBox(pInfo, "Show Button ID", "cbButtonId", false);
    cbObjectId = optionBox(pInfo, "Show Object ID", "cbObjectId", false);
    cbButtonFrame = optionBox(pInfo, "Show Button frame", "cbButtonFrame", false);
    cbWindowFrame = optionBox(pInfo, "Show Window frame", "cbWindowFrame", false);
    coZoom = new QComboBox(pInfo);
    coZoom->setObjectName("coZoom");
    coZoom->setToolTip("Zoom of the page view");
    coZoom->addItems({"Fit", "50 %", "100 %"});
    pEffects = new QWidget(boxes);
    pEffects->setObjectName("pEffects");
    cbInEffects = optionBox(pEffects, "Show InEffect() effects", "cbInEffects", true);
    cbOutEffects = optionBox(pEffects, "Show OutEffects() effects", "cbOutEffects", true);
    cbAnimation = optionBox(pEffects, "Button animation", "cbAnimation", false);
    cbFullScreen = optionBox(pEffects, "Show Full Screen", "cbFullScreen", false);
    cbPlaySound = optionBox(pEffects, "Play button sound", "cbPlaySound", false);
    for (QWidget* group : {pInfo, pEffects}) {
        auto* row = new QHBoxLayout(group);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(12);
        for (QCheckBox* box : group->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly))
            row->addWidget(box);
        if (group == pInfo) row->addWidget(coZoom);
        row->addStretch(1);
        rows->addWidget(group);
    }
    return boxes;
}

void MenuTab::connectViews() {
    connect(headerView, &MenuHeaderView::pageChosen, this, &MenuTab::selectPage);
    connect(headerView, &MenuHeaderView::paletteChanged, objectsView,
            &MenuObjectsView::refreshReferences);
    connect(headerView, &MenuHeaderView::effectsRequested, this, [this](bool inEffects) {
        pcMenu->setCurrentIndex(kEffectsIndex);
        effectsView->chooseSequence(inEffects);
    });
    connect(bogView, &MenuBogView::objectShown, objectsView,
            &MenuObjectsView::selectObjectAndPalette);
    bogView->previewPalette = [this] { return objectsView->chosenPalette(); };
    connect(bogView, &MenuBogView::structureChanged, this, &MenuTab::structureChanged);
    connect(bogView, &MenuBogView::pageEdited, this, &MenuTab::pageEdited);
    connect(bogView, &MenuBogView::followRequested, this, &MenuTab::followRequested);
    connect(effectsView, &MenuEffectsView::pageEdited, this, &MenuTab::pageEdited);
    // Objects came or went: what shows them, and the ids in the grids, follow.
    connect(objectsView, &MenuObjectsView::menuEdited, this, [this] {
        if (document_.page < 0) return;
        pageEdited();
        bogView->showBogAndRow(bogView->shownBog(), bogView->shownButtonRow());
        effectsView->showPage();
    });
    connect(headerView, &MenuHeaderView::pageEdited, this, &MenuTab::pageEdited);
    connect(headerView, &MenuHeaderView::createPageRequested, this, &MenuTab::createPage);
    connect(headerView, &MenuHeaderView::deletePageRequested, this, &MenuTab::deletePage);
    connect(pcMenu, &QTabWidget::currentChanged, this, &MenuTab::innerPageChanged);
    for (ObjectPreview* preview : {bogView->preview, objectsView->preview}) {
        connect(preview, &ObjectPreview::paletteHovered, this,
                [this, preview](std::uint32_t palette, int x, int y) {
                    paletteHovered(preview, palette, x, y);
                });
    }
    connect(objectsView->cbViewPalette, &QCheckBox::toggled, this, [this](bool on) {
        player_->options().viewPaletteOnly = on;
        previewsChanged();
    });
}

void MenuTab::connectOptionBoxes() {
    for (QCheckBox* box : {cbButtonId, cbObjectId, cbButtonFrame, cbWindowFrame})
        connect(box, &QCheckBox::toggled, this, &MenuTab::infoOptionChanged);
    connect(cbInEffects, &QCheckBox::toggled, this,
            [this](bool on) { player_->options().showInEffects = on; });
    connect(cbOutEffects, &QCheckBox::toggled, this,
            [this](bool on) { player_->options().showOutEffects = on; });
    connect(cbPlaySound, &QCheckBox::toggled, this,
            [this](bool on) { player_->options().playSound = on; });
    connect(cbAnimation, &QCheckBox::toggled, this, [this](bool on) {
        player_->options().animate = on;
        player_->simulator().optionsChanged();
        player_->timersChanged();
    });
    connect(coZoom, &QComboBox::activated, this,
            [this](int item) { pageView->setZoom(static_cast<MenuPageView::Zoom>(item)); });
    // The overlay labels keep their size on the screen: a page shown smaller
    // gets larger labels, drawn again for it.
    connect(pageView, &MenuPageView::scaleChanged, this, [this](double scale) {
        const int labels = std::clamp(static_cast<int>(std::lround(1.0 / scale)), 1, 4);
        if (player_->options().labelScale == labels) return;
        player_->options().labelScale = labels;
        player_->pageOutdated();
    });
    // The labels grow with the view; the page is drawn again for them.
    connect(cbFullScreen, &QCheckBox::toggled, this, [this](bool on) {
        player_->options().fullScreen = on;
        pageView->setFullScreen(on);
        player_->pageOutdated();
    });
}

void MenuTab::setContext(MenuContext context) {
    context_ = std::move(context);
    fillContextDefaults();
    if (context_.popupMenu != nullptr) {
        for (StringGrid* grid :
             {bogView->sgBOG, bogView->sgButtons, bogView->sgMenuCommands, effectsView->sgWindows,
              effectsView->sgEffects, effectsView->sgCompObj}) {
            context_.popupMenu->registerGrid(grid);
        }
    }
    createPlayer();
    setObjectBackground(context_.objectBackground());
}

void MenuTab::fillContextDefaults() {
    context_.reporter = quiet_.orThis(context_.reporter);
    if (context_.registers == nullptr || context_.interpreter == nullptr) {
        if (!ownInterpreter_) {
            ownRegisters_ = std::make_unique<Registers>();
            ownInterpreterHost_ = std::make_unique<StatusInterpreterHost>(context_.reporter);
            ownInterpreter_ = std::make_unique<Interpreter>(*ownRegisters_, *context_.reporter,
                                                            *ownInterpreterHost_);
        }
        context_.registers = ownRegisters_.get();
        context_.interpreter = ownInterpreter_.get();
    }
    if (!context_.outputFolder) context_.outputFolder = [] { return QString(); };
    if (!context_.streamExtension) context_.streamExtension = [] { return QString(".m2ts"); };
    if (!context_.objectBackground)
        context_.objectBackground = [] { return QColor(Qt::lightGray); };
    if (!context_.groupSeparator) {
        context_.groupSeparator = [] { return QLocale::system().groupSeparator(); };
    }
    if (!context_.openChooser) {
        context_.openChooser = [this](const MenuFileRequest& request) {
            return runFileDialog(this, request, QFileDialog::ExistingFile).value(0);
        };
    }
    if (!context_.saveChooser) {
        context_.saveChooser = [this](const MenuFileRequest& request) {
            return runFileDialog(this, request, QFileDialog::AnyFile).value(0);
        };
    }
    if (!context_.picturesChooser) {
        context_.picturesChooser = [this](const MenuFileRequest& request) {
            return runFileDialog(this, request, QFileDialog::ExistingFiles);
        };
    }
    if (!context_.showFileError) {
        context_.showFileError = [this](const QString& message) {
            QMessageBox::critical(this, window()->windowTitle(), message);
        };
    }
    if (!context_.showMessage) {
        context_.showMessage = [this](const QString& message) {
            QMessageBox::warning(this, window()->windowTitle(), message);
        };
    }
    if (!context_.saveQuestion) {
        context_.saveQuestion = [this](const QString& name) {
            return askToSaveChanges(this, name);
        };
    }
}

void MenuTab::createPlayer() {
    RenderOptions options;
    MenuColours colours;
    BackgroundChoice background;
    int grid = kDefaultDragGrid;
    if (player_) {
        player_->setActive(false);
        options = player_->options();
        colours = player_->renderer().colours();
        background = player_->renderer().backgroundChoice();
        grid = player_->simulator().gridSize();
        // The old player lets go of the page view before the new one takes it.
        player_.reset();
    }
    player_ = std::make_unique<MenuPlayController>(
        document_.menu, *context_.registers, *context_.interpreter, *context_.reporter, *pageView);
    player_->options() = options;
    player_->options().thousandsSeparator = context_.groupSeparator().toStdString();
    player_->renderer().colours() = colours;
    // The new renderer made the plain background already.
    const bool plain = background.kind == BackgroundChoice::Kind::BuiltIn &&
                       colours.background == MenuColours{}.background;
    if (!plain) player_->renderer().setBackground(background);
    player_->simulator().setGridSize(grid);
    context_.renderer = &player_->renderer();
    connect(player_.get(), &MenuPlayController::registersChanged, this, &MenuTab::registersChanged);
    connect(player_.get(), &MenuPlayController::buttonSelected, this, &MenuTab::buttonSelected);
    connect(player_.get(), &MenuPlayController::pageFollowed, this, &MenuTab::followPage);
    connect(player_.get(), &MenuPlayController::soundRequested, this, [this](int soundId) {
        if (context_.playSound) context_.playSound(static_cast<std::size_t>(soundId));
    });
    connect(player_.get(), &MenuPlayController::buttonDragged, this,
            [this](int slot) { bogView->refreshButton(static_cast<std::uint16_t>(slot)); });
    if (active_) setActive(true);
}

void MenuTab::setObjectBackground(const QColor& colour) {
    for (ObjectPreview* preview : {bogView->preview, effectsView->preview, objectsView->preview})
        preview->setBackground(colour);
    PageRenderer& renderer = player_->renderer();
    const std::uint32_t stored = storedColour(colour);
    if (renderer.colours().objectBackground == stored) return;
    renderer.colours().objectBackground = stored;
    renderer.clearEffectPreview();
    previewsChanged();
}

void MenuTab::setMenuColours(const MenuColours& colours) {
    PageRenderer& renderer = player_->renderer();
    const bool backgroundChanged = renderer.colours().background != colours.background;
    renderer.colours() = colours;
    pageView->setAreaColour(fromStored(colours.background));
    for (ObjectPreview* preview : {bogView->preview, effectsView->preview, objectsView->preview})
        preview->setBackground(fromStored(colours.objectBackground));
    if (backgroundChanged) renderer.backchange();
    renderer.clearEffectPreview();
    previewsChanged();
    player_->pageOutdated();
}

void MenuTab::setBackground(const BackgroundChoice& choice) {
    player_->renderer().setBackground(choice);
    player_->pageOutdated();
}

void MenuTab::setPreload(bool on) {
    player_->options().preload = on;
}

void MenuTab::setSoundCount(std::size_t count) {
    player_->options().soundCount = count;
}

void MenuTab::setGridSize(int pixels) {
    player_->simulator().setGridSize(pixels);
}

void MenuTab::setActive(bool active) {
    active_ = active;
    player_->setActive(active);
    player_->setPageViewShown(active && pcMenu->currentIndex() == kPageViewIndex);
}

void MenuTab::showTracedCommand(int line) {
    bogView->showButton(player_->simulator().buttonSlot());
    bogView->selectCommandLine(line);
}

// The four info boxes change what the page and the effect preview show.
void MenuTab::infoOptionChanged() {
    RenderOptions& options = player_->options();
    options.showButtonId = cbButtonId->isChecked();
    options.showObjectId = cbObjectId->isChecked();
    options.showButtonFrame = cbButtonFrame->isChecked();
    options.showWindowFrame = cbWindowFrame->isChecked();
    player_->pageOutdated();
    if (document_.loaded) effectsView->refreshPreview();
}

// The object previews drawn again (a colour or the palette view changed).
void MenuTab::previewsChanged() {
    if (!document_.loaded) return;
    bogView->refreshPreview();
    objectsView->showChosenObject();
    effectsView->refreshPreview();
}

void MenuTab::paletteHovered(ObjectPreview* preview, std::uint32_t palette, int x, int y) {
    const PaletteReadout readout = player_->renderer().paletteReadout(palette, x, y);
    reporter().slog(readout.text, 1);
    if (readout.overSwatch) {
        preview->pictureWidget()->setCursor(Qt::PointingHandCursor);
    } else {
        preview->pictureWidget()->unsetCursor();
    }
}

// ---------------------------------------------------------------------------
// State

bool MenuTab::menuLoaded() const {
    return cbPage->isEnabled();
}

bool MenuTab::canSave() const {
    return menuLoaded() && document_.loaded && document_.good;
}

bool MenuTab::edited() const {
    return document_.loaded && saved_.edited(document_.menu);
}

QString MenuTab::editedName() const {
    return QFileInfo(menuFileName_).fileName() + kMenuExtension;
}

bool MenuTab::settleEdits() {
    if (!edited()) return true;
    return app::settleEdits(context_.saveQuestion, editedName(), [this] { return save(); });
}

void MenuTab::clear() {
    document_ = MenuDocument{};
    saved_.forget();
    player_->menuCleared();
    clearViews();
    emit menuStateChanged();
}

void MenuTab::clearViews() {
    bogView->stopPreview();
    headerView->clear();
    bogView->clear();
    effectsView->clear();
    objectsView->clear();
    for (int i = 0; i < pcMenu->count(); ++i)
        pcMenu->widget(i)->setEnabled(false);
    pcMenu->setCurrentIndex(kBogsIndex);
}

// ---------------------------------------------------------------------------
// Load

void MenuTab::chooseMenuFile() {
    const QFileInfo last(menuFileName_);
    MenuFileRequest request;
    request.title = "Open";
    request.filters = {"Menu (*.mnu)", "BD AV stream (*.m2ts)", "AVCHD stream (*.MTS)"};
    request.folder = last.isAbsolute() ? last.absolutePath() : context_.outputFolder();
    request.fileName = last.fileName();
    request.defaultSuffix = "mnu";
    const QString path = context_.openChooser(request);
    if (path.isEmpty()) return;
    if (!settleEdits()) return;
    emit showRequested();
    pcMenu->setCurrentIndex(kBogsIndex);
    menuFileName_ = withoutExtension(path);
    const QString extension = extensionOf(path);
    if (extension == kMenuExtension) {
        readMenuFile(path);
    } else if (extension == context_.streamExtension()) {
        readStreamFile(path);
    } else {
        reporter().slog(QFileInfo(path).fileName().toStdString() + " is neither a menu file (" +
                            kMenuExtension + ") nor a stream file (" +
                            context_.streamExtension().toStdString() + ")",
                        1);
    }
}

bool MenuTab::loadMenuFile(const QString& path) {
    if (!settleEdits()) return false;
    return readMenuFile(path);
}

bool MenuTab::readMenuFile(const QString& path) {
    Reporter& log = reporter();
    document_ = MenuDocument{};
    saved_.forget();
    player_->menuCleared();
    clearViews();
    menuFileName_ = withoutExtension(path);
    log.dlog0("Reading [bl]" + QFileInfo(path).fileName().toStdString() + "[/bl]");
    ReadOutcome outcome;
    try {
        outcome = loadMNU(path.toStdString(), document_.menu, log);
    } catch (const FileError& error) {
        document_ = MenuDocument{};
        emit menuStateChanged();
        context_.showFileError(QString::fromUtf8(error.what()));
        return false;
    }
    // A file without a composition (a subtitle stream, garbage) leaves the
    // menu empty; the reader has logged why.
    if (outcome.status == ReadStatus::BadFormat || log.cancelRequested()) {
        document_ = MenuDocument{};
        emit menuStateChanged();
        return false;
    }
    document_.good = outcome.good();
    MenuOn();
    saved_.remember(document_.menu);
    return true;
}

// The stream tools save the IG stream of the stream file as a menu file,
// which is read like any other; the last menu file name stays the stream's.
bool MenuTab::loadStreamFile(const QString& path) {
    // Asked before the stream is taken apart, which takes a while.
    if (!settleEdits()) return false;
    return readStreamFile(path);
}

bool MenuTab::readStreamFile(const QString& path) {
    if (!context_.extractMenu) {
        reporter().log(
            "Menus of stream files are read with the stream tools, which this build "
            "does not have.");
        return false;
    }
    const QString menuFile = context_.extractMenu(path);
    if (menuFile.isEmpty()) return false;
    const QString name = menuFileName_;
    const bool loaded = readMenuFile(menuFile);
    menuFileName_ = name;
    return loaded;
}

void MenuTab::MenuOn() {
    document_.loaded = true;
    objectsView->showMenu();
    headerView->showMenu();
    for (int i = 0; i < pcMenu->count(); ++i)
        pcMenu->widget(i)->setEnabled(true);
    pcMenu->setCurrentIndex(kBogsIndex);
    if (!document_.menu.ics.pages.empty()) selectPage(0);
    emit menuStateChanged();
    reporter().slogR();
}

// ---------------------------------------------------------------------------
// Pages

void MenuTab::selectPage(int index) {
    if (index < 0 || index >= static_cast<int>(document_.menu.ics.pages.size())) return;
    document_.page = index;
    headerView->selectPage(index);
    // The simulator first: its button states and its cleared effect
    // preview are what the views show.
    player_->choosePage(static_cast<std::size_t>(index));
    showPageViews(index);
}

void MenuTab::followPage(int index) {
    if (index < 0 || index >= static_cast<int>(document_.menu.ics.pages.size())) return;
    document_.page = index;
    headerView->selectPage(index);
    showPageViews(index);
}

void MenuTab::showPageViews(int index) {
    headerView->showPage();
    bogView->showPage();
    effectsView->showPage();
    if (pcMenu->currentIndex() == kPageViewIndex) reporter().slog("", 1);
    emit pageShown(index);
}

// Changing the inner page hides the info boxes; the "Effects" page shows
// them, the "Page view" shows them with the effect boxes and takes the
// full-screen option; the Objects page shows what the selectors hold now
// (the BOGs preview may have moved them).
void MenuTab::innerPageChanged(int index) {
    pInfo->setVisible(index == kEffectsIndex || index == kPageViewIndex);
    coZoom->setVisible(index == kPageViewIndex);
    pEffects->setVisible(index == kPageViewIndex);
    if (index == kPageViewIndex) pageView->setFullScreen(cbFullScreen->isChecked());
    player_->setPageViewShown(active_ && index == kPageViewIndex);
    if (index != kObjectsIndex || !document_.loaded) return;
    objectsView->refreshReferences();
    objectsView->showChosenObject();
}

// ---------------------------------------------------------------------------
// Editing

bool MenuTab::newMenu() {
    if (!settleEdits()) return false;
    // The composition values a new menu keeps come from the menu it replaces.
    TIGMenu& menu = document_.menu;
    player_->menuCleared();
    clearViews();
    lumora::newMenu(menu);
    document_.loaded = true;
    document_.good = true;
    document_.page = -1;
    MenuOn();
    // A blank menu has nothing to keep until it is edited.
    saved_.remember(document_.menu);
    return true;
}

void MenuTab::refusal(const std::string& why) {
    reporter().slog(why, 1);
}

void MenuTab::createPage() {
    if (!document_.loaded || !document_.good) return;
    const MenuEdit edit = lumora::createPage(document_.menu);
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    headerView->showPageList();
    selectPage(static_cast<int>(document_.menu.ics.pages.size()) - 1);
    emit menuStateChanged();
}

void MenuTab::deletePage() {
    if (!document_.loaded || !document_.good || document_.page < 0) return;
    const int deleted = document_.page;
    const MenuEdit edit = lumora::deletePage(document_.menu, static_cast<std::size_t>(deleted));
    if (!edit.done()) {
        refusal(edit.refusal);
        return;
    }
    headerView->showPageList();
    selectPage(std::max(deleted - 1, 0));
    emit menuStateChanged();
}

void MenuTab::pageEdited() {
    if (document_.page < 0) return;
    player_->choosePage(static_cast<std::size_t>(document_.page));
    headerView->showPage();
}

void MenuTab::structureChanged(int bog, int row) {
    if (document_.page < 0) return;
    pageEdited();
    bogView->showPage();
    bogView->showBogAndRow(bog, row);
    emit pageShown(document_.page);
}

void MenuTab::showPageAndButton(std::optional<int> index, std::optional<std::uint16_t> button) {
    if (!menuLoaded()) return;
    if (index && *index != document_.page) selectPage(*index);
    pcMenu->setCurrentIndex(kBogsIndex);
    if (button) bogView->showButton(*button);
}

// ---------------------------------------------------------------------------
// Save

bool MenuTab::save() {
    if (!canSave()) return false;
    const QFileInfo last(menuFileName_);
    MenuFileRequest request;
    request.title = "Save Menu";
    request.filters = {"Menu (*.mnu)"};
    request.folder = context_.outputFolder();
    if (request.folder.isEmpty() && last.isAbsolute()) request.folder = last.absolutePath();
    request.fileName = QFileInfo(withoutExtension(menuFileName_)).fileName();
    request.defaultSuffix = "mnu";
    const QString path = context_.saveChooser(request);
    if (path.isEmpty()) return false;
    menuFileName_ = withoutExtension(path);
    bool written = false;
    try {
        written = saveIGS(document_.menu, IGSForm::MenuFile, path.toStdString(), reporter());
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
        return false;
    }
    if (written) {
        reporter().log(QFileInfo(path).fileName().toStdString() + " saved.");
        saved_.remember(document_.menu);
    }
    emit menuStateChanged();
    return written;
}

// ---------------------------------------------------------------------------
// Mux

bool MenuTab::mux() {
    if (!canSave()) return false;
    reporter().log("Muxing menu...");
    const QString extension = context_.streamExtension();
    MenuFileRequest request;
    request.title = "Mux Menu";
    request.filters = {extension.mid(1) + " (*" + extension + ")"};
    request.folder = context_.outputFolder();
    request.fileName = QFileInfo(menuFileName_).fileName();
    request.defaultSuffix = extension.mid(1);
    const QString path = context_.saveChooser(request);
    if (path.isEmpty()) return false;
    std::optional<MuxResult> result;
    try {
        result = muxMenu(document_.menu, QFile::encodeName(path).toStdString(), reporter());
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
        return false;
    }
    if (!result) return false;
    reporter().log(QFileInfo(path).fileName().toStdString() + " saved (" +
                   std::to_string(result->packets) + " source packets).");
    reporter().slogR();
    return true;
}

}  // namespace lumora::app
