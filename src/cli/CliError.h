#pragma once

#include "tools/Error.h"

#include <QString>

// How the command line ends: the exit statuses scripts rely on.
namespace ExitStatus {
inline constexpr int done = 0;
inline constexpr int problemsFound = 1; // a check found problems, a gallery shot failed
inline constexpr int failure = 2;       // wrong usage, or a tool or file failed
inline constexpr int interrupted = 130; // 128 + SIGINT
} // namespace ExitStatus

// A failure of the command line itself, with a second line that says what to do about it.
class CliError : public Error {
public:
    CliError(QString message, QString hint)
        : Error(std::move(message))
        , m_hint(std::move(hint)) {}
    QString hint() const { return m_hint; }

private:
    QString m_hint;
};

// Arguments the command line does not accept: an unknown option, a missing value, a missing
// or contradictory choice.
class UsageError : public CliError {
public:
    using CliError::CliError;
};
