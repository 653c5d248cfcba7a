#pragma once

#include <QByteArrayView>

// libplist 2.2 recurses once per nesting level while parsing binary input and while freeing a
// tree, and expands shared binary objects into copies. These checks run before libplist sees
// the bytes so that hostile input ends in a ParseError instead of a stack overflow or an
// exponential blow-up.
namespace PropertyListStructureCheck {

// Walks the binary object graph without recursion: the trailer and offset table must be in
// range, references valid, no cycles, nesting within PropertyList::maximumNesting and the
// expanded tree at most expansionLimit(size of the input) values.
void checkBinary(QByteArrayView bytes);

// Counts the nesting of <array> and <dict> elements, erring towards too deep: markup that
// libplist skips (comments, CDATA, declarations) never lowers the count.
void checkXml(QByteArrayView bytes);

inline constexpr quint64 maximumExpandedValues = 1u << 22;

// How many values a binary list of `size` bytes may expand into. Unless containers are shared,
// every value but the root needs a reference of at least one byte, so a genuine list never
// comes near 16 values per byte; shared containers (a few hundred bytes doubling a subtree at
// every level) would otherwise make a small input cost seconds and hundreds of megabytes.
quint64 expansionLimit(qsizetype size);

} // namespace PropertyListStructureCheck
