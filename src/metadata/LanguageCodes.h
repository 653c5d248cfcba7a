#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Language codes as bundles write them: language tags ("pt-BR", "zh-Hans") or the older
// folder form that is an ICU locale identifier already ("pt_BR", "English").
namespace LanguageCodes {

// ICU's locale identifier for a code: a whole language tag converted, anything else as it is.
QByteArray icuLocaleID(const QString &code);

// Sorts by Unicode code points. QString's operator< compares UTF-16 units, which differs once
// a character outside the Basic Multilingual Plane meets one above U+D7FF.
void sortByCodePoints(QStringList &codes);

} // namespace LanguageCodes
