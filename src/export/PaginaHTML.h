#pragma once

#include "export/GraficoInsumos.h"

#include <QString>
#include <QStringView>
#include <memory>

struct AvanceExportacion;
class GridModel;
class ManejadorError;
namespace fileCommit {
class Output;
}

// The HTML page of a grid, written line by line (CR LF) into a file that
// appears under its name only once it is complete: until then the lines go to
// a temporary file beside it, which is dropped if the page is abandoned.
class PaginaHTML
{
public:
    explicit PaginaHTML(QString archivo);
    ~PaginaHTML();
    PaginaHTML(const PaginaHTML&) = delete;
    PaginaHTML& operator=(const PaginaHTML&) = delete;

    void abrir();
    void escribirLinea(const QString& linea);
    // Puts the complete page in place.
    void cerrar();

    // Writes the whole page of the grid, statement by statement under the
    // handler; false once the handler left, or the operator cancelled (the
    // page is then abandoned). `avance` follows the cell reached as the page
    // is written (the interactive export), or is nullptr. The grid is only read.
    bool escribir(const GridModel& grilla, AvanceExportacion* avance, const QString& titulo,
                  ManejadorError& enError);

    // A text made safe inside the page: <, > and & as entities, characters
    // beyond ASCII as numeric references (so the page reads the same in any
    // code page; half a surrogate pair as U+FFFD); quotes too with
    // `atributo`; control characters as printableText leaves them.
    static QString escapar(QStringView texto, bool atributo = false);
    // The totals' bars as an inline SVG picture.
    static QString svg(const GraficoInsumos::Grafico& grafico);

private:
    QString m_archivo;
    std::unique_ptr<fileCommit::Output> m_salida;
};
