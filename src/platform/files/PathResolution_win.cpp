#include "platform/files/PathResolution.h"

#include "platform/files/FileErrors.h"
#include "platform/files/FileErrors_win.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <iterator>
#include <optional>
#include <windows.h>

// Windows follows links and junctions itself: a handle opened on a name
// tells the path it really reached.
namespace fileCommit::detail {

namespace {

const QString SaveWhat = QStringLiteral("No se puede guardar el archivo");

QString absolute(const QString& target)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(target)).absoluteFilePath());
}

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

// What a look at a name found, without raising: writing and comparing share it.
struct Look
{
    bool opened = false;
    DWORD error = 0; // why it did not open, or why its information is not known
    bool known = false;
    BY_HANDLE_FILE_INFORMATION st{};
    DWORD type = FILE_TYPE_UNKNOWN;
    QString real; // the path reached, links followed; empty when not told
};

Look lookAt(const QString& path, bool ownName)
{
    Look look;
    const HANDLE h = openToLook(path, ownName);
    if (h == INVALID_HANDLE_VALUE) {
        look.error = GetLastError();
        return look;
    }
    look.opened = true;
    look.known = GetFileInformationByHandle(h, &look.st);
    if (!look.known)
        look.error = GetLastError();
    look.type = GetFileType(h);
    look.real = finalPath(h);
    CloseHandle(h);
    return look;
}

// The folder as it really is; none when it cannot be opened (`error` says why).
std::optional<QString> realFolder(const QString& folder, DWORD& error)
{
    const Look look = lookAt(folder, false);
    if (!look.opened) {
        error = look.error;
        return std::nullopt;
    }
    return look.real.isEmpty() ? folder : look.real;
}

// The folder a target goes into, every link followed; raises when missing.
QString resolveFolder(const QString& folder, const QString& target)
{
    DWORD error = 0;
    if (const auto real = realFolder(folder, error))
        return *real;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        fail(SaveWhat, target, QStringLiteral("la carpeta no existe"));
    failSystem(SaveWhat, target, error);
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

Resolved lookUp(const QString& target, bool own)
{
    if (!own && isDevice(target))
        return {Resolved::Device, target, openDevice(target, target)};
    const QFileInfo info(absolute(target));
    QString full = QDir(resolveFolder(info.path(), target)).filePath(info.fileName());
    const Look look = lookAt(full, own);
    if (!look.opened) {
        if (look.error == ERROR_FILE_NOT_FOUND)
            return {Resolved::Missing, full};
        failSystem(SaveWhat, target, look.error);
    }
    if (!own && !look.real.isEmpty())
        full = look.real;
    if (!look.known)
        failSystem(SaveWhat, target, look.error);
    if (own && ((look.st.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || namesLink(full)))
        fail(SaveWhat, target, ownLinkRefused(), ErrorNumber::PermissionDenied, LinkOrigin);
    if (look.st.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        failErrno(SaveWhat, target, EISDIR);
    if (look.type != FILE_TYPE_DISK) {
        if (own)
            fail(SaveWhat, target, QStringLiteral("no es un archivo común"));
        return {Resolved::Device, full, openDevice(full, target)};
    }
    checkReplaceable(full, target);
    return {Resolved::Regular, full};
}

// Hard links are the same file under two names.
QString fileIdentity(const BY_HANDLE_FILE_INFORMATION& st)
{
    return QStringLiteral("%1:%2:%3")
        .arg(st.dwVolumeSerialNumber)
        .arg(st.nFileIndexHigh)
        .arg(st.nFileIndexLow);
}

} // namespace

Resolved followLinks(const QString& target)
{
    return lookUp(target, false);
}

Resolved resolveOwn(const QString& target)
{
    checkNamesFile(target);
    return lookUp(target, true);
}

QString identityOfFile(const QString& target)
{
    if (isDevice(target))
        return {};
    const QString path = absolute(target);
    const Look look = lookAt(path, false);
    if (!look.opened) {
        // Not there yet: its folder as it really is, and the name, which
        // Windows compares without regard to case.
        const QFileInfo info(path);
        DWORD error = 0;
        const auto folder = realFolder(info.path(), error);
        return folder ? QDir(*folder).filePath(info.fileName()).toLower() : path.toLower();
    }
    // Devices and pipes: no file to share.
    if (look.type != FILE_TYPE_DISK)
        return {};
    return look.known ? fileIdentity(look.st) : path.toLower();
}

QString standardOutputIdentity()
{
    const intptr_t handle = _get_osfhandle(1);
    BY_HANDLE_FILE_INFORMATION st{};
    if (handle == -1 || handle == -2 || GetFileType(HANDLE(handle)) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(HANDLE(handle), &st))
        return {};
    return fileIdentity(st);
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
    const QFileInfo info(absolute(path));
    const QString real = lookAt(info.filePath(), false).real;
    const QString folder = lookAt(info.path(), false).real;
    if (real.isEmpty() || folder.isEmpty())
        return false;
    return real.compare(QDir(folder).filePath(info.fileName()), Qt::CaseInsensitive) != 0;
}

} // namespace fileCommit::detail
