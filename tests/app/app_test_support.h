// Helpers of the GUI tests.
#pragma once

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace lumora::apptest {

// Settings of a test run go to a private folder, never to the user's store.
inline void isolateSettings() {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Quillon Software");
    QCoreApplication::setApplicationName("Lumora");
    QSettings settings;
    settings.clear();
}

}  // namespace lumora::apptest
