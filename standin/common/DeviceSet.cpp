#include "DeviceSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const QLatin1String stateFileName("devices.json");
}

DeviceSet::DeviceSet(const QString &path)
    : m_path(QDir::cleanPath(QDir(path).absolutePath())) {}

DeviceSet::~DeviceSet() {
    close();
}

void DeviceSet::close() {
    if (m_lockDescriptor >= 0)
        ::close(m_lockDescriptor); // also releases the flock
    m_lockDescriptor = -1;
}

QString DeviceSet::locate(const char *argv0) {
    const QString named = qEnvironmentVariable("QUILLMARCH_STANDIN_DEVICE_SET");
    if (!named.isEmpty())
        return named;
    QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (executable.isEmpty())
        executable = QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
    return QFileInfo(executable).absolutePath() + QStringLiteral("/device-set");
}

QString DeviceSet::absolutePath(const QString &relative) const {
    return m_path + QLatin1Char('/') + relative;
}

bool DeviceSet::open(bool forWriting, QString *error) {
    const QString stateFile = absolutePath(stateFileName);
    if (!QFileInfo(stateFile).isFile()) {
        *error = QStringLiteral("No stand-in device set at %1 (missing %2).")
                     .arg(m_path, QString(stateFileName));
        return false;
    }
    const QByteArray lockPath = QFile::encodeName(absolutePath(QStringLiteral(".lock")));
    m_lockDescriptor = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockDescriptor < 0 || ::flock(m_lockDescriptor, forWriting ? LOCK_EX : LOCK_SH) != 0) {
        *error = QStringLiteral("Cannot lock the stand-in device set at %1.").arg(m_path);
        return false;
    }
    QFile file(stateFile);
    QJsonParseError parseError;
    const QJsonDocument document = file.open(QIODevice::ReadOnly)
                                       ? QJsonDocument::fromJson(file.readAll(), &parseError)
                                       : QJsonDocument();
    if (!document.isObject()) {
        *error = QStringLiteral("The stand-in state %1 is unreadable.").arg(stateFile);
        return false;
    }
    m_state = document.object();
    return true;
}

bool DeviceSet::save(QString *error) {
    QSaveFile file(absolutePath(stateFileName));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(m_state).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        *error = QStringLiteral("Cannot write the stand-in state: %1").arg(file.errorString());
        return false;
    }
    return true;
}

int DeviceSet::indexOf(const QString &udid) const {
    const QJsonArray all = devices();
    for (int i = 0; i < all.size(); ++i) {
        const QJsonObject device = all.at(i).toObject();
        if (udid == QLatin1String("booted")
                ? device.value(QLatin1String("state")).toString() == QLatin1String("Booted")
                : device.value(QLatin1String("udid")).toString() == udid)
            return i;
    }
    return -1;
}

void DeviceSet::setDevice(int index, const QJsonObject &device) {
    QJsonArray all = devices();
    all.replace(index, device);
    m_state.insert(QLatin1String("devices"), all);
}

QString DeviceSet::runtimeName(const QString &identifier) const {
    for (const QJsonValue &runtime : runtimes()) {
        if (runtime.toObject().value(QLatin1String("identifier")).toString() == identifier)
            return runtime.toObject().value(QLatin1String("name")).toString();
    }
    return identifier;
}

qint64 DeviceSet::takeProcessIdentifier() {
    const qint64 pid = m_state.value(QLatin1String("nextProcessIdentifier")).toInteger(41207);
    m_state.insert(QLatin1String("nextProcessIdentifier"), pid + 1);
    return pid;
}
