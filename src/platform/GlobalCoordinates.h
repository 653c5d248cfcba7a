#pragma once

#include <QPointF>
#include <QRectF>

// Converts between the toolkit's global coordinates (origin at the top-left corner of the
// virtual desktop, y downwards) and the recorder's (origin at the lower-left corner of the
// primary screen, y upwards). Both are in points; a rectangle keeps its size.
class GlobalCoordinates {
public:
    // `primaryScreen` is the primary screen's geometry in toolkit coordinates.
    explicit GlobalCoordinates(const QRectF &primaryScreen);

    QPointF fromToolkit(const QPointF &point) const;
    QRectF fromToolkit(const QRectF &rect) const;
    QPointF toToolkit(const QPointF &point) const;
    QRectF toToolkit(const QRectF &rect) const;

private:
    qreal m_left;
    qreal m_bottom;
};
