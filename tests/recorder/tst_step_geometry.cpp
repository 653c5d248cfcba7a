// The arithmetic of step recording: edges, capture rectangles, the click ring, drags, names.
#include "platform/GlobalCoordinates.h"
#include "recorder/RecordedStep.h"
#include "recorder/StepGeometry.h"
#include "recorder/StepImage.h"

#include <QTest>

using namespace StepGeometry;

class TestStepGeometry : public QObject {
    Q_OBJECT

private slots:
    void contains_data() {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        // The area is (100, 200, 300, 150): x in [100, 400), y in [200, 350).
        QTest::newRow("middle") << QPointF(250, 275) << true;
        QTest::newRow("left edge") << QPointF(100, 275) << true;
        QTest::newRow("bottom edge") << QPointF(250, 200) << true;
        QTest::newRow("lower-left corner") << QPointF(100, 200) << true;
        QTest::newRow("right edge") << QPointF(400, 275) << false;
        QTest::newRow("top edge") << QPointF(250, 350) << false;
        QTest::newRow("just inside the right edge") << QPointF(399.5, 275) << true;
        QTest::newRow("left of the area") << QPointF(99.5, 275) << false;
        QTest::newRow("below the area") << QPointF(250, 199) << false;
    }
    void contains() {
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        QCOMPARE(StepGeometry::contains(QRectF(100, 200, 300, 150), point), inside);
    }

    void minimumSize_data() {
        QTest::addColumn<std::optional<QRectF>>("area");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exactly 30 x 30") << std::optional(QRectF(5, 5, 30, 30)) << true;
        QTest::newRow("29.5 wide") << std::optional(QRectF(5, 5, 29.5, 300)) << false;
        QTest::newRow("29.5 high") << std::optional(QRectF(5, 5, 300, 29.5)) << false;
        QTest::newRow("zero") << std::optional(QRectF()) << false;
        QTest::newRow("none") << std::optional<QRectF>() << false;
    }
    void minimumSize() {
        QFETCH(std::optional<QRectF>, area);
        QFETCH(bool, accepted);
        QCOMPARE(isLargeEnough(area), accepted);
    }

    void captureSource_data() {
        QTest::addColumn<QRectF>("area");
        QTest::addColumn<QRectF>("screen");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QRectF>("source");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("primary") << QRectF(200, 650, 300, 200) << QRectF(0, 0, 1600, 1000) << 1.0
                                 << QRectF(200, 150, 300, 200) << QSize(300, 200);
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
        QVERIFY2(qFuzzyCompare(actual.y() + 1, source.y() + 1),
                 qPrintable(QString::number(actual.y())));
        QCOMPARE(actual.x(), source.x());
        QCOMPARE(actual.size(), source.size());
        QCOMPARE(capturePixelSize(area, scale), pixels);
    }

    void ring_data() {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QPointF>("click");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<qreal>("radius");
        QTest::addColumn<qreal>("outer");
        QTest::addColumn<qreal>("inner");
        // The area is (200, 650, 300, 200) in both rows.
        QTest::newRow("scale 1") << QSize(300, 200) << QPointF(300, 750) << QPointF(100, 100)
                                 << 20.0 << 6.0 << 3.0;
        QTest::newRow("scale 2") << QSize(600, 400) << QPointF(300, 700) << QPointF(200, 300)
                                 << 40.0 << 12.0 << 6.0;
        QTest::newRow("lower-left corner")
            << QSize(300, 200) << QPointF(200, 650) << QPointF(0, 200) << 20.0 << 6.0 << 3.0;
    }
    void ring() {
        QFETCH(QSize, image);
        QFETCH(QPointF, click);
        QFETCH(QPointF, centre);
        QFETCH(qreal, radius);
        QFETCH(qreal, outer);
        QFETCH(qreal, inner);
        const Ring ring = clickRing(image, QRectF(200, 650, 300, 200), click);
        QCOMPARE(ring.centre, centre);
        QCOMPARE(ring.radius, radius);
        QCOMPARE(ring.outerWidth, outer);
        QCOMPARE(ring.innerWidth, inner);
    }

