#pragma once

#include <QPointF>

// Converts from Quartz's global display space (origin at the top-left corner of the main
// display, y downwards) to the recorder's (origin at the lower-left corner of the same display,
// y upwards). Both are in points and span every screen: a screen above the main one has
// negative Quartz y, one to its left negative x in both.
class QuartzCoordinates {
public:
    // `mainDisplayHeight`: the height of the main display (the one holding the menu bar).
    explicit QuartzCoordinates(qreal mainDisplayHeight);

    QPointF toModel(const QPointF &quartz) const;

private:
    qreal m_height;
};
