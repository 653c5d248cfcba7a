#include "style/AppStyle.h"

#include "style/Symbols.h"
#include "style/Typography.h"

#include <QApplication>
#include <QWidget>

QIcon AppStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                             const QWidget *widget) const {
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    switch (standardIcon) {
    case SP_LineEditClearButton:
        return Symbols::icon(QStringLiteral("xmark.circle.fill"),
                             Typography::secondaryColor(palette));
    case SP_ToolBarHorizontalExtensionButton:
        return Symbols::icon(QStringLiteral("chevron.forward.2"),
                             palette.color(QPalette::ButtonText));
    default:
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }
}
