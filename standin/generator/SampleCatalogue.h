#pragma once

#include "IconArt.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the sample device set holds: runtimes, devices and the apps installed on them. The
// identifiers here are documented in standin/README.md; tests rely on them.
namespace SampleCatalogue {

enum class InfoFormat { Xml, Binary };

// How an app names its icon files in Info.plist.
enum class IconLayout {
    None,        // no icon keys, no icon files
    PrimaryIcon, // CFBundleIcons → CFBundlePrimaryIcon → CFBundleIconFiles [AppIcon60x60]
    PrimaryIconPhoneAndPad, // …CFBundleIconFiles [AppIcon60x60, AppIcon76x76]
    LegacyIconFile,         // CFBundleIconFile Icon.png
    TopLevelIconFiles       // CFBundleIconFiles [Icon-60, Icon-76]
};

struct App {
    QString bundleIdentifier;
    QString folderName; // the bundle folder without ".app"
    QString executable;
    QString bundleName;
    std::optional<QString> displayName;
    QString version;
    QString shortVersion;
    bool system = false;
    InfoFormat infoFormat = InfoFormat::Binary;
    QStringList lprojFolders;
    std::optional<QString> developmentRegion;
    std::optional<QStringList> bundleLocalizations;
    IconLayout iconLayout = IconLayout::PrimaryIcon;
    IconDesign icon = IconDesign::Maps;
    QStringList groups;
};

struct Runtime {
    QString identifier;
    QString name;
    QString buildVersion;
    bool installed = true;
};

struct Device {
    QString udid;
    QString name;
    QString runtime;
    QString deviceType;
    QString state;
    std::optional<QString> lastBootedAt;
    bool available = true;
    qint64 dataPathSize = 0;
    QStringList
        userApps; // bundle identifiers; every available device also has its runtime's system apps
};

QList<Runtime> runtimes();
QList<Device> devices();
QList<App> apps();
const App &app(const QString &bundleIdentifier);

} // namespace SampleCatalogue
