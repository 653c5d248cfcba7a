#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// Our own small symbols ("play.fill", "chevron.up.chevron.down", "checkmark", "chart.bar",
// "app.badge", "hand.raised", "magnifyingglass", "exclamationmark.triangle", "xmark.circle.fill",
// "chevron.forward.2", "chevron.backward", "chevron.forward", "square.grid.2x2") and artwork
// ("AppIcon light", "AppIcon dark"), rendered from the SVGs in the application's resources.
namespace Symbols {

// A symbol drawn in one colour, `size` in device-independent pixels.
QPixmap pixmap(const QString &name, QSize size, const QColor &color, qreal devicePixelRatio = 1.0);
// A symbol as an icon in one colour, with a greyed variant for disabled controls.
QIcon icon(const QString &name, const QColor &color);
// A full-colour artwork, scaled to fit `size` with its aspect ratio kept.
QPixmap artwork(const QString &name, QSize size, qreal devicePixelRatio = 1.0);
// An artwork at the sizes window managers ask of a window icon (up to 128 pixels: every pixel is
// sent to the X server with each window).
QIcon artworkIcon(const QString &name);

} // namespace Symbols
