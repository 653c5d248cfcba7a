#include "launcher/LaunchArguments.h"

#include "tools/Error.h"

#include <QStringView>

namespace {

bool isCodeCharacter(char32_t c) {
    return c == U'-' || c == U'_' || QChar::isLetterOrNumber(c);
}

bool holdsOnlyCodeCharacters(const QString &code) {
    const QList<uint> points = code.toUcs4();
    return std::all_of(points.begin(), points.end(),
                       [](uint c) { return isCodeCharacter(char32_t(c)); });
}

} // namespace

namespace LaunchArguments {

QString validatedLanguageCode(const QString &language, const QStringList &supported) {
    const QString code = language.trimmed();
    if (!supported.contains(code) || code.isEmpty() || !holdsOnlyCodeCharacters(code))
        throw ToolFailure(QStringLiteral("Enter a language code such as en, de or pt-BR."));
    return code;
}

QStringList build(const QString &code, const QString &locale, LaunchOptions options) {
    return QStringList{QStringLiteral("-AppleLanguages"),
                       QLatin1Char('(') + code + QLatin1Char(')'), QStringLiteral("-AppleLocale"),
                       locale} +
           LaunchOptionCatalog::arguments(options);
}

QString launchedStatus(const QString &code, const QString &locale, LaunchOptions options) {
    return QStringLiteral("Launched in ") + code + QStringLiteral(" (") + locale +
           QLatin1Char(')') + LaunchOptionCatalog::withPhrase(options) + QLatin1Char('.');
}

} // namespace LaunchArguments
