#pragma once

#include "usage/UsageConfiguration.h"

#include <QNetworkRequest>

// The POST request that carries one report to the statistics endpoint: JSON content type, the
// reporting user agent, no cookies or cache, redirects only within the endpoint's origin (a
// redirected answer is not accepted anyway), TLS verified against the system's certificate
// authorities plus the configuration's extra ones, and a time-out after the configured silence.
namespace UsageRequest {
QNetworkRequest make(const UsageConfiguration &configuration);
}
