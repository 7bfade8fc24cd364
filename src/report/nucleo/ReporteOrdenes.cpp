#include "report/nucleo/ReporteOrdenes.h"

#include "report/nucleo/TotalesInsumo.h"

namespace ReporteOrdenes {

Carga Cargar(const FiltroOrdenes& filtro, GridModel& grilla, Alcance alcance, GridModel* totales,
             const CargaOrdenes::Avance& avance)
{
    filtro.Comprobar();
    Carga carga;
    const bool tipado = alcance != Alcance::SoloGrilla;
    // The rows of the lines complete so far, the open one after them.
    int filasCompletas = 0;
    int lineas = 0;
    try {
        carga.resultado = CargaOrdenes().Cargar(
            filtro.Rangos(), filtro.Opciones(), grilla,
            [&](int n) {
                lineas = n;
                filasCompletas = grilla.rows();
                return !avance || avance(n);
            },
            tipado ? &carga.tipado : nullptr);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::Cancelled)
            throw;
        // Stopped in the middle of a line: the grid keeps the lines complete
        // by then, and the open row is left empty.
        if (filasCompletas < 2) {
            CargaOrdenes::IniciarGrilla(grilla);
        } else {
            grilla.setRows(filasCompletas - 1);
            grilla.setRows(filasCompletas);
        }
        carga.tipado.recortar(std::max(filasCompletas - 1, 1));
        carga.tipado.cerrar(grilla);
        carga.resultado.lineas = lineas;
        carga.resultado.insumos = int(carga.tipado.insumos().size());
        carga.resultado.cancelada = true;
    }
    if (!tipado)
        return carga;
    carga.tipado.marcarIncompletas(grilla);
    carga.resumen = ResumenCarga::DelResultado(carga.tipado);
    if (alcance == Alcance::ConTotales && totales)
        carga.materialDeFila = TotalesInsumo::Calcular(carga.tipado, *totales, &carga.grafico);
    return carga;
}

int LineasDelMaterial(const Carga& carga, int material, const GridModel& grilla, GridModel& destino)
{
    const std::vector<ResultadoCarga::Linea>& todas = carga.tipado.lineas();
    const std::vector<int>& lineas = carga.tipado.materiales()[size_t(material)].lineas;
    int filas = grilla.fixedRows();
    for (const int l : lineas)
        filas += 1 + todas[size_t(l)].insumos;
    const int fijas = grilla.fixedRows();
    destino.setUpdatesSuspended(true);
    destino.clear();
    destino.setCols(grilla.cols());
    destino.setRows(std::max(fijas + 1, filas));
    destino.setFixedRows(fijas);
    destino.setFixedCols(grilla.fixedCols());
    int hacia = 0;
    const auto copiar = [&](int r) { destino.copyRow(grilla, r, hacia++); };
    for (int r = 0; r < fijas; ++r)
        copiar(r);
    for (const int l : lineas) {
        const ResultadoCarga::Linea& linea = todas[size_t(l)];
        for (int r = linea.fila; r <= linea.fila + linea.insumos; ++r)
            copiar(r);
    }
    for (int c = 0; c < grilla.cols(); ++c)
        destino.setColWidth(c, grilla.colWidth(c));
    destino.setUpdatesSuspended(false);
    return int(lineas.size());
}

} // namespace ReporteOrdenes
