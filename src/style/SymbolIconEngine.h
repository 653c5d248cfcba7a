#pragma once

#include <QColor>
#include <QIconEngine>

// A one-colour symbol rendered at the size, scale and mode asked for, when it is first needed: a
// window full of symbol buttons renders nothing until it paints, and then only what it paints.
// Disabled controls get the symbol at 40 % opacity.
class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;
    bool isNull() override { return false; }

private:
    QString m_name;
    QColor m_color;
};
