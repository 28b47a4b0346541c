#include "app/bdmv/index_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include <algorithm>

#include "app/widgets/ext_data_dialog.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/text.h"

namespace lumora::app {
namespace {

constexpr int kFileNameLength = 5;
constexpr int kProviderLength = 32;
// Titles are counted in the status line while a read fills the grid; every
// count repaints the status line, so only every 128th is shown.
constexpr std::size_t kProgressStep = 128;

QString toQ(const std::string& text) {
    return QString::fromStdString(text);
}

// Texts of the file (BD-J names, provider data) hold one byte per character.
QString fromFileText(const std::string& text) {
    return QString::fromStdString(latin1ToUtf8(text));
}

std::string toFileText(const QString& text, int length) {
    return text.left(length).toLatin1().toStdString();
}

QComboBox* combo(QWidget* parent, const QString& name, const QString& hint,
                 const QStringList& items = {}) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->addItems(items);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QCheckBox* checkBox(QWidget* parent, const QString& caption, const QString& name,
                    const QString& hint) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    return box;
}

QStringList texts(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& item : items)
        out << toQ(item);
    return out;
}

QStringList numbers(std::size_t count, std::size_t first) {
    QStringList out;
    for (std::size_t i = 0; i < count; ++i)
        out << QString::number(first + i);
    return out;
}

// The list item of a value, or no selection when the list has no such item.
int itemOf(const QComboBox& box, int value) {
    return value >= 0 && value < box.count() ? value : -1;
}

int objectTypeItem(std::uint8_t type) {
    return type == kHdmvObject || type == kBdjObject ? type - 1 : -1;
}

// Selects `item`.  A held value that has no item leaves the list without a
// selection and shows in grey, so what the file holds is still in sight.
void showChoice(QComboBox* box, int item, const QString& held) {
    box->setPlaceholderText(item < 0 ? held : QString());
    box->setCurrentIndex(item);
}

QString objectIdText(std::uint16_t id) {
    return id == kNoObject ? QString() : QString::number(id);
}

// A First Playback or Top Menu entry is on while it names something: an HDMV
// movie object, or any BD-J object file.
bool entryIsOn(const TTitleEntry& entry) {
    return !entry.isHdmv() || entry.objectId != kNoObject;
}

// As wide as `sample` with the combo's frame and arrow: the lists stand five
// in a row beside the titles.
void fitWidth(QComboBox* box, const QString& sample) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QFontMetrics metrics = box->fontMetrics();
    const QSize text(metrics.horizontalAdvance(sample), metrics.height());
    box->setFixedWidth(
        box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, box).width());
}

}  // namespace

IndexView::IndexView(BdmvContext& context, QWidget* parent)
    : QGroupBox("index.bdmv", parent), context_(context) {
    setObjectName("gbIndex");
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addLayout(buildTitleHeader());

    sgTitles = new StringGrid(this);
    sgTitles->setObjectName("sgTitles");
    sgTitles->setToolTip("Titles\nIns: Insert title\nDel: Delete title");
    sgTitles->setHeaders({"No.", "object t.", "title search", "playback t.", "OID/file"});
    sgTitles->setGridColumnWidth(1, fittedColumnWidth(*sgTitles, 1, {"HDMV", "BD-J"}));
    sgTitles->setGridColumnWidth(2, fittedColumnWidth(*sgTitles, 2, texts(accessTypeItems())));
    sgTitles->setGridColumnWidth(3, fittedColumnWidth(*sgTitles, 3, {"Movie", "Interactive"}));
    sgTitles->horizontalHeader()->setStretchLastSection(true);
    sgTitles->setMinimumHeight(60);
    layout->addWidget(sgTitles, 1);

    layout->addLayout(buildEntryControls());
    layout->addWidget(buildAppInfo());
    layout->addLayout(
        extensionDataRow(this, "lIndexExtDat", "bIndexExtDat", lIndexExtDat, bIndexExtDat));

    connectControls();
    clear();
}

