#include "session/LineaComandos.h"

#include "components/Componentes.h"
#include "platform/text/RuntimeError.h"

namespace LineaComandos {

QString DelProceso(const QStringList& argumentos)
{
    return argumentos.mid(1).join(u' ');
}

QString ValorCrudo(const QString& linea, const QString& clave)
{
    qsizetype posicion = linea.indexOf(clave, 0, Qt::CaseInsensitive);
    while (posicion >= 0) {
        qsizetype siguiente = posicion + clave.size();
        while (siguiente < linea.size() && linea.at(siguiente).isSpace())
            ++siguiente;
        if (siguiente < linea.size() && linea.at(siguiente) == u'=')
            break;
        posicion = linea.indexOf(clave, posicion + 1, Qt::CaseInsensitive);
    }
    if (posicion < 0)
        return {};
    const qsizetype fin = linea.indexOf(u';', posicion);
    if (fin < 0)
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           QStringLiteral("Llamada a procedimiento o argumento no válido: %1 sin "
                                          "\";\" de cierre")
                               .arg(clave),
                           QStringLiteral("IniciarSesion"));
    const qsizetype inicio = posicion + clave.size();
    return linea.mid(inicio, fin - inicio);
}

QString Valor(const QString& linea, const QString& clave)
{
    QString valor = ValorCrudo(linea, clave);
    if (clave.compare(QStringLiteral("@ParametroAdicional"), Qt::CaseInsensitive) == 0) {
        valor = valor.trimmed();
        if (valor.startsWith(u'='))
            valor.remove(0, 1);
        return valor.trimmed();
    }
    return Componentes::General().Reemplazar(valor, QStringLiteral("=")).trimmed();
}

} // namespace LineaComandos
