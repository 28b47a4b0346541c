#include "app/menu/menu_objects_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "app/menu/menu_preview.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "core/file_io.h"
#include "core/folder.h"
#include "core/text.h"
#include "menu/menu_edit.h"
#include "menu/menu_rows.h"
#include "menu/object_import.h"
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
    buildTools();

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
    // Every letter of both captions belongs to a main tab or to the
    // navigation panel shown beside them: the selectors are reached with
    // Tab instead.
    auto* objectLabel = new QLabel("Object:", gbObjPal);
    objectLabel->setBuddy(cbIGObject);
    auto* paletteLabel = new QLabel("Palette:", gbObjPal);
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
    connect(bLoadObject, &QPushButton::clicked, this, &MenuObjectsView::loadObjectImage);
    connect(sgIGObjects, &StringGrid::insertPressed, this, &MenuObjectsView::loadObjectImage);
    connect(bSaveObject, &QPushButton::clicked, this, &MenuObjectsView::saveObjectImage);
    connect(bSavePalette, &QPushButton::clicked, this, &MenuObjectsView::savePalette);
    connect(sgIGObjects, &StringGrid::shiftDeletePressed, this, &MenuObjectsView::deleteObjects);
    connect(sgPalettes, &StringGrid::shiftDeletePressed, this, &MenuObjectsView::deletePalettes);
}

// Two rows below the grids: the file buttons, then the replace boxes.
void MenuObjectsView::buildTools() {
    bLoadObject = new QPushButton("Load object image", this);
    bLoadObject->setObjectName("bLoadObject");
    bLoadObject->setToolTip("Import PNG pictures as objects (several: an animation)");
    bSaveObject = new QPushButton("Save object image", this);
    bSaveObject->setObjectName("bSaveObject");
    bSaveObject->setToolTip("Save the selected object under the selected palette as a PNG");
    bLoadPalette = new QPushButton("Load palette", this);
    bLoadPalette->setObjectName("bLoadPalette");
    bLoadPalette->setEnabled(false);
    bSavePalette = new QPushButton("Save palette", this);
    bSavePalette->setObjectName("bSavePalette");
    bSavePalette->setToolTip("Save the selected palette (.pxml or .act)");
    cbReplaceObject = new QCheckBox("Replace the selected object", this);
    cbReplaceObject->setObjectName("cbReplaceObject");
    cbReplacePalette = new QCheckBox("Replace the selected palette", this);
    cbReplacePalette->setObjectName("cbReplacePalette");
    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (QPushButton* b : {bLoadObject, bSaveObject, bLoadPalette, bSavePalette})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(12);
    boxes->addWidget(cbReplaceObject);
    boxes->addWidget(cbReplacePalette);
    boxes->addStretch(1);
    rows->addLayout(buttons);
    rows->addLayout(boxes);
    objectTools->addLayout(rows);
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
    enableTools();
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
    enableTools();
}

// The replace boxes are cleared after every import; what they and the save
// buttons can act on decides whether they are enabled.
void MenuObjectsView::enableTools() {
    const TIGMenu& menu = document_.menu;
    const bool editable = document_.loaded && document_.good;
    cbReplaceObject->setChecked(false);
    cbReplacePalette->setChecked(false);
    bLoadObject->setEnabled(editable);
    // An empty objects grid still takes Ins.
    if (editable) sgIGObjects->setEnabled(true);
    bSaveObject->setEnabled(document_.loaded && !menu.objects.empty() && !menu.palettes.empty());
    bSavePalette->setEnabled(document_.loaded && !menu.palettes.empty());
    cbReplaceObject->setEnabled(editable && !menu.objects.empty());
    cbReplacePalette->setEnabled(editable && !menu.palettes.empty());
}

