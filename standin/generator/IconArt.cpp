#include "IconArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

QLinearGradient vertical(const QColor &top, const QColor &bottom) {
    QLinearGradient gradient(0, 0, 0, 1024);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QLinearGradient diagonal(const QColor &from, const QColor &to) {
    QLinearGradient gradient(0, 0, 1024, 1024);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

void stroke(QPainter &p, const QPainterPath &path, const QColor &color, qreal width) {
    p.strokePath(path, QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void drawMaps(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024), QColor(0xF2, 0xEE, 0xE3));
    QPainterPath park;
    park.moveTo(0, 0);
    park.lineTo(540, 0);
    park.cubicTo(500, 210, 380, 350, 0, 430);
    park.closeSubpath();
    p.fillPath(park, QColor(0xB5, 0xDC, 0x96));
    QPainterPath water;
    water.moveTo(1024, 560);
    water.cubicTo(830, 600, 700, 780, 650, 1024);
    water.lineTo(1024, 1024);
    water.closeSubpath();
    p.fillPath(water, QColor(0x86, 0xC5, 0xF0));

    QPainterPath street;
    street.moveTo(300, -60);
    street.cubicTo(370, 380, 320, 700, 460, 1090);
    stroke(p, street, QColor(0xDA, 0xD0, 0xBA), 86);
    stroke(p, street, Qt::white, 64);
    QPainterPath highway;
    highway.moveTo(-60, 770);
    highway.cubicTo(300, 700, 600, 390, 1090, 300);
    stroke(p, highway, QColor(0xE3, 0xA9, 0x2B), 96);
    stroke(p, highway, QColor(0xFF, 0xD4, 0x5C), 72);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawEllipse(QPointF(640, 655), 85, 26);
    QPainterPath pin;
    pin.moveTo(640, 650);
    pin.cubicTo(600, 560, 490, 500, 490, 380);
    pin.arcTo(QRectF(490, 230, 300, 300), 180, -180);
    pin.cubicTo(790, 500, 680, 560, 640, 650);
    QLinearGradient red(0, 230, 0, 650);
    red.setColorAt(0, QColor(0xFF, 0x6B, 0x5E));
    red.setColorAt(1, QColor(0xD9, 0x2D, 0x24));
    p.fillPath(pin, red);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(640, 380), 60, 60);
}

void drawSafari(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024), vertical(Qt::white, QColor(0xE4, 0xE9, 0xEF)));
    QLinearGradient face(0, 112, 0, 912);
    face.setColorAt(0, QColor(0x2A, 0xB4, 0xF7));
    face.setColorAt(1, QColor(0x15, 0x5F, 0xD6));
    p.setPen(QPen(QColor(0xC9, 0xD1, 0xDA), 14));
    p.setBrush(face);
    p.drawEllipse(QPointF(512, 512), 400, 400);
    p.translate(512, 512);
    for (int i = 0; i < 72; ++i) {
        const bool major = i % 6 == 0;
        p.setPen(QPen(QColor(255, 255, 255, major ? 255 : 190), major ? 12 : 7, Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(QPointF(0, major ? -310 : -330), QPointF(0, -368));
        p.rotate(5);
    }
    p.rotate(45);
    p.setPen(Qt::NoPen);
    const QPointF north[] = {{0, -300}, {52, 0}, {-52, 0}};
    const QPointF south[] = {{0, 300}, {52, 0}, {-52, 0}};
    p.setBrush(QColor(0xFF, 0x3B, 0x30));
    p.drawPolygon(north, 3);
    p.setBrush(Qt::white);
    p.drawPolygon(south, 3);
    p.setBrush(QColor(0x1B, 0x3A, 0x5C));
    p.drawEllipse(QPointF(0, 0), 22, 22);
}

void drawSettings(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0xA6, 0xAB, 0xB2), QColor(0x6C, 0x71, 0x79)));
    p.translate(512, 512);
    QPainterPath gear;
    gear.addEllipse(QPointF(0, 0), 300, 300);
    for (int i = 0; i < 12; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(QRectF(-62, -395, 124, 150), 24, 24);
        gear = gear.united(QTransform().rotate(i * 30).map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), 175, 175);
    gear = gear.subtracted(hole);
    QLinearGradient metal(0, -400, 0, 400);
    metal.setColorAt(0, QColor(0x4A, 0x4E, 0x55));
    metal.setColorAt(1, QColor(0x2B, 0x2E, 0x33));
    p.fillPath(gear, metal);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x3D, 0x43));
    for (int i = 0; i < 3; ++i) {
        p.drawRoundedRect(QRectF(-28, -180, 56, 180), 20, 20);
        p.rotate(120);
    }
    p.drawEllipse(QPointF(0, 0), 70, 70);
    p.setBrush(QColor(0x8F, 0x94, 0x9B));
    p.drawEllipse(QPointF(0, 0), 30, 30);
}

