#include "session/LineaComandos.h"

#include "platform/text/RuntimeError.h"

namespace LineaComandos {

QString DelProceso(const QStringList& argumentos)
{
    return argumentos.mid(1).join(u' ');
}

QString ValorCrudo(const QString& linea, const QString& clave)
{
    for (qsizetype posicion = linea.indexOf(clave, 0, Qt::CaseInsensitive); posicion >= 0;
         posicion = linea.indexOf(clave, posicion + 1, Qt::CaseInsensitive)) {
        // Inside another pair's value the key is only text.
        qsizetype antes = posicion;
        while (antes > 0 && linea.at(antes - 1).isSpace())
            --antes;
        if (antes > 0 && linea.at(antes - 1) != u';')
            continue;
        qsizetype igual = posicion + clave.size();
        while (igual < linea.size() && linea.at(igual).isSpace())
            ++igual;
        if (igual >= linea.size() || linea.at(igual) != u'=')
            continue;
        const qsizetype fin = linea.indexOf(u';', igual);
        if (fin < 0)
            throw RuntimeError(ErrorNumber::InvalidArgument,
                               QStringLiteral("Llamada a procedimiento o argumento no válido: %1 "
                                              "sin \";\" de cierre")
                                   .arg(clave),
                               QStringLiteral("IniciarSesion"));
        return linea.mid(igual + 1, fin - igual - 1);
    }
    return {};
}

QString Valor(const QString& linea, const QString& clave)
{
    return ValorCrudo(linea, clave).trimmed();
}

} // namespace LineaComandos
