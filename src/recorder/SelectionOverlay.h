#pragma once

#include <QRectF>

#include <functional>
#include <optional>

// One screen's area-selection overlay, as the recorder sees it. The overlay reports once per
// Return (its selection, in its screen's own coordinates: points, origin at the screen's
// lower-left corner) or Escape (none).
class SelectionOverlay {
public:
    using Finished = std::function<void(std::optional<QRectF>)>;

    virtual ~SelectionOverlay() = default;

    // Brings the overlay to the front of everything and gives it the keyboard.
    virtual void present() = 0;
    // Hides the overlay for good and releases it; the recorder forgets it right after. Safe to
    // call from inside the overlay's own callback.
    virtual void dismiss() = 0;
};
