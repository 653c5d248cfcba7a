#pragma once

#include <QImage>
#include <QList>
#include <QMetaType>
#include <QUuid>

#include <optional>

// One captured step: the annotated screenshot and the identity the lists and exports use. Two
// steps with the same picture are still different steps.
class RecordedStep {
public:
    RecordedStep() = default; // for the metatype system only
    explicit RecordedStep(QImage image);

    QUuid id() const { return m_id; }
    QImage image() const { return m_image; }

    friend bool operator==(const RecordedStep &a, const RecordedStep &b) {
        return a.m_id == b.m_id;
    }

private:
    QUuid m_id;
    QImage m_image;
};

Q_DECLARE_METATYPE(RecordedStep)

// The 1-based position of the step with `id` in `steps`, or none.
std::optional<int> stepPosition(const QList<RecordedStep> &steps, const QUuid &id);
