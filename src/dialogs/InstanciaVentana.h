#pragma once

#include <QCoreApplication>
#include <QPointer>

// The shared default instance of a window class, as the suite's windows are
// reached by their class name: created on first use; dropped by the window
// when it unloads, or, if still alive, deleted when the application object
// goes away (a widget must not outlive it).
template <class Ventana> struct InstanciaVentana
{
    static QPointer<Ventana>& actual()
    {
        static QPointer<Ventana> ventana;
        return ventana;
    }

    static Ventana& obtener()
    {
        if (!actual()) {
            static const bool registrada = (qAddPostRoutine(&borrar), true);
            Q_UNUSED(registrada);
            actual() = new Ventana;
        }
        return *actual();
    }

    static void borrar() { delete actual().data(); }
};
