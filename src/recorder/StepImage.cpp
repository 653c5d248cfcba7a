#include "recorder/StepImage.h"

#include "recorder/StepGeometry.h"

#include <QPainter>
#include <QPen>

QColor clickRingColour() {
    return QColor(255, 59, 48);
}

QColor selectionOutlineColour() {
    return QColor(48, 176, 199);
}

QImage composeStepImage(const QImage &capture, const QRectF &area, const QPointF &click) {
    // Screenshots are opaque. Painting detaches the copy: one copy of the pixels, no blending.
    QImage image = capture.convertToFormat(QImage::Format_RGB32);
    const StepGeometry::Ring ring = StepGeometry::clickRing(capture.size(), area, click);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, ring.outerWidth));
    painter.drawEllipse(ring.centre, ring.radius, ring.radius);
    painter.setPen(QPen(clickRingColour(), ring.innerWidth));
    painter.drawEllipse(ring.centre, ring.radius, ring.radius);
    painter.end();
    return image;
}
