// Writing a gallery to a folder: the folder rules, gallery.json, and the page as a real
// browser (Debian's headless Chromium) shows it.
#include "gallery/GalleryExport.h"
#include "launcher/LaunchOptions.h"
#include "tools/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <utility>

namespace {

QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every file below `folder`, relative, sorted.
QStringList files(const QString &folder) {
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

// Shots of three languages with real PNG captures: de settled, fr failed, pt-BR unsettled.
class Captures {
public:
    DeviceGallery gallery(const QString &udid, const QString &name) {
        DeviceGallery gallery{{udid, name}, {}};
        const auto image = [&](const QString &language, QColor colour) {
            QImage picture(60, 120, QImage::Format_RGB32);
            picture.fill(colour);
            const QString file = m_folder.filePath(udid + language + QStringLiteral(".png"));
            picture.save(file);
            return file;
        };
        gallery.shots.append({QStringLiteral("de"), QStringLiteral("de_DE"),
                              image(QStringLiteral("de"), Qt::red), true, 1.704, std::nullopt});
        gallery.shots.append({QStringLiteral("fr"), QStringLiteral("fr_FR"), QString(), false, 0.25,
                              QStringLiteral("Unable to lookup in current state: Shutdown")});
        gallery.shots.append({QStringLiteral("pt-BR"), QStringLiteral("pt_BR"),
                              image(QStringLiteral("pt-BR"), Qt::blue), false, 15.0, std::nullopt});
        return gallery;
    }

    GalleryResult result(const QList<std::pair<QString, QString>> &devices) {
        GalleryResult result{QStringLiteral("com.example.QuillNotes"),
                             LaunchOption::AccentedStrings | LaunchOption::RightToLeftLayout,
                             {}};
        for (const auto &[udid, name] : devices)
            result.devices.append(gallery(udid, name));
        return result;
    }

private:
    QTemporaryDir m_folder;
};

const QList<std::pair<QString, QString>> oneDevice = {{"UDID-1", "iPhone 16 Pro"}};
const QList<std::pair<QString, QString>> threeDevices = {{"AAAA1111-0000", "iPhone 15"},
                                                         {"BBBB2222-0000", "iPhone 15"},
                                                         {"CCCC3333", "iPad: \"Pro\"/13"}};

} // namespace

class GalleryExportTest : public QObject {
    Q_OBJECT

private slots:
    void folderRules_data();
    void folderRules();
    void documentText();
    void oneFolderPerDevice();
    void folderNames_data();
    void folderNames();
    void browserLoadsEveryImage_data();
    void browserLoadsEveryImage();
};

void GalleryExportTest::folderRules_data() {
    QTest::addColumn<QString>("before"); // what the folder holds
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("refusal"); // FOLDER stands for the path
    QTest::addColumn<QStringList>("after");

    const QStringList gallery = {"de.png", "gallery.json", "index.html", "pt-BR.png"};
    QTest::newRow("missing folder") << "missing" << false << "" << gallery;
    QTest::newRow("empty folder") << "empty" << false << "" << gallery;
    QTest::newRow("other file, not replacing")
        << "other file" << false << "The folder “FOLDER” is not empty." << QStringList{"notes.txt"};
    QTest::newRow("hidden file, not replacing")
        << "hidden file" << false << "The folder “FOLDER” is not empty." << QStringList{".keep"};
    QTest::newRow("other file, replacing")
        << "other file" << true << ""
        << QStringList{"de.png", "gallery.json", "index.html", "notes.txt", "pt-BR.png"};
    QTest::newRow("earlier gallery, replacing")
        << "earlier gallery" << true << ""
        << QStringList{"de.png", "fr.png", "gallery.json", "index.html", "pt-BR.png"};
    QTest::newRow("a file") << "file" << true << "“FOLDER” is not a folder." << QStringList{};
}

void GalleryExportTest::folderRules() {
    QFETCH(QString, before);
    QFETCH(bool, replace);
    QFETCH(QString, refusal);
    QFETCH(QStringList, after);
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("out"));
    if (before == QLatin1String("empty"))
        QDir().mkpath(folder);
    else if (before == QLatin1String("other file"))
        write(folder + QStringLiteral("/notes.txt"), "mine");
    else if (before == QLatin1String("hidden file"))
        write(folder + QStringLiteral("/.keep"), "");
    else if (before == QLatin1String("file"))
        write(folder, "not a folder");
    else if (before == QLatin1String("earlier gallery"))
        for (const char *name : {"de.png", "fr.png", "gallery.json", "index.html"})
            write(folder + QLatin1Char('/') + QLatin1String(name), "old");

    Captures captures;
    const GalleryResult result = captures.result(oneDevice);
    try {
        GalleryExport::writeFolder(result, folder, replace);
        QVERIFY2(refusal.isEmpty(), "written");
    } catch (const ToolFailure &failure) {
        QCOMPARE(failure.message(), QString(refusal).replace(QStringLiteral("FOLDER"), folder));
    }
    if (before != QLatin1String("file"))
        QCOMPARE(files(folder), after);
    if (before == QLatin1String("other file"))
        QCOMPARE(read(folder + QStringLiteral("/notes.txt")), QByteArray("mine"));
    if (before == QLatin1String("earlier gallery")) {
        QCOMPARE(read(folder + QStringLiteral("/fr.png")), QByteArray("old")); // not ours now
        QCOMPARE(QImage(folder + QStringLiteral("/de.png")).pixelColor(0, 0), QColor(Qt::red));
    }
}

