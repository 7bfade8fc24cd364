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

// The program's installed data (the demonstration database): share/rp_oproduccion
// beside the executable's bin folder, wherever the tree was installed or
// unpacked; the build tree lays it out the same way under build/.
QString dataFolder();
