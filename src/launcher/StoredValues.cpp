#include "launcher/StoredValues.h"

#include <QVariant>
#include <QVariantList>

namespace StoredValues {

std::optional<bool> readBool(const QSettings &store, const QString &key) {
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

std::optional<QString> readText(const QSettings &store, const QString &key) {
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return std::nullopt;
}

std::optional<QStringList> readTextList(const QSettings &store, const QString &key) {
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList texts;
    for (const QVariant &member : value.toList()) {
        if (member.typeId() != QMetaType::QString)
            return std::nullopt;
        texts << member.toString();
    }
    return texts;
}

void writeTextList(QSettings &store, const QString &key, const QStringList &texts) {
    QVariantList members;
    members.reserve(texts.size());
    for (const QString &text : texts)
        members << QVariant(text);
    store.setValue(key, members);
}

} // namespace StoredValues
