#pragma once

#include <QStyledItemDelegate>

// Draws the rows of the pickers and of the My Apps list: an optional checkbox, an optional
// icon, a title with an optional secondary line, and a checkmark on the marked row. The whole
// row reacts to the mouse, not only its text.
class PickerEntryDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // `iconSide` 0 draws no icon column.
    explicit PickerEntryDelegate(int iconSide, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    QRect checkboxRect(const QStyleOptionViewItem &option) const;

    int m_iconSide;
};
