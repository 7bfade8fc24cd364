#include <cstdio>

#include <windows.h>

// Every program of the build (the report, rp_base, the tests) ends here, once
// main has returned, its objects are gone and everything it wrote is flushed,
// without the libraries' clean-up at process end. Under Wine the C++ runtime
// runs Qt's thread-local clean-up while it unloads; Qt then takes the ending
// thread for a new one, tries to start a thread to watch it, which the ending
// process refuses, and the process waits forever: the report's window closed
// after an export, and the process stayed, holding its database and keeping
// the console companion waiting. The status is main's, or exit()'s.
extern "C" [[noreturn]] void __real_exit(int status);
extern "C" [[noreturn]] void __wrap_exit(int status)
{
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), UINT(status));
    __real_exit(status);
}
