#pragma once

#include <QIcon>
#include <QIconEngine>

#include <functional>
#include <optional>

// An icon that asks its factory for the real icon only when it is first painted, measured or
// asked for a pixmap, then keeps it. Lets a list of hundreds of apps get its fallback icons
// (icon-theme and file-icon look-ups, which belong to the GUI thread) without doing a single
// look-up before a row is shown.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(std::function<QIcon()> factory);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    QIconEngine *clone() const override;
    QString key() const override;
    bool isNull() override { return false; }

protected:
    const QIcon &icon();
    bool isLoaded() const { return m_icon.has_value(); }

private:
    std::function<QIcon()> m_factory;
    std::optional<QIcon> m_icon;
};
