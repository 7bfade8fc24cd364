#include "FuenteOdbc.h"
#include "Soporte.h"

#include "platform/text/RuntimeError.h"

#include <QFile>

// unixODBC reads its sources from the file ODBCINI names: a copy of the
// server's with the new source added, for this process alone.
void soporte::agregarFuenteOdbc(const QString& ini, const QString& nombre, const QString& fuente)
{
    const QString propio =
        carpetaNueva(QStringLiteral("odbc-") + nombre) + QStringLiteral("/odbc.ini");
    QFile salida(propio);
    if (!salida.open(QIODevice::WriteOnly))
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo escribir ") + propio);
    salida.write((ini + QStringLiteral("\n") + fuente).toUtf8());
    salida.close();
    qputenv("ODBCINI", propio.toLocal8Bit());
}
