#pragma once

#include "export/AvanceExportacion.h"

#include <QList>
#include <QStringList>
#include <map>
#include <memory>
#include <tuple>

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
    // The totals per material get their bar chart, drawn from the table's
    // cells, and their kilograms a number format.
    void agregarGrafico(Worksheet& hoja) const;

    struct Formato
    {
        double tamano = 0;
        bool negrita = false;
    };
    // A cell's fill, font size and weight, font colour and name, as the
    // spreadsheet's calls set them one by one.
    bool formatear(Worksheet& hoja, int fila, int col, int color, const Formato& formato,
                   ManejadorError& enError);

    const GridModel& m_grilla;
    AvanceExportacion* m_avance;
    // The format id those calls gave, by sheet, the cell's format before, and
    // fill, size and weight.
    using Clave = std::tuple<const Worksheet*, quint32, int, double, bool>;
    std::map<Clave, quint32> m_formatos;
};
