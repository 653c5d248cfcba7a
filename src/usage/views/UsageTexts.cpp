#include "usage/views/UsageTexts.h"

#include "BuildSettings.h"

namespace UsageTexts {

QString recipient() {
    return QString::fromUtf8(BuildSettings::usageRecipient);
}

QString host() {
    return QString::fromUtf8(BuildSettings::usageHost);
}

} // namespace UsageTexts
