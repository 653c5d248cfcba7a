#pragma once

#include "usage/UsageConfiguration.h"
#include "usage/UsageTransport.h"

#include <QNetworkAccessManager>

// The HTTP transport: one network session with no cookie store, no cache and no credentials
// (a server that asks for them gets none and the request fails), each exchange bounded by the
// configured silence and total time-outs.
class UsageHttpTransport final : public UsageTransport {
public:
    explicit UsageHttpTransport(UsageConfiguration configuration);

    QCoro::Task<bool> send(QByteArray body, TaskControl &control) override;

private:
    UsageConfiguration m_configuration;
    QNetworkAccessManager m_manager;
};