void drawPhotos(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024), Qt::white);
    const QColor petals[] = {QColor(0xF9, 0xC0, 0x2D), QColor(0xFB, 0x8C, 0x00),
                             QColor(0xE5, 0x39, 0x35), QColor(0xD8, 0x1B, 0x60),
                             QColor(0x8E, 0x24, 0xAA), QColor(0x39, 0x49, 0xAB),
                             QColor(0x1E, 0x88, 0xE5), QColor(0x43, 0xA0, 0x47)};
    p.translate(512, 512);
    p.setPen(Qt::NoPen);
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    for (QColor color : petals) {
        color.setAlpha(215);
        p.setBrush(color);
        p.drawRoundedRect(QRectF(-100, -390, 200, 330), 100, 100);
        p.rotate(45);
    }
}

void drawQuillNotes(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0xFF, 0xDB, 0x70), QColor(0xF5, 0xA6, 0x23)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(242, 186, 520, 680), 44, 44);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(230, 170, 520, 680), 44, 44);
    p.setPen(QPen(QColor(0x9C, 0xC3, 0xE8), 10, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 6; ++line)
        p.drawLine(QPointF(290, 330 + line * 90), QPointF(690, 330 + line * 90));
    p.setPen(QPen(QColor(0xF0, 0x80, 0x80), 8));
    p.drawLine(QPointF(340, 200), QPointF(340, 820));

    QPainterPath feather;
    feather.moveTo(340, 870);
    feather.cubicTo(380, 600, 560, 300, 860, 130);
    feather.cubicTo(820, 420, 640, 700, 340, 870);
    QLinearGradient plume(340, 870, 860, 130);
    plume.setColorAt(0, QColor(0x4B, 0x3B, 0x7A));
    plume.setColorAt(1, QColor(0x8C, 0x78, 0xD6));
    p.fillPath(feather, plume);
    QPainterPath spine;
    spine.moveTo(330, 890);
    spine.cubicTo(440, 640, 620, 380, 850, 145);
    stroke(p, spine, QColor(0xF4, 0xEE, 0xFF), 12);
}

void drawLegacyReader(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0x93, 0x5F, 0x3E), QColor(0x5A, 0x37, 0x22)));
    QPen stitch(QColor(0xD9, 0xB3, 0x8C), 10, Qt::DashLine, Qt::RoundCap);
    p.setPen(stitch);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(64, 64, 896, 896), 170, 170);

    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(512, 350);
        page.cubicTo(512 + side * 90, 300, 512 + side * 250, 290, 512 + side * 340, 320);
        page.lineTo(512 + side * 340, 770);
        page.cubicTo(512 + side * 250, 740, 512 + side * 90, 750, 512, 800);
        page.closeSubpath();
        p.fillPath(page, QColor(0xFF, 0xF8, 0xE7));
        stroke(p, page, QColor(0xE4, 0xD5, 0xB5), 8);
        p.setPen(QPen(QColor(0xBF, 0xB2, 0x96), 10, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 5; ++line) {
            const qreal y = 400 + line * 70;
            p.drawLine(QPointF(512 + side * 60, y), QPointF(512 + side * 290, y - 12));
        }
    }
}

