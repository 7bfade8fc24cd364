#include "components/CompReportes.h"

#include "components/Componentes.h"
#include "platform/text/RuntimeError.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString Origen = QStringLiteral("CompReportes.ArmarFiltroSQL");

bool esNumerico(qint16 tipo)
{
    // Integer, floating, currency and decimal type codes.
    switch (tipo) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 14:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 131:
    case 139:
        return true;
    default:
        return false;
    }
}

QDate fechaValida(const QString& texto)
{
    const QDate fecha = CompReportes::LeerFecha(texto);
    if (!fecha.isValid())
        throw RuntimeError(ErrorNumber::TypeMismatch,
                           QStringLiteral("\"%1\" no es una fecha válida: escríbala como "
                                          "día/mes/año, por ejemplo 05/11/2026")
                               .arg(texto),
                           Origen);
    return fecha;
}

QString numero(const QString& texto)
{
    Currency valor;
    if (!Currency::parse(texto, valor))
        throw RuntimeError(ErrorNumber::TypeMismatch,
                           QStringLiteral("\"%1\" no es un número válido").arg(texto), Origen);
    return valor.toString();
}

} // namespace

QDate CompReportes::LeerFecha(const QString& texto)
{
    static const QRegularExpression forma(
        QStringLiteral("^\\s*(\\d{1,2})[/.-](\\d{1,2})[/.-](\\d{4}|\\d{2})\\s*$"));
    const QRegularExpressionMatch m = forma.match(texto);
    if (!m.hasMatch())
        return {};
    int anio = m.captured(3).toInt();
    if (m.captured(3).size() == 2)
        anio += anio < 30 ? 2000 : 1900; // the workstations' two-digit year window
    return QDate(anio, m.captured(2).toInt(), m.captured(1).toInt());
}

QString CompReportes::ArmarFiltroSQL(const ListaRangos& rangos) const
{
    return ArmarFiltroSQL(rangos, Componentes::Datos().Motor());
}

QString CompReportes::ArmarFiltroSQL(const ListaRangos& rangos, SqlBackend motor) const
{
    QStringList condiciones;
    for (const RangoFiltro& rango : rangos) {
        const QString desde = rango.Desde.trimmed();
        const QString hasta = rango.Hasta.trimmed();
        const QString& columna = rango.Campo;
        if (rango.TipoDato == RangoFiltro::Fecha) {
            if (!desde.isEmpty())
                condiciones << columna + QStringLiteral(" >= ") +
                                   sqlDateLiteral(fechaValida(desde), motor);
            if (!hasta.isEmpty())
                condiciones << columna + QStringLiteral(" < ") +
                                   sqlDateLiteral(fechaValida(hasta).addDays(1), motor);
        } else if (esNumerico(rango.TipoDato)) {
            if (!desde.isEmpty())
                condiciones << columna + QStringLiteral(" >= ") + numero(desde);
            if (!hasta.isEmpty())
                condiciones << columna + QStringLiteral(" <= ") + numero(hasta);
        } else {
            if (!desde.isEmpty())
                condiciones << columna + QStringLiteral(" >= ") + sqlQuote(desde);
            if (!hasta.isEmpty())
                condiciones << columna + QStringLiteral(" <= ") + sqlQuote(hasta);
        }
    }
    if (condiciones.isEmpty())
        return {};
    return QLatin1Char('(') + condiciones.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}
