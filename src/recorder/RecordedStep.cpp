#include "recorder/RecordedStep.h"

RecordedStep::RecordedStep(QImage image)
    : m_id(QUuid::createUuid())
    , m_image(std::move(image)) {}

std::optional<int> stepPosition(const QList<RecordedStep> &steps, const QUuid &id) {
    for (qsizetype i = 0; i < steps.size(); ++i) {
        if (steps[i].id() == id)
            return int(i + 1);
    }
    return std::nullopt;
}
