#include "ui/SegmentedControl.h"

#include "style/Typography.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {

constexpr int horizontalPadding = 14;
constexpr int verticalPadding = 3;
constexpr int minimumTextHeight = 18;
constexpr qreal radius = 6;
constexpr qreal fillRadius = 5.5;

// One segment, painted by itself: one rounded outline around all segments (inner segments
// share one border line), the chosen one filled with the accent colour.
class Segment : public QToolButton {
public:
    Segment(const QString &text, bool first, bool last, QWidget *parent)
        : QToolButton(parent)
        , m_first(first)
        , m_last(last) {
        setText(text);
        setCheckable(true);
        setFocusPolicy(Qt::StrongFocus);
        setToolButtonStyle(Qt::ToolButtonTextOnly);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics = fontMetrics();
        // The text with a space either side and a little air, the padding and the borders
        // (an inner segment has no left border of its own).
        const int width = metrics.size(Qt::TextShowMnemonic, text()).width() +
                          2 * metrics.horizontalAdvance(QLatin1Char(' ')) + 3 +
                          2 * horizontalPadding + (m_first ? 2 : 1);
        const int height =
            std::max(metrics.height(), minimumTextHeight) + 3 + 2 * verticalPadding + 2;
        return {width, height};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override {
        const QPalette colors = palette();
        const bool dark = Typography::isDark(colors);
        const QColor track = dark ? colors.color(QPalette::Window).lighter(150)
                                  : colors.color(QPalette::Window).darker(108);
        const QColor border = dark ? QColor(255, 255, 255, 40) : QColor(0, 0, 0, 45);
        const bool enabled = isEnabled();
        const bool chosen = isChecked();
        QColor fill = track;
        if (chosen)
            fill = enabled ? Typography::tint() : border;
        QColor textColor =
            colors.color(enabled ? QPalette::Normal : QPalette::Disabled, QPalette::ButtonText);
        if (chosen && enabled)
            textColor = Qt::white;

        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // The fill reaches half-way into the border line, which is drawn over it. An inner
        // segment has no left border (its neighbour's right border is the line between them)
        // unless it has the focus, which outlines it all round.
        const QRectF box = rect();
        const int leftBorder = m_first || hasFocus() ? 1 : 0;
        painter.fillPath(outline(box.adjusted(leftBorder / 2.0, 0.5, -0.5, -0.5), fillRadius),
                         fill);
        const QPainterPath ring =
            outline(box, radius)
                .subtracted(outline(box.adjusted(leftBorder, 1, -1, -1), radius - 1));
        painter.fillPath(ring, hasFocus() ? colors.color(QPalette::Highlight) : border);

        painter.setPen(textColor);
        const QRect content = rect().adjusted(leftBorder + horizontalPadding, 1 + verticalPadding,
                                              -1 - horizontalPadding, -1 - verticalPadding);
        painter.drawText(content, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }

private:
    // The segment's outline in `box`: rounded at the outer ends only.
    QPainterPath outline(const QRectF &box, qreal corner) const {
        const qreal left = m_first ? corner : 0;
        const qreal right = m_last ? corner : 0;
        QPainterPath shape;
        shape.moveTo(box.left() + left, box.top());
        shape.lineTo(box.right() - right, box.top());
        if (right > 0)
            shape.arcTo(box.right() - 2 * right, box.top(), 2 * right, 2 * right, 90, -90);
        shape.lineTo(box.right(), box.bottom() - right);
        if (right > 0)
            shape.arcTo(box.right() - 2 * right, box.bottom() - 2 * right, 2 * right, 2 * right, 0,
                        -90);
        shape.lineTo(box.left() + left, box.bottom());
        if (left > 0)
            shape.arcTo(box.left(), box.bottom() - 2 * left, 2 * left, 2 * left, 270, -90);
        shape.lineTo(box.left(), box.top() + left);
        if (left > 0)
            shape.arcTo(box.left(), box.top(), 2 * left, 2 * left, 180, -90);
        shape.closeSubpath();
        return shape;
    }

    bool m_first;
    bool m_last;
};

} // namespace

SegmentedControl::SegmentedControl(const QStringList &segments, QWidget *parent)
    : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_group.setExclusive(true);
    for (const QString &text : segments) {
        const int index = int(m_segments.size());
        auto *button = new Segment(text, index == 0, index == segments.size() - 1, this);
        m_group.addButton(button, index);
        m_segments.append(button);
        layout->addWidget(button);
    }
    connect(&m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
}

int SegmentedControl::currentIndex() const {
    return m_group.checkedId();
}

void SegmentedControl::setCurrentIndex(int index) {
    if (QAbstractButton *button = m_group.button(index))
        button->setChecked(true);
}

QToolButton *SegmentedControl::segment(int index) const {
    return m_segments.value(index);
}
