#pragma once

// A private device set, settings file and launcher on the stand-in developer tools; the
// stand-in's test hooks set through it are removed with it.

#include "launcher/Launcher.h"
#include "standin/StandinDeviceSet.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

struct LauncherFixture {
    ~LauncherFixture() {
        for (const QByteArray &name : hooks)
            qunsetenv(name.constData());
    }
    // Runs an operation the way the window does and hands back the error it leaves.
    std::optional<QString> perform(std::function<QCoro::Task<>()> operation) {
        launcher->perform(std::move(operation));
        if (!QTest::qWaitFor([this] { return !launcher->busy(); }, 20000))
            return QStringLiteral("(still running)");
        return launcher->error();
    }
    std::optional<QString> perform(QCoro::Task<> (Launcher::*operation)()) {
        return perform([this, operation] { return (launcher.get()->*operation)(); });
    }
    std::unique_ptr<Launcher> makeLauncher() {
        return std::make_unique<Launcher>(&store, DeveloperToolPaths{set.xcrun(), set.open()});
    }
    // "DELAY_MS_LIST=400" sets QUILLMARCH_STANDIN_DELAY_MS_LIST.
    void setHook(const QString &hook) {
        const QByteArray name = "QUILLMARCH_STANDIN_" + hook.section('=', 0, 0).toLatin1();
        if (!hook.isEmpty() && qputenv(name.constData(), hook.section('=', 1).toUtf8()))
            hooks << name;
    }
    // Selects the target its selection key names: "sim:<device>:<bundle>", "mac:<path>" ("mac:"
    // for none, "mac:sample" for the sample Mac app).
    void select(const QString &key) {
        const QString path = key.section(':', 1) == "sample" ? set.macApp() : key.section(':', 1);
        const bool mac = key.startsWith("mac:");
        launcher->setMacMode(mac);
        launcher->setMacApp(mac && !path.isEmpty() ? QUrl::fromLocalFile(path) : QUrl());
        launcher->setDeviceID(mac ? QString() : key.section(':', 1, 1));
        launcher->setBundleID(mac ? QString() : key.section(':', 2));
    }

    // The processes a hanging stand-in command wrote to `pidFile` ("<pid> <child pid>"); empty
    // until it has written them.
    static QList<qint64> hangingProcesses(const QString &pidFile) {
        QFile file(pidFile);
        QList<qint64> pids;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray &pid : file.readAll().simplified().split(' '))
                if (pid.toLongLong() > 0)
                    pids << pid.toLongLong();
        return pids.size() == 2 ? pids : QList<qint64>();
    }
    // A process that no longer runs: gone, or a zombie nobody has reaped yet (only its parent,
    // or the system once the parent is gone, can do that).
    static bool hasEnded(qint64 pid) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
    }

    QTemporaryDir directory;
    StandinDeviceSet set;
    QSettings store{directory.filePath("settings.ini"), QSettings::IniFormat};
    std::unique_ptr<Launcher> launcher = makeLauncher();
    QList<QByteArray> hooks;
};
