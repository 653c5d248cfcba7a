#include "gallery/GalleryPage.h"

#include "gallery/GalleryExport.h"
#include "gallery/GalleryTexts.h"
#include "launcher/LaunchOptions.h"

#include <QUrl>

namespace {

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

const char *styleSheet = R"(
:root { color-scheme: light dark; --tile: #f4f4f6; --note: #8a5a00; --fail: #b3261e; }
@media (prefers-color-scheme: dark) { :root { --tile: #2a2a2e; --note: #f0b43c; --fail: #ff8a80; } }
body { font: 14px -apple-system, "Helvetica Neue", "DejaVu Sans", sans-serif; margin: 24px; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 17px; margin: 28px 0 8px; }
p.about { margin: 0 0 16px; opacity: 0.75; }
.grid { display: grid; grid-template-columns: repeat(auto-fill, minmax(220px, 1fr)); gap: 16px; }
figure { margin: 0; padding: 10px; background: var(--tile); border-radius: 10px; }
figure img { display: block; width: 100%; height: auto; border-radius: 6px; }
figure .missing { aspect-ratio: 9 / 19.5; display: flex; align-items: center; justify-content: center;
                  text-align: center; padding: 12px; box-sizing: border-box; border-radius: 6px;
                  border: 1px dashed var(--fail); color: var(--fail); }
figcaption { margin-top: 8px; line-height: 1.4; }
figcaption code { font-size: 12px; }
.note { display: block; color: var(--note); }
.failed .note { color: var(--fail); }
)";

QString tile(const QString &folder, const GalleryShot &shot) {
    const QString label = GalleryTexts::ownName(shot.language);
    QString picture;
    if (shot.hasImage()) {
        const QString source =
            GalleryPage::address(folder, GalleryExport::imageFileName(shot.language));
        picture = QStringLiteral("<a href=\"%1\"><img src=\"%1\" alt=\"%2\"></a>")
                      .arg(escaped(source), escaped(label + QStringLiteral(" (") + shot.language +
                                                    QStringLiteral(")")));
    } else {
        picture = QStringLiteral("<div class=\"missing\">%1</div>")
                      .arg(escaped(shot.error.value_or(QStringLiteral("No screenshot"))));
    }
    QString note;
    QString kind;
    if (shot.error) {
        kind = QStringLiteral(" failed");
        note = QStringLiteral("Failed");
    } else if (!shot.settled) {
        kind = QStringLiteral(" unsettled");
        note = QStringLiteral("Not settled after %1 s").arg(shot.seconds, 0, 'f', 1);
    }
    return QStringLiteral("<figure class=\"shot%1\">%2<figcaption><strong>%3</strong> "
                          "<code>%4</code> · %5%6</figcaption></figure>\n")
        .arg(kind, picture, escaped(label), escaped(shot.language), escaped(shot.region),
             note.isEmpty() ? QString()
                            : QStringLiteral("<span class=\"note\">%1</span>").arg(escaped(note)));
}

} // namespace

namespace GalleryPage {

QString address(const QString &folder, const QString &fileName) {
    QString path;
    const QStringList segments = (folder + fileName).split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        if (!path.isEmpty())
            path += QLatin1Char('/');
        path += QString::fromLatin1(QUrl::toPercentEncoding(segment));
    }
    return path;
}

QString html(const QString &bundleID, LaunchOptions options, const QList<Section> &sections) {
    QString about = escaped(bundleID);
    const QString with = LaunchOptionCatalog::withPhrase(options);
    if (!with.isEmpty())
        about += escaped(QStringLiteral(", launched") + with);
    QString body;
    for (const Section &section : sections) {
        const QString device = section.gallery.device.name.isEmpty() ? section.gallery.device.udid
                                                                     : section.gallery.device.name;
        if (sections.size() > 1)
            body += QStringLiteral("<h2>%1</h2>\n").arg(escaped(device));
        else
            about += QStringLiteral(" on ") + escaped(device);
        body += QStringLiteral("<div class=\"grid\">\n");
        for (const GalleryShot &shot : section.gallery.shots)
            body += tile(section.folder, shot);
        body += QStringLiteral("</div>\n");
    }
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, "
                          "initial-scale=1\">\n<title>%1 — Language gallery</title>\n"
                          "<style>%2</style>\n</head>\n<body>\n<h1>Language gallery</h1>\n"
                          "<p class=\"about\">%3</p>\n%4</body>\n</html>\n")
        .arg(escaped(bundleID), QString::fromUtf8(styleSheet), about, body);
}

} // namespace GalleryPage
