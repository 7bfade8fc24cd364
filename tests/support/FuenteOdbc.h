#pragma once

#include <QString>

namespace soporte {

// Makes the data source `nombre`, described by `fuente` (its odbc.ini
// section), known to the driver manager of this process, beside those of the
// odbc.ini text `ini` that ODBCINI names.
void agregarFuenteOdbc(const QString& ini, const QString& nombre, const QString& fuente);

} // namespace soporte
