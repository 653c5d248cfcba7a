// A screenshot of an app in each of its languages, on one or more devices.
#include "cli/AppTarget.h"
#include "cli/CliError.h"
#include "cli/CliJson.h"
#include "cli/LaunchOptionArguments.h"
#include "cli/Subcommands.h"
#include "gallery/GalleryExport.h"
#include "gallery/LanguageGallery.h"
#include "tools/ChildProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>

namespace {

// A positive number of seconds, as milliseconds; throws UsageError otherwise.
std::chrono::milliseconds seconds(const ParsedCommandLine &arguments, const QString &option,
                                  std::chrono::milliseconds fallback) {
    if (!arguments.has(option))
        return fallback;
    bool ok = false;
    const double value = QLocale::c().toDouble(arguments.value(option), &ok);
    if (!ok || !std::isfinite(value) || value <= 0 || value > 3600)
        throw UsageError(QStringLiteral("The option --%1 needs a number of seconds between 0 and "
                                        "3600, such as 1.5; “%2” is none.")
                             .arg(option, arguments.value(option)),
                         CliSyntax::helpHint(arguments.subcommand));
    return std::chrono::milliseconds(std::llround(value * 1000));
}

// Everything the command line says about the gallery, checked before any tool runs.
GallerySettings settingsFrom(const ParsedCommandLine &arguments) {
    const QString hint = CliSyntax::helpHint(arguments.subcommand);
    for (const char *required : {"device", "app", "out"}) {
        const QString name = QString::fromLatin1(required);
        if (!arguments.has(name))
            throw UsageError(QStringLiteral("The option --%1 is required.").arg(name), hint);
    }
    GallerySettings settings;
    settings.bundleID = arguments.value(QStringLiteral("app"));
    settings.launchOptions = CliLaunchOptions::parse(arguments);

    const QString region = arguments.value(QStringLiteral("region"));
    settings.region = region == QLatin1String("likely") ? QString() : region;

    if (arguments.has(QStringLiteral("url"))) {
        const QUrl url(arguments.value(QStringLiteral("url")), QUrl::StrictMode);
        if (!url.isValid() || url.scheme().isEmpty())
            throw UsageError(QStringLiteral("The option --url needs a URL with a scheme, such as "
                                            "myapp://settings; “%1” is none.")
                                 .arg(arguments.value(QStringLiteral("url"))),
                             hint);
        settings.deepLink = arguments.value(QStringLiteral("url"));
    }

    const QString appearance = arguments.value(QStringLiteral("appearance"));
    if (appearance == QLatin1String("light"))
        settings.appearance = GalleryAppearance::Light;
    else if (appearance == QLatin1String("dark"))
        settings.appearance = GalleryAppearance::Dark;
    else if (!appearance.isEmpty())
        throw UsageError(QStringLiteral("The option --appearance takes light or dark, not “%1”.")
                             .arg(appearance),
                         hint);

    settings.cleanStatusBar = !arguments.has(QStringLiteral("keep-status-bar"));
    settings.settlePeriod = seconds(arguments, QStringLiteral("settle"), settings.settlePeriod);
    settings.timeout = seconds(arguments, QStringLiteral("settle-timeout"), settings.timeout);
    if (settings.timeout < settings.settlePeriod)
        throw UsageError(QStringLiteral("The settle time-out is shorter than the settle time."),
                         hint);
    return settings;
}

// The languages to take: those --languages names, each one the app declares, or all of them.
QStringList chosenLanguages(const ParsedCommandLine &arguments, const QStringList &declared) {
    if (!arguments.has(QStringLiteral("languages"))) {
        if (declared.isEmpty())
            throw ToolFailure(QStringLiteral("This app declares no supported languages."));
        return declared;
    }
    QStringList chosen;
    for (const QString &part :
         arguments.value(QStringLiteral("languages")).split(QLatin1Char(','))) {
        if (part.trimmed().isEmpty())
            continue;
        const QString code = AppTargets::validatedLanguage(part, declared);
        if (!chosen.contains(code))
            chosen << code;
    }
    if (chosen.isEmpty())
        throw UsageError(QStringLiteral("The option --languages names no language."),
                         CliSyntax::helpHint(arguments.subcommand));
    return chosen;
}

// Refuses a folder with something in it unless --force is given.
void checkOutputFolder(const QString &folder, bool force) {
    try {
        GalleryExport::checkFolder(folder, force);
    } catch (const ToolFailure &refusal) {
        const bool forceHelps = !force && QFileInfo(folder).isDir();
        throw CliError(refusal.message(),
                       forceHelps ? QStringLiteral("Add --force to write into it anyway (only the "
                                                   "gallery's own files are replaced).")
                                  : QString());
    }
}

QString shotLine(const GalleryShot &shot) {
    const QString seconds = QString::number(shot.seconds, 'f', 1);
    if (shot.error)
        return QStringLiteral("failed: %1").arg(shot.error->trimmed());
    if (!shot.settled)
        return QStringLiteral("not settled after %1 s (the last screenshot is kept)").arg(seconds);
    return QStringLiteral("settled after %1 s").arg(seconds);
}

// Restores what the subcommand put into the context when it ends, however it ends.
struct InterruptHandling {
    CliContext &context;
    ~InterruptHandling() { context.onInterrupt = nullptr; }
};

} // namespace

