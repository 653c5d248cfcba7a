#include "usage/PendingUsage.h"

#include "usage/JsonNumber.h"

#include <QTimeZone>

#include <cmath>

namespace {
const QString reportKey = QStringLiteral("report");
const QString createdKey = QStringLiteral("created");

// 2001-01-01 00:00:00 UTC in Unix milliseconds.
constexpr qint64 referenceDateMs = 978307200000;
} // namespace

QJsonObject PendingUsage::toJson() const {
    QJsonObject object;
    object.insert(reportKey, report.toJson());
    object.insert(createdKey, secondsSinceReferenceDate(created));
    return object;
}

std::optional<PendingUsage> PendingUsage::fromJson(const QJsonValue &value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const std::optional<UsageReport> report = UsageReport::fromJson(object.value(reportKey));
    const std::optional<double> created = JsonNumber::real(object.value(createdKey));
    if (!report || !created)
        return std::nullopt;
    const QDateTime time = fromSecondsSinceReferenceDate(*created);
    if (!time.isValid())
        return std::nullopt;
    return PendingUsage{*report, time};
}

std::chrono::milliseconds PendingUsage::age(const QDateTime &now) const {
    return std::chrono::milliseconds(created.msecsTo(now));
}

double PendingUsage::secondsSinceReferenceDate(const QDateTime &time) {
    return double(time.toMSecsSinceEpoch() - referenceDateMs) / 1000.0;
}

QDateTime PendingUsage::fromSecondsSinceReferenceDate(double seconds) {
    // Far outside any plausible time (and beyond what QDateTime holds): not a time at all.
    constexpr double limitSeconds = 1e13;
    if (!std::isfinite(seconds) || std::fabs(seconds) > limitSeconds)
        return {};
    const auto ms = static_cast<qint64>(std::llround(seconds * 1000.0));
    return QDateTime::fromMSecsSinceEpoch(referenceDateMs + ms, QTimeZone::utc());
}
