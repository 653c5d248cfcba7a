#include "SampleSetWriter.h"

#include "IconArt.h"
#include "LargeDevice.h"
#include "SampleCatalogue.h"
#include "SampleStringTables.h"
#include "common/PropertyListValue.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

using namespace SampleCatalogue;

namespace {

// Container folders get name-based UUIDs, so every run writes the same paths.
QString containerUuid(const QString &name) {
    static const QUuid space(QStringLiteral("{3c8f5a2e-6b1d-4e07-9a4c-5f2d81b6e390}"));
    return QUuid::createUuidV5(space, name).toString(QUuid::WithoutBraces).toUpper();
}

class Writer {
public:
    explicit Writer(const QString &root)
        : m_root(root) {}

    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }

    void directory(const QString &relative) {
        if (!QDir(m_root).mkpath(relative))
            fail(QStringLiteral("cannot create %1").arg(relative));
    }

    void file(const QString &relative, const QByteArray &bytes, bool executable = false) {
        directory(QFileInfo(relative).path());
        QFile out(m_root + QLatin1Char('/') + relative);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            fail(QStringLiteral("cannot write %1").arg(relative));
            return;
        }
        out.close();
        if (executable)
            out.setPermissions(out.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                               QFileDevice::ExeOther);
    }

    void image(const QString &relative, const QImage &picture, const char *format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (!writer.write(picture)) {
            fail(QStringLiteral("cannot encode %1: %2").arg(relative, writer.errorString()));
            return;
        }
        file(relative, bytes);
    }

private:
    void fail(const QString &message) {
        if (m_error.isEmpty())
            m_error = message;
    }

    QString m_root;
    QString m_error;
};

QString welcome(const QString &language) {
    static const QHash<QString, QString> texts = {
        {QStringLiteral("de"), QStringLiteral("Willkommen")},
        {QStringLiteral("fr"), QStringLiteral("Bienvenue")},
        {QStringLiteral("fr-CA"), QStringLiteral("Bienvenue")},
        {QStringLiteral("es"), QStringLiteral("Bienvenido")},
        {QStringLiteral("it"), QStringLiteral("Benvenuto")},
        {QStringLiteral("nl"), QStringLiteral("Welkom")},
        {QStringLiteral("ja"), QString::fromUtf8("\u3088\u3046\u3053\u305d")},
        {QStringLiteral("ko"), QString::fromUtf8("\ud658\uc601\ud569\ub2c8\ub2e4")},
        {QStringLiteral("ar"), QString::fromUtf8("\u0645\u0631\u062d\u0628\u0627")},
        {QStringLiteral("pt-BR"), QStringLiteral("Bem-vindo")},
        {QStringLiteral("pt_BR"), QStringLiteral("Bem-vindo")},
        {QStringLiteral("pt_PT"), QStringLiteral("Bem-vindo")},
        {QStringLiteral("zh-Hans"), QString::fromUtf8("\u6b22\u8fce")},
        {QStringLiteral("zh_CN"), QString::fromUtf8("\u6b22\u8fce")},
        {QStringLiteral("zh-Hant"), QString::fromUtf8("\u6b61\u8fce")},
        {QStringLiteral("zh_TW"), QString::fromUtf8("\u6b61\u8fce")},
    };
    return texts.value(language, QStringLiteral("Welcome"));
}

QVariantMap primaryIcon(const QStringList &files) {
    QVariantMap primary;
    primary.insert(QStringLiteral("CFBundleIconFiles"), files);
    primary.insert(QStringLiteral("CFBundleIconName"), QStringLiteral("AppIcon"));
    QVariantMap icons;
    icons.insert(QStringLiteral("CFBundlePrimaryIcon"), primary);
    return icons;
}

