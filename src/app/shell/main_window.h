// The main window: eight tabs, the shared buttons and panels below them whose
// roles change with the active tab, the progress bar and the two-panel status
// line.  The window owns the program-wide reporter and the working folder.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/bdmv/bdmv_context.h"
#include "app/widgets/unsaved_edits.h"
#include "core/folder.h"
#include "core/report.h"
#include "navigation/command_list.h"
#include "playback/registers.h"
#include "sound/wave_player.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSettings;
class QTabWidget;
class QTimer;

namespace lumora::app {

class AboutTab;
class BdjoTab;
class BdmvTab;
class ClipinfTab;
class CommandRunner;
class ExecutePanel;
class GridPopupMenu;
class GuiSink;
class MenuTab;
class OptionsTab;
class PlaylistTab;
class RegisterPanel;
class StatusLine;
class StatusTab;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    // The main tabs in their order; other parts of the program refer to them
    // by index (the Menu tab is 3).
    enum Tab { kBdmv = 0, kPlaylist, kClipinf, kMenu, kBdjo, kOptions, kStatus, kAbout };

    explicit TfMain(QWidget* parent = nullptr);
    ~TfMain() override;

    // The start-up sequence; runs once, at the first activation, with the
    // program's arguments (without the program name).
    void startUp(const QStringList& arguments);
    bool started() const { return started_; }
    // The shutdown sequence: settings written, temporary files removed.
    void shutDown();

    // "&Read" of the BDMV tab, after the question about unsaved edits.
    void readFolder();
    // The folder button: a folder chooser, then Read when "Auto Read" is on.
    void chooseFolder();
    // Files dropped on the window (only the first counts).
    void handleDrop(const QStringList& paths);
    // The shared "&Save" button, dispatched on the active tab.
    void save();
    // The shared "Find" button: on the PLAYLIST tab the movie object commands
    // that play the selected playlist, on the CLIPINF tab the playlists that
    // use each clip.
    void find();
    // Shows and hides the shared buttons and panels for the active tab.
    void applyTabRoles();

    // ---- Unsaved edits ----
    // Some structure (index, movie objects, sound, playlist, clip, menu) was
    // edited since it was read or saved.
    bool anyEdited() const;
    // Asks about each edited structure in turn: true when the caller may
    // drop them all (each saved or discarded), false on Cancel or a failed
    // save.
    bool settleAllEdits();
    // The caption: the disc's name, and " *" while there are unsaved edits.
    // It follows the user's actions by itself; tests call it after changing
    // a model directly.
    void refreshCaption();
    // "Save changes to NAME?" (tests answer it; default: a message box).
    SaveQuestion saveQuestion;

    Reporter& reporter() { return *reporter_; }
    // The wave player's output (the default audio device; tests give a fake).
    void useAudioOutput(std::unique_ptr<AudioOutput> output);
    WavePlayer& wavePlayer() { return *wavePlayer_; }
    // Plays entry `index` of the folder's sound.bdmv.
    void playSound(std::size_t index);
    GuiSink& sink() { return *sink_; }
    // The register file and the interpreter of the command emulator.
    Registers& registers() { return registers_; }
    CommandRunner& commandRunner() { return *runner_; }
    const DiscFolder& disc() const { return disc_; }
    QString folderText() const;
    void setFolderText(const QString& folder);

    // Replaces the message box for file errors (tests).
    std::function<void(const QString&)> fileErrorBox;
    // Replaces the folder chooser (tests); returns "" when cancelled.
    std::function<QString(const QString& start)> folderChooser;
    // The settings store (tests give their own; default: the user's store).
    std::function<std::unique_ptr<QSettings>()> settingsFactory;

    QTabWidget* PageControl;
    BdmvTab* bdmvTab;
    PlaylistTab* playlistTab;
    ClipinfTab* clipinfTab;
    MenuTab* menuTab;
    BdjoTab* bdjoTab;
    OptionsTab* optionsTab;
    StatusTab* statusTab;
    AboutTab* aboutTab;

