#pragma once

#include <QString>
#include <QStringList>

// The language and region a target app is launched in, as launch arguments.
namespace LaunchArguments {

// The language code to launch with: `language` without surrounding white space. Throws
// ToolFailure "Enter a language code such as en, de or pt-BR." unless the code is one of
// `supported` (exactly), is not empty, and holds only letters, digits, "-" and "_".
QString validatedLanguageCode(const QString &language, const QStringList &supported);

// "-AppleLanguages" "(<code>)" "-AppleLocale" "<locale>"; the locale exactly as given, even empty.
QStringList build(const QString &code, const QString &locale);

// "Launched in <code> (<locale>)."
QString launchedStatus(const QString &code, const QString &locale);

} // namespace LaunchArguments
