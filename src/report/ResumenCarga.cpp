#include "report/ResumenCarga.h"

#include "platform/controls/GridModel.h"
#include "platform/sql/StatementCancel.h"
#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"
#include "report/CargaOrdenes.h"

#include <QLocale>
#include <QSet>

namespace {

// The kilograms as the load wrote them: the system's decimal separator, or
// a point from a grid filled elsewhere.
double kilosDe(QStringView texto, const QLocale& sistema)
{
    bool leido = false;
    const double kilos = sistema.toDouble(texto.trimmed(), &leido);
    return leido ? kilos : QLocale::c().toDouble(texto.trimmed());
}

// The system locale answers each question anew (a lock and a look-up), which
// on a big grid cost more than the rest of the walk: a plain figure (digits,
// a sign, the decimal separator once) is read with its separator resolved once.
struct Sistema
{
    QLocale locale = QLocale::system();
    QString decimal = locale.decimalPoint();
};

double kilosDe(QStringView texto, const Sistema& sistema)
{
    texto = texto.trimmed();
    if (sistema.decimal.size() == 1 && !texto.isEmpty() && texto.size() < 64) {
        const QChar punto = sistema.decimal.front();
        char simple[64];
        qsizetype n = 0;
        bool valido = true;
        bool conPunto = false;
        const auto digito = [&](qsizetype i) {
            return i >= 0 && i < texto.size() && texto[i] >= u'0' && texto[i] <= u'9';
        };
        for (qsizetype i = 0; valido && i < texto.size(); ++i) {
            const QChar c = texto[i];
            if (digito(i)) {
                simple[n++] = char(c.unicode());
            } else if (c == u'-' && i == 0 && digito(1)) {
                simple[n++] = '-';
            } else if (c == punto && !conPunto && digito(i - 1) && digito(i + 1)) {
                simple[n++] = '.';
                conPunto = true;
            } else {
                valido = false;
            }
        }
        if (valido)
            return QLocale::c().toDouble(QLatin1StringView(simple, n));
    }
    return kilosDe(texto, sistema.locale);
}

enum class Signo
{
    Positivo,
    Cero,
    Negativo,
    NoNumero
};

// The sign of a figure as the estimate took it: read as the amount its text
// is (so "0,00001" is 0, four decimals), a text that is no amount being 0.
Signo signoDe(QStringView texto)
{
    // Most figures are plain numbers starting with a digit other than 0:
    // whatever their separators mean, they are at least 1.
    const bool menos = texto.startsWith(u'-');
    const QStringView cifras = menos ? texto.mid(1) : texto;
    bool simple = !cifras.isEmpty() && cifras.front() >= u'1' && cifras.front() <= u'9';
    for (qsizetype i = 1; simple && i < cifras.size(); ++i)
        simple = (cifras[i] >= u'0' && cifras[i] <= u'9') || cifras[i] == u'.' || cifras[i] == u',';
    if (simple)
        return menos ? Signo::Negativo : Signo::Positivo;
    Currency valor;
    try {
        if (!Currency::parse(texto.toString(), valor))
            return Signo::NoNumero;
    } catch (const RuntimeError&) {
        // Beyond the amounts' range: far from zero, on the side of its sign.
        return menos ? Signo::Negativo : Signo::Positivo;
    }
    return valor.units() > 0 ? Signo::Positivo
                             : (valor.units() < 0 ? Signo::Negativo : Signo::Cero);
}

// Files a figure of the estimate under what it lacks or what is wrong with it.
void revisar(QStringView valor, const QString& nombre, bool femenino, QStringList& faltan,
             QStringList& dudosas)
{
    const QStringView texto = valor.trimmed();
    if (texto.isEmpty()) {
        faltan << nombre;
        return;
    }
    switch (signoDe(texto)) {
    case Signo::Positivo:
        return;
    case Signo::Cero:
        dudosas << nombre + QStringLiteral(" 0");
        return;
    case Signo::Negativo:
        dudosas << nombre + (femenino ? QStringLiteral(" negativa") : QStringLiteral(" negativo"));
        return;
    case Signo::NoNumero:
        dudosas << nombre +
                       (femenino ? QStringLiteral(" no numérica") : QStringLiteral(" no numérico"));
        return;
    }
}

// An order-line cell holds its label ("Ancho ") and the value after it.
QStringView valorDe(QStringView celda, QStringView etiqueta)
{
    return celda.startsWith(etiqueta) ? celda.mid(etiqueta.size()) : celda;
}

constexpr int ColumnaKg = 6;

// A walk over a big grid takes seconds; on a worker asked to stop it stops
// within a few milliseconds (with the cancelled error), the grid as it is.
// A thread that installs no cancel is never stopped.
void seguirSalvoCancelada(int paso)
{
    if (paso % 2048 == 0)
        if (const StatementCancel* cancelacion = StatementCancel::current())
            cancelacion->check();
}

} // namespace

