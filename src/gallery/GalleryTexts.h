#pragma once

#include <QString>

// The texts a gallery run shows about its progress.
namespace GalleryTexts {

// The language's name in the language itself, capitalised as a label: "Français",
// "Português (Brasil)", "中文（简体）"; the code when ICU cannot name it.
QString ownName(const QString &language);

// "4 of 12 — Français (fr_FR)"
QString progressLine(int number, int total, const QString &language, const QString &region);

// "Captured 12 languages.", "Captured 10 of 12 languages: 1 failed, 1 did not settle.",
// "Stopped after 4 of 12 languages."
QString summary(int succeeded, int failed, int unsettled, int total, bool stopped);

} // namespace GalleryTexts
