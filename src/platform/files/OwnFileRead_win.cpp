#include "platform/files/OwnFileRead.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace fileCommit {

namespace {

[[noreturn]] void refuse(const QString& path, const QString& why)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se pudo leer el archivo «%1»: %2")
                           .arg(QDir::toNativeSeparators(path), why),
                       QStringLiteral("Archivo propio"));
}

} // namespace

// Windows keeps no pipe in a folder; a folder or a device in the file's
// place is named, as on Linux.
std::optional<QByteArray> readOwnFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        refuse(path, QStringLiteral("es una carpeta, no un archivo"));
    if (!info.isFile())
        refuse(path, QStringLiteral("no es un archivo común"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        refuse(path, file.errorString());
    return bytes;
}

} // namespace fileCommit
