#pragma once

#include <QList>
#include <QPushButton>

class GalleryWindow;
class Launcher;

// "Gallery…": opens the language gallery of the main window's simulator device and app, or
// brings back the one already open for them. Disabled, with the reason in its tooltip, while
// the choice cannot have a gallery (a macOS app, no device or app, no languages yet).
class GalleryButton : public QPushButton {
    Q_OBJECT

public:
    explicit GalleryButton(Launcher *launcher, QWidget *parent = nullptr);

    // Opens (or raises) the gallery window of the current choice; null when there is none.
    GalleryWindow *openGallery();

Q_SIGNALS:
    void galleryOpened(GalleryWindow *window);

private:
    void updateState();

    Launcher *m_launcher;
};

// Disables `controls` while a gallery of `launcher` drives a device, with the reason as their
// tooltip; their own tooltips come back afterwards. Call it after the controls' own enabling.
void holdForGallery(const QList<QWidget *> &controls, Launcher *launcher);
