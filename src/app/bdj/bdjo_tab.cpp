#include "app/bdj/bdjo_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"
#include "core/file_io.h"
#include "core/text.h"

namespace lumora::app {
namespace {

StringGrid* tableGrid(QWidget* parent, const QString& name, const QString& hint,
                      const std::vector<std::string>& headers) {
    auto* grid = new StringGrid(parent);
    grid->setObjectName(name);
    grid->setToolTip(hint);
    grid->setHeaders(toQList(headers));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setMinimumHeight(50);
    return grid;
}

// The tab shows the file: its check boxes tell, they are not for changing.
QCheckBox* flagBox(QWidget* parent, const QString& caption, const QString& name) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QLineEdit* shownField(QWidget* parent, const QString& name, const QString& hint) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    field->setReadOnly(true);
    return field;
}

template <typename Items, typename Cells>
void fillGrid(StringGrid* grid, const Items& items, Cells cells, bool enable) {
    if (items.empty()) {
        grid->clearGrid();
        return;
    }
    grid->setDataRows(static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::vector<std::string> row = cells(i, items[i]);
        for (std::size_t col = 0; col < row.size(); ++col)
            grid->setCell(static_cast<int>(col), static_cast<int>(i) + 1, toQ(row[col]));
    }
    grid->setEnabled(enable);
}

}  // namespace

BdjoTab::BdjoTab(QWidget* parent)
    : SelectorTab(parent, "tsBDJO", "BD-J object:", "cbBDJO", "bReadBDJO",
                  "Read the selected .bdjo file") {
    fillContextDefaults();
    auto* grid = new QGridLayout;
    grid->addWidget(buildTerminalInfo(), 0, 0);
    grid->addWidget(buildAppCache(), 0, 1);
    grid->addWidget(buildPlaylists(), 0, 2);
    grid->addWidget(buildApplications(), 1, 0, 1, 2);
    grid->addWidget(buildKeys(), 1, 2);
    grid->addWidget(buildFileAccess(), 2, 0, 1, 3);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid, 1);

    connect(this, &SelectorTab::readRequested, this, &BdjoTab::readBdjo);
    connect(selector(), &QComboBox::activated, this, &BdjoTab::selectorChosen);
    connect(sgApplications, &QTableWidget::cellClicked, this,
            [this](int row, int) { showApplication(row + 1); });
    connect(sgApplications, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previous, int) {
                if (row != previous) showApplication(row + 1);
            });
    connect(sgPlaylists, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QString entry = sgPlaylists->cell(1, row + 1);
        if (!entry.isEmpty()) emit playlistRequested(entry);
    });
    clearViews();
}

BdjoTab::~BdjoTab() = default;

QWidget* BdjoTab::buildTerminalInfo() {
    QGroupBox* box = group(this, "TerminalInfo", "gbTerminalInfo");
    eDefaultFont = shownField(box, "eDefaultFont", "Default language");
    heHavi = shownField(box, "heHavi", "Initial HAVi configuration id");
    heHavi->setMaximumWidth(heHavi->fontMetrics().horizontalAdvance("000") + 16);
    cbMenuCallMask = flagBox(box, "Menu call mask", "cbMenuCallMask");
    cbTitleSearchMask = flagBox(box, "Title search mask", "cbTitleSearchMask");
    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Default font ", box), 0, 0);
    fields->addWidget(eDefaultFont, 0, 1);
    fields->addWidget(new QLabel("Initial HAVi configuration id", box), 1, 0);
    fields->addWidget(heHavi, 1, 1);
    fields->addWidget(cbMenuCallMask, 2, 0, 1, 2);
    fields->addWidget(cbTitleSearchMask, 3, 0, 1, 2);
    fields->setRowStretch(4, 1);
    static_cast<QVBoxLayout*>(box->layout())->addLayout(fields);
    return box;
}

QWidget* BdjoTab::buildAppCache() {
    QGroupBox* box = group(this, "AppCacheInfo", "gbAppCacheInfo");
    sgAppCache = tableGrid(box, "sgAppCache", "Application cache entries", appCacheGridHeaders());
    fitColumns(sgAppCache, {{0, "000"}, {1, "entry type"}, {2, "ref to name"}, {3, "language"}});
    box->layout()->addWidget(sgAppCache);
    return box;
}

