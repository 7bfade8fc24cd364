#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The report from the command line, for scheduled runs and scripts: the
// launcher's pairs start the session as usual, the options give the filters
// and the files to write, and no window is shown.
namespace ReporteLinea {

struct Opciones
{
    QStringList pares;              // the launcher's "@Key=value;" pairs, as given
    QMap<QString, QString> filtros; // filter-box key -> value as typed
    bool pendientes = false;
    bool finalizada = false;
    QString orden;                // "fecha", "numero" or empty (the window's default)
    QString csv, xlsx, html, pdf; // "-" for standard output (csv only)
    QString totales;              // "Totales por insumo"; its format by the extension
    QString separador;            // the CSV's field separator as given: ",", ";" or "tab"
    bool ayuda = false;
    bool version = false;
};

// The options of the command line (the arguments after the program name), or
// nothing when it has none: then the program opens its window. A malformed or
// unknown option raises a run-time error that names it.
std::optional<Opciones> Leer(const QStringList& argumentos);

QString Uso();

// The format of the --totales file by its extension: "csv", "xlsx" or "html"
// (".htm" too); empty for any other.
QString FormatoTotales(const QString& archivo);

// Runs the report; returns the exit status. Failures go to standard error as
// one line naming what failed. When standard error is a terminal, a long run
// also shows there how far it got (lines loaded, rows written).
int Ejecutar(const Opciones& opciones);

} // namespace ReporteLinea
