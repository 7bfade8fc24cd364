#pragma once

#include "export/GraficoInsumos.h"
#include "platform/controls/GridModel.h"
#include "report/nucleo/CargaOrdenes.h"
#include "report/nucleo/FiltroOrdenes.h"
#include "report/nucleo/ResultadoCarga.h"
#include "report/nucleo/ResumenCarga.h"

#include <optional>
#include <vector>

// The report without its window: the window's worker, the command line and
// the benchmarks all run a load through here, so they never differ.
namespace ReporteOrdenes {

// The report's caption and the name the access log knows it by.
inline const QString Titulo = QStringLiteral("Reporte de Ordenes de Producción");
inline const QString Nombre = QStringLiteral("RP_OProduccion");

// What a load leaves besides its grid.
struct Carga
{
    CargaOrdenes::Resultado resultado;
    ResultadoCarga tipado;
    ResumenCarga resumen;
    // The totals' row of each material (see TotalesInsumo::Calcular).
    std::vector<int> materialDeFila;
    // The chart of the totals, from their typed figures.
    std::optional<GraficoInsumos::Grafico> grafico;
};

// What to work out beside the grid: the typed rows cost memory a plain
// export of the grid does not need.
enum class Alcance
{
    SoloGrilla, // the grid alone, as the files of the grid need it
    ConResumen, // the typed rows, the marks, the status figures
    ConTotales  // and "Totales por insumo" into the grid given
};

// Runs the filter's load into `grilla` (checked first: an error names its
// boxes before any query). A cancel (the progress answering false, or a
// statement cancelled under it) keeps the lines complete by then, the open
// one emptied, and what is worked out covers them. Any other failure
// propagates with the grid as far as it got.
Carga Cargar(const FiltroOrdenes& filtro, GridModel& grilla, Alcance alcance,
             GridModel* totales = nullptr, const CargaOrdenes::Avance& avance = {});

// The order lines that use a material, each with its supply rows, copied
// into `destino` with their formats and marks (the titles first); returns
// how many lines it holds.
int LineasDelMaterial(const Carga& carga, int material, const GridModel& grilla,
                      GridModel& destino);

} // namespace ReporteOrdenes
