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
    QImage image(capture.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const StepGeometry::Ring ring = StepGeometry::clickRing(capture.size(), area, click);

    QPainter painter(&image);
    painter.drawImage(QRect(QPoint(0, 0), capture.size()), capture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, ring.outerWidth));
    painter.drawEllipse(ring.centre, ring.radius, ring.radius);
    painter.setPen(QPen(clickRingColour(), ring.innerWidth));
    painter.drawEllipse(ring.centre, ring.radius, ring.radius);
    painter.end();
    return image;
}
