#pragma once

#include "export/AvanceExportacion.h"

#include <QList>
#include <QStringList>
#include <memory>

class GridModel;
class ManejadorError;
class SpreadsheetApp;
class Worksheet;

// Fills a new workbook from a grid as the spreadsheet route does: the
// exported columns (wider than 50 twips), AbrirExcel, the header row, then
// every visible cell's value and format, each statement under the handler.
// The interactive export, which runs on a worker thread, also tells how far
// it is and which cell it is at, and stops when the operator cancels; the
// batch report does none of that. Both get the same workbook.
class LlenadoHoja
{
public:
    // `avance` follows the interactive export; nullptr for the batch report.
    explicit LlenadoHoja(const GridModel& grilla, AvanceExportacion* avance = nullptr);

    // False once the handler left the procedure, or the operator cancelled
    // the interactive export (see cancelado()). The grid is only read.
    bool llenar(std::unique_ptr<SpreadsheetApp>& excel, ManejadorError& enError);

    static void abrirExcel(std::unique_ptr<SpreadsheetApp>& excel);
    static void armarEncabezado(SpreadsheetApp* excel, int cantidad, const QStringList& encabezados,
                                const QList<int>& anchos);
    // "12,50" is written "12.50" because its value is above zero; "-3,5",
    // "0,00" and texts that are no number keep their commas.
    static QString valorCelda(const QString& texto);

    // True once the operator cancelled the interactive export.
    bool cancelado() const;

private:
    // The totals per material get their bar chart beside the table, drawn
    // from the table's cells.
    void agregarGrafico(Worksheet& hoja) const;

    const GridModel& m_grilla;
    AvanceExportacion* m_avance;
};
