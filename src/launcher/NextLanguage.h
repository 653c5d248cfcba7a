#pragma once

#include <QString>
#include <QStringList>

namespace NextLanguage {

// The language after `current` in `languages`, wrapping from the last to the first. The first
// language when `current` is not among them; empty when there are none.
QString after(const QStringList &languages, const QString &current);

} // namespace NextLanguage
