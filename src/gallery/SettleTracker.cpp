#include "gallery/SettleTracker.h"

SettleTracker::SettleTracker(std::chrono::milliseconds settlePeriod)
    : m_settlePeriod(settlePeriod) {}

bool SettleTracker::add(std::chrono::milliseconds elapsed, bool sameAsPrevious) {
    ++m_count;
    m_settled = false;
    if (m_count == 1)
        return false;
    if (!sameAsPrevious) {
        m_changed = true;
        m_unchangedSince = elapsed;
        return false;
    }
    if (m_count == 2 && !m_changed)
        m_unchangedSince = elapsed; // the second capture anchors an unchanged launch screen
    const std::chrono::milliseconds needed = m_changed ? m_settlePeriod : 2 * m_settlePeriod;
    m_settled = elapsed - m_unchangedSince >= needed;
    return m_settled;
}
