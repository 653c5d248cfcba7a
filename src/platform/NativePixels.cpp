#include "platform/NativePixels.h"

#include <cmath>

namespace NativePixels {

namespace {
constexpr qreal roundingNoise = 1e-6;
}

int pixelLength(qreal length, qreal factor) {
    return int(std::floor(length * factor + roundingNoise));
}

QSize pixelSize(const QSizeF &size, qreal factor) {
    return {pixelLength(size.width(), factor), pixelLength(size.height(), factor)};
}

QRect rect(const QPoint &origin, qreal factor, const QRectF &local) {
    const QPoint corner(int(std::lround(local.x() * factor)), int(std::lround(local.y() * factor)));
    return {origin + corner, pixelSize(local.size(), factor)};
}

QRect screenRect(const QRect &geometry, qreal factor) {
    const QSize size(int(std::lround(geometry.width() * factor)),
                     int(std::lround(geometry.height() * factor)));
    return {geometry.topLeft(), size};
}

QPointF toPoints(const QPoint &origin, qreal factor, const QPointF &native) {
    return QPointF(origin) + (native - QPointF(origin)) / factor;
}

} // namespace NativePixels
