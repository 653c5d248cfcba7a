#pragma once

#include <QString>
#include <QStringList>

namespace RegionCompletions {

// Region / locale codes to offer for a language code as a bundle writes it, from ICU's list
// of available locales: "de" gives de_DE, de_AT, de_BE, de_CH, …; "pt-BR" gives pt_BR first;
// "zh-Hans" gives zh_CN, zh_SG, zh_Hans_HK, …. The bundle's own region comes first, then the
// language's most likely one, then the rest in code order. A script is written out only where
// it is not the region's usual one. Empty for a code ICU does not know.
QStringList forLanguage(const QString &code);

} // namespace RegionCompletions
