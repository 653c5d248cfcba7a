#pragma once

#include "cli/CliConsole.h"
#include "launcher/Launcher.h"

#include <functional>

// What a subcommand works with.
struct CliContext {
    CliConsole &console;
    DeveloperToolPaths tools;
    // What an interruption (Ctrl+C) does while the subcommand runs; set by a subcommand that
    // must clean up first. Unset, the running tools are stopped and the program exits at once.
    std::function<void()> onInterrupt;
};
