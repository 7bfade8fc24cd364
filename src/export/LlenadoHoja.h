#pragma once

#include <QElapsedTimer>
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
// The interactive export also shows progress, yields to window events and
// moves the grid's current cell; the batch report does none of that. Both
// get the same workbook.
class LlenadoHoja
{
public:
    // `cursor` is the grid whose current cell follows the export (the same
    // grid as `grilla`), or nullptr to leave it alone.
    LlenadoHoja(const GridModel& grilla, GridModel* cursor, bool interactivo);

    // False once the handler left the procedure, or the operator cancelled
    // the interactive export (see cancelado()).
    bool llenar(std::unique_ptr<SpreadsheetApp>& excel, ManejadorError& enError);

    static void abrirExcel(std::unique_ptr<SpreadsheetApp>& excel);
    static void armarEncabezado(SpreadsheetApp* excel, int cantidad, const QStringList& encabezados,
                                const QList<int>& anchos);
    // "12,50" is written "12.50" because its value is above zero; "-3,5",
    // "0,00" and texts that are no number keep their commas.
    static QString valorCelda(const QString& texto);

    // True once the operator pressed "Cancelar" (or Escape) in the progress
    // window of the interactive export.
    bool cancelado() const;

private:
    void ceder();
    // The totals per material get their bar chart beside the table, drawn
    // from the table's cells.
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
    GridModel* m_cursor;
    bool m_interactivo;
    QElapsedTimer m_desdeCesion;
    // The format id those calls gave, by sheet, the cell's format before, and
    // fill, size and weight.
    using Clave = std::tuple<const Worksheet*, quint32, int, double, bool>;
    std::map<Clave, quint32> m_formatos;
};