    void composedImageAtScale2() {
        QImage capture(600, 400, QImage::Format_RGB32);
        capture.fill(QColor(0, 0, 255));
        const QImage step =
            composeStepImage(capture, QRectF(200, 650, 300, 200), QPointF(300, 700));
        QCOMPARE(step.size(), capture.size());
        // Centre (200, 300), radius 40, red band 37-43, white band 34-46.
        QCOMPARE(QColor(step.pixel(200, 300)), QColor(0, 0, 255));
        QCOMPARE(QColor(step.pixel(240, 300)), clickRingColour());
        QCOMPARE(QColor(step.pixel(200, 339)), clickRingColour());
        QCOMPARE(QColor(step.pixel(244, 300)), QColor(Qt::white));
        QCOMPARE(QColor(step.pixel(248, 300)), QColor(0, 0, 255));
        QCOMPARE(QColor(capture.pixel(240, 300)), QColor(0, 0, 255)); // capture untouched
    }

    void ringClippedAtTheEdge() {
        QImage capture(300, 200, QImage::Format_RGB32);
        capture.fill(Qt::black);
        // A click on the left edge: the ring's centre lies on the image border.
        const QImage step =
            composeStepImage(capture, QRectF(200, 650, 300, 200), QPointF(200, 750));
        QCOMPARE(step.size(), QSize(300, 200));
        QCOMPARE(QColor(step.pixel(20, 100)), clickRingColour());
        QCOMPARE(QColor(step.pixel(0, 80)), clickRingColour());
    }

    void dragRectangle_data() {
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<QRectF>("selection");
        const QRectF expected(100, 100, 200, 50);
        QTest::newRow("left to right, upwards")
            << QPointF(100, 100) << QPointF(300, 150) << expected;
        QTest::newRow("right to left, downwards")
            << QPointF(300, 150) << QPointF(100, 100) << expected;
        QTest::newRow("beyond the right and top edges")
            << QPointF(1500, 900) << QPointF(1900, 1300) << QRectF(1500, 900, 100, 100);
        QTest::newRow("beyond the left and bottom edges")
            << QPointF(50, 50) << QPointF(-40, -70) << QRectF(0, 0, 50, 50);
        QTest::newRow("no movement")
            << QPointF(420, 230) << QPointF(420, 230) << QRectF(420, 230, 0, 0);
    }
    void dragRectangle() {
        QFETCH(QPointF, start);
        QFETCH(QPointF, end);
        QFETCH(QRectF, selection);
        const QRectF actual = StepGeometry::dragRectangle(start, end, QRectF(0, 0, 1600, 1000));
        QCOMPARE(actual.topLeft(), selection.topLeft());
        QCOMPARE(actual.size(), selection.size());
    }

    void toolkitCoordinates() {
        // The toolkit's desktop has the primary screen at (0, 0) with y downwards.
        const GlobalCoordinates coordinates(QRectF(0, 0, 1600, 1000));
        QCOMPARE(coordinates.fromToolkit(QPointF(300, 250)), QPointF(300, 750));
        QCOMPARE(coordinates.fromToolkit(QRectF(200, 150, 300, 200)), QRectF(200, 650, 300, 200));
        // A screen above the primary one has y beyond the primary's top.
        QCOMPARE(coordinates.fromToolkit(QRectF(0, -800, 1280, 800)), QRectF(0, 1000, 1280, 800));
        QCOMPARE(coordinates.toToolkit(QRectF(200, 650, 300, 200)), QRectF(200, 150, 300, 200));
        QCOMPARE(coordinates.toToolkit(QPointF(300, 750)), QPointF(300, 250));
    }

    void numbersAndFileNames() {
        const QList<RecordedStep> steps = {RecordedStep(QImage()), RecordedStep(QImage()),
                                           RecordedStep(QImage())};
        QCOMPARE(stepPosition(steps, steps[0].id()), 1);
        QCOMPARE(stepPosition(steps, steps[2].id()), 3);
        QCOMPARE(stepPosition(steps, RecordedStep(QImage()).id()), std::nullopt);
        QVERIFY(!(steps[0] == steps[1])); // same picture, different steps
        QCOMPARE(stepFileName(2), QStringLiteral("Step-2.png"));
        QCOMPARE(stepFileName(12), QStringLiteral("Step-12.png"));
    }
};

QTEST_MAIN(TestStepGeometry)
#include "tst_step_geometry.moc"
