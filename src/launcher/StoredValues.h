#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <optional>

// Typed reads and writes of the launcher's remembered choices. A stored value of another type
// reads as absent. The native store on Linux is an INI file, which keeps only text: a boolean
// comes back as the text "true" or "false", a list of two or more texts as a string list, and
// a list written as a variant list of one text as that variant list. The readers accept
// exactly these forms besides the typed values an in-memory store hands back.
namespace StoredValues {

// A boolean, or the text "true" / "false" an INI file gives back for one.
std::optional<bool> readBool(const QSettings &store, const QString &key);

// A text. (An INI file gives every scalar back as text, so a number stored there reads as its
// digits; a list does not count.)
std::optional<QString> readText(const QSettings &store, const QString &key);

// A list whose members are all texts. A lone text does not count: in an INI file a plain
// text and a one-element string list look the same, which is why writeTextList never writes
// that form.
std::optional<QStringList> readTextList(const QSettings &store, const QString &key);

// Writes the texts as a variant list, which an INI file keeps as a list for every length
// (a one-element QStringList would come back as a plain text).
void writeTextList(QSettings &store, const QString &key, const QStringList &texts);

} // namespace StoredValues
