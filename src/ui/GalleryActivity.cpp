#include "ui/GalleryActivity.h"

#include "gallery/LanguageGallery.h"
#include "launcher/Launcher.h"

#include <QVariant>

GalleryActivity::GalleryActivity(Launcher *launcher)
    : QObject(launcher)
    , m_launcher(launcher) {
    setObjectName(QStringLiteral("galleryActivity"));
}

GalleryActivity *GalleryActivity::of(Launcher *launcher) {
    if (auto *existing = launcher->findChild<GalleryActivity *>(QStringLiteral("galleryActivity"),
                                                                Qt::FindDirectChildrenOnly))
        return existing;
    return new GalleryActivity(launcher);
}

bool GalleryActivity::runningOtherThan(const LanguageGallery *gallery) const {
    return !m_active.isEmpty() && (m_active.size() > 1 || !m_active.contains(gallery));
}

bool GalleryActivity::isActive(const LanguageGallery *gallery) const {
    return m_active.contains(gallery);
}

void GalleryActivity::track(LanguageGallery *gallery) {
    if (gallery->property("galleryActivityTracked").toBool())
        return;
    gallery->setProperty("galleryActivityTracked", true);
    connect(gallery, &LanguageGallery::runningChanged, this, [this, gallery] {
        if (gallery->running())
            setActive(gallery, true);
    });
    connect(gallery, &LanguageGallery::finished, this,
            [this, gallery] { setActive(gallery, gallery->running()); });
    connect(gallery, &QObject::destroyed, this, [this](QObject *gone) { setActive(gone, false); });
    setActive(gallery, gallery->running());
}

void GalleryActivity::retire(LanguageGallery *gallery) {
    track(gallery);
    if (!m_active.contains(gallery)) {
        delete gallery;
        return;
    }
    gallery->setParent(this);
    connect(gallery, &LanguageGallery::finished, gallery, &QObject::deleteLater);
    gallery->stop();
}

void GalleryActivity::setActive(const QObject *gallery, bool active) {
    if (active)
        m_active.insert(gallery);
    else
        m_active.remove(gallery);
    const bool running = !m_active.isEmpty();
    if (running == m_running)
        return;
    m_running = running;
    Q_EMIT runningChanged();
}

QString GalleryActivity::galleryRunningReason() {
    return tr("A language gallery is using the simulator. Stop it or wait until it is done.");
}

QString GalleryActivity::launcherBusyReason() {
    return tr("The main window is using the simulator. Start when it is done.");
}

QString GalleryActivity::otherGalleryRunningReason() {
    return tr("Another language gallery is using the simulator. Stop it or wait until it is "
              "done.");
}
