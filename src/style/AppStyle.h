#pragma once

#include <QProxyStyle>

// The platform's style, with our own symbols for the standard icons a main window shows at once
// (the menu bar's overflow chevron, the search fields' clear button). The style's stock images
// are PNG files, and reading the first of them loads every image-format plugin installed, which
// a window should not pay for before it is even shown.
class AppStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
