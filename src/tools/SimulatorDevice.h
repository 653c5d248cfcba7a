#pragma once

#include <QMetaType>
#include <QString>

// One simulator device as the simulator tool reports it; identified by its udid.
struct SimulatorDevice {
    QString udid;
    QString name;
    QString state;
    bool isAvailable = false;

    QString id() const { return udid; }
    bool operator==(const SimulatorDevice &other) const = default;
};

Q_DECLARE_METATYPE(SimulatorDevice)