QVariantMap infoDictionary(const App &app, const Runtime &runtime) {
    const QString sdk = runtime.name.section(QLatin1Char(' '), 1);
    QVariantMap info;
    if (app.developmentRegion)
        info.insert(QStringLiteral("CFBundleDevelopmentRegion"), *app.developmentRegion);
    if (app.displayName)
        info.insert(QStringLiteral("CFBundleDisplayName"), *app.displayName);
    if (app.bundleLocalizations)
        info.insert(QStringLiteral("CFBundleLocalizations"), *app.bundleLocalizations);
    info.insert(QStringLiteral("CFBundleExecutable"), app.executable);
    info.insert(QStringLiteral("CFBundleIdentifier"), app.bundleIdentifier);
    info.insert(QStringLiteral("CFBundleInfoDictionaryVersion"), QStringLiteral("6.0"));
    info.insert(QStringLiteral("CFBundleName"), app.bundleName);
    info.insert(QStringLiteral("CFBundlePackageType"), QStringLiteral("APPL"));
    info.insert(QStringLiteral("CFBundleShortVersionString"), app.shortVersion);
    info.insert(QStringLiteral("CFBundleSupportedPlatforms"),
                QStringList{QStringLiteral("iPhoneSimulator")});
    info.insert(QStringLiteral("CFBundleVersion"), app.version);
    info.insert(QStringLiteral("DTPlatformName"), QStringLiteral("iphonesimulator"));
    info.insert(QStringLiteral("DTSDKName"), QStringLiteral("iphonesimulator") + sdk);
    info.insert(QStringLiteral("LSRequiresIPhoneOS"), true);
    info.insert(QStringLiteral("MinimumOSVersion"), app.system ? sdk : QStringLiteral("16.0"));
    info.insert(QStringLiteral("UIDeviceFamily"), QVariantList{1, 2});
    info.insert(QStringLiteral("UILaunchStoryboardName"), QStringLiteral("LaunchScreen"));
    info.insert(QStringLiteral("UIRequiredDeviceCapabilities"),
                QStringList{QStringLiteral("arm64")});
    info.insert(QStringLiteral("UISupportedInterfaceOrientations"),
                QStringList{QStringLiteral("UIInterfaceOrientationPortrait"),
                            QStringLiteral("UIInterfaceOrientationLandscapeLeft"),
                            QStringLiteral("UIInterfaceOrientationLandscapeRight")});
    const QStringList phone = {QStringLiteral("AppIcon60x60")};
    const QStringList pad = {QStringLiteral("AppIcon60x60"), QStringLiteral("AppIcon76x76")};
    switch (app.iconLayout) {
    case IconLayout::None:
        break;
    case IconLayout::PrimaryIcon:
        info.insert(QStringLiteral("CFBundleIcons"), primaryIcon(phone));
        info.insert(QStringLiteral("CFBundleIcons~ipad"), primaryIcon(pad));
        break;
    case IconLayout::PrimaryIconPhoneAndPad:
        info.insert(QStringLiteral("CFBundleIcons"), primaryIcon(pad));
        info.insert(QStringLiteral("CFBundleIcons~ipad"), primaryIcon(pad));
        break;
    case IconLayout::LegacyIconFile:
        info.insert(QStringLiteral("CFBundleIconFile"), QStringLiteral("Icon.png"));
        break;
    case IconLayout::TopLevelIconFiles:
        info.insert(QStringLiteral("CFBundleIconFiles"),
                    QStringList{QStringLiteral("Icon-60"), QStringLiteral("Icon-76")});
        break;
    }
    return info;
}

// Icon files by name and pixel size, in the sizes Xcode puts into a built app.
QList<std::pair<QString, int>> iconFiles(IconLayout layout) {
    switch (layout) {
    case IconLayout::None:
        return {};
    case IconLayout::PrimaryIcon:
    case IconLayout::PrimaryIconPhoneAndPad:
        return {{QStringLiteral("AppIcon60x60@2x.png"), 120},
                {QStringLiteral("AppIcon60x60@3x.png"), 180},
                {QStringLiteral("AppIcon76x76@2x~ipad.png"), 152},
                {QStringLiteral("AppIcon83.5x83.5@2x~ipad.png"), 167}};
    case IconLayout::LegacyIconFile:
        return {{QStringLiteral("Icon.png"), 57}, {QStringLiteral("Icon@2x.png"), 114}};
    case IconLayout::TopLevelIconFiles:
        return {{QStringLiteral("Icon-60@2x.png"), 120},
                {QStringLiteral("Icon-60@3x.png"), 180},
                {QStringLiteral("Icon-76@2x~ipad.png"), 152}};
    }
    return {};
}

