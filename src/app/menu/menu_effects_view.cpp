#include "app/menu/menu_effects_view.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/menu/menu_preview.h"
#include "app/widgets/field_helpers.h"
#include "app/widgets/string_grid.h"
#include "menu/menu_edit.h"
#include "menu/menu_rows.h"
#include "menu/page_renderer.h"

namespace lumora::app {
namespace {

StringGrid* effectGrid(QWidget* parent, const QString& name, const QString& hint,
                       const QStringList& headers) {
    auto* grid = new StringGrid(parent);
    grid->setObjectName(name);
    grid->setToolTip(hint);
    grid->setHeaders(headers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setMinimumHeight(50);
    return grid;
}

QSpinBox* cropField(QWidget* parent, const QString& name, const QString& hint) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setToolTip(hint);
    field->setRange(0, MenuEffectsView::kMaxCrop);
    return field;
}

}  // namespace

MenuEffectsView::MenuEffectsView(MenuDocument& document, MenuContext& context, QWidget* parent)
    : QWidget(parent), document_(document), context_(context) {
    setObjectName("tsEffects");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(buildSequenceColumn(), 0);
    layout->addWidget(buildObjectColumn(), 0);
    preview = new ObjectPreview("pEffectPreview", this);
    preview->setToolTip("The selected effect as it is drawn on the page");
    layout->addWidget(preview, 1);
    connectControls();
    clear();
}

// The In/Out choice over the windows and the effects of the sequence.
QWidget* MenuEffectsView::buildSequenceColumn() {
    auto* column = new QWidget(this);
    rbInEffects = new QRadioButton("InEffects", column);
    rbInEffects->setObjectName("rbInEffects");
    rbOutEffects = new QRadioButton("OutEffects", column);
    rbOutEffects->setObjectName("rbOutEffects");
    auto* choice = new QButtonGroup(column);
    choice->addButton(rbInEffects);
    choice->addButton(rbOutEffects);
    rbInEffects->setChecked(true);
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(rbInEffects);
    choiceRow->addWidget(rbOutEffects);
    choiceRow->addStretch(1);

    sgWindows = effectGrid(column, "sgWindows", "Windows of the effect sequence",
                           toQList(windowGridHeaders()));
    for (int col = 1; col <= 4; ++col)
        sgWindows->setColumnEditMask(col, "9999");
    fitColumns(sgWindows, {{0, "000"}, {1, "00000"}, {2, "00000"}, {3, "00000"}, {4, "00000"}});
    sgEffects = effectGrid(column, "sgEffects", "Effects of the effect sequence",
                           toQList(effectGridHeaders()));
    sgEffects->setColumnEditMask(1, "9:99:99.999");
    sgEffects->setColumnEditMask(2, ">AA");
    sgEffects->setColumnEditable(3, false);
    fitColumns(sgEffects, {{0, "0000"}, {1, "0:00:00.000"}, {2, "00"}, {3, "000"}});
    // Two windows at most: the grid is as high as two rows.
    const int rows = sgWindows->verticalHeader()->defaultSectionSize() * 2;
    sgWindows->setFixedHeight(sgWindows->horizontalHeader()->sizeHint().height() + rows +
                              2 * sgWindows->frameWidth());
    const int width = std::max(gridWidthUpTo(sgWindows, 4), gridWidthUpTo(sgEffects, 3));
    sgWindows->setFixedWidth(width);
    sgEffects->setFixedWidth(width);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(choiceRow);
    layout->addWidget(new QLabel("Windows:", column));
    layout->addWidget(sgWindows);
    layout->addWidget(new QLabel("Effects:", column));
    layout->addWidget(sgEffects, 1);
    return column;
}

// The composition objects of the chosen effect over the cropping fields.
QWidget* MenuEffectsView::buildObjectColumn() {
    auto* column = new QWidget(this);
    sgCompObj = effectGrid(column, "sgCompObj", "Composition objects of the selected effect",
                           toQList(compositionObjectGridHeaders()));
    sgCompObj->setColumnEditMask(1, ">AAAA");
    sgCompObj->setColumnEditMask(2, ">AA");
    sgCompObj->setColumnEditMask(3, "9999");
    sgCompObj->setColumnEditMask(4, "9999");
    fitColumns(sgCompObj, {{0, "000"}, {1, "0000"}, {2, "00"}, {3, "00000"}, {4, "00000"}});

    cbCropped = new QCheckBox("Object cropped", column);
    cbCropped->setObjectName("cbCropped");
    cbCropped->setToolTip("The composition object shows a part of its object");
    ieCropX = cropField(column, "ieCropX", "Object cropping horizontal position");
    ieCropY = cropField(column, "ieCropY", "Object cropping vertical position");
    ieCropWidth = cropField(column, "ieCropWidth", "Object cropping width");
    ieCropHeight = cropField(column, "ieCropHeight", "Object cropping height");
    auto* crop = new QGridLayout;
    crop->setHorizontalSpacing(6);
    crop->setVerticalSpacing(2);
    int row = 0;
    for (QSpinBox* field : {ieCropX, ieCropY, ieCropWidth, ieCropHeight}) {
        auto* label = new QLabel(field->toolTip(), column);
        label->setBuddy(field);
        crop->addWidget(label, row, 0);
        crop->addWidget(field, row, 1);
        ++row;
    }
    sgCompObj->setFixedWidth(std::max(gridWidthUpTo(sgCompObj, 4), crop->sizeHint().width()));

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(new QLabel("Composition objects:", column));
    layout->addWidget(sgCompObj, 1);
    layout->addWidget(cbCropped);
    layout->addLayout(crop);
    return column;
}

void MenuEffectsView::connectControls() {
    connect(rbInEffects, &QRadioButton::toggled, this, [this](bool on) {
        if (!showing_) chooseSequence(on);
    });
    connect(sgEffects, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) showEffect(row + 1);
            });
    connect(sgCompObj, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!showing_ && row != previousRow) showCompositionObject(row + 1);
            });
    connect(ieCropX, &QSpinBox::editingFinished, this,
            [this] { storeCrop(ieCropX, &TCompositionObject::cropX); });
    connect(ieCropY, &QSpinBox::editingFinished, this,
            [this] { storeCrop(ieCropY, &TCompositionObject::cropY); });
    connect(ieCropWidth, &QSpinBox::editingFinished, this,
            [this] { storeCrop(ieCropWidth, &TCompositionObject::cropWidth); });
    connect(ieCropHeight, &QSpinBox::editingFinished, this,
            [this] { storeCrop(ieCropHeight, &TCompositionObject::cropHeight); });
    connect(cbCropped, &QCheckBox::clicked, this, &MenuEffectsView::setCropped);
    for (StringGrid* grid : {sgWindows, sgEffects, sgCompObj}) {
        connect(grid, &StringGrid::cellEdited, this,
                [this, grid](int col, int row, const QString& text) {
                    cellEdited(grid, col, row, text);
                });
    }
}

