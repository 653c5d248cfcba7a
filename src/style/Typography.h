#pragma once

#include <QColor>
#include <QFont>

class QPalette;
class QWidget;

// The type scale and colour roles of the interface, kept in one place so that every window
// speaks the same visual language.
namespace Typography {

enum class Role { LargeTitle, Title2, Headline, Body, Callout, Caption };

// The font of a role, derived from the application font's family.
QFont font(Role role);
void apply(QWidget *widget, Role role, bool bold = false);

// Secondary text: the palette's placeholder colour, which follows light and dark palettes.
QColor secondaryColor(const QPalette &palette);
void makeSecondary(QWidget *widget);

// The application's accent: the teal of the Launch button, checkmarks and the segmented control.
QColor tint();

// The amber of a caution sign, readable on light and dark panels.
QColor caution();

// Whether the palette is a dark one (judged by the window colour's lightness).
bool isDark(const QPalette &palette);

} // namespace Typography
