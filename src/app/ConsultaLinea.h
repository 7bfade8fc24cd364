#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

class FrmConsComprobantes;

// The voucher lookup dialog from the command line, for the suite's other
// programs and for scripts: the launcher's pairs start the session, the key
// and the condition go to the dialog, and the chosen voucher comes back on
// standard output. With --csv the list is written instead of shown.
namespace ConsultaLinea {

struct Opciones
{
    QStringList pares; // the launcher's "@Key=value;" pairs, as given
    QString clave;     // TC
    QString filtro;    // Filtro, verbatim
    QString csv;       // "-" for standard output
    bool ayuda = false;
};

// The options when the command line asks for the lookup, nothing otherwise.
// A malformed option, or one that belongs to the lookup given without it,
// raises a run-time error that names it.
std::optional<Opciones> Leer(const QStringList& argumentos);

// The usage section of the lookup.
QString Uso();

// Runs the lookup; returns the exit status: 0 with a voucher chosen (or the
// list written), 1 when none was chosen, 2 on a failure (one line on
// standard error). The chosen voucher goes to `salida`.
int Ejecutar(const Opciones& opciones, std::FILE* salida = stdout);

// True when the dialog has a screen to open on (a display, or a platform the
// environment names); a run without one is told so instead of failing in Qt.
bool HayPantalla();

// The list as the dialog shows it: the headers (after "Icono"), then one row
// per voucher with the tag of its icon first and its cells in column order.
QList<QStringList> FilasDeLaLista(const FrmConsComprobantes& dialogo);

} // namespace ConsultaLinea
