#pragma once

#include <QString>

// Where the developer tools are: the paths the program was built with, unless the environment
// names others (QUILLMARCH_XCRUN, QUILLMARCH_OPEN), for a machine whose tools live elsewhere.
// An empty variable counts as unset.
namespace ToolPaths {

QString xcrun();
QString open();

} // namespace ToolPaths
