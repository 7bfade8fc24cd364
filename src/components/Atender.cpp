#include "components/Atender.h"

#include "components/Componentes.h"

#include <exception>

bool Atender(const std::function<void()>& manejador)
{
    try {
        manejador();
        return true;
    } catch (const RuntimeError& error) {
        Componentes::General().Mensaje(error.description());
    } catch (const std::exception& error) {
        Componentes::General().Mensaje(QString::fromLocal8Bit(error.what()));
    }
    return false;
}
