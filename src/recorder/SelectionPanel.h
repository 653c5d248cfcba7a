#pragma once

#include "platform/DesktopServices.h"
#include "recorder/SelectionOverlay.h"

#include <QWidget>

class AreaSelectionView;

// The borderless, always-on-top window that covers one screen during area selection. It takes
// the keyboard focus within the application so Return and Escape reach its view; nothing is
// grabbed from other applications.
class SelectionPanel : public QWidget, public SelectionOverlay {
    Q_OBJECT

public:
    // `backdrop`: a picture of the screen to show under the dim, for windowing systems that
    // cannot show what lies beneath a translucent window; null otherwise.
    SelectionPanel(const DesktopScreen &screen, SelectionOverlay::Finished finished,
                   const QImage &backdrop);

    void present() override;
    void dismiss() override;

    AreaSelectionView *view() const { return m_view; }

private:
    AreaSelectionView *m_view;
    QRect m_geometry;
};
