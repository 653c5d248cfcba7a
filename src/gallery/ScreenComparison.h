#pragma once

#include <QImage>
#include <QString>

// Deciding whether two captures of a device screen show the same thing. The status bar at
// the top is left out, so a ticking clock or a changing battery level never counts as a change.
namespace ScreenComparison {

// How many rows at the top of a screen `height` pixels tall the status bar may occupy:
// 6 % of the height, rounded up (168 px on a 2796 px phone, 166 px on an iPad, with room for
// the larger bars of newer devices).
int statusBarBand(int height);

// Whether the two images show the same screen, pixel for pixel below the status bar band.
// Images of different sizes never do.
bool sameScreen(const QImage &first, const QImage &second);

// sameScreen() for two PNG captures, without decoding them to images: identical files answer
// at once; otherwise the stored rows are inflated side by side and compared, stopping at the
// first row below the band that differs. PNG kinds the row reader does not handle are decoded
// in full. Throws PlatformError when a file cannot be read or is not a PNG image. Blocks: for
// worker threads.
bool sameScreenFiles(const QString &first, const QString &second);

} // namespace ScreenComparison
