#include "ui/GalleryGrid.h"

#include "ui/GalleryTileDelegate.h"
#include "ui/GalleryTileModel.h"
#include "ui/ShotImageLoader.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

GalleryGrid::GalleryGrid(QWidget *parent)
    : QListView(parent)
    , m_tiles(new GalleryTileModel(this))
    , m_loader(new ShotImageLoader(this)) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    auto *delegate = new GalleryTileDelegate(this);
    setItemDelegate(delegate);
    m_tileSize = delegate->tileSize();
    setGridSize(m_tileSize + QSize(12, 12));
    setSpacing(0);
    setModel(m_tiles);
    viewport()->setAutoFillBackground(false);
    setAccessibleName(tr("Languages"));

    connect(this, &QListView::clicked, this,
            [this](const QModelIndex &index) { Q_EMIT tileOpened(index.row()); });
    connect(m_loader, &ShotImageLoader::loaded, this,
            [this](const QString &key, const QImage &image, QSize) {
                const QStringList parts = key.split(QLatin1Char('/'));
                if (parts.value(0).toULongLong() != m_generation)
                    return;
                m_tiles->setThumbnail(parts.value(1).toInt(), image);
            });
}

void GalleryGrid::reset(const QStringList &languages, const QStringList &regions) {
    ++m_generation;
    m_tiles->reset(languages, regions);
}

void GalleryGrid::setCapturing(int row) {
    m_tiles->setCapturing(row);
}

void GalleryGrid::setShot(int row, const GalleryShot &shot) {
    m_tiles->setShot(row, shot);
    if (!shot.hasImage())
        return;
    const qreal scale = devicePixelRatioF();
    m_loader->load(QStringLiteral("%1/%2").arg(m_generation).arg(row), shot.imageFile,
                   thumbnailBox() * scale);
}

int GalleryGrid::pendingThumbnails() const {
    return m_loader->pending();
}

QSize GalleryGrid::thumbnailBox() {
    return {124, 268};
}

void GalleryGrid::resizeEvent(QResizeEvent *event) {
    spreadColumns();
    QListView::resizeEvent(event);
}

void GalleryGrid::spreadColumns() {
    constexpr int minimumGap = 12;
    // The list lays its items out as if its scroll bar were showing: leave room for it.
    const int width = viewport()->width() - 2 -
                      (verticalScrollBar()->isVisible()
                           ? 0
                           : style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
    const int columns = std::max(1, width / (m_tileSize.width() + minimumGap));
    const QSize cell(std::max(m_tileSize.width() + minimumGap, width / columns),
                     m_tileSize.height() + minimumGap);
    if (gridSize() != cell)
        setGridSize(cell);
}

void GalleryGrid::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
         event->key() == Qt::Key_Space) &&
        currentIndex().isValid()) {
        Q_EMIT tileOpened(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}
