#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <QVariant>

#include <optional>

namespace TextPropertyList {

// Parses the old text form (what Foundation's description writer prints) from UTF-8 bytes
// without a byte-order mark. Values are strings, data, arrays and dictionaries; an empty
// document is an empty dictionary and bare `key = value;` pairs form a dictionary.
// Throws PropertyList::ParseError naming the line of the first syntax error.
QVariant parse(QByteArrayView utf8);

// The keys of the root dictionary, checked exactly as parse() checks them (same refusals, same
// messages) without building any value; none when the root is something else.
std::optional<QSet<QString>> topLevelKeys(QByteArrayView utf8);

} // namespace TextPropertyList
