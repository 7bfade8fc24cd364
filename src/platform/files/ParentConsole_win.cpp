#include "platform/files/ParentConsole.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// Points the C library's descriptor `fd` and the system's standard handle
// `which` at the console, unless the program was given something there (a
// file, a pipe): what a script redirected stays redirected.
void toConsole(int fd, DWORD which)
{
    const intptr_t given = _get_osfhandle(fd);
    if (given != -1 && given != -2)
        return;
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    const int opened = _open_osfhandle(reinterpret_cast<intptr_t>(console), _O_WRONLY);
    if (opened < 0) {
        CloseHandle(console);
        return;
    }
    if (opened != fd) {
        _dup2(opened, fd);
        _close(opened);
    }
    SetStdHandle(which, reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}

} // namespace

void attachToParentConsole()
{
    // Fails for a program that has a console already and for one whose
    // parent has none (the desktop, the launcher): both stay as they are.
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    // Standard input is left alone: the console's input belongs to the shell
    // that started the program, which goes on reading it when it does not
    // wait (cmd.exe for a window program typed at its prompt).
    toConsole(1, STD_OUTPUT_HANDLE);
    toConsole(2, STD_ERROR_HANDLE);
}
