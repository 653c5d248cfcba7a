#include "metadata/LazyImageIconEngine.h"

#include "metadata/SystemIcons.h"

#include <QImageReader>
#include <QPixmap>

namespace {

// Every image the file holds: an .icns carries several sizes.
QIcon decodedIcon(const QString &filePath) {
    QIcon icon;
    QImageReader reader(filePath);
    for (;;) {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        icon.addPixmap(QPixmap::fromImage(image));
        if (!reader.jumpToNextImage())
            break;
    }
    return icon.isNull() ? SystemIcons::genericApplication() : icon;
}

} // namespace

LazyImageIconEngine::LazyImageIconEngine(QString filePath)
    : DeferredIconEngine([filePath] { return decodedIcon(filePath); })
    , m_filePath(std::move(filePath)) {}

QSize LazyImageIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    if (isLoaded())
        return icon().actualSize(size, mode, state);
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

QIconEngine *LazyImageIconEngine::clone() const {
    return new LazyImageIconEngine(*this);
}

QString LazyImageIconEngine::key() const {
    return QStringLiteral("QuillmarchLazyImage");
}
