#pragma once

#include <QByteArray>
#include <QVariant>

// Conversions between libplist nodes and Qt variants (QVariantMap, QVariantList, QString,
// qint64, double, bool, QDateTime, QByteArray), for reading and writing Info.plist files.
namespace PropertyListValue {

// Reads an XML or binary property list; an invalid QVariant when the bytes are neither.
QVariant fromBytes(const QByteArray &bytes);

QByteArray toXml(const QVariant &value);
QByteArray toBinary(const QVariant &value);

} // namespace PropertyListValue
