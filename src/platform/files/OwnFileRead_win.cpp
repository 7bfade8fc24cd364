#include "platform/files/OwnFileRead.h"

#include <QFile>
#include <QFileInfo>

namespace fileCommit {

// Windows keeps no pipe in a folder; a folder or a device in the file's
// place is named, as on Linux.
std::optional<QByteArray> readOwnFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    if (info.isDir())
        refuseOwnRead(path, QStringLiteral("es una carpeta, no un archivo"));
    if (!info.isFile())
        refuseOwnRead(path, QStringLiteral("no es un archivo común"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuseOwnRead(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        refuseOwnRead(path, file.errorString());
    return bytes;
}

} // namespace fileCommit
