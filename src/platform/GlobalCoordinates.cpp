#include "platform/GlobalCoordinates.h"

GlobalCoordinates::GlobalCoordinates(const QRectF &primaryScreen)
    : m_left(primaryScreen.x())
    , m_bottom(primaryScreen.y() + primaryScreen.height()) {}

QPointF GlobalCoordinates::fromToolkit(const QPointF &point) const {
    return {point.x() - m_left, m_bottom - point.y()};
}

QRectF GlobalCoordinates::fromToolkit(const QRectF &rect) const {
    return {rect.x() - m_left, m_bottom - (rect.y() + rect.height()), rect.width(), rect.height()};
}

QPointF GlobalCoordinates::toToolkit(const QPointF &point) const {
    return {point.x() + m_left, m_bottom - point.y()};
}

QRectF GlobalCoordinates::toToolkit(const QRectF &rect) const {
    return {rect.x() + m_left, m_bottom - (rect.y() + rect.height()), rect.width(), rect.height()};
}
