#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>

#include <optional>

// The keys of a binary property list's root dictionary, read from the key objects alone. Every
// object the full reader would parse is still checked the way PropertyListLibplist::readBinary
// reads it (the structure check first, then what libplist 2.2 refuses), but nothing is built,
// so that both agree on every input: the same keys, or both refuse.
namespace BinaryPropertyListKeys {

// None when the root is not a dictionary; throws PropertyList::ParseError where readBinary does.
std::optional<QSet<QString>> read(QByteArrayView bytes);

} // namespace BinaryPropertyListKeys
