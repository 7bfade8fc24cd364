#include "platform/files/FileCommit.h"

#include "platform/files/FileCommitSystem.h"
#include "platform/files/FileErrors.h"
#include "platform/files/StopSignals.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Linux's side of complete-or-nothing writes: the temporary, where the file
// system allows (O_TMPFILE), has no name until linked into place, and rename()
// puts a file in place in one step.
namespace fileCommit {

using namespace detail;

namespace {

const QString SaveWhat = QStringLiteral("No se puede guardar el archivo");
bool standardOutputClosed = false;

// The mode a new file gets: what the operator's umask leaves of rw for all.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the anonymous temporary `from` (/proc/self/fd/N) the name `to`;
// fails with EEXIST, never replacing anything.
bool linkAnonymous(const QString& from, const QString& to)
{
    return ::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), AT_SYMLINK_FOLLOW) == 0;
}

// SIGPIPE would end the program without a word when the reader of a pipe has
// gone; blocked around the write, it becomes EPIPE, which is reported.
ssize_t writeWithoutSigpipe(int fd, const char* data, size_t size)
{
    sigset_t pipe, old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const ssize_t n = ::write(fd, data, size);
    const int error = errno;
    // The reader may go in the middle of a write, which then returns what it
    // wrote and leaves SIGPIPE pending: the next write reports EPIPE.
    if (!sigismember(&old, SIGPIPE)) {
        const timespec now{};
        while (sigtimedwait(&pipe, nullptr, &now) > 0) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return n;
}

} // namespace

int detail::createTemporary(const QString& folder, const QString& stem, int mode, QString& path,
                            bool& anonymous, int& slot)
{
    static const bool procFd = ::access("/proc/self/fd", X_OK) == 0;
    const mode_t permissions = mode == NewFileMode ? newFileMode() : mode_t(mode);
    const QByteArray where = QFile::encodeName(folder);
    if (procFd) {
        const int fd = ::open(where.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, permissions);
        if (fd >= 0) {
            ::fchmod(fd, permissions);
            path = QStringLiteral("/proc/self/fd/%1").arg(fd);
            anonymous = true;
            return fd;
        }
    }
    QByteArray name = QFile::encodeName(temporaryName(folder, stem, QStringLiteral("XXXXXX")));
    const int fd = ::mkostemps(name.data(), 5, O_CLOEXEC);
    if (fd < 0)
        failErrno(QStringLiteral("No se puede escribir en la carpeta"), folder, errno);
    path = QFile::decodeName(name);
    slot = rememberTemporary(path);
    ::fchmod(fd, permissions);
    anonymous = false;
    return fd;
}

// A program folder the suite's users share is group-writable: a file of the
// program's own made there takes the folder's group and lets that group
// write, so that the next user's run can append to it or replace it. Best
// effort: a group the user is not in is left as it is.
void detail::shareWithFolder(int fd, const QString& folder)
{
    struct stat where{};
    if (::stat(QFile::encodeName(folder).constData(), &where) != 0 || !(where.st_mode & S_IWGRP))
        return;
    struct stat st{};
    if (::fstat(fd, &st) != 0)
        return;
    if (st.st_gid != where.st_gid)
        (void)::fchown(fd, uid_t(-1), where.st_gid);
    ::fchmod(fd, (st.st_mode & 07777) | S_IRGRP | S_IWGRP);
}

int detail::copyDescriptor(int fd, const QString& target)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (copy < 0 || (fd == 1 && standardOutputClosed))
        fail(QStringLiteral("No se puede escribir en"), target,
             QStringLiteral("el programa se inició con la salida estándar cerrada"));
    return copy;
}

int detail::writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = writeWithoutSigpipe(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return 0;
}

void detail::flushToDisk(int fd, const QString& target)
{
    if (::fsync(fd) != 0)
        failErrno(QStringLiteral("No se pudo escribir en"), target, errno);
}

