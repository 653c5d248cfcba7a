#pragma once

// Builds real app bundles in a temporary folder for the metadata tests.

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QVariantMap>
#include <QtEndian>

namespace BundleFixture {

inline QByteArray xmlValue(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::QVariantMap: {
        QByteArray xml = "<dict>";
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            xml += "<key>" + it.key().toHtmlEscaped().toUtf8() + "</key>" + xmlValue(it.value());
        return xml + "</dict>";
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        QByteArray xml = "<array>";
        for (const QVariant &member : value.toList())
            xml += xmlValue(member);
        return xml + "</array>";
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
        return "<integer>" + QByteArray::number(value.toLongLong()) + "</integer>";
    default:
        return "<string>" + value.toString().toHtmlEscaped().toUtf8() + "</string>";
    }
}

inline QByteArray xmlPlist(const QVariant &root) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           xmlValue(root) + "</plist>\n";
}

inline bool writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray pngBytes(const QColor &color, int side = 8) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// An icns file with one 'ic07' entry holding PNG bytes, the layout current Macs write.
inline QByteArray icnsBytes(const QColor &color) {
    const QByteArray png = pngBytes(color, 128);
    const auto bigEndian = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray entry = "ic07" + bigEndian(8 + png.size()) + png;
    return "icns" + bigEndian(8 + entry.size()) + entry;
}

// Creates the entries under root: a name ending in "/" is a folder, anything else an empty file.
inline void createEntries(const QString &root, const QStringList &entries) {
    for (const QString &entry : entries) {
        if (entry.endsWith(QLatin1Char('/')))
            QDir().mkpath(root + QLatin1Char('/') + entry);
        else
            writeFile(root + QLatin1Char('/') + entry, QByteArray());
    }
}

} // namespace BundleFixture
