#pragma once

#include <QIconEngine>

// The program's own generic application icon, drawn at any size: a rounded square with a
// simple window glyph. Used when the icon theme has no application icon (bare X11 sessions,
// the offscreen platform).
class GenericAppIconEngine : public QIconEngine {
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new GenericAppIconEngine; }
    QString key() const override;
    bool isNull() override { return false; }
};
