#include "gallery/SettleTracker.h"

SettleTracker::SettleTracker(std::chrono::milliseconds settlePeriod)
    : m_settlePeriod(settlePeriod) {}

bool SettleTracker::add(std::chrono::milliseconds elapsed,
                        const ScreenComparison::Fingerprint &capture) {
    ++m_count;
    if (m_count == 1) {
        m_last = capture;
        m_settled = false;
        return false;
    }
    if (capture != m_last) {
        m_last = capture;
        m_changed = true;
        m_unchangedSince = elapsed;
        m_settled = false;
        return false;
    }
    if (m_count == 2 && !m_changed)
        m_unchangedSince = elapsed; // the second capture anchors an unchanged launch screen
    const std::chrono::milliseconds needed = m_changed ? m_settlePeriod : 2 * m_settlePeriod;
    m_settled = elapsed - m_unchangedSince >= needed;
    return m_settled;
}
