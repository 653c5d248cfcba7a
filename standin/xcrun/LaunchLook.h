#pragma once

#include <QString>
#include <QStringList>

// What the launch arguments of an app ask of its texts and layout: the language from
// -AppleLanguages, the pseudolanguage options and the writing direction.
struct LaunchLook {
    QString language;
    QString locale;
    bool doubleLength = false;
    bool accented = false;
    bool bounded = false;
    bool forcedRightToLeft = false;
    bool showNonLocalized = false;

    static LaunchLook fromArguments(const QStringList &arguments);

    // Whether the layout is mirrored: a right-to-left language, or the forced direction.
    bool rightToLeft() const;
    // A text as the options change it; `localized` false marks a development-language stand-in.
    QString apply(const QString &text, bool localized) const;
};
