#include "metadata/DeferredIconEngine.h"

#include <QPixmap>

DeferredIconEngine::DeferredIconEngine(std::function<QIcon()> factory)
    : m_factory(std::move(factory)) {}

const QIcon &DeferredIconEngine::icon() {
    if (!m_icon)
        m_icon = m_factory();
    return *m_icon;
}

void DeferredIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                               QIcon::State state) {
    icon().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QPixmap DeferredIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    return icon().pixmap(size, mode, state);
}

QPixmap DeferredIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                                         qreal scale) {
    return icon().pixmap(size, scale, mode, state);
}

QSize DeferredIconEngine::actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    return icon().actualSize(size, mode, state);
}

QList<QSize> DeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return icon().availableSizes(mode, state);
}

QString DeferredIconEngine::iconName() {
    return icon().name();
}

QIconEngine *DeferredIconEngine::clone() const {
    return new DeferredIconEngine(*this);
}

QString DeferredIconEngine::key() const {
    return QStringLiteral("QuillmarchDeferred");
}
