// The "MovieObject.bdmv" group of the BDMV tab: the movie objects grid with
// its flag lists, "+"/"-" buttons and rotated count label above, the commands
// of the selected object below, a splitter between them, and the
// ExtensionData row.  Inserting and deleting objects goes through the core,
// which keeps the titles' references right.
#pragma once

#include <QGroupBox>
#include <QLabel>

#include "app/bdmv_context.h"

class QComboBox;
class QPushButton;
class QSplitter;

namespace lumora::app {

class StringGrid;

// A label whose text runs upwards, for the narrow strip beside the objects.
class RotatedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class MovieObjectView : public QGroupBox {
    Q_OBJECT
public:
    // Layout limits of the group (pixels).
    static constexpr int kObjectsHeightMargin = 187;  // group height - objects panel
    static constexpr int kMinCommandsHeight = 167;
    static constexpr int kFixedCommandColumns = 215;  // grid width - "Command line"
    static constexpr int kExtDatMinWidth = 510;       // the ExtensionData row shows above
    static constexpr int kCountLabelInset = 28;       // from the objects panel's right edge

    MovieObjectView(BdmvContext& context, QWidget* parent = nullptr);

    // Start of a folder Read: grids cleared, controls disabled.
    void clear();
    // After the movie object read: shows the model, enabled when it was good,
    // and selects the first object.
    void showFile(bool good);
    // Selects and shows movie object `object` with its row scrolled to the
    // top of the grid (one row above it stays visible).
    void setObjectSG(int object);
    // The row's object: flags, commands, the execute panel's selector.
    void selectObject(int object);
    int selectedObject() const { return selected_; }
    bool selectedHasCommands() const;

    void insertObject();
    void deleteObjects();
    void editExtensionData();

    // The height of the objects panel, kept between runs.
    int objectPanelHeight() const;
    void setObjectPanelHeight(int height);

    QSplitter* splitter;
    QWidget* pObjects;
    QWidget* pCommands;
    StringGrid* sgObject;
    QComboBox* cbResume;
    QComboBox* cbMenuCall;
    QComboBox* cbTitleSearch;
    QPushButton* bInsObject;
    QPushButton* bDelObject;
    RotatedLabel* lObjects;
    StringGrid* sgCommands;
    QLabel* lObjExtDat;
    QPushButton* bObjExtDat;

signals:
    // `object` is selected (-1: none is).
    void objectSelected(int object);
    // Objects were inserted or deleted: the object number lists follow.
    void objectsChanged();
    // Titles, First Playback or Top Menu now name other objects.
    void referencesChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildObjectsPanel();
    QWidget* buildCommandsPanel();
    void connectControls();

    TMOBJ& file() const { return context_.objects(); }
    Tmobject* current() const;
    bool good() const { return context_.models->objectsRead; }

    void showObjects();
    void showObjectRow(std::size_t object);
    void showFlags();
    void showCommands();
    void showLabels();
    void enableControls();
    void objectRowChosen(int row);
    void flagChosen(std::uint8_t Tmobject::*flag, int item);

    void keepObjectsPanelInBounds();
    void fitCommandFont();
    void fitCommandColumns();
    void placeCountLabel();

    BdmvContext& context_;
    QWidget* extDatRow_ = nullptr;
    int selected_ = -1;
    int wantedObjectHeight_ = 75;
    bool heightApplied_ = false;
    bool showing_ = false;
};

}  // namespace lumora::app
