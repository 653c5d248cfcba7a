#pragma once

#include <QIcon>
#include <QIconEngine>

#include <optional>

// An icon backed by an image file that is decoded only when the icon is first painted or asked
// for a pixmap, so that building hundreds of icons reads no image data. The decoded images are
// kept afterwards. A file that turns out not to decode shows the generic application icon.
class LazyImageIconEngine : public QIconEngine {
public:
    explicit LazyImageIconEngine(QString filePath);

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
    const QIcon &decoded();

    QString m_filePath;
    std::optional<QIcon> m_decoded;
    // The image size from the file header, read once, for layout before the first paint.
    std::optional<QSize> m_headerSize;
};
