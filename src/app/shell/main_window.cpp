#include "app/shell/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/about/about_tab.h"
#include "app/bdj/bdjo_tab.h"
#include "app/bdmv/bdmv_tab.h"
#include "app/bdmv/index_view.h"
#include "app/bdmv/movie_object_view.h"
#include "app/bdmv/sound_view.h"
#include "app/clipinf/clipinf_context.h"
#include "app/clipinf/clipinf_tab.h"
#include "app/commands/command_runner.h"
#include "app/commands/execute_panel.h"
#include "app/commands/register_panel.h"
#include "app/menu/menu_context.h"
#include "app/menu/menu_page_view.h"
#include "app/menu/menu_play_controller.h"
#include "app/menu/menu_tab.h"
#include "app/options/options_tab.h"
#include "app/playlist/playlist_context.h"
#include "app/playlist/playlist_items_view.h"
#include "app/playlist/playlist_tab.h"
#include "app/shell/associations.h"
#include "app/shell/command_line.h"
#include "app/shell/gui_sink.h"
#include "app/shell/qt_audio_output.h"
#include "app/shell/resources.h"
#include "app/shell/settings_store.h"
#include "app/shell/status_line.h"
#include "app/shell/tab_bar.h"
#include "app/status/status_tab.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/file_io.h"
#include "core/text.h"
#include "navigation/index_file.h"
#include "navigation/movie_object_file.h"
#include "stream/stream_menu.h"

namespace lumora::app {
namespace {

constexpr const char* kWebLink = "<a href=\"https://lumora.example.org/\">lumora.example.org</a>";

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

// The shared row holds up to a dozen controls on one line at the minimum
// window width, so its buttons are only as wide as their captions.
QPushButton* compact(QPushButton* push) {
    const int text = push->fontMetrics().horizontalAdvance(push->text().remove('&'));
    push->setFixedWidth(std::max(text + 22, 44));
    return push;
}

// The menu colours of the options page as the renderer takes them (red in
// the low byte, as stored).
MenuColours menuColoursOf(const OptionsTab& options) {
    const auto stored = [&options](const char* name) {
        const QColor colour = options.colour(name);
        return static_cast<std::uint32_t>(colour.red() | colour.green() << 8 | colour.blue() << 16);
    };
    MenuColours colours;
    colours.background = stored("colBackground");
    colours.objectBackground = stored("colObjectBackground");
    colours.selectedButton = stored("colSelectedButton");
    colours.selectedFrame = stored("colSelectedFrame");
    colours.normalButton = stored("colNormalButton");
    colours.normalFrame = stored("colNormalFrame");
    colours.invalidButton = stored("colInvalidButton");
    colours.invalidFrame = stored("colInvalidFrame");
    colours.window = stored("colWindow");
    return colours;
}

// "Load" of a stream file: its IG stream on the menu PID becomes the
// temporary menu file, with progress and Cancel.  The menu file's path, or ""
// when nothing came out of it.
QString extractStreamMenu(const QString& streamPath, Reporter& reporter,
                          const std::function<void(const QString&)>& showError) {
    const std::string target = streamMenuTempPath();
    std::optional<DemuxResult> result;
    QString failure;
    {
        const ProgressScope progress(reporter);  // clears the cancel request
        try {
            result = extractMenuFile(QFile::encodeName(streamPath).toStdString(), kDefaultMenuPid,
                                     reporter, target);
        } catch (const FileError& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    if (!failure.isEmpty()) {
        showError(failure);
        return {};
    }
    if (!result) return {};
    if (result->cancelled) {
        reporter.log("Saving cancelled.");
        return {};
    }
    return QString::fromStdString(target);
}

BackgroundChoice backgroundOf(const OptionsTab& options) {
    if (!options.useBackgroundPicture()) return {};
    return {BackgroundChoice::Kind::Picture,
            QFile::encodeName(options.backgroundPicture()).toStdString()};
}

std::unique_ptr<QSettings> defaultSettings() {
    return std::make_unique<QSettings>();
}

QStringList toQStringList(const std::vector<std::string>& entries) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto& entry : entries)
        out << QString::fromStdString(entry);
    return out;
}

}  // namespace

TfMain::TfMain(QWidget* parent) : QMainWindow(parent) {
    initResources();
    setObjectName("fMain");
    caption_ = toQ(programCaption());
    setWindowTitle(caption_);
    setWindowIcon(QIcon(":/lumora/lumora.png"));
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kMinimumWidth + 87, kMinimumHeight + 95);
    setAcceptDrops(true);

    PageControl = new TabWidget(this);
    PageControl->setObjectName("PageControl");
    bdmvTab = new BdmvTab(PageControl);
    playlistTab = new PlaylistTab(PageControl);
    clipinfTab = new ClipinfTab(PageControl);
    menuTab = new MenuTab(PageControl);
    bdjoTab = new BdjoTab(PageControl);
    optionsTab = new OptionsTab(PageControl);
    statusTab = new StatusTab(PageControl);
    aboutTab = new AboutTab(PageControl);
    PageControl->addTab(bdmvTab, "&BDMV");
    PageControl->addTab(playlistTab, "&PLAYLIST");
    PageControl->addTab(clipinfTab, "&CLIPINF");
    PageControl->addTab(menuTab, "&Menu");
    PageControl->addTab(bdjoTab, "BD&JO");
    PageControl->addTab(optionsTab, "&Options");
    PageControl->addTab(statusTab, "S&tatus");
    PageControl->addTab(aboutTab, "&About");

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(PageControl, 1);
    layout->addWidget(buildSharedControls());
    setCentralWidget(central);

    statusLine = new StatusLine(this);
    setStatusBar(statusLine);
    PopupMenu = new GridPopupMenu(this);
    PopupMenu->setObjectName("PopupMenu");

