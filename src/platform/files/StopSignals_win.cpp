#include "platform/files/StopSignals.h"

#include "platform/files/FileCommit.h"
#include "platform/files/FileErrors_win.h"

#include <QRandomGenerator>

#include <cerrno>
#include <windows.h>

// Windows has no file without a name, so every temporary is named and
// remembered for the console handler that Ctrl+C, Ctrl+Break and closing the
// console call.
namespace fileCommit {

namespace {

detail::NamedPaths<wchar_t, 1024, 32> namedTemporaries;
// Scratch folders, for the console handler to remove whole.
detail::NamedPaths<wchar_t, 1024, 8> namedFolders;

template <class Table>
int rememberIn(Table& table, const QString& path)
{
    const std::wstring wide = detail::wide(path);
    return table.remember(wide.c_str(), wide.size());
}

// Empties a folder of files and removes it with the system's calls alone, as
// the console handler may.
void removeFolderNow(const wchar_t* folder)
{
    std::wstring pattern = std::wstring(folder) + L"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((std::wstring(folder) + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder);
}

HANDLE handlerError = INVALID_HANDLE_VALUE;

// Runs on a thread of its own that the system starts: it removes the named
// temporaries, says what was stopped and ends the process at once, as a
// signal does on Linux (no exit handlers run that could write anything).
BOOL WINAPI onConsoleEvent(DWORD event)
{
    const char* what = nullptr;
    switch (event) {
    case CTRL_C_EVENT:
        what = "Ctrl+C";
        break;
    case CTRL_BREAK_EVENT:
        what = "Ctrl+Break";
        break;
    case CTRL_CLOSE_EVENT:
        what = "el cierre de la consola";
        break;
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        what = "el cierre de la sesión";
        break;
    default:
        return FALSE;
    }
    detail::removeNamedTemporaries();
    detail::sayStopped(what);
    // The code a console gives a program ended by Ctrl+C.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

bool processAlive(qint64 pid)
{
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool alive = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return alive;
}

const QString ScratchPrefix = QStringLiteral(".rp_oproduccion-temporal-");

} // namespace

namespace detail {

const char LineEnd[] = "\r\n";

void writeOnStandardError(const char* text)
{
    DWORD done = 0;
    if (handlerError != INVALID_HANDLE_VALUE)
        WriteFile(handlerError, text, DWORD(std::strlen(text)), &done, nullptr);
}

int rememberTemporary(const QString& path)
{
    return rememberIn(namedTemporaries, path);
}

void forgetTemporary(int& slot)
{
    namedTemporaries.forget(slot);
}

void removeNamedTemporaries()
{
    namedTemporaries.forEach([](const wchar_t* path) { DeleteFileW(path); });
    namedFolders.forEach(removeFolderNow);
}

} // namespace detail

void removeTemporariesOnSignals()
{
    // The handler writes where standard error went at start-up, whatever a
    // writer points it to later.
    HANDLE copy = INVALID_HANDLE_VALUE;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error && error != INVALID_HANDLE_VALUE &&
        DuplicateHandle(GetCurrentProcess(), error, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS))
        handlerError = copy;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

ScratchFolder::ScratchFolder(const QString& parent)
{
    // Those of runs ended without their handler: their process is gone.
    QDir where(parent);
    for (const QString& name :
         where.entryList({ScratchPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks)) {
        const qint64 pid = name.mid(ScratchPrefix.size()).section(u'-', 0, 0).toLongLong();
        if (pid > 0 && !processAlive(pid))
            QDir(where.filePath(name)).removeRecursively();
    }
    const QString stem = ScratchPrefix + QString::number(GetCurrentProcessId()) + u'-';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = stem + QString::number(QRandomGenerator::global()->generate(), 36);
        const QString path = where.filePath(name);
        if (CreateDirectoryW(detail::wide(path).c_str(), nullptr)) {
            SetFileAttributesW(detail::wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
            m_path = path;
            m_slot = rememberIn(namedFolders, path);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            errno = detail::errnoFor(GetLastError());
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.isEmpty())
        return;
    removeFolderNow(detail::wide(m_path).c_str());
    namedFolders.forget(m_slot);
}

} // namespace fileCommit