QLayout* IndexView::buildTitleHeader() {
    auto* row = new QHBoxLayout;
    lTitlenum = new QLabel(this);
    lTitlenum->setObjectName("lTitlenum");
    QFont bold = lTitlenum->font();
    bold.setBold(true);
    lTitlenum->setFont(bold);
    bInsTitle = smallButton(this, "+", "bInsTitle", "Insert title");
    bDelTitle = smallButton(this, "-", "bDelTitle", "Delete title");
    row->addWidget(lTitlenum, 1);
    row->addWidget(bInsTitle);
    row->addWidget(bDelTitle);
    return row;
}

// One line each for the selected title, First Playback and Top Menu, the
// lists of the same kind one above the other.
QLayout* IndexView::buildEntryControls() {
    const QStringList objectTypes{toQ(objectTypeText(kHdmvObject)),
                                  toQ(objectTypeText(kBdjObject))};
    const QStringList playbackTypes{toQ(playbackTypeText(0)), toQ(playbackTypeText(1))};

    cbTitleNo = combo(this, "cbTitleNo", "Title number");
    cbTitleOT = combo(this, "cbTitleOT", "Title object type", objectTypes);
    cbTitleAT = combo(this, "cbTitleAT", "Title search", texts(accessTypeItems()));
    cbTitlePBT = combo(this, "cbTitlePBT", "Title playback type", playbackTypes);
    cbTitleOID = combo(this, "cbTitleOID", "Object ID");
    cbTitleFN = combo(this, "cbTitleFN", "BD-J file name");

    cbFirstPlay = checkBox(this, "First Play", "cbFirstPlay", "First playback on/off");
    cbFPOT = combo(this, "cbFPOT", "First playback object type", objectTypes);
    cbFPPBT = combo(this, "cbFPPBT", "Title playback type", playbackTypes);
    cbFPOID = combo(this, "cbFPOID", "Object ID");
    cbFPFN = combo(this, "cbFPFN", "BD-J file name");
    cbTopMenu = checkBox(this, "Top Menu", "cbTopMenu", "Top menu on/off");
    cbTMOT = combo(this, "cbTMOT", "Top menu object type", objectTypes);
    cbTMOID = combo(this, "cbTMOID", "Object ID");
    cbTMFN = combo(this, "cbTMFN", "BD-J file name");
    firstPlay_ = {cbFirstPlay, cbFPOT, cbFPPBT, cbFPOID, cbFPFN};
    topMenu_ = {cbTopMenu, cbTMOT, nullptr, cbTMOID, cbTMFN};

    fitWidth(cbTitleNo, "999");
    for (QComboBox* box : {cbTitleOT, cbFPOT, cbTMOT})
        fitWidth(box, "HDMV");
    for (QComboBox* box : {cbTitlePBT, cbFPPBT})
        fitWidth(box, "Interactive");
    for (QComboBox* box : {cbTitleOID, cbFPOID, cbTMOID})
        fitWidth(box, "999");
    for (QComboBox* box : {cbTitleFN, cbFPFN, cbTMFN})
        fitWidth(box, "00000");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    auto* titleCaption = new QHBoxLayout;
    auto* titleLabel = new QLabel("Title", this);
    titleLabel->setBuddy(cbTitleNo);
    titleCaption->addWidget(titleLabel);
    titleCaption->addWidget(cbTitleNo, 1);
    grid->addLayout(titleCaption, 0, 0);
    grid->addWidget(cbTitleOT, 0, 1);
    grid->addWidget(cbTitlePBT, 0, 2);
    grid->addWidget(cbTitleOID, 0, 3);
    grid->addWidget(cbTitleFN, 0, 4);
    grid->addWidget(cbTitleAT, 1, 1, 1, 2);
    grid->addWidget(cbFirstPlay, 2, 0);
    grid->addWidget(cbFPOT, 2, 1);
    grid->addWidget(cbFPPBT, 2, 2);
    grid->addWidget(cbFPOID, 2, 3);
    grid->addWidget(cbFPFN, 2, 4);
    grid->addWidget(cbTopMenu, 3, 0);
    grid->addWidget(cbTMOT, 3, 1);
    grid->addWidget(cbTMOID, 3, 3);
    grid->addWidget(cbTMFN, 3, 4);
    auto* searchLabel = new QLabel("title search", this);
    searchLabel->setBuddy(cbTitleAT);
    grid->addWidget(searchLabel, 1, 0, Qt::AlignRight);
    grid->setColumnStretch(5, 1);
    return grid;
}

