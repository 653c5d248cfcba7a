#include "ui/PickerMatching.h"

#include "metadata/AppLanguages.h"
#include "ui/LocalizedSearch.h"

#include <algorithm>

namespace PickerMatching {

bool contains(const QString &text, const QString &needle) {
    return LocalizedSearch(needle).isIn(text);
}

QList<int> matchingApps(const QStringList &names, const QStringList &ids, const QString &query) {
    return matchingMyApps(names, ids, query.trimmed());
}

QStringList sortedLanguages(const QStringList &codes, const LabelFunction &label) {
    return AppLanguages::sortedByLabel(codes, label);
}

QStringList matchingLanguages(const QStringList &codes, const QString &query,
                              const LabelFunction &label) {
    LocalizedSearch search(query.trimmed());
    QStringList matches;
    for (const QString &code : sortedLanguages(codes, label)) {
        if (search.isIn(label(code)))
            matches.append(code);
    }
    return matches;
}

QList<int> matchingMyApps(const QStringList &names, const QStringList &ids, const QString &search) {
    LocalizedSearch needle(search);
    QList<int> matches;
    for (int index = 0; index < ids.size(); ++index) {
        if (needle.isIn(names.value(index)) || needle.isIn(ids.at(index)))
            matches.append(index);
    }
    return matches;
}

QStringList unloadedIdentifiers(const QSet<QString> &myAppIDs, const QStringList &loadedIDs,
                                const QString &search) {
    const QSet<QString> loaded(loadedIDs.cbegin(), loadedIDs.cend());
    QStringList unloaded;
    for (const QString &id : myAppIDs) {
        if (!loaded.contains(id))
            unloaded.append(id);
    }
    std::sort(unloaded.begin(), unloaded.end());
    LocalizedSearch needle(search);
    QStringList kept;
    for (const QString &id : unloaded) {
        if (needle.isIn(id))
            kept.append(id);
    }
    return kept;
}

} // namespace PickerMatching
