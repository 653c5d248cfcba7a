#include "ui/BusyIndicator.h"

#include <QPainter>

namespace {
constexpr int spokes = 12;
}

BusyIndicator::BusyIndicator(QWidget *parent)
    : QWidget(parent) {
    setFixedSize(18, 18);
    setAccessibleName(tr("Working"));
    m_timer.setInterval(80);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % spokes;
        update();
    });
}

void BusyIndicator::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = std::min(width(), height()) / 2.0;
    QColor color = palette().color(QPalette::WindowText);
    for (int spoke = 0; spoke < spokes; ++spoke) {
        // The spoke at the current step is darkest; the others fade behind it.
        const int age = (m_step - spoke + spokes) % spokes;
        color.setAlphaF(1.0 - 0.8 * age / spokes);
        QPen pen(color, 2.0, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.save();
        painter.rotate(spoke * 360.0 / spokes);
        painter.drawLine(QPointF(0, -outer * 0.45), QPointF(0, -outer + 1.5));
        painter.restore();
    }
}

void BusyIndicator::showEvent(QShowEvent *event) {
    m_timer.start();
    QWidget::showEvent(event);
}

void BusyIndicator::hideEvent(QHideEvent *event) {
    m_timer.stop();
    QWidget::hideEvent(event);
}