QGroupBox* IndexView::buildAppInfo() {
    gbAppInfo_ = new QGroupBox("AppInfoBDMV", this);
    gbAppInfo_->setObjectName("gbAppInfoBDMV");
    cbOutputMode = combo(gbAppInfo_, "cbOutputMode", "Initial output mode preference",
                         {toQ(outputModeText(0)), toQ(outputModeText(1))});
    cbSSContent = checkBox(gbAppInfo_, "Stereoscopic", "cbSSContent", "SS Content Exists");
    cbVideoFormat = combo(gbAppInfo_, "cbVideoFormat", "Video format", texts(videoFormatTexts()));
    cbFrameRate = combo(gbAppInfo_, "cbFrameRate", "Frame rate", texts(frameRateTexts()));
    eProvider = new QLineEdit(gbAppInfo_);
    eProvider->setObjectName("eProvider");
    eProvider->setToolTip("Content provider data");
    eProvider->setMaxLength(kProviderLength);

    auto* layout = new QGridLayout(gbAppInfo_);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setHorizontalSpacing(4);
    layout->setVerticalSpacing(3);
    auto* modes = new QHBoxLayout;
    modes->addWidget(cbOutputMode);
    modes->addWidget(cbSSContent);
    modes->addStretch(1);
    modes->addWidget(cbVideoFormat);
    modes->addWidget(cbFrameRate);
    layout->addLayout(modes, 0, 0, 1, 2);
    auto* providerLabel = new QLabel("Provider", gbAppInfo_);
    providerLabel->setBuddy(eProvider);
    layout->addWidget(providerLabel, 1, 0);
    layout->addWidget(eProvider, 1, 1);
    return gbAppInfo_;
}

void IndexView::connectControls() {
    connect(bInsTitle, &QPushButton::clicked, this, &IndexView::insertTitle);
    connect(bDelTitle, &QPushButton::clicked, this, &IndexView::deleteTitles);
    connect(sgTitles, &StringGrid::insertPressed, this, &IndexView::insertTitle);
    connect(sgTitles, &StringGrid::deletePressed, this, &IndexView::deleteTitles);
    connect(sgTitles, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow) titleRowChosen(row + 1);
            });
    connect(sgTitles, &QTableWidget::cellClicked, this,
            [this](int row, int) { titleRowChosen(row + 1); });
    connect(sgTitles, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { titleRowDoubleClicked(row + 1); });
    connect(bIndexExtDat, &QPushButton::clicked, this, &IndexView::editExtensionData);

    // `activated` comes from the user only: a value the views merely show is
    // never written back.
    connect(cbTitleNo, &QComboBox::activated, this, &IndexView::titleNumberChosen);
    connect(cbTitleOT, &QComboBox::activated, this, &IndexView::titleObjectTypeChosen);
    connect(cbTitleAT, &QComboBox::activated, this, &IndexView::titleAccessTypeChosen);
    connect(cbTitlePBT, &QComboBox::activated, this, &IndexView::titlePlaybackTypeChosen);
    connect(cbTitleOID, &QComboBox::activated, this, &IndexView::titleObjectIdChosen);
    connect(cbTitleFN, &QComboBox::activated, this, &IndexView::titleFileNameChosen);
    connectEntry(firstPlay_);
    connectEntry(topMenu_);
    connect(cbFPPBT, &QComboBox::activated, this, [this](int item) {
        index().indexes.firstPlayback.playbackType = static_cast<std::uint8_t>(item);
    });

    connect(cbOutputMode, &QComboBox::activated, this,
            [this](int item) { index().outputModePreference = static_cast<std::uint8_t>(item); });
    connect(cbSSContent, &QCheckBox::clicked, this,
            [this](bool on) { index().ssContentExists = on ? 1 : 0; });
    connect(cbVideoFormat, &QComboBox::activated, this,
            [this](int item) { index().videoFormat = static_cast<std::uint8_t>(item); });
    connect(cbFrameRate, &QComboBox::activated, this,
            [this](int item) { index().frameRate = static_cast<std::uint8_t>(item); });
    connect(eProvider, &QLineEdit::textEdited, this, [this](const QString& text) {
        index().contentProvider = toFileText(text, kProviderLength);
    });
}

