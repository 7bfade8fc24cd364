#include "platform/files/ProgramFolder.h"

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
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && QFileInfo(own).isWritable())
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
