#pragma once

#include <QFlags>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// Diagnostic launch options Foundation understands: pseudolanguages and layout checks, passed
// after the language and region arguments.
enum class LaunchOption : unsigned {
    DoubleLengthStrings = 0x01,
    AccentedStrings = 0x02,
    BoundedStrings = 0x04,
    RightToLeftLayout = 0x08,
    ShowNonLocalizedStrings = 0x10,
};
Q_DECLARE_FLAGS(LaunchOptions, LaunchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LaunchOptions)

namespace LaunchOptionCatalog {

// Every option, in the order their arguments follow one another on the command line.
QList<LaunchOption> all();

// The menu label: "Double-length strings".
QString title(LaunchOption option);

// The short name on command lines and in exported files: "double-length".
QString shortName(LaunchOption option);

// The arguments of the chosen options, in the order of all(); none for an empty set.
QStringList arguments(LaunchOptions options);

// What a status line says after the language: " with double-length strings and right-to-left
// layout"; empty for an empty set.
QString withPhrase(LaunchOptions options);

// Stable names for the settings store ("doubleLengthStrings", …), in the order of all().
// Names this build does not know are skipped when read back.
QStringList storedNames(LaunchOptions options);
LaunchOptions fromStoredNames(const QStringList &names);

} // namespace LaunchOptionCatalog

Q_DECLARE_METATYPE(LaunchOptions)