    sink_ = std::make_unique<GuiSink>(statusTab->reMessage, statusLine, progressBar, this);
    sink_->onProgressMode = [this](bool on) { setProgressMode(on); };
    reporter_ = std::make_unique<Reporter>(*sink_);
    bdmvTab->attach(navigation_, *reporter_);
    bdmvTab->setOutputFolder([this] { return optionsTab->outputFolder(); });
    // Before the Menu tab, whose button commands run in its interpreter.
    runner_ = std::make_unique<CommandRunner>(registers_, *reporter_, *executePanel, *registerPanel,
                                              *bCancel);
    connectPlaylistTab();
    connectClipinfTab();
    connectBdjoTab();
    connectMenuTab();
    // One question for every structure, so tests answer it in one place.
    for (SelectorTab* tab : std::initializer_list<SelectorTab*>{playlistTab, clipinfTab})
        tab->setSaveQuestion([this](const QString& name) { return askToSave(name); });

    connectSignals();
    qApp->installEventFilter(this);
    // Edits come from the user's keys, clicks and wheel turns; the caption
    // looks at the models a moment after each, once the views have written
    // them (a dialog's OK lands after its button's release).
    captionTimer_ = new QTimer(this);
    captionTimer_->setSingleShot(true);
    captionTimer_->setInterval(100);
    connect(captionTimer_, &QTimer::timeout, this, &TfMain::refreshCaption);
}

TfMain::~TfMain() {
    qApp->removeEventFilter(this);
}

QWidget* TfMain::buildSharedControls() {
    auto* row = new QWidget(this);
    row->setObjectName("pShared");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 2, 0, 2);
    // Tight: the Menu tab shows a dozen controls here at the minimum width.
    layout->setSpacing(3);
    bSave = compact(button(row, "&Save", "bSave", "Save"));
    bCancel = compact(button(row, "Cancel", "bCancel", "Stop the running operation"));
    bCancel->setEnabled(false);
    progressBar = new QProgressBar(row);
    progressBar->setObjectName("ProgressBar");
    progressBar->setRange(0, 100);
    progressBar->setFixedWidth(160);
    progressBar->hide();
    lWebLink = new QLabel(kWebLink, row);
    lWebLink->setObjectName("lWebLink");
    lWebLink->setOpenExternalLinks(true);
    pExecute = buildExecutePanel();
    pNavigate = buildNavigatePanel();
    pRegisters = buildRegisterPanel();
    bFind = compact(button(row, "Find", "bFind", "Find the references of the selected file"));
    bFind->setEnabled(false);
    // The navigation panel's "&L" and "&U" keep their letters; every letter
    // of "Load" belongs to a tab or to that panel, so Ctrl+L loads instead.
    bLoadMenu = compact(button(row, "Load", "bLoadMenu", "Load an IGS menu (*.mnu) (Ctrl+L)"));
    bLoadMenu->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    bMux = compact(button(row, "Mu&x", "bMux", "Mux the IGS menu to a .m2ts"));

    layout->addWidget(bSave);
    layout->addWidget(bCancel);
    layout->addWidget(progressBar);
    layout->addWidget(pExecute);
    layout->addWidget(pNavigate);
    layout->addWidget(lWebLink);
    layout->addStretch(1);
    layout->addWidget(pRegisters);
    layout->addWidget(bFind);
    layout->addWidget(bLoadMenu);
    layout->addWidget(bMux);
    return row;
}

QWidget* TfMain::buildExecutePanel() {
    executePanel = new ExecutePanel(this);
    bStart = executePanel->bStart;
    cbTrace = executePanel->cbTrace;
    cbObject = executePanel->cbObject;
    cbButton = executePanel->cbButton;
    eProgLine = executePanel->eProgLine;
    executePanel->setEnabled(false);
    return executePanel;
}

QWidget* TfMain::buildNavigatePanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("pNavigate");
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    const struct {
        const char* caption;
        const char* name;
        const char* hint;
    } buttons[] = {{"&U", "bUp", "Move up"},
                   {"&D", "bDown", "Move down"},
                   {"&L", "bLeft", "Move left"},
                   {"&R", "bRight", "Move right"},
                   {"S&el", "bSelect", "Activate the selected button"}};
    for (const auto& b : buttons) {
        QPushButton* push = button(panel, b.caption, b.name, b.hint);
        push->setFixedWidth(b.name == QString("bSelect") ? 36 : 26);
        layout->addWidget(push);
    }
    return panel;
}

QWidget* TfMain::buildRegisterPanel() {
    registerPanel = new RegisterPanel(registers_, this);
    return registerPanel;
}

void TfMain::connectSignals() {
    connect(PageControl, &QTabWidget::currentChanged, this, [this] { applyTabRoles(); });
    connect(bdmvTab->bReadBDMV, &QPushButton::clicked, this, &TfMain::readFolder);
    connect(bdmvTab->bbOpenDir, &QToolButton::clicked, this, &TfMain::chooseFolder);
    connect(bSave, &QPushButton::clicked, this, &TfMain::save);
    connect(bFind, &QPushButton::clicked, this, &TfMain::find);
    connect(bCancel, &QPushButton::clicked, this, [this] { reporter_->cancel(); });
    connect(optionsTab, &OptionsTab::use83Changed, this, &TfMain::applyNameSet);
    connect(optionsTab, &OptionsTab::activationDelayChanged, this,
            [this](int delay) { reporter_->setActivationDelay(delay); });
    connect(aboutTab, &AboutTab::linkHovered, this,
            [this](const QString& url) { reporter_->slog(url.toStdString(), 1); });
    connect(menuTab->pcMenu, &QTabWidget::currentChanged, this, [this] { applyTabRoles(); });
    connect(bdmvTab, &BdmvTab::objectsChanged, this, &TfMain::fillObjectSelector);
    connect(bdmvTab, &BdmvTab::objectSelected, this, [this](int object) {
        if (object >= 0 && object < cbObject->count()) cbObject->setCurrentIndex(object);
    });
    connect(bdmvTab, &BdmvTab::rolesChanged, this, &TfMain::applyBdmvRole);
    connect(bdmvTab, &BdmvTab::bdjTitleActivated, this, &TfMain::openBdjTitle);
    for (SelectorTab* tab : std::initializer_list<SelectorTab*>{playlistTab, clipinfTab, bdjoTab}) {
        connect(tab->selector(), &QComboBox::currentIndexChanged, this,
                [this] { applyTabRoles(); });
    }
    connectCommandRunner();
}

