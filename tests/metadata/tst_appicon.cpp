#include "BundleFixture.h"
#include "metadata/AppIcon.h"
#include "metadata/AppIconSource.h"

#include <QPixmap>
#include <QTest>

using namespace BundleFixture;

Q_DECLARE_METATYPE(AppIconSource::Kind)

namespace {

// Writes an image file: "red.png"-style content keys name what goes into the file.
bool writeImage(const QString &path, const QString &content) {
    if (content == QLatin1String("png"))
        return writeFile(path, pngBytes(Qt::red));
    if (content == QLatin1String("icns"))
        return writeFile(path, icnsBytes(Qt::red));
    return writeFile(path, "not an image");
}

QRgb centreColour(const QIcon &icon) {
    const QImage image = icon.pixmap(QSize(16, 16)).toImage();
    return image.pixel(image.width() / 2, image.height() / 2);
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void candidateOrder();
    void locate_data();
    void locate();
    void neverNull_data();
    void neverNull();
    void decodesOnFirstPaint();
    void icnsThroughPlugin();
};

void TestAppIcon::candidateOrder() {
    const QVariantMap dictionary{
        {"CFBundleIcons",
         QVariantMap{
             {"CFBundlePrimaryIcon",
              QVariantMap{{"CFBundleIconFiles", QStringList{"AppIcon60x60", "AppIcon76x76"}}}}}},
        {"CFBundleIconFiles", QStringList{"Top"}},
        {"CFBundleIconFile", "Legacy"}};
    const QStringList names = AppIcon::iconNames(dictionary);
    QCOMPARE(names, (QStringList{"AppIcon60x60", "AppIcon76x76", "Top", "Legacy"}));

    QStringList expected;
    for (const char *name : {"Legacy", "Top", "AppIcon76x76", "AppIcon60x60"}) {
        for (const char *suffix : {"", "@3x.png", "@2x.png", ".png", ".icns"})
            expected << QStringLiteral("/B.app/%1%2").arg(name, suffix);
    }
    QCOMPARE(AppIcon::candidateFiles(QStringLiteral("/B.app"), names), expected);
}

void TestAppIcon::locate_data() {
    QTest::addColumn<QVariantMap>("bundleInfo"); // empty: the bundle has no Info.plist
    QTest::addColumn<QVariantMap>("record");     // "Path" is added unless the row sets a path key
    QTest::addColumn<QVariantMap>("files");      // relative path → "png", "icns" or "garbage"
    QTest::addColumn<AppIconSource::Kind>("kind");
    QTest::addColumn<QString>("chosen"); // relative to the bundle

    using Kind = AppIconSource::Kind;
    const QVariantMap primary60and76{
        {"CFBundleIcons",
         QVariantMap{
             {"CFBundlePrimaryIcon",
              QVariantMap{{"CFBundleIconFiles", QStringList{"AppIcon60x60", "AppIcon76x76"}}}}}}};
    const QVariantMap appIcon{{"CFBundleIconFile", "AppIcon"}};

    QTest::newRow("76x76 before 60x60")
        << primary60and76 << QVariantMap()
        << QVariantMap{{"AppIcon60x60@3x.png", "png"}, {"AppIcon76x76.png", "png"}}
        << Kind::ImageFile << "AppIcon76x76.png";
    QTest::newRow("@3x before @2x")
        << appIcon << QVariantMap()
        << QVariantMap{{"AppIcon@2x.png", "png"}, {"AppIcon@3x.png", "png"}} << Kind::ImageFile
        << "AppIcon@3x.png";
    QTest::newRow("name as it stands first")
        << QVariantMap{{"CFBundleIconFile", "Icon.png"}} << QVariantMap()
        << QVariantMap{{"Icon.png@3x.png", "png"}, {"Icon.png", "png"}} << Kind::ImageFile
        << "Icon.png";
    QTest::newRow("CFBundleIconFile before CFBundleIconFiles")
        << QVariantMap{{"CFBundleIconFiles", QStringList{"A"}}, {"CFBundleIconFile", "B"}}
        << QVariantMap() << QVariantMap{{"A.png", "png"}, {"B.png", "png"}} << Kind::ImageFile
        << "B.png";
    QTest::newRow(".icns last, through the image plugin")
        << appIcon << QVariantMap() << QVariantMap{{"AppIcon.icns", "icns"}} << Kind::ImageFile
        << "AppIcon.icns";
    QTest::newRow("a file that is not an image is skipped")
        << appIcon << QVariantMap()
        << QVariantMap{{"AppIcon@3x.png", "garbage"}, {"AppIcon@2x.png", "png"}} << Kind::ImageFile
        << "AppIcon@2x.png";
    QTest::newRow("the bundle's Info.plist wins over the record")
        << QVariantMap{{"CFBundleIconFile", "FromBundle"}}
        << QVariantMap{{"CFBundleIconFile", "FromRecord"}}
        << QVariantMap{{"FromBundle.png", "png"}, {"FromRecord.png", "png"}} << Kind::ImageFile
        << "FromBundle.png";
    QTest::newRow("the record when the bundle has no Info.plist")
        << QVariantMap() << QVariantMap{{"CFBundleIconFile", "FromRecord"}}
        << QVariantMap{{"FromRecord.png", "png"}} << Kind::ImageFile << "FromRecord.png";
    QTest::newRow("BundlePath when Path is not a string")
        << appIcon << QVariantMap{{"Path", 42}, {"BundlePath", "."}}
        << QVariantMap{{"AppIcon.png", "png"}} << Kind::ImageFile << "AppIcon.png";
    QTest::newRow("wrongly typed keys contribute nothing")
        << QVariantMap{{"CFBundleIconFiles", "AppIcon"}, {"CFBundleIcons", QStringList{"AppIcon"}}}
        << QVariantMap() << QVariantMap{{"AppIcon.png", "png"}} << Kind::SystemIcon << "";
    QTest::newRow("names without files give the system icon")
        << appIcon << QVariantMap() << QVariantMap{{"Other.png", "png"}} << Kind::SystemIcon << "";
    QTest::newRow("no path gives the generic icon")
        << appIcon << QVariantMap{{"Path", QVariant()}} << QVariantMap{{"AppIcon.png", "png"}}
        << Kind::GenericApplicationIcon << "";
    QTest::newRow("empty path gives the generic icon")
        << appIcon << QVariantMap{{"Path", ""}} << QVariantMap{{"AppIcon.png", "png"}}
        << Kind::GenericApplicationIcon << "";
}

void TestAppIcon::locate() {
    QFETCH(QVariantMap, bundleInfo);
    QFETCH(QVariantMap, record);
    QFETCH(QVariantMap, files);
    QFETCH(AppIconSource::Kind, kind);
    QFETCH(QString, chosen);

    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Sample.app"));
    QVERIFY(QDir().mkpath(bundle));
    if (!bundleInfo.isEmpty())
        QVERIFY(writeFile(bundle + QStringLiteral("/Info.plist"), xmlPlist(bundleInfo)));
    for (auto it = files.begin(); it != files.end(); ++it)
        QVERIFY(writeImage(bundle + QLatin1Char('/') + it.key(), it.value().toString()));
    if (record.value("BundlePath") == QLatin1String("."))
        record.insert("BundlePath", bundle);
    else if (!record.contains("Path"))
        record.insert("Path", bundle);

    const AppIconSource expected{kind, kind == AppIconSource::Kind::ImageFile
                                           ? bundle + QLatin1Char('/') + chosen
                                       : kind == AppIconSource::Kind::SystemIcon ? bundle
                                                                                 : QString()};
    const AppIconSource source = AppIcon::locate(record);
    QCOMPARE(int(source.kind), int(expected.kind));
    QCOMPARE(source.path, expected.path);
}

void TestAppIcon::neverNull_data() {
    QTest::addColumn<QString>("content"); // what AppIcon.png holds; empty: no file
    QTest::addColumn<bool>("withPath");
    QTest::newRow("generic application icon") << "" << false;
    QTest::newRow("system icon for the bundle") << "" << true;
    QTest::newRow("image file") << "png" << true;
    // A valid header followed by truncated data passes the header check but fails to decode.
    QTest::newRow("image that fails to decode") << "truncated" << true;
}

void TestAppIcon::neverNull() {
    QFETCH(QString, content);
    QFETCH(bool, withPath);
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Sample.app"));
    QVERIFY(QDir().mkpath(bundle));
    if (content == QLatin1String("png"))
        QVERIFY(writeImage(bundle + QStringLiteral("/AppIcon.png"), content));
    else if (content == QLatin1String("truncated"))
        QVERIFY(writeFile(bundle + QStringLiteral("/AppIcon.png"), pngBytes(Qt::red, 64).left(40)));

    QVariantMap record{{"CFBundleIconFile", "AppIcon"}};
    if (withPath)
        record.insert("Path", bundle);
    const QIcon icon = AppIcon::load(record);
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(QSize(32, 32));
    QVERIFY(!pixmap.isNull());
    const QImage image = pixmap.toImage();
    QVERIFY(qAlpha(image.pixel(image.width() / 2, image.height() / 2)) > 0);
}

void TestAppIcon::decodesOnFirstPaint() {
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Sample.app"));
    const QString file = bundle + QStringLiteral("/AppIcon.png");
    QVERIFY(writeFile(file, pngBytes(Qt::red)));
    const QIcon icon = AppIcon::load({{"Path", bundle}, {"CFBundleIconFile", "AppIcon"}});

    // Nothing was decoded yet: the image painted is the file's content at first paint.
    QVERIFY(writeFile(file, pngBytes(Qt::blue)));
    QCOMPARE(centreColour(icon), QColor(Qt::blue).rgb());
    // Decoded once and kept.
    QVERIFY(writeFile(file, pngBytes(Qt::green)));
    QCOMPARE(centreColour(icon), QColor(Qt::blue).rgb());
}

void TestAppIcon::icnsThroughPlugin() {
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("Sample.app"));
    QVERIFY(writeFile(bundle + QStringLiteral("/AppIcon.icns"), icnsBytes(Qt::red)));
    const QIcon icon = AppIcon::load({{"Path", bundle}, {"CFBundleIconFile", "AppIcon"}});
    QCOMPARE(centreColour(icon), QColor(Qt::red).rgb());
}

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
