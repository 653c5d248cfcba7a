#pragma once

#include "BuildSettings.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <chrono>

// How the usage statistics service reaches its endpoint. Production uses `production()`; tests
// pass a local endpoint, their own certificate authority and shorter delays.
struct UsageConfiguration {
    QUrl endpoint; // empty: reports go nowhere
    // Trusted in addition to the system's certificate authorities, each in PEM form.
    QList<QByteArray> extraCertificateAuthorities;
    std::chrono::milliseconds sendDelay{3000};
    std::chrono::milliseconds retryInterval{60000};
    std::chrono::milliseconds requestTimeout{15000};  // of silence
    std::chrono::milliseconds resourceTimeout{20000}; // the whole exchange

    // A build wired to the stand-in tools has no endpoint: its reports are kept, never sent.
    static UsageConfiguration production() {
        UsageConfiguration configuration;
        if (!BuildSettings::usageReportsSent)
            return configuration;
        configuration.endpoint.setScheme(QStringLiteral("https"));
        configuration.endpoint.setHost(QString::fromUtf8(BuildSettings::usageHost));
        configuration.endpoint.setPath(QStringLiteral("/usage/receive.php"));
        return configuration;
    }
};
