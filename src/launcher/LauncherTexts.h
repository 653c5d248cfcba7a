#pragma once

#include <QString>

// Fixed texts of the launcher model that more than one operation uses.
namespace LauncherTexts {

inline QString selectAppForLanguages() {
    return QStringLiteral("Select an app to detect its languages.");
}

inline QString initialStatus() {
    return QStringLiteral("Choose a simulator or a macOS app.");
}

inline QString chooseSimulatorFirst() {
    return QStringLiteral("Choose a simulator first.");
}

} // namespace LauncherTexts
