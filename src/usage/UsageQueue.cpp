#include "usage/UsageQueue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace UsageQueue {

std::optional<QByteArray> encode(const QList<PendingUsage> &queue) {
    QJsonArray array;
    for (const PendingUsage &entry : queue) {
        if (!entry.created.isValid() ||
            !std::isfinite(PendingUsage::secondsSinceReferenceDate(entry.created)))
            return std::nullopt;
        array.append(entry.toJson());
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<PendingUsage>> decode(const QByteArray &bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<PendingUsage> queue;
    const QJsonArray array = document.array();
    queue.reserve(array.size());
    for (const QJsonValue &value : array) {
        std::optional<PendingUsage> entry = PendingUsage::fromJson(value);
        if (!entry)
            return std::nullopt;
        queue.append(std::move(*entry));
    }
    return queue;
}

bool isExpired(const PendingUsage &entry, const QDateTime &now) {
    return entry.age(now) >= maximumAge;
}

QList<PendingUsage> trimmed(QList<PendingUsage> queue, const QDateTime &now) {
    queue.removeIf([&](const PendingUsage &entry) { return isExpired(entry, now); });
    if (queue.size() > maximumEntries)
        queue.remove(0, queue.size() - maximumEntries);
    return queue;
}

} // namespace UsageQueue
