#include "platform/files/PathResolution.h"

#include "platform/files/FileCommitSystem.h"
#include "platform/files/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fileCommit::detail {

namespace {

const QString SaveWhat = QStringLiteral("No se puede guardar el archivo");

// The descriptor a path names when it is one of this process's open
// descriptors (/dev/stdout, /dev/fd/1, /proc/self/fd/1): written through a
// copy of it, so a redirection's offset and append mode hold.
std::optional<int> descriptorOf(const QString& path)
{
    static const QRegularExpression std(QStringLiteral("^/dev/std(in|out|err)$"));
    static const QRegularExpression fd(
        QStringLiteral("^(?:/dev/fd|/proc/(self|thread-self|\\d+)(?:/task/\\d+)?/fd)/(\\d+)$"));
    if (const auto m = std.match(path); m.hasMatch())
        return m.captured(1) == u"in" ? 0 : m.captured(1) == u"out" ? 1 : 2;
    const auto m = fd.match(path);
    if (!m.hasMatch())
        return std::nullopt;
    const QString process = m.captured(1);
    if (!process.isEmpty() && process != u"self" && process != u"thread-self" &&
        process.toLongLong() != ::getpid())
        return std::nullopt;
    return m.captured(2).toInt();
}

// Where following a path's symbolic links ended, looking only: nothing is
// opened and nothing raised, so that writing and comparing share the walk.
struct Walk
{
    enum
    {
        Descriptor,   // one of this process's descriptors, `fd`
        FolderFailed, // the folder of `path` could not be reached (`error`)
        Missing,      // nothing is at `path`
        Failed,       // what is at `path` could not be looked at (`error`)
        Found,        // `path` is no link: `st`
        TooManyLinks
    } end;
    QString path;
    int fd = -1;
    int error = 0;
    struct stat st{};
};

Walk walk(QString path)
{
    for (int hop = 0; hop < 40; ++hop) {
        if (const auto fd = descriptorOf(path))
            return {Walk::Descriptor, path, *fd};
        const QFileInfo info(path);
        char real[PATH_MAX];
        if (!::realpath(QFile::encodeName(info.path()).constData(), real)) {
            const int error = errno;
            return {Walk::FolderFailed, path, -1, error};
        }
        const QString folder = QFile::decodeName(real);
        const QString full = QDir(folder).filePath(info.fileName());
        if (const auto fd = descriptorOf(full))
            return {Walk::Descriptor, full, *fd};
        Walk w{Walk::Found, full};
        if (::lstat(QFile::encodeName(full).constData(), &w.st) != 0) {
            w.error = errno;
            w.end = w.error == ENOENT ? Walk::Missing : Walk::Failed;
            return w;
        }
        if (!S_ISLNK(w.st.st_mode))
            return w;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(full).constData(), link, sizeof link - 1);
        if (n < 0) {
            const int error = errno;
            return {Walk::Failed, full, -1, error};
        }
        const QString to = QFile::decodeName(QByteArray(link, n));
        path = QDir::cleanPath(QDir(folder).absoluteFilePath(to));
    }
    return {Walk::TooManyLinks, path};
}

QString absolute(const QString& target)
{
    return QDir::cleanPath(QFileInfo(target).absoluteFilePath());
}

// The folder of a target's file, every link followed; raises when missing.
QString realFolder(const QString& folder, const QString& target)
{
    char real[PATH_MAX];
    if (!::realpath(QFile::encodeName(folder).constData(), real)) {
        if (errno == ENOENT)
            fail(SaveWhat, target, QStringLiteral("la carpeta no existe"));
        failErrno(SaveWhat, target, errno);
    }
    return QFile::decodeName(real);
}

int openDevice(const QString& path, const QString& target)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_NOCTTY | O_CLOEXEC | O_TRUNC);
    if (fd < 0)
        failErrno(QStringLiteral("No se puede escribir en"), target, errno);
    return fd;
}

void checkReplaceable(const QString& full, const struct stat& st, const QString& target)
{
    // rename() would replace it whatever its own permissions say: ask first.
    if (::faccessat(AT_FDCWD, QFile::encodeName(full).constData(), W_OK, AT_EACCESS) != 0)
        failErrno(QStringLiteral("No se puede reemplazar el archivo"), target, errno);
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        fail(QStringLiteral("No se puede reemplazar el archivo"), target,
             QStringLiteral("está marcado como de solo lectura"), ErrorNumber::PermissionDenied);
}

// Two names of one file, device or pipe share it. The null device is the one
// target that two outputs may share: nothing written there is read.
QString statIdentity(const struct stat& st)
{
    if (S_ISCHR(st.st_mode) && st.st_rdev == makedev(1, 3))
        return {};
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
}

QString descriptorIdentity(int fd)
{
    struct stat st{};
    return ::fstat(fd, &st) == 0 ? statIdentity(st) : QString();
}

} // namespace

Resolved followLinks(const QString& target)
{
    const Walk w = walk(absolute(target));
    switch (w.end) {
    case Walk::Descriptor:
        return {Resolved::Device, w.path, copyDescriptor(w.fd, target)};
    case Walk::FolderFailed:
        if (w.error == ENOENT)
            fail(SaveWhat, target, QStringLiteral("la carpeta no existe"));
        failErrno(SaveWhat, target, w.error);
    case Walk::Missing:
        return {Resolved::Missing, w.path};
    case Walk::Failed:
        failErrno(SaveWhat, target, w.error);
    case Walk::TooManyLinks:
        failErrno(SaveWhat, target, ELOOP);
    case Walk::Found:
        break;
    }
    if (S_ISDIR(w.st.st_mode))
        failErrno(SaveWhat, target, EISDIR);
    if (!S_ISREG(w.st.st_mode))
        return {Resolved::Device, w.path, openDevice(w.path, target)};
    checkReplaceable(w.path, w.st, target);
    return {Resolved::Regular, w.path, -1, w.st.st_mode};
}

Resolved resolveOwn(const QString& target)
{
    const QFileInfo info(absolute(target));
    const QString full = QDir(realFolder(info.path(), target)).filePath(info.fileName());
    struct stat st{};
    if (::lstat(QFile::encodeName(full).constData(), &st) != 0) {
        if (errno == ENOENT)
            return {Resolved::Missing, full};
        failErrno(SaveWhat, target, errno);
    }
    if (S_ISLNK(st.st_mode))
        fail(SaveWhat, target, ownLinkRefused(), ErrorNumber::PermissionDenied, LinkOrigin);
    if (!S_ISREG(st.st_mode))
        fail(SaveWhat, target, QStringLiteral("no es un archivo común"));
    checkReplaceable(full, st, target);
    return {Resolved::Regular, full, -1, st.st_mode};
}

QString identityOfFile(const QString& target)
{
    const Walk w = walk(absolute(target));
    switch (w.end) {
    case Walk::Descriptor:
        return descriptorIdentity(w.fd);
    case Walk::Found:
        // Hard links are the same file under two names.
        return statIdentity(w.st);
    default:
        // Nothing there yet, or nothing to look at: the path as far as it goes.
        return w.path;
    }
}

QString standardOutputIdentity()
{
    return descriptorIdentity(STDOUT_FILENO);
}

bool namesLink(const QString& path)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace fileCommit::detail
