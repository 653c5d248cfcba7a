#include "CommandLog.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <fcntl.h>
#include <unistd.h>

void appendToCommandLog(const QString &deviceSetPath, const QString &tool,
                        const QStringList &arguments) {
    // Built by hand so that "tool" comes first, as documented.
    const QByteArray toolName = QJsonDocument(QJsonArray{tool}).toJson(QJsonDocument::Compact);
    const QByteArray line =
        "{\"tool\":" + toolName.mid(1, toolName.size() - 2) + ",\"arguments\":" +
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact) + "}\n";

    const QByteArray path = QFile::encodeName(deviceSetPath + QStringLiteral("/commands.log"));
    const int descriptor =
        ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return; // no set, no log: the command itself reports the missing set
    [[maybe_unused]] const ssize_t written =
        ::write(descriptor, line.constData(), size_t(line.size()));
    ::close(descriptor);
}
