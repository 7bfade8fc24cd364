#include "report/nucleo/TotalesInsumo.h"

#include "export/GraficoInsumos.h"
#include "platform/controls/GridModel.h"
#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"
#include "report/nucleo/ResultadoCarga.h"
#include "report/nucleo/ResumenCarga.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Adds a row's kilograms to a total in the currency's fixed point; a total
// beyond the currency's range stops the totals as a row beyond it stops the
// load, naming what it was summing.
[[noreturn]] void desborda(const QString& que)
{
    throw RuntimeError(ErrorNumber::Overflow,
                       QStringLiteral("Desbordamiento: los kilogramos de %1 suman más que "
                                      "el rango de un importe (922.337.203.685.477,5807)")
                           .arg(que),
                       QStringLiteral("TotalesInsumo"));
}

void sumar(qint64& total, qint64 unidades, const QString& que)
{
    if (__builtin_add_overflow(total, unidades, &total))
        desborda(que);
}

// Kilograms as the result grid writes numbers: the system's decimal
// separator, nothing grouped.
QString textoKilos(qint64 unidades)
{
    return ResumenCarga::Cifra(unidades, false);
}

void iniciar(GridModel& totales, int filas)
{
    static constexpr int Anchos[TotalesInsumo::Columnas] = {10,   2500, 4500, 1200, 1500,
                                                             1000, 1000, 1300, 1800};
    totales.clear();
    totales.setCols(TotalesInsumo::Columnas);
    totales.setRows(filas);
    for (int c = 0; c < TotalesInsumo::Columnas; ++c) {
        totales.setText(0, c, GraficoInsumos::Titulo(GraficoInsumos::Columna(c)));
        totales.setColWidth(c, Anchos[c]);
    }
}

} // namespace

std::vector<int> TotalesInsumo::Calcular(const ResultadoCarga& resultado, GridModel& totales,
                                         std::optional<GraficoInsumos::Grafico>* grafico)
{
    const std::vector<ResultadoCarga::Material>& materiales = resultado.materiales();
    std::vector<int> lista;
    for (int m = 0; m < int(materiales.size()); ++m) {
        // A material only the rows a cancel dropped had is not in the totals.
        if (materiales[size_t(m)].lineas.empty())
            continue;
        if (materiales[size_t(m)].desborda)
            desborda(QStringLiteral("el insumo ") + materiales[size_t(m)].codigo);
        lista.push_back(m);
    }
    // Heaviest first; equal weights by code, so the order never depends on
    // the load's.
    std::stable_sort(lista.begin(), lista.end(), [&](int a, int b) {
        const ResultadoCarga::Material& x = materiales[size_t(a)];
        const ResultadoCarga::Material& y = materiales[size_t(b)];
        return x.kilos != y.kilos ? x.kilos > y.kilos : x.codigo < y.codigo;
    });
    // Lines and orders that use any supply, each once; lines with an
    // incomplete estimate.
    int conLista = 0, ordenes = 0, incompletas = 0;
    // An order's index is given at its first line: below the lines' count.
    std::vector<bool> ordenVista(resultado.lineas().size(), false);
    for (const ResultadoCarga::Linea& linea : resultado.lineas()) {
        if (linea.insumos == 0)
            continue;
        ++conLista;
        incompletas += linea.incompleta ? 1 : 0;
        if (!ordenVista[size_t(linea.orden)]) {
            ordenVista[size_t(linea.orden)] = true;
            ++ordenes;
        }
    }
    const int sinLista = int(resultado.lineas().size()) - conLista;

    totales.setUpdatesSuspended(true);
    iniciar(totales, int(lista.size()) + (lista.empty() ? 1 : 2) + (sinLista > 0 ? 1 : 0));
    std::vector<int> materialDeFila(size_t(totales.rows()), -1);
    int r = 1;
    qint64 suma = 0;
    qint64 sumaIncompletos = 0;
    const QString todos = QStringLiteral("todos los insumos");
    std::vector<GraficoInsumos::Barra> barras;
    if (grafico)
        barras.reserve(lista.size());
    // The orders of a material, each once: a stamp per order of the last
    // material that counted it.
    std::vector<int> contadaPor(ordenVista.size(), -1);
    for (const int m : lista) {
        const ResultadoCarga::Material& t = materiales[size_t(m)];
        int ordenesDelMaterial = 0;
        for (const int l : t.lineas) {
            const int orden = resultado.lineas()[size_t(l)].orden;
            if (contadaPor[size_t(orden)] != m) {
                contadaPor[size_t(orden)] = m;
                ++ordenesDelMaterial;
            }
        }
        materialDeFila[size_t(r)] = m;
        totales.setText(r, 1, t.codigo);
        totales.setText(r, 2, t.descripcion);
        totales.setText(r, 3, t.pesoEspecifico);
        totales.setText(r, 4, textoKilos(t.kilos));
        totales.setText(r, 5, QString::number(t.lineas.size()));
        totales.setText(r, 6, QString::number(ordenesDelMaterial));
        totales.setText(r, 7, QString::number(t.incompletas));
        totales.setText(r, 8, textoKilos(t.kilosIncompletos));
        if (grafico) {
            GraficoInsumos::Barra b;
            b.codigo = t.codigo;
            b.descripcion = t.descripcion;
            b.kilos = ResumenCarga::ComoSeEscribe(t.kilos);
            b.kilosIncompletos = ResumenCarga::ComoSeEscribe(t.kilosIncompletos);
            b.lineas = int(t.lineas.size());
            b.ordenes = ordenesDelMaterial;
            b.lineasIncompletas = t.incompletas;
            b.fila = r;
            barras.push_back(std::move(b));
        }
        sumar(suma, t.kilos, todos);
        sumar(sumaIncompletos, t.kilosIncompletos, todos);
        ++r;
    }
    if (!lista.empty()) {
        totales.setText(r, 1, QStringLiteral("Total"));
        totales.setText(r, 4, textoKilos(suma));
        totales.setText(r, 5, QString::number(conLista));
        totales.setText(r, 6, QString::number(ordenes));
        totales.setText(r, 7, QString::number(incompletas));
        totales.setText(r, 8, textoKilos(sumaIncompletos));
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
    if (grafico)
        *grafico = GraficoInsumos::DeLosInsumos(std::move(barras), incompletas);
    return materialDeFila;
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
    static const QRegularExpression cifra(
        u"^-?\\d+(?:"_s + QRegularExpression::escape(sistema.decimalPoint()) + u"\\d+)?$"_s);
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
