#pragma once

#include <QByteArray>
#include <QUrl>

class QNetworkReply;

// What the service learns from one exchange, and whether the endpoint accepted the report.
struct UsageResponse {
    bool completed = false; // no transport error, time-out or abort
    int status = 0;
    QUrl url; // the URL the answer came from, after any redirect
    QByteArray body;

    static UsageResponse from(QNetworkReply &reply);

    // Accepted only when, in this order: the exchange completed with status 200; the answer
    // came from the endpoint itself (not after a redirect); the body is a JSON object; its
    // "accepted" member is the boolean true.
    bool isAccepted(const QUrl &endpoint) const;
};
