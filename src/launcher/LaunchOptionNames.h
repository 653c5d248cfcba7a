#pragma once

#include "launcher/LaunchOptions.h"

#include <QString>
#include <QStringList>

#include <optional>

// The short names launch options go by in files and on command lines: "double-length",
// "accented", "bounded", "right-to-left", "show-non-localized".
namespace LaunchOptionNames {

QString name(LaunchOption option);

// The option a name stands for; nothing for a name this build does not know. Exact match.
std::optional<LaunchOption> fromName(const QString &name);

// The names of the chosen options, in the order of LaunchOptionCatalog::all().
QStringList names(LaunchOptions options);

// Every name, in the order of LaunchOptionCatalog::all().
QStringList allNames();

} // namespace LaunchOptionNames
