#include "ui/HeaderAppIcon.h"

#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/AccessibilityHiding.h"

#include <QPainter>

HeaderAppIcon::HeaderAppIcon(QWidget *parent)
    : QWidget(parent) {
    setFixedSize(64, 64);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hideFromAccessibility(this); // decoration only
}

QString HeaderAppIcon::artworkName() const {
    return Typography::isDark(palette()) ? QStringLiteral("AppIcon dark")
                                         : QStringLiteral("AppIcon light");
}

void HeaderAppIcon::paintEvent(QPaintEvent *) {
    // Painted from the palette each time, so a change of colour scheme takes effect at once.
    QPainter painter(this);
    painter.drawPixmap(0, 0, Symbols::artwork(artworkName(), size(), devicePixelRatioF()));
}
