#include "launcher/NextLanguage.h"

namespace NextLanguage {

QString after(const QStringList &languages, const QString &current) {
    if (languages.isEmpty())
        return {};
    const qsizetype index = languages.indexOf(current); // -1 gives the first language
    return languages.at((index + 1) % languages.size());
}

} // namespace NextLanguage
