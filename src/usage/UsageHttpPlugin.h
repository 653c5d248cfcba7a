#pragma once

#include "usage/UsageTransport.h"

#include <QObject>

// The plugin that carries the HTTP transport, and with it the network stack, into the program
// when the first report is sent.
class UsageHttpPlugin : public QObject, public UsageTransportFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID UsageTransportFactory_iid)
    Q_INTERFACES(UsageTransportFactory)

public:
    std::unique_ptr<UsageTransport> create(const UsageConfiguration &configuration) override;
};
