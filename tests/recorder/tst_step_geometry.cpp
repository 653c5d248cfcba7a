// The arithmetic of step recording: edges, capture rectangles, drags, file names.
#include "recorder/StepGeometry.h"

#include <QTest>

using namespace StepGeometry;

class TestStepGeometry : public QObject {
    Q_OBJECT

private slots:
    void contains_data() {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        // The area is (100, 200, 300, 150): x in [100, 400), y in [200, 350).
        QTest::newRow("lower-left corner") << QPointF(100, 200) << true;
        QTest::newRow("right edge") << QPointF(400, 275) << false;
        QTest::newRow("top edge") << QPointF(250, 350) << false;
        QTest::newRow("just inside the right edge") << QPointF(399.5, 275) << true;
    }
    void contains() {
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        QCOMPARE(StepGeometry::contains(QRectF(100, 200, 300, 150), point), inside);
    }

    void captureSource_data() {
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QRectF>("screen");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QRectF>("source");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("retina") << QRectF(200, 650, 300, 200) << QRectF(0, 0, 1600, 1000) << 2.0
                                << QRectF(200, 150, 300, 200) << QSize(600, 400);
        QTest::newRow("second screen to the right, raised")
            << QRectF(1700, 300, 100, 50) << QRectF(1600, 200, 800, 600) << 1.0
            << QRectF(100, 450, 100, 50) << QSize(100, 50);
        QTest::newRow("fractional pixels are truncated")
            << QRectF(0, 0, 100.7, 33.3) << QRectF(0, 0, 1600, 1000) << 1.5
            << QRectF(0, 966.7, 100.7, 33.3) << QSize(151, 49);
    }
    void captureSource() {
        QFETCH(QRectF, area);
        QFETCH(QRectF, screen);
        QFETCH(qreal, scale);
        QFETCH(QRectF, source);
        QFETCH(QSize, pixels);
        const QRectF actual = captureSourceRect(area, screen);
        QCOMPARE(actual.topLeft().toPoint(), source.topLeft().toPoint());
        QCOMPARE(actual.size(), source.size());
        QCOMPARE(capturePixelSize(area, scale), pixels);
    }

    void dragRectangle_data() {
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<QRectF>("selection");
        QTest::newRow("right to left, downwards")
            << QPointF(300, 150) << QPointF(100, 100) << QRectF(100, 100, 200, 50);
        QTest::newRow("beyond the right and top edges")
            << QPointF(1500, 900) << QPointF(1900, 1300) << QRectF(1500, 900, 100, 100);
        QTest::newRow("beyond the left and bottom edges")
            << QPointF(50, 50) << QPointF(-40, -70) << QRectF(0, 0, 50, 50);
    }
    void dragRectangle() {
        QFETCH(QPointF, start);
        QFETCH(QPointF, end);
        QFETCH(QRectF, selection);
        const QRectF actual = StepGeometry::dragRectangle(start, end, QRectF(0, 0, 1600, 1000));
        QCOMPARE(actual.topLeft(), selection.topLeft());
        QCOMPARE(actual.size(), selection.size());
    }

    void pngFilePath_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("path");
        // clang-format off
        QTest::newRow("upper case") << "/d/Shot.PNG" << "/d/Shot.PNG";
        QTest::newRow("another image type") << "/d/shot.jpg" << "/d/shot.png";
        QTest::newRow("no extension") << "/d/shot" << "/d/shot.png";
        QTest::newRow("a dot in the name") << "/d/release 1.2" << "/d/release 1.2.png";
        QTest::newRow("hidden file") << "/d/.jpg" << "/d/.jpg.png";
        // clang-format on
    }
    void pngFilePath() {
        QFETCH(QString, chosen);
        QFETCH(QString, path);
        QCOMPARE(StepGeometry::pngFilePath(chosen), path);
    }
};

QTEST_MAIN(TestStepGeometry)
#include "tst_step_geometry.moc"
