#pragma once

#include "recorder/SelectionOverlay.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>

// The content of one selection overlay: dims its screen, lets the user drag out a rectangle, and
// reports it on Return (or none on Escape). Its coordinates are the screen's own, in points, with
// the origin at the lower-left corner and y upwards; the conversion from the toolkit's top-left
// coordinates happens when an event arrives and when drawing.
class AreaSelectionView : public QWidget {
    Q_OBJECT

public:
    explicit AreaSelectionView(QWidget *parent = nullptr);

    void setFinished(SelectionOverlay::Finished finished) { m_finished = std::move(finished); }
    QRectF selection() const { return m_selection; }
    // A picture of the screen drawn under the dim, for windowing systems that cannot show what
    // lies beneath a translucent window.
    void setBackdrop(const QImage &backdrop);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QPointF viewPoint(const QPointF &widgetPoint) const;
    QRectF viewBounds() const;
    void dragTo(const QPointF &point);

    SelectionOverlay::Finished m_finished;
    std::optional<QPointF> m_start;
    QRectF m_selection;
    QImage m_backdrop;
};
