#include "gallery/ScreenComparison.h"

#include "gallery/PngRows.h"
#include "tools/Error.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <optional>
#include <utility>

namespace {

// The 32-bit form every image is compared in, whatever its PNG colour type.
QImage comparable(const QImage &image) {
    if (image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray readCapture(const QString &file) {
    QFile capture(file);
    if (!capture.open(QIODevice::ReadOnly)) {
        const QString name = QFileInfo(file).fileName();
        if (!capture.exists())
            throw PlatformError(QStringLiteral("The file “%1” doesn’t exist.").arg(name));
        throw PlatformError(QStringLiteral("The file “%1” couldn’t be opened. (%2)")
                                .arg(name, capture.errorString()));
    }
    return capture.readAll();
}

PlatformError notAnImage(const QString &file) {
    return PlatformError(
        QStringLiteral("The screenshot “%1” isn’t a PNG image.").arg(QFileInfo(file).fileName()));
}

// Compares the stored rows of two PNG images of the same layout. Row by row, image A is always
// unfiltered; B only where needed: while every row so far is equal in both, a stored row
// with the same bytes as A's is the same pixels, since a row's filter only refers to the row
// itself and the one before it. Nothing when the layouts differ.
std::optional<bool> compareRows(PngRows &a, PngRows &b, const QString &file) {
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    if (a.layout() != b.layout())
        return std::nullopt;
    const int band = ScreenComparison::statusBarBand(a.height());
    const qsizetype bytes = a.rowBytes();
    const int step = a.filterStep();
    QByteArray buffers[4] = {QByteArray(bytes, '\0'), QByteArray(bytes, '\0'),
                             QByteArray(bytes, '\0'), QByteArray(bytes, '\0')};
    uchar *previousA = reinterpret_cast<uchar *>(buffers[0].data());
    uchar *rawA = reinterpret_cast<uchar *>(buffers[1].data());
    uchar *previousB = reinterpret_cast<uchar *>(buffers[2].data());
    uchar *rawB = reinterpret_cast<uchar *>(buffers[3].data());
    bool equalSoFar = true; // the previous rows of A and B hold the same bytes
    for (int y = 0; y < a.height(); ++y) {
        const uchar *storedA = a.nextRow();
        const uchar *storedB = b.nextRow();
        if (!storedA || !storedB || !PngRows::unfilter(storedA, previousA, rawA, bytes, step))
            throw notAnImage(file);
        const uchar *previousOfB = equalSoFar ? previousA : previousB;
        if (y >= band && equalSoFar && std::memcmp(storedA, storedB, size_t(bytes + 1)) == 0) {
            // Same stored bytes over the same previous row: the same pixels.
        } else {
            if (!PngRows::unfilter(storedB, previousOfB, rawB, bytes, step))
                throw notAnImage(file);
            const bool equal = std::memcmp(rawA, rawB, size_t(bytes)) == 0;
            if (y >= band && !equal)
                return false;
            equalSoFar = equal;
            std::swap(previousB, rawB);
        }
        std::swap(previousA, rawA);
    }
    return true;
}

} // namespace

namespace ScreenComparison {

int statusBarBand(int height) {
    if (height <= 0)
        return 0;
    return int((qint64(height) * 6 + 99) / 100);
}

bool sameScreen(const QImage &firstSource, const QImage &secondSource) {
    if (firstSource.size() != secondSource.size() || firstSource.isNull())
        return firstSource.isNull() && secondSource.isNull();
    const QImage first = comparable(firstSource);
    const QImage second = comparable(secondSource);
    const size_t bytes = size_t(first.width()) * 4;
    for (int y = statusBarBand(first.height()); y < first.height(); ++y) {
        if (std::memcmp(first.constScanLine(y), second.constScanLine(y), bytes) != 0)
            return false;
    }
    return true;
}

bool sameScreenFiles(const QString &first, const QString &second) {
    const QByteArray firstBytes = readCapture(first);
    const QByteArray secondBytes = readCapture(second);
    PngRows firstRows(firstBytes);
    PngRows secondRows(secondBytes);
    if (!firstRows.isValid())
        throw notAnImage(first);
    if (!secondRows.isValid())
        throw notAnImage(second);
    if (firstBytes == secondBytes)
        return true;
    if (firstRows.isSupported() && secondRows.isSupported()) {
        if (const std::optional<bool> same = compareRows(firstRows, secondRows, second))
            return *same;
    }
    const QImage firstImage = QImage::fromData(firstBytes, "PNG");
    const QImage secondImage = QImage::fromData(secondBytes, "PNG");
    if (firstImage.isNull())
        throw notAnImage(first);
    if (secondImage.isNull())
        throw notAnImage(second);
    return sameScreen(firstImage, secondImage);
}

} // namespace ScreenComparison
