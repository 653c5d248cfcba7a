#pragma once

#include "gallery/GalleryShot.h"

#include <QList>
#include <QString>

// The self-contained HTML page that shows a gallery: one grid of labelled shots per device,
// inline styles only, no scripts and nothing fetched from the network.
namespace GalleryPage {

struct Section {
    DeviceGallery gallery;
    // Prepended to each image's file name: "" beside the page, "iPhone 16/" one folder down.
    QString folder;
};

QString html(const QString &bundleID, LaunchOptions options, const QList<Section> &sections);

// The relative address of a file in `folder`, each path segment percent-encoded.
QString address(const QString &folder, const QString &fileName);

} // namespace GalleryPage