QWidget* BdjoTab::buildPlaylists() {
    QGroupBox* box = group(this, "TableOfAccessiblePlayLists", "gbAccessiblePlayLists");
    cbAccessToAll = flagBox(box, "Acces to all", "cbAccessToAll");
    cbAutostartFirst = flagBox(box, "Autostart first PL", "cbAutostartFirst");
    sgPlaylists = tableGrid(box, "sgPlaylists",
                            "Accessible playlists (double click: show it on the PLAYLIST tab)",
                            playlistGridHeaders());
    fitColumns(sgPlaylists, {{0, "000"}, {1, "PlayList00"}});
    auto* flags = new QHBoxLayout;
    flags->addWidget(cbAccessToAll);
    flags->addWidget(cbAutostartFirst);
    flags->addStretch(1);
    auto* layout = static_cast<QVBoxLayout*>(box->layout());
    layout->addLayout(flags);
    layout->addWidget(sgPlaylists, 1);
    return box;
}

QWidget* BdjoTab::buildApplications() {
    QGroupBox* box = group(this, "ApplicationManagementTable", "gbApplications");
    sgApplications =
        tableGrid(box, "sgApplications", "Applications (click: its profiles, names and parameters)",
                  applicationGridHeaders());
    sgProfiles = tableGrid(box, "sgProfiles", "Profiles of the application", profileGridHeaders());
    sgNames = tableGrid(box, "sgNames", "Names of the application", nameGridHeaders());
    sgParameters =
        tableGrid(box, "sgParameters", "Parameters of the application", parameterGridHeaders());
    fitColumns(sgApplications, {{0, "000"}, {3, "00000000"}, {4, "appID"}, {10, "base_dir"}});
    fitColumns(sgProfiles, {{0, "00"}, {1, "profile"}, {2, "00.00.00"}});
    fitColumns(sgNames, {{0, "00"}, {1, "lang"}, {2, "a name of an app"}});
    fitColumns(sgParameters, {{0, "00"}, {1, "a parameter of an app"}});
    for (StringGrid* grid : {sgNames, sgParameters})
        grid->horizontalHeader()->setStretchLastSection(true);
    auto* parts = new QHBoxLayout;
    parts->addWidget(sgProfiles);
    parts->addWidget(sgNames, 1);
    parts->addWidget(sgParameters, 1);
    auto* layout = static_cast<QVBoxLayout*>(box->layout());
    layout->addWidget(sgApplications, 1);
    layout->addLayout(parts, 1);
    return box;
}

QWidget* BdjoTab::buildKeys() {
    QGroupBox* box = group(this, "KeyInterestTable", "gbKeyInterest");
    // Two columns in the order of the remote control's keys.
    const BdjKey order[] = {BdjKey::Play,     BdjKey::Stop,     BdjKey::Prev,    BdjKey::Next,
                            BdjKey::FFW,      BdjKey::REW,      BdjKey::Pause,   BdjKey::StillOff,
                            BdjKey::PgTextST, BdjKey::SecAudio, BdjKey::SecVideo};
    auto* keys = new QGridLayout;
    int place = 0;
    for (const BdjKey key : order) {
        const auto index = static_cast<std::size_t>(key);
        const QString caption = toQ(std::string(bdjKeyName(key)));
        cbKeys[index] = flagBox(box, caption, "cbKey" + QString(caption).remove('.').remove(' '));
        keys->addWidget(cbKeys[index], place % 6, place / 6);
        ++place;
    }
    keys->setRowStretch(6, 1);
    static_cast<QVBoxLayout*>(box->layout())->addLayout(keys);
    return box;
}

QWidget* BdjoTab::buildFileAccess() {
    QGroupBox* box = group(this, "FileAccesInfo", "gbFileAccess");
    eDirectoryPath = shownField(box, "eDirectoryPath", "Directory path");
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Directory Path:", box));
    row->addWidget(eDirectoryPath, 1);
    static_cast<QVBoxLayout*>(box->layout())->addLayout(row);
    return box;
}

void BdjoTab::setContext(BdjoContext context) {
    context_ = std::move(context);
    fillContextDefaults();
}

