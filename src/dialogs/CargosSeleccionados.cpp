#include "dialogs/CargosSeleccionados.h"

std::vector<CargoSeleccionado>& CargosSeleccionados()
{
    static std::vector<CargoSeleccionado> lista;
    return lista;
}
