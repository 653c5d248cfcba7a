// The X11 screen grabber against X servers of its own (Xvfb at depths 24, 30 and 16): the
// colours read at each depth, the refusal of a layout it cannot read, the $DISPLAY fallback and
// the background grab belonging to the pool the application waits for. The layout decision
// itself is also checked for layouts Xvfb cannot produce.
#include "platform/X11PixelLayout.h"
#include "platform/X11ScreenGrabber.h"

#include <QProcess>
#include <QTest>
#include <QThreadPool>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

// An Xvfb that picks a free display number itself and says which.
class PrivateServer {
public:
    explicit PrivateServer(int depth) {
        m_process.setProgram(QStringLiteral("Xvfb"));
        m_process.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                                QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                QStringLiteral("-noreset"), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("64x48x%1").arg(depth)});
        m_process.start();
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(10000))
            m_name = ":" + m_process.readLine().trimmed();
    }
    ~PrivateServer() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QByteArray name() const { return m_name; }

private:
    QProcess m_process;
    QByteArray m_name;
};

// Fills the root window with `pixel` (the server's own pixel value).
bool paintRoot(const QByteArray &display, quint32 pixel) {
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> connection(
        xcb_connect(display.constData(), nullptr), xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data->root;
    xcb_change_window_attributes(connection.get(), root, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(connection.get(), 0, root, 0, 0, 0, 0);
    // A round trip: the server has painted when it answers.
    std::free(xcb_get_input_focus_reply(connection.get(), xcb_get_input_focus(connection.get()),
                                        nullptr));
    return true;
}

} // namespace

Q_DECLARE_METATYPE(X11PixelLayout::Visual)

class TestX11ScreenGrabber : public QObject {
    Q_OBJECT

private slots:
    // The same colour on servers of different depths: 8-bit channels at depth 24, the same
    // values widened to 10 bits (bit replication) at depth 30.
    void colours_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<quint32>("pixel");
        QTest::addColumn<int>("format");
        QTest::addColumn<quint32>("stored"); // the first pixel's 32-bit word as read
        QTest::newRow("depth 24") << 24 << 0x1234c8u << int(QImage::Format_RGB32) << 0xff1234c8u;
        const quint32 tenBits = (0x048u << 20) | (0x0d0u << 10) | 0x323u;
        QTest::newRow("depth 30") << 30 << tenBits << int(QImage::Format_RGB30)
                                  << (0xc0000000u | tenBits);
    }
    void colours() {
        QFETCH(int, depth);
        QFETCH(quint32, pixel);
        PrivateServer server(depth);
        QVERIFY2(!server.name().isEmpty(), "Xvfb did not start");
        QVERIFY(paintRoot(server.name(), pixel));
        const X11ScreenGrabber grabber(server.name());
        QCOMPARE(grabber.problem(), std::nullopt);
        const QImage image = grabber.grab(QRect(10, 5, 20, 10));
        QCOMPARE(image.size(), QSize(20, 10));
        QTEST(int(image.format()), "format");
        QTEST(reinterpret_cast<const quint32 *>(image.constScanLine(9))[19], "stored");
        QCOMPARE(image.pixelColor(0, 0).toRgb().name(), QStringLiteral("#1234c8"));
    }

    // A 16-bit server is refused with a sentence, before and instead of any capture.
    void refusedDepth() {
        PrivateServer server(16);
        QVERIFY2(!server.name().isEmpty(), "Xvfb did not start");
        const X11ScreenGrabber grabber(server.name());
        QVERIFY(grabber.problem());
        QVERIFY2(grabber.problem()->contains(QStringLiteral("depth 16, 16 bits per pixel")),
                 qPrintable(*grabber.problem()));
        QVERIFY(grabber.grab(QRect(0, 0, 8, 8)).isNull());
    }

    // No display name means $DISPLAY; the background grab is a job of the global pool, which
    // the application waits for when it ends.
    void displayFromEnvironmentInPool() {
        PrivateServer server(24);
        QVERIFY2(!server.name().isEmpty(), "Xvfb did not start");
        QVERIFY(paintRoot(server.name(), 0x00ff00u));
        const QByteArray previous = qgetenv("DISPLAY");
        qputenv("DISPLAY", server.name());
        auto grabber = std::make_unique<X11ScreenGrabber>(QByteArray());
        qputenv("DISPLAY", previous);
        QFuture<QImage> future = grabber->grabInBackground(QRect(0, 0, 64, 48));
        grabber.reset();
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY(future.isFinished());
        QCOMPARE(future.result().pixelColor(63, 47), QColor(Qt::green));
    }

    // Layouts Xvfb does not offer: blue in the high bits, and a server of the other byte order.
    void layouts_data() {
        QTest::addColumn<X11PixelLayout::Visual>("visual");
        QTest::addColumn<int>("format");
        QTest::addColumn<quint32>("opaqueBits");
        QTest::newRow("24-bit in 32") << X11PixelLayout::Visual{24, 32, 0xff0000u, 0xff00u, 0xffu}
                                      << int(QImage::Format_RGB32) << 0xff000000u;
        QTest::newRow("30-bit, blue high")
            << X11PixelLayout::Visual{30, 32, 0x3ffu, 0xffc00u, 0x3ff00000u}
            << int(QImage::Format_BGR30) << 0xc0000000u;
        QTest::newRow("24-bit packed") << X11PixelLayout::Visual{24, 24, 0xff0000u, 0xff00u, 0xffu}
                                       << int(QImage::Format_Invalid) << 0u;
        QTest::newRow("other byte order")
            << X11PixelLayout::Visual{24, 32, 0xff0000u, 0xff00u, 0xffu, false}
            << int(QImage::Format_Invalid) << 0u;
    }
    void layouts() {
        QFETCH(X11PixelLayout::Visual, visual);
        const X11PixelLayout::Reading reading = X11PixelLayout::reading(visual);
        QTEST(int(reading.format), "format");
        QTEST(reading.opaqueBits, "opaqueBits");
        QCOMPARE(reading.problem.isEmpty(), reading.format != QImage::Format_Invalid);
    }
};

QTEST_GUILESS_MAIN(TestX11ScreenGrabber)
#include "tst_x11_screen_grabber.moc"
