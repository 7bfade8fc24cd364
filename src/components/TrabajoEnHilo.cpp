#include "components/TrabajoEnHilo.h"

#include "components/Componentes.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <exception>
#include <memory>

TrabajoEnHilo::TrabajoEnHilo(std::function<void()> trabajo, Datos datos)
    : m_trabajo(std::move(trabajo)), m_datos(datos)
{
}

void TrabajoEnHilo::correr(const CompDatos::Ajustes& sesion)
{
    const StatementCancel::Scope cancelable(m_cancelacion);
    // Never the session's own component, which belongs to the calling
    // thread: without a session connection the worker's stays closed too,
    // and its statements fail as the session's would.
    std::unique_ptr<CompDatos> propia = CompDatos::ConAjustes(sesion);
    CompDatos* anterior = Componentes::DatosDelHilo(propia.get());
    const auto fin = qScopeGuard([&] {
        Componentes::DatosDelHilo(anterior);
        // Before the connection closes: a late cancel must not reach it.
        m_cancelacion.forgetConnection();
    });
    m_cancelacion.watchConnection(propia->BaseQt());
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
    CompDatos::Ajustes sesion = Componentes::Datos().AjustesDeConexion();
    sesion.conectada = sesion.conectada && m_datos == Datos::DeLaSesion;

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
