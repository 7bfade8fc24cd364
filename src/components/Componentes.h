#pragma once

#include "components/CompDatos.h"
#include "components/CompEquipo.h"
#include "components/CompGeneral.h"
#include "components/CompIni.h"
#include "components/CompProgreso.h"
#include "components/CompReportes.h"
#include "components/CompSesion.h"
#include "components/CompTeclado.h"

#include <functional>
#include <memory>

// The suite's components, one process-wide instance each, created on first
// use and kept until the process ends. Every caller reaches them here.
class Componentes
{
public:
    static CompGeneral& General();
    static CompDatos& Datos();
    static CompIni& Ini();
    static CompEquipo& Equipo();
    static CompSesion& Sesion();
    static CompTeclado& Teclado();
    static CompProgreso& Progreso();
    static CompReportes& Reportes();

    // A worker thread's own connection (a Qt connection belongs to the thread
    // that opened it): while installed, Datos() called on that thread gives
    // it. Returns the one installed before; null removes it.
    static CompDatos* DatosDelHilo(CompDatos* datos);

    // The components that need widgets (the keyboard's and the progress
    // window's) live in the windows' library, which drops its instances here
    // too.
    static void AlReiniciar(std::function<void()> reiniciar);

    // Test hook: drops every instance (the connection included), so the next
    // use creates a fresh one. Never called by the program itself.
    static void ReiniciarParaPruebas();
    // Test hook: puts a stand-in in place of the data component.
    static void SustituirDatos(std::unique_ptr<CompDatos> datos);
};
