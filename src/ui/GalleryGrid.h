#pragma once

#include "gallery/GalleryShot.h"

#include <QListView>

class GalleryTileModel;
class ShotImageLoader;

// The gallery's tiles in rows that wrap with the window's width. A taken language's thumbnail
// is read and scaled on a worker thread and shows up when it is ready. Clicking a tile, or
// Return on it, opens it.
class GalleryGrid : public QListView {
    Q_OBJECT

public:
    explicit GalleryGrid(QWidget *parent = nullptr);

    GalleryTileModel *tiles() const { return m_tiles; }
    ShotImageLoader *loader() const { return m_loader; }

    // One waiting tile per language.
    void reset(const QStringList &languages, const QStringList &regions);
    void setCapturing(int row);
    // Shows the outcome at once and the thumbnail once it has been read.
    void setShot(int row, const GalleryShot &shot);
    // Thumbnails asked for and not yet read.
    int pendingThumbnails() const;

    // The box a thumbnail is scaled into, in device-independent pixels.
    static QSize thumbnailBox();

Q_SIGNALS:
    void tileOpened(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Spreads the columns over the whole width instead of leaving the rest at the right.
    void spreadColumns();

    QSize m_tileSize;
    GalleryTileModel *m_tiles;
    ShotImageLoader *m_loader;
    quint64 m_generation = 0; // thumbnails of an earlier run are dropped
};
