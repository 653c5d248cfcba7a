#include "metadata/GenericAppIconEngine.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

void GenericAppIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
                                 QIcon::State) {
    const qreal side = qMin(rect.width(), rect.height());
    if (side <= 0)
        return;
    const QRectF square(rect.x() + (rect.width() - side) / 2.0,
                        rect.y() + (rect.height() - side) / 2.0, side, side);
    const QRectF body = square.adjusted(side * 0.08, side * 0.08, -side * 0.08, -side * 0.08);
    const bool disabled = mode == QIcon::Disabled;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, disabled ? QColor(0xc8, 0xc8, 0xc8) : QColor(0x6a, 0xa8, 0xf0));
    fill.setColorAt(1, disabled ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x2f, 0x6d, 0xd0));
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(body, body.width() * 0.22, body.height() * 0.22);

    // A small window: frame and title bar, in white.
    const QRectF window = body.adjusted(body.width() * 0.24, body.height() * 0.28,
                                        -body.width() * 0.24, -body.height() * 0.28);
    const qreal stroke = qMax<qreal>(1.0, side * 0.045);
    painter->setPen(QPen(Qt::white, stroke));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(window, stroke, stroke);
    const qreal bar = window.top() + window.height() * 0.28;
    painter->drawLine(QPointF(window.left(), bar), QPointF(window.right(), bar));
    painter->restore();
}

QPixmap GenericAppIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap GenericAppIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                                           qreal scale) {
    QPixmap pixmap(size * scale);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QString GenericAppIconEngine::key() const {
    return QStringLiteral("QuillmarchGenericApp");
}
