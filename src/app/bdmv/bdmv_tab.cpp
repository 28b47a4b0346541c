#include "app/bdmv/bdmv_tab.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/bdmv/index_view.h"
#include "app/bdmv/movie_object_view.h"
#include "app/bdmv/sound_view.h"
#include "app/widgets/string_grid.h"
#include "app/widgets/widget_helpers.h"

namespace lumora::app {

int fittedColumnWidth(const StringGrid& grid, int col, const QStringList& texts) {
    // Room a cell needs beside its text: the item's margins and the grid line.
    constexpr int kCellMargin = 8;
    const QHeaderView& header = col == 0 ? *grid.verticalHeader() : *grid.horizontalHeader();
    int width = col == 0 ? header.sizeHint().width() : header.sectionSizeHint(col - 1);
    for (const QString& text : texts)
        width = std::max(width, grid.fontMetrics().horizontalAdvance(text) + kCellMargin);
    return width;
}

BdmvTab::BdmvTab(QWidget* parent) : QWidget(parent) {
    setObjectName("tsBDMV");
    context_.models = &ownModels_;

    auto* top = new QHBoxLayout;
    auto* folderLabel = new QLabel("BDMV folder:", this);
    eBDMVdir = new QLineEdit(this);
    eBDMVdir->setObjectName("eBDMVdir");
    eBDMVdir->setReadOnly(true);
    eBDMVdir->setToolTip("The BDMV folder");
    folderLabel->setBuddy(eBDMVdir);
    bbOpenDir = new QToolButton(this);
    bbOpenDir->setObjectName("bbOpenDir");
    bbOpenDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    bbOpenDir->setToolTip("Select a directory");
    bReadBDMV = button(this, "&Read", "bReadBDMV", "Read the BDMV folder");
    top->addWidget(folderLabel);
    top->addWidget(eBDMVdir, 1);
    top->addWidget(bbOpenDir);
    top->addWidget(bReadBDMV);

    soundView = new SoundView(context_, this);
    gbSound = soundView;

    indexView = new IndexView(context_, this);
    movieObjectView = new MovieObjectView(context_, this);

    // The sound group stacks above the index group; the index group takes
    // what the sound group leaves.  The index group is as wide as its
    // controls need; the movie objects and their commands take the rest.
    auto* left = new QVBoxLayout;
    left->addWidget(gbSound);
    left->addWidget(indexView, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 0);
    columns->addWidget(movieObjectView, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(columns, 1);
    connectViews();
}

void BdmvTab::connectViews() {
    connect(indexView, &IndexView::showObjectRequested, movieObjectView,
            &MovieObjectView::setObjectSG);
    connect(indexView, &IndexView::bdjTitleActivated, this, &BdmvTab::bdjTitleActivated);
    connect(indexView, &IndexView::titlesChanged, this, &BdmvTab::rolesChanged);
    connect(movieObjectView, &MovieObjectView::objectsChanged, this, [this] {
        indexView->showObjectLists();
        emit objectsChanged();
        emit rolesChanged();
    });
    connect(movieObjectView, &MovieObjectView::referencesChanged, indexView,
            &IndexView::showReferences);
    connect(movieObjectView, &MovieObjectView::objectSelected, this, [this](int object) {
        emit objectSelected(object);
        emit rolesChanged();
    });
}

void BdmvTab::attach(NavigationModels& models, Reporter& reporter) {
    context_.models = &models;
    context_.reporter = &reporter;
    clear();
}

void BdmvTab::setNameSet(const NameSet& names) {
    context_.names = names;
}

void BdmvTab::setExtDatRunner(std::function<bool(TfExtDat&)> runner) {
    context_.runExtDat = std::move(runner);
}

void BdmvTab::setOutputFolder(std::function<QString()> outputFolder) {
    context_.outputFolder = std::move(outputFolder);
}

void BdmvTab::clear() {
    *context_.models = NavigationModels{};
    context_.bdjNames.clear();
    soundView->clear();
    indexView->clear();
    movieObjectView->clear();
    indexView->showObjectLists();
    emit rolesChanged();
}

void BdmvTab::showBdjNames(const std::vector<std::string>& names) {
    context_.bdjNames.clear();
    for (const std::string& name : names)
        context_.bdjNames << QString::fromStdString(name);
    indexView->showBdjNames();
}

void BdmvTab::showMovieObjects(bool good) {
    movieObjectView->showFile(good);
    indexView->showObjectLists();
    emit objectsChanged();
    emit rolesChanged();
}

void BdmvTab::showIndex(bool good) {
    indexView->showIndex(good);
    // Without a good index nothing can be saved, so the objects grid does not
    // invite edits either.
    movieObjectView->sgObject->setEnabled(good && !context_.objects().objects.empty());
    emit rolesChanged();
}

bool BdmvTab::canSave() const {
    const NavigationModels& models = *context_.models;
    return models.indexRead &&
           (!models.index.indexes.titles.empty() || !models.objects.objects.empty());
}

bool BdmvTab::canStart() const {
    return movieObjectView->selectedHasCommands();
}

}  // namespace lumora::app
