#include "ui/BusyIndicator.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int spokes = 12;

class Spinner : public QWidget {
public:
    explicit Spinner(QWidget *parent)
        : QWidget(parent) {
        setFixedSize(18, 18);
        setAccessibleName(BusyIndicator::tr("Working"));
        m_timer.setInterval(80);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % spokes;
            update();
        });
    }

protected:
    void paintEvent(QPaintEvent *) override {
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
    void showEvent(QShowEvent *event) override {
        m_timer.start();
        QWidget::showEvent(event);
    }
    void hideEvent(QHideEvent *event) override {
        m_timer.stop();
        QWidget::hideEvent(event);
    }

private:
    QTimer m_timer;
    int m_step = 0;
};

} // namespace

BusyIndicator::BusyIndicator(QWidget *parent)
    : QWidget(parent)
    , m_stop(new QPushButton(tr("Stop"), this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(new Spinner(this), 0, Qt::AlignVCenter);
    m_stop->setObjectName(QStringLiteral("stopOperation"));
    m_stop->setAutoDefault(false);
    m_stop->setToolTip(tr("Stop the running command (Esc)"));
    connect(m_stop, &QPushButton::clicked, this, &BusyIndicator::stopRequested);
    layout->addWidget(m_stop, 0, Qt::AlignVCenter);
}
