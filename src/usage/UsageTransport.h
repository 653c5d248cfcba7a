#pragma once

#include "usage/UsageConfiguration.h"

#include <QByteArray>
#include <QCoroTask>
#include <QtPlugin>

#include <memory>

class TaskControl;

// One way of posting report bodies to the statistics endpoint. The HTTP one lives in a plugin
// (see UsageTransportPlugin), so that the network stack is loaded with the first report sent,
// not with the program.
class UsageTransport {
public:
    virtual ~UsageTransport() = default;

    // Posts `body` and reports whether the endpoint accepted it. Failures of every kind,
    // including cancellation through `control`, come back as false.
    virtual QCoro::Task<bool> send(QByteArray body, TaskControl &control) = 0;
};

// What the plugin offers: a transport for a configuration.
class UsageTransportFactory {
public:
    virtual ~UsageTransportFactory() = default;

    virtual std::unique_ptr<UsageTransport> create(const UsageConfiguration &configuration) = 0;
};

#define UsageTransportFactory_iid "app.quillmarch.UsageTransportFactory/1"
Q_DECLARE_INTERFACE(UsageTransportFactory, UsageTransportFactory_iid)
