#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

// Where a screen's points lie in the windowing system's own pixels. With high-DPI scaling the
// toolkit keeps each screen's origin in native pixels and measures everything inside the screen
// in points, so a point on a screen at `origin` with `factor` pixels per point is at
// origin + (point - origin) × factor. Only depends on Qt Core.
namespace NativePixels {

// The whole pixels covered by `length` points: truncated, but a product that misses an integer
// only by rounding noise (853.3333 × 1.5) counts as that integer.
int pixelLength(qreal length, qreal factor);
QSize pixelSize(const QSizeF &size, qreal factor);

// `local` (points, relative to the screen's top-left corner, y downwards) in native pixels of
// the whole desktop: the corner rounded to the nearest pixel, the size as pixelSize().
QRect rect(const QPoint &origin, qreal factor, const QRectF &local);

// The native pixels a screen covers, from its toolkit geometry (native origin, size in points).
QRect screenRect(const QRect &geometry, qreal factor);

// A native position (whole pixels or finer) in the toolkit's global points, for the screen at
// `origin` with `factor`.
QPointF toPoints(const QPoint &origin, qreal factor, const QPointF &native);

} // namespace NativePixels
