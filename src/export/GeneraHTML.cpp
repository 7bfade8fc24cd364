#include "export/ModExportarExcel.h"

#include "components/ManejadorError.h"
#include "export/AvanceExportacion.h"
#include "export/PaginaHTML.h"
#include "platform/controls/GridModel.h"

using namespace Qt::StringLiterals;

namespace ModExportarExcel {

bool GeneraHTML(const QString& archivo, const GridModel& grilla, const QString& titulo,
                AvanceExportacion& avance)
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"GeneraHTML"_s);
    PaginaHTML pagina(archivo);
    return pagina.escribir(grilla, &avance, titulo, enError);
}

void GeneraHTML(const QString& archivo, GridModel& grilla, const QString& titulo)
{
    AvanceExportacion avance;
    GeneraHTML(archivo, grilla, titulo, avance);
    MoverCursor(grilla, avance);
}

void MoverCursor(GridModel& grilla, const AvanceExportacion& avance)
{
    const int fila = avance.fila.load();
    const int columna = avance.columna.load();
    if (fila >= 0 && fila < grilla.rows())
        grilla.setRow(fila);
    if (columna >= 0 && columna < grilla.cols())
        grilla.setCol(columna);
}

QString EspaciosHTML(int n)
{
    if (n < 1)
        return {};
    if (n == 1)
        return u"&nbsp"_s;
    return u"&nbsp;"_s.repeated(n);
}

} // namespace ModExportarExcel
