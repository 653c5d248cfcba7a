#include "metadata/BundleFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Read in pieces so that a stop request ends even a long read soon.
constexpr qint64 pieceSize = 1024 * 1024;

QString quotedName(const QString &filePath) {
    return QStringLiteral("“%1”").arg(QFileInfo(filePath).fileName());
}

PlatformError openFailure(const QString &filePath, int error) {
    const QString name = quotedName(filePath);
    switch (error) {
    case ENOENT:
        return PlatformError(QStringLiteral("The file %1 doesn’t exist.").arg(name));
    case EACCES:
    case EPERM:
        return PlatformError(
            QStringLiteral(
                "The file %1 couldn’t be opened because you don’t have permission to view it.")
                .arg(name));
    case ELOOP:
        return PlatformError(
            QStringLiteral("The file %1 couldn’t be opened because its links lead in a circle.")
                .arg(name));
    default:
        return PlatformError(QStringLiteral("The file %1 couldn’t be opened.").arg(name));
    }
}

PlatformError notRegular(const QString &filePath) {
    return PlatformError(
        QStringLiteral("The file %1 couldn’t be opened because it isn’t a regular file (it is a "
                       "folder, a named pipe or a device).")
            .arg(quotedName(filePath)));
}

PlatformError tooLarge(const QString &filePath, qint64 limit) {
    return PlatformError(QStringLiteral("The file %1 wasn’t read because it is larger than %2 MB.")
                             .arg(quotedName(filePath))
                             .arg(limit / (1024 * 1024)));
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

namespace BundleFile {

ReadStopped::ReadStopped()
    : Error(QStringLiteral("The check was stopped.")) {}

QByteArray read(const QString &filePath, qint64 limit, const std::function<bool()> &stopRequested) {
    const QByteArray path = QFile::encodeName(filePath);
    // The type is looked at before opening: opening a device can have effects of its own, and
    // opening a named pipe waits for a writer.
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        throw openFailure(filePath, errno);
    if (!S_ISREG(status.st_mode))
        throw notRegular(filePath);
    // Without waiting, in case the entry was replaced in between; the descriptor is then
    // checked again.
    const Descriptor file(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        throw openFailure(filePath, errno);
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw notRegular(filePath);
    if (status.st_size > limit)
        throw tooLarge(filePath, limit);

    // As long as the file was when it was opened: what it gains meanwhile is not read, what it
    // loses is not there.
    QByteArray bytes(qsizetype(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (stopRequested && stopRequested())
            throw ReadStopped();
        const qint64 wanted = qMin(pieceSize, qint64(bytes.size() - done));
        const ssize_t count = ::read(file.get(), bytes.data() + done, size_t(wanted));
        if (count < 0)
            throw openFailure(filePath, errno);
        if (count == 0)
            break;
        done += qsizetype(count);
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace BundleFile