void IndexView::connectEntry(const EntryControls& controls) {
    const EntryControls* c = &controls;
    connect(c->onOff, &QCheckBox::clicked, this, [this, c](bool on) { entrySwitched(*c, on); });
    connect(c->objectType, &QComboBox::activated, this,
            [this, c](int item) { entryObjectTypeChosen(*c, item); });
    connect(c->objectId, &QComboBox::activated, this,
            [this, c](int item) { entryObjectIdChosen(*c, item); });
    connect(c->fileName, &QComboBox::activated, this,
            [this, c](int item) { entryFileNameChosen(*c, item); });
}

// ---------------------------------------------------------------------------
// Showing the model

void IndexView::clear() {
    showing_ = true;
    sgTitles->clearGrid();
    cbTitleNo->clear();
    for (QComboBox* box : {cbTitleOID, cbFPOID, cbTMOID, cbTitleFN, cbFPFN, cbTMFN})
        box->clear();
    showing_ = false;
    showIndex(false);
}

void IndexView::showBdjNames() {
    for (QComboBox* box : {cbTitleFN, cbFPFN, cbTMFN}) {
        box->clear();
        box->addItems(context_.bdjNames);
        box->setCurrentIndex(context_.bdjNames.isEmpty() ? -1 : 0);
    }
}

void IndexView::showObjectLists() {
    const QStringList objectNumbers = numbers(context_.objects().objects.size(), 0);
    for (QComboBox* box : {cbTitleOID, cbFPOID, cbTMOID}) {
        box->clear();
        box->addItems(objectNumbers);
    }
    showing_ = true;
    showEntry(firstPlay_);
    showEntry(topMenu_);
    showTitleControls();
    showing_ = false;
}

void IndexView::showIndex(bool good) {
    showing_ = true;
    showAppInfo();
    showEntry(firstPlay_);
    showEntry(topMenu_);
    showTitles(true);
    showTitleNumbers();
    showExtensionData();
    showLabels();
    gbAppInfo_->setEnabled(good);
    bIndexExtDat->setEnabled(good);
    showing_ = false;
    if (good && !index().indexes.titles.empty()) selectTitle(0);
    enableTitleControls();
    enableEntry(firstPlay_);
    enableEntry(topMenu_);
}

void IndexView::showReferences() {
    showing_ = true;
    for (std::size_t t = 0; t < index().indexes.titles.size(); ++t)
        showTitleRow(t);
    showEntry(firstPlay_);
    showEntry(topMenu_);
    showTitleControls();
    showLabels();
    showing_ = false;
    enableEntry(firstPlay_);
    enableEntry(topMenu_);
}

void IndexView::showAppInfo() {
    const TINDX& file = index();
    cbOutputMode->setCurrentIndex(itemOf(*cbOutputMode, file.outputModePreference));
    cbSSContent->setChecked(file.ssContentExists != 0);
    // A value outside a list leaves it without a selection; the model keeps
    // the value until the user picks an entry.
    showChoice(cbVideoFormat, itemOf(*cbVideoFormat, file.videoFormat),
               QString::number(file.videoFormat));
    showChoice(cbFrameRate, itemOf(*cbFrameRate, file.frameRate), QString::number(file.frameRate));
    eProvider->setText(fromFileText(file.contentProvider));
    eProvider->setCursorPosition(0);
}