int detail::closeDescriptor(int fd)
{
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

void detail::removeFile(const QString& path)
{
    ::unlink(QFile::encodeName(path).constData());
}

void detail::replaceWith(const QString& temporary, bool anonymous, const QString& resolved,
                         const QString& target)
{
    QString named = temporary;
    int slot = -1;
    if (anonymous) {
        // rename() alone replaces a file in one step: the complete file gets
        // a name beside the target for that moment, remembered meanwhile.
        const QFileInfo info(resolved);
        for (int attempt = 0;; ++attempt) {
            named = temporaryName(info.path(), info.completeBaseName(), randomTail());
            slot = rememberTemporary(named);
            if (linkAnonymous(temporary, named))
                break;
            const int error = errno;
            forgetTemporary(slot);
            if (error != EEXIST || attempt == 100)
                failErrno(SaveWhat, target, error);
        }
    }
    if (::rename(QFile::encodeName(named).constData(), QFile::encodeName(resolved).constData()) !=
        0) {
        const int error = errno;
        if (anonymous)
            removeFile(named);
        forgetTemporary(slot);
        failErrno(SaveWhat, target, error);
    }
    forgetTemporary(slot);
}

bool detail::placeAs(const QString& temporary, bool anonymous, const QString& name)
{
    const QByteArray from = QFile::encodeName(temporary), to = QFile::encodeName(name);
    if (anonymous) {
        if (linkAnonymous(temporary, name))
            return true;
    } else if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    if (errno == EEXIST)
        return false;
    // File systems without hard links: the same, one check short.
    if (!anonymous && (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)) {
        if (QFileInfo::exists(name))
            return false;
        if (::rename(from.constData(), to.constData()) != 0)
            failErrno(SaveWhat, name, errno);
        return true;
    }
    failErrno(SaveWhat, name, errno);
}

void protectStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int null = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null >= 0 && null != fd) {
            ::dup2(null, fd);
            ::close(null);
        }
        if (fd == 1)
            standardOutputClosed = true;
    }
}

void appendToOwnFile(const QString& path, const QByteArray& bytes)
{
    const QString what = QStringLiteral("No se puede escribir en");
    const QByteArray native = QFile::encodeName(path);
    constexpr int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(native.constData(), flags | O_CREAT | O_EXCL, 0666);
    if (fd >= 0)
        shareWithFolder(fd, QFileInfo(path).absolutePath());
    else if (errno == EEXIST)
        fd = ::open(native.constData(), flags);
    if (fd < 0) {
        const int error = errno;
        struct stat st{};
        // ELOOP, or EACCES where the kernel guards links in shared folders.
        if (::lstat(native.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            fail(what, path, ownLinkRefused(), ErrorNumber::PermissionDenied, LinkOrigin);
        failErrno(what, path, error);
    }
    struct stat st{};
    QString refused;
    if (::fstat(fd, &st) != 0)
        refused = reason(errno);
    else if (!S_ISREG(st.st_mode))
        refused = QStringLiteral("no es un archivo común");
    else if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        refused = QStringLiteral("está marcado como de solo lectura");
    int error =
        refused.isEmpty() ? writeAll(fd, bytes.constData(), static_cast<size_t>(bytes.size())) : 0;
    if (::close(fd) != 0 && !error && errno != EINTR)
        error = errno;
    if (!refused.isEmpty())
        fail(what, path, refused, ErrorNumber::PermissionDenied);
    if (error)
        failErrno(what, path, error);
}

// Qt makes it without a name where the file system allows (O_TMPFILE), so
// not even SIGKILL leaves it behind.
std::unique_ptr<QFile> scratchFile(const QString& folder, const QString& stem, QString& why)
{
    auto file = std::make_unique<QTemporaryFile>(folder + u'/' + stem + QStringLiteral("_XXXXXX"));
    if (file->open())
        return file;
    why = file->errorString();
    return nullptr;
}

} // namespace fileCommit