// Encoded once per picture and size: a large device shares a handful of pictures.
QByteArray iconPng(IconDesign design, int pixels) {
    static QHash<std::pair<int, int>, QByteArray> encoded;
    const std::pair key(int(design), pixels);
    if (!encoded.contains(key)) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        paintIcon(design, pixels).save(&buffer, "PNG");
        encoded.insert(key, bytes);
    }
    return encoded.value(key);
}

void writeAppBundle(Writer &out, const QString &bundle, const App &app, const Runtime &runtime) {
    const QVariantMap info = infoDictionary(app, runtime);
    out.file(bundle + QStringLiteral("/Info.plist"), app.infoFormat == InfoFormat::Xml
                                                         ? PropertyListValue::toXml(info)
                                                         : PropertyListValue::toBinary(info));
    out.file(bundle + QStringLiteral("/PkgInfo"), "APPL????");
    out.file(bundle + QLatin1Char('/') + app.executable,
             "#!/bin/sh\n# Placeholder for the simulator binary of " +
                 app.bundleIdentifier.toUtf8() + "\nexit 0\n",
             true);
    const QString shownName = app.displayName.value_or(app.bundleName);
    for (const QString &language : app.lprojFolders) {
        const QString folder = bundle + QLatin1Char('/') + language + QStringLiteral(".lproj");
        if (language == QLatin1String("Base")) {
            QVariantMap storyboard;
            storyboard.insert(QStringLiteral("UIStoryboardDesignatedEntryPointIdentifier"),
                              QStringLiteral("UIViewController-01J-lp-oVM"));
            storyboard.insert(QStringLiteral("UIStoryboardVersion"), 1);
            out.file(folder + QStringLiteral("/LaunchScreen.storyboardc/Info.plist"),
                     PropertyListValue::toBinary(storyboard));
            continue;
        }
        QVariantMap strings;
        strings.insert(QStringLiteral("CFBundleDisplayName"), shownName);
        strings.insert(QStringLiteral("Welcome"), welcome(language));
        out.file(folder + QStringLiteral("/InfoPlist.strings"),
                 PropertyListValue::toBinary(strings));
        for (const auto &[name, bytes] : SampleStringTables::files(app.bundleIdentifier, language))
            out.file(folder + QLatin1Char('/') + name, bytes);
    }
    for (const auto &[name, pixels] : iconFiles(app.iconLayout))
        out.file(bundle + QLatin1Char('/') + name, iconPng(app.icon, pixels));
}

QString runtimeRoot(const Runtime &runtime) {
    return QStringLiteral("Runtimes/%1.simruntime/Contents/Resources/RuntimeRoot")
        .arg(runtime.name);
}

QByteArray containerMetadata(const QString &identifier) {
    QVariantMap metadata;
    metadata.insert(QStringLiteral("MCMMetadataIdentifier"), identifier);
    metadata.insert(QStringLiteral("MCMMetadataVersion"), 6);
    return PropertyListValue::toBinary(metadata);
}

