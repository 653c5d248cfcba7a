#pragma once

#include "gallery/GalleryTexts.h"

#include <QString>

// How the gallery window names a language: in the language itself, as its speakers read it.
namespace GalleryLabels {

// "Français (fr)": the own name, then the code as the app writes it.
inline QString title(const QString &code) {
    return QStringLiteral("%1 (%2)").arg(GalleryTexts::ownName(code), code);
}

} // namespace GalleryLabels
