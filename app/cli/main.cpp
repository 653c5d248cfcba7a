#include "ApplicationIdentity.h"
#include "cli/CliConsole.h"
#include "cli/CommandLineTool.h"
#include "cli/InterruptSignal.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

QCoro::Task<> runTool(CommandLineTool &tool, QStringList arguments) {
    const int status = co_await tool.run(std::move(arguments));
    QCoreApplication::exit(status);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    // The app's identity, so that the settings read (My Apps) are the app's own.
    QCoreApplication::setOrganizationName(
        QString::fromLatin1(ApplicationIdentity::organizationName));
    QCoreApplication::setOrganizationDomain(
        QString::fromLatin1(ApplicationIdentity::organizationDomain));
    QCoreApplication::setApplicationName(
        QString::fromLatin1(ApplicationIdentity::quillmarch.applicationName));

    CliConsole console;
    CommandLineTool tool(console, DeveloperToolPaths{});
    InterruptSignal interrupts;
    QObject::connect(&interrupts, &InterruptSignal::received, &application,
                     [&tool](int signal) { tool.interrupt(signal); });

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QTimer::singleShot(0, &application, [&tool, arguments] { runTool(tool, arguments); });
    return QCoreApplication::exec();
}
