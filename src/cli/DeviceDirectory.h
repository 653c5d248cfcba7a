#pragma once

#include "launcher/Launcher.h"
#include "tools/DeviceList.h"

#include <QList>
#include <QString>

#include <QCoroTask>

// A simulator device as the command line shows it: the device and its runtime.
struct ListedDevice {
    SimulatorDevice device;
    QString runtime; // the runtime identifier: "com.apple.CoreSimulator.SimRuntime.iOS-18-1"

    // "iOS 18.1"; the identifier itself when it does not look like one.
    QString runtimeName() const;
};

// The simulator tool's device report, with the lookups the command line needs.
class DeviceDirectory {
public:
    // Runs "simctl list devices [available] --json" and decodes it.
    static QCoro::Task<DeviceDirectory> load(DeveloperToolPaths tools, bool availableOnly);
    explicit DeviceDirectory(DeviceList list);

    // The available devices in the order the app's device picker shows them.
    QList<ListedDevice> available() const;

    // The device a command-line argument names: the device with exactly that UDID, else the
    // one device with exactly that name. Throws CliError when none has it, and when several
    // devices share the name (listing their UDIDs).
    ListedDevice resolve(const QString &udidOrName) const;

private:
    ListedDevice listed(const SimulatorDevice &device) const;

    DeviceList m_list;
};
