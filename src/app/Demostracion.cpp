#include "app/Demostracion.h"

#include "platform/files/FileCommit.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Demostracion {

QString Base()
{
    const QString copia = programFolder() + QStringLiteral("/demo.db");
    // The copy is written to (the access log): never the file a planted link names.
    fileCommit::refuseLink(copia);
    if (QFileInfo::exists(copia))
        return copia;
    const QString instalada = dataFolder() + QStringLiteral("/demo.db");
    if (!QFileInfo(instalada).isFile())
        throw RuntimeError(ErrorNumber::FileNotFound,
                           QStringLiteral("No está la base de demostración «%1»: la instalación "
                                          "del programa no la trae.")
                               .arg(QDir::toNativeSeparators(instalada)),
                           QStringLiteral("--demo"));
    QFile origen(instalada);
    if (!origen.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo abrir la base de demostración «%1» (%2).")
                               .arg(QDir::toNativeSeparators(instalada), origen.errorString()),
                           QStringLiteral("--demo"));
    const QByteArray datos = origen.readAll();
    if (origen.error() != QFileDevice::NoError)
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo leer la base de demostración «%1» (%2).")
                               .arg(QDir::toNativeSeparators(instalada), origen.errorString()),
                           QStringLiteral("--demo"));
    fileCommit::Output salida(fileCommit::OwnFile{copia});
    salida.begin();
    salida.write(datos);
    return salida.commit();
}

QString Par()
{
    return QStringLiteral("@DbName=") + Base() + u';';
}

} // namespace Demostracion
