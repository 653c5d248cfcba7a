#include "tools/PropertyList.h"

#include "tools/PropertyListLibplist.h"
#include "tools/TextPropertyListParser.h"

#include <QStringDecoder>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// XML starts (after white space) with a declaration, a comment, a DOCTYPE or the plist
// element; text-form data starts with '<' too, but never with these.
bool looksLikeXml(QByteArrayView bytes) {
    qsizetype i = 0;
    while (i < bytes.size() && isSpace(bytes[i]))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("<?") || rest.startsWith("<!") || rest.startsWith("<plist");
}

// Text in UTF-16 without a byte-order mark: a NUL in one of the first two bytes, which no text
// in a single-byte form starts with. Its byte order is a guess, so it is refused.
bool looksLikeUtf16WithoutMark(QByteArrayView bytes) {
    return bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
}

} // namespace

PropertyList::ParseError PropertyList::ParseError::malformed(const QString &detail) {
    QString description =
        QStringLiteral("The data couldn’t be read because it isn’t in the correct format.");
    if (!detail.isEmpty())
        description += QLatin1Char(' ') + detail;
    return ParseError(description);
}

PropertyList::Form PropertyList::detect(QByteArrayView &bytes, QByteArray &storage) {
    while (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // UTF-16 with a byte-order mark, as strings files often are: read it as UTF-8.
        QStringDecoder decoder(QStringConverter::Utf16);
        const QString text = decoder.decode(bytes);
        if (decoder.hasError())
            throw ParseError::malformed();
        storage = text.toUtf8();
        bytes = storage;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (bytes.startsWith("bplist"))
        return Form::Binary;
    if (looksLikeXml(bytes))
        return Form::Xml;
    if (looksLikeUtf16WithoutMark(bytes))
        throw ParseError::malformed(QStringLiteral(
            "The text is UTF-16 without a byte-order mark, so its byte order is unknown; save it "
            "as UTF-8, or as UTF-16 with a byte-order mark."));
    return Form::Text;
}

QVariant PropertyList::read(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    QByteArray converted;
    switch (detect(view, converted)) {
    case Form::Binary:
        return PropertyListLibplist::readBinary(view);
    case Form::Xml:
        return PropertyListLibplist::readXml(view);
    case Form::Text:
        break;
    }
    return TextPropertyList::parse(view);
}
