#include "TypedSettingsFormat.h"

#include <QDataStream>
#include <QIODevice>

namespace {

bool readTyped(QIODevice &device, QSettings::SettingsMap &map) {
    if (device.atEnd())
        return true;
    QDataStream stream(&device);
    stream >> map;
    return stream.status() == QDataStream::Ok;
}

bool writeTyped(QIODevice &device, const QSettings::SettingsMap &map) {
    QDataStream stream(&device);
    stream << map;
    return stream.status() == QDataStream::Ok;
}

} // namespace

QSettings::Format typedSettingsFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("typed"), readTyped, writeTyped);
    return format;
}