void MenuObjectsView::showTables(int object, int palette) {
    const TIGMenu& menu = document_.menu;
    showMenu();
    const int objects = static_cast<int>(menu.objects.size());
    const int palettes = static_cast<int>(menu.palettes.size());
    selectObjectAndPalette(objects == 0 ? -1 : std::clamp(object, 0, objects - 1),
                           palettes == 0 ? -1 : std::clamp(palette, 0, palettes - 1));
    showChosenObject();
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

// ---------------------------------------------------------------------------
// Pictures in and out

QString MenuObjectsView::caption() const {
    const QString title = window()->windowTitle();
    return title.isEmpty() ? toQ(programCaption()) : title;
}

void MenuObjectsView::loadObjectImage() {
    if (!document_.loaded || !document_.good) return;
    MenuFileRequest request;
    request.title = QString(cbReplaceObject->isChecked() ? "Replace object, " : "Insert object, ") +
                    (cbReplacePalette->isChecked() ? "replace palette" : "insert palette");
    request.filters = {"PNG (*.png)"};
    request.folder = context_.outputFolder();
    request.defaultSuffix = "png";
    const QStringList paths = context_.picturesChooser(request);
    if (!paths.isEmpty()) importFiles(paths);
    enableTools();
}

void MenuObjectsView::importFiles(const QStringList& paths) {
    Reporter& reporter = *context_.reporter;
    std::vector<Bytes> files;
    std::vector<std::string> names;
    try {
        for (const QString& path : paths) {
            files.push_back(readFileBytes(QFile::encodeName(path).toStdString()));
            names.push_back(QFileInfo(path).fileName().toStdString());
        }
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
        return;
    }
    std::string error;
    std::optional<std::vector<PalettePicture>> pictures =
        readImportPictures(files, names, false, error);
    ImportTarget target;
    if (cbReplaceObject->isChecked() && chosenObject() >= 0)
        target.replaceObject = static_cast<std::uint16_t>(chosenObject());
    if (cbReplacePalette->isChecked() && chosenPalette() >= 0)
        target.replacePalette = static_cast<std::uint8_t>(chosenPalette());
    ImportResult result;
    if (pictures) result = importPictures(document_.menu, *pictures, target);
    // True-colour artwork, or frames with palettes of their own, come in
    // reduced to one palette when the user asks for it.
    const bool sharesNoPalette = pictures && result.edit.refusal == kNoSharedPalette;
    const bool unsupported = !pictures && error.find(kNotSupportedFormat) != std::string::npos;
    if ((unsupported || sharesNoPalette) && reporter.ask("Reduce the picture to 255 colours?")) {
        error.clear();
        pictures = readImportPictures(files, names, true, error);
        if (pictures) result = importPictures(document_.menu, *pictures, target);
    }
    if (!pictures) {
        reporter.erslog(error);
        return;
    }
    if (!result.edit.done()) {
        reporter.erslog(result.edit.refusal);
        return;
    }
    showTables(result.firstObject, result.palette);
    emit menuEdited();
}

void MenuObjectsView::saveObjectImage() {
    const int object = chosenObject();
    const int palette = chosenPalette();
    if (object < 0 || palette < 0) return;
    MenuFileRequest request;
    request.title = "Save image";
    request.filters = {"PNG (*.png)"};
    request.folder = context_.outputFolder();
    request.fileName =
        toQ(objectImageName(static_cast<std::size_t>(object), static_cast<std::size_t>(palette)));
    request.defaultSuffix = "png";
    const QString path = context_.saveChooser(request);
    if (path.isEmpty()) return;
    const Bytes png = objectPngBytes(document_.menu, static_cast<std::size_t>(object),
                                     static_cast<std::size_t>(palette), caption().toStdString());
    if (png.empty()) {
        context_.reporter->erslog("Object " + hexText(static_cast<std::uint64_t>(object), 4) +
                                  " has no pixels to save");
        return;
    }
    try {
        writeFileSafely(QFile::encodeName(path).toStdString(), png);
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
}

void MenuObjectsView::savePalette() {
    const int palette = chosenPalette();
    if (palette < 0 || palette >= static_cast<int>(document_.menu.palettes.size())) return;
    MenuFileRequest request;
    request.title = "Save palette";
    request.filters = {"Scenarist Designer (*.pxml)", "Adobe ACT (colors only) (*.act)"};
    request.folder = context_.outputFolder();
    request.fileName = toQ(paletteFileName(static_cast<std::size_t>(palette)));
    request.defaultSuffix = "pxml";
    const QString path = context_.saveChooser(request);
    if (path.isEmpty()) return;
    try {
        savePaletteFile(QFile::encodeName(path).toStdString(),
                        document_.menu.palettes[static_cast<std::size_t>(palette)]);
    } catch (const FileError& error) {
        context_.showFileError(QString::fromUtf8(error.what()));
    }
}

void MenuObjectsView::deleteObjects() {
    if (!document_.loaded || !document_.good || document_.menu.objects.empty()) return;
    const int first = std::max(sgIGObjects->selectionTop(), 1) - 1;
    const int last = std::max(sgIGObjects->selectionBottom() - 1, first);
    const MenuEdit edit = lumora::deleteObjects(document_.menu, static_cast<std::size_t>(first),
                                                static_cast<std::size_t>(last));
    if (!edit.done()) {
        context_.reporter->erslog(edit.refusal);
        return;
    }
    showTables(std::max(first - 1, 0), chosenPalette());
    emit menuEdited();
}

void MenuObjectsView::deletePalettes() {
    if (!document_.loaded || !document_.good || document_.menu.palettes.empty()) return;
    const int first = std::max(sgPalettes->selectionTop(), 1) - 1;
    const int last = std::max(sgPalettes->selectionBottom() - 1, first);
    const MenuEdit edit = lumora::deletePalettes(document_.menu, static_cast<std::size_t>(first),
                                                 static_cast<std::size_t>(last));
    if (!edit.done()) {
        context_.reporter->erslog(edit.refusal);
        return;
    }
    showTables(chosenObject(), std::max(first - 1, 0));
    emit menuEdited();
}

}  // namespace lumora::app
