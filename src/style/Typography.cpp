#include "style/Typography.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace Typography {

namespace {

struct Scale {
    int pixelSize;
    bool bold;
};

// Pixel sizes of the roles; body text matches the application font set by the app.
Scale scaleOf(Role role) {
    switch (role) {
    case Role::LargeTitle:
        return {26, true};
    case Role::Title2:
        return {18, true};
    case Role::Headline:
        return {13, true};
    case Role::Body:
        return {13, false};
    case Role::Callout:
        return {12, false};
    case Role::Caption:
        return {11, false};
    }
    return {13, false};
}

} // namespace

QFont font(Role role) {
    const Scale scale = scaleOf(role);
    QFont result = QApplication::font();
    result.setPixelSize(scale.pixelSize);
    result.setBold(scale.bold);
    return result;
}

void apply(QWidget *widget, Role role, bool bold) {
    QFont chosen = font(role);
    if (bold)
        chosen.setBold(true);
    widget->setFont(chosen);
}

QColor secondaryColor(const QPalette &palette) {
    return palette.color(QPalette::PlaceholderText);
}

void makeSecondary(QWidget *widget) {
    // Labels draw their text with the foreground role, so the colour follows palette changes.
    widget->setForegroundRole(QPalette::PlaceholderText);
}

QColor tint() {
    return QColor(0x12, 0x8a, 0x96);
}

QColor caution() {
    return QColor(0xd9, 0x8a, 0x10);
}

bool isDark(const QPalette &palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace Typography
