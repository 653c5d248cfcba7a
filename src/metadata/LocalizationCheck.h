#pragma once

#include "metadata/LocalizationReport.h"

#include <QString>

// Checks what an application bundle says about its localizations: languages named in
// CFBundleLocalizations without a folder and folders it does not name, a development language
// without a folder, and per language the string tables it ships and the keys it lacks compared
// with the development language. A table that does not parse is reported, never fatal.
// Pure and thread-safe: reads the disk only.
namespace LocalizationCheck {

// Throws PlatformError when the path is not a bundle or its resources cannot be listed.
LocalizationReport run(const QString &bundlePath);

} // namespace LocalizationCheck
