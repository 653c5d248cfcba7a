#include "platform/X11ScreenGrabber.h"

#include <QPromise>

#include <xcb/xcb.h>

#include <cstdlib>
#include <thread>

namespace {

// Whether the server hands out ZPixmap images of the root's depth as 32-bit pixels, which is
// what QImage::Format_RGB32 reads.
bool hasThirtyTwoBitPixels(xcb_connection_t *connection, quint8 depth) {
    const xcb_setup_t *setup = xcb_get_setup(connection);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32 && depth >= 24;
    }
    return false;
}

QImage grabWith(xcb_connection_t *connection, quint32 root, const QRect &native) {
    if (!connection || xcb_connection_has_error(connection) || native.isEmpty())
        return {};
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, qint16(native.x()),
                      qint16(native.y()), quint16(native.width()), quint16(native.height()), ~0u);
    xcb_get_image_reply_t *reply = xcb_get_image_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    const int length = xcb_get_image_data_length(reply);
    const qsizetype stride = qsizetype(native.width()) * 4;
    if (!hasThirtyTwoBitPixels(connection, reply->depth) || length < stride * native.height()) {
        std::free(reply);
        return {};
    }
    auto *pixels = reinterpret_cast<quint32 *>(xcb_get_image_data(reply));
    // The server leaves the byte above red, green and blue undefined; RGB32 wants it opaque.
    for (qsizetype i = 0, count = stride / 4 * native.height(); i < count; ++i)
        pixels[i] |= 0xff000000u;
    // The image uses the reply's memory as it is and frees it when the last copy goes.
    return QImage(
        reinterpret_cast<uchar *>(pixels), native.width(), native.height(), stride,
        QImage::Format_RGB32, [](void *data) { std::free(data); }, reply);
}

} // namespace

X11ScreenGrabber::X11ScreenGrabber(const QByteArray &displayName) {
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(displayName.constData(), &screenNumber);
    m_connection.reset(connection, [](xcb_connection_t *c) { xcb_disconnect(c); });
    if (xcb_connection_has_error(connection))
        return;
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (screens.rem)
        m_root = screens.data->root;
}

QImage X11ScreenGrabber::grab(const QRect &native) const {
    return grabWith(m_root ? m_connection.get() : nullptr, m_root, native);
}

QFuture<QImage> X11ScreenGrabber::grabInBackground(const QRect &native) const {
    QPromise<QImage> promise;
    QFuture<QImage> future = promise.future();
    promise.start();
    // The thread shares the connection (xcb is thread-safe), so it may outlive this grabber.
    std::thread job(
        [promise = std::move(promise), connection = m_connection, root = m_root, native]() mutable {
            promise.addResult(grabWith(root ? connection.get() : nullptr, root, native));
            promise.finish();
        });
    job.detach();
    return future;
}