void BdjoTab::fillContextDefaults() {
    context_.reporter = quiet_.orThis(context_.reporter);
    if (!context_.disc) context_.disc = [] { return DiscFolder{}; };
    if (!context_.autoRead) context_.autoRead = [] { return false; };
    if (!context_.showFileError) {
        context_.showFileError = [this](const QString& message) {
            QMessageBox::critical(this, toQ(programCaption()), message);
        };
    }
}

// ---------------------------------------------------------------------------
// Showing

void BdjoTab::clearViews() {
    bdjo_ = TBDJO{};
    for (QLineEdit* field : {eDefaultFont, heHavi, eDirectoryPath})
        field->clear();
    for (QCheckBox* box : {cbMenuCallMask, cbTitleSearchMask, cbAccessToAll, cbAutostartFirst})
        box->setChecked(false);
    for (QCheckBox* box : cbKeys)
        box->setChecked(false);
    for (StringGrid* grid :
         {sgAppCache, sgPlaylists, sgApplications, sgProfiles, sgNames, sgParameters})
        grid->clearGrid();
    sgApplications->setSelectionMode(QAbstractItemView::NoSelection);
}

void BdjoTab::selectorChosen() {
    if (context_.autoRead() && readButton()->isEnabled()) readSelected();
}

void BdjoTab::readBdjo(const QString& entry) {
    Reporter& reporter = *context_.reporter;
    clearViews();
    const DiscFolder disc = context_.disc();
    const std::string name = entry.toStdString() + std::string(disc.names().bdjoExt);
    TBDJO read;
    ReadOutcome outcome;
    try {
        outcome = readBdjoFile(disc.path("BDJO/" + name), name, read, reporter);
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
        showApplication(0);
        return;
    }
    // A file of another kind leaves the views reset; one cut short shows
    // what it holds.
    if (outcome.status != ReadStatus::BadFormat) {
        bdjo_ = std::move(read);
        showBdjo();
    }
    selector()->setFocus(Qt::OtherFocusReason);
    reporter.slogR();
}

void BdjoTab::showBdjo() {
    eDefaultFont->setText(toQ(bdjo_.defaultFont));
    heHavi->setText(toQ(hexText(bdjo_.haviConfiguration, 1)));
    cbMenuCallMask->setChecked(bdjo_.menuCallMask);
    cbTitleSearchMask->setChecked(bdjo_.titleSearchMask);
    fillGrid(sgAppCache, bdjo_.appCache.entries, appCacheRowCells, true);
    cbAccessToAll->setChecked(bdjo_.playlists.accessToAll);
    cbAutostartFirst->setChecked(bdjo_.playlists.autostartFirstPlayList);
    fillGrid(sgPlaylists, bdjo_.playlists.playlists, playlistRowCells, true);
    const auto& applications = bdjo_.applications.applications;
    // The grid is for choosing among several applications; one is shown with
    // its parts below.  Its grid takes no choice then but still scrolls: a
    // disabled one would hide the columns beyond its width.
    fillGrid(sgApplications, applications, applicationRowCells, true);
    const bool choosing = applications.size() >= 2;
    sgApplications->setSelectionMode(choosing ? QAbstractItemView::SingleSelection
                                              : QAbstractItemView::NoSelection);
    sgApplications->setFocusPolicy(choosing ? Qt::StrongFocus : Qt::NoFocus);
    for (const BdjKey key : kBdjKeys)
        cbKeys[static_cast<std::size_t>(key)]->setChecked(bdjKeySet(bdjo_.keyInterestTable, key));
    eDirectoryPath->setText(toQ(bdjo_.directoryPath));
    if (!applications.empty()) selectGridRow(sgApplications, 1);
    showApplication(applications.empty() ? 0 : 1);
}

void BdjoTab::showApplication(int row) {
    for (StringGrid* grid : {sgProfiles, sgNames, sgParameters})
        grid->clearGrid();
    const auto& applications = bdjo_.applications.applications;
    if (row < 1 || row > static_cast<int>(applications.size())) return;
    const Tapplication& app = applications[static_cast<std::size_t>(row) - 1];
    fillGrid(sgProfiles, app.profiles, profileRowCells, true);
    fillGrid(sgNames, app.names, nameRowCells, true);
    fillGrid(sgParameters, app.parameters, parameterRowCells, true);
}

}  // namespace lumora::app
