#pragma once

#include "platform/text/Currency.h"

#include <QtGlobal>
#include <vector>

// One charge handed back by the real-charges dialog. The ID stays 16-bit:
// the suite's programs that read the list were built on that record.
struct CargoSeleccionado
{
    qint16 IdCargo = 0;
    Currency ImporteCargo;
};

// The process-wide list in which the real-charges dialog hands back the ticked
// charges: after an accept, one record per ticked row in list order followed
// by one record with both fields zero (so the count of charges is the last
// index). Empty until the first accept.
std::vector<CargoSeleccionado>& CargosSeleccionados();
