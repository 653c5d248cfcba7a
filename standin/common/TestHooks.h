#pragma once

#include <QString>

// Environment hooks that let tests slow a command down or make it fail:
// QUILLMARCH_STANDIN_DELAY_MS_<NAME> sleeps that many milliseconds, and
// QUILLMARCH_STANDIN_FAIL_<NAME> makes the command print the value to standard error and
// exit 1. <NAME> is the subcommand upper-cased, with "-" as "_" (GET_APP_CONTAINER, OPEN).
// QUILLMARCH_STANDIN_HANG_<NAME> makes the command never answer, as a tool waiting for a
// device or a service does: it prints QUILLMARCH_STANDIN_HANG_OUTPUT (when set) to standard
// error, starts a child that waits as well, writes "<own pid> <child pid>" to the file the
// variable names (when not empty), and waits until it is killed.
namespace TestHooks {

QString hookName(const QString &subcommand);

// Applies the delay, then the hang hook (which never returns), then the failure hook: true when the
// command must stop with status 1 (the text has been printed already).
bool applyAndCheckFailure(const QString &subcommand);

} // namespace TestHooks
