#include "ui/SegmentedControl.h"

#include "style/Typography.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

SegmentedControl::SegmentedControl(const QStringList &segments, QWidget *parent)
    : QWidget(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_group.setExclusive(true);
    for (const QString &text : segments) {
        auto *button = new QToolButton(this);
        button->setText(text);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_group.addButton(button, int(m_segments.size()));
        m_segments.append(button);
        layout->addWidget(button);
    }
    connect(&m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
    updateStyle();
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

void SegmentedControl::changeEvent(QEvent *event) {
    if (event->type() == QEvent::PaletteChange && !m_styling) {
        m_styling = true; // restyling must not re-enter through its own palette change
        updateStyle();
        m_styling = false;
    }
    QWidget::changeEvent(event);
}

void SegmentedControl::updateStyle() {
    // One rounded outline around all segments; the chosen one filled with the accent colour.
    const QPalette colors = palette();
    const bool dark = Typography::isDark(colors);
    const QString track = dark ? colors.color(QPalette::Window).lighter(150).name()
                               : colors.color(QPalette::Window).darker(108).name();
    const QString border =
        dark ? QStringLiteral("rgba(255,255,255,40)") : QStringLiteral("rgba(0,0,0,45)");
    const QString text = colors.color(QPalette::ButtonText).name();
    const QString disabledText = colors.color(QPalette::Disabled, QPalette::ButtonText).name();
    const QString tint = Typography::tint().name();
    const QString focus = colors.color(QPalette::Highlight).name();
    const QString base = QStringLiteral(
        "QToolButton { background: %1; color: %3; border: 1px solid %2; padding: 3px 14px;"
        " min-height: 18px; %7 }"
        "QToolButton:checked { background: %4; color: white; }"
        "QToolButton:focus { border: 1px solid %6; }"
        "QToolButton:disabled { color: %5; }"
        "QToolButton:checked:disabled { background: %2; }");
    for (int index = 0; index < m_segments.size(); ++index) {
        // Only the outer ends are rounded; inner segments share one border line.
        QString corners;
        if (index > 0)
            corners += QStringLiteral("border-left: none;");
        if (index == 0)
            corners +=
                QStringLiteral("border-top-left-radius: 6px; border-bottom-left-radius: 6px;");
        if (index == m_segments.size() - 1)
            corners +=
                QStringLiteral("border-top-right-radius: 6px; border-bottom-right-radius: 6px;");
        m_segments.at(index)->setStyleSheet(
            base.arg(track, border, text, tint, disabledText, focus, corners));
    }
}
