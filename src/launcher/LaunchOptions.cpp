#include "launcher/LaunchOptions.h"

namespace {

struct Entry {
    LaunchOption option;
    const char *title;
    const char *phrase; // lower case, read after "with"
    const char *storedName;
    const char *shortName; // on command lines and in exported files
    QStringList arguments;
};

const QList<Entry> &entries() {
    static const QList<Entry> table{
        {LaunchOption::DoubleLengthStrings,
         "Double-length strings",
         "double-length strings",
         "doubleLengthStrings",
         "double-length",
         {"-NSDoubleLocalizedStrings", "YES"}},
        {LaunchOption::AccentedStrings,
         "Accented strings",
         "accented strings",
         "accentedStrings",
         "accented",
         {"-NSAccentuateLocalizedStrings", "YES"}},
        {LaunchOption::BoundedStrings,
         "Bounded strings",
         "bounded strings",
         "boundedStrings",
         "bounded",
         {"-NSSurroundLocalizedStrings", "YES"}},
        {LaunchOption::RightToLeftLayout,
         "Right-to-left layout",
         "right-to-left layout",
         "rightToLeftLayout",
         "right-to-left",
         {"-AppleTextDirection", "YES", "-NSForceRightToLeftWritingDirection", "YES"}},
        {LaunchOption::ShowNonLocalizedStrings,
         "Show non-localized strings",
         "non-localized strings shown",
         "showNonLocalizedStrings",
         "show-non-localized",
         {"-NSShowNonLocalizedStrings", "YES"}},
    };
    return table;
}

const Entry &entry(LaunchOption option) {
    for (const Entry &candidate : entries()) {
        if (candidate.option == option)
            return candidate;
    }
    return entries().first(); // unreachable: the table lists every option
}

} // namespace

namespace LaunchOptionCatalog {

QList<LaunchOption> all() {
    QList<LaunchOption> options;
    for (const Entry &candidate : entries())
        options << candidate.option;
    return options;
}

QString title(LaunchOption option) {
    return QString::fromUtf8(entry(option).title);
}

QString shortName(LaunchOption option) {
    return QString::fromUtf8(entry(option).shortName);
}

QStringList arguments(LaunchOptions options) {
    QStringList result;
    for (const Entry &candidate : entries()) {
        if (options.testFlag(candidate.option))
            result << candidate.arguments;
    }
    return result;
}

QString withPhrase(LaunchOptions options) {
    QStringList phrases;
    for (const Entry &candidate : entries()) {
        if (options.testFlag(candidate.option))
            phrases << QString::fromUtf8(candidate.phrase);
    }
    if (phrases.isEmpty())
        return {};
    const QString last = phrases.takeLast();
    return QStringLiteral(" with ") + (phrases.isEmpty() ? last
                                                         : phrases.join(QStringLiteral(", ")) +
                                                               QStringLiteral(" and ") + last);
}

QStringList storedNames(LaunchOptions options) {
    QStringList names;
    for (const Entry &candidate : entries()) {
        if (options.testFlag(candidate.option))
            names << QString::fromLatin1(candidate.storedName);
    }
    return names;
}

LaunchOptions fromStoredNames(const QStringList &names) {
    LaunchOptions options;
    for (const Entry &candidate : entries()) {
        if (names.contains(QLatin1String(candidate.storedName)))
            options |= candidate.option;
    }
    return options;
}

} // namespace LaunchOptionCatalog