// ---------------------------------------------------------------------------
// Showing

void MenuEffectsView::clear() {
    showing_ = true;
    effect_ = -1;
    object_ = -1;
    sgWindows->clearGrid();
    sgEffects->clearGrid();
    sgCompObj->clearGrid();
    preview->clearPicture();
    showing_ = false;
    showCropping();
}

bool MenuEffectsView::inEffectsChosen() const {
    return rbInEffects->isChecked();
}

Teffectseq* MenuEffectsView::sequence() const {
    TPage* page = document_.currentPage();
    if (page == nullptr) return nullptr;
    return inEffectsChosen() ? &page->inEffects : &page->outEffects;
}

Teffect* MenuEffectsView::shownEffect() const {
    Teffectseq* effects = sequence();
    if (effects == nullptr || effect_ < 0 || effect_ >= static_cast<int>(effects->effects.size()))
        return nullptr;
    return &effects->effects[static_cast<std::size_t>(effect_)];
}

TCompositionObject* MenuEffectsView::shownObject() const {
    Teffect* effect = shownEffect();
    if (effect == nullptr || object_ < 0 || object_ >= static_cast<int>(effect->objects.size()))
        return nullptr;
    return &effect->objects[static_cast<std::size_t>(object_)];
}

void MenuEffectsView::chooseSequence(bool inEffects) {
    showing_ = true;
    (inEffects ? rbInEffects : rbOutEffects)->setChecked(true);
    showing_ = false;
    // The other sequence has windows of its own: nothing of this one stays.
    if (context_.renderer != nullptr) context_.renderer->clearEffectPreview();
    showPage();
}

