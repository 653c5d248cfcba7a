#include "platform/QuartzCapture.h"

#include "platform/NativePixels.h"

#include <cmath>

namespace QuartzCapture {

namespace {
// A pixel edge that misses a point edge only by rounding noise lies on it.
constexpr qreal roundingNoise = 1e-6;
} // namespace

bool usesScreenCaptureKit(int majorSystemVersion) {
    return majorSystemVersion >= 14;
}

Plan plan(const QRectF &sourceRect, const QSize &pixelSize, qreal scale) {
    Plan result;
    result.pixels = NativePixels::rect(QPoint(0, 0), scale, sourceRect);
    result.pixels.setSize(pixelSize);
    const QRect &pixels = result.pixels;
    result.screenshotSource = QRectF(pixels.x() / scale, pixels.y() / scale, pixels.width() / scale,
                                     pixels.height() / scale);
    const int left = int(std::floor(pixels.x() / scale + roundingNoise));
    const int top = int(std::floor(pixels.y() / scale + roundingNoise));
    const int right = int(std::ceil((pixels.x() + pixels.width()) / scale - roundingNoise));
    const int bottom = int(std::ceil((pixels.y() + pixels.height()) / scale - roundingNoise));
    result.wholePoints = QRect(left, top, right - left, bottom - top);
    result.wholeImageSize = NativePixels::pixelSize(QSizeF(result.wholePoints.size()), scale);
    const QPoint origin(int(std::lround(left * scale)), int(std::lround(top * scale)));
    result.crop = QRect(pixels.topLeft() - origin, pixels.size());
    return result;
}

QImage cropped(const QImage &whole, const Plan &plan) {
    if (whole.isNull() || plan.wholeImageSize.isEmpty())
        return {};
    if (whole.size() == plan.wholeImageSize)
        return whole.copy(plan.crop);
    const qreal x = qreal(whole.width()) / plan.wholeImageSize.width();
    const qreal y = qreal(whole.height()) / plan.wholeImageSize.height();
    const QRectF part(plan.crop.x() * x, plan.crop.y() * y, plan.crop.width() * x,
                      plan.crop.height() * y);
    return whole.copy(part.toAlignedRect())
        .scaled(plan.crop.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace QuartzCapture
