#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

// The red marker colour of a click and the teal of the selection outline.
QColor clickRingColour();
QColor selectionOutlineColour();

// The step image: `capture` of `area` (global coordinates, points) with a red ring around
// `click`, drawn over a white one so it shows on any background. The capture is not changed.
QImage composeStepImage(const QImage &capture, const QRectF &area, const QPointF &click);
