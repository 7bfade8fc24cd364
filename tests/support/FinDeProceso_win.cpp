#include <cstdio>

#include <windows.h>

// A test program ends here, when main has returned and everything it wrote
// is flushed, without the libraries' clean-up at process end. Under Wine the
// C++ runtime runs Qt's thread-local clean-up while it unloads; Qt then takes
// the ending thread for a new one, tries to start a thread to watch it, which
// the ending process refuses, and about one run in two waits forever.
// The status is main's.
extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status)
{
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), UINT(status));
    __real_exit(status);
}
