#pragma once

// The check every property-list fuzzer applies to its input: the bytes either read as a
// property list or fail with PropertyList::ParseError; anything else (a crash, a hang, another
// exception, a sanitizer report) is a finding. A value made of strings, data, arrays and
// dictionaries is also written back in the text form, escaping every character that is not
// printable ASCII, and must read back equal.

#include "tools/PropertyList.h"

#include <QVariantList>
#include <QVariantMap>

namespace PropertyListFuzzing {

inline void writeString(const QString &text, QByteArray &out) {
    out += '"';
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '"' || u == '\\')
            out.append('\\').append(char(u));
        else if (u >= 0x20 && u < 0x7F)
            out += char(u);
        else
            out += "\\U" + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    out += '"';
}

// False when the value holds something the text form cannot express.
inline bool writeText(const QVariant &value, QByteArray &out) {
    switch (value.typeId()) {
    case QMetaType::QString:
        writeString(value.toString(), out);
        return true;
    case QMetaType::QByteArray:
        out += '<' + value.toByteArray().toHex() + '>';
        return true;
    case QMetaType::QVariantList:
        out += '(';
        for (const QVariant &item : value.toList()) {
            if (!writeText(item, out))
                return false;
            out += ',';
        }
        out += ')';
        return true;
    case QMetaType::QVariantMap: {
        out += '{';
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            writeString(it.key(), out);
            out += '=';
            if (!writeText(it.value(), out))
                return false;
            out += ';';
        }
        out += '}';
        return true;
    }
    default:
        return false;
    }
}

inline void checkRead(const QByteArray &bytes) {
    QVariant value;
    try {
        value = PropertyList::read(bytes);
    } catch (const PropertyList::ParseError &) {
        return;
    }
    if (!value.isValid())
        __builtin_trap(); // a successful read always has a value
    QByteArray text;
    if (writeText(value, text) && PropertyList::read(text) != value)
        __builtin_trap(); // the text form lost or changed something
}

} // namespace PropertyListFuzzing
