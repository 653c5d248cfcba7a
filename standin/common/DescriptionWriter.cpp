#include "DescriptionWriter.h"

#include <QDateTime>
#include <QTimeZone>

namespace {

QByteArray indent(int level) {
    return QByteArray(level * 4, ' ');
}

bool needsQuotes(const QString &text) {
    if (text.isEmpty())
        return true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool plain =
            (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
        if (!plain)
            return true;
    }
    return false;
}

QByteArray hexData(const QByteArray &bytes) {
    QByteArray out = "<";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            out += ' ';
        out += QByteArray(1, bytes.at(i)).toHex();
    }
    return out + '>';
}

// Containers start with their own indentation, as Foundation prints them: a dictionary value
// reads `key =     {`, and an array of dictionaries is indented twice.
QByteArray describeAt(const QVariant &value, int level) {
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        QByteArray out = indent(level) + "{\n";
        for (auto it = map.begin(); it != map.end(); ++it) {
            out += indent(level + 1) + DescriptionWriter::quoted(it.key()) + " = " +
                   describeAt(it.value(), level + 1) + ";\n";
        }
        return out + indent(level) + "}";
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        const QVariantList list = value.toList();
        QByteArray out = indent(level) + "(\n";
        for (qsizetype i = 0; i < list.size(); ++i) {
            out += indent(level + 1) + describeAt(list.at(i), level + 1);
            out += i + 1 < list.size() ? ",\n" : "\n";
        }
        return out + indent(level) + ")";
    }
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString().toUtf8();
    case QMetaType::QByteArray:
        return hexData(value.toByteArray());
    case QMetaType::QDateTime:
        return value.toDateTime()
            .toTimeZone(QTimeZone::utc())
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"))
            .toUtf8();
    default:
        return DescriptionWriter::quoted(value.toString());
    }
}

} // namespace

namespace DescriptionWriter {

QByteArray quoted(const QString &text) {
    if (!needsQuotes(text))
        return text.toLatin1();
    QByteArray out = "\"";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (u >= 0x20 && u < 0x7f)
                out += char(u);
            else
                out += "\\U" + QByteArray::number(uint(u), 16).rightJustified(4, '0');
        }
    }
    return out + '"';
}

QByteArray describe(const QVariant &value) {
    return describeAt(value, 0) + '\n';
}

} // namespace DescriptionWriter
