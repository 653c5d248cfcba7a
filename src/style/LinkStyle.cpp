#include "style/LinkStyle.h"

#include "style/Typography.h"

#include <QColor>
#include <QPalette>

namespace LinkStyle {

QString buttonStyleSheet(const QPalette &palette, Qt::Alignment alignment) {
    const QColor link =
        Typography::isDark(palette) ? Typography::tint().lighter(150) : Typography::tint();
    const QString align =
        alignment.testFlag(Qt::AlignLeft) ? QStringLiteral(" text-align: left;") : QString();
    return QStringLiteral("QPushButton { color: %1; border: none; padding: 0;%2 }"
                          "QPushButton:focus { text-decoration: underline; }")
        .arg(link.name(), align);
}

} // namespace LinkStyle
