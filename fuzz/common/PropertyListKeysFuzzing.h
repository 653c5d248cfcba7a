#pragma once

// The differential check of the keys-only readers: PropertyListKeys::read must give exactly
// the keys of the dictionary PropertyList::read gives, say "not a dictionary" when that gives
// another value, and refuse with the same message when that refuses. A difference prints both
// outcomes and traps.

#include "tools/PropertyList.h"
#include "tools/PropertyListKeys.h"

#include <QStringList>
#include <QVariantMap>

#include <cstdio>

namespace PropertyListKeysFuzzing {

struct Outcome {
    enum Kind { Keys, NotDictionary, Refused } kind = Refused;
    QSet<QString> keys;
    QString message;

    bool operator==(const Outcome &) const = default;

    QByteArray describe() const {
        if (kind == Refused)
            return "refused: " + message.toUtf8();
        if (kind == NotDictionary)
            return "not a dictionary";
        QStringList sorted(keys.begin(), keys.end());
        sorted.sort();
        QByteArray text = "keys:";
        for (const QString &key : sorted)
            text += " [" + key.toUtf8().toPercentEncoding() + ']';
        return text;
    }
};

inline Outcome fullReader(const QByteArray &bytes) {
    Outcome outcome;
    try {
        const QVariant value = PropertyList::read(bytes);
        if (value.typeId() != QMetaType::QVariantMap) {
            outcome.kind = Outcome::NotDictionary;
            return outcome;
        }
        const QVariantMap map = value.toMap();
        for (auto key = map.keyBegin(); key != map.keyEnd(); ++key)
            outcome.keys.insert(*key);
        outcome.kind = Outcome::Keys;
    } catch (const PropertyList::ParseError &error) {
        outcome.message = error.description();
    }
    return outcome;
}

inline Outcome keysReader(const QByteArray &bytes) {
    Outcome outcome;
    try {
        const std::optional<QSet<QString>> keys = PropertyListKeys::read(bytes);
        outcome.kind = keys ? Outcome::Keys : Outcome::NotDictionary;
        if (keys)
            outcome.keys = *keys;
    } catch (const PropertyList::ParseError &error) {
        outcome.message = error.description();
    }
    return outcome;
}

inline void check(const QByteArray &bytes) {
    const Outcome full = fullReader(bytes);
    const Outcome keys = keysReader(bytes);
    if (full == keys)
        return;
    std::fprintf(stderr, "full reader: %s\nkeys reader: %s\n", full.describe().constData(),
                 keys.describe().constData());
    __builtin_trap();
}

} // namespace PropertyListKeysFuzzing
