#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>

// The arithmetic of step recording. Areas, frames and points are in global coordinates (points,
// origin at the lower-left corner of the primary screen, y upwards) unless said otherwise.
namespace StepGeometry {

// The smallest accepted area side, in points.
constexpr qreal minimumSide = 30.0;

// An area is accepted when both sides are at least `minimumSide`.
bool isLargeEnough(const std::optional<QRectF> &area);

// Whether a click at `point` lands in `area`. The left and bottom edges belong to the area, the
// right and top edges do not.
bool contains(const QRectF &area, const QPointF &point);

// The part of the display to capture: `area` in the display's own points with the origin at its
// top-left corner.
QRectF captureSourceRect(const QRectF &area, const QRectF &screenFrame);

// The capture's size in pixels: the area's size times the scale, truncated (rounding noise
// aside).
QSize capturePixelSize(const QRectF &area, qreal scaleFactor);

// The click marker, in image pixels with the origin at the image's top-left corner.
struct Ring {
    QPointF centre;
    qreal radius = 0;
    qreal outerWidth = 0; // the white stroke underneath
    qreal innerWidth = 0; // the red stroke on top
};

// A circle of 20 points around the click, with strokes of 6 and 3 points, scaled to the image.
Ring clickRing(const QSize &imageSize, const QRectF &area, const QPointF &click);

// The rectangle spanned by a drag from `start` to `current`, normalised and clipped to `bounds`.
QRectF dragRectangle(const QPointF &start, const QPointF &current, const QRectF &bounds);

// The file name suggested for the step at 1-based `position`: "Step-2.png".
QString stepFileName(int position);

// The path a step is saved under: `chosen` if it ends in .png (any case); otherwise an image
// extension is replaced ("shot.jpg" → "shot.png") and anything else gets ".png" appended.
QString pngFilePath(const QString &chosen);

} // namespace StepGeometry
