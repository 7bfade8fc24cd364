#include "platform/files/FileCommit.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

// The Windows side of complete-or-nothing writes. A temporary file beside the
// target (hidden, open to other readers) is written, flushed to the disk and
// put in place with ReplaceFileW (which keeps the replaced file's attributes
// and permissions) or MoveFileExW with write-through. Windows has no file
// without a name, so every temporary is named and remembered for the console
// handler that Ctrl+C, Ctrl+Break and closing the console call.
namespace fileCommit {

namespace {

const QString Origin = QStringLiteral("Archivo");
const QString LinkOrigin = QStringLiteral("Archivo propio");
constexpr qsizetype BufferSize = 1 << 16;
bool standardOutputClosed = false;

struct NamedTemporary
{
    std::atomic<int> state{0}; // 0 free, 1 being filled, 2 named
    wchar_t path[1024];
};
NamedTemporary namedTemporaries[32];

// The first free entry of `table` takes `path`; -1 when none is free.
int rememberIn(NamedTemporary* table, size_t entries, const QString& path)
{
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    if (wide.size() >= std::size(table[0].path))
        return -1;
    for (size_t i = 0; i < entries; ++i) {
        int free = 0;
        if (table[i].state.compare_exchange_strong(free, 1)) {
            std::wmemcpy(table[i].path, wide.c_str(), wide.size() + 1);
            table[i].state.store(2);
            return int(i);
        }
    }
    return -1;
}

int rememberTemporary(const QString& path)
{
    return rememberIn(namedTemporaries, std::size(namedTemporaries), path);
}

void forgetTemporary(int& slot)
{
    if (slot >= 0)
        namedTemporaries[slot].state.store(0);
    slot = -1;
}

// Scratch folders, for the console handler to remove whole.
NamedTemporary namedFolders[8];

int rememberFolder(const QString& path)
{
    return rememberIn(namedFolders, std::size(namedFolders), path);
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

void removeNamedTemporaries()
{
    for (NamedTemporary& t : namedTemporaries)
        if (t.state.load() == 2)
            DeleteFileW(t.path);
    for (NamedTemporary& t : namedFolders)
        if (t.state.load() == 2)
            removeFolderNow(t.path);
}

char interruptionNotes[2][2048];
std::atomic<int> currentNote{-1};
std::atomic<bool> stopping{false};
HANDLE handlerError = INVALID_HANDLE_VALUE;

void writeToHandler(const char* text)
{
    DWORD done = 0;
    if (handlerError != INVALID_HANDLE_VALUE)
        WriteFile(handlerError, text, DWORD(std::strlen(text)), &done, nullptr);
}

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
    removeNamedTemporaries();
    const int note = stopping.exchange(true) ? -1 : currentNote.load();
    if (note >= 0) {
        writeToHandler("rp_oproduccion: interrumpido por ");
        writeToHandler(what);
        writeToHandler(" ");
        writeToHandler(interruptionNotes[note]);
        writeToHandler("\r\n");
    }
    // The code a console gives a program ended by Ctrl+C.
    TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
    return TRUE;
}

// The system's error as the errno value the shared messages know.
int errnoFor(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        return EBUSY;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
        return EPIPE;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_CRC:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return EIO;
    default:
        return 0;
    }
}

int errorNumberFor(int error)
{
    switch (error) {
    case ENOSPC:
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

std::wstring wide(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why,
                       int number = ErrorNumber::FileAccess, const QString& origin = Origin)
{
    const QString where = path.isEmpty() ? QStringLiteral("la salida estándar")
                                         : QStringLiteral("«%1»").arg(native(path));
    throw RuntimeError(number, QStringLiteral("%1 %2: %3").arg(what, where, why), origin);
}

[[noreturn]] void failErrno(const QString& what, const QString& path, int error)
{
    fail(what, path, reason(error), errorNumberFor(error));
}

QString systemReason(DWORD error)
{
    if (const int e = errnoFor(error))
        return reason(e);
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString said = text ? QString::fromWCharArray(text).trimmed() : QString();
    LocalFree(text);
    return QStringLiteral("%1 (error %2 del sistema)").arg(said).arg(error);
}

[[noreturn]] void failSystem(const QString& what, const QString& path, DWORD error)
{
    const int e = errnoFor(error);
    fail(what, path, systemReason(error), e ? errorNumberFor(e) : ErrorNumber::FileAccess);
}

const QString OwnLinkRefused =
    QStringLiteral("es un enlace simbólico o una unión de carpetas, y el programa no escribe sus "
                   "propios archivos a través de un enlace");

// A handle on a file or folder that is only looked at, never written: links
// followed unless `ownName` asks for the link itself.
HANDLE openToLook(const QString& path, bool ownName)
{
    return CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | (ownName ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                       nullptr);
}

// The path a handle really names, every link and junction followed.
QString finalPath(HANDLE handle)
{
    wchar_t path[32768];
    const DWORD n = GetFinalPathNameByHandleW(handle, path, DWORD(std::size(path)),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= std::size(path))
        return {};
    QString p = QString::fromWCharArray(path, int(n));
    if (p.startsWith(u"\\\\?\\UNC\\"))
        p = QStringLiteral("\\\\") + p.mid(8);
    else if (p.startsWith(u"\\\\?\\"))
        p = p.mid(4);
    return QDir::fromNativeSeparators(p);
}

// A device (NUL, CON, a pipe): written to directly.
bool isDevice(const QString& path)
{
    static const QStringList names = {QStringLiteral("NUL"), QStringLiteral("CON"), QStringLiteral("PRN"),
                                      QStringLiteral("AUX"), QStringLiteral("CONOUT$")};
    const QString base = QFileInfo(path).completeBaseName().toUpper();
    return names.contains(base) || (base.size() == 4 && (base.startsWith(u"COM") || base.startsWith(u"LPT")) && base.at(3).isDigit()) ||
           path.startsWith(u"//./") || path.startsWith(u"\\\\.\\");
}

int openDevice(const QString& path, const QString& target)
{
    const HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failSystem(QStringLiteral("No se puede escribir en"), target, GetLastError());
    const int fd = _open_osfhandle(intptr_t(h), _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        failErrno(QStringLiteral("No se puede escribir en"), target, EMFILE);
    }
    return fd;
}

int copyStandardOutput(const QString& target)
{
    const int copy = _dup(1);
    if (copy < 0 || standardOutputClosed)
        fail(QStringLiteral("No se puede escribir en"), target,
             QStringLiteral("el programa se inició con la salida estándar cerrada"));
    // Bytes as they are: the C library's text mode would add a carriage return to each line.
    _setmode(copy, _O_BINARY);
    return copy;
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
};

// A file that may be replaced: not read-only, and not held open by a program
// that forbids writing it (the operator's spreadsheet program does).
void checkReplaceable(const QString& full, const QString& target)
{
    const DWORD attributes = GetFileAttributesW(wide(full).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        fail(QStringLiteral("No se puede reemplazar el archivo"), target,
             QStringLiteral("está marcado como de solo lectura"), ErrorNumber::PermissionDenied);
    const HANDLE h = CreateFileW(wide(full).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failSystem(QStringLiteral("No se puede reemplazar el archivo"), target, GetLastError());
    CloseHandle(h);
}

// The folder a target goes into, every link followed; raises when missing.
QString resolveFolder(const QString& folder, const QString& target)
{
    const HANDLE h = openToLook(folder, false);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            fail(QStringLiteral("No se puede guardar el archivo"), target,
                 QStringLiteral("la carpeta no existe"));
        failSystem(QStringLiteral("No se puede guardar el archivo"), target, error);
    }
    const QString real = finalPath(h);
    CloseHandle(h);
    return real.isEmpty() ? folder : real;
}

// Whether the name itself is a link or a junction. Windows marks one as a
// reparse point; where that mark is not shown (Wine's links are the host
// system's), the file the name opens lies under another path.
bool namesLink(const QString& path)
{
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return true;
    const QFileInfo info(QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath()));
    const HANDLE file = openToLook(info.filePath(), false);
    const HANDLE folder = openToLook(info.path(), false);
    const QString real = file != INVALID_HANDLE_VALUE ? finalPath(file) : QString();
    const QString realFolder = folder != INVALID_HANDLE_VALUE ? finalPath(folder) : QString();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (folder != INVALID_HANDLE_VALUE)
        CloseHandle(folder);
    if (real.isEmpty() || realFolder.isEmpty())
        return false;
    return real.compare(QDir(realFolder).filePath(info.fileName()), Qt::CaseInsensitive) != 0;
}

Resolved resolve(const QString& target, bool own)
{
    const QString what = QStringLiteral("No se puede guardar el archivo");
    if (target.trimmed().isEmpty())
        fail(what, target, QStringLiteral("falta el nombre del archivo"));
    const QString path = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(target)).absoluteFilePath());
    if (target.endsWith(u'/') || target.endsWith(u'\\'))
        failErrno(what, target, EISDIR);
    if (!own && isDevice(target))
        return {Resolved::Device, target, openDevice(target, target)};
    const QFileInfo info(path);
    const QString folder = resolveFolder(info.path(), target);
    QString full = QDir(folder).filePath(info.fileName());
    const HANDLE h = openToLook(full, own);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return {Resolved::Missing, full};
        failSystem(what, target, error);
    }
    BY_HANDLE_FILE_INFORMATION st{};
    const bool known = GetFileInformationByHandle(h, &st);
    const DWORD type = GetFileType(h);
    if (!own) {
        if (const QString real = finalPath(h); !real.isEmpty())
            full = real;
    }
    CloseHandle(h);
    if (!known)
        failSystem(what, target, GetLastError());
    if (own && ((st.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || namesLink(full)))
        fail(what, target, OwnLinkRefused, ErrorNumber::PermissionDenied, LinkOrigin);
    if (st.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        failErrno(what, target, EISDIR);
    if (type != FILE_TYPE_DISK) {
        if (own)
            fail(what, target, QStringLiteral("no es un archivo común"));
        return {Resolved::Device, full, openDevice(full, target)};
    }
    checkReplaceable(full, target);
    return {Resolved::Regular, full};
}

QString temporaryName(const QString& folder, const QString& stem, const QString& tail)
{
    return QDir(folder).filePath(QStringLiteral(".%1-%2.part").arg(stem.left(100), tail));
}

// Six letters or digits, for a name nobody else chose.
QString randomTail()
{
    static const QString letters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");
    QString tail;
    for (int i = 0; i < 6; ++i)
        tail += letters.at(QRandomGenerator::global()->bounded(int(letters.size())));
    return tail;
}

// A new, empty, hidden file in `folder`, open for writing, that other
// programs may read and the writer may open again by name.
int createTemporary(const QString& folder, const QString& stem, QString& path, int& slot)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString tail = randomTail();
        const QString name = temporaryName(folder, stem, tail);
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

// Writes all of `size` bytes; 0, or the error as an errno value.
int writeAll(int fd, const char* data, size_t size)
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

} // namespace

QString reason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("no queda espacio en el disco");
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
        return QStringLiteral("hay demasiados enlaces en la ruta");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case EBUSY:
        return QStringLiteral("el archivo está en uso por otro programa (¿abierto en la planilla?)");
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

bool refusedLink(const RuntimeError& error)
{
    return error.source() == LinkOrigin;
}

void refuseLink(const QString& path)
{
    if (namesLink(path))
        fail(QStringLiteral("No se puede usar el archivo"), path, OwnLinkRefused,
             ErrorNumber::PermissionDenied, LinkOrigin);
}

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

void abandonRun(const QString& line, int status)
{
    removeNamedTemporaries();
    writeToHandler(QByteArray(line.toUtf8() + "\r\n").constData());
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
            --cut;
        bytes.truncate(cut);
    }
    std::memcpy(interruptionNotes[next], bytes.constData(), size_t(bytes.size()));
    interruptionNotes[next][bytes.size()] = '\0';
    currentNote.store(next);
}

