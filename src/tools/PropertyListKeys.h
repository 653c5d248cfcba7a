#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <optional>

// The keys of a property list's root dictionary, for callers that need nothing else (a string
// table's keys). Agrees with PropertyList::read on every input: the keys of the dictionary it
// returns, or the same ParseError, while building no values.
namespace PropertyListKeys {

// None when the bytes hold a property list whose root is not a dictionary.
std::optional<QSet<QString>> read(const QByteArray &bytes);

} // namespace PropertyListKeys
