#include "export/EscritorGrilla.h"

#include "export/ModExportarExcel.h"

#include <QFileInfo>

bool EscritorGrilla::PorExtension(const QString& archivo, Formato& formato)
{
    const QString extension = QFileInfo(archivo).suffix().toLower();
    if (extension == u"csv")
        formato = Formato::CSV;
    else if (extension == u"xlsx")
        formato = Formato::Libro;
    else if (extension == u"html" || extension == u"htm")
        formato = Formato::Pagina;
    else if (extension == u"pdf")
        formato = Formato::PDF;
    else
        return false;
    return true;
}

void EscritorGrilla::Escribir(const GridModel& grilla, const QString& archivo) const
{
    switch (m_formato) {
    case Formato::CSV:
        EscribirCSV(grilla, archivo, csv);
        return;
    case Formato::Libro:
        ModExportarExcel::GuardarLibro(grilla, archivo);
        return;
    case Formato::Pagina:
        ModExportarExcel::GuardarPaginaHTML(grilla, archivo, titulo);
        return;
    case Formato::PDF:
        ModExportarExcel::GuardarPDF(grilla, archivo, avancePaginas);
        return;
    }
}