QString identity(const QString& target)
{
    if (target.trimmed().isEmpty() || isDevice(target))
        return {};
    const QString path = QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(target)).absoluteFilePath());
    const HANDLE h = openToLook(path, false);
    if (h == INVALID_HANDLE_VALUE) {
        // Not there yet: its folder as it really is, and the name, which
        // Windows compares without regard to case.
        const QFileInfo info(path);
        const HANDLE folder = openToLook(info.path(), false);
        if (folder == INVALID_HANDLE_VALUE)
            return path.toLower();
        const QString real = finalPath(folder);
        CloseHandle(folder);
        return QDir(real.isEmpty() ? info.path() : real).filePath(info.fileName()).toLower();
    }
    BY_HANDLE_FILE_INFORMATION st{};
    const bool known = GetFileInformationByHandle(h, &st);
    const DWORD type = GetFileType(h);
    CloseHandle(h);
    if (type != FILE_TYPE_DISK)
        return {};
    if (!known)
        return path.toLower();
    // Hard links are the same file under two names.
    return QStringLiteral("%1:%2:%3")
        .arg(st.dwVolumeSerialNumber)
        .arg(st.nFileIndexHigh)
        .arg(st.nFileIndexLow);
}

void appendToOwnFile(const QString& path, const QByteArray& bytes)
{
    const QString what = QStringLiteral("No se puede escribir en");
    if (namesLink(path))
        fail(what, path, OwnLinkRefused, ErrorNumber::PermissionDenied, LinkOrigin);
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
        refused = OwnLinkRefused;
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
    if (refused == OwnLinkRefused)
        fail(what, path, refused, ErrorNumber::PermissionDenied, LinkOrigin);
    if (!refused.isEmpty())
        fail(what, path, refused, ErrorNumber::PermissionDenied);
    if (error)
        failSystem(what, path, error);
}

