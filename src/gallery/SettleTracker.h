#pragma once

#include <chrono>

// Decides, capture by capture, when a screen has settled after a launch. The screen is settled
// once it has stayed unchanged for the settle period. The capture taken right after the launch
// never anchors that period by itself: a launch screen is static too. When the screen has not
// changed at all since then, the unchanged time is counted from the second capture and must
// reach twice the settle period, so a slow launch screen is not mistaken for the app while an
// app whose first screen looks like its launch screen still settles.
class SettleTracker {
public:
    explicit SettleTracker(std::chrono::milliseconds settlePeriod);

    // Records a capture taken `elapsed` after the launch (non-decreasing from call to call),
    // and whether it shows the same screen as the capture before it (ignored for the first);
    // returns whether the screen now counts as settled.
    bool add(std::chrono::milliseconds elapsed, bool sameAsPrevious);

    bool settled() const { return m_settled; }
    int captureCount() const { return m_count; }

private:
    std::chrono::milliseconds m_settlePeriod;
    std::chrono::milliseconds m_unchangedSince{0};
    int m_count = 0;
    bool m_changed = false;
    bool m_settled = false;
};
