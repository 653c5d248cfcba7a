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

QVariant PropertyList::read(const QByteArray &bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xFF\xFE") || view.startsWith("\xFE\xFF")) {
        // UTF-16 with a byte-order mark, as strings files often are: read it as UTF-8.
        QStringDecoder decoder(QStringConverter::Utf16);
        const QString text = decoder.decode(view);
        if (decoder.hasError())
            throw ParseError::malformed();
        return read(text.toUtf8());
    }
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    if (view.startsWith("bplist"))
        return PropertyListLibplist::readBinary(view);
    if (looksLikeXml(view))
        return PropertyListLibplist::readXml(view);
    if (looksLikeUtf16WithoutMark(view))
        throw ParseError::malformed(QStringLiteral(
            "The text is UTF-16 without a byte-order mark, so its byte order is unknown; save it "
            "as UTF-8, or as UTF-16 with a byte-order mark."));
    return TextPropertyList::parse(view);
}