namespace {
const QString ScratchPrefix = QStringLiteral(".rp_oproduccion-temporal-");

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
} // namespace

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
        if (CreateDirectoryW(QDir::toNativeSeparators(path).toStdWString().c_str(), nullptr)) {
            SetFileAttributesW(QDir::toNativeSeparators(path).toStdWString().c_str(),
                               FILE_ATTRIBUTE_HIDDEN);
            m_path = path;
            m_slot = rememberFolder(path);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            errno = errnoFor(GetLastError());
            return;
        }
    }
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.isEmpty())
        return;
    removeFolderNow(QDir::toNativeSeparators(m_path).toStdWString().c_str());
    if (m_slot >= 0)
        namedFolders[m_slot].state.store(0);
}

Output::Output(QString target) : m_target(std::move(target)), m_kind(Kind::Replace) {}

Output::Output(OwnFile own) : m_target(std::move(own.path)), m_kind(Kind::Replace), m_own(true) {}

Output::Output(StandardOutput) : m_kind(Kind::Direct), m_standardOutput(true) {}

Output::Output(NewFileIn where)
    : m_target(QDir(where.folder).filePath(where.stem + u'.' + where.extension)),
      m_resolved(std::move(where.folder)), m_stem(std::move(where.stem)),
      m_extension(std::move(where.extension)), m_kind(Kind::New)
{
}

