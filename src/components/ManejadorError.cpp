#include "components/ManejadorError.h"

#include "components/Componentes.h"

namespace {

ManejadorError::Decision desdeDialogo(std::optional<QString> etiqueta)
{
    return [etiqueta](const RuntimeError& error) {
        switch (Componentes::General().MostrarError(error, etiqueta)) {
        case CompGeneral::Reintentar:
            return ManejadorError::Accion::Reintentar;
        case CompGeneral::Ignorar:
            return ManejadorError::Accion::Omitir;
        default:
            return ManejadorError::Accion::Salir;
        }
    };
}

} // namespace

ManejadorError ManejadorError::conEtiqueta(const QString& etiqueta)
{
    return ManejadorError(desdeDialogo(etiqueta));
}

ManejadorError ManejadorError::sinEtiqueta()
{
    return ManejadorError(desdeDialogo(std::nullopt));
}

ManejadorError ManejadorError::omitiendo()
{
    return ManejadorError([](const RuntimeError&) { return Accion::Omitir; });
}

bool ManejadorError::decidir(const RuntimeError& error)
{
    m_ultimo = error;
    switch (m_decision(error)) {
    case Accion::Reintentar:
        return true;
    case Accion::Omitir:
        return false;
    case Accion::Salir:
        m_salio = true;
        return false;
    }
    return false;
}
