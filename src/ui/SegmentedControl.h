#pragma once

#include <QButtonGroup>
#include <QStringList>
#include <QWidget>

class QToolButton;

// A row of mutually exclusive segments drawn as one control, like the platform's segmented
// picker. Each segment is a checkable button, so Tab and Space work as for any button.
class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList &segments, QWidget *parent = nullptr);

    int currentIndex() const;
    void setCurrentIndex(int index);
    QToolButton *segment(int index) const;

Q_SIGNALS:
    // The user chose a segment.
    void activated(int index);

private:
    QButtonGroup m_group;
    QList<QToolButton *> m_segments;
};
