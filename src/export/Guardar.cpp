#include "export/ModExportarExcel.h"

#include "components/ManejadorError.h"
#include "export/LlenadoHoja.h"
#include "export/PaginaHTML.h"
#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/SpreadsheetApp.h"
#include "platform/spreadsheet/XlsxFile.h"

namespace {

// The batch report has no one to ask: the first failure ends the output.
ManejadorError propagando()
{
    return ManejadorError([](const RuntimeError& error) -> ManejadorError::Accion { throw error; });
}

std::unique_ptr<SpreadsheetApp> libroDe(const GridModel& grilla)
{
    std::unique_ptr<SpreadsheetApp> excel;
    ManejadorError enError = propagando();
    LlenadoHoja(grilla).llenar(excel, enError);
    return excel;
}

} // namespace

namespace ModExportarExcel {

void GuardarLibro(const GridModel& grilla, const QString& archivo)
{
    XlsxFile::save(libroDe(grilla)->activeWorkbook(), archivo);
}

void GuardarPaginaHTML(const GridModel& grilla, const QString& archivo, const QString& titulo)
{
    ManejadorError enError = propagando();
    PaginaHTML pagina(archivo);
    pagina.escribir(grilla, nullptr, titulo, enError);
}

void GuardarPDF(const GridModel& grilla, const QString& archivo,
                const std::function<void(int paginas, int total)>& avance)
{
    SheetPrinter::Progress progreso;
    if (avance)
        progreso = [&avance](int hechas, int total) {
            avance(hechas, total);
            return true;
        };
    // Every sheet: a grid longer than one goes on in the next ones.
    const std::unique_ptr<SpreadsheetApp> excel = libroDe(grilla);
    const Workbook& libro = excel->activeWorkbook();
    QList<const Worksheet*> hojas;
    for (int k = 0; k < libro.sheetCount(); ++k)
        hojas << &libro.sheet(k);
    SheetPrinter::savePdf(hojas, archivo, progreso);
}

} // namespace ModExportarExcel
