#include "usage/JsonNumber.h"

#include <QVariant>

#include <cmath>

namespace JsonNumber {

std::optional<qint64> integer(const QJsonValue &value) {
    if (!value.isDouble())
        return std::nullopt;
    // The parser keeps whole numbers that fit as 64-bit integers; everything else is a double.
    const QVariant variant = value.toVariant();
    if (variant.typeId() == QMetaType::LongLong)
        return variant.toLongLong();
    const double number = value.toDouble();
    // 2^63 itself is out of range; -2^63 is the smallest value.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(number) || std::trunc(number) != number || number >= limit ||
        number < -limit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<double> real(const QJsonValue &value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace JsonNumber
