#include "app/menu/menu_objects_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "app/menu/menu_preview.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "core/text.h"
#include "menu/menu_rows.h"
#include "menu/page_renderer.h"

namespace lumora::app {

std::optional<std::size_t> paletteOfReference(const TIGMenu& menu, const std::string& reference) {
    std::size_t end = 0;
    while (end < reference.size() && std::isdigit(static_cast<unsigned char>(reference[end])))
        ++end;
    if (end == 0 || end >= reference.size() || end > 3) return std::nullopt;
    const std::size_t pageIndex = std::stoul(reference.substr(0, end));
    if (pageIndex >= menu.ics.pages.size()) return std::nullopt;
    const TPage& page = menu.ics.pages[pageIndex];
    switch (reference[end]) {
        case ':':
            return page.palette;
        case 'i':
            if (page.inEffects.effects.empty()) return std::nullopt;
            return page.inEffects.effects.back().palette;
        case 'o':
            if (page.outEffects.effects.empty()) return std::nullopt;
            return page.outEffects.effects.front().palette;
        default:
            return std::nullopt;
    }
}

MenuObjectsView::MenuObjectsView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    setObjectName("tsObjects");
    buildSelectors();

    sgIGObjects = new StringGrid(this);
    sgIGObjects->setObjectName("sgIGObjects");
    sgIGObjects->setToolTip("Objects");
    sgIGObjects->setHeaders(toQList(objectGridHeaders()));
    sgIGObjects->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fitColumns(sgIGObjects, {{0, "00000"}, {1, "00000"}, {2, "00000"}, {3, "0io 0:00ns,00a"}});
    sgIGObjects->horizontalHeader()->setStretchLastSection(true);
    lObjects = new QLabel("0 objects", this);
    lObjects->setObjectName("lObjects");

    sgPalettes = new StringGrid(this);
    sgPalettes->setObjectName("sgPalettes");
    sgPalettes->setToolTip("Palettes");
    sgPalettes->setHeaders(toQList(paletteGridHeaders()));
    sgPalettes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fitColumns(sgPalettes, {{0, "000"}, {1, "0io 0 1 2"}});
    sgPalettes->horizontalHeader()->setStretchLastSection(true);

    preview = new ObjectPreview("pObjectPreview", this);
    preview->setToolTip("The selected object under the selected palette");

    auto* objects = new QVBoxLayout;
    objects->setSpacing(2);
    objects->addWidget(lObjects);
    objects->addWidget(sgIGObjects, 1);
    auto* palettes = new QVBoxLayout;
    palettes->setSpacing(2);
    palettes->addWidget(new QLabel("Palettes:", this));
    palettes->addWidget(sgPalettes, 1);
    objectTools = new QHBoxLayout;
    objectTools->setSpacing(4);

    auto* grids = new QHBoxLayout;
    grids->setSpacing(4);
    grids->addLayout(objects, 3);
    grids->addLayout(palettes, 2);
    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addLayout(grids, 1);
    left->addLayout(objectTools);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addLayout(left, 1);
    layout->addWidget(preview, 1);
    connectControls();
    clear();
}

QGroupBox* MenuObjectsView::buildSelectors() {
    gbObjPal = new QGroupBox(this);
    gbObjPal->setObjectName("gbObjPal");
    gbObjPal->setFlat(true);
    cbIGObject = listBox(gbObjPal, "cbIGObject", "0 objects");
    cbIGObject->setMinimumContentsLength(4);
    cbIGObject->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbPalette = listBox(gbObjPal, "cbPalette", "0 palettes");
    cbPalette->setMinimumContentsLength(2);
    cbPalette->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    auto* objectLabel = new QLabel("O&bject:", gbObjPal);
    objectLabel->setBuddy(cbIGObject);
    auto* paletteLabel = new QLabel("Pale&tte:", gbObjPal);
    paletteLabel->setBuddy(cbPalette);
    cbViewPalette = new QCheckBox("View palette only", gbObjPal);
    cbViewPalette->setObjectName("cbViewPalette");
    cbViewPalette->setToolTip("The previews show the palette's colours instead of the object");
    auto* layout = new QHBoxLayout(gbObjPal);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(4);
    layout->addWidget(objectLabel);
    layout->addWidget(cbIGObject);
    layout->addSpacing(6);
    layout->addWidget(paletteLabel);
    layout->addWidget(cbPalette);
    layout->addSpacing(6);
    layout->addWidget(cbViewPalette);
    return gbObjPal;
}

void MenuObjectsView::connectControls() {
    connect(sgIGObjects, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) objectRowChosen(row + 1);
            });
    connect(sgIGObjects, &QTableWidget::cellClicked, this,
            [this](int row, int) { objectRowChosen(row + 1); });
    connect(sgPalettes, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) paletteRowChosen(row + 1);
            });
    connect(sgPalettes, &QTableWidget::cellClicked, this,
            [this](int row, int) { paletteRowChosen(row + 1); });
    connect(cbIGObject, &QComboBox::activated, this, &MenuObjectsView::objectChosen);
    connect(cbPalette, &QComboBox::activated, this, &MenuObjectsView::paletteChosen);
}

// ---------------------------------------------------------------------------
// Showing

