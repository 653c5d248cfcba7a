#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>
#include <QString>

#include <optional>

// What one session tells the statistics endpoint: which app, which process run, and how many
// Launch clicks so far. Member names are the JSON keys.
struct UsageReport {
    QString app;
    QString session_id;
    qint64 action_count = 0;

    friend bool operator==(const UsageReport &, const UsageReport &) = default;

    QJsonObject toJson() const;
    // The request body: the report alone, as compact JSON.
    QByteArray encoded() const;
    // Strict: every key present with its exact type; an "action_count" must be a whole number
    // within the signed 64-bit range. Unknown members are ignored.
    static std::optional<UsageReport> fromJson(const QJsonValue &value);

    // A new session identifier: a random (version 4) UUID as lower-case text.
    static QString newSessionID();
};

Q_DECLARE_METATYPE(UsageReport)