QJsonObject installApp(Writer &out, const Device &device, const App &app, const Runtime &runtime) {
    QJsonObject record;
    record.insert(QLatin1String("bundleIdentifier"), app.bundleIdentifier);
    record.insert(QLatin1String("applicationType"),
                  app.system ? QStringLiteral("System") : QStringLiteral("User"));
    const QString containers = device.udid + QStringLiteral("/data/Containers/");
    if (app.system) {
        record.insert(QLatin1String("path"), runtimeRoot(runtime) +
                                                 QStringLiteral("/Applications/") + app.folderName +
                                                 QStringLiteral(".app"));
    } else {
        const QString bundleContainer =
            containers + QStringLiteral("Bundle/Application/") +
            containerUuid(device.udid + QStringLiteral("/bundle/") + app.bundleIdentifier);
        const QString bundle =
            bundleContainer + QLatin1Char('/') + app.folderName + QStringLiteral(".app");
        writeAppBundle(out, bundle, app, runtime);
        out.file(bundleContainer +
                     QStringLiteral("/.com.apple.mobile_container_manager.metadata.plist"),
                 containerMetadata(app.bundleIdentifier));
        const QString data =
            containers + QStringLiteral("Data/Application/") +
            containerUuid(device.udid + QStringLiteral("/data/") + app.bundleIdentifier);
        for (const char *folder : {"/Documents", "/Library/Preferences", "/tmp"})
            out.directory(data + QLatin1String(folder));
        out.file(data + QStringLiteral("/.com.apple.mobile_container_manager.metadata.plist"),
                 containerMetadata(app.bundleIdentifier));
        record.insert(QLatin1String("path"), bundle);
        record.insert(QLatin1String("dataContainer"), data);
    }
    QJsonObject groups;
    for (const QString &group : app.groups) {
        const QString folder = containers + QStringLiteral("Shared/AppGroup/") +
                               containerUuid(device.udid + QStringLiteral("/group/") + group);
        out.file(folder + QStringLiteral("/.com.apple.mobile_container_manager.metadata.plist"),
                 containerMetadata(group));
        groups.insert(group, folder);
    }
    record.insert(QLatin1String("groupContainers"), groups);
    record.insert(QLatin1String("tags"), QJsonArray());
    return record;
}

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

// Without Qt's icns image plugin: an icns file of PNG entries (128, 256 and 512 pixels).
QByteArray assembledIcns(IconDesign design) {
    QByteArray entries;
    for (const auto &[type, pixels] : {std::pair{"ic07", 128}, {"ic08", 256}, {"ic09", 512}}) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        paintIcon(design, pixels).save(&buffer, "PNG");
        entries += QByteArray(type) + bigEndian(quint32(png.size() + 8)) + png;
    }
    return "icns" + bigEndian(quint32(entries.size() + 8)) + entries;
}

