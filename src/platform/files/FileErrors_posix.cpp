#include "platform/files/FileErrors.h"

#include <cerrno>

namespace fileCommit::detail {

QString wordsOfThisSystem(int error)
{
    switch (error) {
    case EDQUOT:
        return QStringLiteral("se agotó la cuota de disco del usuario");
    case ELOOP:
        return QStringLiteral("hay demasiados enlaces simbólicos en la ruta");
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("el archivo está en uso");
    default:
        return {};
    }
}

bool outOfRoom(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

QString ownLinkRefused()
{
    return QStringLiteral("es un enlace simbólico, y el programa no escribe sus propios archivos a "
                          "través de un enlace");
}

} // namespace fileCommit::detail