void TfMain::connectCommandRunner() {
    MovieObjectView* objects = bdmvTab->movieObjectView;
    objects->setCommandClipboard(&commandClipboard_);
    objects->menuTabActive = [this] { return PageControl->currentIndex() == kMenu; };
    objects->programFormat = [this] { return optionsTab->programFormat(); };
    objects->fileErrorBox = [this](const QString& message) { showFileError(message); };
    connect(objects, &MovieObjectView::commandsChanged, this, &TfMain::applyBdmvRole);
    connect(objects, &MovieObjectView::commandRowClicked, this, &TfMain::runTracedRow);
    connect(objects, &MovieObjectView::followRequested, this, &TfMain::followCommand);
    connect(bStart, &QPushButton::clicked, this, &TfMain::startCommands);
    connect(cbObject, &QComboBox::activated, objects, &MovieObjectView::setObjectSG);
    connect(executePanel, &ExecutePanel::programLineTyped, this,
            [this](int line) { runner_->setProgramLine(line); });
    connect(statusTab->bPSRs, &QPushButton::clicked, this, [this] { runner_->logPsrs(); });
    connect(statusTab->bGPRs, &QPushButton::clicked, this, [this] { runner_->logGprs(); });
    connect(statusTab->bResetRegs, &QPushButton::clicked, this, &TfMain::resetRegisters);
}

QString TfMain::folderText() const {
    return bdmvTab->eBDMVdir->text();
}

void TfMain::setFolderText(const QString& folder) {
    bdmvTab->eBDMVdir->setText(folder);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void TfMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (started_ || startScheduled_) return;
    startScheduled_ = true;
    // After the window is on screen, so the Read's reports are visible.
    QTimer::singleShot(0, this, [this] { startUp(QApplication::arguments().mid(1)); });
}

void TfMain::startUp(const QStringList& arguments) {
    if (started_) return;
    started_ = true;
    fillLanguageLists();
    setMenuFileNames();
    createWorkBitmaps();
    pNavigate->hide();
    pExecute->hide();
    PageControl->setCurrentIndex(kBdmv);
    // The about text is in place since the About tab was built.
    readStoredSettings();
    registerAssociations();
    applyLoadedOptions();
    createSoundPlayer();
    reporter_->slogR();
    prepareMenuViews();
    setCaption(programCaption());
    writeGridHeaders();
    handleCommandLine(arguments);
    applyTabRoles();
    autoCreateMenu();
}

void TfMain::fillLanguageLists() {
    // The options page fills its three language lists when it is built.
}

// A loaded menu file stays open as the menu's resource, where the object data
// is read from on demand, so no copy of it is made in the temporary folder.
void TfMain::setMenuFileNames() {
    menuTab->setMenuFileName("mymenu");
}

void TfMain::createWorkBitmaps() {
    // The menu views' work bitmaps arrive with the menu renderer.
}

void TfMain::registerAssociations() {
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString program = QApplication::applicationFilePath();
    if (optionsTab->associateBdmv()) registerAssociation(Association::Bdmv, program, dataDir);
    if (optionsTab->associateMnu()) registerAssociation(Association::Mnu, program, dataDir);
}

void TfMain::applyLoadedOptions() {
    applyNameSet(optionsTab->use83());
    reporter_->setActivationDelay(optionsTab->activationDelay());
    // The menu options (button and object ids, frames, effects, animation,
    // button sound, background) take effect with the menu views.
}

void TfMain::createSoundPlayer() {
    auto output = std::make_unique<QtAudioOutput>(this);
    QtAudioOutput* qt = output.get();
    useAudioOutput(std::move(output));
    qt->setPlayer(wavePlayer_.get());
}

void TfMain::useAudioOutput(std::unique_ptr<AudioOutput> output) {
    wavePlayer_.reset();
    audioOutput_ = std::move(output);
    wavePlayer_ = std::make_unique<WavePlayer>(*audioOutput_);
    // No output device, or one that refuses the format: said in the status
    // line; nothing waits for it.
    wavePlayer_->onError = [this](const std::string& why) { reporter_->erslog(why); };
}

void TfMain::playSound(std::size_t index) {
    if (wavePlayer_) playSoundEntry(*wavePlayer_, navigation_.sound.sound, index);
}

std::size_t TfMain::soundCount() const {
    return navigation_.sound.shown ? navigation_.sound.sound.index.entries.size() : 0;
}

// Entries came or went: the menu checks and plays its button sounds
// against them; "Create sound.bdmv" is for a folder without the file.
void TfMain::soundChanged() {
    menuTab->setSoundCount(soundCount());
    optionsTab->setCreateSoundEnabled(!navigation_.sound.shown);
    applyTabRoles();
}

void TfMain::createSoundFile() {
    if (disc_.folder.empty()) {
        reporter_->slog("Read a BDMV folder first: sound.bdmv goes into its AUXDATA folder", 1);
        return;
    }
    PageControl->setCurrentIndex(kBdmv);
    bdmvTab->soundView->create(disc_.folder + "AUXDATA");
    soundChanged();
}

// The preview and page areas take their colours, the page its background
// picture; then the registers get their start values.
void TfMain::prepareMenuViews() {
    menuTab->setMenuColours(menuColoursOf(*optionsTab));
    menuTab->setBackground(backgroundOf(*optionsTab));
    menuTab->setGridSize(optionsTab->gridSize());
    menuTab->setPreload(optionsTab->optionBox("PreLoad")->isChecked());
    resetRegisters();
}

void TfMain::writeGridHeaders() {
    // Each structure view writes its grid headers and fixed lists when it is
    // built.
}

void TfMain::handleCommandLine(const QStringList& arguments) {
    const CommandLineRoute route = routeCommandLine(arguments);
    switch (route.action) {
        case StartAction::LoadMenu:
            loadMenuFile(route.path);
            break;
        case StartAction::ReadFolder:
            setFolderText(route.folder);
            readFolder();
            break;
        case StartAction::AutoRead:
            if (optionsTab->autoRead() && !folderText().isEmpty()) readFolder();
            break;
    }
}

// A menu the command line loaded is not replaced by the empty one.
void TfMain::autoCreateMenu() {
    if (optionsTab->autoCreateMenu() && !menuTab->menuLoaded()) menuTab->newMenu();
}

void TfMain::closeEvent(QCloseEvent* event) {
    if (!settleAllEdits()) {
        event->ignore();
        return;
    }
    shutDown();
    QMainWindow::closeEvent(event);
}

