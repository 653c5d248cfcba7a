#include "gallery/GalleryRun.h"

#include "gallery/ScreenComparison.h"
#include "gallery/SettleTracker.h"
#include "launcher/LaunchArguments.h"
#include "launcher/SimulatorBoot.h"
#include "tools/BackgroundWork.h"
#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <QCoroTimer>

#include <optional>

using namespace std::chrono_literals;
using std::chrono::milliseconds;

QString GalleryRun::deviceFolder(int device) const {
    return folder.filePath(QString::number(device));
}

namespace {

// Waits about `duration`, returning early once the run is asked to stop.
QCoro::Task<> pause(std::shared_ptr<GalleryRun> run, milliseconds duration) {
    QElapsedTimer waited;
    waited.start();
    while (!run->stopRequested) {
        const milliseconds left = duration - milliseconds(waited.elapsed());
        if (left <= 0ms)
            break;
        // Named: g++ 12 may end a temporary in a co_await expression too early.
        const milliseconds step = std::min(left, milliseconds(50));
        co_await QCoro::sleepFor(step);
    }
    run->waitMs += double(waited.nsecsElapsed()) / 1e6;
}

// Runs one xcrun command, counting the time it takes.
QCoro::Task<> runTool(std::shared_ptr<GalleryRun> run, QStringList arguments) {
    QElapsedTimer timer;
    timer.start();
    try {
        co_await DeveloperCommand::runWithDeadline(arguments, run->settings.tools.xcrun);
    } catch (...) {
        run->toolMs += double(timer.nsecsElapsed()) / 1e6;
        throw;
    }
    run->toolMs += double(timer.nsecsElapsed()) / 1e6;
}

void replaceFile(const QString &from, const QString &to) {
    QFile::remove(to);
    if (!QFile::rename(from, to))
        throw PlatformError(QStringLiteral("The screenshot couldn’t be kept in “%1”.").arg(to));
}

// Launches one language and waits for its screen to settle. Nothing when the run was stopped
// meanwhile; the shot with its error when a step failed.
QCoro::Task<std::optional<GalleryShot>> takeShot(std::shared_ptr<GalleryRun> run, int device,
                                                 int index) {
    const GallerySettings &settings = run->settings;
    const QString udid = settings.devices.at(device).udid;
    GalleryShot shot;
    shot.language = settings.languages.at(index);
    shot.region = settings.regionFor(shot.language);
    QElapsedTimer clock;
    clock.start();
    try {
        const QString code =
            LaunchArguments::validatedLanguageCode(shot.language, settings.languages);
        QStringList launching;
        launching << QStringLiteral("simctl") << QStringLiteral("launch")
                  << QStringLiteral("--terminate-running-process") << udid << settings.bundleID
                  << LaunchArguments::build(code, shot.region, settings.launchOptions);
        co_await runTool(run, launching);
        if (!settings.deepLink.isEmpty() && !run->stopRequested) {
            QStringList opening;
            opening << QStringLiteral("simctl") << QStringLiteral("openurl") << udid
                    << settings.deepLink;
            co_await runTool(run, opening);
        }

        const QDir folder(run->deviceFolder(device));
        SettleTracker tracker(settings.settlePeriod);
        QString latest;
        milliseconds nextCapture = milliseconds(clock.elapsed());
        for (int count = 0;; ++count) {
            if (run->stopRequested)
                co_return std::nullopt;
            // Two files in turn: the previous capture stays whole while the next is written.
            const QString file =
                folder.filePath(QStringLiteral("%1.capture-%2.png").arg(code).arg(count % 2));
            QStringList capturing;
            capturing << QStringLiteral("simctl") << QStringLiteral("io") << udid
                      << QStringLiteral("screenshot") << QStringLiteral("--type=png") << file;
            co_await runTool(run, capturing);
            const milliseconds at(clock.elapsed());
            bool same = false;
            if (!latest.isEmpty()) {
                // Named, not a temporary of the co_await: g++ 12 destroys such temporaries
                // twice.
                QCoro::Task<bool> comparing = BackgroundWork::run(
                    [latest, file] { return ScreenComparison::sameScreenFiles(latest, file); });
                same = co_await std::move(comparing);
            }
            latest = file;
            if (tracker.add(at, same)) {
                shot.settled = true;
                shot.seconds = double(at.count()) / 1000.0;
                break;
            }
            if (at >= settings.timeout) {
                shot.seconds = double(at.count()) / 1000.0;
                break;
            }
            nextCapture += settings.captureInterval;
            const milliseconds wait = nextCapture - milliseconds(clock.elapsed());
            co_await pause(run, wait);
        }
        const QString kept = folder.filePath(code + QStringLiteral(".png"));
        replaceFile(latest, kept);
        shot.imageFile = kept;
    } catch (...) {
        shot.error = userFacingDescription(std::current_exception());
        shot.settled = false;
        shot.imageFile.clear();
        shot.seconds = double(clock.elapsed()) / 1000.0;
    }
    // A tool that failed because the run was stopped (an interrupted command line ends the
    // running tools) says nothing about the language.
    if (shot.error && run->stopRequested)
        co_return std::nullopt;
    co_return shot;
}

} // namespace

namespace DeviceRun {

QCoro::Task<> run(std::shared_ptr<GalleryRun> run, int device) {
    const GallerySettings &settings = run->settings;
    const QString udid = settings.devices.at(device).udid;
    std::optional<QString> deviceFailure;
    run->preparing(device);
    QElapsedTimer preparing;
    preparing.start();
    try {
        QDir().mkpath(run->deviceFolder(device));
        co_await SimulatorBoot::bootIfNeeded(udid, settings.tools);
        if (!run->stopRequested)
            co_await DeviceLook::apply(udid, settings, &run->changes[size_t(device)]);
    } catch (...) {
        deviceFailure = userFacingDescription(std::current_exception());
    }
    run->toolMs += double(preparing.nsecsElapsed()) / 1e6;

    for (int index = 0; index < settings.languages.size() && !run->stopRequested; ++index) {
        run->shotStarting(device, index);
        std::optional<GalleryShot> shot;
        if (deviceFailure) {
            shot.emplace();
            shot->language = settings.languages.at(index);
            shot->region = settings.regionFor(shot->language);
            shot->error = deviceFailure;
        } else {
            shot = co_await takeShot(run, device, index);
        }
        if (!shot)
            break;
        run->devices[device].shots.append(*shot);
        run->shotTaken(device, index, *shot);
    }

    QElapsedTimer restoring;
    restoring.start();
    const QStringList failures =
        co_await DeviceLook::restore(udid, settings.tools, run->changes[size_t(device)]);
    run->toolMs += double(restoring.nsecsElapsed()) / 1e6;
    run->changes[size_t(device)] = {};
    run->restoreFailures << failures;
    if (--run->devicesLeft == 0)
        run->allDone();
}

} // namespace DeviceRun
