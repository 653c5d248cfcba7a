#include "launcher/RecentLaunch.h"

#include <QJsonArray>

namespace {

const QLatin1String macModeKey("macMode"), macAppKey("macApp"), deviceKey("deviceID"),
    bundleKey("bundleID"), appNameKey("appName"), deviceNameKey("deviceName"),
    languageKey("language"), localeKey("locale"), optionsKey("options");

std::optional<QString> text(const QJsonObject &object, QLatin1String key) {
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

} // namespace

bool RecentLaunch::sameLaunch(const RecentLaunch &other) const {
    const bool sameTarget = macMode == other.macMode &&
                            (macMode ? macAppPath == other.macAppPath
                                     : deviceID == other.deviceID && bundleID == other.bundleID);
    return sameTarget && language == other.language && locale == other.locale &&
           options == other.options;
}

QString RecentLaunch::title() const {
    QString target = appName.isEmpty() ? (macMode ? macAppPath : bundleID) : appName;
    if (!macMode && !deviceName.isEmpty())
        target += QStringLiteral(" on ") + deviceName;
    return target + QStringLiteral(" — ") + language + QStringLiteral(" (") + locale +
           QLatin1Char(')') + LaunchOptionCatalog::withPhrase(options);
}

QJsonObject RecentLaunch::toJson() const {
    QJsonObject object{{macModeKey, macMode}, {appNameKey, appName},      {languageKey, language},
                       {localeKey, locale},   {macAppKey, macAppPath},    {deviceKey, deviceID},
                       {bundleKey, bundleID}, {deviceNameKey, deviceName}};
    object.insert(optionsKey,
                  QJsonArray::fromStringList(LaunchOptionCatalog::storedNames(options)));
    return object;
}

std::optional<RecentLaunch> RecentLaunch::fromJson(const QJsonObject &object) {
    const QJsonValue mode = object.value(macModeKey);
    const QJsonValue options = object.value(optionsKey);
    const auto macApp = text(object, macAppKey), device = text(object, deviceKey),
               bundle = text(object, bundleKey), appName = text(object, appNameKey),
               deviceName = text(object, deviceNameKey), language = text(object, languageKey),
               locale = text(object, localeKey);
    if (!mode.isBool() || !options.isArray() || !macApp || !device || !bundle || !appName ||
        !deviceName || !language || !locale)
        return std::nullopt;
    QStringList names;
    for (const QJsonValue &name : options.toArray())
        names << name.toString();
    return RecentLaunch{mode.toBool(), *macApp,  *device,
                        *bundle,       *appName, *deviceName,
                        *language,     *locale,  LaunchOptionCatalog::fromStoredNames(names)};
}
