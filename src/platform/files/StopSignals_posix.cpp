#include "platform/files/StopSignals.h"

#include "platform/files/FileCommit.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fileCommit {

namespace {

detail::NamedPaths<char, PATH_MAX, 32> namedTemporaries;
detail::NamedPaths<char, PATH_MAX, 8> namedFolders;

template <class Table>
int rememberIn(Table& table, const QByteArray& path)
{
    return table.remember(path.constData(), size_t(path.size()));
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

// Standard error as the program was started with it: a writer may point
// descriptor 2 elsewhere for a while (the workbook library's own lines).
int handlerError = 2;

// A scratch folder is made on one thread while a stop may be handled on
// another: the handler waits a moment for the ones being made to be named.
// When it interrupted the very thread making one, it finds it instead by its
// name (this process's prefix) in the folder it was being made in.
std::atomic<int> scratchInFlight{0};
std::atomic<int> stopRequested{0};
detail::NamedPaths<char, PATH_MAX, 8> scratchParents;
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

void onStopSignal(int signal)
{
    detail::removeNamedTemporaries();
    detail::sayStopped(signal == SIGTERM  ? "la señal SIGTERM"
                       : signal == SIGINT ? "la señal SIGINT"
                                          : "la señal SIGHUP");
    // Ended by the signal itself, so the parent (a shell: 128 + the number)
    // sees why; it is delivered as soon as the handler returns.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

namespace detail {

const char LineEnd[] = "\n";

void writeOnStandardError(const char* text)
{
    for (size_t left = std::strlen(text); left > 0;) {
        const ssize_t n = ::write(handlerError, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= size_t(n);
    }
}

int rememberTemporary(const QString& path)
{
    return rememberIn(namedTemporaries, QFile::encodeName(path));
}

void forgetTemporary(int& slot)
{
    namedTemporaries.forget(slot);
}

void removeNamedTemporaries()
{
    stopRequested.store(1);
    for (int wait = 0; wait < 200 && scratchInFlight.load() > 0; ++wait) {
        const timespec millisecond{0, 1000000};
        ::nanosleep(&millisecond, nullptr);
    }
    namedTemporaries.forEach([](const char* path) { ::unlink(path); });
    namedFolders.forEach(removeFolderNow);
    scratchParents.forEach(removeOurScratchIn);
}

} // namespace detail

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
        m_slot = rememberIn(namedFolders, path);
    }
    scratchParents.forget(parentSlot);
    scratchInFlight.fetch_sub(1);
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.isEmpty())
        return;
    removeFolderNow(QFile::encodeName(m_path).constData());
    namedFolders.forget(m_slot);
}

} // namespace fileCommit
