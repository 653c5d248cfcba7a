// A stand-in for the application quitting while the bundle it was given is being read:
//     quit_during_check <bundle> detection|check
// A real launcher with its localization check selects the bundle, and the application quits
// as soon as language detection, or the check, is under way. The check model is left alive, as
// a window that is still open when the application quits; the application then waits for its
// worker threads. Prints "quitting" when it asks to quit.
#include "launcher/Launcher.h"
#include "launcher/LocalizationCheckModel.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <QCoroTask>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    if (argc != 3)
        return 2;
    const bool afterDetection = qstrcmp(argv[2], "detection") == 0;
    QTemporaryDir settings;
    QSettings store(settings.filePath(QStringLiteral("launcher.ini")), QSettings::IniFormat);
    auto *launcher =
        new Launcher(&store, DeveloperToolPaths{"/nonexistent/xcrun", "/nonexistent/open"});
    auto *check = new LocalizationCheckModel(launcher);
    launcher->setMacMode(true);
    launcher->setMacApp(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    const auto quitOnceUnderWay = [&](bool underWay) {
        if (!underWay)
            return;
        std::puts("quitting");
        std::fflush(stdout);
        QTimer::singleShot(0, &application, &QCoreApplication::quit);
    };
    if (afterDetection)
        QObject::connect(launcher, &Launcher::loadingLanguagesChanged, &application,
                         [&] { quitOnceUnderWay(launcher->loadingLanguages()); });
    else
        QObject::connect(check, &LocalizationCheckModel::checkingChanged, &application,
                         [&] { quitOnceUnderWay(check->checking()); });
    QCoro::Task<> detection = launcher->detectLanguages();
    return application.exec();
}
