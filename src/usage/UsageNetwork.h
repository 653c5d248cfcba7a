#pragma once

#include "usage/UsageConfiguration.h"
#include "usage/UsageReport.h"

#include <QCoroTask>

#include <memory>

class TaskControl;
class UsageTransport;

// The service's own HTTP session: no cookies sent or kept, no cache, no credentials (a server
// that asks for them gets none and the request fails), and each exchange bounded by the
// configured silence and total time-outs. The session itself, and the network stack behind it
// (a plugin, see UsageTransportPlugin), come into being with the first report sent, not with the
// service. Without the plugin no report is accepted: they stay queued.
class UsageNetwork {
public:
    explicit UsageNetwork(UsageConfiguration configuration);
    ~UsageNetwork();

    // Posts the report and reports whether the endpoint accepted it. Failures of every kind,
    // including cancellation through `control`, come back as false.
    QCoro::Task<bool> send(UsageReport report, TaskControl &control);

private:
    UsageTransport *transport();

    UsageConfiguration m_configuration;
    std::unique_ptr<UsageTransport> m_transport;
};
