#include "report/TotalesInsumo.h"

#include "platform/controls/GridModel.h"
#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"
#include "report/ResumenCarga.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Total
{
    QString codigo;
    QString descripcion;
    QString pesoEspecifico;
    qint64 kilos = 0; // in the currency's units: sums exact to the last cent
    QSet<int> lineas; // by the row of their order line
    QSet<QString> ordenes;
    QSet<int> incompletas;
    qint64 kilosIncompletos = 0;
};

// Adds a row's kilograms to a total in the currency's fixed point; a total
// beyond the currency's range stops the totals as a row beyond it stops the
// load, naming what it was summing.
void sumar(qint64& total, qint64 unidades, const QString& que)
{
    if (__builtin_add_overflow(total, unidades, &total))
        throw RuntimeError(ErrorNumber::Overflow,
                           QStringLiteral("Desbordamiento: los kilogramos de %1 suman más que "
                                          "el rango de un importe (922.337.203.685.477,5807)")
                               .arg(que),
                           QStringLiteral("TotalesInsumo"));
}

// Kilograms as the result grid writes numbers (the system's decimal
// separator, nothing grouped), two decimals rounded half away from zero,
// written from the fixed point without passing through a double.
QString textoKilos(qint64 unidades, QChar separador)
{
    constexpr qint64 Paso = Currency::Scale / 100;
    const bool negativo = unidades < 0;
    // Rounded on the magnitude, as unsigned, so that the most negative amount fits.
    quint64 centavos = negativo ? quint64(0) - quint64(unidades) : quint64(unidades);
    centavos = (centavos + Paso / 2) / Paso;
    const quint64 enteros = centavos / 100;
    const quint64 resto = centavos % 100;
    return (negativo && centavos != 0 ? QStringLiteral("-") : QString()) +
           QString::number(enteros) + separador + (resto < 10 ? QStringLiteral("0") : QString()) +
           QString::number(resto);
}

void iniciar(GridModel& totales, int filas)
{
    struct Columna
    {
        const char16_t* titulo;
        int ancho;
    };
    static constexpr Columna Titulos[TotalesInsumo::Columnas] = {
        {u"", 10},          {u"Insumo", 2500},      {u"Descripción", 4500},
        {u"PE", 1200},      {u"Kg", 1500},          {u"Líneas", 1000},
        {u"Órdenes", 1000}, {u"Incompletas", 1300}, {u"Kg incompletos", 1800}};
    totales.clear();
    totales.setCols(TotalesInsumo::Columnas);
    totales.setRows(filas);
    for (int c = 0; c < TotalesInsumo::Columnas; ++c) {
        totales.setText(0, c, QString::fromUtf16(Titulos[c].titulo));
        totales.setColWidth(c, Titulos[c].ancho);
    }
}

} // namespace

