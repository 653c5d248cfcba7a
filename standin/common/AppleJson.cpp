#include "AppleJson.h"

namespace {

QByteArray indent(int level) {
    return QByteArray(level * 2, ' ');
}

QByteArray quoted(const QString &text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (uchar(c) < 0x20)
                out += "\\u" + QByteArray::number(uchar(c), 16).rightJustified(4, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

QByteArray scalarText(const QJsonValue &value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? "true" : "false";
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (number == double(qint64(number)))
            return QByteArray::number(qint64(number));
        return QByteArray::number(number, 'g', 17);
    }
    case QJsonValue::String:
        return quoted(value.toString());
    default:
        return "null";
    }
}

} // namespace

AppleJson AppleJson::object() {
    AppleJson json;
    json.m_kind = Kind::Object;
    return json;
}

AppleJson AppleJson::array() {
    AppleJson json;
    json.m_kind = Kind::Array;
    return json;
}

AppleJson &AppleJson::insert(const QString &key, const AppleJson &value) {
    m_keys.push_back(key);
    m_values.push_back(value);
    return *this;
}

AppleJson &AppleJson::append(const AppleJson &value) {
    m_values.push_back(value);
    return *this;
}

QByteArray AppleJson::pretty() const {
    QByteArray out;
    write(out, 0);
    return out + '\n';
}

void AppleJson::write(QByteArray &out, int level) const {
    if (m_kind == Kind::Scalar) {
        out += scalarText(m_scalar);
        return;
    }
    const bool isObject = m_kind == Kind::Object;
    out += isObject ? "{\n" : "[\n";
    if (m_values.empty())
        out += '\n';
    for (size_t i = 0; i < m_values.size(); ++i) {
        out += indent(level + 1);
        if (isObject)
            out += quoted(m_keys[i]) + " : ";
        m_values[i].write(out, level + 1);
        if (i + 1 < m_values.size())
            out += ',';
        out += '\n';
    }
    out += indent(level) + (isObject ? "}" : "]");
}
