#include "platform/files/FileCommit.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fileCommit {

namespace {

const QString Origin = QStringLiteral("Archivo");
constexpr qsizetype BufferSize = 1 << 16;
bool standardOutputClosed = false;

// The temporary files that have a name, for a signal handler to remove: it
// may only read what is complete (state 2) and call unlink().
struct NamedTemporary
{
    std::atomic<int> state{0}; // 0 free, 1 being filled, 2 named
    char path[PATH_MAX];
};
NamedTemporary namedTemporaries[32];

// The first free entry of `table` takes `path`; -1 when none is free.
template <size_t N>
int rememberIn(NamedTemporary (&table)[N], const QByteArray& path)
{
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < int(N); ++i) {
        int free = 0;
        if (table[i].state.compare_exchange_strong(free, 1)) {
            std::memcpy(table[i].path, path.constData(), size_t(path.size()) + 1);
            table[i].state.store(2);
            return i;
        }
    }
    return -1;
}

int rememberTemporary(const QByteArray& path)
{
    return rememberIn(namedTemporaries, path);
}

void forgetTemporaryIn(NamedTemporary* table, int& slot)
{
    if (slot >= 0)
        table[slot].state.store(0);
    slot = -1;
}

void forgetTemporary(int& slot)
{
    forgetTemporaryIn(namedTemporaries, slot);
}

// Scratch folders, for a signal handler to empty and remove: the same states.
NamedTemporary namedFolders[8];

int rememberFolder(const QByteArray& path)
{
    return rememberIn(namedFolders, path);
}

// Calls `act(folderFd, name)` for every entry of `folder` but "." and "..",
// with system calls alone, which a signal handler may make (no allocation,
// no directory stream). True when `act` said it changed something. A folder
// of our own is never entered through a link (`ownFolder`); the folder it
// was made in may be one.
template <class Act>
bool eachEntry(const char* folder, bool ownFolder, Act&& act)
{
    const int fd =
        ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (ownFolder ? O_NOFOLLOW : 0));
    if (fd < 0)
        return false;
    struct Entry
    {
        quint64 inode;
        qint64 offset;
        unsigned short length;
        unsigned char type;
        char name[1];
    };
    bool changed = false;
    alignas(8) char entries[4096];
    long n;
    while ((n = ::syscall(SYS_getdents64, fd, entries, sizeof entries)) > 0)
        for (long at = 0; at < n;) {
            const auto* e = reinterpret_cast<const Entry*>(entries + at);
            const bool dots = e->name[0] == '.' &&
                              (e->name[1] == '\0' || (e->name[1] == '.' && e->name[2] == '\0'));
            if (!dots && act(fd, e->name))
                changed = true;
            at += e->length;
        }
    ::close(fd);
    return changed;
}

// Empties a folder of files. Removing entries while reading may skip some:
// read again until a pass removes nothing.
void emptyFolderNow(const char* path)
{
    while (eachEntry(path, true, [](int fd, const char* name) { return ::unlinkat(fd, name, 0) == 0; })) {
    }
}

// Another thread may still be making a file in it while the handler runs:
// emptied again until it can go (once gone, nothing can be made in it).
void removeFolderNow(const char* path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        emptyFolderNow(path);
        if (::rmdir(path) == 0 || errno != ENOTEMPTY)
            return;
    }
}

// Two buffers, so the one a handler may be reading is never the one written.
char interruptionNotes[2][2048];
std::atomic<int> currentNote{-1};

