#pragma once

#include "gallery/GallerySettings.h"
#include "gallery/GalleryShot.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <QCoroTask>

#include <memory>

// Takes a screenshot of an installed simulator app in each chosen language, on one or more
// devices: each device runs its languages in order, the devices at the same time. Before the
// first language a device gets the clean status bar and the chosen appearance; both are put
// back afterwards, also after a failure, a stop or the gallery's destruction. Main thread only;
// the images are compared and written on worker threads.
class LanguageGallery : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)
    // Shots finished so far (failed ones included), over all devices.
    Q_PROPERTY(int finishedCount READ finishedCount NOTIFY progressChanged)
    // Shots the run takes: devices × languages.
    Q_PROPERTY(int totalCount READ totalCount NOTIFY progressChanged)
    // finishedCount / totalCount, 0 … 1.
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    // "4 of 12 — Français (fr_FR)" while running; a summary afterwards.
    Q_PROPERTY(QString status READ status NOTIFY statusChanged)

public:
    explicit LanguageGallery(QObject *parent = nullptr);
    // A device still dressed up is restored by commands that run to their end in the background.
    ~LanguageGallery() override;

    bool running() const;
    int finishedCount() const;
    int totalCount() const;
    double progress() const;
    QString status() const;

    // The settings of the current or last run.
    GallerySettings settings() const;
    // The shots so far, per device in the settings' order.
    QList<DeviceGallery> devices() const;
    QList<GalleryShot> shots(const QString &udid) const;
    // The shots with the app and options, ready to export.
    GalleryResult result() const;

    // Starts a run and returns at once; `running` is already true. Throws ToolFailure for
    // settings that cannot run (no device, no app, no language, a time-out shorter than the
    // settle period) and when a run is going on. The previous run's shots are dropped.
    void start(GallerySettings settings);
    // start(), then waits until the run has finished and every device is restored.
    QCoro::Task<> run(GallerySettings settings);
    // Asks the run to stop: no new command is issued; the devices are restored, then
    // finished() is emitted. Nothing happens when not running.
    void stop();
    // stop(), then waits until every device is restored and no command of the run is still
    // going (for an interrupted command line). Returns at once when not running.
    QCoro::Task<> stopAndRestore();
    // Whether the last run ended by stop().
    bool wasStopped() const;
    // What could not be put back on the devices after the last run (the tools' messages).
    QStringList restoreFailures() const;

    // Where the time of the last run went, summed over its devices: waiting for the developer
    // tools, and pausing between captures. For performance figures.
    struct Timings {
        double toolMs = 0;
        double waitMs = 0;
    };
    Timings timings() const;

Q_SIGNALS:
    void runningChanged();
    void progressChanged();
    void statusChanged();
    // One language on one device is done; `index` is its position in settings().languages.
    void shotFinished(const QString &udid, int index, const GalleryShot &shot);
    // The run is over and every device is restored.
    void finished();

private:
    void setStatus(const QString &value);
    void announceStart(int device, int index);
    void announceShot(int device, int index, const GalleryShot &shot);
    void announceEnd();

    struct State;
    std::shared_ptr<State> d;
};
