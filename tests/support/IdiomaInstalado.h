#pragma once

#include <QString>

namespace soporte {

// Whether a program started under the locale `idioma` (es_AR.UTF-8) gets
// it, rather than falling back to "C" without a word.
bool idiomaInstalado(const QString& idioma);

} // namespace soporte
