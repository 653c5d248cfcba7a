#include "ui/Symbols.h"

#include <QPainter>
#include <QSvgRenderer>

// Resources compiled into a static library must be registered by hand.
static void registerResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace Symbols {

namespace {

QPixmap render(const QString &path, QSize size, qreal devicePixelRatio) {
    registerResources();
    QSvgRenderer renderer(path);
    QPixmap result(size * devicePixelRatio);
    result.fill(Qt::transparent);
    if (!renderer.isValid())
        return result;
    QSizeF drawn = renderer.defaultSize();
    drawn.scale(result.size(), Qt::KeepAspectRatio);
    const QRectF target((result.width() - drawn.width()) / 2,
                        (result.height() - drawn.height()) / 2, drawn.width(), drawn.height());
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, target);
    painter.end();
    result.setDevicePixelRatio(devicePixelRatio);
    return result;
}

} // namespace

QPixmap pixmap(const QString &name, QSize size, const QColor &color, qreal devicePixelRatio) {
    QPixmap result = render(QStringLiteral(":/symbols/%1.svg").arg(name), size, devicePixelRatio);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(QRect(QPoint(), size), color);
    return result;
}

QIcon icon(const QString &name, const QColor &color) {
    QIcon result;
    QColor disabled = color;
    disabled.setAlphaF(color.alphaF() * 0.4);
    for (int side : {16, 20, 32}) {
        for (qreal ratio : {1.0, 2.0}) {
            result.addPixmap(pixmap(name, QSize(side, side), color, ratio), QIcon::Normal);
            result.addPixmap(pixmap(name, QSize(side, side), disabled, ratio), QIcon::Disabled);
        }
    }
    return result;
}

QPixmap artwork(const QString &name, QSize size, qreal devicePixelRatio) {
    return render(QStringLiteral(":/artwork/%1.svg").arg(name), size, devicePixelRatio);
}

} // namespace Symbols
