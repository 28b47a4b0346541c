#include "app/options/options_tab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/text.h"
#include "playlist/languages.h"

namespace lumora::app {

namespace {

using S = LumoraSettings;

struct BoolOption {
    const char* settingName;
    const char* objectName;
    const char* caption;
    bool S::*member;
};

const BoolOption kBoolOptions[] = {
    {"AutoRead", "cbOAutoRead", "Auto Read", &S::autoRead},
    {"Backup", "cbOBackup", "Create backup files", &S::backup},
    {"SaveBACKUP", "cbOSaveBACKUP", "Save to BACKUP dir", &S::saveBackup},
    {"SavePES", "cbOSavePES", "Save PES stream (not elementary)", &S::savePes},
    {"SaveSUP", "cbOSaveSUP", "Save SUP if PG stream", &S::saveSup},
    {"SaveMNU", "cbOSaveMNU", "Save MNU if IG stream", &S::saveMnu},
    {"ButtonId", "cbOButtonId", "Button ID (hex)", &S::buttonId},
    {"ObjectId", "cbOObjectId", "Object ID (hex)", &S::objectId},
    {"ButtonFrame", "cbOButtonFrame", "Button frame", &S::buttonFrame},
    {"WindowFrame", "cbOWindowFrame", "Window frame", &S::windowFrame},
    {"ForcedBeep", "cbOForcedBeep", "Forced beep on invalid command", &S::forcedBeep},
    {"PreLoad", "cbOPreLoad", "Preload all bitmap of the page", &S::preLoad},
    {"ShowInEffects", "cbOShowInEffects", "Show InEffects", &S::showInEffects},
    {"ShowOutEffects", "cbOShowOutEffects", "Show OutEffects", &S::showOutEffects},
    {"ShowButtonAnimation", "cbOShowButtonAnimation", "Animate buttons", &S::showButtonAnimation},
    {"ShowFullScreen", "cbOShowFullScreen", "Full screen view", &S::showFullScreen},
    {"Background", "cbOBackground", "Background", &S::background},
    {"RealPSRs", "cbORealPSRs", "Init PSRs with 'real' values", &S::realPsrs},
    {"PlaySound", "cbOPlaySound", "Play sound", &S::playSound},
    {"AssociateBDMV", "cbOAssociateBDMV", "Associate Lumora to .bdmv file extension",
     &S::associateBdmv},
    {"AssociateMNU", "cbOAssociateMNU", "Associate Lumora to .mnu file extension",
     &S::associateMnu},
    {"8.3names", "cb83names", "Use 8.3 filenames", &S::use83Names},
    {"AutoMenu", "cbOAutoMenu", "Auto create", &S::autoMenu},
};

struct ColourOption {
    const char* settingName;
    const char* caption;
    int S::*member;
};

const ColourOption kColourOptions[] = {
    {"colBackground", "Menu background", &S::colBackground},
    {"colObjectBackground", "Object background", &S::colObjectBackground},
    {"colSelectedButton", "Selected button", &S::colSelectedButton},
    {"colSelectedFrame", "Selected frame", &S::colSelectedFrame},
    {"colNormalButton", "Normal button", &S::colNormalButton},
    {"colNormalFrame", "Normal frame", &S::colNormalFrame},
    {"colInvalidButton", "Invalid button", &S::colInvalidButton},
    {"colInvalidFrame", "Invalid Frame", &S::colInvalidFrame},
    {"colWindow", "Window frame", &S::colWindow},
};

struct Profile {
    const char* caption;
    std::uint32_t code;
};

const Profile kProfiles[] = {
    {"Profile 1 before Nov 1, 2007", 0},
    {"Profile 1", 1},
    {"Profile 2", 3},
    {"Profile 3", 8},
    {"Profile 5", 19},
};

constexpr std::uint32_t kLowestCountry = 0x4141;   // "AA"
constexpr std::uint32_t kHighestCountry = 0x5A5A;  // "ZZ"
constexpr std::uint32_t kMaxDisplaySize = 0xFFF;
constexpr int kMaxGridSize = 100;
constexpr int kMaxActivationDelay = 60000;

// Stored colours hold red in the low byte, then green, then blue.
QColor colourFromStored(int stored) {
    const auto bits = static_cast<std::uint32_t>(stored);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>(bits >> 8 & 0xFF),
                  static_cast<int>(bits >> 16 & 0xFF));
}

int colourToStored(const QColor& colour) {
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

QString hexFieldText(std::uint32_t value) {
    return QString::fromStdString(lumora::hexText(value, 1));
}

std::uint32_t hexValue(const QLineEdit* edit) {
    return static_cast<std::uint32_t>(lumora::hexToNumber(edit->text().toStdString()));
}

bool hasBit(int value, std::uint32_t bit) {
    return (static_cast<std::uint32_t>(value) & bit) != 0;
}

QRadioButton* addRadio(QButtonGroup* group, QLayout* layout, const QString& caption, int id) {
    auto* radio = new QRadioButton(caption);
    group->addButton(radio, id);
    layout->addWidget(radio);
    return radio;
}

// Rows sit close together: the page holds many switches and should need as
// little scrolling as possible at the window's minimum size.
void tighten(QLayout* layout) {
    layout->setSpacing(2);
    layout->setContentsMargins(6, 4, 6, 4);
}

void checkIfValid(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) button->setChecked(true);
}

void selectLanguage(QComboBox* list, const QString& code) {
    list->setCurrentIndex(list->findText(code, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

std::string languageOf(const QComboBox* list) {
    return list->currentText().toStdString();
}

}  // namespace

OptionsTab::OptionsTab(QWidget* parent) : QWidget(parent) {
    folderChooser_ = [](QWidget* owner, const QString& title, const QString& start) {
        return QFileDialog::getExistingDirectory(owner, title, start);
    };
    backgroundChooser_ = [](QWidget* owner, const QString& title, const QString& start,
                            const QString& filter) {
        QFileDialog dialog(owner, title, start, filter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("png"));
        dialog.selectNameFilter(QStringLiteral("PNG (*.png)"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().front();
    };

    auto* firstColumn = new QWidget;
    auto* first = new QVBoxLayout(firstColumn);
    first->setContentsMargins(0, 0, 0, 0);
    first->addWidget(buildGeneral());
    first->addWidget(buildFormatOptions());
    first->addStretch();

    auto* content = new QWidget;
    groups_ = new QGridLayout(content);
    groups_->setContentsMargins(4, 4, 4, 4);
    groups_->setSpacing(6);
    groups_->addWidget(firstColumn, 0, 0);
    groups_->addWidget(buildMenuOptions(), 0, 1, Qt::AlignTop);
    playerGroup_ = buildPlayerSettings();
    groups_->setColumnStretch(3, 1);
    groups_->setRowStretch(2, 1);

    // The page is wider and taller than the tab at the window's minimum size
    // with common desktop fonts; the player settings then go below the other
    // groups and the page scrolls.
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("sbOptions"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    arrangeGroups();
    applySettings(LumoraSettings{});
}

void OptionsTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrangeGroups();
}

// Side by side when the page is wide enough for all columns.  The decision
// looks at the page's own width, not at the scroll area's viewport, so the
// scroll bar appearing or vanishing cannot flip it back and forth.
void OptionsTab::arrangeGroups() {
    const int besideWidth = groups_->itemAtPosition(0, 0)->sizeHint().width() +
                            groups_->itemAtPosition(0, 1)->sizeHint().width() +
                            playerGroup_->sizeHint().width() + 4 * groups_->spacing() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool beside = width() >= besideWidth;
    if (playerGroup_->parentWidget() != nullptr && beside == playerBeside_) return;
    playerBeside_ = beside;
    groups_->removeWidget(playerGroup_);
    if (beside) {
        groups_->addWidget(playerGroup_, 0, 2, Qt::AlignTop);
    } else {
        groups_->addWidget(playerGroup_, 1, 0, 1, 3, Qt::AlignLeft | Qt::AlignTop);
    }
}

QCheckBox* OptionsTab::addOptionBox(const char* settingName) {
    const auto* option =
        std::find_if(std::begin(kBoolOptions), std::end(kBoolOptions),
                     [&](const BoolOption& o) { return qstrcmp(o.settingName, settingName) == 0; });
    Q_ASSERT(option != std::end(kBoolOptions));
    auto* box = new QCheckBox(QString::fromUtf8(option->caption));
    box->setObjectName(QString::fromUtf8(option->objectName));
    optionBoxes_.insert(QString::fromUtf8(settingName), box);
    return box;
}

QGroupBox* OptionsTab::buildGeneral() {
    auto* group = new QGroupBox(QStringLiteral("General"));
    group->setObjectName(QStringLiteral("gbOGeneral"));
    auto* rows = new QVBoxLayout(group);
    tighten(rows);
    rows->addWidget(addOptionBox("AutoRead"));
    QCheckBox* backup = addOptionBox("Backup");
    rows->addWidget(backup);

    backupModeGroup_ = new QWidget;
    backupModeGroup_->setObjectName(QStringLiteral("rgOBackup"));
    auto* modes = new QHBoxLayout(backupModeGroup_);
    modes->setContentsMargins(18, 0, 0, 0);
    backupMode_ = new QButtonGroup(this);
    addRadio(backupMode_, modes, QStringLiteral("Only once"), 0);
    addRadio(backupMode_, modes, QStringLiteral("Overwrite"), 1);
    addRadio(backupMode_, modes, QStringLiteral("Stop if exists"), 2);
    modes->addStretch();
    rows->addWidget(backupModeGroup_);
    connect(backup, &QCheckBox::toggled, this, &OptionsTab::updateBackupModeEnabled);

    rows->addWidget(addOptionBox("SaveBACKUP"));
    QCheckBox* use83 = addOptionBox("8.3names");
    connect(use83, &QCheckBox::toggled, this, &OptionsTab::use83Changed);
    rows->addWidget(use83);
    rows->addWidget(addOptionBox("AssociateBDMV"));
    rows->addWidget(addOptionBox("AssociateMNU"));
    rows->addWidget(addOptionBox("ForcedBeep"));

    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(QStringLiteral("Output folder"));
    outputFolder_ = new QLineEdit;
    outputFolder_->setObjectName(QStringLiteral("eOutputDir"));
    folderLabel->setBuddy(outputFolder_);
    auto* chooseFolder = new QToolButton;
    chooseFolder->setObjectName(QStringLiteral("bbOutputDir"));
    chooseFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    chooseFolder->setToolTip(QStringLiteral("Select a directory"));
    connect(chooseFolder, &QToolButton::clicked, this, &OptionsTab::chooseOutputFolder);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(outputFolder_, 1);
    folderRow->addWidget(chooseFolder);
    rows->addLayout(folderRow);

    createSound_ = new QPushButton(QStringLiteral("Create sound.bdmv"));
    createSound_->setObjectName(QStringLiteral("bCreateSound"));
    connect(createSound_, &QPushButton::clicked, this, &OptionsTab::createSoundRequested);
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(createSound_);
    soundRow->addStretch();
    rows->addLayout(soundRow);
    return group;
}

QGroupBox* OptionsTab::buildFormatOptions() {
    auto* group = new QGroupBox(QStringLiteral("Format options"));
    group->setObjectName(QStringLiteral("gbOFormat"));
    auto* rows = new QGridLayout(group);
    tighten(rows);

    auto* chapterRow = new QWidget;
    chapterRow->setObjectName(QStringLiteral("rgOChapterFormat"));
    auto* chapters = new QHBoxLayout(chapterRow);
    chapters->setContentsMargins(0, 0, 0, 0);
    chapterFormat_ = new QButtonGroup(this);
    addRadio(chapterFormat_, chapters, QStringLiteral("PTS"), 0);
    addRadio(chapterFormat_, chapters, QStringLiteral("Frame"), 1);
    addRadio(chapterFormat_, chapters, QStringLiteral("Time"), 2);
    chapters->addStretch();
    rows->addWidget(new QLabel(QStringLiteral("Chapter format")), 0, 0);
    rows->addWidget(chapterRow, 0, 1);

    auto* programRow = new QWidget;
    programRow->setObjectName(QStringLiteral("rgOProgramFormat"));
    auto* programs = new QHBoxLayout(programRow);
    programs->setContentsMargins(0, 0, 0, 0);
    programFormat_ = new QButtonGroup(this);
    addRadio(programFormat_, programs, QStringLiteral("List (*.lst)"), 0);
    addRadio(programFormat_, programs, QStringLiteral("Binary (*.bin)"), 1);
    programs->addStretch();
    rows->addWidget(new QLabel(QStringLiteral("Program format")), 1, 0);
    rows->addWidget(programRow, 1, 1);

    rows->addWidget(addOptionBox("SavePES"), 2, 0, 1, 2);
    rows->addWidget(addOptionBox("SaveSUP"), 3, 0, 1, 2);
    rows->addWidget(addOptionBox("SaveMNU"), 4, 0, 1, 2);
    return group;
}

QGroupBox* OptionsTab::buildMenuOptions() {
    auto* group = new QGroupBox(QStringLiteral("Menu options"));
    group->setObjectName(QStringLiteral("gbOMenu"));
    auto* rows = new QGridLayout(group);
    tighten(rows);

    // Pairs: each row holds two related switches.
    const char* const boxes[] = {
        "ButtonId",      "ObjectId",       "ButtonFrame",         "WindowFrame",
        "ShowInEffects", "ShowOutEffects", "ShowButtonAnimation", "ShowFullScreen",
        "PreLoad",       "PlaySound",      "Background"};
    int index = 0;
    for (const char* name : boxes) {
        rows->addWidget(addOptionBox(name), index / 2, index % 2 * 2, 1, 2);
        ++index;
    }
    auto* createRow = new QHBoxLayout;
    createRow->addWidget(addOptionBox("AutoMenu"));
    auto* createMenu = new QPushButton(QStringLiteral("Create Menu"));
    createMenu->setObjectName(QStringLiteral("bCreateMenu"));
    connect(createMenu, &QPushButton::clicked, this, &OptionsTab::createMenuRequested);
    createRow->addWidget(createMenu);
    createRow->addStretch();
    rows->addLayout(createRow, index / 2, 2, 1, 2);
    int row = index / 2 + 1;
    rows->addWidget(buildBackgroundPicture(), row++, 0, 1, 4);

    activationDelay_ = new QSpinBox;
    activationDelay_->setObjectName(QStringLiteral("ieOActiDelay"));
    activationDelay_->setRange(0, kMaxActivationDelay);
    connect(activationDelay_, &QSpinBox::valueChanged, this, &OptionsTab::activationDelayChanged);
    auto* delayLabel = new QLabel(QStringLiteral("Activate command show delay (ms)"));
    delayLabel->setBuddy(activationDelay_);
    rows->addWidget(delayLabel, row, 0);
    rows->addWidget(activationDelay_, row, 1);

    gridSize_ = new QSpinBox;
    gridSize_->setObjectName(QStringLiteral("ieOGrid"));
    gridSize_->setRange(1, kMaxGridSize);
    connect(gridSize_, &QSpinBox::valueChanged, this, &OptionsTab::gridSizeChanged);
    auto* gridLabel = new QLabel(QStringLiteral("Grid size"));
    gridLabel->setBuddy(gridSize_);
    rows->addWidget(gridLabel, row, 2, Qt::AlignRight);
    rows->addWidget(gridSize_, row++, 3);

    rows->addWidget(buildColours(), row, 0, 1, 4);
    return group;
}

// The picture behind the menu pages: used while "Background" is checked.
QWidget* OptionsTab::buildBackgroundPicture() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    backgroundPicture_ = new QLineEdit;
    backgroundPicture_->setObjectName(QStringLiteral("eBackgroundPic"));
    backgroundPicture_->setReadOnly(true);
    backgroundPicture_->setToolTip(QStringLiteral("Background picture of the menu pages"));
    chooseBackground_ = new QToolButton;
    chooseBackground_->setObjectName(QStringLiteral("bbBackgroundPic"));
    chooseBackground_->setText(QStringLiteral("..."));
    chooseBackground_->setToolTip(QStringLiteral("Select a background picture"));
    layout->addWidget(new QLabel(QStringLiteral("Picture")));
    layout->addWidget(backgroundPicture_, 1);
    layout->addWidget(chooseBackground_);
    QCheckBox* background = optionBox(QStringLiteral("Background"));
    connect(chooseBackground_, &QToolButton::clicked, this, &OptionsTab::chooseBackgroundPicture);
    connect(background, &QCheckBox::toggled, this, [this] {
        updateBackgroundEnabled();
        emit backgroundChanged();
    });
    updateBackgroundEnabled();
    return row;
}

void OptionsTab::updateBackgroundEnabled() {
    const bool on = optionBox(QStringLiteral("Background"))->isChecked();
    backgroundPicture_->setEnabled(on);
    chooseBackground_->setEnabled(on);
}

QString OptionsTab::backgroundPicture() const {
    return backgroundPicture_->text();
}

void OptionsTab::setBackgroundPicture(const QString& path) {
    backgroundPicture_->setText(path);
}

bool OptionsTab::useBackgroundPicture() const {
    return optionBox(QStringLiteral("Background"))->isChecked() && !backgroundPicture().isEmpty();
}

void OptionsTab::setBackgroundChooser(FileChooser chooser) {
    backgroundChooser_ = std::move(chooser);
}

void OptionsTab::setDiscFolder(std::function<QString()> folder) {
    discFolder_ = std::move(folder);
}

// The dialog starts where the current picture lies, else in the Output
// folder, else in the disc folder.
void OptionsTab::chooseBackgroundPicture() {
    QString start = outputFolder();
    if (!backgroundPicture().isEmpty()) {
        start = QFileInfo(backgroundPicture()).absolutePath();
    } else if (start.isEmpty() && discFolder_) {
        start = discFolder_();
    }
    const QString chosen = backgroundChooser_(this, QStringLiteral("Select a background picture"),
                                              start, QStringLiteral("BMP (*.bmp);;PNG (*.png)"));
    if (chosen.isEmpty()) return;
    setBackgroundPicture(QDir::fromNativeSeparators(chosen));
    emit backgroundChanged();
}

QWidget* OptionsTab::buildColours() {
    auto* area = new QWidget;
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 2, 0, 0);
    grid->setSpacing(0);
    colours_.reserve(std::size(kColourOptions));
    int index = 0;
    for (const ColourOption& option : kColourOptions) {
        auto* button = new QToolButton;
        button->setObjectName(QStringLiteral("bbO") + QString::fromUtf8(option.settingName));
        button->setText(QString::fromUtf8(option.caption));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        colours_.push_back({option.settingName, option.member, button, QColor()});
        grid->addWidget(button, index / 3, index % 3);
        ++index;
    }
    // Connected once the vector no longer grows, so the references stay valid.
    for (ColourButton& entry : colours_) {
        connect(entry.button, &QToolButton::clicked, this, [this, &entry] { chooseColour(entry); });
    }
    return area;
}

QGroupBox* OptionsTab::buildPlayerSettings() {
    auto* group = new QGroupBox(QStringLiteral("Player settings"));
    group->setObjectName(QStringLiteral("gbOPlayer"));
    auto* columns = new QHBoxLayout(group);
    tighten(columns);

    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    left->addWidget(buildRegionAndCountry());
    left->addWidget(buildLanguages());

    auto* audioRow = new QHBoxLayout;
    audioRow->addWidget(new QLabel(QStringLiteral("Audio capability")));
    audioCapability_ = addHexEdit("heAudioCap", 5, QStringLiteral("PSR15 initial value"));
    audioRow->addWidget(audioCapability_);
    audioRow->addStretch();
    left->addLayout(audioRow);

    auto* outputRow = new QWidget;
    outputRow->setObjectName(QStringLiteral("rgOMPref"));
    outputRow->setToolTip(QStringLiteral("PSR21 initial value"));
    auto* outputs = new QHBoxLayout(outputRow);
    outputs->setContentsMargins(0, 0, 0, 0);
    outputs->addWidget(new QLabel(QStringLiteral("Output mode pref.")));
    outputMode_ = new QButtonGroup(this);
    addRadio(outputMode_, outputs, QStringLiteral("2D"), 0);
    addRadio(outputMode_, outputs, QStringLiteral("Stereoscopic"), 1);
    outputs->addStretch();
    left->addWidget(outputRow);

    left->addWidget(buildVersionAndProfile());
    left->addWidget(addOptionBox("RealPSRs"));

    QGroupBox* text = buildFlagGroup(QStringLiteral("Text subtitle capability"), "cbTextSubCap",
                                     {{"Shift JIS", 0x8},
                                      {"EUC-KR", 0x10},
                                      {"GB18030-2000", 0x20},
                                      {"CN-GB", 0x40},
                                      {"BIG5", 0x80},
                                      {"Inline style", 0x1000},
                                      {"Outline Border", 0x2000},
                                      {"Text flow && alignment", 0x4000},
                                      {"User changeable style set", 0x8000},
                                      {"Unsupported language", 0x10000}},
                                     textSubtitleBoxes_, 2);
    text->setToolTip(QStringLiteral("PSR30 initial value"));
    left->addWidget(text);
    left->addStretch();
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    QGroupBox* display =
        buildFlagGroup(QStringLiteral("Display capabilty"), "cbDisplayCap",
                       {{"Stereoscopic Display Capability", 0x1},
                        {"Stereoscopic 1280x720 50p video Display Capability", 0x2},
                        {"No glasses required for stereoscopic display", 0x4}},
                       displayBoxes_, 1);
    display->setToolTip(QStringLiteral("PSR23 initial value"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(new QLabel(QStringLiteral("Horizontal display size")));
    displaySize_ = addHexEdit("heDisplaySize", 3, QStringLiteral("PSR23 initial value"));
    sizeRow->addWidget(displaySize_);
    sizeRow->addStretch();
    static_cast<QGridLayout*>(display->layout())->addLayout(sizeRow, 3, 0);
    right->addWidget(display);

    QGroupBox* threeD =
        buildFlagGroup(QStringLiteral("3D capability"), "cb3DCap",
                       {{"Stereoscopic 1280x720 50p video Capability", 0x1},
                        {"Stereoscopic 1280x720 CABAC decoding Capability", 0x2},
                        {"Stereoscopic PG Capability", 0x4},
                        {"Stereoscopic IG Capability", 0x8},
                        {"dialog_region_offset Capability", 0x10},
                        {"BD-J Capability during Stereoscopic Output Mode", 0x20},
                        {"Secondary audio Capability during Stereoscopic Output Mode", 0x40}},
                       boxes3d_, 1);
    threeD->setToolTip(QStringLiteral("PSR24 initial value"));
    right->addWidget(threeD);

    QGroupBox* video = buildFlagGroup(
        QStringLiteral("Video capability"), "cbVideoCap",
        {{"HD Secondary Video Capability", 0x1}, {"50Hz and 25Hz Video Capability", 0x2}},
        videoBoxes_, 1);
    video->setToolTip(QStringLiteral("PSR29 initial value"));
    scalingBox_ = new QCheckBox(QStringLiteral("Scaling value type (852/720 or  32/27)"));
    scalingBox_->setObjectName(QStringLiteral("cbVideoCapScaling"));
    static_cast<QGridLayout*>(video->layout())->addWidget(scalingBox_, 2, 0);
    right->addWidget(video);
    right->addStretch();
    columns->addLayout(right);
    return group;
}

QWidget* OptionsTab::buildRegionAndCountry() {
    auto* area = new QWidget;
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);

    auto* regionRow = new QWidget;
    regionRow->setObjectName(QStringLiteral("rgRegion"));
    regionRow->setToolTip(QStringLiteral("PSR20 value"));
    auto* regions = new QHBoxLayout(regionRow);
    regions->setContentsMargins(0, 0, 0, 0);
    regions->addWidget(new QLabel(QStringLiteral("Region code")));
    region_ = new QButtonGroup(this);
    addRadio(region_, regions, QStringLiteral("A"), 0);
    addRadio(region_, regions, QStringLiteral("B"), 1);
    addRadio(region_, regions, QStringLiteral("C"), 2);
    row->addWidget(regionRow);
    row->addSpacing(12);

    countryCode_ = addHexEdit("heCountryCode", 4, QStringLiteral("PSR19 initial value"));
    connect(countryCode_, &QLineEdit::textChanged, this, &OptionsTab::showCountryLetters);
    connect(countryCode_, &QLineEdit::editingFinished, this, &OptionsTab::clampCountryCode);
    countryLetters_ = new QLabel;
    countryLetters_->setObjectName(QStringLiteral("lCountry"));
    auto* countryLabel = new QLabel(QStringLiteral("Country"));
    countryLabel->setBuddy(countryCode_);
    row->addWidget(countryLabel);
    row->addWidget(countryCode_);
    row->addWidget(countryLetters_);
    row->addStretch();
    return area;
}

QWidget* OptionsTab::buildLanguages() {
    auto* group = new QGroupBox(QStringLiteral("Language preferences"));
    auto* row = new QHBoxLayout(group);
    tighten(row);
    QStringList codes;
    for (std::string_view code : languageCodes()) {
        codes << QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
    }
    const auto addList = [&](const char* objectName, const QString& caption, const QString& hint) {
        auto* list = new QComboBox;
        list->setObjectName(QString::fromUtf8(objectName));
        list->addItems(codes);
        list->setToolTip(hint);
        list->setMaxVisibleItems(20);
        auto* label = new QLabel(caption);
        label->setBuddy(list);
        row->addWidget(label);
        row->addWidget(list);
        return list;
    };
    audioLanguage_ =
        addList("cbAudioLang", QStringLiteral("Audio"), QStringLiteral("PSR16 initial value"));
    subtitleLanguage_ =
        addList("cbPGLang", QStringLiteral("Sub"), QStringLiteral("PSR17 initial value"));
    menuLanguage_ =
        addList("cbMenuLang", QStringLiteral("Menu"), QStringLiteral("PSR18 initial value"));
    row->addStretch();
    return group;
}

QWidget* OptionsTab::buildVersionAndProfile() {
    auto* area = new QWidget;
    area->setToolTip(QStringLiteral("PSR31 initial value"));
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Version / Profile")));
    version_ = addHexEdit("heVersion", 4, QStringLiteral("PSR31 initial value"));
    row->addWidget(version_);
    profile_ = new QComboBox;
    profile_->setObjectName(QStringLiteral("cbProfile"));
    profile_->setToolTip(QStringLiteral("PSR31 initial value"));
    for (const Profile& profile : kProfiles) {
        profile_->addItem(QString::fromUtf8(profile.caption), profile.code);
    }
    row->addWidget(profile_);
    row->addStretch();
    return area;
}

QGroupBox* OptionsTab::buildFlagGroup(const QString& title, const char* objectName,
                                      const std::vector<Flag>& flags, std::vector<FlagBox>& boxes,
                                      int columns) {
    auto* group = new QGroupBox(title);
    group->setObjectName(QStringLiteral("gb") + QString::fromUtf8(objectName));
    auto* grid = new QGridLayout(group);
    tighten(grid);
    const int rows = (static_cast<int>(flags.size()) + columns - 1) / columns;
    for (std::size_t i = 0; i < flags.size(); ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(flags[i].caption));
        box->setObjectName(QString::fromUtf8(objectName) + QString::number(flags[i].bit, 16));
        boxes.push_back({flags[i].bit, box});
        const int index = static_cast<int>(i);
        grid->addWidget(box, index % rows, index / rows);
    }
    return group;
}

QLineEdit* OptionsTab::addHexEdit(const char* objectName, int digits, const QString& hint) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromUtf8(objectName));
    edit->setToolTip(hint);
    edit->setMaxLength(digits);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]*")), edit));
    const int width = edit->fontMetrics().horizontalAdvance(QString(digits + 2, QLatin1Char('D')));
    edit->setFixedWidth(width);
    connect(edit, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    connect(edit, &QLineEdit::editingFinished, edit,
            [edit] { edit->setText(hexFieldText(hexValue(edit))); });
    return edit;
}

void OptionsTab::applySettings(const LumoraSettings& settings) {
    for (const BoolOption& option : kBoolOptions) {
        optionBoxes_.value(QString::fromUtf8(option.settingName))
            ->setChecked(settings.*option.member);
    }
    checkIfValid(backupMode_, settings.backupMode);
    updateBackupModeEnabled();
    checkIfValid(chapterFormat_, settings.chapterFormat);
    checkIfValid(programFormat_, settings.programFormat);
    activationDelay_->setValue(settings.actiDelay);
    gridSize_->setValue(settings.grid);
    for (ColourButton& entry : colours_)
        showColour(entry, colourFromStored(settings.*entry.member));

    checkIfValid(region_, settings.region);
    countryCode_->setText(hexFieldText(static_cast<std::uint32_t>(settings.countryCode) & 0xFFFF));
    selectLanguage(audioLanguage_, settings.playerAudioLang);
    selectLanguage(subtitleLanguage_, settings.playerPgLang);
    selectLanguage(menuLanguage_, settings.playerMenuLang);
    audioCapability_->setText(
        hexFieldText(static_cast<std::uint32_t>(settings.playerAudioCap) & 0xFFFFF));

    for (const FlagBox& flag : displayBoxes_) {
        flag.box->setChecked(hasBit(settings.playerDisplayCap, flag.bit));
    }
    displaySize_->setText(hexFieldText(
        std::min(static_cast<std::uint32_t>(settings.playerDisplayCap) >> 8, kMaxDisplaySize)));
    for (const FlagBox& flag : boxes3d_)
        flag.box->setChecked(hasBit(settings.player3dCap, flag.bit));
    checkIfValid(outputMode_, settings.playerOmPref ? 1 : 0);
    for (const FlagBox& flag : videoBoxes_) {
        flag.box->setChecked(hasBit(settings.playerVideoCap, flag.bit));
    }
    scalingBox_->setChecked(hasBit(settings.playerVideoCap, 0x8));
    for (const FlagBox& flag : textSubtitleBoxes_) {
        flag.box->setChecked(hasBit(settings.playerTextSubCap, flag.bit));
    }

    const auto versionProfile = static_cast<std::uint32_t>(settings.playerVersProf);
    version_->setText(hexFieldText(versionProfile & 0xFFFF));
    const int profile = profile_->findData(versionProfile >> 16);
    if (profile >= 0) profile_->setCurrentIndex(profile);
}

void OptionsTab::collectSettings(LumoraSettings& settings) const {
    for (const BoolOption& option : kBoolOptions) {
        settings.*option.member =
            optionBoxes_.value(QString::fromUtf8(option.settingName))->isChecked();
    }
    settings.backupMode = backupMode_->checkedId();
    settings.chapterFormat = chapterFormat();
    settings.programFormat = programFormat();
    settings.actiDelay = activationDelay();
    settings.grid = gridSize();
    for (const ColourButton& entry : colours_)
        settings.*entry.member = colourToStored(entry.colour);

    const PlayerSettings player = playerSettings();
    settings.region = player.region;
    settings.countryCode = static_cast<int>(player.countryCode);
    settings.playerAudioLang = QString::fromStdString(player.audioLanguage);
    settings.playerPgLang = QString::fromStdString(player.subtitleLanguage);
    settings.playerMenuLang = QString::fromStdString(player.menuLanguage);
    settings.playerAudioCap = static_cast<int>(player.audioCapability);
    settings.playerVideoCap = static_cast<int>(player.videoCapability);
    settings.playerDisplayCap = static_cast<int>(player.displayCapability);
    settings.playerOmPref = player.stereoscopicOutput;
    settings.player3dCap = static_cast<int>(player.capability3d);
    settings.playerTextSubCap = static_cast<int>(player.textSubtitleCapability);
    settings.playerVersProf = static_cast<int>(player.profileAndVersion());
}

bool OptionsTab::autoRead() const {
    return optionBox(QStringLiteral("AutoRead"))->isChecked();
}

lumora::BackupOptions OptionsTab::backupOptions() const {
    lumora::BackupOptions options;
    options.createBackups = optionBox(QStringLiteral("Backup"))->isChecked();
    options.mode = static_cast<lumora::BackupMode>(backupMode_->checkedId());
    options.saveToBackupDir = optionBox(QStringLiteral("SaveBACKUP"))->isChecked();
    return options;
}

bool OptionsTab::use83() const {
    return optionBox(QStringLiteral("8.3names"))->isChecked();
}

void OptionsTab::setUse83(bool use83) {
    optionBox(QStringLiteral("8.3names"))->setChecked(use83);
}

int OptionsTab::activationDelay() const {
    return activationDelay_->value();
}

int OptionsTab::gridSize() const {
    return gridSize_->value();
}

int OptionsTab::chapterFormat() const {
    return chapterFormat_->checkedId();
}

int OptionsTab::programFormat() const {
    return programFormat_->checkedId();
}

QString OptionsTab::outputFolder() const {
    QString folder = outputFolder_->text().trimmed();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

bool OptionsTab::associateBdmv() const {
    return optionBox(QStringLiteral("AssociateBDMV"))->isChecked();
}

bool OptionsTab::associateMnu() const {
    return optionBox(QStringLiteral("AssociateMNU"))->isChecked();
}

bool OptionsTab::autoCreateMenu() const {
    return optionBox(QStringLiteral("AutoMenu"))->isChecked();
}

QCheckBox* OptionsTab::optionBox(const QString& settingName) const {
    return optionBoxes_.value(settingName, nullptr);
}

QColor OptionsTab::colour(const QString& settingName) const {
    for (const ColourButton& entry : colours_) {
        if (settingName == QLatin1String(entry.settingName)) return entry.colour;
    }
    return {};
}

PlayerSettings OptionsTab::playerSettings() const {
    PlayerSettings player;
    player.region = std::max(region_->checkedId(), 0);
    player.countryCode = hexValue(countryCode_);
    player.audioLanguage = languageOf(audioLanguage_);
    player.subtitleLanguage = languageOf(subtitleLanguage_);
    player.menuLanguage = languageOf(menuLanguage_);
    player.audioCapability = hexValue(audioCapability_);
    player.displayCapability = std::min(hexValue(displaySize_), kMaxDisplaySize) << 8;
    for (const FlagBox& flag : displayBoxes_) {
        if (flag.box->isChecked()) player.displayCapability |= flag.bit;
    }
    for (const FlagBox& flag : boxes3d_) {
        if (flag.box->isChecked()) player.capability3d |= flag.bit;
    }
    player.stereoscopicOutput = outputMode_->checkedId() == 1;
    for (const FlagBox& flag : videoBoxes_) {
        if (flag.box->isChecked()) player.videoCapability |= flag.bit;
    }
    player.videoCapability |= scalingBox_->isChecked() ? 0x8 : 0x4;
    for (const FlagBox& flag : textSubtitleBoxes_) {
        if (flag.box->isChecked()) player.textSubtitleCapability |= flag.bit;
    }
    player.profileCode = profile_->currentData().toUInt();
    player.version = hexValue(version_);
    player.realValues = optionBox(QStringLiteral("RealPSRs"))->isChecked();
    return player;
}

void OptionsTab::setCreateSoundEnabled(bool enabled) {
    createSound_->setEnabled(enabled);
}

void OptionsTab::setFolderChooser(FolderChooser chooser) {
    folderChooser_ = std::move(chooser);
}

void OptionsTab::chooseOutputFolder() {
    const QString start =
        outputFolder_->text().isEmpty() ? QDir::homePath() : outputFolder_->text();
    const QString chosen = folderChooser_(this, QStringLiteral("Select a directory"), start);
    if (chosen.isEmpty()) return;
    outputFolder_->setText(QDir::fromNativeSeparators(chosen));
}

void OptionsTab::chooseColour(ColourButton& entry) {
    const QColor chosen = QColorDialog::getColor(entry.colour, this, entry.button->text());
    if (!chosen.isValid() || chosen == entry.colour) return;
    showColour(entry, chosen);
    emit colourChanged(QString::fromUtf8(entry.settingName), chosen);
}

void OptionsTab::showColour(ColourButton& entry, const QColor& colour) {
    entry.colour = colour;
    const int side = entry.button->fontMetrics().height();
    QPixmap swatch(side, side);
    swatch.fill(colour);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(0, 0, side - 1, side - 1);
    painter.end();
    entry.button->setIcon(QIcon(swatch));
}

void OptionsTab::clampCountryCode() {
    const std::uint32_t code = std::clamp(hexValue(countryCode_), kLowestCountry, kHighestCountry);
    countryCode_->setText(hexFieldText(code));
}

void OptionsTab::showCountryLetters() {
    const std::uint32_t code = hexValue(countryCode_);
    const QChar letters[] = {QChar(static_cast<char16_t>(code >> 8 & 0xFF)),
                             QChar(static_cast<char16_t>(code & 0xFF))};
    countryLetters_->setText(QString(letters, 2));
}

void OptionsTab::updateBackupModeEnabled() {
    backupModeGroup_->setEnabled(optionBox(QStringLiteral("Backup"))->isChecked());
}

}  // namespace lumora::app
