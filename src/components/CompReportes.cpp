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

// The first text after every text that begins with `prefijo`, for a prefix
// that ends in digits ("000100000003" gives "000100000004"): digits sort the
// same under every collation, so "col < siguiente" takes every letter after
// the number. Null when there is none (the digits are all nines, or there are
// no digits to count up).
QString siguientePrefijo(const QString& prefijo)
{
    QString siguiente = prefijo;
    for (qsizetype i = siguiente.size() - 1; i >= 0; --i) {
        const QChar c = siguiente.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
        if (c != QLatin1Char('9')) {
            siguiente[i] = QChar(c.unicode() + 1);
            return siguiente;
        }
        siguiente[i] = QLatin1Char('0');
    }
    return {};
}

bool soloNueves(const QString& texto)
{
    return texto.count(QLatin1Char('9')) == texto.size();
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
            // The calendar's last day leaves nothing out after it; the day after
            // it would be a five-digit year, which SQLite compares as text
            // below every date and a server refuses.
            if (!hasta.isEmpty())
                if (const QDate siguiente = fechaValida(hasta).addDays(1); siguiente.year() <= 9999)
                    condiciones << columna + QStringLiteral(" < ") +
                                       sqlDateLiteral(siguiente, motor);
        } else if (esNumerico(rango.TipoDato)) {
            if (!desde.isEmpty())
                condiciones << columna + QStringLiteral(" >= ") + numero(desde);
            if (!hasta.isEmpty())
                condiciones << columna + QStringLiteral(" <= ") + numero(hasta);
        } else {
            if (!desde.isEmpty())
                condiciones << columna + QStringLiteral(" >= ") + sqlQuote(desde);
            if (hasta.isEmpty())
                continue;
            const QString siguiente = rango.HastaPorPrefijo ? siguientePrefijo(hasta) : QString();
            if (!siguiente.isNull())
                condiciones << columna + QStringLiteral(" < ") + sqlQuote(siguiente);
            else if (!rango.HastaPorPrefijo || !soloNueves(hasta))
                condiciones << columna + QStringLiteral(" <= ") + sqlQuote(hasta);
            // Nines alone: every code made of digits begins at or below them.
        }
    }
    if (condiciones.isEmpty())
        return {};
    return QLatin1Char('(') + condiciones.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}
