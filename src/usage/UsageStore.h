#pragma once

#include <QByteArray>
#include <QSettings>

#include <optional>

// Where the consent and the queue live in the settings store.
//
// The consent is a boolean. Stores that keep value types (the macOS property-list domain, custom
// formats registered by the application) must hold a real boolean; any other type reads as
// undecided. Text stores (INI files, the native format on Linux and Windows) keep every value
// as text, so there a boolean reads back as the text "true" or "false"; those two texts are the
// boolean and anything else is undecided. An undecided reading never rewrites the value.
namespace UsageStore {
inline constexpr char consentKey[] = "usageStatistics.consent.v1";
inline constexpr char queueKey[] = "usageStatistics.pending.v1";

std::optional<bool> readConsent(const QSettings &settings);
void writeConsent(QSettings &settings, bool consent);

// The stored queue bytes, or nothing when absent or not binary data.
std::optional<QByteArray> readQueue(const QSettings &settings);
void writeQueue(QSettings &settings, const QByteArray &bytes);
void removeQueue(QSettings &settings);
} // namespace UsageStore
