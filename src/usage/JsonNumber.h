#pragma once

#include <QJsonValue>

#include <optional>

// Reading JSON numbers without the silent conversions of QJsonValue::toInteger/toDouble.
namespace JsonNumber {
// A number that is a whole value within the signed 64-bit range; anything else (a fraction,
// a string, a value too large) is nothing.
std::optional<qint64> integer(const QJsonValue &value);
// A finite number.
std::optional<double> real(const QJsonValue &value);
} // namespace JsonNumber
