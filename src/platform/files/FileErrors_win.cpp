#include "platform/files/FileErrors.h"
#include "platform/files/FileErrors_win.h"

#include "platform/files/FileCommit.h"

#include <cerrno>

namespace fileCommit::detail {

QString wordsOfThisSystem(int error)
{
    switch (error) {
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces en la ruta");
    case EBUSY:
        return QStringLiteral("el archivo está en uso por otro programa (¿abierto en la planilla?)");
    default:
        return {};
    }
}

bool outOfRoom(int error)
{
    return error == ENOSPC;
}

QString ownLinkRefused()
{
    return QStringLiteral("es un enlace simbólico o una unión de carpetas, y el programa no escribe "
                          "sus propios archivos a través de un enlace");
}

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

void failSystem(const QString& what, const QString& path, DWORD error)
{
    const int e = errnoFor(error);
    fail(what, path, systemReason(error), e ? errorNumberFor(e) : ErrorNumber::FileAccess);
}

} // namespace fileCommit::detail
