#pragma once

#include <QWidget>

// The application icon at the top of the main window: "AppIcon dark" on a dark palette,
// "AppIcon light" otherwise, 64 × 64. Decorative, so hidden from accessibility.
class HeaderAppIcon : public QWidget {
    Q_OBJECT

public:
    explicit HeaderAppIcon(QWidget *parent = nullptr);

    // The artwork chosen for the current palette.
    QString artworkName() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
