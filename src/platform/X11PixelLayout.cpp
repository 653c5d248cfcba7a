#include "platform/X11PixelLayout.h"

namespace X11PixelLayout {

namespace {

struct Known {
    quint32 red, green, blue;
    QImage::Format format;
};

constexpr Known known[] = {
    {0x00ff0000u, 0x0000ff00u, 0x000000ffu, QImage::Format_RGB32},
    {0x3ff00000u, 0x000ffc00u, 0x000003ffu, QImage::Format_RGB30},
    {0x000003ffu, 0x000ffc00u, 0x3ff00000u, QImage::Format_BGR30},
};

} // namespace

Reading reading(const Visual &visual) {
    if (visual.bitsPerPixel == 32 && visual.hostByteOrder) {
        for (const Known &layout : known) {
            if (visual.redMask == layout.red && visual.greenMask == layout.green &&
                visual.blueMask == layout.blue)
                return {layout.format, ~(layout.red | layout.green | layout.blue), {}};
        }
    }
    return {QImage::Format_Invalid, 0,
            QStringLiteral("The X server stores screen pixels in a layout Quillmarch cannot read "
                           "(depth %1, %2 bits per pixel, colour masks %3/%4/%5%6). Run the X "
                           "server at depth 24 or 30 to record steps.")
                .arg(visual.depth)
                .arg(visual.bitsPerPixel)
                .arg(QString::number(visual.redMask, 16), QString::number(visual.greenMask, 16),
                     QString::number(visual.blueMask, 16),
                     visual.hostByteOrder ? QString() : QStringLiteral(", the other byte order"))};
}

} // namespace X11PixelLayout
