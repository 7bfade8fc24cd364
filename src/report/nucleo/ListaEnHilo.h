#pragma once

#include "components/CompDatos.h"
#include "platform/sql/StatementCancel.h"
#include "report/nucleo/CacheArticulos.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class Recordset;

// A load's supply lists read on a connection and a thread of their own, so
// that the server works out a list's next rows while the load writes the grid
// from the articles already read, and reads its next order lines meanwhile.
// The connection opens as the thread starts, with the session's settings
// (the same data source, login, command time-out and isolation level).
// Articles are handed over one at a time as each is read whole; the thread
// stops reading while many wait unclaimed, so a list the load keeps up with is
// never held whole.
class ListaEnHilo
{
public:
    struct Articulo
    {
        int pedido = -1; // its place among the list's articles
        std::shared_ptr<FilasInsumos> filas;
        MedidasArticulo medidas;
    };
    using Entregar = std::function<void(Articulo&&)>;
    // Reads an open list on the thread, handing over each article once read
    // whole; false when the list cannot be trusted.
    using Lector = std::function<bool(Recordset&, const Entregar&)>;

    // Articles go over in groups, so that neither thread wakes the other for
    // each; past this many waiting unclaimed the thread stops reading.
    static constexpr std::size_t PorEntrega = 64;
    static constexpr std::size_t MaximoEnEspera = 512;

    // `preparar`, when given, runs on the connection once open: what else the
    // load's connection was told that changes what a statement reads.
    ListaEnHilo(const CompDatos::Ajustes& ajustes, const QString& preparar);
    // Stops what is under way and waits for the thread.
    ~ListaEnHilo();
    ListaEnHilo(const ListaEnHilo&) = delete;
    ListaEnHilo& operator=(const ListaEnHilo&) = delete;

    // Whether the connection opened; waits for it to have tried.
    bool disponible();
    // Starts reading `sql`, whose ORDER BY fixes its rows' order (it is read
    // through a server cursor). The list before must have ended.
    void pedir(const QString& sql, Lector lector);

    // Whether the list under way has been read to its end (or failed):
    // what is left of it waits to be claimed. Does not wait.
    bool terminada();

    enum class Paso
    {
        Articulo,
        Fin,
        NoFiable
    };
    // The next article read, waiting for it. A failure on the thread is
    // raised here as it was raised there; a cancel of the calling thread's
    // work stops the thread's statement too and raises the cancelled error.
    Paso siguiente(Articulo& articulo);

private:
    void correr(const CompDatos::Ajustes& ajustes, const QString& preparar);
    void entregar(Articulo&& articulo);
    // The articles read so far go over.
    void publicar();

    StatementCancel m_cancelacion;
    std::mutex m_mutex;
    std::condition_variable m_cambio;
    // Guarded by m_mutex.
    bool m_intentada = false, m_conectada = false;
    bool m_pedida = false, m_fin = false, m_noFiable = false, m_terminar = false;
    QString m_sql;
    Lector m_lector;
    std::deque<Articulo> m_listos;
    bool m_esperaCarga = false, m_esperaHilo = false;
    std::exception_ptr m_fallo;
    std::deque<Articulo> m_leidos;  // the thread's, not handed over yet
    std::deque<Articulo> m_tomados; // the load's, taken over and not claimed
    std::thread m_hilo;
};
