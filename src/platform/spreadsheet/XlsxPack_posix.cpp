#include "platform/spreadsheet/XlsxPack.h"

#include "platform/files/FileCommit.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xlsxPack {

namespace {

// What the child tells: the library's code and the system's errno.
struct Packed
{
    lxw_error result = LXW_NO_ERROR;
    int error = 0;
};

} // namespace

// Packing runs in a child process, which a stop kills at once: the file it
// writes is the temporary one, which then never goes into place, and the
// library's scratch files die with it. The child only runs the library and
// the C library, with the signals' default dispositions (the parent's
// handlers would remove the parent's temporaries), and dies with the thread
// that waits for it.
Outcome packStoppable(lxw_workbook* book, const std::function<bool()>& stop)
{
    Outcome outcome;
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) {
        outcome.failure = fileCommit::reason(errno);
        freeUnclosed(book);
        return outcome;
    }
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(channel[0]);
        ::close(channel[1]);
        freeUnclosed(book);
        outcome.failure = fileCommit::reason(error);
        return outcome;
    }
    if (child == 0) {
        ::close(channel[0]);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        struct sigaction standard = {};
        standard.sa_handler = SIG_DFL;
        for (int s = 1; s < NSIG; ++s)
            ::sigaction(s, &standard, nullptr);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        errno = 0;
        Packed packed;
        packed.result = workbook_close(book);
        packed.error = errno;
        const bool told = ::write(channel[1], &packed, sizeof packed) == sizeof packed;
        ::_exit(told ? 0 : 126);
    }
    ::close(channel[1]);
    // The child's answer, or its end, or a stop asked for meanwhile: whichever
    // comes first, looked at every few hundredths of a second.
    Packed packed;
    bool answered = false, killed = false;
    for (;;) {
        pollfd ready{channel[0], POLLIN, 0};
        const int n = ::poll(&ready, 1, 20);
        if (n > 0) {
            ssize_t got;
            do
                got = ::read(channel[0], &packed, sizeof packed);
            while (got < 0 && errno == EINTR);
            answered = got == sizeof packed;
            break;
        }
        if (n < 0 && errno != EINTR)
            break;
        if (stop && stop()) {
            ::kill(child, SIGKILL);
            killed = true;
            break;
        }
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    freeUnclosed(book);
    outcome.stopped = killed;
    if (!killed && (!answered || !WIFEXITED(status) || WEXITSTATUS(status) != 0))
        outcome.failure = QStringLiteral("el proceso que empaquetaba el libro terminó sin completarlo");
    outcome.result = packed.result;
    outcome.error = packed.error;
    return outcome;
}

} // namespace xlsxPack
