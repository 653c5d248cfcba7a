#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>

// How the macOS backend reads an area of a display: which system interface, and which
// rectangle to ask each one for so that the result is exactly the area's pixels, never a
// rounded-out area scaled back (which blurs a selection that starts between two pixels of a
// Retina screen). Portable, so it is tested everywhere.
namespace QuartzCapture {

// macOS 14 has ScreenCaptureKit's screenshot call; the CoreGraphics display capture is only
// used before it (it is deprecated in 14 and gone from the macOS 15 SDK).
bool usesScreenCaptureKit(int majorSystemVersion);

// What to ask for, for an area of one display.
struct Plan {
    // The area's pixels on the display: origin at the display's top-left corner.
    QRect pixels;
    // The same pixels in display points: ScreenCaptureKit's source rectangle, captured at
    // pixels.size().
    QRectF screenshotSource;
    // The smallest rectangle of whole points that holds them: CoreGraphics captures whole
    // points, in an image of wholeImageSize pixels, from which `crop` is cut.
    QRect wholePoints;
    QSize wholeImageSize;
    QRect crop;
};

// The plan for `sourceRect` (display points, origin at the display's top-left corner) captured
// at `pixelSize`, on a display of `scale` pixels a point. The corner is rounded to the nearest
// pixel, as for X11 (NativePixels).
Plan plan(const QRectF &sourceRect, const QSize &pixelSize, qreal scale);

// The plan's pixels cut from a CoreGraphics image of its whole points. An image of another
// size than expected (a display mode of another density) is cut proportionally and scaled to
// the plan's size; a null image stays null.
QImage cropped(const QImage &whole, const Plan &plan);

} // namespace QuartzCapture
