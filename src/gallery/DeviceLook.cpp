#include "gallery/DeviceLook.h"

#include "tools/DeveloperCommand.h"
#include "tools/Error.h"

namespace {

QStringList appearanceCommand(const QString &udid) {
    QStringList arguments;
    arguments << QStringLiteral("simctl") << QStringLiteral("ui") << udid
              << QStringLiteral("appearance");
    return arguments;
}

} // namespace

namespace DeviceLook {

QStringList cleanStatusBarArguments() {
    return {QStringLiteral("--time"),         QStringLiteral("9:41"),
            QStringLiteral("--dataNetwork"),  QStringLiteral("wifi"),
            QStringLiteral("--wifiMode"),     QStringLiteral("active"),
            QStringLiteral("--wifiBars"),     QStringLiteral("3"),
            QStringLiteral("--cellularMode"), QStringLiteral("active"),
            QStringLiteral("--cellularBars"), QStringLiteral("4"),
            QStringLiteral("--batteryState"), QStringLiteral("charged"),
            QStringLiteral("--batteryLevel"), QStringLiteral("100")};
}

QCoro::Task<> apply(QString udid, GallerySettings settings, Changes *changes) {
    if (settings.cleanStatusBar) {
        QStringList overriding;
        overriding << QStringLiteral("simctl") << QStringLiteral("status_bar") << udid
                   << QStringLiteral("override") << cleanStatusBarArguments();
        co_await DeveloperCommand::runWithDeadline(overriding, settings.tools.xcrun);
        changes->statusBarOverridden = true;
    }
    const QString wanted = GalleryAppearances::name(settings.appearance);
    if (wanted.isEmpty())
        co_return;
    const QStringList reading = appearanceCommand(udid);
    const QByteArray answer =
        co_await DeveloperCommand::runWithDeadline(reading, settings.tools.xcrun);
    const QString current = QString::fromUtf8(answer).trimmed();
    if (current == wanted)
        co_return;
    QStringList setting = appearanceCommand(udid);
    setting << wanted;
    co_await DeveloperCommand::runWithDeadline(setting, settings.tools.xcrun);
    // Only a known appearance can be put back; the tool answers "unsupported" for devices
    // without one.
    if (current == QLatin1String("light") || current == QLatin1String("dark"))
        changes->previousAppearance = current;
}

QCoro::Task<QStringList> restore(QString udid, DeveloperToolPaths tools, Changes changes) {
    QStringList failures;
    if (changes.statusBarOverridden) {
        QStringList clearing;
        clearing << QStringLiteral("simctl") << QStringLiteral("status_bar") << udid
                 << QStringLiteral("clear");
        try {
            co_await DeveloperCommand::runWithDeadline(clearing, tools.xcrun);
        } catch (...) {
            failures << userFacingDescription(std::current_exception());
        }
    }
    if (!changes.previousAppearance.isEmpty()) {
        QStringList setting = appearanceCommand(udid);
        setting << changes.previousAppearance;
        try {
            co_await DeveloperCommand::runWithDeadline(setting, tools.xcrun);
        } catch (...) {
            failures << userFacingDescription(std::current_exception());
        }
    }
    co_return failures;
}

} // namespace DeviceLook
