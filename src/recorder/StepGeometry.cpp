#include "recorder/StepGeometry.h"

#include "platform/NativePixels.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace StepGeometry {

namespace {
constexpr qreal ringRadius = 20.0;
constexpr qreal outerStroke = 6.0;
constexpr qreal innerStroke = 3.0;
} // namespace

bool isLargeEnough(const std::optional<QRectF> &area) {
    return area && area->width() >= minimumSide && area->height() >= minimumSide;
}

bool contains(const QRectF &area, const QPointF &point) {
    return area.left() <= point.x() && point.x() < area.left() + area.width() &&
           area.top() <= point.y() && point.y() < area.top() + area.height();
}

QRectF captureSourceRect(const QRectF &area, const QRectF &screenFrame) {
    // In these coordinates QRectF's top() is the minimum y, i.e. the bottom edge.
    const qreal screenMaxY = screenFrame.top() + screenFrame.height();
    const qreal areaMaxY = area.top() + area.height();
    return {area.left() - screenFrame.left(), screenMaxY - areaMaxY, area.width(), area.height()};
}

QSize capturePixelSize(const QRectF &area, qreal scaleFactor) {
    return NativePixels::pixelSize(area.size(), scaleFactor);
}

Ring clickRing(const QSize &imageSize, const QRectF &area, const QPointF &click) {
    const qreal scale = imageSize.width() / area.width();
    const qreal fromLeft = (click.x() - area.left()) * scale;
    const qreal fromBottom = (click.y() - area.top()) * scale;
    return {QPointF(fromLeft, imageSize.height() - fromBottom), ringRadius * scale,
            outerStroke * scale, innerStroke * scale};
}

QRectF dragRectangle(const QPointF &start, const QPointF &current, const QRectF &bounds) {
    const qreal left = std::max(std::min(start.x(), current.x()), bounds.left());
    const qreal right = std::min(std::max(start.x(), current.x()), bounds.left() + bounds.width());
    const qreal bottom = std::max(std::min(start.y(), current.y()), bounds.top());
    const qreal top = std::min(std::max(start.y(), current.y()), bounds.top() + bounds.height());
    // No overlap with the bounds at all: the zero rectangle.
    if (right < left || top < bottom)
        return {};
    return {left, bottom, right - left, top - bottom};
}

QString stepFileName(int position) {
    return QStringLiteral("Step-%1.png").arg(position);
}

QString pngFilePath(const QString &chosen) {
    static const QStringList imageSuffixes = {
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("gif"),
        QStringLiteral("bmp"),  QStringLiteral("tif"),  QStringLiteral("tiff"),
        QStringLiteral("webp"), QStringLiteral("heic"), QStringLiteral("avif"),
        QStringLiteral("ico"),  QStringLiteral("svg"),  QStringLiteral("pdf")};
    const QFileInfo file(chosen);
    const QString suffix = file.suffix();
    if (suffix.compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0)
        return chosen;
    if (!file.completeBaseName().isEmpty() && imageSuffixes.contains(suffix.toLower()))
        return chosen.left(chosen.size() - suffix.size()) + QStringLiteral("png");
    return chosen + QStringLiteral(".png");
}

} // namespace StepGeometry
