#pragma once

#include "launcher/LaunchOptions.h"

#include <QJsonObject>
#include <QMetaType>
#include <QString>

#include <optional>

// One launch as the user made it: the target, the language, the region and the options.
struct RecentLaunch {
    bool macMode = false;
    QString macAppPath; // Mac mode
    QString deviceID;   // simulator mode
    QString bundleID;   // simulator mode
    QString appName;    // as shown when launched, for the menu
    QString deviceName; // simulator mode, for the menu
    QString language;
    QString locale;
    LaunchOptions options;

    // The same target, language, region and options (the shown names do not count).
    bool sameLaunch(const RecentLaunch &other) const;

    // "Quill Notes on iPhone 16 Pro — de (de_CH) with accented strings"
    QString title() const;

    QJsonObject toJson() const;
    // Nothing when a member is missing or has the wrong type.
    static std::optional<RecentLaunch> fromJson(const QJsonObject &object);
};

Q_DECLARE_METATYPE(RecentLaunch)
