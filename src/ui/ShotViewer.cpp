#include "ui/ShotViewer.h"

#include "style/Typography.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

using Typography::Role;

namespace {

constexpr int gap = 32;
constexpr int margin = 16;
constexpr int captionHeight = 42;

} // namespace

ShotViewer::ShotViewer(QWidget *parent)
    : QWidget(parent) {
    setMinimumSize(240, 260);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ShotViewer::setPanes(const QList<Pane> &panes) {
    m_panes = panes;
    update();
}

QList<QRectF> ShotViewer::imageRects() const {
    QList<QRectF> rects;
    if (m_panes.isEmpty())
        return rects;
    const int count = int(m_panes.size());
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin - captionHeight);
    const qreal columnWidth = (area.width() - gap * (count - 1)) / count;
    // One scale for every pane: the largest at which each capture fits its column.
    QSizeF largest(1290, 2796);
    bool any = false;
    for (const Pane &pane : m_panes) {
        const QSizeF size = pane.imageSize.isValid() ? QSizeF(pane.imageSize) : QSizeF();
        if (size.isEmpty())
            continue;
        largest = any ? largest.expandedTo(size) : size;
        any = true;
    }
    const qreal scale = std::min(columnWidth / largest.width(), area.height() / largest.height());
    for (int column = 0; column < count; ++column) {
        const Pane &pane = m_panes.at(column);
        const QSizeF size =
            (pane.imageSize.isValid() && !pane.imageSize.isEmpty() ? QSizeF(pane.imageSize)
                                                                   : largest) *
            scale;
        const qreal left = area.x() + column * (columnWidth + gap);
        rects.append(QRectF(left + (columnWidth - size.width()) / 2,
                            area.y() + (area.height() - size.height()) / 2, size.width(),
                            size.height()));
    }
    return rects;
}

void ShotViewer::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPalette colors = palette();
    const QColor secondary = Typography::secondaryColor(colors);
    const QList<QRectF> rects = imageRects();
    for (int column = 0; column < rects.size(); ++column) {
        const Pane &pane = m_panes.at(column);
        const QRectF image = rects.at(column);
        QPainterPath rounded;
        const qreal radius = std::max(6.0, image.width() * 0.06);
        rounded.addRoundedRect(image, radius, radius);
        if (!pane.image.isNull()) {
            painter.save();
            painter.setClipPath(rounded);
            painter.drawImage(image, pane.image);
            painter.restore();
            QColor edge = colors.color(QPalette::WindowText);
            edge.setAlphaF(0.2);
            painter.setPen(QPen(edge, 1));
            painter.drawPath(rounded);
        } else {
            QColor fill = colors.color(QPalette::WindowText);
            fill.setAlphaF(0.05);
            painter.fillPath(rounded, fill);
            QColor edge = colors.color(QPalette::WindowText);
            edge.setAlphaF(0.2);
            painter.setPen(QPen(edge, 1, Qt::DashLine));
            painter.drawPath(rounded);
            painter.setFont(Typography::font(Role::Body));
            painter.setPen(pane.caution ? Typography::caution() : secondary);
            QTextOption wrapping(Qt::AlignCenter);
            wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            painter.save();
            painter.setClipRect(image);
            painter.drawText(image.adjusted(16, 16, -16, -16),
                             pane.message.isEmpty() ? tr("Reading…") : pane.message, wrapping);
            painter.restore();
        }
        // Title and caption centred under the image, within its column.
        const qreal columnWidth =
            (width() - 2 * margin - gap * (rects.size() - 1)) / qreal(rects.size());
        const QRectF under(margin + column * (columnWidth + gap), image.bottom() + 8, columnWidth,
                           captionHeight);
        QFont titleFont = Typography::font(Role::Headline);
        painter.setFont(titleFont);
        painter.setPen(colors.color(QPalette::WindowText));
        painter.drawText(
            under, Qt::AlignHCenter | Qt::AlignTop,
            QFontMetrics(titleFont).elidedText(pane.title, Qt::ElideRight, int(under.width())));
        const QFont captionFont = Typography::font(Role::Caption);
        painter.setFont(captionFont);
        painter.setPen(pane.caution ? Typography::caution() : secondary);
        painter.drawText(
            under.adjusted(0, QFontMetrics(titleFont).height() + 2, 0, 0),
            Qt::AlignHCenter | Qt::AlignTop,
            QFontMetrics(captionFont).elidedText(pane.caption, Qt::ElideRight, int(under.width())));
    }
}
