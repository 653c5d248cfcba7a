#pragma once

#include <QByteArrayView>
#include <QVariant>

// XML and binary property lists, read by libplist and turned into Qt variants.
namespace PropertyListLibplist {

// Both throw PropertyList::ParseError for input libplist cannot read, for nesting deeper than
// PropertyList::maximumNesting and for binary object graphs that are cyclic or that would
// expand into an unreasonable number of values.
QVariant readXml(QByteArrayView bytes);
QVariant readBinary(QByteArrayView bytes);

} // namespace PropertyListLibplist
