#pragma once

#include "cli/CliContext.h"
#include "cli/CliSyntax.h"

#include <QCoroTask>

// The subcommands. Each returns its exit status and throws for a failure (exit status 2).
namespace Subcommands {

QCoro::Task<int> devices(ParsedCommandLine arguments, CliContext &context);
QCoro::Task<int> apps(ParsedCommandLine arguments, CliContext &context);
QCoro::Task<int> languages(ParsedCommandLine arguments, CliContext &context);
QCoro::Task<int> launch(ParsedCommandLine arguments, CliContext &context);
QCoro::Task<int> check(ParsedCommandLine arguments, CliContext &context);
QCoro::Task<int> gallery(ParsedCommandLine arguments, CliContext &context);

} // namespace Subcommands
