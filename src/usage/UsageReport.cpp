#include "usage/UsageReport.h"

#include "usage/JsonNumber.h"

#include <QJsonDocument>
#include <QUuid>

namespace {
const QString appKey = QStringLiteral("app");
const QString sessionKey = QStringLiteral("session_id");
const QString countKey = QStringLiteral("action_count");
} // namespace

QJsonObject UsageReport::toJson() const {
    QJsonObject object;
    object.insert(appKey, app);
    object.insert(sessionKey, session_id);
    object.insert(countKey, action_count);
    return object;
}

QByteArray UsageReport::encoded() const {
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<UsageReport> UsageReport::fromJson(const QJsonValue &value) {
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue app = object.value(appKey);
    const QJsonValue session = object.value(sessionKey);
    if (!app.isString() || !session.isString())
        return std::nullopt;
    const std::optional<qint64> count = JsonNumber::integer(object.value(countKey));
    if (!count)
        return std::nullopt;
    return UsageReport{app.toString(), session.toString(), *count};
}

QString UsageReport::newSessionID() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}