void writeMacApp(Writer &out) {
    const QString contents = QStringLiteral("Applications/Sample Mac Editor.app/Contents");
    QVariantMap info;
    info.insert(QStringLiteral("CFBundleDevelopmentRegion"), QStringLiteral("en"));
    info.insert(QStringLiteral("CFBundleExecutable"), QStringLiteral("Sample Mac Editor"));
    info.insert(QStringLiteral("CFBundleIconFile"), QStringLiteral("AppIcon"));
    info.insert(QStringLiteral("CFBundleIconName"), QStringLiteral("AppIcon"));
    info.insert(QStringLiteral("CFBundleIdentifier"),
                QStringLiteral("com.example.SampleMacEditor"));
    info.insert(QStringLiteral("CFBundleInfoDictionaryVersion"), QStringLiteral("6.0"));
    info.insert(QStringLiteral("CFBundleName"), QStringLiteral("Sample Mac Editor"));
    info.insert(QStringLiteral("CFBundlePackageType"), QStringLiteral("APPL"));
    info.insert(QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.3"));
    info.insert(QStringLiteral("CFBundleSupportedPlatforms"),
                QStringList{QStringLiteral("MacOSX")});
    info.insert(QStringLiteral("CFBundleVersion"), QStringLiteral("230"));
    info.insert(QStringLiteral("LSMinimumSystemVersion"), QStringLiteral("13.0"));
    info.insert(QStringLiteral("NSHumanReadableCopyright"),
                QString::fromUtf8("Copyright \u00a9 2024 Example Ltd. All rights reserved."));
    info.insert(QStringLiteral("NSMainNibFile"), QStringLiteral("MainMenu"));
    info.insert(QStringLiteral("NSPrincipalClass"), QStringLiteral("NSApplication"));
    out.file(contents + QStringLiteral("/Info.plist"), PropertyListValue::toXml(info));
    out.file(contents + QStringLiteral("/PkgInfo"), "APPL????");
    out.file(contents + QStringLiteral("/MacOS/Sample Mac Editor"),
             "#!/bin/sh\n# Sample Mac Editor: prints the arguments it was launched with.\n"
             "for argument in \"$@\"; do printf '%s\\n' \"$argument\"; done\n",
             true);
    const QString resources = contents + QStringLiteral("/Resources");
    if (QImageWriter::supportedImageFormats().contains("icns"))
        out.image(resources + QStringLiteral("/AppIcon.icns"),
                  paintIcon(IconDesign::MacEditor, 512), "icns");
    else
        out.file(resources + QStringLiteral("/AppIcon.icns"), assembledIcns(IconDesign::MacEditor));
    out.file(resources + QStringLiteral("/Base.lproj/MainMenu.nib"),
             PropertyListValue::toBinary(
                 QVariantMap{{QStringLiteral("IBDocument"), QStringLiteral("MainMenu")}}));
    for (const char *language : {"en", "de", "fr", "ja", "pt-BR"}) {
        const QString code = QLatin1String(language);
        for (const auto &[name, bytes] :
             SampleStringTables::files(QStringLiteral("com.example.SampleMacEditor"), code))
            out.file(resources + QLatin1Char('/') + code + QStringLiteral(".lproj/") + name, bytes);
    }
}

// A device's entry in devices.json, as the simulator tool keeps it.
QJsonObject deviceRecord(const Device &device, const QJsonArray &apps) {
    QJsonObject record;
    record.insert(QLatin1String("udid"), device.udid);
    record.insert(QLatin1String("name"), device.name);
    record.insert(QLatin1String("runtime"), device.runtime);
    record.insert(QLatin1String("deviceTypeIdentifier"), device.deviceType);
    record.insert(QLatin1String("state"), device.state);
    record.insert(QLatin1String("bootFinished"), true);
    if (device.lastBootedAt)
        record.insert(QLatin1String("lastBootedAt"), *device.lastBootedAt);
    record.insert(QLatin1String("isAvailable"), device.available);
    if (!device.available)
        record.insert(QLatin1String("availabilityError"),
                      QStringLiteral("runtime profile not found using \"System\" match policy"));
    record.insert(QLatin1String("dataPathSize"), device.dataPathSize);
    record.insert(QLatin1String("apps"), apps);
    return record;
}

} // namespace