void TfMain::shutDown() {
    if (started_) writeStoredSettings();
    disc_ = DiscFolder{};
    deleteTemporaryFiles();
}

void TfMain::deleteTemporaryFiles() {
    QDir temp(QDir::tempPath());
    for (const QString& name : temp.entryList({"Lumora_*"}, QDir::Files | QDir::Hidden)) {
        temp.remove(name);
    }
}

void TfMain::readStoredSettings() {
    const auto store = settingsFactory ? settingsFactory() : defaultSettings();
    const LumoraSettings settings = readSettings(*store);
    optionsTab->applySettings(settings);
    setFolderText(settings.bdmvDir);
    optionsTab->setBackgroundPicture(settings.backgroundPic);
    bdmvTab->movieObjectView->setObjectPanelHeight(settings.objectHeight);
    playlistTab->setGroupHeights(
        {settings.playListHeight, settings.subPathHeight, settings.playListMarkHeight});
    if (settings.hasGeometry) {
        setGeometry(settings.left, settings.top, settings.width, settings.height);
    }
    // A window that was closed maximised opens maximised; one closed while
    // minimised opens normally, so the program is not started out of sight.
    if (settings.windowState == 2) setWindowState(windowState() | Qt::WindowMaximized);
}

void TfMain::writeStoredSettings() {
    const auto store = settingsFactory ? settingsFactory() : defaultSettings();
    LumoraSettings settings = readSettings(*store);
    optionsTab->collectSettings(settings);
    settings.bdmvDir = folderText();
    settings.backgroundPic = optionsTab->backgroundPicture();
    settings.objectHeight = bdmvTab->movieObjectView->objectPanelHeight();
    const QList<int> heights = playlistTab->groupHeights();
    if (heights.size() == 3) {
        settings.playListHeight = heights[0];
        settings.subPathHeight = heights[1];
        settings.playListMarkHeight = heights[2];
    }
    const bool maximised = isMaximized();
    settings.windowState = maximised ? 2 : (isMinimized() ? 1 : 0);
    if (!maximised) {
        const QRect frame = geometry();
        settings.left = frame.left();
        settings.top = frame.top();
        settings.width = frame.width();
        settings.height = frame.height();
        settings.hasGeometry = true;
    }
    writeSettings(*store, settings, maximised);
    store->sync();
}

// ---------------------------------------------------------------------------
// The folder

void TfMain::chooseFolder() {
    const QString start = toQ(chooserStartFolder(folderText().toStdString()));
    const QString chosen =
        folderChooser ? folderChooser(start)
                      : QFileDialog::getExistingDirectory(this, "Select a directory", start);
    if (chosen.isEmpty()) return;
    const bool read = optionsTab->autoRead();
    if (read && !settleAllEdits()) return;
    setFolderText(toQ(normaliseChosenFolder(QDir::cleanPath(chosen).toStdString())));
    if (read) readFolderNow();
}

void TfMain::handleDrop(const QStringList& paths) {
    const DropRoute route = routeDrop(paths);
    if (!route.valid) return;
    if (!route.menuPath.isEmpty()) {
        loadMenuFile(route.menuPath);
        return;
    }
    if (!settleAllEdits()) return;
    setFolderText(route.folder);
    optionsTab->setUse83(route.use83);
    readFolderNow();
}

void TfMain::readFolder() {
    if (!settleAllEdits()) return;
    readFolderNow();
}

void TfMain::readFolderNow() {
    bdmvTab->bReadBDMV->setEnabled(false);
    disc_.folder = folderText().toStdString();
    disc_.use83 = optionsTab->use83();
    FolderReadHooks hooks;
    // Until the folder is known to be a disc, the caption names none.
    hooks.clear = [this] {
        clearViews();
        setCaption(programCaption());
    };
    hooks.nameSetChanged = [this](bool on) { optionsTab->setUse83(on); };
    hooks.readMovieObjects = [this] { readMovieObjects(); };
    hooks.listsFilled = [this] { fillSelectors(); };
    hooks.readIndex = [this] { readIndex(); };
    hooks.soundChecked = [this](bool found) { bdmvTab->gbSound->setVisible(found); };
    hooks.readSound = [this] { bdmvTab->soundView->read(disc_.soundPath()); };
    hooks.titleChanged = [this](const std::string& title) { setCaption(title); };
    FolderReadResult result;
    guarded([&] { result = lumora::readFolder(disc_, *reporter_, hooks); });
    soundChanged();
    if (result.checked) {
        pExecute->setEnabled(true);
        bFind->setEnabled(true);
    }
    bdmvTab->bReadBDMV->setEnabled(true);
}

void TfMain::clearViews() {
    playlistTab->clear();
    clipinfTab->clear();
    bdjoTab->clear();
    bdjoTab->clearViews();
    menuTab->clear();
    cbObject->clear();
    bdmvTab->clear();
    for (QPushButton* b : {clipinfTab->bSavePID, clipinfTab->bToMenu, clipinfTab->bPlay}) {
        b->setEnabled(false);
    }
}

void TfMain::fillSelectors() {
    playlistTab->setEntries(toQStringList(disc_.playlists));
    clipinfTab->setEntries(toQStringList(disc_.clipinfs));
    bdjoTab->setEntries(toQStringList(disc_.bdjos));
    bdmvTab->showBdjNames(disc_.bdjos);
}

// A file that was not read well keeps an empty model and is never written.
// The readers take the model only when they got far enough to fill it (a file
// cut short after its header still shows what it holds); a model they left
// alone keeps the blank type indicator it was given here.
void TfMain::readMovieObjects() {
    navigation_.objects = TMOBJ{};
    navigation_.objects.typeIndicator.clear();
    readMovieObjectFile(disc_.movieObjectPath(), disc_.names().movieObject, navigation_.objects,
                        *reporter_);
    navigation_.objectsRead = !navigation_.objects.typeIndicator.empty();
    if (!navigation_.objectsRead) navigation_.objects = TMOBJ{};
    navigation_.objectsSaved.remember(navigation_.objects);
    bdmvTab->showMovieObjects(navigation_.objectsRead);
}

