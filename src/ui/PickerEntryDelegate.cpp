#include "ui/PickerEntryDelegate.h"

#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/PickerEntryModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int padding = 8;
constexpr int spacing = 10;
constexpr int checkmarkSide = 14;
} // namespace

PickerEntryDelegate::PickerEntryDelegate(int iconSide, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_iconSide(iconSide) {}

QRect PickerEntryDelegate::checkboxRect(const QStyleOptionViewItem &option) const {
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    return QRect(option.rect.left() + padding, option.rect.center().y() - height / 2 + 1, width,
                 height);
}

QSize PickerEntryDelegate::sizeHint(const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const {
    const QFontMetrics body(Typography::font(Typography::Role::Body));
    const QFontMetrics caption(Typography::font(Typography::Role::Caption));
    int textHeight = body.height();
    if (!index.data(PickerEntryModel::SubtitleRole).toString().isEmpty())
        textHeight += 2 + caption.height();
    const int height = std::max(textHeight, m_iconSide) + 2 * padding;
    return QSize(option.rect.width() > 0 ? option.rect.width() : 200, height);
}

void PickerEntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette &palette = option.palette;
    const bool hovered = option.state & QStyle::State_MouseOver;
    const bool current =
        (option.state & QStyle::State_HasFocus) || (option.state & QStyle::State_Selected);
    if (hovered || current) {
        QColor highlight = palette.color(QPalette::Highlight);
        highlight.setAlphaF(current ? 0.22 : 0.12);
        QPainterPath background;
        background.addRoundedRect(QRectF(option.rect).adjusted(2, 0, -2, 0), 6, 6);
        painter->fillPath(background, highlight);
    }

    QRect content = option.rect.adjusted(padding, padding, -padding, -padding);

    const QVariant checkState = index.data(Qt::CheckStateRole);
    if (checkState.isValid()) {
        QStyleOptionButton box;
        box.rect = checkboxRect(option);
        box.palette = palette;
        box.state = option.state & QStyle::State_Enabled;
        box.state |= checkState.toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
        content.setLeft(box.rect.right() + spacing);
    }

    // Rows without an icon (identifiers that are not loaded) start their text right there.
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (m_iconSide > 0 && !icon.isNull()) {
        const QRect iconRect(content.left(), content.center().y() - m_iconSide / 2 + 1, m_iconSide,
                             m_iconSide);
        icon.paint(painter, iconRect, Qt::AlignCenter);
        content.setLeft(iconRect.right() + 1 + spacing);
    }

    if (index.data(PickerEntryModel::MarkedRole).toBool()) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QPixmap mark =
            Symbols::pixmap(QStringLiteral("checkmark"), QSize(checkmarkSide, checkmarkSide),
                            Typography::tint(), ratio);
        painter->drawPixmap(content.right() - checkmarkSide + 1,
                            content.center().y() - checkmarkSide / 2 + 1, mark);
    }
    content.setRight(content.right() - checkmarkSide - spacing);

    const QFont bodyFont = Typography::font(Typography::Role::Body);
    const QFont captionFont = Typography::font(Typography::Role::Caption);
    const QFontMetrics body(bodyFont);
    const QFontMetrics caption(captionFont);
    const QString title = index.data(Qt::DisplayRole).toString();
    const QString subtitle = index.data(PickerEntryModel::SubtitleRole).toString();
    const int textHeight = body.height() + (subtitle.isEmpty() ? 0 : 2 + caption.height());
    int top = content.center().y() - textHeight / 2 + 1;

    const QPalette::ColorGroup group =
        option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->setFont(bodyFont);
    painter->setPen(palette.color(group, QPalette::Text));
    painter->drawText(QRect(content.left(), top, content.width(), body.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      body.elidedText(title, Qt::ElideRight, content.width()));
    if (!subtitle.isEmpty()) {
        top += body.height() + 2;
        painter->setFont(captionFont);
        painter->setPen(Typography::secondaryColor(palette));
        painter->drawText(QRect(content.left(), top, content.width(), caption.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          caption.elidedText(subtitle, Qt::ElideMiddle, content.width()));
    }
    painter->restore();
}

bool PickerEntryDelegate::editorEvent(QEvent *event, QAbstractItemModel *model,
                                      const QStyleOptionViewItem &option,
                                      const QModelIndex &index) {
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        return QStyledItemDelegate::editorEvent(event, model, option, index);

    // A checkable row is one checkbox whose label is the whole row: a click anywhere on it
    // toggles it, and so does Space on the current row.
    bool toggle = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        toggle =
            mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        return true; // no second toggle from the double click's second press
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
    }
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
