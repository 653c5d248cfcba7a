#include "ui/GroupedForm.h"

#include "style/Typography.h"

#include <QFormLayout>
#include <QPainter>
#include <QPainterPath>

GroupedForm::GroupedForm(QWidget *parent)
    : QFrame(parent)
    , m_form(new QFormLayout(this)) {
    m_form->setContentsMargins(16, 14, 16, 14);
    m_form->setHorizontalSpacing(12);
    m_form->setVerticalSpacing(10);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->setRowWrapPolicy(QFormLayout::DontWrapRows);
}

void GroupedForm::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette colors = palette();
    const bool dark = Typography::isDark(colors);
    const QColor fill = dark ? colors.color(QPalette::Window).lighter(135)
                             : colors.color(QPalette::Window).lighter(106);
    QColor border = colors.color(QPalette::WindowText);
    border.setAlphaF(dark ? 0.16 : 0.12);
    QPainterPath panel;
    panel.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    painter.fillPath(panel, fill);
    painter.setPen(border);
    painter.drawPath(panel);
}
