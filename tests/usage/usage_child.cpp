// A stand-in for the application in the crash test: with the settings file given as the first
// argument, it begins a session, records one click, says so on standard output with its session
// identifier, and then waits to be killed.
#include "TypedSettingsFormat.h"
#include "usage/UsageStatistics.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3)
        return 2;
    QSettings settings(arguments.at(1), typedSettingsFormat());
    UsageConfiguration configuration;
    configuration.endpoint = QUrl(arguments.at(2));
    // Long enough that nothing is sent before the test kills this process.
    configuration.sendDelay = std::chrono::minutes(10);
    configuration.retryInterval = std::chrono::minutes(10);
    UsageStatistics statistics(&settings, configuration);
    statistics.begin();
    statistics.recordAction();
    std::printf("persisted %s\n", qPrintable(statistics.sessionID()));
    std::fflush(stdout);
    return app.exec();
}