void TfMain::readIndex() {
    navigation_.index = TINDX{};
    navigation_.index.typeIndicator = 0;
    const ReadOutcome outcome =
        readIndexFile(disc_.indexPath(), disc_.names().index, navigation_.index, *reporter_);
    const bool good = navigation_.index.typeIndicator != 0;
    navigation_.indexRead = good;
    if (!good) navigation_.index = TINDX{};
    navigation_.indexSaved.remember(navigation_.index);
    bdmvTab->showIndex(good);
    // An index with too many titles ends its read before anything else is
    // decided; a bad one takes the playlist and clip lists with it.
    if (outcome.status == ReadStatus::TooManyTitles) return;
    for (SelectorTab* tab : std::initializer_list<SelectorTab*>{playlistTab, clipinfTab}) {
        tab->selector()->setEnabled(good);
        tab->readButton()->setEnabled(good && tab->selector()->count() > 0);
    }
}

void TfMain::fillObjectSelector() {
    cbObject->clear();
    for (std::size_t i = 0; i < navigation_.objects.objects.size(); ++i)
        cbObject->addItem(toQ(zeroPad(static_cast<std::int64_t>(i), 4)));
    const int selected = bdmvTab->movieObjectView->selectedObject();
    if (selected >= 0 && selected < cbObject->count()) cbObject->setCurrentIndex(selected);
}

void TfMain::openBdjTitle(int fileIndex) {
    QComboBox* selector = bdjoTab->selector();
    const bool listed = fileIndex >= 0 && fileIndex < selector->count();
    const bool wasLoaded = bdjoTab->loaded();
    if (listed) selector->setCurrentIndex(fileIndex);
    PageControl->setCurrentIndex(kBdjo);
    // Entering the tab reads the selection by itself the first time when
    // "Auto Read" is on; it is not read twice.
    if (listed && (wasLoaded || !bdjoTab->loaded())) bdjoTab->readSelected();
}

// ---------------------------------------------------------------------------
// The command emulator

void TfMain::resetRegisters() {
    runner_->resetRegisters(optionsTab->playerSettings());
}

// "Start" on the Menu tab plays the menu's page; on the BDMV tab it runs the
// selected movie object.
void TfMain::startCommands() {
    if (PageControl->currentIndex() == kMenu) {
        menuTab->player().start();
        return;
    }
    if (PageControl->currentIndex() != kBdmv) return;
    MovieObjectView* objects = bdmvTab->movieObjectView;
    const TCommands* commands = objects->currentCommands();
    if (commands == nullptr) return;
    if (objects->selectedObject() < cbObject->count()) {
        cbObject->setCurrentIndex(objects->selectedObject());
    }
    runner_->start(*commands, CommandContext::MovieObject, [objects](std::size_t line) {
        objects->selectCommandLine(static_cast<int>(line));
    });
}

void TfMain::runTracedRow(int line) {
    MovieObjectView* objects = bdmvTab->movieObjectView;
    const TCommands* commands = objects->currentCommands();
    if (!cbTrace->isChecked() || commands == nullptr) return;
    runner_->runRow(line, *commands, CommandContext::MovieObject, [objects](std::size_t next) {
        objects->selectCommandLine(static_cast<int>(next));
    });
}

// The grid itself follows GoTo lines and movie objects; titles and playlists
// lie on other views.  Menu pages and buttons are followed once menus can be
// loaded.
void TfMain::followCommand(const CommandFollow& follow) {
    if (follow.title) {
        PageControl->setCurrentIndex(kBdmv);
        if (follow.titleRowSelectable()) {
            bdmvTab->indexView->selectTitle(static_cast<int>(*follow.title) - 1);
            bdmvTab->movieObjectView->selectCommandLine(0);
        }
    }
    if (follow.playlist) openPlaylist(toQ(playlistEntry(*follow.playlist)), follow.playItem);
    if (follow.movieObject && *follow.movieObject < navigation_.objects.objects.size() &&
        !follow.title && !follow.playlist) {
        PageControl->setCurrentIndex(kBdmv);
        bdmvTab->movieObjectView->setObjectSG(static_cast<int>(*follow.movieObject));
    }
    // SetButtonPage: the page and the button on the Menu tab, when a menu is
    // shown there.
    if ((follow.menuPage || follow.menuButton) && menuTab->menuLoaded()) {
        std::optional<int> page;
        if (follow.menuPage) page = static_cast<int>(*follow.menuPage);
        if (page && *page >= static_cast<int>(menuTab->menu().ics.pages.size())) page.reset();
        std::optional<std::uint16_t> button;
        if (follow.menuButton) button = static_cast<std::uint16_t>(*follow.menuButton);
        PageControl->setCurrentIndex(kMenu);
        menuTab->showPageAndButton(page, button);
    }
}

void TfMain::openPlaylist(const QString& entry, std::optional<std::uint32_t> playItem) {
    QComboBox* selector = playlistTab->selector();
    const int found = selector->findText(entry);
    if (found < 0) {
        reporter_->slog("Playlist " + entry.toStdString() + " not found", 1);
        return;
    }
    const bool wasLoaded = playlistTab->loaded();
    // The playlist shown is only brought to the front: reading it again
    // would drop its unsaved edits.
    const bool shown = playlistTab->showing(entry);
    selector->setCurrentIndex(found);
    PageControl->setCurrentIndex(kPlaylist);
    // Entering the tab reads the selection by itself the first time when
    // "Auto Read" is on; it is not read twice.
    if (!shown && (wasLoaded || !playlistTab->loaded())) playlistTab->readSelected();
    if (playItem) playlistTab->playItemsView->selectPlayItem(static_cast<int>(*playItem));
}

void TfMain::applyNameSet(bool use83) {
    bdmvTab->setNameSet(nameSet(use83));
    // The save hints name the files with the extension of the name set.
    applyTabRoles();
}

void TfMain::loadMenuFile(const QString& path) {
    PageControl->setCurrentIndex(kMenu);
    menuTab->loadMenuFile(path);
}

