#include "SampleCatalogue.h"

namespace SampleCatalogue {

namespace {
const QString ios18 = QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-18-1");
const QString ios17 = QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-17-5");
const QString ios16 = QStringLiteral("com.apple.CoreSimulator.SimRuntime.iOS-16-4");

QString deviceType(const char *name) {
    return QStringLiteral("com.apple.CoreSimulator.SimDeviceType.") + QLatin1String(name);
}

App systemApp(const char *identifier, const char *folder, const char *name,
              std::optional<QString> displayName, IconDesign icon, QStringList lproj) {
    App app;
    app.bundleIdentifier = QLatin1String(identifier);
    app.folderName = QLatin1String(folder);
    app.executable = QLatin1String(folder);
    app.bundleName = QLatin1String(name);
    app.displayName = std::move(displayName);
    app.version = QStringLiteral("1.0");
    app.shortVersion = QStringLiteral("1.0");
    app.system = true;
    app.infoFormat = InfoFormat::Binary;
    app.lprojFolders = std::move(lproj);
    app.developmentRegion = QStringLiteral("en");
    app.icon = icon;
    return app;
}
} // namespace

QList<Runtime> runtimes() {
    return {{ios18, QStringLiteral("iOS 18.1"), QStringLiteral("22B81"), true},
            {ios17, QStringLiteral("iOS 17.5"), QStringLiteral("21F79"), true},
            {ios16, QStringLiteral("iOS 16.4"), QStringLiteral("20E247"), false}};
}

QList<Device> devices() {
    const QStringList everyUserApp = {
        QStringLiteral("com.example.QuillNotes"), QStringLiteral("com.example.LegacyReader"),
        QStringLiteral("com.example.Tianqi"),     QStringLiteral("com.example.PartyPlanner"),
        QStringLiteral("com.example.CafeCreme"),  QStringLiteral("com.example.PlainTool")};
    return {
        {QStringLiteral("6F0F3A61-2C8B-4E7D-9A15-3B1E0C4D5A01"), QStringLiteral("iPhone 16 Pro"),
         ios18, deviceType("iPhone-16-Pro"), QStringLiteral("Shutdown"),
         QStringLiteral("2024-11-20T09:12:44Z"), true, 1183481856, everyUserApp},
        {QStringLiteral("1C9D2E73-5B4A-4F3E-8D21-7A6B5C4D3E02"),
         QStringLiteral("iPhone 16"),
         ios18,
         deviceType("iPhone-16"),
         QStringLiteral("Shutdown"),
         std::nullopt,
         true,
         18132992,
         {}},
        {QStringLiteral("8A4B6C2D-1E3F-4A5B-9C7D-2E1F0A9B8C03"),
         QStringLiteral("iPad Pro 13-inch (M4)"),
         ios18,
         deviceType("iPad-Pro-13-inch-M4-8GB"),
         QStringLiteral("Booted"),
         QStringLiteral("2024-11-21T14:03:09Z"),
         true,
         942612480,
         {QStringLiteral("com.example.QuillNotes"), QStringLiteral("com.example.CafeCreme")}},
        {QStringLiteral("3E5F7A9B-6C8D-4E0F-A1B2-C3D4E5F60704"),
         QStringLiteral("iPhone 15"),
         ios18,
         deviceType("iPhone-15"),
         QStringLiteral("Shutdown"),
         QStringLiteral("2024-10-02T16:45:30Z"),
         true,
         611287040,
         {}},
        {QStringLiteral("D2C4E6F8-0A1B-4C3D-8E5F-6A7B8C9D0E05"),
         QStringLiteral("iPhone 15"),
         ios17,
         deviceType("iPhone-15"),
         QStringLiteral("Shutdown"),
         QStringLiteral("2024-06-12T08:30:00Z"),
         true,
         702545920,
         {QStringLiteral("com.example.LegacyReader")}},
        {QStringLiteral("5B7D9F1A-3C5E-4F7A-B9C1-D3E5F7A9BB06"),
         QStringLiteral("iPad Air (5th generation)"),
         ios17,
         deviceType("iPad-Air--5th-generation-"),
         QStringLiteral("Shutdown"),
         std::nullopt,
         true,
         18132992,
         {}},
        {QStringLiteral("4C6E8A0B-2D4F-4A6C-8E0A-1B3C5D7E9F08"),
         QString::fromUtf8("Zo\u00eb\u2019s iPhone"),
         ios17,
         deviceType("iPhone-15-Pro"),
         QStringLiteral("Shutdown"),
         QStringLiteral("2024-07-30T19:22:51Z"),
         true,
         523239424,
         {}},
        {QStringLiteral("9E8D7C6B-5A49-4382-B716-0F1E2D3C4B07"),
         QStringLiteral("iPhone 14"),
         ios16,
         deviceType("iPhone-14"),
         QStringLiteral("Shutdown"),
         QStringLiteral("2023-05-04T11:10:27Z"),
         false,
         0,
         {}},
    };
}

QList<App> apps() {
    QList<App> all;
    all << systemApp("com.apple.Maps", "Maps", "Maps", std::nullopt, IconDesign::Maps,
                     {QStringLiteral("ar"), QStringLiteral("de"), QStringLiteral("en"),
                      QStringLiteral("en_GB"), QStringLiteral("es"), QStringLiteral("fr"),
                      QStringLiteral("ja"), QStringLiteral("pt_BR"), QStringLiteral("zh_CN")});
    all.last().groups = {QStringLiteral("group.com.apple.Maps")};
    all << systemApp("com.apple.mobilesafari", "MobileSafari", "Safari", QStringLiteral("Safari"),
                     IconDesign::Safari,
                     {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"),
                      QStringLiteral("it"), QStringLiteral("ko"), QStringLiteral("nl")});
    all << systemApp("com.apple.Preferences", "Preferences", "Preferences",
                     QStringLiteral("Settings"), IconDesign::Settings,
                     {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("es"),
                      QStringLiteral("fr"), QStringLiteral("pt_BR"), QStringLiteral("pt_PT")});
    all << systemApp("com.apple.mobileslideshow", "MobileSlideShow", "MobileSlideShow",
                     QStringLiteral("Photos"), IconDesign::Photos,
                     {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"),
                      QStringLiteral("ja"), QStringLiteral("zh_CN"), QStringLiteral("zh_TW")});

    App notes;
    notes.bundleIdentifier = QStringLiteral("com.example.QuillNotes");
    notes.folderName = notes.executable = QStringLiteral("QuillNotes");
    notes.bundleName = QStringLiteral("QuillNotes");
    notes.displayName = QStringLiteral("Quill Notes");
    notes.version = QStringLiteral("42");
    notes.shortVersion = QStringLiteral("3.1");
    notes.infoFormat = InfoFormat::Xml;
    notes.lprojFolders = {QStringLiteral("Base"),  QStringLiteral("en"),
                          QStringLiteral("de"),    QStringLiteral("fr"),
                          QStringLiteral("pt-BR"), QStringLiteral("zh-Hans")};
    notes.developmentRegion = QStringLiteral("en");
    notes.bundleLocalizations =
        QStringList{QStringLiteral("en"),    QStringLiteral("de"),      QStringLiteral("fr"),
                    QStringLiteral("pt-BR"), QStringLiteral("zh-Hans"), QStringLiteral("es")};
    notes.iconLayout = IconLayout::PrimaryIconPhoneAndPad;
    notes.icon = IconDesign::QuillNotes;
    notes.groups = {QStringLiteral("group.com.example.QuillNotes")};
    all << notes;

    App reader;
    reader.bundleIdentifier = QStringLiteral("com.example.LegacyReader");
    reader.folderName = reader.executable = reader.bundleName = QStringLiteral("LegacyReader");
    reader.displayName = QStringLiteral("Legacy Reader");
    reader.version = QStringLiteral("7.0.2");
    reader.shortVersion = QStringLiteral("7.0");
    reader.lprojFolders = {QStringLiteral("English"), QStringLiteral("de"), QStringLiteral("fr")};
    reader.developmentRegion = QStringLiteral("English");
    reader.iconLayout = IconLayout::LegacyIconFile;
    reader.icon = IconDesign::LegacyReader;
    all << reader;

    App weather;
    weather.bundleIdentifier = QStringLiteral("com.example.Tianqi");
    weather.folderName = weather.executable = weather.bundleName = QStringLiteral("Tianqi");
    weather.displayName = QString::fromUtf8("\u5929\u6c14");
    weather.version = QStringLiteral("118");
    weather.shortVersion = QStringLiteral("2.4");
    weather.infoFormat = InfoFormat::Xml;
    weather.lprojFolders = {QStringLiteral("Base"), QStringLiteral("en"), QStringLiteral("zh-Hans"),
                            QStringLiteral("zh-Hant")};
    weather.developmentRegion = QStringLiteral("zh-Hans");
    weather.icon = IconDesign::Weather;
    all << weather;

    App party;
    party.bundleIdentifier = QStringLiteral("com.example.PartyPlanner");
    party.folderName = party.executable = party.bundleName = QStringLiteral("PartyPlanner");
    party.displayName = QString::fromUtf8("Party Planner \U0001F389");
    party.version = QStringLiteral("9");
    party.shortVersion = QStringLiteral("1.2");
    party.lprojFolders = {QStringLiteral("en"), QStringLiteral("es"), QStringLiteral("it")};
    party.developmentRegion = QStringLiteral("en");
    party.icon = IconDesign::PartyPlanner;
    all << party;

    App cafe;
    cafe.bundleIdentifier = QStringLiteral("com.example.CafeCreme");
    cafe.folderName = cafe.executable = QStringLiteral("CafeCreme");
    cafe.bundleName = QString::fromUtf8("Caf\u00e9 Cr\u00e8me");
    cafe.version = QStringLiteral("5");
    cafe.shortVersion = QStringLiteral("1.0.5");
    cafe.infoFormat = InfoFormat::Xml;
    cafe.lprojFolders = {QStringLiteral("Base"), QStringLiteral("fr"), QStringLiteral("fr-CA"),
                         QStringLiteral("en")};
    cafe.developmentRegion = QStringLiteral("fr");
    cafe.iconLayout = IconLayout::TopLevelIconFiles;
    cafe.icon = IconDesign::CafeCreme;
    all << cafe;

    App plain;
    plain.bundleIdentifier = QStringLiteral("com.example.PlainTool");
    plain.folderName = plain.executable = QStringLiteral("PlainTool");
    plain.bundleName = QStringLiteral("Plain Tool");
    plain.version = QStringLiteral("1");
    plain.shortVersion = QStringLiteral("0.1");
    plain.infoFormat = InfoFormat::Xml;
    plain.lprojFolders = {QStringLiteral("Base")};
    plain.iconLayout = IconLayout::None;
    all << plain;
    return all;
}

const App &app(const QString &bundleIdentifier) {
    static const QList<App> all = apps();
    for (const App &candidate : all) {
        if (candidate.bundleIdentifier == bundleIdentifier)
            return candidate;
    }
    qFatal("unknown sample app %s", qPrintable(bundleIdentifier));
}

} // namespace SampleCatalogue
