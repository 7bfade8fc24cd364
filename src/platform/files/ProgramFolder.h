#pragma once

#include <QString>

// "The program folder": where the lookup definitions, the error log and the
// exported pages go. The executable's folder when it is writable, otherwise a
// per-user data folder (~/.local/share/rp_oproduccion). The environment
// variable RP_CARPETA_PROGRAMA, when set, names it instead (tests and
// installations that keep data apart from the binaries).
QString programFolder();

// The executable's name without folder or extension.
QString programName();
