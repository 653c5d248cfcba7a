#include "gallery/LanguageGallery.h"

struct LanguageGallery::State {
    GallerySettings settings;
};

LanguageGallery::LanguageGallery(QObject *parent)
    : QObject(parent)
    , d(std::make_shared<State>()) {}

LanguageGallery::~LanguageGallery() = default;

bool LanguageGallery::running() const {
    return false;
}
int LanguageGallery::finishedCount() const {
    return 0;
}
int LanguageGallery::totalCount() const {
    return 0;
}
double LanguageGallery::progress() const {
    return 0;
}
QString LanguageGallery::status() const {
    return QString();
}
GallerySettings LanguageGallery::settings() const {
    return d->settings;
}
QList<DeviceGallery> LanguageGallery::devices() const {
    return {};
}
QList<GalleryShot> LanguageGallery::shots(const QString &) const {
    return {};
}
GalleryResult LanguageGallery::result() const {
    return {};
}
void LanguageGallery::start(GallerySettings settings) {
    d->settings = std::move(settings);
}
QCoro::Task<> LanguageGallery::run(GallerySettings settings) {
    start(std::move(settings));
    co_return;
}
void LanguageGallery::stop() {}
QCoro::Task<> LanguageGallery::stopAndRestore() {
    co_return;
}
bool LanguageGallery::wasStopped() const {
    return false;
}
