#include "app/shell/settings_store.h"

#include <QSettings>

#include <cstdint>
#include <variant>

namespace lumora::app {

namespace {

using S = LumoraSettings;
using Member = std::variant<int S::*, bool S::*, QString S::*>;

struct StoredValue {
    const char* name;
    Member member;
};

// The values after "WindowState" and the window geometry, in the order they
// are written.
const StoredValue kStoredValues[] = {
    {"BDMVdir", &S::bdmvDir},
    {"BackgroundPic", &S::backgroundPic},
    {"AutoRead", &S::autoRead},
    {"Backup", &S::backup},
    {"SaveBACKUP", &S::saveBackup},
    {"BackupMode", &S::backupMode},
    {"ObjectHeight", &S::objectHeight},
    {"PlayListHeight", &S::playListHeight},
    {"SubPathHeight", &S::subPathHeight},
    {"PlayListMarkHeight", &S::playListMarkHeight},
    {"ChapterFormat", &S::chapterFormat},
    {"ProgramFormat", &S::programFormat},
    {"SavePES", &S::savePes},
    {"SaveSUP", &S::saveSup},
    {"SaveMNU", &S::saveMnu},
    {"ButtonId", &S::buttonId},
    {"ObjectId", &S::objectId},
    {"ButtonFrame", &S::buttonFrame},
    {"WindowFrame", &S::windowFrame},
    {"ForcedBeep", &S::forcedBeep},
    {"PreLoad", &S::preLoad},
    {"ShowInEffects", &S::showInEffects},
    {"ShowOutEffects", &S::showOutEffects},
    {"ShowButtonAnimation", &S::showButtonAnimation},
    {"ShowFullScreen", &S::showFullScreen},
    {"Background", &S::background},
    {"RealPSRs", &S::realPsrs},
    {"PlaySound", &S::playSound},
    {"AssociateBDMV", &S::associateBdmv},
    {"AssociateMNU", &S::associateMnu},
    {"8.3names", &S::use83Names},
    {"AutoMenu", &S::autoMenu},
    {"ActiDelay", &S::actiDelay},
    {"Grid", &S::grid},
    {"colBackground", &S::colBackground},
    {"colObjectBackground", &S::colObjectBackground},
    {"colSelectedButton", &S::colSelectedButton},
    {"colSelectedFrame", &S::colSelectedFrame},
    {"colNormalButton", &S::colNormalButton},
    {"colNormalFrame", &S::colNormalFrame},
    {"colInvalidButton", &S::colInvalidButton},
    {"colInvalidFrame", &S::colInvalidFrame},
    {"colWindow", &S::colWindow},
    {"Region", &S::region},
    {"CountryCode", &S::countryCode},
    {"PlayerAudioLang", &S::playerAudioLang},
    {"PlayerPGLang", &S::playerPgLang},
    {"PlayerMenuLang", &S::playerMenuLang},
    {"PlayerAudioCap", &S::playerAudioCap},
    {"PlayerVideoCap", &S::playerVideoCap},
    {"PlayerDisplayCap", &S::playerDisplayCap},
    {"PlayerOMPref", &S::playerOmPref},
    {"Player3DCap", &S::player3dCap},
    {"PlayerTextSubCap", &S::playerTextSubCap},
    {"PlayerVersProf", &S::playerVersProf},
};

// Integers are 32-bit; a colour or capability written as an unsigned number
// by another tool still reads back as the same bits.
bool readInt(const QSettings& store, const char* name, int& value) {
    bool ok = false;
    const qlonglong stored = store.value(QLatin1String(name)).toLongLong(&ok);
    if (!ok || stored < INT32_MIN || stored > UINT32_MAX) return false;
    value = static_cast<int>(static_cast<std::uint32_t>(stored));
    return true;
}

void readValue(const QSettings& store, const char* name, int& value) {
    readInt(store, name, value);
}

void readValue(const QSettings& store, const char* name, bool& value) {
    int number = 0;
    if (readInt(store, name, number)) value = number != 0;
}

void readValue(const QSettings& store, const char* name, QString& value) {
    value = store.value(QLatin1String(name)).toString();
}

void writeValue(QSettings& store, const char* name, int value) {
    store.setValue(QLatin1String(name), value);
}

void writeValue(QSettings& store, const char* name, bool value) {
    store.setValue(QLatin1String(name), value ? 1 : 0);
}

void writeValue(QSettings& store, const char* name, const QString& value) {
    store.setValue(QLatin1String(name), value);
}

void readGeometry(const QSettings& store, LumoraSettings& settings) {
    bool all = true;
    all = readInt(store, "Top", settings.top) && all;
    all = readInt(store, "Left", settings.left) && all;
    all = readInt(store, "Width", settings.width) && all;
    all = readInt(store, "Height", settings.height) && all;
    settings.hasGeometry = all;
}

}  // namespace

LumoraSettings readSettings(QSettings& store) {
    LumoraSettings settings;
    if (store.status() != QSettings::NoError) return settings;
    readValue(store, "WindowState", settings.windowState);
    readGeometry(store, settings);
    for (const StoredValue& stored : kStoredValues) {
        if (!store.contains(QLatin1String(stored.name))) continue;
        std::visit([&](auto member) { readValue(store, stored.name, settings.*member); },
                   stored.member);
    }
    return settings;
}

void writeSettings(QSettings& store, const LumoraSettings& settings, bool maximised) {
    if (!store.isWritable()) return;
    writeValue(store, "WindowState", maximised ? kWindowMaximised : settings.windowState);
    if (!maximised) {
        writeValue(store, "Top", settings.top);
        writeValue(store, "Left", settings.left);
        writeValue(store, "Width", settings.width);
        writeValue(store, "Height", settings.height);
    }
    for (const StoredValue& stored : kStoredValues) {
        std::visit([&](auto member) { writeValue(store, stored.name, settings.*member); },
                   stored.member);
    }
    store.sync();
}

}  // namespace lumora::app
