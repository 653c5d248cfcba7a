#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Deciding whether two captures of a device screen show the same thing. The status bar at
// the top is left out, so a ticking clock or a changing battery level never counts as a change.
namespace ScreenComparison {

// How many rows at the top of a screen `height` pixels tall the status bar may occupy:
// 6 % of the height, rounded up (162 px on a 2796 px phone, 48 px on an iPad, with room for
// the larger bars of newer devices).
int statusBarBand(int height);

// A compact summary of what a capture shows below the status bar: two captures with equal
// fingerprints show the same screen (up to a 64-bit hash collision).
struct Fingerprint {
    QSize size;
    quint64 hash = 0;

    bool isNull() const { return size.isEmpty(); }
    bool operator==(const Fingerprint &other) const = default;
};

Fingerprint fingerprint(const QImage &image);

// Whether the two images show the same screen, pixel for pixel below the status bar band.
// Images of different sizes never do.
bool sameScreen(const QImage &first, const QImage &second);

// Decodes a PNG capture and returns its fingerprint. Throws PlatformError when the file cannot
// be read or is not an image. Blocks: for worker threads.
Fingerprint readFingerprint(const QString &pngFile);

} // namespace ScreenComparison
