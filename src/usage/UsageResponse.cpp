#include "usage/UsageResponse.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkReply>

UsageResponse UsageResponse::from(QNetworkReply &reply) {
    UsageResponse response;
    response.completed = reply.error() == QNetworkReply::NoError;
    response.status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    response.url = reply.url();
    // An aborted reply is closed; reading it would only print a warning.
    if (reply.isReadable())
        response.body = reply.readAll();
    return response;
}

bool UsageResponse::isAccepted(const QUrl &endpoint) const {
    if (!completed || status != 200)
        return false;
    if (url != endpoint)
        return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonValue accepted = document.object().value(QLatin1String("accepted"));
    return accepted.isBool() && accepted.toBool();
}
