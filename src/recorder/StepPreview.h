#pragma once

#include <QImage>
#include <QWidget>

// A step's image, scaled to fit the available width with its aspect ratio kept, at most
// `maximumHeight` points high.
class StepPreview : public QWidget {
public:
    explicit StepPreview(QImage image, QWidget *parent = nullptr);

    static constexpr int maximumHeight = 360;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_image;
};
