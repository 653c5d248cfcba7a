#include "platform/QuartzCoordinates.h"

QuartzCoordinates::QuartzCoordinates(qreal mainDisplayHeight)
    : m_height(mainDisplayHeight) {}

QPointF QuartzCoordinates::toModel(const QPointF &quartz) const {
    return {quartz.x(), m_height - quartz.y()};
}
