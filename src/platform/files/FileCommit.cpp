#include "platform/files/FileCommit.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fileCommit {

namespace {

const QString Origin = QStringLiteral("Archivo");
constexpr qsizetype BufferSize = 1 << 16;
bool standardOutputClosed = false;

int errorNumberFor(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return ErrorNumber::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::FileAccess;
    }
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why,
                       int number = ErrorNumber::FileAccess)
{
    // An empty path is the standard output.
    const QString where = path.isEmpty() ? QStringLiteral("la salida estándar")
                                         : QStringLiteral("«%1»").arg(native(path));
    throw RuntimeError(number, QStringLiteral("%1 %2: %3").arg(what, where, why), Origin);
}

[[noreturn]] void failErrno(const QString& what, const QString& path, int error)
{
    fail(what, path, reason(error), errorNumberFor(error));
}

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

struct Resolved
{
    enum
    {
        Regular,
        Missing,
        Device
    } kind;
    QString path;
    int fd = -1;
    mode_t mode = 0;
};

int openDevice(const QString& path, const QString& target)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_NOCTTY | O_CLOEXEC | O_TRUNC);
    if (fd < 0)
        failErrno(QStringLiteral("No se puede escribir en"), target, errno);
    return fd;
}

int copyDescriptor(int fd, const QString& target)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (copy < 0 || (fd == 1 && standardOutputClosed))
        fail(QStringLiteral("No se puede escribir en"), target,
             QStringLiteral("el programa se inició con la salida estándar cerrada"));
    return copy;
}

// Follows the target's symbolic links to what would really be written.
Resolved resolve(const QString& target)
{
    const QString what = QStringLiteral("No se puede guardar el archivo");
    if (target.trimmed().isEmpty())
        fail(what, target, QStringLiteral("falta el nombre del archivo"));
    if (target.endsWith(u'/'))
        failErrno(what, target, EISDIR);
    QString path = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    for (int hop = 0; hop < 40; ++hop) {
        if (const auto fd = descriptorOf(path))
            return {Resolved::Device, path, copyDescriptor(*fd, target)};
        const QFileInfo info(path);
        char real[PATH_MAX];
        if (!::realpath(QFile::encodeName(info.path()).constData(), real)) {
            if (errno == ENOENT)
                fail(what, target, QStringLiteral("la carpeta no existe"));
            failErrno(what, target, errno);
        }
        const QString folder = QFile::decodeName(real);
        const QString full = QDir(folder).filePath(info.fileName());
        if (const auto fd = descriptorOf(full))
            return {Resolved::Device, full, copyDescriptor(*fd, target)};
        struct stat st{};
        if (::lstat(QFile::encodeName(full).constData(), &st) != 0) {
            if (errno == ENOENT)
                return {Resolved::Missing, full};
            failErrno(what, target, errno);
        }
        if (S_ISLNK(st.st_mode)) {
            char link[PATH_MAX];
            const ssize_t n =
                ::readlink(QFile::encodeName(full).constData(), link, sizeof link - 1);
            if (n < 0)
                failErrno(what, target, errno);
            const QString to = QFile::decodeName(QByteArray(link, n));
            path = QDir::cleanPath(QDir(folder).absoluteFilePath(to));
            continue;
        }
        if (S_ISDIR(st.st_mode))
            failErrno(what, target, EISDIR);
        if (!S_ISREG(st.st_mode))
            return {Resolved::Device, full, openDevice(full, target)};
        // rename() would replace it whatever its own permissions say: ask first.
        if (::faccessat(AT_FDCWD, QFile::encodeName(full).constData(), W_OK, AT_EACCESS) != 0)
            failErrno(QStringLiteral("No se puede reemplazar el archivo"), target, errno);
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            fail(QStringLiteral("No se puede reemplazar el archivo"), target,
                 QStringLiteral("está marcado como de solo lectura"),
                 ErrorNumber::PermissionDenied);
        return {Resolved::Regular, full, -1, st.st_mode};
    }
    failErrno(what, target, ELOOP);
}

// A new, empty file in `folder`, open for writing; its name in `path`.
int createTemporary(const QString& folder, const QString& stem, QString& path)
{
    QByteArray name = QFile::encodeName(
        QDir(folder).filePath(QStringLiteral(".%1-XXXXXX.part").arg(stem.left(100))));
    const int fd = ::mkostemps(name.data(), 5, O_CLOEXEC);
    if (fd < 0)
        failErrno(QStringLiteral("No se puede escribir en la carpeta"), folder, errno);
    path = QFile::decodeName(name);
    return fd;
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
    if (n < 0 && error == EPIPE) {
        const timespec now{};
        while (sigtimedwait(&pipe, nullptr, &now) > 0) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    errno = error;
    return n;
}

} // namespace

QString reason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
    case EDQUOT:
        return QStringLiteral("se agotó la cuota de disco del usuario");
    case EACCES:
    case EPERM:
        return QStringLiteral("permiso denegado para este usuario");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EIO:
        return QStringLiteral("falló el disco al escribir");
    case ENOENT:
        return QStringLiteral("no existe");
    case ENOTDIR:
        return QStringLiteral("una parte de la ruta no es una carpeta");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case ENAMETOOLONG:
        return QStringLiteral("el nombre es demasiado largo");
    case EFBIG:
        return QStringLiteral("el archivo supera el tamaño que admite el disco");
    case EPIPE:
        return QStringLiteral("el programa que leía la salida la cerró antes del final");
    case EBADF:
        return QStringLiteral("la salida está cerrada");
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces simbólicos en la ruta");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("el archivo está en uso");
    case EEXIST:
        return QStringLiteral("ya existe");
    default:
        return QStringLiteral("%1 (error %2 del sistema)")
            .arg(QString::fromLocal8Bit(std::strerror(error)))
            .arg(error);
    }
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

