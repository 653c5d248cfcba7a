#pragma once

// Real app bundles in temporary folders for the metadata tests.

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>

namespace BundleFixture {

inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray pngBytes(Qt::GlobalColor color, int side = 8) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An icns file with one 'ic07' entry holding PNG bytes, the layout current Macs write.
inline QByteArray icnsBytes(Qt::GlobalColor color) {
    const auto bigEndian = [](qsizetype value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(quint32(value), bytes.data());
        return bytes;
    };
    const QByteArray png = pngBytes(color, 128);
    const QByteArray entry = "ic07" + bigEndian(8 + png.size()) + png;
    return "icns" + bigEndian(8 + entry.size()) + entry;
}

// A name ending in "/" becomes a folder, any other an empty file.
inline void createEntries(const QString &root, const QStringList &entries) {
    for (const QString &entry : entries) {
        if (entry.endsWith(QLatin1Char('/')))
            QDir().mkpath(root + QLatin1Char('/') + entry);
        else
            writeFile(root + QLatin1Char('/') + entry, QByteArray());
    }
}

} // namespace BundleFixture
