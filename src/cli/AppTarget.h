#pragma once

#include "cli/CliContext.h"
#include "cli/CliSyntax.h"
#include "cli/DeviceDirectory.h"

#include <QString>
#include <QStringList>

#include <QCoroTask>

// The app a subcommand works on: an app installed on a simulator device, or a bundle on disk
// (a Mac app, or any bundle for the localization check).
struct AppTarget {
    QString deviceArgument; // as given: a UDID or a name; empty for a bundle on disk
    QString bundleID;
    QString bundlePath; // for a bundle on disk, absolute

    bool onSimulator() const { return !deviceArgument.isEmpty(); }

    // --device and --app, or --mac-app, or (when `positional` is allowed) a bundle path. Throws
    // UsageError when neither or more than one is given, or one half of the first.
    static AppTarget fromArguments(const ParsedCommandLine &arguments);
};

namespace AppTargets {

// The device the target names (see DeviceDirectory::resolve).
QCoro::Task<ListedDevice> resolveDevice(QString deviceArgument, DeveloperToolPaths tools);

// Boots the device with the app's own boot steps unless it is booted, saying so on the console.
QCoro::Task<> bootIfNeeded(ListedDevice device, CliContext &context);

// The bundle on disk: a simulator app's through "simctl get_app_container <udid> <id> app".
QCoro::Task<QString> bundlePath(AppTarget target, QString udid, DeveloperToolPaths tools);

// The bundle of a target that needs no boot: the device resolved first for a simulator app.
QCoro::Task<QString> locateBundle(AppTarget target, DeveloperToolPaths tools);

// The bundle's languages, read off the main thread.
QCoro::Task<QStringList> languages(QString bundlePath);

// Throws CliError with the app's own text ("Enter a language code such as en, de or pt-BR.")
// and a hint that names the code and the app's languages, unless `code` is one of them.
QString validatedLanguage(const QString &code, const QStringList &languages);

} // namespace AppTargets