void ResumenCarga::Recorrer(const GridModel& grilla,
                            const std::function<void(const Insumo&)>& insumo,
                            const std::function<void(int fila)>& linea)
{
    if (grilla.cols() < 8)
        return;
    QStringList faltanLinea, dudosasLinea;
    Insumo actual;
    const Sistema sistema;
    bool hayLinea = false;
    // Cells are read as views: every row of a big grid is read three times
    // after each load, and a copy of each text cost more than the reading.
    for (int r = grilla.fixedRows(); r < grilla.rows(); ++r) {
        seguirSalvoCancelada(r - grilla.fixedRows());
        if (grilla.backColor(r, 1) == CargaOrdenes::Verde) {
            hayLinea = true;
            actual.filaLinea = r;
            actual.orden = grilla.text(r, 1);
            faltanLinea.clear();
            dudosasLinea.clear();
            revisar(valorDe(grilla.textView(r, 5), u"Ancho "), QStringLiteral("ancho"), false,
                    faltanLinea, dudosasLinea);
            revisar(valorDe(grilla.textView(r, 6), u"Largo "), QStringLiteral("largo"), false,
                    faltanLinea, dudosasLinea);
            revisar(valorDe(grilla.textView(r, 7), u"Espesor "), QStringLiteral("espesor"), false,
                    faltanLinea, dudosasLinea);
            revisar(grilla.textView(r, 4), QStringLiteral("cantidad"), true, faltanLinea,
                    dudosasLinea);
            if (linea)
                linea(r);
            continue;
        }
        if (!hayLinea)
            continue;
        // A supply without a code (its bill of materials names none) still
        // has its other cells; only the empty row a load leaves at the end
        // has none.
        bool vacia = true;
        for (int c = 2; vacia && c <= ColumnaKg; ++c)
            vacia = grilla.textView(r, c).isEmpty();
        if (vacia)
            continue;
        actual.fila = r;
        actual.kilos = kilosDe(grilla.textView(r, ColumnaKg), sistema);
        actual.faltan = faltanLinea;
        actual.dudosas = dudosasLinea;
        revisar(grilla.textView(r, 5), QStringLiteral("peso específico"), false, actual.faltan,
                actual.dudosas);
        insumo(actual);
    }
}

ResumenCarga ResumenCarga::DeLaGrilla(const GridModel& grilla)
{
    ResumenCarga resumen;
    QSet<QString> ordenes;
    int incompletaContada = -1; // the line last counted as incomplete
    Recorrer(
        grilla,
        [&](const Insumo& s) {
            ++resumen.insumos;
            resumen.kilos += s.kilos;
            if (s.incompleta() && incompletaContada != s.filaLinea) {
                incompletaContada = s.filaLinea;
                ++resumen.incompletas;
            }
        },
        [&](int fila) {
            ++resumen.lineas;
            ordenes.insert(grilla.text(fila, 1));
        });
    resumen.ordenes = int(ordenes.size());
    return resumen;
}

QString ResumenCarga::Texto(qint64 milisegundos) const
{
    if (lineas == 0)
        return QStringLiteral("No hay órdenes que cumplan el filtro");
    return QStringLiteral("Órdenes: %1   Líneas: %2   Insumos: %3   Kg: %4   "
                          "Líneas con estimación incompleta: %5   Tiempo: %6 s")
        .arg(Cifra(ordenes, 0), Cifra(lineas, 0), Cifra(insumos, 0), Cifra(kilos, 2),
             Cifra(incompletas, 0), Cifra(double(milisegundos) / 1000.0, 2));
}

QString ResumenCarga::Cifra(double valor, int decimales)
{
    return operatorFigure(valor, decimales);
}

QString ResumenCarga::Motivo(const QStringList& faltan, const QStringList& dudosas)
{
    if (faltan.isEmpty() && dudosas.isEmpty())
        return {};
    QStringList partes;
    QStringList medidas = faltan;
    const bool sinPeso = medidas.removeAll(QStringLiteral("peso específico")) > 0;
    const bool sinCantidad = medidas.removeAll(QStringLiteral("cantidad")) > 0;
    if (!medidas.isEmpty())
        partes << QStringLiteral("el artículo no tiene ") +
                      (medidas.size() == 1 ? medidas.first()
                                           : medidas.mid(0, medidas.size() - 1).join(u", ") +
                                                 QStringLiteral(" ni ") + medidas.last());
    if (sinCantidad)
        partes << QStringLiteral("la línea no tiene cantidad");
    if (sinPeso)
        partes << QStringLiteral("el insumo no tiene peso específico");
    if (!dudosas.isEmpty())
        partes << dudosas.join(QStringLiteral(", "));
    QString motivo =
        QStringLiteral("Estimación incompleta: ") + partes.join(QStringLiteral("; ")) + u'.';
    if (!faltan.isEmpty())
        motivo += QStringLiteral(" Lo que falta cuenta como cero en los kilogramos.");
    if (!dudosas.isEmpty())
        motivo += QStringLiteral(" Los kilogramos son los que da la fórmula con esos valores.");
    return motivo;
}

void ResumenCarga::MarcarIncompletas(GridModel& grilla)
{
    if (grilla.cols() <= ColumnaKg)
        return;
    const auto limpiar = [&] {
        for (int r = grilla.fixedRows(); r < grilla.rows(); ++r)
            if (!grilla.note(r, ColumnaKg).isEmpty())
                grilla.setNote(r, ColumnaKg, QString());
    };
    limpiar();
    try {
        Recorrer(grilla, [&](const Insumo& s) {
            if (s.incompleta())
                grilla.setNote(s.fila, ColumnaKg, Motivo(s.faltan, s.dudosas));
        });
    } catch (const RuntimeError&) {
        // Marks on the first rows only would pass the rest off as sound.
        limpiar();
        throw;
    }
}