void IndexView::showTitles(bool progress) {
    const auto& titles = index().indexes.titles;
    if (titles.empty()) {
        sgTitles->clearGrid();
        return;
    }
    sgTitles->setDataRows(static_cast<int>(titles.size()));
    for (std::size_t t = 0; t < titles.size(); ++t) {
        showTitleRow(t);
        if (progress && t % kProgressStep == 0) {
            context_.reporter->slog(std::to_string(t + 1) + "/" + std::to_string(titles.size()), 1);
        }
    }
    if (progress) context_.reporter->slog("", 1);
    sgTitles->setEnabled(good());
}

void IndexView::showTitleRow(std::size_t title) {
    const TTitleEntry& entry = index().indexes.titles[title];
    const auto cells = titleRowCells(entry);
    const int row = static_cast<int>(title) + 1;
    for (int col = 0; col < static_cast<int>(cells.size()); ++col)
        sgTitles->setCell(col, row, toQ(cells[static_cast<std::size_t>(col)]));
    // A title whose movie object was deleted names none.
    if (entry.isHdmv() && entry.objectId == kNoObject) sgTitles->setCell(4, row, "??");
}

void IndexView::showTitleNumbers() {
    const int selected = cbTitleNo->currentIndex();
    cbTitleNo->clear();
    cbTitleNo->addItems(numbers(index().indexes.titles.size(), 1));
    cbTitleNo->setCurrentIndex(std::min(selected, cbTitleNo->count() - 1));
}

void IndexView::showTitleControls() {
    const TTitleEntry* title = currentTitle();
    if (title == nullptr) return;
    showChoice(cbTitleOT, objectTypeItem(title->objectType), QString::number(title->objectType));
    cbTitleAT->setCurrentIndex(itemForAccessType(title->accessType));
    showChoice(cbTitlePBT, itemOf(*cbTitlePBT, title->playbackType),
               QString::number(title->playbackType));
    showChoice(cbTitleOID, itemOf(*cbTitleOID, title->objectId), objectIdText(title->objectId));
    const QString name = fromFileText(title->bdjName);
    showChoice(cbTitleFN, cbTitleFN->findText(name), name);
}

void IndexView::enableTitleControls() {
    const bool any = good() && !index().indexes.titles.empty();
    const TTitleEntry* title = currentTitle();
    const bool hdmv = title != nullptr && title->isHdmv();
    for (QWidget* w : std::initializer_list<QWidget*>{cbTitleNo, cbTitleAT, cbTitlePBT})
        w->setEnabled(any);
    // A BD-J title can always be made HDMV again; HDMV titles become BD-J
    // only when there are BD-J objects to name.
    cbTitleOT->setEnabled(any && (bdjListed() || !hdmv));
    cbTitleOID->setEnabled(any && hdmv);
    cbTitleFN->setEnabled(any && title != nullptr && !hdmv);
    bInsTitle->setEnabled(good() && index().indexes.titles.size() < kMaxTitles);
    bDelTitle->setEnabled(any);
}

void IndexView::showEntry(const EntryControls& controls) {
    const TTitleEntry& entry = entryOf(controls);
    controls.onOff->setChecked(entryIsOn(entry));
    showChoice(controls.objectType, objectTypeItem(entry.objectType),
               QString::number(entry.objectType));
    if (controls.playbackType != nullptr) {
        showChoice(controls.playbackType, itemOf(*controls.playbackType, entry.playbackType),
                   QString::number(entry.playbackType));
    }
    showChoice(controls.objectId, itemOf(*controls.objectId, entry.objectId),
               objectIdText(entry.objectId));
    const QString name = fromFileText(entry.bdjName);
    showChoice(controls.fileName, controls.fileName->findText(name), name);
}