void GalleryExportTest::documentText() {
    Captures captures;
    const GalleryResult result = captures.result(oneDevice);
    const QByteArray text = GalleryExport::resultText(result);
    QCOMPARE(text, QByteArray(R"({
  "app": "com.example.QuillNotes",
  "device": {"udid": "UDID-1", "name": "iPhone 16 Pro"},
  "options": ["accented","right-to-left"],
  "shots": [
    {"language": "de", "region": "de_DE", "file": "de.png", "settled": true, "seconds": 1.7, "error": null},
    {"language": "fr", "region": "fr_FR", "file": null, "settled": false, "seconds": 0.25, "error": "Unable to lookup in current state: Shutdown"},
    {"language": "pt-BR", "region": "pt_BR", "file": "pt-BR.png", "settled": false, "seconds": 15, "error": null}
  ]
}
)"));
    QJsonParseError error;
    QJsonDocument::fromJson(GalleryExport::resultText(captures.result(threeDevices)), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
}

void GalleryExportTest::oneFolderPerDevice() {
    QTemporaryDir root;
    Captures captures;
    const GalleryResult result = captures.result(threeDevices);
    GalleryExport::writeFolder(result, root.path(), false);
    const QStringList perDevice = {"de.png", "gallery.json", "index.html", "pt-BR.png"};
    QStringList expected{"index.html"};
    for (const char *folder : {"iPad- -Pro-13", "iPhone 15", "iPhone 15-BBBB2222"}) {
        for (const QString &file : perDevice)
            expected << QLatin1String(folder) + QLatin1Char('/') + file;
    }
    expected.sort();
    QCOMPARE(files(root.path()), expected);
    const QJsonObject second =
        QJsonDocument::fromJson(read(root.filePath("iPhone 15-BBBB2222/gallery.json"))).object();
    QCOMPARE(second.value("device").toObject().value("udid").toString(),
             QStringLiteral("BBBB2222-0000"));
    QCOMPARE(second.value("shots").toArray().size(), 3);
}

void GalleryExportTest::folderNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");
    const std::pair<const char *, const char *> rows[] = {
        {"iPad Pro 13-inch (M4)", "iPad Pro 13-inch (M4)"}, // brackets kept
        {"A/B\\C:D", "A-B-C-D"},
        {"50% #1?", "50- -1-"}, // characters that mean something in a URL
        {"..hidden", "hidden"},
        {"///", "Device"},
        {"", "Device"},
        {"Téléphone 電話", "Téléphone 電話"}};
    for (const auto &[name, folder] : rows)
        QTest::newRow(*name ? name : "empty")
            << QString::fromUtf8(name) << QString::fromUtf8(folder);
}

void GalleryExportTest::folderNames() {
    QFETCH(QString, name);
    QFETCH(QString, folder);
    QCOMPARE(GalleryExport::folderName(name), folder);
}

void GalleryExportTest::browserLoadsEveryImage_data() {
    QTest::addColumn<int>("deviceCount");
    QTest::newRow("one device") << 1;
    QTest::newRow("three devices, top page") << 3;
}

void GalleryExportTest::browserLoadsEveryImage() {
    QFETCH(int, deviceCount);
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    QVERIFY2(!browser.isEmpty(), "Chromium is missing: run scripts/install-deps.sh");

    QTemporaryDir root;
    Captures captures;
    const GalleryResult result = captures.result(deviceCount == 1 ? oneDevice : threeDevices);
    const QString folder = root.filePath(QStringLiteral("gallery"));
    GalleryExport::writeFolder(result, folder, false);

    // A probe page beside the gallery loads it in a frame and reports what the frame shows.
    const QString probe = root.filePath(QStringLiteral("probe.html"));
    write(probe, R"(<!DOCTYPE html><html><body><pre id="result">pending</pre>
<iframe id="page" src="gallery/index.html"></iframe>
<script>
document.getElementById('page').addEventListener('load', function () {
  var doc = this.contentDocument;
  var images = Array.from(doc.images);
  var broken = images.filter(function (i) { return !(i.complete && i.naturalWidth > 0); });
  var outside = Array.from(doc.querySelectorAll('[src],[href]')).filter(function (e) {
    return /^[a-z]+:/i.test(e.getAttribute('src') || e.getAttribute('href'));
  });
  document.getElementById('result').textContent = 'images=' + images.length +
    ' broken=' + broken.length + ' scripts=' + doc.scripts.length +
    ' outside=' + outside.length + ' captions=' + doc.querySelectorAll('figcaption').length;
});
</script></body></html>)");

    QTemporaryDir profile;
    QProcess chromium;
    chromium.start(browser,
                   {"--headless", "--no-sandbox", "--disable-gpu", "--allow-file-access-from-files",
                    "--virtual-time-budget=10000", "--user-data-dir=" + profile.path(),
                    "--dump-dom", QUrl::fromLocalFile(probe).toString()});
    QVERIFY(chromium.waitForFinished(120000));
    const QString dom = QString::fromUtf8(chromium.readAllStandardOutput());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("<pre id=\"result\">([^<]*)</pre>")).match(dom);
    QVERIFY2(match.hasMatch(), qPrintable(dom + chromium.readAllStandardError()));
    // Two images per device (the failed language has none), three captions per device.
    QCOMPARE(match.captured(1), QStringLiteral("images=%1 broken=0 scripts=0 outside=0 captions=%2")
                                    .arg(2 * deviceCount)
                                    .arg(3 * deviceCount));
}

QTEST_GUILESS_MAIN(GalleryExportTest)
#include "tst_gallery_export.moc"
