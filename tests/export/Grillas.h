#pragma once

#include "Soporte.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridModel.h"

#include <QString>
#include <QStringList>

// Grids the export tests share: the report's grid as the window designs it.
namespace grillas {

// A fresh start for an export test: new components, the export's own hooks
// cleared, and the desktop stand-in in place (returned, to read what it opened).
inline soporte::EscritorioDePrueba* reiniciarExportacion()
{
    Componentes::ReiniciarParaPruebas();
    ModExportarExcel::setValorParametroParaPruebas({});
    ModExportarExcel::setRespuestaRutaParaPruebas({});
    auto escritorio = std::make_unique<soporte::EscritorioDePrueba>();
    soporte::EscritorioDePrueba* instalado = escritorio.get();
    DesktopOpener::setInstance(std::move(escritorio));
    return instalado;
}

inline const QStringList Titulos = {QString(),
                                    QStringLiteral("Nro OP"),
                                    QStringLiteral("Insumo"),
                                    QStringLiteral("Descrpcion"),
                                    QStringLiteral("Cantidad"),
                                    QStringLiteral("PE"),
                                    QStringLiteral("Kg"),
                                    QStringLiteral("Espesor")};
inline const QList<int> Anchos = {10, 1500, 2500, 4500, 1200, 1200, 1200, 1200};

// The report grid with `datos` empty data rows.
inline void reporte(GridModel& grilla, int datos)
{
    grilla.setCols(8);
    grilla.setRows(datos + 1);
    for (int c = 0; c < 8; ++c) {
        grilla.setText(0, c, Titulos[c]);
        grilla.setColWidth(c, Anchos[c]);
    }
}

// A row painted as the load paints an order line.
inline void lineaDeOrden(GridModel& grilla, int fila, const QStringList& textos)
{
    for (int c = 0; c < grilla.cols(); ++c) {
        grilla.setText(fila, c, textos.value(c));
        grilla.setBackColor(fila, c, 65280);
    }
}

} // namespace grillas
