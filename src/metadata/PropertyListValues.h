#pragma once

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

// Typed access to property-list values read into variants: a value of another type reads as
// absent, never converted.
namespace PropertyListValues {

inline std::optional<QString> string(const QVariant &value) {
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

// The strings of an array whose members are all strings; absent for anything else.
inline std::optional<QStringList> stringArray(const QVariant &value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList strings;
    for (const QVariant &member : value.toList()) {
        if (member.typeId() != QMetaType::QString)
            return std::nullopt;
        strings.append(member.toString());
    }
    return strings;
}

inline std::optional<QVariantMap> dictionary(const QVariant &value) {
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value.toMap();
}

} // namespace PropertyListValues
