#pragma once

#include "launcher/LaunchOptions.h"

#include <QString>
#include <QStringList>

// The language and region a target app is launched in, as launch arguments.
namespace LaunchArguments {

// The language code to launch with: `language` without surrounding white space. Throws
// ToolFailure "Enter a language code such as en, de or pt-BR." unless the code is one of
// `supported` (exactly), is not empty, and holds only letters, digits, "-" and "_".
QString validatedLanguageCode(const QString &language, const QStringList &supported);

// "-AppleLanguages" "(<code>)" "-AppleLocale" "<locale>"; the locale exactly as given, even empty.
// The arguments of the chosen options follow.
QStringList build(const QString &code, const QString &locale, LaunchOptions options = {});

// "Launched in <code> (<locale>)." and, with options, "Launched in de (de_CH) with accented
// strings and bounded strings."
QString launchedStatus(const QString &code, const QString &locale, LaunchOptions options = {});

} // namespace LaunchArguments
