// Helpers of the GUI tests.
#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include "app/shell/settings_store.h"

namespace lumora::apptest {

// Settings of a test run go to a private folder, never to the user's store.
inline void isolateSettings() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Quillon Software");
    QCoreApplication::setApplicationName("Lumora");
    QSettings settings;
    settings.clear();
}

// Every stored value away from its default and within its control's range, so
// a value that is not written, not read back or not shown by its control
// stands out.
inline lumora::app::LumoraSettings nonDefaultSettings() {
    lumora::app::LumoraSettings s;
    s.windowState = lumora::app::kWindowMinimised;
    s.top = 31;
    s.left = 42;
    s.width = 1001;
    s.height = 702;
    s.hasGeometry = true;
    s.bdmvDir = QStringLiteral("/discs/Movie/BDMV/");
    s.backgroundPic = QStringLiteral("/pictures/back.png");
    s.objectHeight = 80;
    s.playListHeight = 200;
    s.subPathHeight = 120;
    s.playListMarkHeight = 110;
    s.autoRead = false;
    s.backup = false;
    s.saveBackup = true;
    s.backupMode = 1;
    s.chapterFormat = 1;
    s.programFormat = 1;
    s.savePes = true;
    s.saveSup = false;
    s.saveMnu = false;
    s.buttonId = true;
    s.objectId = true;
    s.buttonFrame = true;
    s.windowFrame = true;
    s.forcedBeep = false;
    s.preLoad = false;
    s.showInEffects = false;
    s.showOutEffects = false;
    s.showButtonAnimation = true;
    s.showFullScreen = true;
    s.background = true;
    s.realPsrs = true;
    s.playSound = true;
    s.associateBdmv = true;
    s.associateMnu = true;
    s.use83Names = true;
    s.autoMenu = true;
    s.actiDelay = 1234;
    s.grid = 100;
    s.colBackground = 0x112233;
    s.colObjectBackground = 0x445566;
    s.colSelectedButton = 0x778899;
    s.colSelectedFrame = 0xAABBCC;
    s.colNormalButton = 0xDDEEFF;
    s.colNormalFrame = 0x010101;
    s.colInvalidButton = 0x020202;
    s.colInvalidFrame = 0x030303;
    s.colWindow = 0x040404;
    s.region = 1;
    s.countryCode = 0x4A50;
    s.playerAudioLang = QStringLiteral("fra");
    s.playerPgLang = QStringLiteral("deu");
    s.playerMenuLang = QStringLiteral("zun");
    s.playerAudioCap = 0x12345;
    s.playerVideoCap = 0x9;
    s.playerDisplayCap = 0x80004;
    s.playerOmPref = false;
    s.player3dCap = 0x55;
    s.playerTextSubCap = 0xA028;
    s.playerVersProf = 0x080300;
    return s;
}

}  // namespace lumora::apptest
