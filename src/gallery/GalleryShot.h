#pragma once

#include "gallery/GallerySettings.h"

#include <QList>
#include <QMetaType>
#include <QString>

#include <optional>

// The outcome of one language on one device.
struct GalleryShot {
    QString language; // as the app writes it: "pt-BR"
    QString region;   // the locale it was launched in: "pt_BR"
    // The captured PNG, kept by the gallery until its next run starts or it is destroyed;
    // empty when nothing was captured.
    QString imageFile;
    // Whether the screen stopped changing before the time-out; false for a kept last capture.
    bool settled = false;
    // From the launch command to the kept capture, in seconds.
    double seconds = 0;
    // Why the language failed (the tool's own message); nothing when it did not.
    std::optional<QString> error;

    bool hasImage() const { return !imageFile.isEmpty(); }
    // Neither failed nor unsettled.
    bool succeeded() const { return !error && settled && hasImage(); }
    bool operator==(const GalleryShot &other) const = default;
};

// The shots of one device, one per chosen language in the chosen order; languages not yet
// taken are absent.
struct DeviceGallery {
    GalleryDevice device;
    QList<GalleryShot> shots;

    bool operator==(const DeviceGallery &other) const = default;
};

// What a finished (or stopped) run produced, as written to a folder.
struct GalleryResult {
    QString bundleID;
    LaunchOptions launchOptions;
    QList<DeviceGallery> devices;
};

Q_DECLARE_METATYPE(GalleryShot)
