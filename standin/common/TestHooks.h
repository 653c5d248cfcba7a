#pragma once

#include <QString>

// Environment hooks that let tests slow a command down or make it fail:
// QUILLMARCH_STANDIN_DELAY_MS_<NAME> sleeps that many milliseconds, and
// QUILLMARCH_STANDIN_FAIL_<NAME> makes the command print the value to standard error and
// exit 1. <NAME> is the subcommand upper-cased, with "-" as "_" (GET_APP_CONTAINER, OPEN).
namespace TestHooks {

QString hookName(const QString &subcommand);

// Applies the delay, then the failure hook: true when the command must stop with status 1
// (the text has been printed already).
bool applyAndCheckFailure(const QString &subcommand);

} // namespace TestHooks
