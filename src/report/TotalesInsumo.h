#pragma once

class GridModel;

// "Totales por insumo": the kilograms of each raw material over every line a
// load left in the result grid, read from that grid. One row per supply code
// (its description and specific weight as the grid shows them, the
// kilograms, the order lines and the orders that use it, and how many of
// those lines have an incomplete estimate), the heaviest first, then a total
// row. The same shape as the result grid (a narrow fixed first column, the
// title row), so the grid's exports take it as they are.
namespace TotalesInsumo {

constexpr int Columnas = 8;

void Calcular(const GridModel& resultado, GridModel& totales);

} // namespace TotalesInsumo