void drawWeather(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0x56, 0xB4, 0xFF), QColor(0x25, 0x67, 0xD6)));
    const QPointF sun(390, 390);
    p.setPen(QPen(QColor(0xFF, 0xD5, 0x4F), 30, Qt::SolidLine, Qt::RoundCap));
    for (int ray = 0; ray < 12; ++ray) {
        const double angle = ray * M_PI / 6;
        p.drawLine(sun + QPointF(std::cos(angle), std::sin(angle)) * 195,
                   sun + QPointF(std::cos(angle), std::sin(angle)) * 255);
    }
    QRadialGradient glow(sun, 160);
    glow.setColorAt(0, QColor(0xFF, 0xEE, 0x80));
    glow.setColorAt(1, QColor(0xFF, 0xB3, 0x30));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, 160, 160);

    QPainterPath cloud;
    cloud.setFillRule(Qt::WindingFill);
    cloud.addEllipse(QRectF(300, 560, 270, 270));
    cloud.addEllipse(QRectF(450, 450, 340, 340));
    cloud.addEllipse(QRectF(660, 590, 240, 240));
    cloud.addRoundedRect(QRectF(300, 680, 600, 150), 75, 75);
    cloud = cloud.simplified();
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawPath(cloud.translated(0, 18));
    p.fillPath(cloud, vertical(Qt::white, QColor(0xDE, 0xE8, 0xF5)));
}

void drawPartyPlanner(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               diagonal(QColor(0x7F, 0x2C, 0xE0), QColor(0xF0, 0x2A, 0x9C)));
    // A fixed linear congruential sequence keeps the confetti identical on every run.
    quint32 seed = 20241120;
    auto next = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(range));
    };
    const QColor colors[] = {QColor(0xFF, 0xEB, 0x3B), QColor(0x00, 0xE5, 0xFF),
                             QColor(0x76, 0xFF, 0x03), QColor(0xFF, 0x8A, 0x65), QColor(Qt::white)};
    p.setPen(Qt::NoPen);
    for (int piece = 0; piece < 46; ++piece) {
        const QPointF at(380 + next(560), 90 + next(560));
        p.save();
        p.translate(at);
        p.rotate(next(180));
        p.setBrush(colors[piece % 5]);
        if (piece % 3 == 0)
            p.drawEllipse(QPointF(0, 0), 15, 15);
        else
            p.drawRoundedRect(QRectF(-22, -9, 44, 18), 5, 5);
        p.restore();
    }
    QPainterPath streamer;
    streamer.moveTo(470, 560);
    streamer.cubicTo(520, 420, 640, 470, 660, 330);
    stroke(p, streamer, QColor(0xFF, 0xEB, 0x3B), 18);
    QPainterPath streamer2;
    streamer2.moveTo(500, 620);
    streamer2.cubicTo(640, 600, 700, 700, 840, 640);
    stroke(p, streamer2, QColor(0x00, 0xE5, 0xFF), 18);

    QPainterPath cone;
    cone.moveTo(170, 880);
    cone.lineTo(330, 470);
    cone.lineTo(580, 720);
    cone.closeSubpath();
    p.fillPath(cone, QColor(0xFF, 0xC8, 0x3D));
    p.save();
    p.setClipPath(cone);
    p.setPen(QPen(QColor(0xFF, 0x6E, 0x40), 44));
    for (int band = -2; band < 6; ++band)
        p.drawLine(QPointF(100 + band * 110, 980), QPointF(500 + band * 110, 380));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xF3, 0xC4));
    p.save();
    p.translate(455, 595);
    p.rotate(45);
    p.drawEllipse(QPointF(0, 0), 178, 40);
    p.restore();
}

void drawCafeCreme(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0xF7, 0xEA, 0xD8), QColor(0xE2, 0xBF, 0x98)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0x6B, 0x43, 50));
    p.drawEllipse(QRectF(190, 716, 640, 150));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(200, 690, 620, 150));
    p.setPen(QPen(Qt::white, 46));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(650, 440, 180, 190));

    QPainterPath cup;
    cup.moveTo(280, 420);
    cup.lineTo(740, 420);
    cup.cubicTo(740, 650, 660, 770, 510, 770);
    cup.cubicTo(360, 770, 280, 650, 280, 420);
    QLinearGradient porcelain(280, 0, 740, 0);
    porcelain.setColorAt(0, QColor(0xF4, 0xF0, 0xEB));
    porcelain.setColorAt(0.5, Qt::white);
    porcelain.setColorAt(1, QColor(0xE6, 0xDE, 0xD5));
    p.fillPath(cup, porcelain);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6F, 0x4E, 0x37));
    p.drawEllipse(QRectF(280, 380, 460, 84));
    p.setBrush(QColor(0xC8, 0x9B, 0x6A));
    p.drawEllipse(QRectF(370, 398, 280, 46));

    for (int wisp = 0; wisp < 3; ++wisp) {
        const qreal x = 400 + wisp * 110;
        QPainterPath steam;
        steam.moveTo(x, 340);
        steam.cubicTo(x - 50, 280, x + 50, 230, x, 160);
        stroke(p, steam, QColor(255, 255, 255, 200), 26);
    }
}

