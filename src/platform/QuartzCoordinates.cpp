#include "platform/QuartzCoordinates.h"

QuartzCoordinates::QuartzCoordinates(qreal mainDisplayHeight)
    : m_height(mainDisplayHeight) {}

QPointF QuartzCoordinates::toModel(const QPointF &quartz) const {
    return {quartz.x(), m_height - quartz.y()};
}

QRectF QuartzCoordinates::toModel(const QRectF &quartz) const {
    return {quartz.x(), m_height - quartz.bottom(), quartz.width(), quartz.height()};
}

// The flip is its own inverse.
QPointF QuartzCoordinates::toQuartz(const QPointF &model) const {
    return toModel(model);
}

QRectF QuartzCoordinates::toQuartz(const QRectF &model) const {
    return toModel(model);
}
