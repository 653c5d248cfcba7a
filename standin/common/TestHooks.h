#pragma once

#include <QString>
#include <QStringList>

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

// Applies the delay, then the hang hook (which never returns), then the failure hook: true when
// the command must stop with status 1 (the text has been printed already). With
// QUILLMARCH_STANDIN_FAIL_<NAME>_ONLY_WITH set, the failure hook applies only to commands that
// have an argument exactly equal to its value.
bool applyAndCheckFailure(const QString &subcommand, const QStringList &arguments = {});

// A whole number of milliseconds from the environment variable, or `fallback` when it is
// unset or not a number.
int milliseconds(const char *variable, int fallback);

} // namespace TestHooks
