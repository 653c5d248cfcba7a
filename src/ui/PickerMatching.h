#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The searching and ordering rules of the app and language pickers and of the My Apps pane.
// Plain text logic, independent of any widget.
namespace PickerMatching {

using LabelFunction = std::function<QString(const QString &code)>;

// Localized, case-insensitive containment (LocalizedSearch); an empty needle is contained in
// everything.
bool contains(const QString &text, const QString &needle);

// Indexes of the apps whose name or bundle identifier contains the query, trimmed of white
// space at both ends, in the order given; all apps for a blank query.
QList<int> matchingApps(const QStringList &names, const QStringList &ids, const QString &query);

// The codes ordered by their labels: case-insensitive, digit runs compared as numbers, English
// collation, stable for equal labels.
QStringList sortedLanguages(const QStringList &codes, const LabelFunction &label);

// The sorted codes whose label contains the trimmed query; all of them for a blank query.
QStringList matchingLanguages(const QStringList &codes, const QString &query,
                              const LabelFunction &label);

// My Apps pane: the apps matching the search text as typed (not trimmed), in the order given.
QList<int> matchingMyApps(const QStringList &names, const QStringList &ids, const QString &search);

// My Apps pane: members of My Apps that are not loaded, sorted by plain text comparison, kept
// when the search text is empty or contained in them.
QStringList unloadedIdentifiers(const QSet<QString> &myAppIDs, const QStringList &loadedIDs,
                                const QString &search);

} // namespace PickerMatching
