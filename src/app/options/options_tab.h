// The Options tab: program options, format options, menu options and the
// player settings that fill the player status registers.  Its controls are
// the working copies of the stored settings during a run.
#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/settings_store.h"
#include "core/folder.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace lumora::app {

// The player settings as the register file takes them when it is reset.
struct PlayerSettings {
    int region = 0;  // 0 A, 1 B, 2 C
    std::uint32_t countryCode = 0;
    std::string audioLanguage;  // three letters, empty when none is selected
    std::string subtitleLanguage;
    std::string menuLanguage;
    std::uint32_t audioCapability = 0;
    std::uint32_t displayCapability = 0;  // size << 8 | no glasses | 1280x720 50p | stereo
    std::uint32_t capability3d = 0;
    bool stereoscopicOutput = false;  // output mode preference, else 2D
    std::uint32_t videoCapability = 0;
    std::uint32_t textSubtitleCapability = 0;
    std::uint32_t profileCode = 0;
    std::uint32_t version = 0;
    bool realValues = false;  // "Init PSRs with 'real' values"

    std::uint32_t profileAndVersion() const { return profileCode << 16 | version; }
};

class OptionsTab : public QWidget {
    Q_OBJECT
public:
    // Picks a folder; an empty result means the user cancelled.
    using FolderChooser =
        std::function<QString(QWidget* parent, const QString& title, const QString& startFolder)>;
    // Picks an existing file; an empty result means the user cancelled.
    using FileChooser = std::function<QString(QWidget* parent, const QString& title,
                                              const QString& startFolder, const QString& filter)>;

    explicit OptionsTab(QWidget* parent = nullptr);

    // Only the values of this page's controls; the window geometry, the folder,
    // the background picture (shown here, kept by the window like the folder)
    // and the panel heights belong to the main window.
    void applySettings(const LumoraSettings& settings);
    void collectSettings(LumoraSettings& settings) const;

    bool autoRead() const;
    lumora::BackupOptions backupOptions() const;
    bool use83() const;
    void setUse83(bool use83);
    int activationDelay() const;
    int gridSize() const;
    int chapterFormat() const;  // 0 PTS, 1 Frame, 2 Time
    int programFormat() const;  // 0 list, 1 binary
    // Empty, or the folder ending with "/" so file names can follow directly.
    QString outputFolder() const;
    bool associateBdmv() const;
    bool associateMnu() const;
    bool autoCreateMenu() const;

    // The check box of a boolean option by its settings name ("ButtonId",
    // "SavePES", ...); null for any other name.
    QCheckBox* optionBox(const QString& settingName) const;
    // A menu colour by its settings name ("colBackground", ...); invalid for
    // any other name.
    QColor colour(const QString& settingName) const;
    PlayerSettings playerSettings() const;

    void setCreateSoundEnabled(bool enabled);
    void setFolderChooser(FolderChooser chooser);

    // The background picture of the menu pages (its file field; the main
    // window keeps it with the folder).  It is used while "Background" is
    // checked and a file is named.
    QString backgroundPicture() const;
    void setBackgroundPicture(const QString& path);
    bool useBackgroundPicture() const;
    void setBackgroundChooser(FileChooser chooser);
    // Where the background picture dialog starts when no picture is named
    // and no Output folder is set.
    void setDiscFolder(std::function<QString()> folder);

signals:
    void use83Changed(bool use83);
    // "Background" or its picture changed.
    void backgroundChanged();
    void gridSizeChanged(int pixels);
    void activationDelayChanged(int milliseconds);
    void colourChanged(const QString& settingName, const QColor& colour);
    void createMenuRequested();
    void createSoundRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct ColourButton {
        const char* settingName;
        int LumoraSettings::*member;
        QToolButton* button;
        QColor colour;
    };
    struct Flag {
        const char* caption;
        std::uint32_t bit;
    };
    struct FlagBox {
        std::uint32_t bit;
        QCheckBox* box;
    };

    void arrangeGroups();
    QCheckBox* addOptionBox(const char* settingName);
    QGroupBox* buildGeneral();
    QGroupBox* buildFormatOptions();
    QGroupBox* buildMenuOptions();
    QGroupBox* buildPlayerSettings();
    QWidget* buildColours();
    QWidget* buildBackgroundPicture();
    QWidget* buildRegionAndCountry();
    QWidget* buildLanguages();
    QWidget* buildVersionAndProfile();
    QGroupBox* buildFlagGroup(const QString& title, const char* objectName,
                              const std::vector<Flag>& flags, std::vector<FlagBox>& boxes,
                              int columns);
    QLineEdit* addHexEdit(const char* objectName, int digits, const QString& hint);

    void chooseOutputFolder();
    void chooseBackgroundPicture();
    void updateBackgroundEnabled();
    void chooseColour(ColourButton& entry);
    void showColour(ColourButton& entry, const QColor& colour);
    void clampCountryCode();
    void showCountryLetters();
    void updateBackupModeEnabled();

    QHash<QString, QCheckBox*> optionBoxes_;
    std::vector<ColourButton> colours_;
    std::vector<FlagBox> displayBoxes_;
    std::vector<FlagBox> boxes3d_;
    std::vector<FlagBox> videoBoxes_;
    QCheckBox* scalingBox_ = nullptr;
    std::vector<FlagBox> textSubtitleBoxes_;
    FolderChooser folderChooser_;
    FileChooser backgroundChooser_;
    std::function<QString()> discFolder_;

    QGridLayout* groups_ = nullptr;
    QGroupBox* playerGroup_ = nullptr;
    bool playerBeside_ = false;

    QWidget* backupModeGroup_ = nullptr;
    QButtonGroup* backupMode_ = nullptr;
    QButtonGroup* chapterFormat_ = nullptr;
    QButtonGroup* programFormat_ = nullptr;
    QLineEdit* outputFolder_ = nullptr;
    QLineEdit* backgroundPicture_ = nullptr;
    QToolButton* chooseBackground_ = nullptr;
    QPushButton* createSound_ = nullptr;
    QSpinBox* activationDelay_ = nullptr;
    QSpinBox* gridSize_ = nullptr;

    QButtonGroup* region_ = nullptr;
    QLineEdit* countryCode_ = nullptr;
    QLabel* countryLetters_ = nullptr;
    QComboBox* audioLanguage_ = nullptr;
    QComboBox* subtitleLanguage_ = nullptr;
    QComboBox* menuLanguage_ = nullptr;
    QLineEdit* audioCapability_ = nullptr;
    QLineEdit* displaySize_ = nullptr;
    QButtonGroup* outputMode_ = nullptr;
    QLineEdit* version_ = nullptr;
    QComboBox* profile_ = nullptr;
};

}  // namespace lumora::app
