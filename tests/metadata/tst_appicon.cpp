#include "BundleFixture.h"
#include "metadata/AppIcon.h"
#include "metadata/AppIconSource.h"
#include "tools/PropertyList.h"

#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

using namespace BundleFixture;
using Kind = AppIconSource::Kind;

namespace {

// "png" and "icns" write real red images, "truncated" a PNG cut off after its header.
QByteArray imageBytes(const QString &content) {
    if (content == "truncated")
        return pngBytes(Qt::red, 64).left(40);
    return content == "png"    ? pngBytes(Qt::red)
           : content == "icns" ? icnsBytes(Qt::red)
                               : QByteArray("not an image");
}

QRgb centreColour(const QIcon &icon) {
    const QImage image = icon.pixmap(QSize(32, 32)).toImage();
    return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    void candidateOrder() {
        const QVariantMap dictionary =
            PropertyList::read("{CFBundleIcons = {CFBundlePrimaryIcon = {CFBundleIconFiles = "
                               "(AppIcon60x60, AppIcon76x76);};}; CFBundleIconFiles = (Top); "
                               "CFBundleIconFile = Legacy;}")
                .toMap();
        QStringList expected;
        for (const char *name : {"Legacy", "Top", "AppIcon76x76", "AppIcon60x60"})
            for (const char *suffix : {"", "@3x.png", "@2x.png", ".png", ".icns"})
                expected << QStringLiteral("/B.app/%1%2").arg(name, suffix);
        QCOMPARE(AppIcon::candidateFiles("/B.app", AppIcon::iconNames(dictionary)), expected);
    }

    void locate_data() {
        QTest::addColumn<QByteArray>("bundleInfo"); // the bundle's Info.plist; empty: none
        QTest::addColumn<QVariantMap>("record");    // gets "Path" unless it has a path key
        QTest::addColumn<QString>("files");  // "name:content …", content as for imageBytes()
        QTest::addColumn<QString>("chosen"); // the file chosen, or "system" / "generic"
        const QByteArray appIcon = "{CFBundleIconFile = AppIcon;}";
        const QVariantMap noRecord, recordIcon{{"CFBundleIconFile", "Rec"}};
        // clang-format off
        QTest::newRow(".icns through the image plugin") << appIcon << noRecord << "AppIcon.icns:icns" << "AppIcon.icns";
        QTest::newRow("header reads, data does not") << appIcon << noRecord << "AppIcon.png:truncated" << "AppIcon.png";
        QTest::newRow("not an image: next candidate") << appIcon << noRecord << "AppIcon@3x.png:garbage AppIcon@2x.png:png" << "AppIcon@2x.png";
        QTest::newRow("bundle's Info.plist over the record") << QByteArray("{CFBundleIconFile = Own;}") << recordIcon << "Own.png:png Rec.png:png" << "Own.png";
        QTest::newRow("record when the bundle has no Info.plist") << QByteArray() << recordIcon << "Rec.png:png" << "Rec.png";
        QTest::newRow("BundlePath when Path is no string") << appIcon << QVariantMap{{"Path", 42}, {"BundlePath", "<bundle>"}} << "AppIcon.png:png" << "AppIcon.png";
        QTest::newRow("wrongly typed keys") << QByteArray("{CFBundleIconFiles = AppIcon; CFBundleIcons = (AppIcon);}") << noRecord << "AppIcon.png:png" << "system";
        QTest::newRow("no matching file") << appIcon << noRecord << "Other.png:png" << "system";
        QTest::newRow("no path") << appIcon << QVariantMap{{"Path", QVariant()}} << "AppIcon.png:png" << "generic";
        // clang-format on
    }

    void locate() {
        QFETCH(QByteArray, bundleInfo);
        QFETCH(QVariantMap, record);
        QFETCH(QString, files);
        QFETCH(QString, chosen);
        QTemporaryDir folder;
        const QString bundle = folder.filePath("Sample.app");
        QVERIFY(QDir().mkpath(bundle));
        if (!bundleInfo.isEmpty())
            QVERIFY(writeFile(bundle + "/Info.plist", bundleInfo));
        QHash<QString, QString> contents;
        for (const QString &file : files.split(' ')) {
            const QStringList nameAndContent = file.split(':');
            contents.insert(nameAndContent[0], nameAndContent[1]);
            QVERIFY(writeFile(bundle + "/" + nameAndContent[0], imageBytes(nameAndContent[1])));
        }
        if (record.value("BundlePath") == "<bundle>")
            record.insert("BundlePath", bundle);
        else if (!record.contains("Path"))
            record.insert("Path", bundle);

        const AppIconSource expected =
            chosen == "generic"  ? AppIconSource{Kind::GenericApplicationIcon, {}}
            : chosen == "system" ? AppIconSource{Kind::SystemIcon, bundle}
                                 : AppIconSource{Kind::ImageFile, bundle + "/" + chosen};
        const AppIconSource source = AppIcon::locate(record);
        QCOMPARE(int(source.kind), int(expected.kind));
        QCOMPARE(source.path, expected.path);

        // Never a null icon: the chosen image when it decodes, a visible fallback otherwise.
        const QRgb colour = centreColour(AppIcon::load(record));
        QVERIFY(qAlpha(colour) > 0);
        const QString content = contents.value(chosen);
        QCOMPARE(colour == QColor(Qt::red).rgb(), content == "png" || content == "icns");
    }

    void decodesOnFirstPaint() {
        QTemporaryDir folder;
        const QString file = folder.filePath("Sample.app/AppIcon.png");
        QVERIFY(writeFile(file, pngBytes(Qt::red)));
        const QIcon icon = AppIcon::load(
            {{"Path", folder.filePath("Sample.app")}, {"CFBundleIconFile", "AppIcon"}});
        // Nothing decoded yet: the first paint shows what the file holds then, and keeps it.
        QVERIFY(writeFile(file, pngBytes(Qt::blue)));
        QCOMPARE(centreColour(icon), QColor(Qt::blue).rgb());
        QVERIFY(writeFile(file, pngBytes(Qt::green)));
        QCOMPARE(centreColour(icon), QColor(Qt::blue).rgb());
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
