#pragma once

#include <QString>

// Where exported workbooks are saved: the folder named by the environment
// variable RP_CARPETA_EXPORTACION when set, otherwise "rp_oproduccion" in the
// user's documents folder (XDG_DOCUMENTS_DIR, ~/Documents unless the desktop
// says otherwise). Created when missing; RuntimeError, naming the folder,
// when it cannot be.
QString exportFolder();
