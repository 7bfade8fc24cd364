#include "report/TotalesInsumo.h"

#include "platform/controls/GridModel.h"
#include "report/ResumenCarga.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <vector>

namespace {

struct Total
{
    QString codigo;
    QString descripcion;
    QString pesoEspecifico;
    double kilos = 0;
    QSet<int> lineas; // by the row of their order line
    QSet<QString> ordenes;
    QSet<int> incompletas;
    double kilosIncompletos = 0;
};

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
            t.kilos += s.kilos;
            t.lineas.insert(s.filaLinea);
            t.ordenes.insert(s.orden);
            lineas.insert(s.filaLinea);
            ordenes.insert(s.orden);
            if (s.incompleta()) {
                t.kilosIncompletos += s.kilos;
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

    // Kilograms as the result grid writes numbers: the system's decimal
    // separator, no thousands separator.
    QLocale local = QLocale::system();
    local.setNumberOptions(QLocale::OmitGroupSeparator);
    totales.setUpdatesSuspended(true);
    iniciar(totales, int(lista.size()) + (lista.empty() ? 1 : 2) + (sinLista > 0 ? 1 : 0));
    int r = 1;
    double suma = 0;
    double sumaIncompletos = 0;
    for (const Total& t : lista) {
        totales.setText(r, 1, t.codigo);
        totales.setText(r, 2, t.descripcion);
        totales.setText(r, 3, t.pesoEspecifico);
        totales.setText(r, 4, local.toString(t.kilos, 'f', 2));
        totales.setText(r, 5, QString::number(t.lineas.size()));
        totales.setText(r, 6, QString::number(t.ordenes.size()));
        totales.setText(r, 7, QString::number(t.incompletas.size()));
        totales.setText(r, 8, local.toString(t.kilosIncompletos, 'f', 2));
        suma += t.kilos;
        sumaIncompletos += t.kilosIncompletos;
        ++r;
    }
    if (!lista.empty()) {
        // Lines and orders that use any supply, each once.
        totales.setText(r, 1, QStringLiteral("Total"));
        totales.setText(r, 4, local.toString(suma, 'f', 2));
        totales.setText(r, 5, QString::number(lineas.size()));
        totales.setText(r, 6, QString::number(ordenes.size()));
        totales.setText(r, 7, QString::number(incompletas.size()));
        totales.setText(r, 8, local.toString(sumaIncompletos, 'f', 2));
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
    const QString texto = valor.toString();
    bool leido = false;
    const double cifra = QLocale::system().toDouble(texto, &leido);
    if (!leido)
        return valor;
    return ResumenCarga::Cifra(cifra, index.column() == 4 || index.column() == 8 ? 2 : 0);
}
