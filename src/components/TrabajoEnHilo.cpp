#include "components/TrabajoEnHilo.h"

#include "components/Componentes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <exception>
#include <memory>

// What the worker's connection copies of the session's one, read on the
// calling thread before the worker starts.
struct TrabajoEnHilo::Sesion
{
    bool conectada = false;
    QString servidor, base, usuario, clave;
    int espera = 0;
    int aislamiento = 4096;
};

TrabajoEnHilo::TrabajoEnHilo(std::function<void()> trabajo, Datos datos)
    : m_trabajo(std::move(trabajo)), m_datos(datos)
{
}

void TrabajoEnHilo::correr(const Sesion& sesion)
{
    const StatementCancel::Scope cancelable(m_cancelacion);
    // Never the session's own component, which belongs to the calling
    // thread: without a session connection the worker's stays closed too,
    // and its statements fail as the session's would.
    auto propia = std::make_unique<CompDatos>();
    propia->setServidor(sesion.servidor);
    propia->setBaseDatos(sesion.base);
    propia->setUsuario(sesion.usuario);
    propia->setClave(sesion.clave);
    propia->Conexion().setCommandTimeout(sesion.espera);
    CompDatos* anterior = Componentes::DatosDelHilo(propia.get());
    const auto fin = qScopeGuard([&] {
        Componentes::DatosDelHilo(anterior);
        // Before the connection closes: a late cancel must not reach it.
        m_cancelacion.forgetConnection();
    });
    if (sesion.conectada) {
        propia->Conectar();
        propia->Conexion().setIsolationLevel(sesion.aislamiento);
        m_cancelacion.watchConnection(propia->BaseQt());
    }
    m_trabajo();
}

void TrabajoEnHilo::Ejecutar(const std::function<void()>& vigilar)
{
    QCoreApplication* aplicacion = QCoreApplication::instance();
    if (!aplicacion) {
        const StatementCancel::Scope cancelable(m_cancelacion);
        m_trabajo();
        return;
    }
    CompDatos& datos = Componentes::Datos();
    Sesion sesion;
    sesion.conectada = m_datos == Datos::DeLaSesion && datos.Conectado();
    sesion.servidor = datos.Servidor();
    sesion.base = datos.BaseDatos();
    sesion.usuario = datos.Usuario();
    sesion.clave = datos.Clave();
    sesion.espera = datos.Conexion().CommandTimeout();
    sesion.aislamiento = datos.Conexion().IsolationLevel();

    std::exception_ptr fallo;
    std::unique_ptr<QThread> hilo(QThread::create([&] {
        try {
            correr(sesion);
        } catch (...) {
            fallo = std::current_exception();
        }
    }));
    hilo->setObjectName(QStringLiteral("TrabajoEnHilo"));
    QEventLoop espera;
    QTimer reloj;
    reloj.setInterval(IntervaloMs);
    QObject::connect(&reloj, &QTimer::timeout, &espera, [&] {
        if (vigilar)
            vigilar();
    });
    QObject::connect(hilo.get(), &QThread::finished, &espera, &QEventLoop::quit,
                     Qt::QueuedConnection);
    hilo->start();
    reloj.start();
    espera.exec();
    // The application quitting ends every event loop: the work is stopped,
    // and the dialogs it may be waiting on still answered meanwhile.
    if (!hilo->isFinished()) {
        Cancelar();
        while (!hilo->wait(IntervaloMs))
            QCoreApplication::processEvents();
    }
    hilo->wait();
    reloj.stop();
    if (vigilar)
        vigilar();
    if (fallo)
        std::rethrow_exception(fallo);
}
