#include "LaunchLook.h"

#include <QHash>

namespace {

bool yes(const QStringList &arguments, const char *name) {
    const qsizetype at = arguments.indexOf(QLatin1String(name));
    if (at < 0 || at + 1 >= arguments.size())
        return false;
    const QString value = arguments.at(at + 1);
    return value.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0 ||
           value == QLatin1String("1") ||
           value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString accentedText(const QString &text) {
    static const QHash<QChar, QChar> marks = [] {
        QHash<QChar, QChar> table;
        const QString plain = QStringLiteral("aceinouyAEINOUCY");
        const QString marked = QString::fromUtf8("åçéîñöüýÅÉÎÑÖÜÇÝ");
        for (qsizetype i = 0; i < plain.size(); ++i)
            table.insert(plain.at(i), marked.at(i));
        return table;
    }();
    QString out = text;
    for (QChar &character : out)
        character = marks.value(character, character);
    return out;
}

} // namespace

LaunchLook LaunchLook::fromArguments(const QStringList &arguments) {
    LaunchLook look;
    const qsizetype languages = arguments.indexOf(QLatin1String("-AppleLanguages"));
    if (languages >= 0 && languages + 1 < arguments.size()) {
        QString list = arguments.at(languages + 1).trimmed();
        if (list.startsWith(QLatin1Char('(')))
            list = list.mid(1);
        if (list.endsWith(QLatin1Char(')')))
            list.chop(1);
        look.language = list.section(QLatin1Char(','), 0, 0).trimmed().remove(QLatin1Char('"'));
    }
    const qsizetype locale = arguments.indexOf(QLatin1String("-AppleLocale"));
    if (locale >= 0 && locale + 1 < arguments.size())
        look.locale = arguments.at(locale + 1);
    look.doubleLength = yes(arguments, "-NSDoubleLocalizedStrings");
    look.accented = yes(arguments, "-NSAccentuateLocalizedStrings");
    look.bounded = yes(arguments, "-NSSurroundLocalizedStrings");
    look.forcedRightToLeft = yes(arguments, "-NSForceRightToLeftWritingDirection") ||
                             yes(arguments, "-AppleTextDirection");
    look.showNonLocalized = yes(arguments, "-NSShowNonLocalizedStrings");
    return look;
}

bool LaunchLook::rightToLeft() const {
    static const QStringList scripts = {
        QStringLiteral("ar"), QStringLiteral("he"), QStringLiteral("iw"), QStringLiteral("fa"),
        QStringLiteral("ur"), QStringLiteral("yi"), QStringLiteral("ps"), QStringLiteral("ckb"),
        QStringLiteral("dv"), QStringLiteral("ug"), QStringLiteral("sd")};
    const QString bare = language.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    return forcedRightToLeft || scripts.contains(bare);
}

QString LaunchLook::apply(const QString &source, bool localized) const {
    QString text = source;
    if (showNonLocalized && !localized)
        text = text.toUpper();
    if (accented)
        text = accentedText(text);
    if (doubleLength)
        text = text + QLatin1Char(' ') + text;
    if (bounded)
        text = QStringLiteral("[# ") + text + QStringLiteral(" #]");
    return text;
}
