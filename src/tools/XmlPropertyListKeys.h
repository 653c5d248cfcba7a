#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>

#include <optional>

// The keys of an XML property list's root dictionary, without building the document. The whole
// document is still checked the way PropertyListLibplist::readXml reads it, quirks included
// (what libplist 2.2 accepts, skips or refuses), so that both agree on every input: the same
// keys, or both refuse.
namespace XmlPropertyListKeys {

// None when the root is not a dictionary; throws PropertyList::ParseError where readXml does.
std::optional<QSet<QString>> read(QByteArrayView bytes);

} // namespace XmlPropertyListKeys
