#include "recorder/SelectionPanel.h"

#include "platform/GlobalCoordinates.h"
#include "recorder/AreaSelectionView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

SelectionPanel::SelectionPanel(const DesktopScreen &screen, SelectionOverlay::Finished finished,
                               const QImage &backdrop)
    : QWidget(nullptr, Qt::Window)
    , m_view(new AreaSelectionView(this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setFinished(std::move(finished));
    m_view->setBackdrop(backdrop);

    if (screen.qtScreen) {
        m_geometry = screen.qtScreen->geometry();
    } else {
        const QScreen *primary = QGuiApplication::primaryScreen();
        const GlobalCoordinates coordinates(primary ? QRectF(primary->geometry()) : QRectF());
        m_geometry = coordinates.toToolkit(screen.frame).toRect();
    }
}

void SelectionPanel::prepare(DesktopServices &desktop) {
    create(); // the platform works on the native window
    desktop.prepareOverlayWindow(*windowHandle());
    overrideWindowFlags(windowHandle()->flags()); // already applied natively
}

void SelectionPanel::present() {
    setGeometry(m_geometry);
    show();
    raise();
    activateWindow();
    m_view->setFocus(Qt::ActiveWindowFocusReason);
}

void SelectionPanel::dismiss() {
    m_view->setFinished({});
    hide();
    deleteLater();
}
