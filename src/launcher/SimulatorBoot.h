#pragma once

#include "launcher/Launcher.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <QCoroTask>

#include <functional>

// Bringing one simulator device up: list every device, boot it unless it is "Booted", wait with
// "bootstatus" "-b", then bring the Simulator application forward on it. The launcher's own
// boot and the work outside it (the gallery, the command line) take exactly these steps.
namespace SimulatorBoot {

// Runs one command line of `executable` and returns its output.
using ToolRunner = std::function<QCoro::Task<QByteArray>(QStringList, QString)>;

// `device` is asked again before each command, so each command names the device chosen at the
// moment it is issued. Throws ToolFailure "Choose a simulator first." when it is empty, or the
// failing tool's error.
QCoro::Task<> boot(std::function<QString()> device, DeveloperToolPaths tools, ToolRunner run);

// boot() of one device with each command under its usual deadline.
QCoro::Task<> bootIfNeeded(QString udid, DeveloperToolPaths tools);

} // namespace SimulatorBoot
