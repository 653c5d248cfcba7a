#pragma once

#include "metadata/LocalizationReport.h"

#include <QString>

#include <functional>

// Checks what an application bundle says about its localizations: languages named in
// CFBundleLocalizations without a folder and folders it does not name, a development language
// without a folder, and per language the string tables it ships and the keys it lacks compared
// with the development language. A table that does not parse is reported, never fatal.
// Pure and thread-safe: reads the disk only.
namespace LocalizationCheck {

// Throws PlatformError when the path is not a bundle or its resources cannot be listed. Once
// `stopRequested` (asked from any thread) returns true, the languages not read yet are skipped
// and the report is incomplete: for a caller that no longer wants it.
LocalizationReport run(const QString &bundlePath, const std::function<bool()> &stopRequested = {});

} // namespace LocalizationCheck