    QPushButton* bSave;
    QPushButton* bCancel;
    QProgressBar* progressBar;
    QLabel* lWebLink;
    QWidget* pNavigate;
    QWidget* pRegisters;
    QWidget* pExecute;
    ExecutePanel* executePanel;
    RegisterPanel* registerPanel;
    QPushButton* bStart;
    QCheckBox* cbTrace;
    QComboBox* cbObject;
    QComboBox* cbButton;
    QLineEdit* eProgLine;
    QPushButton* bFind;
    QPushButton* bLoadMenu;
    QPushButton* bMux;
    StatusLine* statusLine;
    // The "Edit mode" / "Read only" pop-up the editable grids register with.
    GridPopupMenu* PopupMenu;

    static constexpr int kMinimumWidth = 913;
    static constexpr int kMinimumHeight = 605;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildSharedControls();
    QWidget* buildExecutePanel();
    QWidget* buildNavigatePanel();
    QWidget* buildRegisterPanel();
    void connectSignals();
    // The execute and register panels, the Status tab's register buttons and
    // the command grid's runs and follows.
    void connectCommandRunner();

    // Start-up steps, in their order.
    void fillLanguageLists();
    void setMenuFileNames();
    void createWorkBitmaps();
    void readStoredSettings();
    void registerAssociations();
    void applyLoadedOptions();
    void createSoundPlayer();
    void prepareMenuViews();
    void writeGridHeaders();
    void handleCommandLine(const QStringList& arguments);
    void autoCreateMenu();
    // The sound file: its entry count, "Create sound.bdmv".
    std::size_t soundCount() const;
    void soundChanged();
    void createSoundFile();

    void writeStoredSettings();
    void deleteTemporaryFiles();

    // The parts of a folder Read that belong to the views.
    void clearViews();
    void fillSelectors();
    void connectPlaylistTab();
    void connectClipinfTab();
    void connectBdjoTab();
    void connectMenuTab();
    void connectMenuPlay();
    // The execute panel's button selector: one entry per slot of the
    // page's button table.
    void fillButtonSelector(int page);
    void showFileError(const QString& message);
    // Runs `work`, turning a file-system failure into the error box.
    void guarded(const std::function<void()>& work);

    void setProgressMode(bool on);
    void applyNameSet(bool use83);
    // A menu file from the command line or a drop: read on the Menu tab.
    void loadMenuFile(const QString& path);
    // The BDMV tab's files: the Read steps, Save, the role of the shared
    // buttons, the execute panel's object selector and the way to the BD-J
    // object of a title.
    void readMovieObjects();
    void readIndex();
    // The folder Read itself (the callers asked about unsaved edits).
    void readFolderNow();
    // Writes index.bdmv, MovieObject.bdmv and sound.bdmv; false when one of
    // them was not written.
    bool saveBdmvFiles();
    // The BDMV folder's own files that were edited, for the question.
    QString editedBdmvNames() const;
    SaveChoice askToSave(const QString& name);
    void setCaption(const std::string& title);
    void applyBdmvRole();
    void fillObjectSelector();
    void openBdjTitle(int fileIndex);

    // The command emulator: "Start" on the active tab, a trace row click,
    // the registers' start values, and where a double-clicked command leads.
    void startCommands();
    void runTracedRow(int line);
    void resetRegisters();
    void followCommand(const CommandFollow& follow);
    void openPlaylist(const QString& entry, std::optional<std::uint32_t> playItem);
    // "Jump to Clip": the CLIPINF tab shows clip `entry`.
    void openClip(const QString& entry);
    // "Apply to clpi" for PlayItem `item` of the current playlist.
    void applyToClip(int item);

    // Tab roles of the selector tabs: "Auto Read" reads the selection the
    // first time the tab is entered after a folder Read.
    void autoReadOnEntry(class SelectorTab* tab);

    std::unique_ptr<GuiSink> sink_;
    std::unique_ptr<Reporter> reporter_;
    DiscFolder disc_;
    NavigationModels navigation_;
    Registers registers_;
    // After the reporter: the interpreter's stopper is wired into it.
    std::unique_ptr<CommandRunner> runner_;
    CommandClipboard commandClipboard_;
    std::unique_ptr<AudioOutput> audioOutput_;
    std::unique_ptr<WavePlayer> wavePlayer_;
    bool started_ = false;
    bool startScheduled_ = false;
    QString caption_;
    // Refreshes the caption shortly after a user action.
    QTimer* captionTimer_ = nullptr;
};

}  // namespace lumora::app
