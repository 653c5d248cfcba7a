#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// The stand-in's simulator device set: a folder holding `devices.json` (runtimes, devices,
// installed apps; paths relative to the folder) and the app bundles themselves.
class DeviceSet {
public:
    explicit DeviceSet(const QString &path);
    ~DeviceSet();
    DeviceSet(const DeviceSet &) = delete;
    DeviceSet &operator=(const DeviceSet &) = delete;

    // The folder named by QUILLMARCH_STANDIN_DEVICE_SET, else `device-set` next to the
    // executable.
    static QString locate(const char *argv0);

    const QString &path() const { return m_path; }
    QString absolutePath(const QString &relative) const;

    // Locks the set (shared for reading, exclusive for writing; held until destruction) and
    // reads its state. False with a message when the set is missing or unreadable.
    bool open(bool forWriting, QString *error);
    bool save(QString *error);
    // Releases the lock; open() may be called again to re-read the state.
    void close();

    QJsonArray devices() const { return m_state.value(QLatin1String("devices")).toArray(); }
    QJsonArray runtimes() const { return m_state.value(QLatin1String("runtimes")).toArray(); }
    // Index of the device with this identifier ("booted": the first booted device), or -1.
    int indexOf(const QString &udid) const;
    QJsonObject device(int index) const { return devices().at(index).toObject(); }
    void setDevice(int index, const QJsonObject &device);
    QString runtimeName(const QString &identifier) const;

    // A made-up process identifier, increasing with every call.
    qint64 takeProcessIdentifier();

private:
    QString m_path;
    QJsonObject m_state;
    int m_lockDescriptor = -1;
};
