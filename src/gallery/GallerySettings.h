#pragma once

#include "launcher/LaunchOptions.h"
#include "launcher/Launcher.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <chrono>

// One device a gallery is taken on.
struct GalleryDevice {
    QString udid;
    QString name;

    bool operator==(const GalleryDevice &other) const = default;
};

// What the device's appearance is set to for the run; Unchanged leaves it alone.
enum class GalleryAppearance { Unchanged, Light, Dark };

// Everything one gallery run needs to know. A plain value: the run keeps its own copy.
struct GallerySettings {
    QList<GalleryDevice> devices;
    QString bundleID;
    // The languages as the app writes them ("de", "pt-BR", "zh-Hans"), in the order they are
    // captured and shown.
    QStringList languages;
    // One locale for every language ("en_GB"); empty means each language's likely region.
    QString region;
    LaunchOptions launchOptions;
    // Opened with "simctl openurl" after each launch; empty means none.
    QString deepLink;
    GalleryAppearance appearance = GalleryAppearance::Unchanged;
    // Whether the status bar shows 9:41, full bars and a full battery during the run.
    bool cleanStatusBar = true;
    // How long the screen must stay unchanged to count as settled.
    std::chrono::milliseconds settlePeriod{1000};
    // When to give up waiting for a settled screen and keep the last capture.
    std::chrono::milliseconds timeout{15000};
    // The pause between two captures.
    std::chrono::milliseconds captureInterval{400};
    DeveloperToolPaths tools;

    // The locale `language` is launched in: `region` when set, otherwise the likely region.
    QString regionFor(const QString &language) const;
};

namespace GalleryRegions {

// The region a language is most likely used in, as the region completion offers it first:
// de → de_DE, pt-BR → pt_BR, ar → ar_EG, zh-Hans → zh_CN. A code ICU does not know gives the
// code itself with "-" written as "_".
QString likely(const QString &language);

} // namespace GalleryRegions

namespace GalleryAppearances {

// "light" / "dark" as the simulator tool writes them; empty for Unchanged.
QString name(GalleryAppearance appearance);

} // namespace GalleryAppearances

Q_DECLARE_METATYPE(GalleryDevice)
Q_DECLARE_METATYPE(GallerySettings)
