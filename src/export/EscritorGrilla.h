#pragma once

#include "export/EscritorCSV.h"

#include <QString>
#include <functional>

class GridModel;

// One shape for every file a grid becomes: the writer of a format writes a
// grid (the orders or their totals) to a file, whole or not at all, and
// raises a RuntimeError saying what went wrong. The command line picks one
// per output; each format's own code stays where it is.
class EscritorGrilla
{
public:
    enum class Formato
    {
        CSV,
        Libro,
        Pagina,
        PDF
    };
    // The format a file's extension names (".csv", ".xlsx", ".html" or
    // ".htm", ".pdf"), or false for any other.
    static bool PorExtension(const QString& archivo, Formato& formato);

    explicit EscritorGrilla(Formato formato) : m_formato(formato) {}
    Formato formato() const { return m_formato; }

    // The CSV's separator and mark; the page's title (empty: the export's own).
    FormatoCSV csv;
    QString titulo;
    // The PDF tells how many pages it has written of how many.
    std::function<void(int paginas, int total)> avancePaginas;

    // "-" is standard output, for CSV only.
    void Escribir(const GridModel& grilla, const QString& archivo) const;

private:
    Formato m_formato;
};
