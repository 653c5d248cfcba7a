#pragma once

#include "gallery/GallerySettings.h"

#include <QString>
#include <QStringList>

#include <QCoroTask>

// The clean status bar and the appearance a device wears for a gallery, and putting them back.
namespace DeviceLook {

// What has to be undone on one device.
struct Changes {
    bool statusBarOverridden = false;
    // The appearance to return to ("light" / "dark"); empty when it was not changed.
    QString previousAppearance;

    bool isEmpty() const { return !statusBarOverridden && previousAppearance.isEmpty(); }
};

// The arguments after the device that give a status bar 9:41, Wi-Fi, full bars and a charged
// battery.
QStringList cleanStatusBarArguments();

// Applies what the settings ask for, recording each change in `changes` as soon as the tool
// has made it, so that a failure halfway still leaves an exact record of what to undo.
QCoro::Task<> apply(QString udid, GallerySettings settings, Changes *changes);

// Undoes every recorded change, each step even when another fails. Returns the failures'
// texts; empty when all went well.
QCoro::Task<QStringList> restore(QString udid, DeveloperToolPaths tools, Changes changes);

} // namespace DeviceLook