void TfMain::connectMenuTab() {
    MenuContext context;
    context.reporter = reporter_.get();
    context.outputFolder = [this] { return optionsTab->outputFolder(); };
    context.streamExtension = [this] {
        const std::string_view extension = nameSet(optionsTab->use83()).streamExt;
        return QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    };
    context.objectBackground = [this] { return optionsTab->colour("colObjectBackground"); };
    context.showFileError = [this](const QString& message) { showFileError(message); };
    context.saveQuestion = [this](const QString& name) { return askToSave(name); };
    context.popupMenu = PopupMenu;
    context.registers = &registers_;
    context.interpreter = &runner_->interpreter();
    context.clipboard = &commandClipboard_;
    context.programFormat = [this] { return optionsTab->programFormat(); };
    context.soundCount = [this] { return soundCount(); };
    context.playSound = [this](std::size_t index) { playSound(index); };
    context.enableCancel = [this](bool enabled) { bCancel->setEnabled(enabled); };
    context.extractMenu = [this](const QString& streamPath) {
        return extractStreamMenu(streamPath, *reporter_,
                                 [this](const QString& message) { showFileError(message); });
    };
    menuTab->setContext(std::move(context));
    connectMenuPlay();
    connect(bLoadMenu, &QPushButton::clicked, menuTab, &MenuTab::chooseMenuFile);
    connect(bMux, &QPushButton::clicked, menuTab, &MenuTab::mux);
    connect(menuTab, &MenuTab::showRequested, this,
            [this] { PageControl->setCurrentIndex(kMenu); });
    connect(menuTab, &MenuTab::menuStateChanged, this, [this] { applyTabRoles(); });
    connect(menuTab, &MenuTab::pageShown, this, &TfMain::fillButtonSelector);
    connect(menuTab, &MenuTab::followRequested, this, &TfMain::followCommand);
    connect(optionsTab, &OptionsTab::createSoundRequested, this, &TfMain::createSoundFile);
    connect(bdmvTab->soundView, &SoundView::soundChanged, this, &TfMain::soundChanged);
    bdmvTab->soundView->playSound = [this](std::size_t index) { playSound(index); };
    bdmvTab->soundView->fileErrorBox = [this](const QString& message) { showFileError(message); };
    connect(optionsTab, &OptionsTab::createMenuRequested, this, [this] {
        menuTab->newMenu();
        PageControl->setCurrentIndex(kMenu);
    });
    connect(optionsTab, &OptionsTab::colourChanged, this,
            [this] { menuTab->setMenuColours(menuColoursOf(*optionsTab)); });
}

// The Menu tab's player: "Start" (startCommands), the navigation panel, the
// button selector, the register panel, the key codes of the page view, the
// check boxes with their Options twins and the options drawing follows.
void TfMain::connectMenuPlay() {
    const struct {
        const char* button;
        MenuDirection direction;
    } moves[] = {{"bUp", MenuDirection::Up},
                 {"bDown", MenuDirection::Down},
                 {"bLeft", MenuDirection::Left},
                 {"bRight", MenuDirection::Right}};
    for (const auto& move : moves) {
        connect(pNavigate->findChild<QPushButton*>(move.button), &QPushButton::clicked, this,
                [this, direction = move.direction] { menuTab->player().navigate(direction); });
    }
    connect(pNavigate->findChild<QPushButton*>("bSelect"), &QPushButton::clicked, this,
            [this] { menuTab->player().activate(); });
    connect(cbButton, &QComboBox::activated, this, [this](int slot) {
        if (PageControl->currentIndex() == kMenu) menuTab->player().chooseButton(slot);
    });
    connect(menuTab, &MenuTab::buttonSelected, this, [this](int slot) {
        if (slot < cbButton->count()) cbButton->setCurrentIndex(slot);
    });
    connect(menuTab, &MenuTab::registersChanged, registerPanel, &RegisterPanel::refresh);
    connect(menuTab->pageView, &MenuPageView::keyPressed, this,
            [this](int key) { reporter_->slog(std::to_string(key), 1); });

    const struct {
        QCheckBox* menuBox;
        const char* setting;
    } twins[] = {{menuTab->cbButtonId, "ButtonId"},
                 {menuTab->cbObjectId, "ObjectId"},
                 {menuTab->cbButtonFrame, "ButtonFrame"},
                 {menuTab->cbWindowFrame, "WindowFrame"},
                 {menuTab->cbInEffects, "ShowInEffects"},
                 {menuTab->cbOutEffects, "ShowOutEffects"},
                 {menuTab->cbAnimation, "ShowButtonAnimation"},
                 {menuTab->cbFullScreen, "ShowFullScreen"},
                 {menuTab->cbPlaySound, "PlaySound"}};
    for (const auto& twin : twins) {
        QCheckBox* option = optionsTab->optionBox(twin.setting);
        twin.menuBox->setChecked(option->isChecked());
        connect(twin.menuBox, &QCheckBox::toggled, option, &QCheckBox::setChecked);
        connect(option, &QCheckBox::toggled, twin.menuBox, &QCheckBox::setChecked);
    }
    connect(optionsTab->optionBox("PreLoad"), &QCheckBox::toggled, menuTab, &MenuTab::setPreload);
    connect(optionsTab, &OptionsTab::gridSizeChanged, menuTab, &MenuTab::setGridSize);
    connect(optionsTab, &OptionsTab::backgroundChanged, this,
            [this] { menuTab->setBackground(backgroundOf(*optionsTab)); });
    optionsTab->setDiscFolder([this] { return folderText(); });
}

void TfMain::fillButtonSelector(int page) {
    cbButton->clear();
    const TIGMenu& menu = menuTab->menu();
    if (page < 0 || static_cast<std::size_t>(page) >= menu.pageButtons.size()) return;
    const std::size_t slotCount = menu.pageButtons[static_cast<std::size_t>(page)].size();
    for (std::size_t slot = 0; slot < slotCount; ++slot)
        cbButton->addItem(toQ(hexText(slot, 4)));
    if (cbButton->count() > 0) cbButton->setCurrentIndex(0);
}

