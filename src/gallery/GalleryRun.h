#pragma once

// One run of a language gallery: its settings, its working folder, the shots so far and what
// each device needs restored. Shared by the gallery and the coroutines that drive the devices,
// so that a run outlives a gallery destroyed in its middle and still restores its devices.
#include "gallery/DeviceLook.h"
#include "gallery/GallerySettings.h"
#include "gallery/GalleryShot.h"

#include <QCoroTask>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

struct GalleryRun {
    GallerySettings settings;
    QTemporaryDir folder;
    QList<DeviceGallery> devices;             // one per settings.devices, shots appended
    std::vector<DeviceLook::Changes> changes; // one per device; never resized during a run
    QStringList restoreFailures;
    bool stopRequested = false;
    int devicesLeft = 0;
    double toolMs = 0; // waiting for the developer tools, summed over the devices
    double waitMs = 0; // pausing between captures, summed over the devices

    // Told on the main thread; each must do nothing once its receiver is gone.
    std::function<void(int device)> preparing;
    std::function<void(int device, int index)> shotStarting;
    std::function<void(int device, int index, const GalleryShot &shot)> shotTaken;
    std::function<void()> allDone;

    // Where the captures of one device go while it runs.
    QString deviceFolder(int device) const;
};

namespace DeviceRun {

// Boots the device when needed, dresses it, takes its languages in order, then restores it.
// Never throws; failures end up in the shots and in restoreFailures.
QCoro::Task<> run(std::shared_ptr<GalleryRun> run, int device);

} // namespace DeviceRun
