#pragma once

#include "platform/DesktopServices.h"
#include "recorder/SelectionOverlay.h"

#include <QWidget>

class AreaSelectionView;

// The borderless window that covers one screen, above all others, during area selection. It takes
// the keyboard focus within the application so Return and Escape reach its view; nothing is
// grabbed from other applications.
class SelectionPanel : public QWidget, public SelectionOverlay {
    Q_OBJECT

public:
    // `backdrop`: a picture of the screen to show under the dim, for windowing systems that
    // cannot show what lies beneath a translucent window; null otherwise.
    SelectionPanel(const DesktopScreen &screen, SelectionOverlay::Finished finished,
                   const QImage &backdrop);

    // Lets the platform ready the window (its level above other applications, the desktop
    // spaces it appears on, taking the keyboard) before it is first shown.
    void prepare(DesktopServices &desktop);

    void present() override;
    void dismiss() override;

    AreaSelectionView *view() const { return m_view; }

private:
    AreaSelectionView *m_view;
    QRect m_geometry;
};
