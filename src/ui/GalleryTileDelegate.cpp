#include "ui/GalleryTileDelegate.h"

#include "gallery/GalleryTexts.h"
#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/GalleryGrid.h"
#include "ui/GalleryTileModel.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

using TileState = GalleryTileModel::TileState;
using Typography::Role;

namespace {

constexpr int padding = 8;
constexpr int labelHeight = 38;

QFont boldFont(Role role) {
    QFont font = Typography::font(role);
    font.setBold(true);
    return font;
}

QRectF fitted(QSizeF size, const QRectF &box) {
    size.scale(box.size(), Qt::KeepAspectRatio);
    return QRectF(box.x() + (box.width() - size.width()) / 2, box.y(), size.width(), size.height());
}

// A small filled label over the top of the screenshot.
void drawBadge(QPainter *painter, const QRectF &image, const QString &text) {
    const QFont font = Typography::font(Role::Caption);
    painter->setFont(font);
    const QFontMetricsF metrics(font);
    const QRectF badge(image.x() + 6, image.y() + 6, metrics.horizontalAdvance(text) + 12,
                       metrics.height() + 4);
    QPainterPath pill;
    pill.addRoundedRect(badge, badge.height() / 2, badge.height() / 2);
    painter->fillPath(pill, Typography::caution());
    painter->setPen(Qt::white);
    painter->drawText(badge, Qt::AlignCenter, text);
}

} // namespace

QSize GalleryTileDelegate::tileSize() const {
    const QSize box = GalleryGrid::thumbnailBox();
    return {box.width() + 2 * padding + 8, box.height() + 2 * padding + labelHeight};
}

QSize GalleryTileDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const {
    return tileSize();
}

void GalleryTileDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const QPalette &colors = option.palette;
    const bool dark = Typography::isDark(colors);
    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;
    const QSize size = tileSize();
    const QRectF card(option.rect.x() + (option.rect.width() - size.width()) / 2.0 + 0.5,
                      option.rect.y() + (option.rect.height() - size.height()) / 2.0 + 0.5,
                      size.width() - 1, size.height() - 1);

    // The card, outlined in the accent colour when selected.
    QColor fill = dark ? colors.color(QPalette::Window).lighter(135)
                       : colors.color(QPalette::Window).lighter(106);
    if (hovered && !selected)
        fill = dark ? fill.lighter(115) : fill.darker(103);
    QColor border = colors.color(QPalette::WindowText);
    border.setAlphaF(dark ? 0.16 : 0.12);
    QPainterPath cardPath;
    cardPath.addRoundedRect(card, 10, 10);
    painter->fillPath(cardPath, fill);
    painter->setPen(selected ? QPen(Typography::tint(), 2) : QPen(border, 1));
    painter->drawPath(cardPath);

    const auto state = TileState(index.data(GalleryTileModel::StateRole).toInt());
    const QImage thumbnail = index.data(GalleryTileModel::ThumbnailRole).value<QImage>();
    const QRectF box(card.x() + padding + 4, card.y() + padding,
                     GalleryGrid::thumbnailBox().width(), GalleryGrid::thumbnailBox().height());
    QColor secondary = Typography::secondaryColor(colors);

    if (!thumbnail.isNull()) {
        const QRectF image = fitted(thumbnail.size(), box);
        QPainterPath rounded;
        rounded.addRoundedRect(image, 8, 8);
        painter->save();
        painter->setClipPath(rounded);
        painter->drawImage(image, thumbnail);
        painter->restore();
        QColor edge = colors.color(QPalette::WindowText);
        edge.setAlphaF(0.18);
        painter->setPen(QPen(edge, 1));
        painter->drawPath(rounded);
        if (state == TileState::NotSettled)
            drawBadge(painter, image, GalleryTileModel::stateText(state));
    } else {
        // A phone-shaped placeholder the size the screenshot will take.
        const QRectF phone = fitted(QSizeF(1290, 2796), box);
        QPainterPath outline;
        outline.addRoundedRect(phone.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
        QColor placeholder = colors.color(QPalette::WindowText);
        placeholder.setAlphaF(dark ? 0.06 : 0.04);
        painter->fillPath(outline, placeholder);
        QColor dashes = colors.color(QPalette::WindowText);
        dashes.setAlphaF(0.22);
        painter->setPen(QPen(dashes, 1, state == TileState::Failed ? Qt::SolidLine : Qt::DashLine));
        painter->drawPath(outline);

        const QRectF inner = phone.adjusted(10, 0, -10, 0);
        if (state == TileState::Failed) {
            const QSize iconSize(22, 22);
            const QPixmap icon =
                Symbols::pixmap(QStringLiteral("exclamationmark.triangle"), iconSize,
                                Typography::caution(), painter->device()->devicePixelRatioF());
            const QPointF iconAt(phone.center().x() - iconSize.width() / 2.0,
                                 phone.y() + phone.height() * 0.3);
            painter->drawPixmap(iconAt, icon);
            painter->setFont(boldFont(Role::Callout));
            painter->setPen(Typography::caution());
            const QRectF title(inner.x(), iconAt.y() + iconSize.height() + 6, inner.width(), 18);
            painter->drawText(title, Qt::AlignHCenter | Qt::AlignTop,
                              GalleryTileModel::stateText(state));
            painter->setFont(Typography::font(Role::Caption));
            painter->setPen(secondary);
            const QRectF message(inner.x(), title.bottom() + 4, inner.width(),
                                 phone.bottom() - title.bottom() - 14);
            const QString error = index.data(GalleryTileModel::ErrorRole).toString();
            // Tool messages hold long identifiers: they break anywhere rather than overflow,
            // and what does not fit is cut at the placeholder's edge (the tooltip has it all).
            QTextOption wrapping(Qt::AlignHCenter | Qt::AlignTop);
            wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            painter->save();
            painter->setClipRect(message);
            painter->drawText(message, error.isEmpty() ? tr("Nothing was captured.") : error,
                              wrapping);
            painter->restore();
        } else {
            painter->setFont(Typography::font(Role::Callout));
            painter->setPen(secondary);
            painter->drawText(phone, Qt::AlignCenter,
                              state == TileState::Settled || state == TileState::NotSettled
                                  ? tr("Reading…")
                                  : GalleryTileModel::stateText(state));
        }
    }

    // The language's own name, then its code, its region and what became of it.
    const QString language = index.data(GalleryTileModel::LanguageRole).toString();
    const QRectF labels(card.x() + padding, box.bottom() + 6, card.width() - 2 * padding,
                        labelHeight - 4);
    const QFont titleFont = boldFont(Role::Callout);
    painter->setFont(titleFont);
    painter->setPen(colors.color(QPalette::WindowText));
    painter->drawText(labels, Qt::AlignHCenter | Qt::AlignTop,
                      QFontMetrics(titleFont).elidedText(GalleryTexts::ownName(language),
                                                         Qt::ElideRight, int(labels.width())));

    const QFont captionFont = Typography::font(Role::Caption);
    painter->setFont(captionFont);
    QStringList parts = {language, index.data(GalleryTileModel::RegionRole).toString()};
    if (state == TileState::Settled)
        parts << tr("%1 s").arg(index.data(GalleryTileModel::SecondsRole).toDouble(), 0, 'f', 1);
    else if (state == TileState::NotSettled || state == TileState::Failed)
        parts << index.data(GalleryTileModel::StateTextRole).toString();
    const bool caution = state == TileState::NotSettled || state == TileState::Failed;
    painter->setPen(caution ? Typography::caution() : secondary);
    painter->drawText(
        labels.adjusted(0, QFontMetrics(titleFont).height() + 1, 0, 0),
        Qt::AlignHCenter | Qt::AlignTop,
        QFontMetrics(captionFont)
            .elidedText(parts.join(QStringLiteral(" · ")), Qt::ElideRight, int(labels.width())));
    painter->restore();
}
