#include "ui/AlertExcerpt.h"

namespace AlertExcerpt {

QString of(const QString &text) {
    // The end of the 20th line, if the text has more.
    qsizetype end = -1;
    for (int line = 0; line < maximumLines; ++line) {
        end = text.indexOf(QLatin1Char('\n'), end + 1);
        if (end < 0)
            break;
    }
    const bool manyLines = end >= 0 && end + 1 < text.size();
    if (!manyLines && text.size() <= maximumCharacters)
        return text;

    qsizetype cut = manyLines ? end : text.size();
    if (cut > maximumCharacters) {
        // The last line end that fits; a single overlong line is cut where it must be.
        const qsizetype lineEnd = text.lastIndexOf(QLatin1Char('\n'), maximumCharacters - 1);
        cut = lineEnd > 0 ? lineEnd : maximumCharacters;
        if (cut == maximumCharacters && text.at(cut - 1).isHighSurrogate())
            --cut;
    }
    QString excerpt = text.left(cut);
    while (excerpt.endsWith(QLatin1Char('\n')) || excerpt.endsWith(QLatin1Char('\r')))
        excerpt.chop(1);
    return excerpt + QStringLiteral("\n…");
}

} // namespace AlertExcerpt
