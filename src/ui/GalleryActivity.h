#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class LanguageGallery;
class Launcher;

// The galleries that run on a launcher's devices. The main window's operations and the
// galleries take turns: while a gallery drives a device the main window's operations wait, and
// a gallery waits while the launcher is busy. A gallery counts from its start until it has put
// its devices back, also after its window has closed. Main thread only.
class GalleryActivity : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

public:
    // The launcher's activity, made on first use; it lives as long as the launcher.
    static GalleryActivity *of(Launcher *launcher);

    Launcher *launcher() const { return m_launcher; }

    // Whether any tracked gallery is running or still putting its devices back.
    bool running() const { return m_running; }
    // Whether a tracked gallery other than `gallery` is running or putting devices back.
    bool runningOtherThan(const LanguageGallery *gallery) const;

    // Whether `gallery` is running or still putting its devices back.
    bool isActive(const LanguageGallery *gallery) const;
    // Follows `gallery` until it is destroyed.
    void track(LanguageGallery *gallery);
    // Keeps `gallery` alive until its run has ended and its devices are back as they were, then
    // deletes it; deletes it at once when it is not running.
    void retire(LanguageGallery *gallery);

    // Why the main window's operations wait.
    static QString galleryRunningReason();
    // Why a gallery's Start waits.
    static QString launcherBusyReason();
    static QString otherGalleryRunningReason();

Q_SIGNALS:
    void runningChanged();

private:
    explicit GalleryActivity(Launcher *launcher);
    void setActive(const QObject *gallery, bool active);

    Launcher *m_launcher;
    // From a start until finished(): a stopping gallery still restores its devices.
    QSet<const QObject *> m_active;
    bool m_running = false;
};
