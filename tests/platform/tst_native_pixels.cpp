// Points of a scaled screen in native pixels and back.
#include "platform/NativePixels.h"

#include <QTest>

class TestNativePixels : public QObject {
    Q_OBJECT

private slots:
    void rect_data() {
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<qreal>("factor");
        QTest::addColumn<QRectF>("local");
        QTest::addColumn<QRect>("native");
        // The origin is not scaled: only what lies inside the screen is.
        QTest::newRow("right of a 1920 screen, scale 2")
            << QPoint(1920, 0) << 2.0 << QRectF(10, 20, 300, 200) << QRect(1940, 40, 600, 400);
        QTest::newRow("a third of a point at 1.5")
            << QPoint(1280, 0) << 1.5 << QRectF(122.0 / 3, 0, 2560.0 / 3, 640)
            << QRect(1341, 0, 1280, 960);
        QTest::newRow("half pixels are cut off")
            << QPoint(0, 0) << 1.5 << QRectF(0, 0, 100.7, 33.3) << QRect(0, 0, 151, 49);
        QTest::newRow("left of the primary")
            << QPoint(-1280, 0) << 1.25 << QRectF(8, 8, 80, 80) << QRect(-1270, 10, 100, 100);
    }
    void rect() {
        QFETCH(QPoint, origin);
        QFETCH(qreal, factor);
        QFETCH(QRectF, local);
        QFETCH(QRect, native);
        QCOMPARE(NativePixels::rect(origin, factor, local), native);
    }

    void toPoints_data() {
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<qreal>("factor");
        QTest::addColumn<QPointF>("native");
        QTest::addColumn<QPointF>("points");
        QTest::newRow("last pixel of a 400-point run at 2")
            << QPoint(1280, 0) << 2.0 << QPointF(1280 + 799, 11) << QPointF(1280 + 399.5, 5.5);
        QTest::newRow("scale 1.5")
            << QPoint(1280, 0) << 1.5 << QPointF(1280 + 3, 3) << QPointF(1282, 2);
    }
    void toPoints() {
        QFETCH(QPoint, origin);
        QFETCH(qreal, factor);
        QFETCH(QPointF, native);
        QFETCH(QPointF, points);
        QCOMPARE(NativePixels::toPoints(origin, factor, native), points);
    }

    void screenRect() {
        // 1280 native pixels at 1.5 are reported as 853 points.
        QCOMPARE(NativePixels::screenRect(QRect(1280, 0, 853, 640), 1.5),
                 QRect(1280, 0, 1280, 960));
    }
};

QTEST_GUILESS_MAIN(TestNativePixels)
#include "tst_native_pixels.moc"
