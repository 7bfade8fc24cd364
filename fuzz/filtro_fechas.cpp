// The date ranges of the report filter: CompReportes::ArmarFiltroSQL on what
// an operator may type into the two date boxes.
//
// Input: the from and to texts on the first two lines, the backend in the
// first byte of the third. Oracle: a day/month/year reading written apart
// (its own calendar, the workstations' two-digit year window). A text it
// reads as a real date must give exactly the condition
// "(col >= 'from' AND col < 'the day after to')" with the backend's literal;
// any other text must be refused with the error naming it, before any SQL
// is made; never a date other than the one typed.

#include "Fuzz.h"

#include "components/CompReportes.h"
#include "platform/text/RuntimeError.h"

namespace {

struct Dia
{
    int anio = 0, mes = 0, dia = 0;
};

bool bisiesto(int a)
{
    return (a % 4 == 0 && a % 100 != 0) || a % 400 == 0;
}

int diasDelMes(int a, int m)
{
    static const int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && bisiesto(a) ? 29 : dias[m - 1];
}

// Digits (1 to `max`, or exactly the counts allowed) read at i.
int numero(const QString& s, qsizetype& i, int minimo, int maximo, int& cuantos)
{
    int n = 0;
    cuantos = 0;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && cuantos < maximo) {
        n = n * 10 + (s[i].unicode() - u'0');
        ++i;
        ++cuantos;
    }
    return cuantos >= minimo ? n : -1;
}

bool separador(const QString& s, qsizetype i)
{
    return i < s.size() && (s[i] == u'/' || s[i] == u'.' || s[i] == u'-');
}

std::optional<Dia> leerDia(const QString& texto)
{
    const QString s = texto.trimmed();
    qsizetype i = 0;
    int n = 0;
    Dia d;
    d.dia = numero(s, i, 1, 2, n);
    if (d.dia < 0 || !separador(s, i++))
        return std::nullopt;
    d.mes = numero(s, i, 1, 2, n);
    if (d.mes < 0 || !separador(s, i++))
        return std::nullopt;
    d.anio = numero(s, i, 2, 4, n);
    if (d.anio < 0 || n == 3 || i != s.size())
        return std::nullopt;
    if (n == 2)
        d.anio += d.anio < 30 ? 2000 : 1900;
    if (d.anio < 1 || d.mes < 1 || d.mes > 12 || d.dia < 1 || d.dia > diasDelMes(d.anio, d.mes))
        return std::nullopt;
    return d;
}

Dia siguiente(Dia d)
{
    if (++d.dia > diasDelMes(d.anio, d.mes)) {
        d.dia = 1;
        if (++d.mes > 12) {
            d.mes = 1;
            ++d.anio;
        }
    }
    return d;
}

QString literal(const Dia& d, SqlBackend motor)
{
    const QString sep = motor == SqlBackend::SqlServer ? QString() : QStringLiteral("-");
    return QStringLiteral("'%1%2%3%4%5'")
        .arg(d.anio, 4, 10, QLatin1Char('0'))
        .arg(sep)
        .arg(d.mes, 2, 10, QLatin1Char('0'))
        .arg(sep)
        .arg(d.dia, 2, 10, QLatin1Char('0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QList<QByteArray> c = fuzz::campos(datos, tam, 2);
    const SqlBackend motores[] = {SqlBackend::SqlServer, SqlBackend::PostgreSQL,
                                  SqlBackend::SQLite};
    const SqlBackend motor = motores[(c[2].isEmpty() ? 0 : static_cast<uint8_t>(c[2][0])) % 3];
    RangoFiltro rango;
    rango.Campo = QStringLiteral("V_MV_CPTE.Fecha");
    rango.TipoDato = RangoFiltro::Fecha;
    rango.Desde = QString::fromUtf8(c[0]);
    rango.Hasta = QString::fromUtf8(c[1]);

    QStringList esperadas;
    QString rechazo;
    for (const QString* fin : {&rango.Desde, &rango.Hasta}) {
        if (fin->trimmed().isEmpty())
            continue;
        const std::optional<Dia> d = leerDia(*fin);
        if (!d) {
            if (rechazo.isNull())
                rechazo = fin->trimmed();
            continue;
        }
        if (fin == &rango.Desde)
            esperadas << rango.Campo + QStringLiteral(" >= ") + literal(*d, motor);
        else if (const Dia despues = siguiente(*d); despues.anio <= 9999)
            esperadas << rango.Campo + QStringLiteral(" < ") + literal(despues, motor);
        // The last day the calendar has: nothing lies after it to leave out.
    }

    QString condicion;
    try {
        condicion = CompReportes().ArmarFiltroSQL({rango}, motor);
    } catch (const RuntimeError& e) {
        fuzz::exigir(!rechazo.isNull(), QStringLiteral("«%1» .. «%2» rechazado: %3")
                                            .arg(rango.Desde, rango.Hasta, e.description()));
        fuzz::exigir(e.number() == ErrorNumber::TypeMismatch && e.description().contains(rechazo),
                     QStringLiteral("el rechazo no nombra «%1»: %2").arg(rechazo, e.description()));
        return 0;
    }
    fuzz::exigir(rechazo.isNull(),
                 QStringLiteral("«%1» no es una fecha y se aceptó: %2").arg(rechazo, condicion));
    const QString esperada =
        esperadas.isEmpty() ? QString() : u'(' + esperadas.join(QStringLiteral(" AND ")) + u')';
    fuzz::exigir(condicion == esperada, QStringLiteral("«%1» .. «%2»: «%3», debía ser «%4»")
                                            .arg(rango.Desde, rango.Hasta, condicion, esperada));
    return 0;
}
