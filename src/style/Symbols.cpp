#include "style/Symbols.h"

#include "style/SymbolIconEngine.h"

#include <QPainter>
#include <QPixmapCache>
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

QPixmap render(QSvgRenderer &renderer, QSize size, qreal devicePixelRatio) {
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

// Widgets ask for the same few symbols at every paint; parsing and drawing an SVG each time
// would make every repaint of a picker or the header as slow as the first.
template <typename Make> QPixmap cached(const QString &key, Make make) {
    QPixmap result;
    if (!QPixmapCache::find(key, &result)) {
        result = make();
        QPixmapCache::insert(key, result);
    }
    return result;
}

QString cacheKey(const QString &path, QSize size, qreal devicePixelRatio) {
    return QStringLiteral("%1|%2x%3@%4")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg(devicePixelRatio);
}

QPixmap render(const QString &path, QSize size, qreal devicePixelRatio) {
    return cached(cacheKey(path, size, devicePixelRatio), [&] {
        registerResources();
        QSvgRenderer renderer(path);
        return render(renderer, size, devicePixelRatio);
    });
}

} // namespace

QPixmap pixmap(const QString &name, QSize size, const QColor &color, qreal devicePixelRatio) {
    const QString path = QStringLiteral(":/symbols/%1.svg").arg(name);
    const QString key = cacheKey(path, size, devicePixelRatio) + QLatin1Char('|') +
                        QString::number(color.rgba(), 16);
    return cached(key, [&] {
        registerResources();
        QSvgRenderer renderer(path);
        QPixmap result = render(renderer, size, devicePixelRatio);
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRect(QPoint(), size), color);
        return result;
    });
}

QIcon icon(const QString &name, const QColor &color) {
    return QIcon(new SymbolIconEngine(name, color));
}

QPixmap artwork(const QString &name, QSize size, qreal devicePixelRatio) {
    return render(QStringLiteral(":/artwork/%1.svg").arg(name), size, devicePixelRatio);
}

QIcon artworkIcon(const QString &name) {
    registerResources();
    QSvgRenderer renderer(QStringLiteral(":/artwork/%1.svg").arg(name));
    QIcon result;
    for (int side : {16, 32, 48, 128})
        result.addPixmap(render(renderer, QSize(side, side), 1.0));
    return result;
}

} // namespace Symbols
