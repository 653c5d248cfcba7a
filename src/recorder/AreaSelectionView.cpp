#include "recorder/AreaSelectionView.h"

#include "recorder/StepGeometry.h"
#include "recorder/StepImage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QString hintText =
    QStringLiteral("Drag to select an area · Return to confirm · Esc to cancel");
}

AreaSelectionView::AreaSelectionView(QWidget *parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

void AreaSelectionView::setBackdrop(const QImage &backdrop) {
    m_backdrop = backdrop;
    update();
}

QPointF AreaSelectionView::viewPoint(const QPointF &widgetPoint) const {
    return {widgetPoint.x(), height() - widgetPoint.y()};
}

QRectF AreaSelectionView::viewBounds() const {
    return QRectF(0, 0, width(), height());
}

void AreaSelectionView::dragTo(const QPointF &point) {
    m_selection = StepGeometry::dragRectangle(*m_start, point, viewBounds());
    update();
}

void AreaSelectionView::mousePressEvent(QMouseEvent *event) {
    // The overlays bypass the window manager, so nothing else moves the keyboard to the screen
    // the user works on, or back to the overlay after another program took it.
    activateWindow();
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    m_start = viewPoint(event->position());
}

void AreaSelectionView::mouseMoveEvent(QMouseEvent *event) {
    if (m_start)
        dragTo(viewPoint(event->position()));
}

void AreaSelectionView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (m_start)
        dragTo(viewPoint(event->position()));
    m_start.reset();
}

void AreaSelectionView::keyPressEvent(QKeyEvent *event) {
    // Every other key is swallowed; keypad Enter (Qt::Key_Enter) does not confirm.
    event->accept();
    // A copy: the callback may dismiss this overlay, which drops the stored one.
    const SelectionOverlay::Finished finished = m_finished;
    if (!finished)
        return;
    if (event->key() == Qt::Key_Escape)
        finished(std::nullopt);
    else if (event->key() == Qt::Key_Return)
        finished(m_selection);
}

void AreaSelectionView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!m_backdrop.isNull())
        painter.drawImage(rect(), m_backdrop);
    painter.fillRect(rect(), QColor(0, 0, 0, qRound(0.3 * 255)));

    // Back from lower-left to the widget's top-left coordinates.
    const QRectF outline(m_selection.x(), height() - m_selection.y() - m_selection.height(),
                         m_selection.width(), m_selection.height());
    painter.setPen(QPen(selectionOutlineColour(), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline);

    // The hint's lower-left corner sits 60 points below the top edge.
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(Qt::white);
    // Shortened with an ellipsis on a screen too narrow for the whole line.
    const int room = qMax(0, width() - 60);
    painter.drawText(QRectF(30, 0, room, 60), Qt::AlignLeft | Qt::AlignBottom,
                     painter.fontMetrics().elidedText(hintText, Qt::ElideRight, room));
}
