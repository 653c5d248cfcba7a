#include "gallery/LanguageGallery.h"

#include "gallery/GalleryRun.h"
#include "gallery/GalleryTexts.h"
#include "launcher/LauncherTexts.h"
#include "tools/Error.h"

#include <QPointer>
#include <QSet>

#include <QCoroSignal>

struct LanguageGallery::State {
    std::shared_ptr<GalleryRun> run;
    bool running = false;
    int started = 0;
    int finished = 0;
    int total = 0;
    int failed = 0;
    int unsettled = 0;
    bool stopped = false;
    QString status;
};

namespace {

void validate(const GallerySettings &settings) {
    if (settings.devices.isEmpty())
        throw ToolFailure(LauncherTexts::chooseSimulatorFirst());
    QSet<QString> seen;
    for (const GalleryDevice &device : settings.devices) {
        if (device.udid.isEmpty())
            throw ToolFailure(LauncherTexts::chooseSimulatorFirst());
        if (seen.contains(device.udid))
            throw ToolFailure(QStringLiteral("The device “%1” is chosen twice.")
                                  .arg(device.name.isEmpty() ? device.udid : device.name));
        seen.insert(device.udid);
    }
    if (settings.bundleID.trimmed().isEmpty())
        throw ToolFailure(QStringLiteral("Choose an installed app or enter its bundle ID."));
    if (settings.languages.isEmpty())
        throw ToolFailure(QStringLiteral("Choose at least one language."));
    if (settings.settlePeriod.count() < 0)
        throw ToolFailure(QStringLiteral("The settle period cannot be negative."));
    if (settings.timeout < settings.settlePeriod)
        throw ToolFailure(
            QStringLiteral("The settle time-out must be at least as long as the settle period."));
    if (settings.captureInterval.count() <= 0)
        throw ToolFailure(QStringLiteral("The capture interval must be longer than zero."));
}

} // namespace

LanguageGallery::LanguageGallery(QObject *parent)
    : QObject(parent)
    , d(std::make_shared<State>()) {}

LanguageGallery::~LanguageGallery() {
    // The device coroutines hold the run and restore their devices on their own; the
    // notifications below find no gallery any more.
    if (d->run)
        d->run->stopRequested = true;
}

bool LanguageGallery::running() const {
    return d->running;
}

int LanguageGallery::finishedCount() const {
    return d->finished;
}

int LanguageGallery::totalCount() const {
    return d->total;
}

double LanguageGallery::progress() const {
    return d->total == 0 ? 0.0 : double(d->finished) / double(d->total);
}

QString LanguageGallery::status() const {
    return d->status;
}

GallerySettings LanguageGallery::settings() const {
    return d->run ? d->run->settings : GallerySettings();
}

QList<DeviceGallery> LanguageGallery::devices() const {
    return d->run ? d->run->devices : QList<DeviceGallery>();
}

QList<GalleryShot> LanguageGallery::shots(const QString &udid) const {
    if (!d->run)
        return {};
    for (const DeviceGallery &device : std::as_const(d->run->devices)) {
        if (device.device.udid == udid)
            return device.shots;
    }
    return {};
}

GalleryResult LanguageGallery::result() const {
    GalleryResult result;
    if (!d->run)
        return result;
    result.bundleID = d->run->settings.bundleID;
    result.launchOptions = d->run->settings.launchOptions;
    result.devices = d->run->devices;
    return result;
}

QStringList LanguageGallery::restoreFailures() const {
    return d->run ? d->run->restoreFailures : QStringList();
}

LanguageGallery::Timings LanguageGallery::timings() const {
    return d->run ? Timings{d->run->toolMs, d->run->waitMs} : Timings();
}

bool LanguageGallery::wasStopped() const {
    return d->stopped;
}

void LanguageGallery::setStatus(const QString &value) {
    if (d->status == value)
        return;
    d->status = value;
    Q_EMIT statusChanged();
}

void LanguageGallery::start(GallerySettings settings) {
    if (d->running)
        throw ToolFailure(QStringLiteral("A gallery is already being taken."));
    validate(settings);

    auto run = std::make_shared<GalleryRun>();
    if (!run->folder.isValid())
        throw PlatformError(QStringLiteral("A folder for the screenshots couldn’t be created. (%1)")
                                .arg(run->folder.errorString()));
    run->settings = std::move(settings);
    for (const GalleryDevice &device : std::as_const(run->settings.devices))
        run->devices.append({device, {}});
    run->changes.resize(size_t(run->devices.size()));
    run->devicesLeft = int(run->devices.size());

    const QPointer<LanguageGallery> self(this);
    GalleryRun *raw = run.get();
    run->preparing = [self, raw](int device) {
        if (self && self->d->run.get() == raw && self->d->started == 0)
            self->setStatus(QStringLiteral("Preparing %1…")
                                .arg(raw->settings.devices.at(device).name.isEmpty()
                                         ? raw->settings.devices.at(device).udid
                                         : raw->settings.devices.at(device).name));
    };
    run->shotStarting = [self, raw](int device, int index) {
        if (self && self->d->run.get() == raw)
            self->announceStart(device, index);
    };
    run->shotTaken = [self, raw](int device, int index, const GalleryShot &shot) {
        if (self && self->d->run.get() == raw)
            self->announceShot(device, index, shot);
    };
    run->allDone = [self, raw] {
        if (self && self->d->run.get() == raw)
            self->announceEnd();
    };

    d->run = run;
    d->started = d->finished = d->failed = d->unsettled = 0;
    d->total = int(run->devices.size() * run->settings.languages.size());
    d->stopped = false;
    d->running = true;
    Q_EMIT runningChanged();
    Q_EMIT progressChanged();
    for (int device = 0; device < run->devices.size(); ++device)
        DeviceRun::run(run, device); // the coroutine frame lives until it finishes
}

QCoro::Task<> LanguageGallery::run(GallerySettings settings) {
    start(std::move(settings));
    if (d->running)
        co_await qCoro(this, &LanguageGallery::finished);
}

void LanguageGallery::stop() {
    if (!d->running || d->run->stopRequested)
        return;
    d->run->stopRequested = true;
    d->stopped = true;
    setStatus(QStringLiteral("Stopping…"));
}

QCoro::Task<> LanguageGallery::stopAndRestore() {
    stop();
    if (d->running)
        co_await qCoro(this, &LanguageGallery::finished);
}

void LanguageGallery::announceStart(int device, int index) {
    ++d->started;
    QString line = GalleryTexts::progressLine(
        d->started, d->total, d->run->settings.languages.at(index),
        d->run->settings.regionFor(d->run->settings.languages.at(index)));
    if (d->run->settings.devices.size() > 1)
        line += QStringLiteral(" on ") + d->run->settings.devices.at(device).name;
    setStatus(line);
}

void LanguageGallery::announceShot(int device, int index, const GalleryShot &shot) {
    ++d->finished;
    if (shot.error)
        ++d->failed;
    else if (!shot.settled)
        ++d->unsettled;
    Q_EMIT shotFinished(d->run->settings.devices.at(device).udid, index, shot);
    Q_EMIT progressChanged();
}

void LanguageGallery::announceEnd() {
    setStatus(GalleryTexts::summary(d->finished - d->failed - d->unsettled, d->failed, d->unsettled,
                                    d->total, d->stopped));
    d->running = false;
    Q_EMIT runningChanged();
    Q_EMIT finished();
}
