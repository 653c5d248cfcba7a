#pragma once

#include "usage/UsageReport.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>

#include <chrono>
#include <optional>

// One entry of the persisted queue: a report and when it was queued. "created" is stored as
// seconds (with fraction) since 2001-01-01 00:00:00 UTC.
struct PendingUsage {
    UsageReport report;
    QDateTime created;

    friend bool operator==(const PendingUsage &, const PendingUsage &) = default;

    QJsonObject toJson() const;
    // Strict, like UsageReport::fromJson; "created" must be a finite number.
    static std::optional<PendingUsage> fromJson(const QJsonValue &value);

    // Age at `now`, in milliseconds (negative when created in the future).
    std::chrono::milliseconds age(const QDateTime &now) const;

    static double secondsSinceReferenceDate(const QDateTime &time);
    static QDateTime fromSecondsSinceReferenceDate(double seconds);
};

Q_DECLARE_METATYPE(PendingUsage)
