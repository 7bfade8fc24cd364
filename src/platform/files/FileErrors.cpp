#include "platform/files/FileErrors.h"

#include "platform/files/FileCommit.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace fileCommit {

namespace detail {

int errorNumberFor(int error)
{
    if (outOfRoom(error))
        return ErrorNumber::DiskFull;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorNumber::PermissionDenied;
    default:
        return ErrorNumber::FileAccess;
    }
}

void fail(const QString& what, const QString& path, const QString& why, int number,
          const QString& origin)
{
    const QString where = path.isEmpty() ? QStringLiteral("la salida estándar")
                                         : QStringLiteral("«%1»").arg(QDir::toNativeSeparators(path));
    throw RuntimeError(number, QStringLiteral("%1 %2: %3").arg(what, where, why), origin);
}

void failErrno(const QString& what, const QString& path, int error)
{
    fail(what, path, reason(error), errorNumberFor(error));
}

} // namespace detail

QString reason(int error)
{
    if (QString words = detail::wordsOfThisSystem(error); !words.isEmpty())
        return words;
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
    case EMFILE:
    case ENFILE:
        return QStringLiteral("hay demasiados archivos abiertos");
    case EEXIST:
        return QStringLiteral("ya existe");
    default:
        return QStringLiteral("%1 (error %2 del sistema)")
            .arg(QString::fromLocal8Bit(std::strerror(error)))
            .arg(error);
    }
}

bool refusedLink(const RuntimeError& error)
{
    return error.source() == detail::LinkOrigin;
}

} // namespace fileCommit