Output::Output(QString target) : m_target(std::move(target)), m_kind(Kind::Replace) {}

Output::Output(StandardOutput)
    : m_kind(Kind::Direct), m_standardOutput(true)
{
}

Output::Output(NewFileIn where)
    : m_target(QDir(where.folder).filePath(where.stem + u'.' + where.extension)),
      m_resolved(std::move(where.folder)), m_stem(std::move(where.stem)),
      m_extension(std::move(where.extension)), m_kind(Kind::New)
{
}

Output::~Output()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temporary.isEmpty())
        ::unlink(QFile::encodeName(m_temporary).constData());
    if (!m_staging.isEmpty())
        ::unlink(QFile::encodeName(m_staging).constData());
}

void Output::begin()
{
    if (m_standardOutput) {
        std::fflush(stdout);
        m_fd = copyDescriptor(1, m_target);
    } else if (m_kind == Kind::New) {
        if (!QFileInfo(m_resolved).isDir())
            fail(QStringLiteral("No se puede guardar el archivo"), m_target,
                 QStringLiteral("la carpeta no existe"));
        m_fd = createTemporary(m_resolved, m_stem, m_temporary);
    } else {
        const Resolved r = resolve(m_target);
        m_resolved = r.path;
        if (r.kind == Resolved::Device) {
            m_kind = Kind::Direct;
            m_fd = r.fd;
        } else {
            const QFileInfo info(r.path);
            m_fd = createTemporary(info.path(), info.completeBaseName(), m_temporary);
            // A replaced file keeps its permissions; a new one gets the user's usual ones.
            mode_t mode = r.mode & 07777;
            if (r.kind == Resolved::Missing) {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                mode = 0666 & ~mask;
            }
            ::fchmod(m_fd, mode);
        }
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString Output::writePath()
{
    if (m_kind != Kind::Direct)
        return m_temporary;
    if (m_staging.isEmpty()) {
        // A writer that opens a file by name may seek back in it, which a
        // device or a pipe does not allow: it writes here, then the bytes go over.
        const int fd = createTemporary(QDir::tempPath(), QStringLiteral("rp_oproduccion"),
                                       m_staging);
        ::close(fd);
    }
    return m_staging;
}

qint64 Output::writeData(const char* data, qint64 size)
{
    if (m_error)
        return -1;
    m_buffer.append(data, size);
    m_written += size;
    if (m_buffer.size() >= BufferSize)
        flushBuffer();
    return m_error ? -1 : size;
}

void Output::flushBuffer()
{
    if (m_buffer.isEmpty() || m_error || m_fd < 0)
        return;
    const char* p = m_buffer.constData();
    qint64 left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = writeWithoutSigpipe(m_fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        left -= n;
    }
    m_buffer.clear();
}

void Output::close()
{
    flushBuffer();
    QIODevice::close();
}

void Output::failWriting(int error)
{
    failErrno(QStringLiteral("No se pudo escribir en"), m_target, error);
}

QString Output::commit()
{
    if (m_committed)
        return m_standardOutput ? QStringLiteral("-") : m_kind == Kind::Direct ? m_target : m_resolved;
    if (m_fd < 0)
        fail(QStringLiteral("No se pudo escribir en"), m_target,
             QStringLiteral("el archivo no se abrió"));
    close();
    if (m_error)
        failWriting(m_error);
    if (!m_staging.isEmpty()) {
        QFile staged(m_staging);
        if (!staged.open(QIODevice::ReadOnly))
            failWriting(EIO);
        while (!staged.atEnd() && !m_error) {
            m_buffer = staged.read(BufferSize);
            flushBuffer();
        }
        if (m_error)
            failWriting(m_error);
    }
    // A device or a pipe has nothing to make durable (fsync refuses it).
    if (m_kind != Kind::Direct && ::fsync(m_fd) != 0)
        failWriting(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        failWriting(errno);

    QString final = m_standardOutput           ? QStringLiteral("-")
                    : m_kind == Kind::Direct ? m_target
                                             : m_resolved;
    if (m_kind == Kind::Replace) {
        if (::rename(QFile::encodeName(m_temporary).constData(),
                     QFile::encodeName(m_resolved).constData()) != 0)
            failErrno(QStringLiteral("No se puede guardar el archivo"), m_target, errno);
    } else if (m_kind == Kind::New) {
        final = placeNew();
    }
    m_committed = true;
    return final;
}

QString Output::placeNew()
{
    const QByteArray from = QFile::encodeName(m_temporary);
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? m_stem + u'.' + m_extension
                                    : QStringLiteral("%1-%2.%3").arg(m_stem).arg(n).arg(m_extension);
        const QString target = QDir(m_resolved).filePath(name);
        // A hard link fails when the name exists: no file is ever replaced,
        // even by two exports finishing at the same moment.
        if (::link(from.constData(), QFile::encodeName(target).constData()) == 0) {
            ::unlink(from.constData());
            return target;
        }
        if (errno == EEXIST)
            continue;
        // File systems without hard links: the same, one check short.
        if (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK) {
            if (QFileInfo::exists(target))
                continue;
            if (::rename(from.constData(), QFile::encodeName(target).constData()) != 0)
                failErrno(QStringLiteral("No se puede guardar el archivo"), target, errno);
            return target;
        }
        failErrno(QStringLiteral("No se puede guardar el archivo"), target, errno);
    }
    fail(QStringLiteral("No se puede guardar el archivo"), m_target,
         QStringLiteral("no queda un nombre libre en la carpeta"));
}

} // namespace fileCommit