void TfMain::connectPlaylistTab() {
    PlaylistContext context;
    context.reporter = reporter_.get();
    context.disc = [this] {
        DiscFolder disc = disc_;
        disc.use83 = optionsTab->use83();
        return disc;
    };
    context.autoRead = [this] { return optionsTab->autoRead(); };
    context.backupOptions = [this] { return optionsTab->backupOptions(); };
    context.outputFolder = [this] { return optionsTab->outputFolder(); };
    context.chapterFormat = [this] {
        return static_cast<ChapterFormat>(optionsTab->chapterFormat());
    };
    context.showFileError = [this](const QString& message) { showFileError(message); };
    context.popupMenu = PopupMenu;
    playlistTab->setContext(std::move(context));
    connect(playlistTab, &PlaylistTab::saveStateChanged, this, [this] { applyTabRoles(); });
}

void TfMain::connectBdjoTab() {
    BdjoContext context;
    context.reporter = reporter_.get();
    context.disc = [this] { return disc_; };
    context.autoRead = [this] { return optionsTab->autoRead(); };
    context.showFileError = [this](const QString& message) { showFileError(message); };
    bdjoTab->setContext(std::move(context));
    // An accessible playlist the disc lists comes up on the PLAYLIST tab.
    connect(bdjoTab, &BdjoTab::playlistRequested, this, [this](const QString& entry) {
        if (playlistTab->selector()->findText(entry) < 0) return;
        PageControl->setCurrentIndex(kPlaylist);
        playlistTab->choosePlaylist(entry);
    });
}

void TfMain::connectClipinfTab() {
    ClipinfContext context;
    context.reporter = reporter_.get();
    context.disc = [this] {
        DiscFolder disc = disc_;
        disc.use83 = optionsTab->use83();
        return disc;
    };
    context.autoRead = [this] { return optionsTab->autoRead(); };
    context.backupOptions = [this] { return optionsTab->backupOptions(); };
    context.outputFolder = [this] { return optionsTab->outputFolder(); };
    context.savePidFormat = [this] {
        auto on = [this](const char* name) { return optionsTab->optionBox(name)->isChecked(); };
        return SavePidFormat{on("SavePES"), on("SaveSUP"), on("SaveMNU")};
    };
    // "-> M&enu" leaves the last menu file name as it was.
    context.openMenuFile = [this](const QString& path) {
        const QString name = menuTab->menuFileName();
        loadMenuFile(path);
        menuTab->setMenuFileName(name);
    };
    context.showFileError = [this](const QString& message) { showFileError(message); };
    context.popupMenu = PopupMenu;
    clipinfTab->setContext(std::move(context));
    connect(clipinfTab, &ClipinfTab::saveStateChanged, this, [this] { applyTabRoles(); });
    connect(clipinfTab, &ClipinfTab::playlistRequested, this,
            [this](const QString& entry, int playItem) {
                openPlaylist(entry,
                             playItem >= 0 ? std::optional<std::uint32_t>(playItem) : std::nullopt);
            });
    connect(playlistTab, &PlaylistTab::clipRequested, this, &TfMain::openClip);
    connect(playlistTab, &PlaylistTab::applyToClipRequested, this, &TfMain::applyToClip);
}

void TfMain::openClip(const QString& entry) {
    // The clip shown is only brought to the front: reading it again would
    // drop its unsaved edits.
    if (clipinfTab->showing(entry)) {
        clipinfTab->selectClip(entry);
        PageControl->setCurrentIndex(kClipinf);
        return;
    }
    const bool wasLoaded = clipinfTab->loaded();
    const bool listed = clipinfTab->selectClip(entry);
    PageControl->setCurrentIndex(kClipinf);
    if (!listed) {
        reporter_->slog("Clip information " + entry.toStdString() + " not found", 1);
        return;
    }
    // Entering the tab reads the selection by itself the first time when
    // "Auto Read" is on; it is not read twice.
    if (wasLoaded || !clipinfTab->loaded()) clipinfTab->readSelected();
}

// The clip is shown on the CLIPINF tab and changed there in memory; the tab's
// Save writes it (after the backup step) once the user has looked at it.
void TfMain::applyToClip(int item) {
    const auto& items = playlistTab->playlist().playList.playItems;
    if (!playlistTab->playlistLoaded() || item < 0 || item >= static_cast<int>(items.size()))
        return;
    const TPlayItem& playItem = items[static_cast<std::size_t>(item)];
    const QString clip = toQ(playItem.clipName);
    clipinfTab->applyStn(clip, playItem.stn);
    // The changed rows are there to be reviewed before Save.
    if (clipinfTab->showing(clip)) PageControl->setCurrentIndex(kClipinf);
}

void TfMain::showFileError(const QString& message) {
    if (fileErrorBox) {
        fileErrorBox(message);
        return;
    }
    QMessageBox::critical(this, toQ(programCaption()), message);
}

void TfMain::guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (const FileError& error) {
        showFileError(QString::fromUtf8(error.what()));
    }
}

// ---------------------------------------------------------------------------
// Shared buttons

void TfMain::save() {
    switch (PageControl->currentIndex()) {
        case kBdmv:
            saveBdmvFiles();
            break;
        case kPlaylist:
            guarded([this] { playlistTab->save(); });
            break;
        case kClipinf:
            clipinfTab->save();
            break;
        case kMenu:
            menuTab->save();
            break;
        default:
            break;
    }
    refreshCaption();
}

void TfMain::find() {
    switch (PageControl->currentIndex()) {
        case kPlaylist:
            playlistTab->findCallers(navigation_.objects);
            PageControl->setCurrentIndex(kStatus);
            break;
        case kClipinf:
            clipinfTab->findReferences();
            break;
        default:
            break;
    }
}

// index.bdmv, then MovieObject.bdmv, then sound.bdmv when the folder has one.
bool TfMain::saveBdmvFiles() {
    if (!bdmvTab->canSave()) return false;
    const BackupOptions backup = optionsTab->backupOptions();
    const NameSet& names = nameSet(optionsTab->use83());
    bool written = false;
    guarded([&] {
        if (!saveIndexFile(disc_.folder, names.index, navigation_.index, *reporter_, backup)) {
            return;
        }
        navigation_.indexSaved.remember(navigation_.index);
        // The titles name movie objects by position: a movie object file
        // written beside an index that was not would send them elsewhere.
        if (navigation_.objectsRead) {
            if (!saveMovieObjectFile(disc_.folder, names.movieObject, navigation_.objects,
                                     *reporter_, backup)) {
                return;
            }
            navigation_.objectsSaved.remember(navigation_.objects);
        }
        if (navigation_.sound.shown) {
            if (!saveSoundFile(disc_.folder + "AUXDATA/", navigation_.sound.sound, *reporter_,
                               backup)) {
                return;
            }
            navigation_.sound.saved.remember(navigation_.sound.sound);
        }
        written = true;
    });
    refreshCaption();
    return written;
}