Output::~Output()
{
    if (m_fd >= 0)
        _close(m_fd);
    if (m_stagingFd >= 0)
        _close(m_stagingFd);
    if (!m_committed && !m_temporary.isEmpty())
        DeleteFileW(wide(m_temporary).c_str());
    if (!m_staging.isEmpty())
        DeleteFileW(wide(m_staging).c_str());
    forgetTemporary(m_slot);
    forgetTemporary(m_stagingSlot);
}

void Output::begin()
{
    if (m_standardOutput) {
        std::fflush(stdout);
        m_fd = copyStandardOutput(m_target);
    } else if (m_kind == Kind::New) {
        if (!QFileInfo(m_resolved).isDir())
            fail(QStringLiteral("No se puede guardar el archivo"), m_target,
                 QStringLiteral("la carpeta no existe"));
        m_fd = createTemporary(m_resolved, m_stem, m_temporary, m_slot);
    } else {
        const Resolved r = resolve(m_target, m_own);
        m_resolved = r.path;
        if (r.kind == Resolved::Device) {
            m_kind = Kind::Direct;
            m_fd = r.fd;
        } else {
            const QFileInfo info(r.path);
            m_fd = createTemporary(info.path(), info.completeBaseName(), m_temporary, m_slot);
        }
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString Output::writePath()
{
    if (m_kind != Kind::Direct)
        return m_temporary;
    if (m_staging.isEmpty())
        m_stagingFd = createTemporary(QDir::tempPath(), QStringLiteral("rp_oproduccion"), m_staging,
                                      m_stagingSlot);
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
    // A console or a pipe has nothing to make durable.
    if (m_kind != Kind::Direct && !FlushFileBuffers(HANDLE(_get_osfhandle(m_fd))))
        failSystem(QStringLiteral("No se pudo escribir en"), m_target, GetLastError());
    {
        const int fd = m_fd;
        m_fd = -1;
        if (_close(fd) != 0)
            failWriting(errno);
    }
    QString final = m_standardOutput         ? QStringLiteral("-")
                    : m_kind == Kind::Direct ? m_target
                                             : m_resolved;
    if (m_kind == Kind::Replace)
        replaceTarget();
    else if (m_kind == Kind::New)
        final = placeNew();
    m_committed = true;
    forgetTemporary(m_slot);
    return final;
}

void Output::replaceTarget()
{
    const std::wstring from = wide(m_temporary), to = wide(m_resolved);
    // ReplaceFileW keeps what the replaced file had (permissions, attributes);
    // a new file simply takes the temporary's name.
    BOOL done = GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES
                    ? ReplaceFileW(to.c_str(), from.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                    : MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!done)
        failSystem(QStringLiteral("No se puede guardar el archivo"), m_target, GetLastError());
    // The temporary was hidden; what takes its place is not.
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN))
        SetFileAttributesW(to.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
}

QString Output::placeNew()
{
    const std::wstring from = wide(m_temporary);
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? m_stem + u'.' + m_extension
                                    : QStringLiteral("%1-%2.%3").arg(m_stem).arg(n).arg(m_extension);
        const QString target = QDir(m_resolved).filePath(name);
        // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is
        // taken: no file is ever replaced, even by two exports at once.
        if (MoveFileExW(from.c_str(), wide(target).c_str(), MOVEFILE_WRITE_THROUGH)) {
            const DWORD attributes = GetFileAttributesW(wide(target).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES)
                SetFileAttributesW(wide(target).c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_HIDDEN));
            return target;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            continue;
        failSystem(QStringLiteral("No se puede guardar el archivo"), target, error);
    }
    fail(QStringLiteral("No se puede guardar el archivo"), m_target,
         QStringLiteral("no queda un nombre libre en la carpeta"));
}

// Windows deletes a file opened with FILE_FLAG_DELETE_ON_CLOSE when its last
// handle closes, which the system does for a process it ends in any way
// (Ctrl+C, the task manager).
std::unique_ptr<QFile> scratchFile(const QString& folder, const QString& stem, QString& why)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString tail = randomTail();
        const QString name = QDir(folder).filePath(stem + u'_' + tail);
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
