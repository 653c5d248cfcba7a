#pragma once

#include "usage/PendingUsage.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <chrono>
#include <optional>

// The persisted queue of reports, oldest first: its stored form and its limits.
namespace UsageQueue {
inline constexpr qsizetype maximumEntries = 100;
// Entries this old or older are dropped (30 days).
inline constexpr std::chrono::seconds maximumAge{2'592'000};

// The UTF-8 bytes of one compact JSON array of entries. Nothing when an entry cannot be
// written (a time outside what JSON can hold).
std::optional<QByteArray> encode(const QList<PendingUsage> &queue);
// All or nothing: malformed JSON, a top level that is not an array or any entry that does not
// decode strictly fails the whole queue.
std::optional<QList<PendingUsage>> decode(const QByteArray &bytes);

bool isExpired(const PendingUsage &entry, const QDateTime &now);
// Drops expired entries (keeping the order of the rest), then keeps the last 100.
QList<PendingUsage> trimmed(QList<PendingUsage> queue, const QDateTime &now);
} // namespace UsageQueue