bool addLargeDevice(const QString &root, int appCount, QString *error) {
    QFile stateFile(root + QStringLiteral("/devices.json"));
    if (!stateFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no devices.json in %1").arg(root);
        return false;
    }
    QJsonObject state = QJsonDocument::fromJson(stateFile.readAll()).object();
    stateFile.close();

    const Runtime runtime = SampleCatalogue::runtimes().first();
    Device device;
    device.udid = largeDeviceUdid;
    device.name = QStringLiteral("Crowded iPhone");
    device.runtime = runtime.identifier;
    device.deviceType = QStringLiteral("com.apple.CoreSimulator.SimDeviceType.iPhone-16-Pro");
    device.state = QStringLiteral("Booted");
    device.lastBootedAt = QStringLiteral("2024-11-22T10:00:00Z");

    Writer out(root);
    out.directory(device.udid + QStringLiteral("/data"));
    QJsonArray apps;
    for (const App &app : SampleCatalogue::apps()) {
        if (app.system)
            apps.append(installApp(out, device, app, runtime));
    }
    // Names that exercise the natural order: words in mixed case, accents, numbers.
    static const char *const words[] = {"atlas", "Bloom",  "café", "Delta",   "echo", "Fjörd",
                                        "glyph", "Harbor", "ink",  "Journal", "kite", "Lumen"};
    static const IconLayout layouts[] = {
        IconLayout::PrimaryIcon, IconLayout::PrimaryIconPhoneAndPad, IconLayout::LegacyIconFile,
        IconLayout::TopLevelIconFiles, IconLayout::None};
    static const IconDesign designs[] = {IconDesign::QuillNotes, IconDesign::LegacyReader,
                                         IconDesign::Weather, IconDesign::PartyPlanner,
                                         IconDesign::CafeCreme};
    const int generated = appCount - int(apps.size());
    for (int i = 0; i < generated; ++i) {
        App app;
        const QString word = QString::fromUtf8(words[i % 12]);
        app.bundleIdentifier = QStringLiteral("com.example.crowd.app%1").arg(i);
        app.folderName = QStringLiteral("App%1").arg(i);
        app.executable = app.folderName;
        app.bundleName = QStringLiteral("%1 %2").arg(word).arg(i / 12);
        if (i % 3 == 0)
            app.displayName = QStringLiteral("%1 Pro %2").arg(word).arg(i / 12);
        app.version = QString::number(i);
        app.shortVersion = QStringLiteral("1.%1").arg(i % 10);
        app.infoFormat = i % 2 ? InfoFormat::Xml : InfoFormat::Binary;
        app.lprojFolders = {QStringLiteral("Base"), QStringLiteral("en"), QStringLiteral("de")};
        app.developmentRegion = QStringLiteral("en");
        app.iconLayout = layouts[i % 5];
        app.icon = designs[i % 5];
        apps.append(installApp(out, device, app, runtime));
    }

    const QJsonObject record = deviceRecord(device, apps);
    QJsonArray devices = state.value(QLatin1String("devices")).toArray();
    devices.append(record);
    state.insert(QLatin1String("devices"), devices);
    out.file(QStringLiteral("devices.json"), QJsonDocument(state).toJson(QJsonDocument::Indented));
    if (out.failed())
        *error = out.error();
    return !out.failed();
}

bool writeSampleSet(const QString &root, QString *error) {
    Writer out(root);
    QHash<QString, Runtime> runtimeByIdentifier;
    QJsonArray runtimes;
    for (const Runtime &runtime : SampleCatalogue::runtimes()) {
        runtimeByIdentifier.insert(runtime.identifier, runtime);
        QJsonObject record;
        record.insert(QLatin1String("identifier"), runtime.identifier);
        record.insert(QLatin1String("name"), runtime.name);
        record.insert(QLatin1String("buildversion"), runtime.buildVersion);
        record.insert(QLatin1String("isAvailable"), runtime.installed);
        runtimes.append(record);
        if (!runtime.installed)
            continue;
        for (const App &app : SampleCatalogue::apps()) {
            if (app.system)
                writeAppBundle(out,
                               runtimeRoot(runtime) + QStringLiteral("/Applications/") +
                                   app.folderName + QStringLiteral(".app"),
                               app, runtime);
        }
    }

    QJsonArray devices;
    for (const Device &device : SampleCatalogue::devices()) {
        const Runtime &runtime = runtimeByIdentifier[device.runtime];
        out.directory(device.udid + QStringLiteral("/data"));
        out.directory(QStringLiteral("Logs/") + device.udid);
        QJsonArray apps;
        if (device.available) {
            for (const App &app : SampleCatalogue::apps()) {
                if (app.system || device.userApps.contains(app.bundleIdentifier))
                    apps.append(installApp(out, device, app, runtime));
            }
        }
        devices.append(deviceRecord(device, apps));
    }

    writeMacApp(out);

    QJsonObject state;
    state.insert(QLatin1String("runtimes"), runtimes);
    state.insert(QLatin1String("devices"), devices);
    state.insert(QLatin1String("nextProcessIdentifier"), 41207);
    out.file(QStringLiteral("devices.json"), QJsonDocument(state).toJson(QJsonDocument::Indented));
    if (out.failed())
        *error = out.error();
    return !out.failed();
}
