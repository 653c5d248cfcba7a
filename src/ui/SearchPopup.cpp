#include "ui/SearchPopup.h"

#include "style/Symbols.h"
#include "style/Typography.h"
#include "ui/PickerEntryDelegate.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
constexpr int margin = 12;
constexpr int gap = 10;
constexpr int radius = 10;
} // namespace

SearchPopup::SearchPopup(const QString &placeholder, QSize size, int iconSide, QWidget *parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
    , m_search(new QLineEdit(this))
    , m_stack(new QStackedWidget(this))
    , m_list(new QListView(this))
    , m_empty(new QWidget(this))
    , m_emptyIcon(new QLabel(m_empty))
    , m_emptyTitle(new QLabel(m_empty)) {
#ifdef Q_OS_MACOS
    // Rounded corners need a compositing window system; elsewhere the panel stays square.
    setAttribute(Qt::WA_TranslucentBackground);
#endif
    setFixedSize(size);

    m_search->setPlaceholderText(placeholder);
    m_search->addAction(
        Symbols::icon(QStringLiteral("magnifyingglass"), Typography::secondaryColor(palette())),
        QLineEdit::LeadingPosition);
    m_search->setAccessibleName(placeholder);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &SearchPopup::queryChanged);
    connect(m_search, &QLineEdit::textChanged, this, &SearchPopup::updatePlaceholder);
    connect(m_search, &QLineEdit::returnPressed, this, &SearchPopup::pickOnlyMatch);

    m_list->setModel(&m_model);
    m_list->setItemDelegate(new PickerEntryDelegate(iconSide, m_list));
    m_list->setUniformItemSizes(true);
    m_list->setSpacing(1); // QListView spacing applies on both sides: 2 between rows
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMouseTracking(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->viewport()->setAutoFillBackground(false);
    m_list->setAutoFillBackground(false);
    m_list->installEventFilter(this);
    connect(m_list, &QListView::clicked, this, &SearchPopup::pick);

    // The platform's "no results" placeholder: symbol, title naming the query, hint.
    auto *emptyLayout = new QVBoxLayout(m_empty);
    emptyLayout->setSpacing(6);
    emptyLayout->addStretch();
    m_emptyIcon->setAlignment(Qt::AlignCenter);
    m_emptyIcon->setPixmap(Symbols::pixmap(QStringLiteral("magnifyingglass"), QSize(36, 36),
                                           Typography::secondaryColor(palette()),
                                           devicePixelRatioF()));
    emptyLayout->addWidget(m_emptyIcon);
    emptyLayout->addSpacing(4);
    Typography::apply(m_emptyTitle, Typography::Role::Title2);
    m_emptyTitle->setAlignment(Qt::AlignCenter);
    m_emptyTitle->setTextFormat(Qt::PlainText); // quotes what was typed
    emptyLayout->addWidget(m_emptyTitle);
    auto *hint = new QLabel(tr("Check the spelling or try a new search."), m_empty);
    Typography::apply(hint, Typography::Role::Callout);
    Typography::makeSecondary(hint);
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    emptyLayout->addWidget(hint);
    emptyLayout->addStretch();

    m_stack->addWidget(m_list);
    m_stack->addWidget(m_empty);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(gap);
    layout->addWidget(m_search);
    layout->addWidget(m_stack, 1);
    setFocusProxy(m_search);
}

QString SearchPopup::query() const {
    return m_search->text();
}

void SearchPopup::setMatches(QList<PickerEntry> matches) {
    m_model.setEntries(std::move(matches));
    updatePlaceholder();
}

void SearchPopup::setSelectedKey(const QString &key) {
    m_model.setMarkedKey(key);
}

int SearchPopup::matchCount() const {
    return m_model.rowCount();
}

void SearchPopup::popUp(QWidget *anchor) {
    // Made on first use: unless the application's style supplies its own, the stock clear-button
    // image is read through every image-format plugin, which a window should not pay for before
    // its first picker opens.
    m_search->setClearButtonEnabled(true);
    m_search->clear();
    QPoint position = anchor->mapToGlobal(QPoint(0, anchor->height() + 4));
    if (const QScreen *screen = anchor->screen()) {
        const QRect available = screen->availableGeometry();
        position.setX(std::clamp(position.x(), available.left(),
                                 std::max(available.left(), available.right() - width() + 1)));
        if (position.y() + height() > available.bottom() + 1)
            position.setY(
                std::max(available.top(), anchor->mapToGlobal(QPoint(0, 0)).y() - height() - 4));
    }
    move(position);
    show();
    activateWindow();
    m_search->setFocus(Qt::PopupFocusReason);
    m_list->scrollToTop();
}

void SearchPopup::pick(const QModelIndex &index) {
    if (!index.isValid())
        return;
    const QString key = index.data(PickerEntryModel::KeyRole).toString();
    close();
    Q_EMIT picked(key);
}

void SearchPopup::pickOnlyMatch() {
    if (m_model.rowCount() == 1)
        pick(m_model.index(0));
}

void SearchPopup::updatePlaceholder() {
    const bool empty = m_model.rowCount() == 0;
    if (empty) {
        const int available = width() - 2 * margin - 8;
        const QString query = QFontMetrics(m_emptyTitle->font())
                                  .elidedText(m_search->text(), Qt::ElideRight, available - 160);
        m_emptyTitle->setText(tr("No Results for “%1”").arg(query));
    }
    m_stack->setCurrentWidget(empty ? m_empty : m_list);
}

void SearchPopup::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape) {
        close(); // leaves the selection as it was
        return;
    }
    QFrame::keyPressEvent(event);
}

bool SearchPopup::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_search && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
        m_model.rowCount() > 0) {
        // Arrow keys move from the search field into the list.
        m_list->setFocus(Qt::TabFocusReason);
        if (!m_list->currentIndex().isValid())
            m_list->setCurrentIndex(m_model.index(0));
        return true;
    }
    if (watched == m_list && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                              key->key() == Qt::Key_Space)) {
        pick(m_list->currentIndex());
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void SearchPopup::paintEvent(QPaintEvent *) {
    // A rounded panel in the window colour with a hairline border.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    const qreal corner = testAttribute(Qt::WA_TranslucentBackground) ? radius : 0;
    outline.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
    painter.fillPath(outline, palette().color(QPalette::Window));
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(0.25);
    painter.setPen(border);
    painter.drawPath(outline);
}
