#include "platform/files/FileCommit.h"

#include "platform/files/FileCommitSystem.h"
#include "platform/files/FileErrors.h"
#include "platform/files/FileErrors_win.h"
#include "platform/files/PathResolution.h"
#include "platform/files/StopSignals.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// The Windows side of complete-or-nothing writes. A temporary file beside the
// target (hidden, open to other readers) is written, flushed to the disk and
// put in place with ReplaceFileW (which keeps the replaced file's attributes
// and permissions) or MoveFileExW with write-through.
namespace fileCommit {

using namespace detail;

namespace {

const QString SaveWhat = QStringLiteral("No se puede guardar el archivo");
bool standardOutputClosed = false;

// The temporary was hidden; what takes its place is not.
void unhide(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN))
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
}

} // namespace

// A new, empty, hidden file in `folder`, open for writing, that other
// programs may read and the writer may open again by name. Windows keeps
// permissions in the folder's, which a new file inherits: `mode` is not used.
int detail::createTemporary(const QString& folder, const QString& stem, int, QString& path,
                            bool& anonymous, int& slot)
{
    anonymous = false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = temporaryName(folder, stem, randomTail());
        slot = rememberTemporary(name);
        const HANDLE h = CreateFileW(wide(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            forgetTemporary(slot);
            if (error == ERROR_FILE_EXISTS)
                continue;
            failSystem(QStringLiteral("No se puede escribir en la carpeta"), folder, error);
        }
        const int fd = _open_osfhandle(intptr_t(h), _O_BINARY);
        if (fd < 0) {
            CloseHandle(h);
            DeleteFileW(wide(name).c_str());
            forgetTemporary(slot);
            failErrno(QStringLiteral("No se puede escribir en la carpeta"), folder, EMFILE);
        }
        path = name;
        return fd;
    }
    fail(QStringLiteral("No se puede escribir en la carpeta"), folder,
         QStringLiteral("no queda un nombre libre para el archivo temporal"));
}

void detail::shareWithFolder(int, const QString&) {}

int detail::copyDescriptor(int fd, const QString& target)
{
    const int copy = _dup(fd);
    if (copy < 0 || (fd == 1 && standardOutputClosed))
        fail(QStringLiteral("No se puede escribir en"), target,
             QStringLiteral("el programa se inició con la salida estándar cerrada"));
    // Bytes as they are: the C library's text mode would add a carriage return to each line.
    _setmode(copy, _O_BINARY);
    return copy;
}

int detail::writeAll(int fd, const char* data, size_t size)
{
    const HANDLE h = HANDLE(_get_osfhandle(fd));
    while (size > 0) {
        DWORD done = 0;
        const DWORD chunk = DWORD(std::min<size_t>(size, 1 << 24));
        if (!WriteFile(h, data, chunk, &done, nullptr)) {
            const DWORD error = GetLastError();
            return errnoFor(error) ? errnoFor(error) : EIO;
        }
        if (done == 0)
            return EIO;
        data += done;
        size -= done;
    }
    return 0;
}

void detail::flushToDisk(int fd, const QString& target)
{
    if (!FlushFileBuffers(HANDLE(_get_osfhandle(fd))))
        failSystem(QStringLiteral("No se pudo escribir en"), target, GetLastError());
}

int detail::closeDescriptor(int fd)
{
    return _close(fd) != 0 ? errno : 0;
}

void detail::removeFile(const QString& path)
{
    DeleteFileW(wide(path).c_str());
}

void detail::replaceWith(const QString& temporary, bool, const QString& resolved,
                         const QString& target)
{
    const std::wstring from = wide(temporary), to = wide(resolved);
    // ReplaceFileW keeps what the replaced file had (permissions, attributes);
    // a new file simply takes the temporary's name.
    BOOL done = GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES
                    ? ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                    : MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!done)
        failSystem(SaveWhat, target, GetLastError());
    unhide(to);
}

bool detail::placeAs(const QString& temporary, bool, const QString& name)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    if (MoveFileExW(wide(temporary).c_str(), wide(name).c_str(), MOVEFILE_WRITE_THROUGH)) {
        unhide(wide(name));
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    failSystem(SaveWhat, name, error);
}

void protectStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (_get_osfhandle(fd) != -1 && _get_osfhandle(fd) != -2)
            continue;
        const int null = _open("NUL", fd == 0 ? _O_RDONLY : _O_WRONLY);
        if (null >= 0 && null != fd) {
            _dup2(null, fd);
            _close(null);
        }
        if (fd == 1)
            standardOutputClosed = true;
    }
    // The progress line on the console rewrites itself with the terminal's
    // escape codes, which a Windows console reads only when asked to.
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (error && error != INVALID_HANDLE_VALUE && GetConsoleMode(error, &mode))
        SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    // The program writes UTF-8 (its manifest makes it the process's code
    // page); a console reads its own code page unless told.
    if (GetConsoleWindow() || GetConsoleMode(error, &mode))
        SetConsoleOutputCP(CP_UTF8);
}

void appendToOwnFile(const QString& path, const QByteArray& bytes)
{
    const QString what = QStringLiteral("No se puede escribir en");
    if (namesLink(path))
        fail(what, path, ownLinkRefused(), ErrorNumber::PermissionDenied, LinkOrigin);
    const HANDLE h = CreateFileW(wide(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failSystem(what, path, GetLastError());
    BY_HANDLE_FILE_INFORMATION st{};
    QString refused;
    if (!GetFileInformationByHandle(h, &st))
        refused = systemReason(GetLastError());
    else if (st.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        refused = ownLinkRefused();
    else if (GetFileType(h) != FILE_TYPE_DISK || (st.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        refused = QStringLiteral("no es un archivo común");
    else if (st.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        refused = QStringLiteral("está marcado como de solo lectura");
    DWORD error = 0;
    if (refused.isEmpty()) {
        DWORD done = 0;
        if (!WriteFile(h, bytes.constData(), DWORD(bytes.size()), &done, nullptr))
            error = GetLastError();
        else if (done != DWORD(bytes.size()))
            error = ERROR_WRITE_FAULT;
    }
    CloseHandle(h);
    if (refused == ownLinkRefused())
        fail(what, path, refused, ErrorNumber::PermissionDenied, LinkOrigin);
    if (!refused.isEmpty())
        fail(what, path, refused, ErrorNumber::PermissionDenied);
    if (error)
        failSystem(what, path, error);
}

// Windows deletes a file opened with FILE_FLAG_DELETE_ON_CLOSE when its last
// handle closes, which the system does for a process it ends in any way
// (Ctrl+C, the task manager).
std::unique_ptr<QFile> scratchFile(const QString& folder, const QString& stem, QString& why)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = QDir(folder).filePath(stem + u'_' + randomTail());
        const HANDLE h =
            CreateFileW(wide(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS)
                continue;
            why = systemReason(error);
            return nullptr;
        }
        const int fd = _open_osfhandle(intptr_t(h), _O_BINARY);
        auto file = std::make_unique<QFile>(name);
        if (fd < 0 || !file->open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
            if (fd < 0)
                CloseHandle(h);
            else
                _close(fd);
            why = reason(EMFILE);
            return nullptr;
        }
        return file;
    }
    why = QStringLiteral("no queda un nombre libre para el archivo");
    return nullptr;
}

} // namespace fileCommit
