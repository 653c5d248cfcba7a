#pragma once

#include "gallery/GalleryShot.h"

#include <QAbstractListModel>
#include <QImage>
#include <QList>
#include <QStringList>

#include <optional>

// The tiles of a gallery window, one per language in the run's order: what each language's
// tile says and shows. Plain model: the window feeds it the run's shots and the thumbnails
// read off the main thread.
class GalleryTileModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class TileState { NotTaken, Waiting, Capturing, Settled, NotSettled, Failed };

    enum Role {
        LanguageRole = Qt::UserRole + 1, // "pt-BR"
        RegionRole,                      // "pt_BR"
        StateRole,                       // TileState as int
        StateTextRole,                   // "Not settled", "Failed", … ; empty when settled
        ErrorRole,                       // the failure's message; empty otherwise
        ThumbnailRole,                   // QImage, null until read
        SecondsRole,                     // double, 0 until taken
    };

    explicit GalleryTileModel(QObject *parent = nullptr);

    // One tile per language, not taken yet; `regions` holds the locale of each.
    void reset(const QStringList &languages, const QStringList &regions);
    // A run starts (every tile not taken waits for it) or ends (tiles it did not reach were
    // not taken).
    void setWaiting(bool waiting);
    // The language at `row` is being taken; the previous capturing tile of the model (if any)
    // is left to setShot().
    void setCapturing(int row);
    void setShot(int row, const GalleryShot &shot);
    void setThumbnail(int row, const QImage &image);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    QString language(int row) const;
    int rowOf(const QString &language) const;
    TileState state(int row) const;
    std::optional<GalleryShot> shot(int row) const;
    QImage thumbnail(int row) const;

    // "Not settled after 15.0 s: …", "Settled in 1.7 s", the error, "Capturing…", ….
    static QString stateText(TileState state);
    QString detail(int row) const;

private:
    struct Tile {
        QString language;
        QString region;
        TileState state = TileState::NotTaken;
        std::optional<GalleryShot> shot;
        QImage thumbnail;
    };
    void changed(int row);

    QList<Tile> m_tiles;
};
