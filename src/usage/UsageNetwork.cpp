#include "usage/UsageNetwork.h"

#include "usage/TaskControl.h"
#include "usage/UsageTransport.h"
#include "usage/UsageTransportPlugin.h"

UsageNetwork::UsageNetwork(UsageConfiguration configuration)
    : m_configuration(std::move(configuration)) {}

UsageNetwork::~UsageNetwork() = default;

UsageTransport *UsageNetwork::transport() {
    if (!m_transport) {
        if (UsageTransportFactory *factory = UsageTransportPlugin::factory())
            m_transport = factory->create(m_configuration);
    }
    return m_transport.get();
}

QCoro::Task<bool> UsageNetwork::send(UsageReport report, TaskControl &control) {
    if (control.isCancelled() || m_configuration.endpoint.isEmpty())
        co_return false;
    UsageTransport *const http = transport();
    if (!http)
        co_return false;
    co_return co_await http->send(report.encoded(), control);
}
