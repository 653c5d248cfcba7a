#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <vector>

// A JSON value that keeps its members in insertion order, printed the way Foundation's
// pretty-printing JSON writer does: two-space indentation, " : " between key and value,
// slashes escaped as "\/", empty containers spread over a blank line.
class AppleJson {
public:
    AppleJson(const QJsonValue &scalar = QJsonValue())
        : m_scalar(scalar) {}
    AppleJson(const QString &text)
        : m_scalar(text) {}
    AppleJson(bool value)
        : m_scalar(value) {}
    AppleJson(qint64 number)
        : m_scalar(number) {}
    static AppleJson object();
    static AppleJson array();

    AppleJson &insert(const QString &key, const AppleJson &value);
    AppleJson &append(const AppleJson &value);

    QByteArray pretty() const;

private:
    enum class Kind { Scalar, Object, Array };
    void write(QByteArray &out, int level) const;

    Kind m_kind = Kind::Scalar;
    QJsonValue m_scalar;
    std::vector<QString> m_keys;
    std::vector<AppleJson> m_values;
};
