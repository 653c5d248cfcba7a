#include "tools/ToolPaths.h"

#include "BuildSettings.h"

namespace {

QString fromEnvironment(const char *variable, const char *built) {
    const QString named = qEnvironmentVariable(variable);
    return named.isEmpty() ? QString::fromUtf8(built) : named;
}

} // namespace

namespace ToolPaths {

QString xcrun() {
    return fromEnvironment("QUILLMARCH_XCRUN", BuildSettings::xcrunPath);
}

QString open() {
    return fromEnvironment("QUILLMARCH_OPEN", BuildSettings::openPath);
}

} // namespace ToolPaths