void IndexView::enableEntry(const EntryControls& controls) {
    const TTitleEntry& entry = entryOf(controls);
    const bool on = good() && entryIsOn(entry);
    controls.onOff->setEnabled(good());
    controls.objectType->setEnabled(on && (bdjListed() || !entry.isHdmv()));
    if (controls.playbackType != nullptr) controls.playbackType->setEnabled(on);
    controls.objectId->setEnabled(on && entry.isHdmv());
    controls.fileName->setEnabled(on && !entry.isHdmv());
}

void IndexView::showLabels() {
    lTitlenum->setText(toQ(titlesLabel(index())));
}

void IndexView::showExtensionData() {
    lIndexExtDat->setText(toQ(extensionDataSummary(index().extensionData)));
}

TTitleEntry& IndexView::entryOf(const EntryControls& controls) const {
    return &controls == &firstPlay_ ? index().indexes.firstPlayback : index().indexes.topMenu;
}

TTitleEntry* IndexView::currentTitle() const {
    const int title = selectedTitle();
    return title < 0 ? nullptr : &index().indexes.titles[static_cast<std::size_t>(title)];
}

int IndexView::selectedTitle() const {
    const int title = cbTitleNo->currentIndex();
    return title >= 0 && title < static_cast<int>(index().indexes.titles.size()) ? title : -1;
}

void IndexView::selectTitle(int title) {
    if (title < 0 || title >= static_cast<int>(index().indexes.titles.size())) return;
    showing_ = true;
    sgTitles->setGridCursor(1, title + 1);
    sgTitles->selectRow(title);
    cbTitleNo->setCurrentIndex(title);
    showTitleControls();
    showing_ = false;
    enableTitleControls();
    const TTitleEntry& entry = index().indexes.titles[static_cast<std::size_t>(title)];
    if (entry.isHdmv() && entry.objectId < context_.objects().objects.size()) {
        emit showObjectRequested(entry.objectId);
    }
}

// ---------------------------------------------------------------------------
// Titles

void IndexView::insertTitle() {
    // A file with more titles would be refused when it is read again.
    if (!good() || index().indexes.titles.size() >= kMaxTitles) return;
    const int count = static_cast<int>(index().indexes.titles.size());
    int after = sgTitles->selectionBottom() - 1;
    if (count == 0) after = -1;
    if (after < 0 || after >= count) after = count > 0 ? selectedTitle() : -1;
    const std::size_t added = lumora::insertTitle(index(), after);
    showing_ = true;
    showTitles(false);
    showTitleNumbers();
    showing_ = false;
    sgTitles->setEnabled(true);
    selectTitle(static_cast<int>(added));
    showLabels();
    emit titlesChanged();
}

