#pragma once

#include <QByteArray>
#include <QString>

namespace AppContainer {

// The bundle path printed by `simctl get_app_container`: the output as UTF-8, without white
// space and line breaks around it. Throws ToolFailure "Could not locate the installed app."
// when the output is not UTF-8 or holds nothing else.
QString bundlePath(const QByteArray &output);

} // namespace AppContainer
