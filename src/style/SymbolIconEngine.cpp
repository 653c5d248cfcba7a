#include "style/SymbolIconEngine.h"

#include "style/Symbols.h"

#include <QPaintDevice>
#include <QPainter>

SymbolIconEngine::SymbolIconEngine(QString name, QColor color)
    : m_name(std::move(name))
    , m_color(std::move(color)) {}

void SymbolIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                             QIcon::State state) {
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const int side = qMin(rect.width(), rect.height());
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2,
                       side, side);
    painter->drawPixmap(square, scaledPixmap(square.size(), mode, state, scale));
}

QPixmap SymbolIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap SymbolIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State,
                                       qreal scale) {
    QColor color = m_color;
    if (mode == QIcon::Disabled)
        color.setAlphaF(m_color.alphaF() * 0.4);
    return Symbols::pixmap(m_name, size, color, scale);
}

QSize SymbolIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State) {
    const int side = qMin(size.width(), size.height());
    return {side, side};
}

QList<QSize> SymbolIconEngine::availableSizes(QIcon::Mode, QIcon::State) {
    return {{16, 16}, {20, 20}, {32, 32}};
}

QIconEngine *SymbolIconEngine::clone() const {
    return new SymbolIconEngine(*this);
}

QString SymbolIconEngine::key() const {
    return QStringLiteral("QuillmarchSymbol");
}
