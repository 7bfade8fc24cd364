#include "platform/files/ExportFolder.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QStandardPaths>

QString exportFolder()
{
    QString folder = qEnvironmentVariable("RP_CARPETA_EXPORTACION");
    if (folder.isEmpty()) {
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (documents.isEmpty())
            documents = QDir::homePath();
        folder = documents + QStringLiteral("/rp_oproduccion");
    }
    if (!QDir().mkpath(folder))
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se puede crear la carpeta de exportación «%1»")
                               .arg(QDir::toNativeSeparators(folder)),
                           QStringLiteral("Exportación"));
    return QDir(folder).absolutePath();
}
