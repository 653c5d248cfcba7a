#pragma once

#include <QString>

class UsageTransportFactory;

// Finds and loads the plugin that holds the HTTP transport. It is looked for where the program
// is installed (the bundle's PlugIns folder on macOS, the program's library folder elsewhere),
// then in the build folder, so that programs run from there find it too.
namespace UsageTransportPlugin {

// The plugin's path, without the platform's file suffix, in the installed layout around the
// folder that holds the executable.
QString installedPath(const QString &executableFolder);

// Loads the plugin at `path` (suffix optional). Null, with `error` set when given, when there is
// no such file or it is not this plugin.
UsageTransportFactory *load(const QString &path, QString *error = nullptr);

// The plugin of this program, loaded on the first call; null when it cannot be found or loaded.
// Later calls return the result of the first.
UsageTransportFactory *factory();

} // namespace UsageTransportPlugin
