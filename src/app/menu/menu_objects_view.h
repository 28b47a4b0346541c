// The "Objects" page of the Menu tab and the object and palette selectors
// of the tab: the objects grid with its count label, the palettes grid with
// the references of each palette, and the preview of the chosen object under
// the chosen palette.  Choosing an object row picks the palette its first
// reference uses; grids and selectors follow each other.
//
// The pictures come in and go out here: "Load object image" (or Ins in the
// objects grid) imports PNG pictures as objects with their palette, inserted
// or replacing the chosen ones; "Save object image" and "Save palette"
// export; Shift+Del deletes unused objects and palettes.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "app/menu/menu_context.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace lumora::app {

class ObjectPreview;
class StringGrid;

// The palette an object's reference text points at: its first piece names a
// page, followed by ":" (the page's buttons: the page's palette), "i" (the
// page's last in-effect) or "o" (its first out-effect).  Nothing when the
// text names no page the menu has, or an effect it lacks.
std::optional<std::size_t> paletteOfReference(const TIGMenu& menu, const std::string& reference);

class MenuObjectsView : public QWidget {
    Q_OBJECT
public:
    MenuObjectsView(MenuDocument& document, MenuContext& context, QWidget* parent = nullptr);

    void clear();
    // After a load: grids, selectors with their hints, the count label; the
    // first object and the first palette selected.
    void showMenu();
    // The reference columns again (a page's palette changed, the page was
    // entered).
    void refreshReferences();
    // Selects object `object` and palette `palette` in the selectors and
    // grids without showing anything (the BOGs preview showed them).
    void selectObjectAndPalette(int object, int palette);
    // The chosen object under the chosen palette in the preview.
    void showChosenObject();

    int chosenObject() const;
    int chosenPalette() const;

    // ---- Pictures in and out ----
    // "Load object image": the open dialog (several files make an
    // animation), then the pictures imported.  A picture that is not an
    // 8-bit palette picture, or pictures with different palettes, are
    // reduced to one palette when the user agrees.
    void loadObjectImage();
    // The import of chosen files, as the dialog's answer leads to it.
    void importFiles(const QStringList& paths);
    // "Save object image": the chosen object under the chosen palette.
    void saveObjectImage();
    // "Save palette": the chosen palette as ".pxml" or ".act".
    void savePalette();
    // Shift+Del in the grids: the selected rows, when nothing uses them.
    void deleteObjects();
    void deletePalettes();

    // The object and palette selectors; the tab places them above its pages.
    QGroupBox* gbObjPal;
    QComboBox* cbIGObject;
    QComboBox* cbPalette;
    // "View palette only": the previews show the chosen palette.
    QCheckBox* cbViewPalette;
    StringGrid* sgIGObjects;
    StringGrid* sgPalettes;
    QLabel* lObjects;
    ObjectPreview* preview;
    // The object and palette file tools below the grids.
    QHBoxLayout* objectTools;
    QPushButton* bLoadObject;
    QPushButton* bSaveObject;
    QPushButton* bLoadPalette;
    QPushButton* bSavePalette;
    QCheckBox* cbReplaceObject;
    QCheckBox* cbReplacePalette;

signals:
    // Objects or palettes changed: the page and the other views follow.
    void menuEdited();

private:
    QGroupBox* buildSelectors();
    void buildTools();
    // After a change of the tables: grids, selectors, tools; `object` and
    // `palette` (or the nearest that exist) chosen and shown.
    void showTables(int object, int palette);
    void enableTools();
    QString caption() const;
    void connectControls();
    void showObjectRows();
    void showPaletteRows();
    void objectRowChosen(int row);
    void paletteRowChosen(int row);
    void objectChosen(int item);
    void paletteChosen(int item);

    MenuDocument& document_;
    MenuContext& context_;
    bool showing_ = false;
};

}  // namespace lumora::app
