#include "components/Componentes.h"

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct Instancias
{
    std::unique_ptr<CompGeneral> general;
    std::unique_ptr<CompDatos> datos;
    std::unique_ptr<CompIni> ini;
    std::unique_ptr<CompEquipo> equipo;
    std::unique_ptr<CompSesion> sesion;
    std::unique_ptr<CompReportes> reportes;
};

void soltarTodo();

Instancias& instancias()
{
    static Instancias todas;
    // The connection and the windows must go while Qt is still there, not
    // among the static destructors that run after it.
    static const bool registrado = [] {
        qAddPostRoutine(soltarTodo);
        return true;
    }();
    Q_UNUSED(registrado);
    return todas;
}

std::vector<std::function<void()>>& alReiniciar()
{
    static std::vector<std::function<void()>> todos;
    return todos;
}

void soltarTodo()
{
    instancias() = Instancias();
    for (const std::function<void()>& reiniciar : alReiniciar())
        reiniciar();
}

thread_local CompDatos* datosDelHilo = nullptr;

template <class T> T& crearAlUsar(std::unique_ptr<T>& instancia)
{
    if (!instancia)
        instancia = std::make_unique<T>();
    return *instancia;
}

} // namespace

CompGeneral& Componentes::General()
{
    return crearAlUsar(instancias().general);
}
CompDatos& Componentes::Datos()
{
    if (datosDelHilo)
        return *datosDelHilo;
    return crearAlUsar(instancias().datos);
}

CompDatos* Componentes::DatosDelHilo(CompDatos* datos)
{
    return std::exchange(datosDelHilo, datos);
}
CompIni& Componentes::Ini()
{
    return crearAlUsar(instancias().ini);
}
CompEquipo& Componentes::Equipo()
{
    return crearAlUsar(instancias().equipo);
}
CompSesion& Componentes::Sesion()
{
    return crearAlUsar(instancias().sesion);
}
CompReportes& Componentes::Reportes()
{
    return crearAlUsar(instancias().reportes);
}

void Componentes::ReiniciarParaPruebas()
{
    soltarTodo();
}

void Componentes::AlReiniciar(std::function<void()> reiniciar)
{
    instancias();
    alReiniciar().push_back(std::move(reiniciar));
}

void Componentes::SustituirDatos(std::unique_ptr<CompDatos> datos)
{
    instancias().datos = std::move(datos);
}
