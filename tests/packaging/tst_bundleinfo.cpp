#include "ApplicationIdentity.h"
#include "BuildSettings.h"
#include "tools/PropertyList.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QSettings>
#include <QTest>

// The configured Info.plist of each bundle, read through the app's own property-list reader,
// and the icon and settings identity that go with it.
class BundleInfoTest : public QObject {
    Q_OBJECT

private slots:
    void infoPlistKeys_data();
    void infoPlistKeys();
    void declaresNoUsageDescriptions_data();
    void declaresNoUsageDescriptions();
    void identifierIsTheSettingsDomain_data();
    void identifierIsTheSettingsDomain();
    void iconFiles();
    void linuxSettingsStayWhereTheyWere();
};

namespace {

using Program = ApplicationIdentity::Program;

QVariantMap infoPlist(const QString &target) {
    QFile file(QStringLiteral(PACKAGING_BUILD_DIR "/%1/Info.plist").arg(target));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(file.fileName()));
    return PropertyList::read(file.readAll()).toMap();
}

// Qt's defaults domain on macOS: the organization domain's labels reversed and lower-cased,
// then the application name.
QString macSettingsDomain(const Program &program) {
    QStringList labels =
        QString::fromLatin1(ApplicationIdentity::organizationDomain).toLower().split(u'.');
    std::reverse(labels.begin(), labels.end());
    return labels.join(u'.') + u'.' + QString::fromLatin1(program.applicationName);
}

} // namespace

void BundleInfoTest::infoPlistKeys_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected");

    const QString version = QString::fromLatin1(BuildSettings::version);
    const struct {
        const char *target;
        Program program;
        const char *name;
        const char *displayName;
        const char *executable;
    } programs[] = {
        {"quillmarch", ApplicationIdentity::quillmarch, "Quillmarch", "Quillmarch", "Quillmarch"},
        {"quillmarch-steps", ApplicationIdentity::stepRecorder, "Step Recorder",
         "Quillmarch Step Recorder", "Quillmarch Step Recorder"},
    };
    for (const auto &program : programs) {
        const QList<std::pair<const char *, QVariant>> keys = {
            {"CFBundleIdentifier", QString::fromLatin1(program.program.bundleIdentifier)},
            {"CFBundleName", QString::fromLatin1(program.name)},
            {"CFBundleDisplayName", QString::fromLatin1(program.displayName)},
            {"CFBundleExecutable", QString::fromLatin1(program.executable)},
            {"CFBundlePackageType", QStringLiteral("APPL")},
            {"CFBundleShortVersionString", version},
            {"CFBundleVersion", version},
            {"CFBundleIconFile", QStringLiteral("AppIcon")},
            {"LSMinimumSystemVersion", QStringLiteral("13.0")},
            {"LSApplicationCategoryType", QStringLiteral("public.app-category.developer-tools")},
            {"NSHighResolutionCapable", true},
            {"NSPrincipalClass", QStringLiteral("NSApplication")},
        };
        for (const auto &[key, value] : keys)
            QTest::addRow("%s %s", program.target, key)
                << QString::fromLatin1(program.target) << QString::fromLatin1(key) << value;
    }
}

void BundleInfoTest::infoPlistKeys() {
    QFETCH(QString, target);
    QFETCH(QString, key);
    QFETCH(QVariant, expected);

    const QVariantMap info = infoPlist(target);
    QVERIFY2(info.contains(key), qPrintable(key + QStringLiteral(" is missing")));
    const QVariant actual = info.value(key);
    QCOMPARE(actual.metaType(), expected.metaType());
    QCOMPARE(actual, expected);
}

void BundleInfoTest::declaresNoUsageDescriptions_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("quillmarch") << QStringLiteral("quillmarch");
    QTest::newRow("quillmarch-steps") << QStringLiteral("quillmarch-steps");
}

void BundleInfoTest::declaresNoUsageDescriptions() {
    // The recorder's permissions (screen recording, input monitoring) take no usage
    // description in the Info.plist; a key for anything else would be a false claim.
    QFETCH(QString, target);
    for (const QString &key : infoPlist(target).keys())
        QVERIFY2(!key.endsWith(QLatin1String("UsageDescription")), qPrintable(key));
}

void BundleInfoTest::identifierIsTheSettingsDomain_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("domain");
    QTest::newRow("quillmarch") << QStringLiteral("quillmarch")
                                << macSettingsDomain(ApplicationIdentity::quillmarch);
    QTest::newRow("quillmarch-steps") << QStringLiteral("quillmarch-steps")
                                      << macSettingsDomain(ApplicationIdentity::stepRecorder);
}

void BundleInfoTest::identifierIsTheSettingsDomain() {
    QFETCH(QString, target);
    QFETCH(QString, domain);
    QCOMPARE(infoPlist(target).value(QStringLiteral("CFBundleIdentifier")).toString(), domain);
}

void BundleInfoTest::iconFiles() {
    const QString icons = QStringLiteral(PACKAGING_BUILD_DIR "/icons");
    // Every size from 16 to 1024 pixels, read back through Qt's icns reader, so that the system
    // never scales an icon up; the largest carries the artwork, not an empty canvas.
    QImageReader icns(icons + QStringLiteral("/AppIcon.icns"), "icns");
    QSet<int> sizes;
    QImage largest;
    for (int index = 0; index < icns.imageCount(); ++index) {
        QVERIFY(icns.jumpToImage(index));
        const QImage image = icns.read();
        QVERIFY2(!image.isNull(), qPrintable(icns.errorString()));
        QCOMPARE(image.width(), image.height());
        sizes.insert(image.width());
        if (image.width() > largest.width())
            largest = image;
    }
    QCOMPARE(sizes, (QSet<int>{16, 32, 64, 128, 256, 512, 1024}));
    QCOMPARE(largest.pixelColor(512, 512).alpha(), 255);

    for (const int pixels : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString path =
            icons + QStringLiteral("/hicolor/%1x%1/apps/%2.png")
                        .arg(pixels)
                        .arg(QLatin1String(ApplicationIdentity::quillmarch.bundleIdentifier));
        const QImage png(path);
        QVERIFY2(!png.isNull(), qPrintable(path));
        QCOMPARE(png.size(), QSize(pixels, pixels));
        QCOMPARE(png.pixelColor(0, 0).alpha(), 0); // the rounded tile leaves its corners clear
    }
}

void BundleInfoTest::linuxSettingsStayWhereTheyWere() {
#if defined(Q_OS_DARWIN)
    QSKIP("macOS keeps settings in the defaults domain");
#endif
    // Settings written before the programs had an organization domain live in
    // <config>/Quillmarch/Quillmarch.conf; they must be found there still.
    ApplicationIdentity::apply(ApplicationIdentity::quillmarch);
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!config.isEmpty());
    QCOMPARE(QSettings().fileName(),
             QDir(config).filePath(QStringLiteral("Quillmarch/Quillmarch.conf")));
}

QTEST_GUILESS_MAIN(BundleInfoTest)
#include "tst_bundleinfo.moc"
