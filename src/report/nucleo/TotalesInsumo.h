#pragma once

#include "export/GraficoInsumos.h"
#include "platform/controls/GridModel.h"

#include <optional>
#include <vector>

class ResultadoCarga;

// "Totales por insumo": the kilograms of each raw material over every line a
// load brought, from its typed rows. One row per supply code
// (its description and specific weight as the grid shows them, the
// kilograms, the order lines and the orders that use it, how many of those
// lines have an incomplete estimate and the kilograms those estimates add up
// to, which the chart draws apart), the heaviest first, then a total
// row. A supply row without a code counts under "(sin código)". Below the
// total, when some order lines have no bill of materials, a row says how
// many ("5 líneas sin lista de materiales"). The same shape as the result grid (a narrow fixed
// first column, the title row), so the grid's exports take it as they are.
namespace TotalesInsumo {

constexpr int Columnas = GraficoInsumos::Columnas;

// Writes the totals of a load into `totales`; returns, for each of its rows,
// the index of the material it totals (-1 for the titles, the total and the
// note). A total beyond the currency's range stops them, naming the material.
// With `grafico`, also the bars of the chart, from the typed figures.
std::vector<int> Calcular(const ResultadoCarga& resultado, GridModel& totales,
                          std::optional<GraficoInsumos::Grafico>* grafico = nullptr);

// The totals as the window shows them: the kilograms and the counts written
// as the status line writes numbers (the operator's locale, thousands
// separated). The cells' texts, which every export reads, stay as Calcular
// wrote them.
class Modelo : public GridModel
{
public:
    using GridModel::GridModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

} // namespace TotalesInsumo
