#pragma once

#include <QImage>

// The sample apps' icons, drawn with QPainter on a 1024-point canvas and rendered at any
// pixel size, so every size of one icon shows the same picture.
enum class IconDesign {
    Maps,
    Safari,
    Settings,
    Photos,
    QuillNotes,
    LegacyReader,
    Weather,
    PartyPlanner,
    CafeCreme,
    MacEditor,
};

QImage paintIcon(IconDesign design, int pixels);
