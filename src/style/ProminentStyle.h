#pragma once

#include <QString>

// The look of a window's one prominent action (the main window's Launch, the gallery's Start):
// filled with the accent colour, white bold text, a lighter fill while disabled.
namespace ProminentStyle {

QString buttonStyleSheet(int horizontalPadding);

} // namespace ProminentStyle
