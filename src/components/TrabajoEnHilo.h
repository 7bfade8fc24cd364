#pragma once

#include "components/CompDatos.h"
#include "platform/sql/StatementCancel.h"

#include <functional>

// Long work (a load, an export) run off the window's thread, so the window
// keeps painting and answers "Cancelar" at once.
//
// The work runs on a thread of its own, and there Componentes::Datos() is a
// data component of its own (a Qt connection belongs to the thread that
// opened it): when the session is connected, connected to the same database
// with the session's settings (command time-out, isolation level; SQLite's
// collation and busy wait come with every connection); otherwise closed.
// The calling thread keeps its event loop running meanwhile and calls
// `vigilar` every IntervaloMs: the progress shown and a cancel asked for are
// its business. The dialogs of CompGeneral asked for on the worker are shown
// by the window's thread, the worker waiting for the answer.
//
// Without an application object (nothing to keep answering) the work runs
// on the calling thread, on the session's connection.
class TrabajoEnHilo
{
public:
    static constexpr int IntervaloMs = 50;

    // Whether the work needs the database: work that only writes files (an
    // export) opens no connection of its own, and Componentes::Datos() on
    // its thread is a closed one.
    enum class Datos
    {
        DeLaSesion,
        Ninguno
    };

    explicit TrabajoEnHilo(std::function<void()> trabajo, Datos datos = Datos::DeLaSesion);
    TrabajoEnHilo(const TrabajoEnHilo&) = delete;
    TrabajoEnHilo& operator=(const TrabajoEnHilo&) = delete;

    // Runs the work to its end; an error it raised is raised here.
    void Ejecutar(const std::function<void()>& vigilar = {});

    // Any thread. The work is asked to stop: the statement under way is
    // interrupted, and its next statement or row fails with
    // ErrorNumber::Cancelled; the work's own checks ask Cancelado().
    void Cancelar() { m_cancelacion.cancel(); }
    bool Cancelado() const { return m_cancelacion.isCancelled(); }

private:
    void correr(const CompDatos::Ajustes& sesion);

    std::function<void()> m_trabajo;
    Datos m_datos;
    StatementCancel m_cancelacion;
};
