// The options, window geometry, last folder, menu colours and player settings
// kept between runs.  Read once at start-up, written once when the main window
// closes; during a run the controls are the working copies.
#pragma once

#include <QString>

class QSettings;

namespace lumora::app {

// Window states as stored under "WindowState".
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMinimised = 1;
inline constexpr int kWindowMaximised = 2;

// Every stored value with the state its control has when nothing is stored.
// Booleans are stored as 0 or 1; colours are 32-bit values with red in the low
// byte, green in the second and blue in the third.
struct LumoraSettings {
    int windowState = kWindowNormal;
    // The window's own design size applies while `hasGeometry` is false.
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    bool hasGeometry = false;

    QString bdmvDir;
    QString backgroundPic;

    bool autoRead = true;
    bool backup = true;
    bool saveBackup = false;
    int backupMode = 0;  // 0 "Only once", 1 "Overwrite", 2 "Stop if exists"

    int objectHeight = 75;
    int playListHeight = 176;
    int subPathHeight = 112;
    int playListMarkHeight = 103;

    int chapterFormat = 0;  // 0 "PTS", 1 "Frame", 2 "Time"
    int programFormat = 0;  // 0 "List (*.lst)", 1 "Binary (*.bin)"
    bool savePes = false;
    bool saveSup = true;
    bool saveMnu = true;

    bool buttonId = false;
    bool objectId = false;
    bool buttonFrame = false;
    bool windowFrame = false;
    bool forcedBeep = true;
    bool preLoad = true;
    bool showInEffects = true;
    bool showOutEffects = true;
    bool showButtonAnimation = false;
    bool showFullScreen = false;
    bool background = false;
    bool realPsrs = false;
    bool playSound = false;
    bool associateBdmv = false;
    bool associateMnu = false;
    bool use83Names = false;
    bool autoMenu = false;

    int actiDelay = 500;  // milliseconds
    int grid = 15;        // pixels, at most 100

    int colBackground = 0x800000;        // navy
    int colObjectBackground = 0xC0C0C0;  // silver
    int colSelectedButton = 0x00FFFF;    // yellow
    int colSelectedFrame = 0x0000FF;     // red
    int colNormalButton = 0xFFFFFF;      // white
    int colNormalFrame = 0xC0C0C0;       // silver
    int colInvalidButton = 0x808080;     // grey
    int colInvalidFrame = 0x000000;      // black
    int colWindow = 0x00FF00;            // lime

    int region = 0;  // 0 A, 1 B, 2 C
    int countryCode = 0x5553;
    // The first entry of the language list; an empty code selects nothing.
    QString playerAudioLang = QStringLiteral("eng");
    QString playerPgLang = QStringLiteral("eng");
    QString playerMenuLang = QStringLiteral("eng");
    int playerAudioCap = 0xAAAAA;
    int playerVideoCap = 7;
    int playerDisplayCap = 0xFFF03;
    bool playerOmPref = true;  // stereoscopic, else 2D
    int player3dCap = 0x7F;
    int playerTextSubCap = 0x1F0F8;
    int playerVersProf = 0x130240;  // profile code << 16 | player version

    bool operator==(const LumoraSettings&) const = default;
};

// A value that is absent, or not a number where one is expected, keeps its
// default; a store that cannot be read gives the defaults.
LumoraSettings readSettings(QSettings& store);

// Writes every value; the position and size only when the window is not
// maximised, so a maximised close keeps the normal geometry of an earlier run.
// A store that cannot be written is skipped silently.
void writeSettings(QSettings& store, const LumoraSettings& settings, bool maximised);

}  // namespace lumora::app
