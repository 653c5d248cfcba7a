#pragma once

#include <QString>
#include <Qt>

class QPalette;

// The look of a push button that reads as a link in running text: the accent colour, no frame,
// underlined while it has the focus. The accent is lightened on dark palettes so the link stays
// readable; call again when the palette changes.
namespace LinkStyle {

QString buttonStyleSheet(const QPalette &palette, Qt::Alignment alignment = Qt::AlignHCenter);

} // namespace LinkStyle
