#include "usage/UsageHttpPlugin.h"

#include "usage/UsageHttpTransport.h"

std::unique_ptr<UsageTransport> UsageHttpPlugin::create(const UsageConfiguration &configuration) {
    return std::make_unique<UsageHttpTransport>(configuration);
}
