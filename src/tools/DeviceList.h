#pragma once

#include "tools/SimulatorDevice.h"

#include <QByteArray>
#include <QList>
#include <QMap>

#include <optional>

// The simulator tool's device report: devices grouped by runtime identifier.
struct DeviceList {
    QMap<QString, QList<SimulatorDevice>> devices;

    // Decodes the JSON report strictly (wrong member types fail the whole decode; unknown
    // members are ignored). Throws Error with the decoder's description.
    static DeviceList decode(const QByteArray &json);

    QList<SimulatorDevice> flattened() const;
    // Available devices, sorted by name (NFC, code-point order), stable.
    QList<SimulatorDevice> availableDevices() const;
    // The first device with exactly this udid, across all runtimes, available or not.
    std::optional<SimulatorDevice> device(const QString &udid) const;
};
