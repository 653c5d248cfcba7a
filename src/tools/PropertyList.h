#pragma once

#include "tools/Error.h"

#include <QByteArray>
#include <QVariant>

// Property-list values as Qt variants: QVariantMap (dictionary), QVariantList (array),
// QString, qint64 (integer), double (real), bool, QDateTime (date, UTC), QByteArray (data).
// An XML or binary integer above the qint64 range arrives as quint64 so that it stays exact.
namespace PropertyList {

class ParseError : public Error {
public:
    using Error::Error;

    // "The data couldn’t be read because it isn’t in the correct format.", followed by the
    // detail (such as "Unexpected character ']' at line 12.") when there is one.
    static ParseError malformed(const QString &detail = {});
};

// Reads XML, binary and the old text form, detected from the bytes. Throws ParseError with a
// readable description (including a line number for text input); never returns a partial value.
QVariant read(const QByteArray &bytes);

// The three forms, in the order read() tries them.
enum class Form { Binary, Xml, Text };

// Which reader read() hands the bytes to, and what it hands it: UTF-16 input (with a
// byte-order mark) is converted to UTF-8 into `storage` first, and a UTF-8 byte-order mark is
// dropped; `bytes` is left on what that reader gets. Throws ParseError for UTF-16 input that
// does not decode. PropertyListKeys::read decides with this too: a refusal that depends on the
// bytes alone belongs here, so that both readers make it.
Form detect(QByteArrayView &bytes, QByteArray &storage);

// Containers nested deeper than this are refused in every form.
inline constexpr int maximumNesting = 512;

} // namespace PropertyList