void writeAll(int fd, const char* text)
{
    for (size_t left = std::strlen(text); left > 0;) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

// Standard error as the program was started with it: a writer may point
// descriptor 2 elsewhere for a while (the workbook library's own lines).
int handlerError = 2;

volatile sig_atomic_t stopping = 0;

// A scratch folder is made on one thread while a stop may be handled on
// another: the handler waits a moment for the ones being made to be named.
// When it interrupted the very thread making one, it finds it instead by its
// name (this process's prefix) in the folder it was being made in.
std::atomic<int> scratchInFlight{0};
std::atomic<int> stopRequested{0};
NamedTemporary scratchParents[8];
char scratchStem[64]; // ".rp_oproduccion-temporal-<pid>-"

void removeOurScratchIn(const char* parent)
{
    const size_t stem = std::strlen(scratchStem);
    const size_t length = std::strlen(parent);
    if (stem == 0 || length + NAME_MAX + 2 >= PATH_MAX)
        return;
    char full[PATH_MAX];
    std::memcpy(full, parent, length);
    full[length] = '/';
    for (int pass = 0; pass < 8; ++pass)
        if (!eachEntry(parent, false, [&](int, const char* name) {
                if (std::strncmp(name, scratchStem, stem) != 0)
                    return false;
                std::memcpy(full + length + 1, name, std::strlen(name) + 1);
                removeFolderNow(full);
                return true;
            }))
            return;
}

void removeNamedTemporaries()
{
    stopRequested.store(1);
    for (int wait = 0; wait < 200 && scratchInFlight.load() > 0; ++wait) {
        const timespec millisecond{0, 1000000};
        ::nanosleep(&millisecond, nullptr);
    }
    for (NamedTemporary& t : namedTemporaries)
        if (t.state.load() == 2)
            ::unlink(t.path);
    for (NamedTemporary& t : namedFolders)
        if (t.state.load() == 2)
            removeFolderNow(t.path);
    for (NamedTemporary& t : scratchParents)
        if (t.state.load() == 2)
            removeOurScratchIn(t.path);
}

void onStopSignal(int signal)
{
    removeNamedTemporaries();
    // One line, for the first signal only.
    const int note = stopping ? -1 : currentNote.load();
    stopping = 1;
    if (note >= 0) {
        writeAll(handlerError, "rp_oproduccion: interrumpido por la señal ");
        writeAll(handlerError, signal == SIGTERM  ? "SIGTERM"
                               : signal == SIGINT ? "SIGINT"
                                                  : "SIGHUP");
        writeAll(handlerError, " ");
        writeAll(handlerError, interruptionNotes[note]);
        writeAll(handlerError, "\n");
    }
    // Ended by the signal itself, so the parent (a shell: 128 + the number)
    // sees why; it is delivered as soon as the handler returns.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

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

const QString LinkOrigin = QStringLiteral("Archivo propio");

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why,
                       int number = ErrorNumber::FileAccess, const QString& origin = Origin)
{
    // An empty path is the standard output.
    const QString where = path.isEmpty() ? QStringLiteral("la salida estándar")
                                         : QStringLiteral("«%1»").arg(native(path));
    throw RuntimeError(number, QStringLiteral("%1 %2: %3").arg(what, where, why), origin);
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

const QString OwnLinkRefused =
    QStringLiteral("es un enlace simbólico, y el programa no escribe sus propios archivos a "
                   "través de un enlace");

void checkReplaceable(const QString& full, const struct stat& st, const QString& target)
{
    // rename() would replace it whatever its own permissions say: ask first.
    if (::faccessat(AT_FDCWD, QFile::encodeName(full).constData(), W_OK, AT_EACCESS) != 0)
        failErrno(QStringLiteral("No se puede reemplazar el archivo"), target, errno);
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        fail(QStringLiteral("No se puede reemplazar el archivo"), target,
             QStringLiteral("está marcado como de solo lectura"), ErrorNumber::PermissionDenied);
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
        checkReplaceable(full, st, target);
        return {Resolved::Regular, full, -1, st.st_mode};
    }
    failErrno(what, target, ELOOP);
}

QString temporaryName(const QString& folder, const QString& stem, const QString& tail)
{
    return QDir(folder).filePath(QStringLiteral(".%1-%2.part").arg(stem.left(100), tail));
}

// A new, empty file in `folder`, open for reading and writing, with the
// given mode. Where the file system allows, it has no name until it is
// linked into place (`anonymous`; `path` reopens it, /proc/self/fd/N), so
// nothing is left behind whatever ends the process; otherwise it is named
// in `path` and remembered in `slot` for the signal handler.
int createTemporary(const QString& folder, const QString& stem, mode_t mode, QString& path,
                    bool& anonymous, int& slot)
{
    static const bool procFd = ::access("/proc/self/fd", X_OK) == 0;
    const QByteArray where = QFile::encodeName(folder);
    if (procFd) {
        const int fd = ::open(where.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
        if (fd >= 0) {
            ::fchmod(fd, mode);
            path = QStringLiteral("/proc/self/fd/%1").arg(fd);
            anonymous = true;
            return fd;
        }
    }
    QByteArray name = QFile::encodeName(temporaryName(folder, stem, QStringLiteral("XXXXXX")));
    const int fd = ::mkostemps(name.data(), 5, O_CLOEXEC);
    if (fd < 0)
        failErrno(QStringLiteral("No se puede escribir en la carpeta"), folder, errno);
    slot = rememberTemporary(name);
    ::fchmod(fd, mode);
    path = QFile::decodeName(name);
    anonymous = false;
    return fd;
}

// The mode a new file gets: what the operator's umask leaves of rw for all.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A program folder the suite's users share is group-writable: a file of the
// program's own made there takes the folder's group and lets that group
// write, so that the next user's run can append to it or replace it. Best
// effort: a group the user is not in is left as it is.
void shareWithFolder(int fd, const QString& folder)
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

// Gives the anonymous temporary `from` (/proc/self/fd/N) the name `to`;
// fails with EEXIST, never replacing anything.
bool linkAnonymous(const QString& from, const QString& to)
{
    return ::linkat(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), AT_SYMLINK_FOLLOW) == 0;
}

// A file of the program's own: its folder may be reached through links (the
// operator chose it), its name may not.
Resolved resolveOwn(const QString& target)
{
    const QString what = QStringLiteral("No se puede guardar el archivo");
    const QFileInfo info(QDir::cleanPath(QFileInfo(target).absoluteFilePath()));
    char real[PATH_MAX];
    if (!::realpath(QFile::encodeName(info.path()).constData(), real)) {
        if (errno == ENOENT)
            fail(what, target, QStringLiteral("la carpeta no existe"));
        failErrno(what, target, errno);
    }
    const QString full = QDir(QFile::decodeName(real)).filePath(info.fileName());
    struct stat st{};
    if (::lstat(QFile::encodeName(full).constData(), &st) != 0) {
        if (errno == ENOENT)
            return {Resolved::Missing, full};
        failErrno(what, target, errno);
    }
    if (S_ISLNK(st.st_mode))
        fail(what, target, OwnLinkRefused, ErrorNumber::PermissionDenied, LinkOrigin);
    if (!S_ISREG(st.st_mode))
        fail(what, target, QStringLiteral("no es un archivo común"));
    checkReplaceable(full, st, target);
    return {Resolved::Regular, full, -1, st.st_mode};
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

// Writes all of `size` bytes, again after an interruption; 0, or the error.
int writeAll(int fd, const char* data, size_t size)
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

bool refusedLink(const RuntimeError& error)
{
    return error.source() == LinkOrigin;
}

void refuseLink(const QString& path)
{
    struct stat st{};
    if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        fail(QStringLiteral("No se puede usar el archivo"), path, OwnLinkRefused,
             ErrorNumber::PermissionDenied, LinkOrigin);
}

void removeTemporariesOnSignals()
{
    if (const int copy = ::fcntl(2, F_DUPFD_CLOEXEC, 3); copy >= 0)
        handlerError = copy;
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    // One stopping signal at a time: a second one waits for the first to end the run.
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction old{};
        // A signal the parent chose to ignore (nohup) stays ignored.
        if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

void abandonRun(const QString& line, int status)
{
    removeNamedTemporaries();
    const QByteArray bytes = line.toUtf8() + '\n';
    writeAll(handlerError, bytes.constData());
    std::_Exit(status);
}

void setInterruptionNote(const QString& note)
{
    if (note.isEmpty()) {
        currentNote.store(-1);
        return;
    }
    const int next = currentNote.load() == 0 ? 1 : 0;
    QByteArray bytes = note.toUtf8();
    const qsizetype room = qsizetype(sizeof interruptionNotes[next]) - 1;
    if (bytes.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
            --cut; // not inside a character
        bytes.truncate(cut);
    }
    std::memcpy(interruptionNotes[next], bytes.constData(), size_t(bytes.size()));
    interruptionNotes[next][bytes.size()] = '\0';
    currentNote.store(next);
}

namespace {

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

QString identity(const QString& target)
{
    if (target == u"-")
        return descriptorIdentity(STDOUT_FILENO);
    if (target.trimmed().isEmpty())
        return {};
    QString path = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    for (int hop = 0; hop < 40; ++hop) {
        if (const auto fd = descriptorOf(path))
            return descriptorIdentity(*fd);
        const QFileInfo info(path);
        char real[PATH_MAX];
        // A folder that does not exist: the path as written is all there is.
        if (!::realpath(QFile::encodeName(info.path()).constData(), real))
            return path;
        const QString folder = QFile::decodeName(real);
        const QString full = QDir(folder).filePath(info.fileName());
        if (const auto fd = descriptorOf(full))
            return descriptorIdentity(*fd);
        struct stat st{};
        if (::lstat(QFile::encodeName(full).constData(), &st) != 0)
            return full;
        if (S_ISLNK(st.st_mode)) {
            char link[PATH_MAX];
            const ssize_t n =
                ::readlink(QFile::encodeName(full).constData(), link, sizeof link - 1);
            if (n < 0)
                return full;
            path = QDir::cleanPath(
                QDir(folder).absoluteFilePath(QFile::decodeName(QByteArray(link, n))));
            continue;
        }
        // Hard links are the same file under two names.
        return statIdentity(st);
    }
    return path;
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
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode))
            fail(what, path, OwnLinkRefused, ErrorNumber::PermissionDenied, LinkOrigin);
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

namespace {
const QString ScratchPrefix = QStringLiteral(".rp_oproduccion-temporal-");
}

ScratchFolder::ScratchFolder(const QString& parent)
{
    // Those of runs that died without their handler: their process is gone.
    const QDir where(parent);
    for (const QString& name :
         where.entryList({ScratchPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks)) {
        const qint64 pid = name.mid(ScratchPrefix.size()).section(u'-', 0, 0).toLongLong();
        struct stat st{};
        const QByteArray old = QFile::encodeName(where.filePath(name));
        if (pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH &&
            ::lstat(old.constData(), &st) == 0 && st.st_uid == ::geteuid())
            removeFolderNow(old.constData());
    }
    const QString stem = ScratchPrefix + QString::number(::getpid()) + u'-';
    if (scratchStem[0] == '\0')
        std::snprintf(scratchStem, sizeof scratchStem, "%s", stem.toLatin1().constData());
    QByteArray path = QFile::encodeName(where.filePath(stem + QStringLiteral("XXXXXX")));
    scratchInFlight.fetch_add(1);
    int parentSlot = rememberIn(scratchParents, QFile::encodeName(where.absolutePath()));
    // A stop under way makes nothing more to remove.
    if (!stopRequested.load() && ::mkdtemp(path.data())) {
        m_path = QFile::decodeName(path);
        m_slot = rememberFolder(path);
    }
    forgetTemporaryIn(scratchParents, parentSlot);
    scratchInFlight.fetch_sub(1);
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.isEmpty())
        return;
    removeFolderNow(QFile::encodeName(m_path).constData());
    forgetTemporaryIn(namedFolders, m_slot);
}

Output::Output(QString target) : m_target(std::move(target)), m_kind(Kind::Replace) {}

Output::Output(OwnFile own) : m_target(std::move(own.path)), m_kind(Kind::Replace), m_own(true) {}

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
    if (m_stagingFd >= 0)
        ::close(m_stagingFd);
    if (!m_committed && !m_temporary.isEmpty() && !m_anonymous)
        ::unlink(QFile::encodeName(m_temporary).constData());
    if (!m_staging.isEmpty() && !m_stagingAnonymous)
        ::unlink(QFile::encodeName(m_staging).constData());
    forgetTemporary(m_slot);
    forgetTemporary(m_stagingSlot);
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
        m_fd = createTemporary(m_resolved, m_stem, newFileMode(), m_temporary, m_anonymous,
                               m_slot);
    } else {
        const Resolved r = m_own ? resolveOwn(m_target) : resolve(m_target);
        m_resolved = r.path;
        if (r.kind == Resolved::Device) {
            m_kind = Kind::Direct;
            m_fd = r.fd;
        } else {
            const QFileInfo info(r.path);
            // A replaced file keeps its permissions; a new one gets the user's usual ones.
            m_fd = createTemporary(info.path(), info.completeBaseName(),
                                   r.kind == Resolved::Missing ? newFileMode() : r.mode & 07777,
                                   m_temporary, m_anonymous, m_slot);
            if (m_own && r.kind == Resolved::Missing)
                shareWithFolder(m_fd, info.path());
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
        m_stagingFd = createTemporary(QDir::tempPath(), QStringLiteral("rp_oproduccion"), 0600,
                                      m_staging, m_stagingAnonymous, m_stagingSlot);
    }
    return m_staging;
}

QString Output::temporaryFolder() const
{
    if (m_kind == Kind::Direct)
        return QDir::tempPath();
    return m_kind == Kind::New ? m_resolved : QFileInfo(m_resolved).path();
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
    m_error = writeAll(m_fd, m_buffer.constData(), static_cast<size_t>(m_buffer.size()));
    m_buffer.clear();
}

void Output::close()
{
    flushBuffer();
    QIODevice::close();
}

void Output::failWriting(int error) const
{
    failErrno(QStringLiteral("No se pudo escribir en"), m_target, error);
}

void Output::check() const
{
    if (m_error)
        failWriting(m_error);
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
    // A file without a name lives only while it is open: it is closed once
    // it has one (its bytes are already on the disk).
    if (!m_anonymous) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            failWriting(errno);
    }

    QString final = m_standardOutput           ? QStringLiteral("-")
                    : m_kind == Kind::Direct ? m_target
                                             : m_resolved;
    if (m_kind == Kind::Replace)
        replaceTarget();
    else if (m_kind == Kind::New)
        final = placeNew();
    m_committed = true;
    forgetTemporary(m_slot);
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    return final;
}

void Output::replaceTarget()
{
    QString named = m_temporary;
    int slot = -1;
    if (m_anonymous) {
        // rename() alone replaces a file in one step: the complete file gets
        // a name beside the target for that moment, remembered meanwhile.
        static const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
        const QFileInfo info(m_resolved);
        for (int attempt = 0;; ++attempt) {
            QString tail;
            for (int i = 0; i < 6; ++i)
                tail += letters.at(QRandomGenerator::global()->bounded(int(letters.size())));
            named = temporaryName(info.path(), info.completeBaseName(), tail);
            slot = rememberTemporary(QFile::encodeName(named));
            if (linkAnonymous(m_temporary, named))
                break;
            const int error = errno;
            forgetTemporary(slot);
            if (error != EEXIST || attempt == 100)
                failErrno(QStringLiteral("No se puede guardar el archivo"), m_target, error);
        }
    }
    if (::rename(QFile::encodeName(named).constData(), QFile::encodeName(m_resolved).constData()) !=
        0) {
        const int error = errno;
        if (m_anonymous)
            ::unlink(QFile::encodeName(named).constData());
        forgetTemporary(slot);
        failErrno(QStringLiteral("No se puede guardar el archivo"), m_target, error);
    }
    forgetTemporary(slot);
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
        if (m_anonymous) {
            if (linkAnonymous(m_temporary, target))
                return target;
        } else if (::link(from.constData(), QFile::encodeName(target).constData()) == 0) {
            ::unlink(from.constData());
            return target;
        }
        if (errno == EEXIST)
            continue;
        // File systems without hard links: the same, one check short.
        if (!m_anonymous && (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK)) {
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
