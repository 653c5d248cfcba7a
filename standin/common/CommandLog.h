#pragma once

#include <QString>
#include <QStringList>

// Appends one invocation to `<device set>/commands.log` as a compact JSON line
// {"tool":…,"arguments":[…]}, in a single write on an O_APPEND descriptor so that lines of
// concurrent invocations never interleave.
void appendToCommandLog(const QString &deviceSetPath, const QString &tool,
                        const QStringList &arguments);