void MenuObjectsView::clear() {
    showing_ = true;
    sgIGObjects->clearGrid();
    sgPalettes->clearGrid();
    sgIGObjects->setToolTip("Objects");
    sgPalettes->setToolTip("Palettes");
    cbIGObject->clear();
    cbPalette->clear();
    cbIGObject->setToolTip("0 objects");
    cbPalette->setToolTip("0 palettes");
    lObjects->setText("0 objects");
    preview->clearPicture();
    gbObjPal->setEnabled(false);
    showing_ = false;
}

void MenuObjectsView::showMenu() {
    const TIGMenu& menu = document_.menu;
    showing_ = true;
    showObjectRows();
    showPaletteRows();
    cbIGObject->clear();
    for (std::size_t slot = 0; slot < menu.objects.size(); ++slot)
        cbIGObject->addItem(toQ(hexText(slot, 4)));
    cbPalette->clear();
    for (std::size_t slot = 0; slot < menu.palettes.size(); ++slot)
        cbPalette->addItem(toQ(hexText(slot, 2)));
    const QString objects = QString::number(menu.objects.size()) + " objects";
    cbIGObject->setToolTip(objects);
    lObjects->setText(objects);
    cbPalette->setToolTip(QString::number(menu.palettes.size()) + " palettes");
    cbIGObject->setEnabled(!menu.objects.empty());
    cbPalette->setEnabled(!menu.palettes.empty());
    gbObjPal->setEnabled(!menu.objects.empty() && !menu.palettes.empty());
    showing_ = false;
    if (!menu.palettes.empty()) selectObjectAndPalette(-1, 0);
    if (!menu.objects.empty()) objectRowChosen(1);
}

void MenuObjectsView::showObjectRows() {
    const TIGMenu& menu = document_.menu;
    sizeGrid(sgIGObjects, menu.objects.size());
    for (std::size_t slot = 0; slot < menu.objects.size(); ++slot) {
        showRow(sgIGObjects, static_cast<int>(slot) + 1, objectRowCells(menu, slot));
        for (int col = 1; col <= 2; ++col) {
            if (QTableWidgetItem* item = sgIGObjects->item(static_cast<int>(slot), col - 1))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
}

void MenuObjectsView::showPaletteRows() {
    const TIGMenu& menu = document_.menu;
    sizeGrid(sgPalettes, menu.palettes.size());
    for (std::size_t slot = 0; slot < menu.palettes.size(); ++slot)
        showRow(sgPalettes, static_cast<int>(slot) + 1, paletteRowCells(menu, slot));
}

void MenuObjectsView::refreshReferences() {
    const TIGMenu& menu = document_.menu;
    if (!document_.loaded) return;
    for (std::size_t slot = 0; slot < menu.objects.size(); ++slot)
        sgIGObjects->setCell(3, static_cast<int>(slot) + 1, toQ(getobjref(menu, slot)));
    for (std::size_t slot = 0; slot < menu.palettes.size(); ++slot)
        sgPalettes->setCell(1, static_cast<int>(slot) + 1, toQ(getpalref(menu, slot)));
}

int MenuObjectsView::chosenObject() const {
    return cbIGObject->currentIndex();
}

int MenuObjectsView::chosenPalette() const {
    return cbPalette->currentIndex();
}

void MenuObjectsView::selectObjectAndPalette(int object, int palette) {
    showing_ = true;
    if (object >= 0 && object < cbIGObject->count()) {
        cbIGObject->setCurrentIndex(object);
        selectGridRow(sgIGObjects, object + 1);
    }
    if (palette >= 0 && palette < cbPalette->count()) {
        cbPalette->setCurrentIndex(palette);
        selectGridRow(sgPalettes, palette + 1);
    }
    showing_ = false;
}

void MenuObjectsView::showChosenObject() {
    const int object = chosenObject();
    if (object < 0 || context_.renderer == nullptr) {
        preview->clearPicture();
        return;
    }
    const auto palette = static_cast<std::uint32_t>(std::max(chosenPalette(), 0));
    preview->showButtonPicture(
        context_.renderer->ShowButtonPic(static_cast<std::uint32_t>(object), palette), palette);
}

// ---------------------------------------------------------------------------
// Choices

// The row's object, under the palette its first reference uses.
void MenuObjectsView::objectRowChosen(int row) {
    const TIGMenu& menu = document_.menu;
    if (showing_ || row < 1 || row > static_cast<int>(menu.objects.size())) return;
    const std::string references = getobjref(menu, static_cast<std::size_t>(row) - 1);
    const std::optional<std::size_t> palette = paletteOfReference(menu, references);
    selectObjectAndPalette(row - 1, palette ? static_cast<int>(*palette) : -1);
    sgIGObjects->setToolTip("Objects\nRef: " + toQ(references));
    showChosenObject();
}

void MenuObjectsView::paletteRowChosen(int row) {
    const TIGMenu& menu = document_.menu;
    if (showing_ || row < 1 || row > static_cast<int>(menu.palettes.size())) return;
    selectObjectAndPalette(-1, row - 1);
    const std::string references = getpalref(menu, static_cast<std::size_t>(row) - 1);
    const bool any = references.find_first_not_of(' ') != std::string::npos;
    sgPalettes->setToolTip(any ? "Palettes\nRef: " + toQ(references) : QString("Palettes"));
    showChosenObject();
}

void MenuObjectsView::objectChosen(int item) {
    if (showing_ || item < 0) return;
    selectObjectAndPalette(item, -1);
    showChosenObject();
}

void MenuObjectsView::paletteChosen(int item) {
    if (showing_ || item < 0) return;
    selectObjectAndPalette(-1, item);
    showChosenObject();
}

}  // namespace lumora::app
