#pragma once

// A private copy of the stand-in tools' sample device set for one test. It copies the
// pristine set into a temporary folder and points QUILLMARCH_STANDIN_DEVICE_SET at it, so the
// stand-in `xcrun` and `open` started by this process (and its children) use the copy; the
// destructor restores the variable. Header-only, Qt Core.
//
// In the test's CMakeLists.txt:
//   add_dependencies(<test> standin_tools)
//   target_compile_definitions(<test> PRIVATE QUILLMARCH_STANDIN_DIR="${QUILLMARCH_STANDIN_DIR}")

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

class StandinDeviceSet {
public:
    // Fixed identifiers of the sample set (see standin/README.md).
    static constexpr const char *iPhone16Pro =
        "6F0F3A61-2C8B-4E7D-9A15-3B1E0C4D5A01"; // Shutdown, 10 apps
    static constexpr const char *iPhone16 = "1C9D2E73-5B4A-4F3E-8D21-7A6B5C4D3E02"; // Shutdown
    static constexpr const char *iPadPro = "8A4B6C2D-1E3F-4A5B-9C7D-2E1F0A9B8C03";  // Booted
    static constexpr const char *iPhone14Unavailable = "9E8D7C6B-5A49-4382-B716-0F1E2D3C4B07";

    struct Command {
        QString tool; // "xcrun" or "open"
        QStringList arguments;
        bool operator==(const Command &other) const = default;
    };

#ifdef QUILLMARCH_STANDIN_DIR
    StandinDeviceSet()
        : StandinDeviceSet(QStringLiteral(QUILLMARCH_STANDIN_DIR)) {}
#endif
    explicit StandinDeviceSet(const QString &standinDirectory)
        : m_toolDirectory(standinDirectory)
        , m_previous(qgetenv("QUILLMARCH_STANDIN_DEVICE_SET"))
        , m_hadPrevious(qEnvironmentVariableIsSet("QUILLMARCH_STANDIN_DEVICE_SET")) {
        m_valid = m_directory.isValid() &&
                  copyTree(standinDirectory + QStringLiteral("/device-set.pristine"), path());
        qputenv("QUILLMARCH_STANDIN_DEVICE_SET", QFile::encodeName(path()));
    }

    ~StandinDeviceSet() {
        if (m_hadPrevious)
            qputenv("QUILLMARCH_STANDIN_DEVICE_SET", m_previous);
        else
            qunsetenv("QUILLMARCH_STANDIN_DEVICE_SET");
    }

    StandinDeviceSet(const StandinDeviceSet &) = delete;
    StandinDeviceSet &operator=(const StandinDeviceSet &) = delete;

    bool isValid() const {
        return m_valid;
    }
    QString path() const {
        return m_directory.path() + QStringLiteral("/device-set");
    }
    QString xcrun() const {
        return m_toolDirectory + QStringLiteral("/xcrun");
    }
    QString open() const {
        return m_toolDirectory + QStringLiteral("/open");
    }
    QString macApp() const {
        return path() + QStringLiteral("/Applications/Sample Mac Editor.app");
    }

    // Every command the tools received so far, in order; optionally only those of one tool.
    QList<Command> commands(const QString &tool = QString()) const {
        QList<Command> result;
        QFile log(path() + QStringLiteral("/commands.log"));
        if (!log.open(QIODevice::ReadOnly))
            return result;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            if (entry.isEmpty())
                continue;
            Command command{entry.value(QLatin1String("tool")).toString(), {}};
            for (const QJsonValue &argument : entry.value(QLatin1String("arguments")).toArray())
                command.arguments << argument.toString();
            if (tool.isEmpty() || command.tool == tool)
                result << command;
        }
        return result;
    }

    void clearCommands() const {
        QFile::remove(path() + QStringLiteral("/commands.log"));
    }

    // The device's record in the stand-in's state (udid, name, state, lastBootedAt, apps…).
    QJsonObject device(const QString &udid) const {
        QFile state(path() + QStringLiteral("/devices.json"));
        if (!state.open(QIODevice::ReadOnly))
            return {};
        const QJsonArray devices = QJsonDocument::fromJson(state.readAll())
                                       .object()
                                       .value(QLatin1String("devices"))
                                       .toArray();
        for (const QJsonValue &device : devices) {
            if (device.toObject().value(QLatin1String("udid")).toString() == udid)
                return device.toObject();
        }
        return {};
    }

private:
    static bool copyTree(const QString &from, const QString &to) {
        if (!QFileInfo(from).isDir() || !QDir().mkpath(to))
            return false;
        QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = to + source.mid(from.size());
            const bool ok =
                it.fileInfo().isDir() ? QDir().mkpath(target) : copyFile(source, target);
            if (!ok)
                return false;
        }
        return true;
    }

    // Plain read and write: QFile::copy's temporary-file dance costs several times as much.
    static bool copyFile(const QString &from, const QString &to) {
        QFile in(from);
        QFile out(to);
        if (!QDir().mkpath(QFileInfo(to).path()) || !in.open(QIODevice::ReadOnly) ||
            !out.open(QIODevice::WriteOnly))
            return false;
        const QByteArray bytes = in.readAll();
        return out.write(bytes) == bytes.size() && out.setPermissions(in.permissions());
    }

    QTemporaryDir m_directory;
    QString m_toolDirectory;
    QByteArray m_previous;
    bool m_hadPrevious = false;
    bool m_valid = false;
};
