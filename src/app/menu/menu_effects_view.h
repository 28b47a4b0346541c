// The "Effects" page of the Menu tab: the In/Out choice of the page's effect
// sequence, its windows and effects, the composition objects of the chosen
// effect with the cropping of the chosen one (four fields that write into
// the model when they are left), and the effect preview: the page area with
// the effect's composition objects drawn as the renderer draws them.
#pragma once

#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "app/menu/menu_context.h"

class QCheckBox;
class QRadioButton;
class QSpinBox;

namespace lumora::app {

class ObjectPreview;
class StringGrid;

class MenuEffectsView : public QWidget {
    Q_OBJECT
public:
    // The cropping fields hold positions and sizes within a 1920-pixel frame.
    static constexpr int kMaxCrop = 1919;

    MenuEffectsView(MenuDocument& document, MenuContext& context, QWidget* parent = nullptr);

    void clear();
    // The chosen sequence of the document's current page.
    void showPage();
    // The In/Out choice: the page's in-effects (true) or out-effects.
    void chooseSequence(bool inEffects);
    bool inEffectsChosen() const;
    // The composition objects of effect row `row` (1-based).
    void showEffect(int row);
    // The cropping of composition object row `row` (1-based) of the shown
    // effect, and its picture in the preview.
    void showCompositionObject(int row);
    // The preview drawn again (a frame option or a colour changed).
    void refreshPreview();

    // "Object cropped" turned on or off for the shown composition object.
    void setCropped(bool cropped);

    QRadioButton* rbInEffects;
    QRadioButton* rbOutEffects;
    StringGrid* sgWindows;
    StringGrid* sgEffects;
    StringGrid* sgCompObj;
    QCheckBox* cbCropped;
    QSpinBox* ieCropX;
    QSpinBox* ieCropY;
    QSpinBox* ieCropWidth;
    QSpinBox* ieCropHeight;
    ObjectPreview* preview;

signals:
    // A field of the page's effects changed: the page is drawn again.
    void pageEdited();

private:
    QWidget* buildSequenceColumn();
    QWidget* buildObjectColumn();
    void connectControls();

    Teffectseq* sequence() const;
    Teffect* shownEffect() const;
    TCompositionObject* shownObject() const;
    void showWindows();
    void showEffects();
    void showCropping();
    void showObjectPicture();
    QRect shownArea(const TCompositionObject& object) const;
    // A crop field was left: its value into the shown composition object.
    void storeCrop(QSpinBox* field, std::uint16_t TCompositionObject::*member);
    void cellEdited(StringGrid* grid, int col, int row, const QString& text);
    // The edit of a cell by the menu editing rules; the refusal, or "" when
    // it was taken.
    std::string applyCell(StringGrid* grid, int col, std::size_t index, const QString& text);
    void showCells(StringGrid* grid, int row);

    MenuDocument& document_;
    MenuContext& context_;
    int effect_ = -1;
    int object_ = -1;
    bool showing_ = false;
};

}  // namespace lumora::app
