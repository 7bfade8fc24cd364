#include "platform/files/ProgramFolder.h"

#include "platform/files/FolderAccess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programFolder()
{
    const QString forced = qEnvironmentVariable("RP_CARPETA_PROGRAMA");
    if (!forced.isEmpty()) {
        QDir().mkpath(forced);
        return QDir(forced).absolutePath();
    }
    // An installed program never writes among the system's programs, not
    // even when run by root, who may write there.
    const QString own = QCoreApplication::applicationDirPath();
    static const QStringList sistema = {
        QStringLiteral("/usr/bin"),  QStringLiteral("/usr/local/bin"),  QStringLiteral("/bin"),
        QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"), QStringLiteral("/sbin"),
        QStringLiteral("/usr/games")};
    if (!own.isEmpty() && folderTakesFiles(own) &&
        !sistema.contains(QFileInfo(own).canonicalFilePath()))
        return own;
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    data += QStringLiteral("/rp_oproduccion");
    QDir().mkpath(data);
    return data;
}

QString programName()
{
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("rp_oproduccion") : QFileInfo(path).completeBaseName();
}

QString dataFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' +
                           QStringLiteral(RP_DATOS_DESDE_BIN));
}
