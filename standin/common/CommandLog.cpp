#include "CommandLog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <unistd.h>

void appendToCommandLog(const QString &deviceSetPath, const QString &tool,
                        const QStringList &arguments) {
    QJsonObject entry;
    entry.insert(QLatin1String("tool"), tool);
    entry.insert(QLatin1String("arguments"), QJsonArray::fromStringList(arguments));
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';

    const QByteArray path = QFile::encodeName(deviceSetPath + QStringLiteral("/commands.log"));
    const int descriptor =
        ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return; // no set, no log: the command itself reports the missing set
    [[maybe_unused]] const ssize_t written =
        ::write(descriptor, line.constData(), size_t(line.size()));
    ::close(descriptor);
}
