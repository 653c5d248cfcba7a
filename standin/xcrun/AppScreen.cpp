#include "AppScreen.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

#include <cmath>

namespace {

struct Palette {
    QColor background, grouped, text, secondary, separator, accent, field, banner, bannerText;
};

Palette palette(bool dark) {
    if (dark)
        return {QColor(0, 0, 0),       QColor(28, 28, 30), QColor(255, 255, 255),
                QColor(152, 152, 159), QColor(56, 56, 58), QColor(10, 132, 255),
                QColor(44, 44, 46),    QColor(92, 70, 10), QColor(255, 214, 10)};
    return {QColor(255, 255, 255), QColor(242, 242, 247), QColor(0, 0, 0),
            QColor(138, 138, 142), QColor(198, 198, 200), QColor(0, 122, 255),
            QColor(227, 227, 232), QColor(255, 243, 205), QColor(122, 89, 0)};
}

// Lays out in left-to-right points and mirrors the boxes when the layout runs right to left.
class Canvas {
public:
    Canvas(QPainter &painter, const ScreenState &state)
        : p(painter)
        , width(state.points.width())
        , rtl(state.look.rightToLeft() && state.phase != ScreenState::Phase::Home) {}

    QRectF box(qreal x, qreal y, qreal w, qreal h) const {
        return rtl ? QRectF(width - x - w, y, w, h) : QRectF(x, y, w, h);
    }

    enum class Align { Leading, Centre, Trailing };

    void text(const QRectF &area, const QString &text, qreal size, QFont::Weight weight,
              const QColor &colour, Align align = Align::Leading) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(int(std::lround(size)));
        font.setWeight(weight);
        p.setFont(font);
        p.setPen(colour);
        const QFontMetricsF metrics(font);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, area.width());
        // Absolute: the boxes are mirrored already.
        const bool right = (align == Align::Trailing) != rtl;
        const Qt::Alignment horizontal =
            align == Align::Centre ? Qt::AlignHCenter
                                   : (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute;
        p.setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        p.drawText(area, int(horizontal | Qt::AlignVCenter), shown);
    }

    // A chevron pointing forward: right, or left in a mirrored layout.
    void chevron(const QRectF &area, const QColor &colour) {
        const QPointF c = area.center();
        const qreal d = rtl ? -1 : 1;
        QPainterPath path;
        path.moveTo(c.x() - 3 * d, c.y() - 6);
        path.lineTo(c.x() + 3 * d, c.y());
        path.lineTo(c.x() - 3 * d, c.y() + 6);
        p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }

    QPainter &p;
    qreal width;
    bool rtl;
};

void statusBar(Canvas &canvas, const ScreenState &state, const QColor &colour) {
    QPainter &p = canvas.p;
    const qreal w = state.points.width();
    const qreal height = state.pad ? 24 : 54;
    const qreal middle = height / 2 + (state.pad ? 0 : 4);
    const QRectF timeArea = state.pad ? QRectF(16, 0, 80, height) : QRectF(24, 0, 90, height);
    canvas.text(timeArea, state.time, state.pad ? 13 : 17, QFont::DemiBold, colour,
                state.pad ? Canvas::Align::Leading : Canvas::Align::Centre);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    // Cellular bars, then the Wi-Fi fan, then the battery, from the left of the right group.
    qreal x = w - (state.pad ? 110 : 118);
    for (int bar = 0; bar < 4; ++bar) {
        QColor shade = colour;
        if (bar >= state.cellularBars)
            shade.setAlphaF(0.3);
        p.setBrush(shade);
        const qreal h = 4 + bar * 2.5;
        p.drawRoundedRect(QRectF(x + bar * 5, middle + 5 - h, 3.5, h), 1, 1);
    }
    x += 26;
    for (int arc = 0; arc < 3; ++arc) {
        QColor shade = colour;
        if (arc >= state.wifiBars)
            shade.setAlphaF(0.3);
        p.setPen(QPen(shade, 2.2, Qt::SolidLine, Qt::RoundCap));
        const qreal r = 3 + arc * 4;
        p.drawArc(QRectF(x + 9 - r, middle + 4 - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    x += 26;
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(x, middle - 6, 25, 12), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(state.charging ? QColor(52, 199, 89) : colour);
    p.drawRoundedRect(QRectF(x + 2, middle - 4, 21 * state.batteryLevel / 100.0, 8), 2, 2);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(x + 26, middle - 2, 1.5, 4), 1, 1);
}

void homeScreen(Canvas &canvas, const ScreenState &state) {
    QPainter &p = canvas.p;
    QLinearGradient wallpaper(0, 0, state.points.width(), state.points.height());
    wallpaper.setColorAt(0, state.dark ? QColor(20, 30, 70) : QColor(110, 160, 240));
    wallpaper.setColorAt(1, state.dark ? QColor(70, 20, 60) : QColor(240, 150, 190));
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(state.points)), wallpaper);
    const int columns = state.pad ? 6 : 4;
    const qreal cell = state.points.width() / columns;
    for (int i = 0; i < state.homeApps.size(); ++i) {
        const qreal x = (i % columns) * cell;
        const qreal y = 80 + (i / columns) * (cell + 14);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv((i * 47) % 360, 120, 230));
        p.drawRoundedRect(QRectF(x + cell / 2 - 30, y, 60, 60), 14, 14);
        canvas.text(QRectF(x, y + 62, cell, 18), state.homeApps.at(i), 11, QFont::Normal, Qt::white,
                    Canvas::Align::Centre);
    }
}