void drawMacEditor(QPainter &p) {
    p.fillRect(QRectF(0, 0, 1024, 1024),
               vertical(QColor(0x4F, 0x9A, 0xF0), QColor(0x1F, 0x4F, 0xC2)));
    QPainterPath sheet;
    sheet.moveTo(290, 200);
    sheet.lineTo(600, 200);
    sheet.lineTo(720, 320);
    sheet.lineTo(720, 800);
    sheet.lineTo(290, 800);
    sheet.closeSubpath();
    p.fillPath(sheet.translated(10, 16), QColor(0, 0, 0, 50));
    p.fillPath(sheet, Qt::white);
    QPainterPath fold;
    fold.moveTo(600, 200);
    fold.lineTo(600, 320);
    fold.lineTo(720, 320);
    fold.closeSubpath();
    p.fillPath(fold, QColor(0xD6, 0xE0, 0xEE));
    p.setPen(QPen(QColor(0xB4, 0xC2, 0xD6), 16, Qt::SolidLine, Qt::RoundCap));
    for (int line = 0; line < 5; ++line)
        p.drawLine(QPointF(350, 400 + line * 80), QPointF(line == 4 ? 520 : 660, 400 + line * 80));

    p.translate(640, 600);
    p.rotate(40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0x8A, 0xA0));
    p.drawRoundedRect(QRectF(-50, -330, 100, 80), 24, 24);
    p.setBrush(QColor(0xB0, 0xB8, 0xC4));
    p.drawRect(QRectF(-50, -260, 100, 50));
    p.setBrush(QColor(0xFF, 0xC1, 0x07));
    p.drawRect(QRectF(-50, -210, 100, 330));
    const QPointF wood[] = {{-50, 120}, {50, 120}, {0, 230}};
    p.setBrush(QColor(0xF3, 0xD9, 0xB1));
    p.drawPolygon(wood, 3);
    const QPointF lead[] = {{-16, 195}, {16, 195}, {0, 230}};
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawPolygon(lead, 3);
}

void drawDesign(QPainter &p, IconDesign design) {
    switch (design) {
    case IconDesign::Maps:
        return drawMaps(p);
    case IconDesign::Safari:
        return drawSafari(p);
    case IconDesign::Settings:
        return drawSettings(p);
    case IconDesign::Photos:
        return drawPhotos(p);
    case IconDesign::QuillNotes:
        return drawQuillNotes(p);
    case IconDesign::LegacyReader:
        return drawLegacyReader(p);
    case IconDesign::Weather:
        return drawWeather(p);
    case IconDesign::PartyPlanner:
        return drawPartyPlanner(p);
    case IconDesign::CafeCreme:
        return drawCafeCreme(p);
    case IconDesign::MacEditor:
        return drawMacEditor(p);
    }
}

} // namespace

QImage paintIcon(IconDesign design, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / 1024.0, pixels / 1024.0);

    // iOS icons fill the square up to rounded corners; a Mac icon sits inset on its canvas
    // with a soft shadow, as macOS artwork does.
    const bool mac = design == IconDesign::MacEditor;
    const QRectF tile = mac ? QRectF(100, 92, 824, 824) : QRectF(0, 0, 1024, 1024);
    const qreal radius = tile.width() * 0.225;
    if (mac) {
        for (int spread = 24; spread > 0; spread -= 6) {
            QPainterPath shadow;
            shadow.addRoundedRect(tile.adjusted(-spread / 2, 0, spread / 2, spread), radius,
                                  radius);
            painter.fillPath(shadow, QColor(0, 0, 0, 14));
        }
    }
    QPainterPath shape;
    shape.addRoundedRect(tile, radius, radius);
    painter.setClipPath(shape);
    painter.translate(tile.topLeft());
    painter.scale(tile.width() / 1024.0, tile.height() / 1024.0);
    drawDesign(painter, design);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