void IndexView::deleteTitles() {
    const int count = static_cast<int>(index().indexes.titles.size());
    if (!good() || count == 0) return;
    int first = sgTitles->selectionTop() - 1;
    int last = sgTitles->selectionBottom() - 1;
    if (first < 0 || last < first || last >= count) first = last = selectedTitle();
    if (first < 0) return;
    lumora::deleteTitles(index(), static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    showing_ = true;
    showTitles(false);
    showTitleNumbers();
    showing_ = false;
    if (index().indexes.titles.empty()) {
        cbTitleNo->setCurrentIndex(-1);
        enableTitleControls();
    } else {
        selectTitle(std::max(first - 1, 0));
    }
    showLabels();
    emit titlesChanged();
}

void IndexView::titleRowChosen(int row) {
    if (showing_ || row < 1) return;
    selectTitle(row - 1);
}

void IndexView::titleRowDoubleClicked(int row) {
    const int title = row - 1;
    if (title < 0 || title >= static_cast<int>(index().indexes.titles.size())) return;
    if (index().indexes.titles[static_cast<std::size_t>(title)].isHdmv()) return;
    selectTitle(title);
    emit bdjTitleActivated(cbTitleFN->currentIndex());
}

void IndexView::titleNumberChosen(int item) {
    selectTitle(item);
}

void IndexView::titleObjectTypeChosen(int item) {
    TTitleEntry* title = currentTitle();
    if (title == nullptr || item < 0) return;
    title->objectType = static_cast<std::uint8_t>(item + 1);
    // The file-name list shows a name; a BD-J title without one would be
    // written with an empty name.
    if (!title->isHdmv() && title->bdjName.empty() && cbTitleFN->count() > 0) {
        title->bdjName = toFileText(cbTitleFN->itemText(std::max(cbTitleFN->currentIndex(), 0)),
                                    kFileNameLength);
    }
    showTitleRow(static_cast<std::size_t>(selectedTitle()));
    showTitleControls();
    enableTitleControls();
}

void IndexView::titleAccessTypeChosen(int item) {
    TTitleEntry* title = currentTitle();
    if (title == nullptr || item < 0) return;
    title->accessType = accessTypeForItem(item);
    showTitleRow(static_cast<std::size_t>(selectedTitle()));
}

void IndexView::titlePlaybackTypeChosen(int item) {
    TTitleEntry* title = currentTitle();
    if (title == nullptr || item < 0) return;
    title->playbackType = static_cast<std::uint8_t>(item);
    showTitleRow(static_cast<std::size_t>(selectedTitle()));
}

void IndexView::titleObjectIdChosen(int item) {
    TTitleEntry* title = currentTitle();
    if (title == nullptr || item < 0) return;
    title->objectId = static_cast<std::uint16_t>(item);
    showTitleRow(static_cast<std::size_t>(selectedTitle()));
    emit showObjectRequested(item);
}

void IndexView::titleFileNameChosen(int item) {
    TTitleEntry* title = currentTitle();
    if (title == nullptr || item < 0) return;
    title->bdjName = toFileText(cbTitleFN->itemText(item), kFileNameLength);
    showTitleRow(static_cast<std::size_t>(selectedTitle()));
}

// ---------------------------------------------------------------------------
// First Playback and Top Menu

void IndexView::entrySwitched(const EntryControls& controls, bool on) {
    if (!good()) return;
    TTitleEntry& entry = entryOf(controls);
    const bool haveObjects = !context_.objects().objects.empty();
    const int item = controls.objectId->currentIndex();
    // Without a choice in the object list the entry takes the first object.
    const std::uint16_t objectId =
        item >= 0 ? static_cast<std::uint16_t>(item) : (haveObjects ? 0 : kNoObject);
    setEntryOn(entry, on, objectId);
    showing_ = true;
    showEntry(controls);
    showing_ = false;
    enableEntry(controls);
    showLabels();
}

void IndexView::entryObjectTypeChosen(const EntryControls& controls, int item) {
    if (item < 0) return;
    TTitleEntry& entry = entryOf(controls);
    entry.objectType = static_cast<std::uint8_t>(item + 1);
    if (!entry.isHdmv() && entry.bdjName.empty() && controls.fileName->count() > 0) {
        entry.bdjName =
            toFileText(controls.fileName->itemText(std::max(controls.fileName->currentIndex(), 0)),
                       kFileNameLength);
    }
    showing_ = true;
    showEntry(controls);
    showing_ = false;
    enableEntry(controls);
    showLabels();
}

void IndexView::entryObjectIdChosen(const EntryControls& controls, int item) {
    if (item < 0) return;
    TTitleEntry& entry = entryOf(controls);
    entry.objectId = static_cast<std::uint16_t>(item);
    showLabels();
    if (entry.isHdmv()) emit showObjectRequested(item);
}

void IndexView::entryFileNameChosen(const EntryControls& controls, int item) {
    if (item < 0) return;
    entryOf(controls).bdjName = toFileText(controls.fileName->itemText(item), kFileNameLength);
}

// ---------------------------------------------------------------------------
// ExtensionData

void IndexView::editExtensionData() {
    const QString folder = context_.outputFolder ? context_.outputFolder() : QString();
    TfExtDat dialog(toQ(std::string(context_.names.index)), index().extensionData, folder, this);
    const bool ok =
        context_.runExtDat ? context_.runExtDat(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) return;
    setIndexExtensionData(index(), dialog.block());
    showExtensionData();
}

}  // namespace lumora::app
