#pragma once

#include <QFuture>
#include <QImage>
#include <QRect>

#include <memory>

struct xcb_connection_t;

// Reads pixels of the X root window in native coordinates (whole desktop, device pixels),
// through a connection of its own. The copy and the conversion can run on a thread of their
// own, so a large HiDPI area does not hold up the GUI thread.
class X11ScreenGrabber {
public:
    // Connects to `displayName`; a failed connection makes every grab return a null image.
    explicit X11ScreenGrabber(const QByteArray &displayName);

    // The pixels of `native` as an opaque RGB32 image, or a null image when the area cannot be
    // read (outside the root window, connection lost, a pixel layout other than 32 bits).
    QImage grab(const QRect &native) const;
    // The same on a thread of its own; the future always gets a result.
    QFuture<QImage> grabInBackground(const QRect &native) const;

private:
    std::shared_ptr<xcb_connection_t> m_connection;
    quint32 m_root = 0;
};
