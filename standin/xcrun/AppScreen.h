#pragma once

#include "AppStrings.h"
#include "LaunchLook.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Everything a screenshot of a simulator device shows.
struct ScreenState {
    enum class Phase { Home, LaunchScreen, Appearing, Running };

    QSize points{402, 874}; // the screen in points, portrait
    qreal scale = 3;        // pixels per point
    bool pad = false;
    bool dark = false;

    // The status bar: the override's values, or the live ones.
    QString time;
    QString dataNetwork = QStringLiteral("5g");
    int wifiBars = 2;
    int cellularBars = 3;
    int batteryLevel = 73;
    bool charging = false;

    Phase phase = Phase::Home;
    double appearing = 1.0; // 0 … 1 while the app's first screen comes in
    QStringList homeApps;   // the names on the home screen
    AppStrings strings;     // the foreground app's texts
    LaunchLook look;        // how its launch arguments change them
    QString openedUrl;      // a deep link opened in it; empty when none
};

namespace AppScreen {

// Draws the screen; needs a QGuiApplication for the fonts.
QImage paint(const ScreenState &state);

} // namespace AppScreen
