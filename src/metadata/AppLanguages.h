#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The languages an application bundle declares.
namespace AppLanguages {

// The bundle's languages without duplicates, in code-point order; Base and empty names are
// dropped. Throws PlatformError when the path is not a bundle or its resources cannot be listed.
QStringList read(const QString &bundlePath);

// "German (de)": the English name of the code (the code itself when it has none), then the code.
// Codes are read as language tags ("pt-BR", "zh-Hans") or, failing that, as ICU locale
// identifiers ("pt_BR"). A code ICU cannot fully name (an unknown language, script or region,
// or a legacy folder name such as "English") has no name: "English (English)".
QString label(const QString &code);

using LabelFunction = std::function<QString(const QString &code)>;

// The codes in the order the language picker lists them: by their labels (`labelOf`), ignoring
// case, with digit runs compared as numbers, in English collation; equal labels keep their order.
QStringList sortedByLabel(const QStringList &codes, const LabelFunction &labelOf = &label);

} // namespace AppLanguages
