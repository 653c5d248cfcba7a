#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

// One or two screenshots shown large, side by side at the same scale, each with its title and
// a line about it underneath. A shot without an image shows its message in its place.
class ShotViewer : public QWidget {
    Q_OBJECT

public:
    struct Pane {
        QImage image;    // null while being read, or when nothing was captured
        QSize imageSize; // the capture's size in pixels, for the shared scale
        QString title;   // "Français (fr) · fr_FR"
        QString caption; // "Settled in 1.7 s"
        QString message; // shown in place of a missing image
        bool caution = false;
    };

    explicit ShotViewer(QWidget *parent = nullptr);

    void setPanes(const QList<Pane> &panes);
    QList<Pane> panes() const { return m_panes; }
    // Where each pane's image is drawn, in widget coordinates.
    QList<QRectF> imageRects() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<Pane> m_panes;
};
