#pragma once

// Runs galleries against a private copy of the stand-in's sample device set, with small
// screenshots and a short launch screen so that a language takes well under a second.
#include "gallery/LanguageGallery.h"
#include "standin/StandinDeviceSet.h"

#include <QProcess>

class GalleryFixture {
public:
    GalleryFixture() {
        qputenv("QUILLMARCH_STANDIN_SCREEN_SCALE", "0.5");
        qputenv("QUILLMARCH_STANDIN_LAUNCH_SCREEN_MS", "300");
        qputenv("QUILLMARCH_STANDIN_APPEARING_MS", "200");
    }

    GallerySettings
    settings(const QStringList &languages,
             const QString &udid = QString::fromLatin1(StandinDeviceSet::iPadPro)) const {
        GallerySettings settings;
        settings.devices = {{udid, QStringLiteral("iPad Pro 13-inch (M4)")}};
        settings.bundleID = QStringLiteral("com.example.QuillNotes");
        settings.languages = languages;
        settings.settlePeriod = std::chrono::milliseconds(400);
        settings.captureInterval = std::chrono::milliseconds(150);
        settings.timeout = std::chrono::milliseconds(6000);
        settings.tools.xcrun = set.xcrun();
        settings.tools.open = set.open();
        return settings;
    }

    // Runs the stand-in's xcrun with these arguments; its standard output, or a failed test.
    QByteArray xcrun(const QStringList &arguments) const {
        QProcess process;
        process.start(set.xcrun(), arguments);
        process.waitForFinished(30000);
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            qWarning("xcrun %s failed: %s", qPrintable(arguments.join(QLatin1Char(' '))),
                     process.readAllStandardError().constData());
        return process.readAllStandardOutput();
    }

    // The status bar overrides and the appearance the stand-in shows for the device now.
    QString look(const QString &udid) const {
        const QJsonObject device = set.device(udid);
        const QJsonObject overrides = device.value(QLatin1String("statusBarOverrides")).toObject();
        const QString appearance = device.value(QLatin1String("appearance")).toString();
        return (overrides.isEmpty() ? QStringLiteral("live status bar")
                                    : QStringLiteral("status bar ") +
                                          overrides.value(QLatin1String("time")).toString()) +
               QStringLiteral(", ") + (appearance.isEmpty() ? QStringLiteral("light") : appearance);
    }

    StandinDeviceSet set;
};