void MenuEffectsView::showPage() {
    if (sequence() == nullptr) {
        clear();
        return;
    }
    showWindows();
    showEffects();
}

void MenuEffectsView::showWindows() {
    const Teffectseq& effects = *sequence();
    sizeGrid(sgWindows, effects.windows.size());
    for (std::size_t i = 0; i < effects.windows.size(); ++i)
        showCells(sgWindows, static_cast<int>(i) + 1);
}

void MenuEffectsView::showEffects() {
    const Teffectseq& effects = *sequence();
    showing_ = true;
    sizeGrid(sgEffects, effects.effects.size());
    for (std::size_t i = 0; i < effects.effects.size(); ++i)
        showCells(sgEffects, static_cast<int>(i) + 1);
    if (!effects.effects.empty()) selectGridRow(sgEffects, 1);
    showing_ = false;
    showEffect(effects.effects.empty() ? 0 : 1);
}

void MenuEffectsView::showEffect(int row) {
    Teffectseq* effects = sequence();
    effect_ = effects != nullptr && row >= 1 && row <= static_cast<int>(effects->effects.size())
                  ? row - 1
                  : -1;
    const Teffect* effect = shownEffect();
    showing_ = true;
    sizeGrid(sgCompObj, effect == nullptr ? 0 : effect->objects.size());
    if (effect != nullptr) {
        for (std::size_t i = 0; i < effect->objects.size(); ++i)
            showCells(sgCompObj, static_cast<int>(i) + 1);
        if (!effect->objects.empty()) selectGridRow(sgCompObj, 1);
    }
    showing_ = false;
    showCompositionObject(effect == nullptr || effect->objects.empty() ? 0 : 1);
}

void MenuEffectsView::showCompositionObject(int row) {
    const Teffect* effect = shownEffect();
    object_ = effect != nullptr && row >= 1 && row <= static_cast<int>(effect->objects.size())
                  ? row - 1
                  : -1;
    showCropping();
    showObjectPicture();
}

// The cropping of the shown composition object, or 0 and disabled when it
// is not cropped.
void MenuEffectsView::showCropping() {
    const TCompositionObject* object = shownObject();
    const bool cropped = object != nullptr && object->cropped();
    cbCropped->setChecked(cropped);
    cbCropped->setEnabled(object != nullptr && document_.good);
    const std::array<std::pair<QSpinBox*, std::uint16_t>, 4> fields{{
        {ieCropX, cropped ? object->cropX : std::uint16_t{0}},
        {ieCropY, cropped ? object->cropY : std::uint16_t{0}},
        {ieCropWidth, cropped ? object->cropWidth : std::uint16_t{0}},
        {ieCropHeight, cropped ? object->cropHeight : std::uint16_t{0}},
    }};
    for (const auto& [field, value] : fields) {
        const QSignalBlocker quiet(field);
        field->setValue(std::min<int>(value, kMaxCrop));
        field->setEnabled(cropped);
    }
}

// The effect as the page shows it: every composition object of the shown
// effect drawn by the renderer into its effect preview, in the window it
// belongs to; the preview scrolls to the chosen object.
void MenuEffectsView::showObjectPicture() {
    const Teffectseq* effects = sequence();
    const Teffect* effect = shownEffect();
    PageRenderer* renderer = context_.renderer;
    if (effects == nullptr || renderer == nullptr) {
        preview->clearPicture();
        return;
    }
    if (effect != nullptr) {
        for (std::size_t i = 0; i < effect->objects.size(); ++i)
            renderer->EffPreview(*effects, static_cast<std::size_t>(effect_), i);
    }
    preview->showFrame(renderer->effectPreview());
    if (const TCompositionObject* object = shownObject()) preview->showArea(shownArea(*object));
}

// Where a composition object lies in the preview: its cropped part, or the
// whole object, at its position.
QRect MenuEffectsView::shownArea(const TCompositionObject& object) const {
    if (object.cropped()) return {object.x, object.y, object.cropWidth, object.cropHeight};
    const auto& objects = document_.menu.objects;
    if (object.objectId >= objects.size()) return {};
    const TIGobject& o = objects[object.objectId];
    return {object.x, object.y, static_cast<int>(o.width), static_cast<int>(o.height)};
}

