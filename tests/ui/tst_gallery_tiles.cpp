// What a gallery tile says about its language through a run, and the large view's one scale
// for screenshots side by side.
#include "ui/GalleryTileModel.h"
#include "ui/ShotViewer.h"

#include <QTest>

using TileState = GalleryTileModel::TileState;

class GalleryTilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shotDecidesTheTile_data() {
        QTest::addColumn<QString>("imageFile");
        QTest::addColumn<bool>("settled");
        QTest::addColumn<QString>("error");
        QTest::addColumn<TileState>("state");
        QTest::addColumn<QString>("stateText");
        QTest::addColumn<QString>("detail");
        QTest::newRow("settled") << "/tmp/fr.png" << true << QString() << TileState::Settled
                                 << QString() << "Settled in 1.7 s";
        QTest::newRow("not settled")
            << "/tmp/fr.png" << false << QString() << TileState::NotSettled << "Not settled"
            << "Not settled after 1.7 s: the last capture";
        QTest::newRow("failed") << QString() << false << "launch refused" << TileState::Failed
                                << "Failed"
                                << "launch refused";
        // A capture kept before a later step failed is still a failure.
        QTest::newRow("failed with an image")
            << "/tmp/fr.png" << true << "openurl refused" << TileState::Failed << "Failed"
            << "openurl refused";
        QTest::newRow("nothing captured")
            << QString() << true << QString() << TileState::Failed << "Failed"
            << "Nothing was captured.";
    }
    void shotDecidesTheTile() {
        QFETCH(QString, imageFile);
        QFETCH(bool, settled);
        QFETCH(QString, error);
        QFETCH(TileState, state);
        QFETCH(QString, stateText);
        QFETCH(QString, detail);
        GalleryTileModel tiles;
        tiles.reset({"de", "fr"}, {"de_DE", "fr_FR"});
        GalleryShot shot{"fr", "fr_CA", imageFile, settled, 1.7, std::nullopt};
        if (!error.isEmpty())
            shot.error = error;
        tiles.setShot(1, shot);
        QCOMPARE(tiles.state(1), state);
        const QModelIndex tile = tiles.index(1);
        QCOMPARE(tile.data(GalleryTileModel::StateTextRole).toString(), stateText);
        QCOMPARE(tiles.detail(1), detail);
        QCOMPARE(tile.data(GalleryTileModel::RegionRole).toString(), "fr_CA"); // as launched
        QCOMPARE(tile.data(Qt::DisplayRole).toString(), "Français (fr)");
        QCOMPARE(tiles.state(0), TileState::NotTaken); // the other tile is untouched
    }

    // A run's start makes the untaken tiles wait; its end (say, a stop) leaves those it did
    // not reach as not taken, and keeps what it took.
    void runStartAndEnd() {
        GalleryTileModel tiles;
        tiles.reset({"de", "fr", "ja"}, {"de_DE", "fr_FR", "ja_JP"});
        tiles.setWaiting(true);
        tiles.setShot(0, {"de", "de_DE", "/tmp/de.png", true, 1.0, std::nullopt});
        tiles.setCapturing(1);
        QCOMPARE(tiles.state(1), TileState::Capturing);
        QCOMPARE(tiles.state(2), TileState::Waiting);
        tiles.setWaiting(false);
        QCOMPARE(tiles.state(0), TileState::Settled);
        QCOMPARE(tiles.state(1), TileState::NotTaken);
        QCOMPARE(tiles.state(2), TileState::NotTaken);
        tiles.setCapturing(2); // only a waiting tile can be captured
        QCOMPARE(tiles.state(2), TileState::NotTaken);
    }

    // Side by side, a smaller capture is drawn smaller, not stretched to the other's height.
    void oneScaleSideBySide_data() {
        QTest::addColumn<QSize>("left");
        QTest::addColumn<QSize>("right");
        QTest::newRow("same device") << QSize(1290, 2796) << QSize(1290, 2796);
        QTest::newRow("smaller right") << QSize(1290, 2796) << QSize(645, 1398);
        QTest::newRow("wider left") << QSize(2064, 2752) << QSize(1290, 2796);
    }
    void oneScaleSideBySide() {
        QFETCH(QSize, left);
        QFETCH(QSize, right);
        ShotViewer viewer;
        viewer.resize(900, 700);
        ShotViewer::Pane first;
        first.imageSize = left;
        ShotViewer::Pane second;
        second.imageSize = right;
        viewer.setPanes({first, second});
        const QList<QRectF> rects = viewer.imageRects();
        QCOMPARE(rects.size(), 2);
        const qreal scale = rects.at(0).width() / left.width();
        QVERIFY(qAbs(rects.at(1).width() / right.width() - scale) < 1e-9);
        QVERIFY(qAbs(rects.at(0).height() / left.height() - scale) < 1e-9);
        // Both fit, neither overlaps the other.
        for (const QRectF &rect : rects)
            QVERIFY(QRectF(viewer.rect()).contains(rect));
        QVERIFY(rects.at(0).right() < rects.at(1).left());
    }
};

QTEST_MAIN(GalleryTilesTest)
#include "tst_gallery_tiles.moc"
