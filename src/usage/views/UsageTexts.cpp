#include "usage/views/UsageTexts.h"

#include "BuildSettings.h"

namespace UsageTexts {

QString recipient() {
    return QString::fromUtf8(BuildSettings::usageRecipient);
}

QString host() {
    return QString::fromUtf8(BuildSettings::usageHost);
}

QString buildNote() {
    if (BuildSettings::usageReportsSent)
        return QString();
    return QStringLiteral("This build is wired to the stand-in developer tools and sends its "
                          "reports nowhere.");
}

} // namespace UsageTexts
