#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct AvanceExportacion;
class GridModel;

// The suite's export module: a grid to a spreadsheet workbook (with its print
// preview) or to an HTML page opened with the desktop's program.
namespace ModExportarExcel {

// A grid cell with this back colour (the system's information background) is
// highlighted in the HTML page.
constexpr int ColorResaltado = static_cast<int>(0x80000018u);
// The size a grid cell without a font size of its own has: the grid
// control's font, 8.25 points.
constexpr double TamanoFuenteGrilla = 8.25;

// Copies the visible columns of the grid (wider than 50 twips) with their
// colours and fonts into a new workbook, shows it (saved in the export folder
// and opened with the desktop's program; a message gives its path when the
// desktop has none) and, with vistaPrevia, opens its print preview. Unless
// forzarExcel, the setting USAEXCEL may send the grid to the HTML page route
// instead, titled `titulo`. `subtitulo` is not used. Failures go to the error
// dialog (retry, skip, leave); leaving closes the progress indication and
// drops the workbook.
void ExportarExcel(GridModel& grilla, bool vistaPrevia, const QString& titulo,
                   const QString& subtitulo, bool forzarExcel);

// A new hidden spreadsheet application with one workbook of one sheet, held
// by the module until the export ends.
void AbrirExcel();
// The header row of the module's sheet: `cantidad` is the number of exported
// columns plus one; encabezados[k - 1] and anchos[k - 1] (twips) are those of
// sheet column k.
void ArmarEncabezado(int cantidad, const QStringList& encabezados, const QList<int>& anchos);
// The export's own setting lookup. Nothing is connected to it: every key is
// empty, unless a test put a lookup in its place.
QString ValorParametro(const QString& clave);

// Writes the whole grid (hidden columns included) as a simple HTML page into
// `archivo`, titled `titulo` ("Detalle Remitos" when empty). Texts are
// escaped, the page's markup is not. The file is written complete or not at
// all; failures go to the error dialog with the tag "GeneraHTML".
void GeneraHTML(const QString& archivo, GridModel& grilla, const QString& titulo);
// The same on a worker thread: the grid is only read, `avance` follows the
// cell reached and may cancel (the page is then abandoned). False when the
// handler left or the operator cancelled.
bool GeneraHTML(const QString& archivo, const GridModel& grilla, const QString& titulo,
                AvanceExportacion& avance);
// The grid's current cell where an export left it (on the window's thread).
void MoverCursor(GridModel& grilla, const AvanceExportacion& avance);
// n non-breaking spaces: "&nbsp" for 1, n times "&nbsp;" for more, "" below 1.
QString EspaciosHTML(int n);

// The batch report's outputs: the same workbook, page and print-preview pages,
// written to the given file with no window and no program opened. They raise
// RuntimeError with a clear message on failure and never leave a half-written
// file under the given name.
void GuardarLibro(const GridModel& grilla, const QString& archivo);
void GuardarPaginaHTML(const GridModel& grilla, const QString& archivo, const QString& titulo);
// The PDF tells how many pages it has written of how many, when asked.
void GuardarPDF(const GridModel& grilla, const QString& archivo,
                const std::function<void(int paginas, int total)>& avance = {});

// The header of the printed pages, in the preview, the PDF and the saved
// workbook: the report's title and the filters it was loaded with (empty:
// none). The date of the export goes beside them. Kept until set again.
void setEncabezadoImpresion(const QString& titulo, const QString& filtros);

// Test hooks. A lookup in place of ValorParametro (empty restores it); an
// answer in place of the operator's to the route question (true: OK, the HTML
// page; empty restores the message box). Whether the module still holds a
// spreadsheet application.
void setValorParametroParaPruebas(std::function<QString(const QString&)> consulta);
void setRespuestaRutaParaPruebas(std::function<bool(const QString& texto)> respuesta);
bool ExcelRetenido();

} // namespace ModExportarExcel