void TotalesInsumo::Calcular(const GridModel& resultado, GridModel& totales)
{
    std::vector<Total> lista;
    QHash<QString, size_t> dondeEsta;
    int lineasCargadas = 0;
    QSet<int> lineas;
    QSet<QString> ordenes;
    QSet<int> incompletas;
    ResumenCarga::Recorrer(
        resultado,
        [&](const ResumenCarga::Insumo& s) {
            const QString codigo = resultado.text(s.fila, 2);
            auto hallado = dondeEsta.constFind(codigo);
            if (hallado == dondeEsta.cend()) {
                hallado = dondeEsta.insert(codigo, lista.size());
                Total nuevo;
                nuevo.codigo = codigo.isEmpty() ? QStringLiteral("(sin código)") : codigo;
                nuevo.descripcion = resultado.text(s.fila, 3);
                nuevo.pesoEspecifico = resultado.text(s.fila, 5);
                lista.push_back(std::move(nuevo));
            }
            Total& t = lista[*hallado];
            if (t.pesoEspecifico.trimmed().isEmpty())
                t.pesoEspecifico = resultado.text(s.fila, 5);
            const qint64 unidades = Currency::fromShownNumber(s.kilos).units();
            const QString material = QStringLiteral("el insumo ") + t.codigo;
            sumar(t.kilos, unidades, material);
            t.lineas.insert(s.filaLinea);
            t.ordenes.insert(s.orden);
            lineas.insert(s.filaLinea);
            ordenes.insert(s.orden);
            if (s.incompleta()) {
                sumar(t.kilosIncompletos, unidades, material);
                t.incompletas.insert(s.filaLinea);
                incompletas.insert(s.filaLinea);
            }
        },
        [&](int) { ++lineasCargadas; });
    const int sinLista = lineasCargadas - int(lineas.size());
    // Heaviest first; equal weights by code, so the order never depends on
    // the load's.
    std::stable_sort(lista.begin(), lista.end(), [](const Total& a, const Total& b) {
        return a.kilos != b.kilos ? a.kilos > b.kilos : a.codigo < b.codigo;
    });

    const QChar separador = QLocale::system().decimalPoint().front();
    totales.setUpdatesSuspended(true);
    iniciar(totales, int(lista.size()) + (lista.empty() ? 1 : 2) + (sinLista > 0 ? 1 : 0));
    int r = 1;
    qint64 suma = 0;
    qint64 sumaIncompletos = 0;
    const QString todos = QStringLiteral("todos los insumos");
    for (const Total& t : lista) {
        totales.setText(r, 1, t.codigo);
        totales.setText(r, 2, t.descripcion);
        totales.setText(r, 3, t.pesoEspecifico);
        totales.setText(r, 4, textoKilos(t.kilos, separador));
        totales.setText(r, 5, QString::number(t.lineas.size()));
        totales.setText(r, 6, QString::number(t.ordenes.size()));
        totales.setText(r, 7, QString::number(t.incompletas.size()));
        totales.setText(r, 8, textoKilos(t.kilosIncompletos, separador));
        sumar(suma, t.kilos, todos);
        sumar(sumaIncompletos, t.kilosIncompletos, todos);
        ++r;
    }
    if (!lista.empty()) {
        // Lines and orders that use any supply, each once.
        totales.setText(r, 1, QStringLiteral("Total"));
        totales.setText(r, 4, textoKilos(suma, separador));
        totales.setText(r, 5, QString::number(lineas.size()));
        totales.setText(r, 6, QString::number(ordenes.size()));
        totales.setText(r, 7, QString::number(incompletas.size()));
        totales.setText(r, 8, textoKilos(sumaIncompletos, separador));
        for (int c = 1; c < Columnas; ++c)
            totales.setFontBold(r, c, true);
        ++r;
    }
    if (sinLista > 0)
        totales.setText(r, 2,
                        sinLista == 1 ? QStringLiteral("1 línea sin lista de materiales")
                                      : QStringLiteral("%1 líneas sin lista de materiales")
                                            .arg(ResumenCarga::Cifra(sinLista, 0)));
    totales.setUpdatesSuspended(false);
}

QVariant TotalesInsumo::Modelo::data(const QModelIndex& index, int role) const
{
    const QVariant valor = GridModel::data(index, role);
    if (role != Qt::DisplayRole || index.column() < 4)
        return valor;
    // Written by Calcular: the system's decimal separator, nothing grouped.
    // The digits are grouped as they stand: read back into a double, a total
    // of sixteen digits would lose its cents on the screen.
    const QLocale sistema = QLocale::system();
    static const QRegularExpression cifra(u"^-?\\d+(?:"_s +
                                          QRegularExpression::escape(sistema.decimalPoint()) +
                                          u"\\d+)?$"_s);
    const QString texto = valor.toString();
    if (!cifra.match(texto).hasMatch() || sistema.numberOptions() & QLocale::OmitGroupSeparator)
        return valor;
    const qsizetype inicio = texto.startsWith(u'-') ? 1 : 0;
    const qsizetype punto = texto.indexOf(sistema.decimalPoint());
    const qsizetype fin = punto < 0 ? texto.size() : punto;
    QString agrupado = texto.left(inicio);
    for (qsizetype i = inicio; i < fin; ++i) {
        if (i > inicio && (fin - i) % 3 == 0)
            agrupado += sistema.groupSeparator();
        agrupado += texto.at(i);
    }
    return QString(agrupado + texto.mid(fin));
}
