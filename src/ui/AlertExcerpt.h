#pragma once

#include <QString>

// What an alert shows of a failure's text: the text itself when it is short, otherwise its
// first lines, at most 20 of them and 2,000 characters, cut at a line end and followed by a
// line holding "…". The whole text belongs in the alert's details.
namespace AlertExcerpt {

inline constexpr int maximumLines = 20;
inline constexpr int maximumCharacters = 2000;

QString of(const QString &text);

} // namespace AlertExcerpt
