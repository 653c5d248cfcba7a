#include "ui/GalleryTileModel.h"

#include "ui/GalleryLabels.h"

GalleryTileModel::GalleryTileModel(QObject *parent)
    : QAbstractListModel(parent) {}

void GalleryTileModel::reset(const QStringList &languages, const QStringList &regions) {
    beginResetModel();
    m_tiles.clear();
    for (int row = 0; row < languages.size(); ++row)
        m_tiles.append({languages.at(row), regions.value(row), TileState::NotTaken, {}, {}});
    endResetModel();
}

void GalleryTileModel::setWaiting(bool waiting) {
    for (int row = 0; row < m_tiles.size(); ++row) {
        TileState &state = m_tiles[row].state;
        const TileState before = state;
        if (waiting && state == TileState::NotTaken)
            state = TileState::Waiting;
        else if (!waiting && (state == TileState::Waiting || state == TileState::Capturing))
            state = TileState::NotTaken;
        if (state != before)
            changed(row);
    }
}

void GalleryTileModel::setCapturing(int row) {
    if (row < 0 || row >= m_tiles.size() || m_tiles[row].state != TileState::Waiting)
        return;
    m_tiles[row].state = TileState::Capturing;
    changed(row);
}

void GalleryTileModel::setShot(int row, const GalleryShot &shot) {
    if (row < 0 || row >= m_tiles.size())
        return;
    Tile &tile = m_tiles[row];
    tile.shot = shot;
    tile.region = shot.region.isEmpty() ? tile.region : shot.region;
    tile.state = shot.error         ? TileState::Failed
                 : !shot.hasImage() ? TileState::Failed
                 : shot.settled     ? TileState::Settled
                                    : TileState::NotSettled;
    tile.thumbnail = QImage();
    changed(row);
}

void GalleryTileModel::setThumbnail(int row, const QImage &image) {
    if (row < 0 || row >= m_tiles.size())
        return;
    m_tiles[row].thumbnail = image;
    changed(row);
}

int GalleryTileModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_tiles.size());
}

QVariant GalleryTileModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_tiles.size())
        return {};
    const Tile &tile = m_tiles.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return GalleryLabels::title(tile.language);
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return GalleryLabels::title(tile.language) + QStringLiteral(" · ") + tile.region +
               QLatin1Char('\n') + detail(index.row());
    case LanguageRole:
        return tile.language;
    case RegionRole:
        return tile.region;
    case StateRole:
        return int(tile.state);
    case StateTextRole:
        return tile.state == TileState::Settled ? QString() : stateText(tile.state);
    case ErrorRole:
        return tile.shot && tile.shot->error ? *tile.shot->error : QString();
    case ThumbnailRole:
        return tile.thumbnail;
    case SecondsRole:
        return tile.shot ? tile.shot->seconds : 0.0;
    default:
        return {};
    }
}

QString GalleryTileModel::language(int row) const {
    return row >= 0 && row < m_tiles.size() ? m_tiles.at(row).language : QString();
}

int GalleryTileModel::rowOf(const QString &language) const {
    for (int row = 0; row < m_tiles.size(); ++row)
        if (m_tiles.at(row).language == language)
            return row;
    return -1;
}

GalleryTileModel::TileState GalleryTileModel::state(int row) const {
    return row >= 0 && row < m_tiles.size() ? m_tiles.at(row).state : TileState::NotTaken;
}

std::optional<GalleryShot> GalleryTileModel::shot(int row) const {
    return row >= 0 && row < m_tiles.size() ? m_tiles.at(row).shot : std::nullopt;
}

QImage GalleryTileModel::thumbnail(int row) const {
    return row >= 0 && row < m_tiles.size() ? m_tiles.at(row).thumbnail : QImage();
}

QString GalleryTileModel::stateText(TileState state) {
    switch (state) {
    case TileState::NotTaken:
        return tr("Not taken yet");
    case TileState::Waiting:
        return tr("Waiting");
    case TileState::Capturing:
        return tr("Capturing…");
    case TileState::Settled:
        return tr("Settled");
    case TileState::NotSettled:
        return tr("Not settled");
    case TileState::Failed:
        return tr("Failed");
    }
    return {};
}

QString GalleryTileModel::detail(int row) const {
    if (row < 0 || row >= m_tiles.size())
        return {};
    const Tile &tile = m_tiles.at(row);
    const QString seconds = tile.shot ? QString::number(tile.shot->seconds, 'f', 1) : QString();
    switch (tile.state) {
    case TileState::Settled:
        return tr("Settled in %1 s").arg(seconds);
    case TileState::NotSettled:
        return tr("Not settled after %1 s: the last capture").arg(seconds);
    case TileState::Failed:
        return tile.shot && tile.shot->error ? *tile.shot->error : tr("Nothing was captured.");
    default:
        return stateText(tile.state);
    }
}

void GalleryTileModel::changed(int row) {
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at);
}
