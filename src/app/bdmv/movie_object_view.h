// The "MovieObject.bdmv" group of the BDMV tab: the movie objects grid with
// its flag lists, "+"/"-" buttons and rotated count label above, the commands
// of the selected object below with the command builder, the line buttons
// and the program list button, a splitter between them, and the
// ExtensionData row.  Inserting and deleting objects or command lines goes
// through the core, which keeps the titles' references, the GoTo targets and
// the file's lengths right.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <optional>

#include "app/bdmv/bdmv_context.h"
#include "app/commands/command_grid.h"
#include "app/commands/program_list_dialog.h"
#include "navigation/command_list.h"

class QComboBox;
class QKeyEvent;
class QPushButton;
class QSplitter;
class QToolButton;

namespace lumora::app {

class CommandEditor;
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

    // --- Commands of the selected object --------------------------------
    // The commands shown, null when no object is selected.
    const TCommands* currentCommands() const;
    // Selects command line `line` (0-based), scrolls it into view and shows
    // it in the command builder.
    void selectCommandLine(int line);
    // The line the builder shows (the grid's current row), -1 for none.
    int currentCommandLine() const;
    // The list edits of the keys and buttons, on the selected lines.
    void insertCommandLine();
    void deleteCommandLines();
    void copyCommandLines();
    void cutCommandLines();
    void pasteCommandLines();
    void nopCommandLine();
    void selectAllCommandLines();
    // Double click: follows the command on `line`.
    void followCommandLine(int line);
    // The program list buttons: the save dialog, then the file; the open
    // dialog, then the file's commands replace the object's (after a
    // question when it has commands).
    void saveProgramList();
    void loadProgramList();

    // The program-wide command clipboard (the view has one of its own until
    // the window hands over the shared one).
    void setCommandClipboard(CommandClipboard* clipboard);
    // Tones: an invalid word shown while the Menu tab is active, and Up or
    // Down reaching an invalid line.
    ToneFunction tone = playTone;
    std::function<bool()> menuTabActive;
    // The program format option (0 list, 1 binary) and the dialog; tests put
    // their own chooser here.
    std::function<int()> programFormat;
    ProgramListChooser programListChooser;
    // A file that cannot be written (the window's error box).
    std::function<void(const QString&)> fileErrorBox;

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
    CommandEditor* commandEditor;
    QPushButton* bInsCmd;
    QPushButton* bDelCmd;
    QToolButton* bbSaveProg;
    QToolButton* bbLoadProg;
    QLabel* lObjExtDat;
    QPushButton* bObjExtDat;

signals:
    // `object` is selected (-1: none is).
    void objectSelected(int object);
    // Objects were inserted or deleted: the object number lists follow.
    void objectsChanged();
    // Titles, First Playback or Top Menu now name other objects.
    void referencesChanged();
    // The selected object's commands were inserted or deleted (Start).
    void commandsChanged();
    // A command row was clicked (trace mode runs it).
    void commandRowClicked(int line);
    // A double click leads out of the group: a title, a playlist, a menu
    // page or button.
    void followRequested(const lumora::CommandFollow& follow);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildObjectsPanel();
    QWidget* buildCommandsPanel();
    QWidget* buildCommandTools();
    void connectControls();
    void connectCommandControls();

    TMOBJ& file() const { return context_.objects(); }
    Tmobject* current() const;
    bool good() const { return context_.models->objectsRead; }

    void showObjects();
    void showObjectRow(std::size_t object);
    void showFlags();
    void showCommands();
    void showCommandRows(std::size_t from, bool progress);
    void showCommandInEditor();
    void enableCommandControls();
    LineRange selectedLines() const;
    std::size_t lastSelectedLine() const;
    // Shows the result of a list edit: rows, selection, status, counts.
    void showListEdit(const ListEdit& edit);
    void commandEdited(const TCommand& command);
    bool commandKey(const QKeyEvent& event);
    void stepToneFor(int line);
    std::optional<ProgramListTarget> chooseProgramListFile(const ProgramListRequest& request);
    ProgramListRequest programListRequest(bool saving) const;
    void showFileError(const QString& message);
    void showLabels();
    void enableControls();
    void objectRowChosen(int row);
    void flagChosen(std::uint8_t Tmobject::*flag, int item);

    void keepObjectsPanelInBounds();
    void fitCommandFont();
    void fitCommandColumns();
    void placeCountLabel();

    BdmvContext& context_;
    CommandClipboard ownClipboard_;
    CommandClipboard* clipboard_ = &ownClipboard_;
    QWidget* extDatRow_ = nullptr;
    int selected_ = -1;
    int wantedObjectHeight_ = 75;
    bool heightApplied_ = false;
    bool showing_ = false;
};

}  // namespace lumora::app