void launchScreen(Canvas &canvas, const ScreenState &state, const Palette &colours) {
    QPainter &p = canvas.p;
    p.fillRect(QRectF(QPointF(0, 0), QSizeF(state.points)), colours.background);
    const QPointF centre(state.points.width() / 2.0, state.points.height() / 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(colours.accent);
    p.drawRoundedRect(QRectF(centre.x() - 40, centre.y() - 60, 80, 80), 18, 18);
}

// The app's first screen, or the screen a deep link opened.
void appScreen(Canvas &canvas, const ScreenState &state, const Palette &colours) {
    QPainter &p = canvas.p;
    const qreal w = state.points.width();
    const qreal h = state.points.height();
    const LaunchLook &look = state.look;
    const auto shown = [&](const AppStrings::Entry &entry) {
        return look.apply(entry.text, entry.localized);
    };

    p.fillRect(QRectF(0, 0, w, h), colours.grouped);
    const qreal top = state.pad ? 24 : 54;
    const qreal margin = state.pad ? 24 : 16;
    // Coming in: slides up and brightens until it rests.
    const qreal rise = std::pow(1.0 - state.appearing, 2) * h * 0.25;
    p.save();
    p.translate(0, rise);
    p.setOpacity(0.35 + 0.65 * state.appearing);

    QStringList used;
    qreal y = top;
    AppStrings::Entry title;
    if (!state.openedUrl.isEmpty()) {
        const QUrl url(state.openedUrl);
        const QString target =
            url.host().isEmpty() ? url.path().section(QLatin1Char('/'), -1) : url.host();
        title = state.strings.find({target});
        if (title.key.isEmpty())
            title.text = target.isEmpty() ? state.openedUrl : target;
        const AppStrings::Entry back = state.strings.find({QStringLiteral("all")});
        canvas.chevron(canvas.box(margin - 4, y + 8, 14, 28), colours.accent);
        canvas.text(canvas.box(margin + 14, y + 8, w / 2, 28),
                    back.key.isEmpty() ? state.strings.displayName : shown(back), 17, QFont::Normal,
                    colours.accent);
    } else {
        title = state.strings.find(
            {QStringLiteral("title"), QStringLiteral("all"), QStringLiteral("welcome")});
        if (title.key.isEmpty())
            title.text = state.strings.displayName;
        const AppStrings::Entry action = state.strings.find({QStringLiteral("done")});
        if (!action.key.isEmpty())
            canvas.text(canvas.box(w - margin - 120, y + 8, 120, 28), shown(action), 17,
                        QFont::DemiBold, colours.accent, Canvas::Align::Trailing);
    }
    used << title.key;
    y += 44;
    canvas.text(canvas.box(margin, y, w - 2 * margin, 52), shown(title), 34, QFont::Bold,
                colours.text);
    y += 60;

    const AppStrings::Entry search =
        state.strings.find({QStringLiteral("search"), QStringLiteral("placeholder")});
    if (!search.key.isEmpty() && state.openedUrl.isEmpty()) {
        used << search.key;
        p.setPen(Qt::NoPen);
        p.setBrush(colours.field);
        p.drawRoundedRect(canvas.box(margin, y, w - 2 * margin, 36), 10, 10);
        p.setPen(QPen(colours.secondary, 2));
        p.setBrush(Qt::NoBrush);
        const QRectF glass = canvas.box(margin + 10, y + 10, 12, 12);
        p.drawEllipse(glass.adjusted(0, 0, -2, -2));
        canvas.text(canvas.box(margin + 30, y, w - 2 * margin - 40, 36), shown(search), 17,
                    QFont::Normal, colours.secondary);
        y += 52;
    }

    // Sentences become a banner, the rest a grouped list.
    QList<AppStrings::Entry> rows;
    for (const AppStrings::Entry &entry : state.strings.entries) {
        if (used.contains(entry.key) || entry.key.startsWith(QLatin1String("action.")))
            continue;
        const QString text = entry.text.trimmed();
        if (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x3002))) {
            p.setPen(Qt::NoPen);
            p.setBrush(colours.banner);
            p.drawRoundedRect(canvas.box(margin, y, w - 2 * margin, 44), 10, 10);
            canvas.text(canvas.box(margin + 14, y, w - 2 * margin - 28, 44), shown(entry), 15,
                        QFont::Normal, colours.bannerText);
            y += 56;
        } else {
            rows << entry;
        }
    }
    const qreal rowHeight = 44;
    const qreal listHeight = rows.size() * rowHeight;
    p.setPen(Qt::NoPen);
    p.setBrush(colours.background);
    p.drawRoundedRect(canvas.box(margin, y, w - 2 * margin, listHeight), 10, 10);
    for (int i = 0; i < rows.size(); ++i) {
        const qreal rowTop = y + i * rowHeight;
        if (i > 0) {
            p.setPen(QPen(colours.separator, 0.5));
            const QRectF line = canvas.box(margin + 16, rowTop, w - 2 * margin - 16, 0);
            p.drawLine(line.topLeft(), line.topRight());
        }
        canvas.text(canvas.box(margin + 16, rowTop, w - 2 * margin - 56, rowHeight),
                    shown(rows.at(i)), 17, QFont::Normal, colours.text);
        canvas.chevron(canvas.box(w - margin - 28, rowTop, 14, rowHeight), colours.secondary);
    }
    p.restore();

    // A toolbar with the generic actions, fixed at the bottom.
    const qreal bar = state.pad ? 50 : 83;
    p.fillRect(QRectF(0, h - bar, w, bar), colours.background);
    p.setPen(QPen(colours.separator, 0.5));
    p.drawLine(QPointF(0, h - bar), QPointF(w, h - bar));
    QList<AppStrings::Entry> actions;
    for (const AppStrings::Entry &entry : state.strings.entries) {
        if (entry.key.startsWith(QLatin1String("action.")))
            actions << entry;
    }
    for (int i = 0; i < actions.size(); ++i) {
        const qreal slot = (w - 2 * margin) / qMax<qsizetype>(actions.size(), 1);
        canvas.text(canvas.box(margin + i * slot, h - bar + 4, slot, 40), shown(actions.at(i)), 17,
                    QFont::Normal, colours.accent, Canvas::Align::Centre);
    }
    if (!state.pad) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours.text);
        p.drawRoundedRect(QRectF(w / 2 - 70, h - 13, 140, 5), 2.5, 2.5);
    }
}

} // namespace

namespace AppScreen {

QImage paint(const ScreenState &state) {
    const QSize pixels(int(std::lround(state.points.width() * state.scale)),
                       int(std::lround(state.points.height() * state.scale)));
    QImage image(pixels, QImage::Format_RGB32);
    const Palette colours = palette(state.dark);
    image.fill(colours.background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(state.scale, state.scale);
    Canvas canvas(painter, state);
    QColor statusColour = colours.text;
    switch (state.phase) {
    case ScreenState::Phase::Home:
        homeScreen(canvas, state);
        statusColour = Qt::white;
        break;
    case ScreenState::Phase::LaunchScreen:
        launchScreen(canvas, state, colours);
        break;
    case ScreenState::Phase::Appearing:
    case ScreenState::Phase::Running:
        appScreen(canvas, state, colours);
        break;
    }
    statusBar(canvas, state, statusColour);
    return image;
}

} // namespace AppScreen