void MenuEffectsView::refreshPreview() {
    showObjectPicture();
}

void MenuEffectsView::showCells(StringGrid* grid, int row) {
    const Teffectseq* effects = sequence();
    if (effects == nullptr || row < 1) return;
    const auto index = static_cast<std::size_t>(row) - 1;
    if (grid == sgWindows && index < effects->windows.size()) {
        showRow(grid, row, windowRowCells(effects->windows[index]));
    } else if (grid == sgEffects && index < effects->effects.size()) {
        showRow(grid, row, effectRowCells(index + 1, effects->effects[index]));
    } else if (const Teffect* effect = shownEffect();
               grid == sgCompObj && effect != nullptr && index < effect->objects.size()) {
        showRow(grid, row, compositionObjectRowCells(index + 1, effect->objects[index]));
    }
}

// ---------------------------------------------------------------------------
// Edits

void MenuEffectsView::storeCrop(QSpinBox* field, std::uint16_t TCompositionObject::*member) {
    TCompositionObject* object = shownObject();
    if (object == nullptr || !object->cropped() || field->value() < 0 || !document_.good) return;
    const auto value = static_cast<std::uint16_t>(field->value());
    if (object->*member == value) return;
    object->*member = value;
    showObjectPicture();
    emit pageEdited();
}

void MenuEffectsView::setCropped(bool cropped) {
    TCompositionObject* object = shownObject();
    if (object == nullptr || !document_.good) {
        showCropping();
        return;
    }
    setObjectCropped(document_.menu, *object, cropped);
    showCropping();
    showObjectPicture();
    emit pageEdited();
}

std::string MenuEffectsView::applyCell(StringGrid* grid, int col, std::size_t index,
                                       const QString& text) {
    Teffectseq& effects = *sequence();
    const std::string typed = text.trimmed().toStdString();
    const std::string notValid = "'" + typed + "' is not a value of this column";
    TIGMenu& menu = document_.menu;
    if (grid == sgWindows) {
        const WindowField fields[] = {WindowField::Id, WindowField::X, WindowField::Y,
                                      WindowField::Width, WindowField::Height};
        const auto value = parseDecimalCell(typed, 4);
        if (!value || col < 1 || col > 4) return notValid;
        return setWindowField(menu, effects, index, fields[col], *value).refusal;
    }
    if (grid == sgEffects) {
        if (index >= effects.effects.size()) return notValid;
        Teffect& effect = effects.effects[index];
        if (col == 1) {
            const auto ticks = menuTimeTicks(typed);
            if (!ticks || *ticks > 0xFFFFFFFFu) return "'" + typed + "' is not a time h:mm:ss.zzz";
            return setEffectField(menu, effect, EffectField::Duration,
                                  static_cast<std::uint32_t>(*ticks))
                .refusal;
        }
        const auto value = parseHexCell(typed, 2);
        if (col != 2 || !value) return notValid;
        return setEffectField(menu, effect, EffectField::Palette, *value).refusal;
    }
    Teffect* effect = shownEffect();
    if (effect == nullptr || index >= effect->objects.size()) return notValid;
    const CompositionField fields[] = {CompositionField::Object, CompositionField::Object,
                                       CompositionField::Window, CompositionField::X,
                                       CompositionField::Y};
    const auto value =
        col <= 2 ? parseHexCell(typed, col == 1 ? 4 : 2) : parseDecimalCell(typed, 4);
    if (!value || col < 1 || col > 4) return notValid;
    return setCompositionField(menu, effects, effect->objects[index], fields[col], *value).refusal;
}

void MenuEffectsView::cellEdited(StringGrid* grid, int col, int row, const QString& text) {
    if (sequence() != nullptr && row >= 1 && document_.good) {
        const std::string refusal = applyCell(grid, col, static_cast<std::size_t>(row) - 1, text);
        if (refusal.empty()) {
            emit pageEdited();
            if (grid == sgCompObj) showCropping();
            showObjectPicture();
        } else {
            context_.reporter->slog(refusal, 1);
        }
    }
    showCells(grid, row);
}

}  // namespace lumora::app
