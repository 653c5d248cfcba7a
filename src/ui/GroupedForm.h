#pragma once

#include <QFrame>

class QFormLayout;

// A grouped form: a rounded panel, set off from the window background, whose rows are a
// form layout with right-aligned labels.
class GroupedForm : public QFrame {
    Q_OBJECT

public:
    explicit GroupedForm(QWidget *parent = nullptr);

    QFormLayout *form() const { return m_form; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFormLayout *m_form;
};
