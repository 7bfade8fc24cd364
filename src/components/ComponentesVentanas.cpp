#include "components/Componentes.h"

#include <memory>

// The components that need widgets, with the same lifetime as the others:
// created on first use, gone when Qt's application ends or a test resets.

namespace {

template <class T> T& crearAlUsar(std::unique_ptr<T>& instancia)
{
    if (!instancia) {
        instancia = std::make_unique<T>();
        static const bool registrado = [&instancia] {
            Componentes::AlReiniciar([&instancia] { instancia.reset(); });
            return true;
        }();
        Q_UNUSED(registrado);
    }
    return *instancia;
}

} // namespace

CompTeclado& Componentes::Teclado()
{
    static std::unique_ptr<CompTeclado> teclado;
    return crearAlUsar(teclado);
}

CompProgreso& Componentes::Progreso()
{
    static std::unique_ptr<CompProgreso> progreso;
    return crearAlUsar(progreso);
}