namespace Subcommands {

QCoro::Task<int> gallery(ParsedCommandLine arguments, CliContext &context) {
    GallerySettings settings = settingsFrom(arguments);
    settings.tools = context.tools;
    const QString folder =
        QDir::cleanPath(QFileInfo(arguments.value(QStringLiteral("out"))).absoluteFilePath());
    const bool force = arguments.has(QStringLiteral("force"));
    checkOutputFolder(folder, force);

    const DeviceDirectory directory = co_await DeviceDirectory::load(context.tools, false);
    QList<ListedDevice> devices;
    for (const QString &given : arguments.values(QStringLiteral("device"))) {
        const ListedDevice device = directory.resolve(given);
        for (const ListedDevice &earlier : std::as_const(devices)) {
            if (earlier.device.udid == device.device.udid)
                throw UsageError(QStringLiteral("The device %1 (%2) is given twice.")
                                     .arg(device.device.name, device.device.udid),
                                 CliSyntax::helpHint(arguments.subcommand));
        }
        devices << device;
        settings.devices << GalleryDevice{device.device.udid, device.device.name};
    }

    // The languages come from the app on the first device, which must be running to tell.
    co_await AppTargets::bootIfNeeded(devices.first(), context);
    AppTarget target;
    target.deviceArgument = devices.first().device.udid;
    target.bundleID = settings.bundleID;
    const QString bundlePath =
        co_await AppTargets::bundlePath(target, devices.first().device.udid, context.tools);
    const QStringList declared = co_await AppTargets::languages(bundlePath);
    settings.languages = chosenLanguages(arguments, declared);

    LanguageGallery gallery;
    bool interrupted = false;
    const int total = int(settings.languages.size() * settings.devices.size());
    int finished = 0;
    QHash<QString, int> finishedOn; // per device
    QObject::connect(&gallery, &LanguageGallery::shotFinished, &gallery,
                     [&](const QString &udid, int, const GalleryShot &shot) {
                         ++finished;
                         ++finishedOn[udid];
                         if (interrupted)
                             return; // a stopped tool's failure is no news
                         QString name = udid;
                         for (const GalleryDevice &device : std::as_const(settings.devices)) {
                             if (device.udid == udid)
                                 name = device.name;
                         }
                         context.console.progress(
                             QStringLiteral("[%1/%2] %3 · %4 (%5): %6")
                                 .arg(finished)
                                 .arg(total)
                                 .arg(name, shot.language, shot.region, shotLine(shot)));
                     });

    const InterruptHandling handling{context};
    context.onInterrupt = [&] {
        interrupted = true;
        context.console.progress(QStringLiteral("Interrupted: stopping and restoring the "
                                                "device (Ctrl+C again quits at once)…"));
        // The tools the run is waiting for stop at once. A device done with its languages is
        // being restored, and those commands must finish: then the others' tools are left to
        // end by themselves.
        const bool restoring = std::any_of(
            settings.devices.cbegin(), settings.devices.cend(), [&](const GalleryDevice &device) {
                return finishedOn.value(device.udid) >= settings.languages.size();
            });
        if (!restoring)
            ChildProcess::signalRunning(SIGTERM);
        gallery.stop();
    };

    const qsizetype deviceCount = settings.devices.size();
    context.console.progress(QStringLiteral("Taking %1 in %2 languages on %3…")
                                 .arg(settings.bundleID)
                                 .arg(settings.languages.size())
                                 .arg(deviceCount == 1
                                          ? settings.devices.first().name
                                          : QStringLiteral("%1 devices at once").arg(deviceCount)));
    co_await gallery.run(settings);
    if (interrupted)
        co_return ExitStatus::interrupted;

    const GalleryResult result = gallery.result();
    co_await GalleryExport::write(result, folder, force);

    int failed = 0;
    int unsettled = 0;
    int taken = 0;
    for (const DeviceGallery &device : result.devices) {
        for (const GalleryShot &shot : device.shots) {
            ++taken;
            if (shot.error)
                ++failed;
            else if (!shot.succeeded())
                ++unsettled;
        }
    }
    failed += total - taken; // languages a run never reached

    if (arguments.has(QStringLiteral("json"))) {
        if (result.devices.size() == 1) {
            context.console.print(CliJson::text(GalleryExport::document(
                result.bundleID, result.launchOptions, result.devices.first())));
        } else {
            QJsonArray documents;
            for (const DeviceGallery &device : result.devices)
                documents.append(
                    GalleryExport::document(result.bundleID, result.launchOptions, device));
            context.console.print(CliJson::text(documents));
        }
    } else {
        context.console.print(
            QStringLiteral("%1 screenshots: %2 settled, %3 not settled, %4 failed.\n%5\n")
                .arg(total)
                .arg(total - failed - unsettled)
                .arg(unsettled)
                .arg(failed)
                .arg(QDir(folder).filePath(QStringLiteral("index.html"))));
    }
    co_return failed + unsettled == 0 ? ExitStatus::done : ExitStatus::problemsFound;
}

} // namespace Subcommands
