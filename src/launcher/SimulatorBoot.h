#pragma once

#include "launcher/Launcher.h"

#include <QString>

#include <QCoroTask>

// Bringing one simulator device up outside the launcher model, with the same steps the
// launcher's own boot takes: list every device, boot it unless it is "Booted", wait with
// "bootstatus" "-b", then bring the Simulator application forward on it.
namespace SimulatorBoot {

// Throws ToolFailure "Choose a simulator first." for an empty udid, or the failing tool's error.
QCoro::Task<> bootIfNeeded(QString udid, DeveloperToolPaths tools);

} // namespace SimulatorBoot
