#include "metadata/LazyImageIconEngine.h"

#include "metadata/SystemIcons.h"

#include <QImageReader>
#include <QPainter>
#include <QPixmap>

LazyImageIconEngine::LazyImageIconEngine(QString filePath)
    : m_filePath(std::move(filePath)) {}

const QIcon &LazyImageIconEngine::decoded() {
    if (!m_decoded) {
        // Every image the file holds: an .icns carries several sizes.
        QIcon icon;
        QImageReader reader(m_filePath);
        for (;;) {
            const QImage image = reader.read();
            if (image.isNull())
                break;
            icon.addPixmap(QPixmap::fromImage(image));
            if (!reader.jumpToNextImage())
                break;
        }
        m_decoded = icon.isNull() ? SystemIcons::genericApplication() : icon;
    }
    return *m_decoded;
}

void LazyImageIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                                QIcon::State state) {
    decoded().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QPixmap LazyImageIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    return decoded().pixmap(size, mode, state);
}

QPixmap LazyImageIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                                          qreal scale) {
    return decoded().pixmap(size, scale, mode, state);
}

QSize LazyImageIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    if (m_decoded)
        return m_decoded->actualSize(size, mode, state);
    // Views ask for the size of every row when laying out a list; answer from the header
    // instead of decoding, the way the decoded icon will answer: never larger than asked.
    if (!m_headerSize)
        m_headerSize = QImageReader(m_filePath).size();
    if (!m_headerSize->isValid())
        return size;
    QSize result = *m_headerSize;
    if (result.width() > size.width() || result.height() > size.height())
        result.scale(size, Qt::KeepAspectRatio);
    return result;
}

QList<QSize> LazyImageIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return decoded().availableSizes(mode, state);
}

QIconEngine *LazyImageIconEngine::clone() const {
    return new LazyImageIconEngine(*this);
}

QString LazyImageIconEngine::key() const {
    return QStringLiteral("QuillmarchLazyImage");
}
