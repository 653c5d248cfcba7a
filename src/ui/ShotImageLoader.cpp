#include "ui/ShotImageLoader.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace {

// One pool for every loader, one core short of the machine's (two at most): a window filling
// with thumbnails leaves a core to the main thread.
QThreadPool *decodingPool() {
    static QThreadPool *pool = [] {
        auto *created = new QThreadPool(QCoreApplication::instance());
        created->setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 2));
        created->setExpiryTimeout(2000);
        return created;
    }();
    return pool;
}

} // namespace

ShotImageLoader::ShotImageLoader(QObject *parent)
    : QObject(parent) {}

ShotImageLoader::~ShotImageLoader() = default;

QImage ShotImageLoader::read(const QString &file, QSize box, QString *error, QSize *sourceSize) {
    QImageReader reader(file);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    if (sourceSize)
        *sourceSize = image.size();
    if (box.isValid() && (image.width() > box.width() || image.height() > box.height()))
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // The format the raster engine paints fastest.
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ShotImageLoader::load(const QString &key, const QString &file, QSize box) {
    ++m_pending;
    QPointer<ShotImageLoader> receiver(this);
    decodingPool()->start([receiver, key, file, box] {
        QString error;
        QSize sourceSize;
        QImage image = read(file, box, &error, &sourceSize);
        // Back on the main thread; the pointer is only looked at there.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [receiver, key, image = std::move(image), sourceSize, error] {
                if (receiver)
                    receiver->deliver(key, image, sourceSize, error);
            },
            Qt::QueuedConnection);
    });
}

void ShotImageLoader::deliver(const QString &key, const QImage &image, QSize sourceSize,
                              const QString &error) {
    --m_pending;
    if (image.isNull())
        Q_EMIT failed(key, error);
    else
        Q_EMIT loaded(key, image, sourceSize);
    if (m_pending == 0)
        Q_EMIT idle();
}
