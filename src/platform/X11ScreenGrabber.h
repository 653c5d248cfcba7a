#pragma once

#include "platform/X11PixelLayout.h"

#include <QFuture>
#include <QImage>
#include <QRect>

#include <memory>
#include <optional>

struct xcb_connection_t;

// Reads pixels of the X root window in native coordinates (whole desktop, device pixels),
// through a connection of its own. The copy and the conversion can run on the application's
// thread pool, so a large HiDPI area does not hold up the GUI thread.
class X11ScreenGrabber {
public:
    // Connects to `displayName`, or to $DISPLAY when it is empty; a failed connection makes
    // every grab return a null image.
    explicit X11ScreenGrabber(const QByteArray &displayName);

    // Why the root window's pixels cannot be read although the server answers (a pixel layout
    // no image format matches), as a sentence for the user; none otherwise.
    std::optional<QString> problem() const;

    // The pixels of `native` as an opaque image (RGB32, or RGB30/BGR30 on a 10-bit server), or
    // a null image when the area cannot be read (outside the root window, connection lost, an
    // unreadable pixel layout).
    QImage grab(const QRect &native) const;
    // The same on the application's thread pool; the future always gets a result.
    QFuture<QImage> grabInBackground(const QRect &native) const;

private:
    std::shared_ptr<xcb_connection_t> m_connection;
    quint32 m_root = 0;
    X11PixelLayout::Reading m_reading;
};
