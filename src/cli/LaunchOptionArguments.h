#pragma once

#include "cli/CliSyntax.h"
#include "launcher/LaunchOptions.h"

namespace CliLaunchOptions {

// The launch options the --option values name; throws UsageError for a name that is none.
LaunchOptions parse(const ParsedCommandLine &arguments);

} // namespace CliLaunchOptions
