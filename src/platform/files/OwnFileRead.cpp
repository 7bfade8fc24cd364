#include "platform/files/OwnFileRead.h"

#include "platform/text/RuntimeError.h"

#include <QDir>

namespace fileCommit {

void refuseOwnRead(const QString& path, const QString& why)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se pudo leer el archivo «%1»: %2")
                           .arg(QDir::toNativeSeparators(path), why),
                       QStringLiteral("Archivo propio"));
}

} // namespace fileCommit
