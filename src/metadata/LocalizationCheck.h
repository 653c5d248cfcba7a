#pragma once

#include "metadata/LocalizationReport.h"

#include <QString>

#include <functional>

// Checks what an application bundle says about its localizations: languages named in
// CFBundleLocalizations without a folder and folders it does not name, a development language
// without a folder, and per language the string tables it ships and the keys it lacks compared
// with the table of the same name that the app falls back to (the development language's, else
// Base's). A table or .lproj folder that cannot be read is reported, never fatal.
// Pure and thread-safe: reads the disk only.
namespace LocalizationCheck {

// Throws PlatformError when the path is not a bundle or its resources cannot be listed. Once
// `stopRequested` (asked from any thread, before each file and each megabyte read) returns
// true, throws BundleFile::ReadStopped: for a caller that no longer wants the report.
LocalizationReport run(const QString &bundlePath, const std::function<bool()> &stopRequested = {});

} // namespace LocalizationCheck
