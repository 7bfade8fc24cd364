#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct CargoSeleccionado;

// The real-charges dialog for the suite's other programs, from the command
// line: the launcher's pairs start the session, --cargos-reales names the
// account. After an accept the ticked charges go to standard output, one line
// each: the charge's ID, a tab and the amount ("." and up to four decimals).
// Exit status 0 after an accept, 1 when the window was closed without one,
// 2 on a failure (one line on standard error). With --csv it shows no window
// and writes the title and the list as the dialog would show them.
namespace CargosLinea {

struct Opciones
{
    QStringList pares; // the launcher's "@Key=value;" pairs, as given
    QString cuenta;
    QString csv; // "-" for standard output; empty: the dialog opens
};

// The options when the command line asks for the dialog, nothing otherwise.
// A malformed or foreign option beside --cargos-reales raises a run-time error
// that names it.
std::optional<Opciones> Leer(const QStringList& argumentos);

// The usage section of the dialog.
QString Uso();

// Runs it; returns the exit status.
int Ejecutar(const Opciones& opciones);

// The lines an accept prints: one per charge, without the closing zero record.
QString TextoCargos(const std::vector<CargoSeleccionado>& cargos);

} // namespace CargosLinea
