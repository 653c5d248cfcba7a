#pragma once

#include "metadata/DeferredIconEngine.h"

#include <optional>

// An icon backed by an image file that is decoded only when the icon is first painted or asked
// for a pixmap, so that building hundreds of icons reads no image data. The decoded images are
// kept afterwards. A file that turns out not to decode shows the generic application icon.
class LazyImageIconEngine : public DeferredIconEngine {
public:
    explicit LazyImageIconEngine(QString filePath);

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override { return {}; }
    QIconEngine *clone() const override;
    QString key() const override;

private:
    QString m_filePath;
    // The image size from the file header, read once, for layout before the first paint.
    std::optional<QSize> m_headerSize;
};
