#include "platform/X11ScreenGrabber.h"

#include "platform/PoolJob.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// The root window's pixel layout: its depth's pixmap format and its visual's colour masks.
X11PixelLayout::Visual rootVisual(xcb_connection_t *connection, const xcb_screen_t &screen) {
    const xcb_setup_t *setup = xcb_get_setup(connection);
    X11PixelLayout::Visual visual;
    visual.depth = screen.root_depth;
    const bool serverLittleEndian = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    visual.hostByteOrder = serverLittleEndian == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == screen.root_depth)
            visual.bitsPerPixel = formats.data->bits_per_pixel;
    }
    for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen.root_visual) {
                visual.redMask = visuals.data->red_mask;
                visual.greenMask = visuals.data->green_mask;
                visual.blueMask = visuals.data->blue_mask;
            }
        }
    }
    return visual;
}

QImage grabWith(xcb_connection_t *connection, quint32 root, const X11PixelLayout::Reading &reading,
                const QRect &native) {
    if (!connection || xcb_connection_has_error(connection) || native.isEmpty() ||
        reading.format == QImage::Format_Invalid)
        return {};
    const xcb_get_image_cookie_t cookie =
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, qint16(native.x()),
                      qint16(native.y()), quint16(native.width()), quint16(native.height()), ~0u);
    xcb_get_image_reply_t *reply = xcb_get_image_reply(connection, cookie, nullptr);
    if (!reply)
        return {};
    const int length = xcb_get_image_data_length(reply);
    const qsizetype stride = qsizetype(native.width()) * 4;
    if (length < stride * native.height()) {
        std::free(reply);
        return {};
    }
    auto *pixels = reinterpret_cast<quint32 *>(xcb_get_image_data(reply));
    // The server leaves the bits beside the colours undefined; the image wants them opaque.
    for (qsizetype i = 0, count = stride / 4 * native.height(); i < count; ++i)
        pixels[i] |= reading.opaqueBits;
    // The image uses the reply's memory as it is and frees it when the last copy goes.
    return QImage(
        reinterpret_cast<uchar *>(pixels), native.width(), native.height(), stride, reading.format,
        [](void *data) { std::free(data); }, reply);
}

} // namespace

X11ScreenGrabber::X11ScreenGrabber(const QByteArray &displayName) {
    int screenNumber = 0;
    // A null name, not an empty one, makes xcb read $DISPLAY.
    xcb_connection_t *connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    m_connection.reset(connection, [](xcb_connection_t *c) { xcb_disconnect(c); });
    if (xcb_connection_has_error(connection))
        return;
    auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return;
    m_root = screens.data->root;
    m_reading = X11PixelLayout::reading(rootVisual(connection, *screens.data));
}

std::optional<QString> X11ScreenGrabber::problem() const {
    if (!m_root || m_reading.problem.isEmpty())
        return std::nullopt;
    return m_reading.problem;
}

QImage X11ScreenGrabber::grab(const QRect &native) const {
    return grabWith(m_root ? m_connection.get() : nullptr, m_root, m_reading, native);
}

QFuture<QImage> X11ScreenGrabber::grabInBackground(const QRect &native) const {
    // The job shares the connection (xcb is thread-safe), so it may outlive this grabber.
    return runInPool([connection = m_connection, root = m_root, reading = m_reading, native] {
        return grabWith(root ? connection.get() : nullptr, root, reading, native);
    });
}
