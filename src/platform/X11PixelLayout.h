#pragma once

#include <QImage>
#include <QString>

// How an X server stores the root window's pixels, and the image format that reads them as
// they are. Only depends on Qt Gui's image formats, so it is tested without an X server.
namespace X11PixelLayout {

// The root window's visual as the server describes it.
struct Visual {
    int depth = 0;
    int bitsPerPixel = 0;
    quint32 redMask = 0;
    quint32 greenMask = 0;
    quint32 blueMask = 0;
    bool hostByteOrder = true; // the server sends image data in this machine's byte order
};

// How to read such pixels: the image format, and the bits no colour uses, which must be set
// for the pixels to read as opaque. An unreadable layout has an invalid format and a problem.
struct Reading {
    QImage::Format format = QImage::Format_Invalid;
    quint32 opaqueBits = 0;
    QString problem;
};

// 32-bit pixels with 8 bits per colour (depth 24) read as RGB32; with 10 bits (depth 30) as
// RGB30 or BGR30, following the masks. Everything else is refused with a sentence for the user.
Reading reading(const Visual &visual);

} // namespace X11PixelLayout
