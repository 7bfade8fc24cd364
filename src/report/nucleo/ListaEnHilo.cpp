#include "report/nucleo/ListaEnHilo.h"

#include "platform/sql/Recordset.h"

#include <chrono>

ListaEnHilo::ListaEnHilo(const CompDatos::Ajustes& ajustes, const QString& preparar)
    : m_hilo([this, ajustes, preparar] { correr(ajustes, preparar); })
{
}

ListaEnHilo::~ListaEnHilo()
{
    {
        const std::lock_guard lock(m_mutex);
        m_terminar = true;
    }
    m_cancelacion.cancel();
    m_cambio.notify_all();
    m_hilo.join();
}

bool ListaEnHilo::disponible()
{
    std::unique_lock lock(m_mutex);
    m_cambio.wait(lock, [this] { return m_intentada; });
    return m_conectada;
}

void ListaEnHilo::pedir(const QString& sql, Lector lector)
{
    {
        const std::lock_guard lock(m_mutex);
        m_sql = sql;
        m_lector = std::move(lector);
        m_pedida = true;
        m_fin = m_noFiable = false;
        m_fallo = nullptr;
        m_listos.clear();
        m_tomados.clear();
    }
    m_cambio.notify_all();
}

bool ListaEnHilo::terminada()
{
    const std::lock_guard lock(m_mutex);
    return m_fin;
}

ListaEnHilo::Paso ListaEnHilo::siguiente(Articulo& articulo)
{
    if (m_tomados.empty()) {
        const StatementCancel* cancelacion = StatementCancel::current();
        std::unique_lock lock(m_mutex);
        while (m_listos.empty()) {
            if (m_fin) {
                if (m_fallo)
                    std::rethrow_exception(std::exchange(m_fallo, nullptr));
                return m_noFiable ? Paso::NoFiable : Paso::Fin;
            }
            // A cancel reaches the thread's statement from here: the caller's
            // own cancel knows nothing of it.
            if (cancelacion && cancelacion->isCancelled()) {
                lock.unlock();
                m_cancelacion.cancel();
                cancelacion->check();
            }
            m_esperaCarga = true;
            m_cambio.wait_for(lock, std::chrono::milliseconds(20));
            m_esperaCarga = false;
        }
        m_tomados.swap(m_listos);
        const bool despertar = m_esperaHilo;
        lock.unlock();
        if (despertar)
            m_cambio.notify_all();
    }
    articulo = std::move(m_tomados.front());
    m_tomados.pop_front();
    return Paso::Articulo;
}

void ListaEnHilo::entregar(Articulo&& articulo)
{
    m_leidos.push_back(std::move(articulo));
    if (m_leidos.size() >= PorEntrega)
        publicar();
}

void ListaEnHilo::publicar()
{
    if (m_leidos.empty())
        return;
    std::unique_lock lock(m_mutex);
    while (m_listos.size() >= MaximoEnEspera && !m_terminar) {
        m_esperaHilo = true;
        m_cambio.wait(lock);
        m_esperaHilo = false;
    }
    if (m_terminar) {
        lock.unlock();
        m_cancelacion.check();
    }
    for (Articulo& a : m_leidos)
        m_listos.push_back(std::move(a));
    m_leidos.clear();
    const bool despertar = m_esperaCarga;
    lock.unlock();
    if (despertar)
        m_cambio.notify_all();
}

void ListaEnHilo::correr(const CompDatos::Ajustes& ajustes, const QString& preparar)
{
    const StatementCancel::Scope cancelable(m_cancelacion);
    // A connection that cannot open, or see what the load's sees, leaves the
    // lists to the load's own.
    std::unique_ptr<CompDatos> datos;
    try {
        datos = CompDatos::ConAjustes(ajustes);
        if (!preparar.isEmpty())
            datos->Ejecutar(preparar);
    } catch (...) {
        datos.reset();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_intentada = true;
        m_conectada = datos && datos->Conectado();
    }
    m_cambio.notify_all();
    if (!datos)
        return;
    for (;;) {
        QString sql;
        Lector lector;
        {
            std::unique_lock lock(m_mutex);
            m_cambio.wait(lock, [this] { return m_pedida || m_terminar; });
            if (m_terminar)
                return;
            m_pedida = false;
            sql = std::move(m_sql);
            lector = std::move(m_lector);
        }
        bool fiable = true;
        std::exception_ptr fallo;
        try {
            std::unique_ptr<Recordset> rs = datos->AbrirRecordsetOrdenado(sql);
            if (!rs->atBof())
                fiable = lector(*rs, [this](Articulo&& a) { entregar(std::move(a)); });
            datos->CerrarRecordset(rs);
            publicar();
        } catch (...) {
            fallo = std::current_exception();
            m_leidos.clear();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_fin = true;
            m_noFiable = !fiable;
            m_fallo = fallo;
        }
        m_cambio.notify_all();
    }
}
