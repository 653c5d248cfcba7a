#pragma once

#include <QStyledItemDelegate>

// Draws one gallery tile: a card with the screenshot (or a phone-shaped placeholder saying
// what the language is waiting for, or why it failed), the language's own name and code, and
// its region with what became of the language.
class GalleryTileDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize tileSize() const;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
