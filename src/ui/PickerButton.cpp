#include "ui/PickerButton.h"

#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/SearchPopup.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
constexpr int gap = 8;
constexpr int iconSide = 20;
constexpr int chevronSide = 11;
constexpr int sideMargin = 8;
} // namespace

PickerButton::PickerButton(QWidget *parent)
    : QPushButton(parent) {
    setAutoDefault(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &PickerButton::open);
}

void PickerButton::setPopup(SearchPopup *popup) {
    m_popup = popup;
    connect(m_popup, &SearchPopup::queryChanged, this, [this] { updateMatches(); });
}

void PickerButton::setLabel(const QIcon &icon, const QString &text) {
    m_icon = icon;
    setText(text); // also the accessible value of the button
    updateGeometry();
    update();
}

void PickerButton::setHeld(bool held) {
    m_held = held;
    setEnabled(m_hasEntries && !m_held);
}

void PickerButton::setHasEntries(bool hasEntries) {
    m_hasEntries = hasEntries;
    setEnabled(m_hasEntries && !m_held);
}

void PickerButton::open() {
    // Opening always starts with an empty query.
    m_popup->searchField()->clear();
    updateMatches();
    m_popup->popUp(this);
}

QSize PickerButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = sideMargin * 2 + metrics.horizontalAdvance(text()) + gap + chevronSide;
    if (!m_icon.isNull())
        width += iconSide + gap;
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    const QSize content(width, std::max(metrics.height(), iconSide));
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, content, this);
}

QSize PickerButton::minimumSizeHint() const {
    return QSize(std::min(sizeHint().width(), 160), sizeHint().height());
}

void PickerButton::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect content = rect().adjusted(sideMargin + 2, 0, -(sideMargin + 2), 0);
    const bool enabled = isEnabled();
    const QColor textColor =
        palette().color(enabled ? QPalette::Normal : QPalette::Disabled, QPalette::ButtonText);

    const QPixmap chevron =
        Symbols::pixmap(QStringLiteral("chevron.up.chevron.down"), QSize(chevronSide, chevronSide),
                        textColor, devicePixelRatioF());
    painter.drawPixmap(content.right() - chevronSide + 1, content.center().y() - chevronSide / 2,
                       chevron);
    content.setRight(content.right() - chevronSide - gap);

    if (!m_icon.isNull()) {
        const QRect iconRect(content.left(), content.center().y() - iconSide / 2 + 1, iconSide,
                             iconSide);
        m_icon.paint(&painter, iconRect, Qt::AlignCenter,
                     enabled ? QIcon::Normal : QIcon::Disabled);
        content.setLeft(iconRect.right() + 1 + gap);
    }
    painter.setPen(textColor);
    painter.drawText(content, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, content.width()));
}

void PickerButton::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QPushButton::changeEvent(event);
}
