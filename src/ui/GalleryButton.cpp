#include "ui/GalleryButton.h"

#include "launcher/Launcher.h"
#include "ui/GalleryActivity.h"
#include "ui/GalleryTarget.h"
#include "ui/GalleryWindow.h"

#include <QApplication>

GalleryButton::GalleryButton(Launcher *launcher, QWidget *parent)
    : QPushButton(tr("Gallery…"), parent)
    , m_launcher(launcher) {
    setObjectName(QStringLiteral("openGallery"));
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &GalleryButton::openGallery);
    for (auto signal :
         {&Launcher::macModeChanged, &Launcher::deviceIDChanged, &Launcher::devicesChanged,
          &Launcher::bundleIDChanged, &Launcher::visibleAppsChanged,
          &Launcher::supportedLanguagesChanged, &Launcher::loadingLanguagesChanged})
        connect(launcher, signal, this, &GalleryButton::updateState);
    updateState();
}

void GalleryButton::updateState() {
    const QString reason = GalleryTarget::unavailableReason(*m_launcher);
    setEnabled(reason.isEmpty());
    setToolTip(reason.isEmpty() ? tr("Take a screenshot of the app in each of its languages")
                                : reason);
}

GalleryWindow *GalleryButton::openGallery() {
    const std::optional<GalleryTarget> target = GalleryTarget::current(*m_launcher);
    if (!target)
        return nullptr;
    // One window per device and app: a second click brings the open one forward.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *open = qobject_cast<GalleryWindow *>(widget);
        if (open && open->isVisible() && open->target().device == target->device &&
            open->target().app.id == target->app.id) {
            open->raise();
            open->activateWindow();
            return open;
        }
    }
    auto *window = new GalleryWindow(m_launcher, *target);
    // The launcher's galleries go with it.
    connect(m_launcher, &QObject::destroyed, window, [window] { delete window; });
    if (const QWidget *from = this->window()) {
        const QRect frame = from->frameGeometry();
        window->move(frame.left() + 40, frame.top() + 30);
    }
    window->show();
    Q_EMIT galleryOpened(window);
    return window;
}

void holdForGallery(const QList<QWidget *> &controls, Launcher *launcher) {
    static const char ownToolTip[] = "toolTipWithoutGallery";
    const bool held = GalleryActivity::of(launcher)->running();
    for (QWidget *control : controls) {
        const QVariant own = control->property(ownToolTip);
        if (held) {
            if (!own.isValid())
                control->setProperty(ownToolTip, control->toolTip());
            control->setEnabled(false);
            control->setToolTip(GalleryActivity::galleryRunningReason());
        } else if (own.isValid()) {
            control->setToolTip(own.toString());
            control->setProperty(ownToolTip, QVariant());
        }
    }
}
