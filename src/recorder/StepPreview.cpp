#include "recorder/StepPreview.h"

#include <QPainter>

StepPreview::StepPreview(QImage image, QWidget *parent)
    : QWidget(parent)
    , m_image(std::move(image)) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int StepPreview::heightForWidth(int width) const {
    if (m_image.isNull() || m_image.width() == 0)
        return 0;
    return qMin(maximumHeight, width * m_image.height() / m_image.width());
}

QSize StepPreview::sizeHint() const {
    const int width = 400;
    return {width, heightForWidth(width)};
}

void StepPreview::paintEvent(QPaintEvent *) {
    if (m_image.isNull())
        return;
    const QSize fitted = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       fitted);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_image);
}
