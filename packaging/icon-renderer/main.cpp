// Renders the app icon artwork into the files the platforms install: a macOS .icns and,
// when asked, PNGs in the sizes of the hicolor icon theme. Runs at build time:
//   quillmarch-icon-renderer <artwork.svg> <icns file> [<theme folder> <icon name>]
// writes the .icns and <theme folder>/<n>x<n>/apps/<icon name>.png.

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>
#include <QtEndian>

namespace {

// The hicolor theme's fixed sizes.
constexpr int themeSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// The entries of a macOS app icon, each a PNG: 16 to 512 points at 1x and 2x.
struct IcnsEntry {
    const char type[5];
    int pixels;
};
constexpr IcnsEntry icnsEntries[] = {
    {"icp4", 16},  {"ic11", 32},  {"icp5", 32},  {"ic12", 64},  {"ic07", 128},
    {"ic13", 256}, {"ic08", 256}, {"ic14", 512}, {"ic09", 512}, {"ic10", 1024},
};

QImage rendered(QSvgRenderer &artwork, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    artwork.render(&painter, QRectF(0, 0, pixels, pixels));
    return image;
}

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray png(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Qt's icns writer stores a single size; the system picks the entry nearest to what it draws,
// so every size is rendered from the artwork and stored as PNG data.
QByteArray icns(QSvgRenderer &artwork) {
    QByteArray entries;
    for (const IcnsEntry &entry : icnsEntries) {
        const QByteArray data = png(rendered(artwork, entry.pixels));
        entries += QByteArray(entry.type, 4) + bigEndian(quint32(data.size() + 8)) + data;
    }
    return "icns" + bigEndian(quint32(entries.size() + 8)) + entries;
}

bool write(const QImage &image, const QString &path, const QByteArray &format, QString *error) {
    if (!QDir().mkpath(QFileInfo(path).path())) {
        *error = QStringLiteral("Cannot create the folder of %1.").arg(path);
        return false;
    }
    QImageWriter writer(path, format);
    if (!writer.write(image)) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3 && arguments.size() != 5) {
        err << "usage: quillmarch-icon-renderer <artwork.svg> <icns file> "
               "[<theme folder> <icon name>]\n";
        return 2;
    }
    QSvgRenderer artwork(arguments.at(1));
    if (!artwork.isValid()) {
        err << "Cannot read the artwork " << arguments.at(1) << "\n";
        return 1;
    }
    QString error;
    QSaveFile file(arguments.at(2));
    bool written =
        file.open(QIODevice::WriteOnly) && file.write(icns(artwork)) >= 0 && file.commit();
    if (!written)
        error = QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString());
    if (arguments.size() == 5) {
        const QDir theme(arguments.at(3));
        const QString file = arguments.at(4) + QStringLiteral(".png");
        for (const int pixels : themeSizes) {
            if (!written)
                break;
            const QString folder = QStringLiteral("%1x%1/apps/").arg(pixels);
            written =
                write(rendered(artwork, pixels), theme.filePath(folder + file), "png", &error);
        }
    }
    if (!written) {
        err << error << "\n";
        return 1;
    }
    return 0;
}
