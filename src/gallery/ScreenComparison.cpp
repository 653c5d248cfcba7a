#include "gallery/ScreenComparison.h"

#include "tools/Error.h"

#include <QFileInfo>
#include <QImageReader>

#include <cstring>

namespace {

// The 32-bit form every capture is compared in, whatever its PNG colour type.
QImage comparable(const QImage &image) {
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Mixes one row of pixels into the hash, eight bytes at a time.
quint64 mixRow(quint64 hash, const uchar *row, qsizetype bytes) {
    constexpr quint64 multiplier = 0x9E3779B97F4A7C15ull;
    qsizetype offset = 0;
    for (; offset + 8 <= bytes; offset += 8) {
        quint64 word;
        std::memcpy(&word, row + offset, 8);
        hash = (hash ^ word) * multiplier;
        hash ^= hash >> 29;
    }
    for (; offset < bytes; ++offset)
        hash = (hash ^ row[offset]) * multiplier;
    return hash;
}

// Pixels of an opaque capture may come as RGB32 from one file and ARGB32 from another; the
// unused alpha byte of RGB32 is 0xff, as it is for opaque ARGB32 pixels, so both hash alike.
qsizetype rowBytes(const QImage &image) {
    return qsizetype(image.width()) * 4;
}

} // namespace

namespace ScreenComparison {

int statusBarBand(int height) {
    if (height <= 0)
        return 0;
    return int((qint64(height) * 6 + 99) / 100);
}

Fingerprint fingerprint(const QImage &source) {
    if (source.isNull())
        return {};
    const QImage image = comparable(source);
    quint64 hash = 0xCBF29CE484222325ull;
    const qsizetype bytes = rowBytes(image);
    for (int y = statusBarBand(image.height()); y < image.height(); ++y)
        hash = mixRow(hash, image.constScanLine(y), bytes);
    return {image.size(), hash};
}

bool sameScreen(const QImage &firstSource, const QImage &secondSource) {
    if (firstSource.size() != secondSource.size() || firstSource.isNull())
        return firstSource.isNull() && secondSource.isNull();
    const QImage first = comparable(firstSource);
    const QImage second = comparable(secondSource);
    const qsizetype bytes = rowBytes(first);
    for (int y = statusBarBand(first.height()); y < first.height(); ++y) {
        if (std::memcmp(first.constScanLine(y), second.constScanLine(y), size_t(bytes)) != 0)
            return false;
    }
    return true;
}

Fingerprint readFingerprint(const QString &pngFile) {
    QImageReader reader(pngFile, "png");
    const QImage image = reader.read();
    if (image.isNull()) {
        if (!QFileInfo::exists(pngFile))
            throw PlatformError(
                QStringLiteral("The file “%1” doesn’t exist.").arg(QFileInfo(pngFile).fileName()));
        throw PlatformError(QStringLiteral("The screenshot “%1” couldn’t be read. (%2)")
                                .arg(QFileInfo(pngFile).fileName(), reader.errorString()));
    }
    return fingerprint(image);
}

} // namespace ScreenComparison
