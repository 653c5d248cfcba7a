#include "usage/UsageStore.h"

#include <QVariant>

namespace UsageStore {
namespace {

bool keepsValueTypes(const QSettings &settings) {
    const QSettings::Format format = settings.format();
    if (format >= QSettings::CustomFormat1)
        return true;
#if defined(Q_OS_DARWIN)
    return format == QSettings::NativeFormat;
#else
    return false;
#endif
}

} // namespace

std::optional<bool> readConsent(const QSettings &settings) {
    const QVariant value = settings.value(QLatin1String(consentKey));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString && !keepsValueTypes(settings)) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

void writeConsent(QSettings &settings, bool consent) {
    settings.setValue(QLatin1String(consentKey), consent);
    // Written through at once so that a process that dies right after still remembers.
    settings.sync();
}

std::optional<QByteArray> readQueue(const QSettings &settings) {
    const QVariant value = settings.value(QLatin1String(queueKey));
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

void writeQueue(QSettings &settings, const QByteArray &bytes) {
    settings.setValue(QLatin1String(queueKey), bytes);
    settings.sync();
}

void removeQueue(QSettings &settings) {
    settings.remove(QLatin1String(queueKey));
    settings.sync();
}

} // namespace UsageStore
