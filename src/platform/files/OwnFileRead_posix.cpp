#include "platform/files/OwnFileRead.h"

#include "platform/files/FileCommit.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileCommit {

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("es una carpeta");
    if (S_ISFIFO(mode))
        return QStringLiteral("es una tubería (FIFO)");
    if (S_ISSOCK(mode))
        return QStringLiteral("es un socket");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("es un dispositivo");
    return QStringLiteral("no es un archivo común");
}

} // namespace

std::optional<QByteArray> readOwnFile(const QString& path)
{
    // Opening without waiting: a pipe's open would block until a writer came.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        refuseOwnRead(path, reason(errno));
    }
    struct stat st{};
    int error = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (!error && !S_ISREG(st.st_mode)) {
        ::close(fd);
        refuseOwnRead(path, kindOf(st.st_mode) + QStringLiteral(", no un archivo"));
    }
    if (!error && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    QByteArray bytes;
    char block[8192];
    while (!error) {
        const ssize_t n = ::read(fd, block, sizeof block);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        if (n <= 0)
            break;
        bytes.append(block, n);
    }
    ::close(fd);
    if (error)
        refuseOwnRead(path, reason(error));
    return bytes;
}

} // namespace fileCommit
