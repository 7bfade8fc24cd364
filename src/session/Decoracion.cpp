#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "platform/files/FileCommit.h"
#include "platform/sql/SqlDialect.h"
#include "session/ModGlobal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QScopeGuard>
#include <QWidget>

namespace ModGlobal {

namespace {
constexpr int EsperaRegistroAcceso = 5; // seconds
}

QIcon IconoDelSistema(const QString& nombre)
{
    const QString ruta =
        QStringLiteral(":/iconos/") + nombre.trimmed().toUpper() + QStringLiteral(".svg");
    return QFile::exists(ruta) ? QIcon(ruta) : QIcon();
}

void DecorarFormulario(QWidget* ventana)
{
    const QString archivo = QStringLiteral("QX000LT.INI");
    const QString seccion = QStringLiteral("Iconos");
    const QString clave = QStringLiteral("IconoDelSistema");
    QString icono;
    ManejadorError enError = ManejadorError::omitiendo();
    enError.paso([&] {
        icono = Componentes::Ini().LeerValor(archivo, seccion, clave, QStringLiteral("TELVARO"));
    });
    enError.paso([&] {
        try {
            Componentes::Ini().EscribirValor(archivo, seccion, clave, icono);
        } catch (const RuntimeError& error) {
            // Skipped like any failure here, but a link planted in the INI
            // file's place is for whoever supports the workstation to see.
            if (fileCommit::refusedLink(error))
                Componentes::General().RegistrarError(error, QStringLiteral("DecorarFormulario"));
            throw;
        }
    });
    enError.paso([&] {
        const QIcon imagen = IconoDelSistema(icono);
        if (imagen.isNull())
            throw RuntimeError(ErrorNumber::FileNotFound,
                               QStringLiteral("No hay un icono llamado \"%1\"").arg(icono));
        ventana->setWindowIcon(imagen);
    });
    if (QString::fromLatin1(ventana->metaObject()->className())
            .compare(u"FRMMDI", Qt::CaseInsensitive) == 0)
        return;
    enError.paso([&] { Componentes::Equipo().PrepararVentana(ventana); });
    for (const char* nombre : {"UtilNet1", "TBarRep1", "Util0011"}) {
        enError.paso([&] {
            QObject* barra = ventana->findChild<QObject*>(QString::fromLatin1(nombre));
            if (!barra)
                throw RuntimeError(ErrorNumber::ItemNotFound,
                                   QStringLiteral("La ventana no tiene el control %1")
                                       .arg(QString::fromLatin1(nombre)));
            barra->setProperty("StyleBar", Sesion().EstiloBarras);
        });
    }
    enError.paso([] { QCoreApplication::processEvents(); });
    // The window opens without its access-log row, but the row's loss is
    // written to the error log: the access log is what audits rely on.
    ManejadorError([](const RuntimeError& error) {
        Componentes::General().RegistrarError(error, QStringLiteral("RegistrarAcceso"));
        return ManejadorError::Accion::Omitir;
    }).paso([&] { RegistrarAcceso(ventana); });
}

void RegistrarAcceso(QWidget* ventana)
{
    QString formulario = ventana->windowTitle();
    QString tarea = formulario;
    const QString usuario = Sesion().UsuarioLogeado;
    const QString nombre = ventana->objectName();
    for (const char* sinRegistro : {"FRMCONSOLA", "FRM_LOGIN", "FRMVENTANA"})
        if (nombre.compare(QLatin1String(sinRegistro), Qt::CaseInsensitive) == 0)
            return;
    if (nombre.compare(u"FRMMDI", Qt::CaseInsensitive) == 0)
        formulario = tarea = QStringLiteral("INGRESO AL SISTEMA");
    const QString equipo = Componentes::Equipo().NombreEquipo();
    CompDatos& datos = Componentes::Datos();
    const auto texto = [](const QString& t) { return sqlQuote(t.trimmed().toUpper()); };
    // The row waits a few seconds at most for a database another program
    // holds locked: the window or report needs only to read, and the row's
    // loss goes to the error log.
    ConexionDatos& conexion = datos.Conexion();
    const int espera = conexion.CommandTimeout();
    conexion.setCommandTimeout(espera > 0 && espera < EsperaRegistroAcceso ? espera
                                                                           : EsperaRegistroAcceso);
    const auto restituir = qScopeGuard([&] { conexion.setCommandTimeout(espera); });
    // The values are quoted (a caption or a user with an apostrophe still
    // gets its row) and the moment goes as a literal every backend reads the
    // same way, whatever the workstation's regional settings.
    datos.Ejecutar(QStringLiteral("INSERT INTO CONTROL_ACCESO (Maquina,Usuario,Formulario,Tarea,"
                                  "Ingreso) values (") +
                   texto(equipo) + u',' + texto(usuario) + u',' + texto(formulario) + u',' +
                   texto(tarea) + QStringLiteral(", ") +
                   sqlDateTimeLiteral(QDateTime::currentDateTime(), datos.Motor()) +
                   QStringLiteral(") "));
}

} // namespace ModGlobal
