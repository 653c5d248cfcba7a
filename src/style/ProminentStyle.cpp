#include "style/ProminentStyle.h"

#include "style/Typography.h"

#include <QColor>

namespace ProminentStyle {

QString buttonStyleSheet(int horizontalPadding) {
    const QColor tint = Typography::tint();
    return QStringLiteral("QPushButton { background: %1; color: white; border: 1px solid %2;"
                          " border-radius: 6px; padding: 0 %6px; font-weight: bold; }"
                          "QPushButton:hover { background: %3; }"
                          "QPushButton:pressed { background: %2; }"
                          "QPushButton:focus { border: 2px solid %4; }"
                          "QPushButton:disabled { background: %5; color: rgba(255,255,255,170);"
                          " border-color: %5; }")
        .arg(tint.name(), tint.darker(125).name(), tint.lighter(110).name(),
             tint.lighter(160).name(), QColor(0x9a, 0xb8, 0xbc).name())
        .arg(horizontalPadding);
}

} // namespace ProminentStyle
