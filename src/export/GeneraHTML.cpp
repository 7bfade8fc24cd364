#include "export/ModExportarExcel.h"

#include "components/ManejadorError.h"
#include "export/PaginaHTML.h"

using namespace Qt::StringLiterals;

namespace ModExportarExcel {

void GeneraHTML(const QString& archivo, GridModel& grilla, const QString& titulo)
{
    ManejadorError enError = ManejadorError::conEtiqueta(u"GeneraHTML"_s);
    PaginaHTML pagina(archivo);
    pagina.escribir(grilla, &grilla, titulo, enError);
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