QString TfMain::editedBdmvNames() const {
    const NameSet& names = nameSet(optionsTab->use83());
    QStringList edited;
    if (navigation_.indexEdited()) edited << toQ(std::string(names.index));
    if (navigation_.objectsEdited()) edited << toQ(std::string(names.movieObject));
    if (navigation_.sound.edited()) edited << "sound.bdmv";
    return edited.join(", ");
}

// ---------------------------------------------------------------------------
// Unsaved edits

bool TfMain::anyEdited() const {
    return !editedBdmvNames().isEmpty() || playlistTab->edited() || clipinfTab->edited() ||
           menuTab->edited();
}

SaveChoice TfMain::askToSave(const QString& name) {
    if (saveQuestion) return saveQuestion(name);
    return askToSaveChanges(this, name);
}

// The BDMV folder's files are saved together, as the BDMV tab's Save does:
// the index and the movie objects refer to each other by position.
bool TfMain::settleAllEdits() {
    const QString bdmvNames = editedBdmvNames();
    const bool settled =
        (bdmvNames.isEmpty() || settleEdits([this](const QString& name) { return askToSave(name); },
                                            bdmvNames, [this] { return saveBdmvFiles(); })) &&
        playlistTab->settleEdits() && clipinfTab->settleEdits() && menuTab->settleEdits();
    refreshCaption();
    return settled;
}

void TfMain::setCaption(const std::string& title) {
    caption_ = toQ(title);
    refreshCaption();
}

void TfMain::refreshCaption() {
    const QString title = anyEdited() ? caption_ + " *" : caption_;
    if (windowTitle() != title) setWindowTitle(title);
}

void TfMain::applyBdmvRole() {
    if (PageControl->currentIndex() != kBdmv) return;
    bSave->setEnabled(bdmvTab->canSave());
    bStart->setEnabled(bdmvTab->canStart());
}

void TfMain::setProgressMode(bool on) {
    if (on) {
        lWebLink->hide();
        pExecute->hide();
        pNavigate->hide();
        pRegisters->hide();
        progressBar->setValue(0);
        progressBar->show();
        bCancel->setEnabled(true);
        return;
    }
    progressBar->hide();
    applyTabRoles();
    bCancel->setEnabled(false);
}

void TfMain::autoReadOnEntry(SelectorTab* tab) {
    if (optionsTab->autoRead() && tab->readButton()->isEnabled() && !tab->loaded()) {
        tab->readSelected();
    }
}

void TfMain::applyTabRoles() {
    // The menu's timers run, and its button commands reach it, only while
    // the Menu tab is shown.
    menuTab->setActive(PageControl->currentIndex() == kMenu);
    runner_->setCommandLog(PageControl->currentIndex() == kMenu);
    bStart->setEnabled(false);
    bSave->hide();
    bSave->setEnabled(false);
    bSave->setToolTip("Save");
    pExecute->hide();
    pNavigate->hide();
    pRegisters->hide();
    bFind->hide();
    bLoadMenu->hide();
    bMux->hide();

    switch (PageControl->currentIndex()) {
        case kBdmv:
            bSave->show();
            pExecute->show();
            cbObject->show();
            cbButton->hide();
            pRegisters->show();
            bSave->setToolTip("Save the bdmv files");
            applyBdmvRole();
            break;
        case kPlaylist:
            bSave->show();
            bFind->show();
            autoReadOnEntry(playlistTab);
            bSave->setToolTip(playlistTab->saveHint());
            bSave->setEnabled(playlistTab->canSave());
            break;
        case kClipinf:
            bSave->show();
            bFind->show();
            autoReadOnEntry(clipinfTab);
            bSave->setToolTip(clipinfTab->saveHint());
            bSave->setEnabled(clipinfTab->canSave());
            break;
        case kMenu:
            bSave->show();
            bMux->show();
            bLoadMenu->show();
            pExecute->show();
            cbButton->show();
            cbObject->hide();
            pNavigate->show();
            pRegisters->show();
            bSave->setToolTip("Save the IGS menu (*.mnu)");
            bSave->setEnabled(menuTab->canSave());
            // A menu read with errors is not written, in a stream file either.
            bMux->setEnabled(menuTab->canSave());
            bStart->setEnabled(menuTab->menuLoaded());
            pNavigate->setEnabled(menuTab->menuLoaded());
            // A menu plays without a folder Read.
            if (menuTab->menuLoaded()) pExecute->setEnabled(true);
            runner_->setRowSelector(
                [this](std::size_t line) { menuTab->showTracedCommand(static_cast<int>(line)); });
            if (menuTab->cbPage->isEnabled() && menuTab->gbPageHeader->isEnabled()) {
                menuTab->cbPage->setFocus();
            }
            break;
        case kBdjo:
            bSave->show();
            autoReadOnEntry(bdjoTab);
            break;
        case kStatus:
            pRegisters->show();
            break;
        default:
            break;
    }
    // The link shares its place with the progress bar and the execute panel.
    lWebLink->setVisible(!reporter_->inProgress() && pExecute->isHidden());
}

// ---------------------------------------------------------------------------
// Input

void TfMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfMain::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    handleDrop(paths);
}

void TfMain::keyPressEvent(QKeyEvent* event) {
    const bool pageView = PageControl->currentIndex() == kMenu &&
                          menuTab->pcMenu->currentIndex() == MenuTab::kPageViewIndex;
    const QWidget* focus = QApplication::focusWidget();
    if (pageView && (focus == nullptr || focus == this)) {
        reporter_->slog(std::to_string(event->key()), 1);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TfMain::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::Drop:
            if (captionTimer_ != nullptr) captionTimer_->start();
            break;
        default:
            break;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (event->type() == QEvent::Wheel && PageControl->currentIndex() == kAbout && widget &&
        widget->window() == this) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        aboutTab->scrollChangeLog(wheel->angleDelta().y());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace lumora::app
