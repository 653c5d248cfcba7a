#pragma once

#include "tools/Error.h"

#include <QByteArray>
#include <QVariant>

// Property-list values as Qt variants: QVariantMap (dictionary), QVariantList (array),
// QString, qint64 (integer), double (real), bool, QDateTime (date), QByteArray (data).
namespace PropertyList {

class ParseError : public Error {
public:
    using Error::Error;
};

// Reads XML, binary and the old text form, detected from the bytes. Throws ParseError with a
// readable description (including a line number for text input); never returns a partial value.
QVariant read(const QByteArray &bytes);

} // namespace PropertyList
