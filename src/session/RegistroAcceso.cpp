#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "platform/files/FileCommit.h"
#include "platform/sql/SqlDialect.h"
#include "session/ModGlobal.h"

#include <QDateTime>
#include <QScopeGuard>
#include <optional>

namespace ModGlobal {

namespace {
constexpr int EsperaRegistroAcceso = 5; // seconds

struct FilaAcceso
{
    QString maquina, usuario, formulario, tarea;
    QDateTime ingreso;
};

// The row of a window that opened without it, written again after its read.
std::optional<FilaAcceso> accesoPendiente;

void insertarAcceso(const FilaAcceso& fila)
{
    CompDatos& datos = Componentes::Datos();
    const auto texto = [](const QString& t) { return sqlQuote(t); };
    // The row waits a few seconds at most for a database another program
    // holds locked: the window or report needs only to read.
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
                   texto(fila.maquina) + u',' + texto(fila.usuario) + u',' +
                   texto(fila.formulario) + u',' + texto(fila.tarea) + QStringLiteral(", ") +
                   sqlDateTimeLiteral(fila.ingreso, datos.Motor()) + QStringLiteral(") "));
}
} // namespace

// The suite's icon as its INI file names it, the key written back so it
// exists; each step skipped when it fails.
QString IconoDeLaSuite(ManejadorError& enError)
{
    const QString archivo = QStringLiteral("QX000LT.INI");
    const QString seccion = QStringLiteral("Iconos");
    const QString clave = QStringLiteral("IconoDelSistema");
    QString icono;
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
    return icono;
}

void AnotarAcceso(const QString& titulo, const QString& nombre)
{
    ManejadorError([](const RuntimeError& error) {
        Componentes::General().RegistrarError(
            error, QStringLiteral("RegistrarAcceso (se reintenta tras la lectura)"));
        return ManejadorError::Accion::Omitir;
    }).paso([&] { RegistrarAcceso(titulo, nombre); });
}

void DecorarSinVentana(const QString& titulo, const QString& nombre)
{
    ManejadorError enError = ManejadorError::omitiendo();
    IconoDeLaSuite(enError);
    AnotarAcceso(titulo, nombre);
}

void RegistrarAcceso(const QString& titulo, const QString& nombre)
{
    FilaAcceso fila;
    fila.formulario = fila.tarea = titulo;
    fila.usuario = Sesion().UsuarioLogeado;
    for (const char* sinRegistro : {"FRMCONSOLA", "FRM_LOGIN", "FRMVENTANA"})
        if (nombre.compare(QLatin1String(sinRegistro), Qt::CaseInsensitive) == 0)
            return;
    if (nombre.compare(u"FRMMDI", Qt::CaseInsensitive) == 0)
        fila.formulario = fila.tarea = QStringLiteral("INGRESO AL SISTEMA");
    fila.maquina = Componentes::Equipo().NombreEquipo();
    for (QString* t : {&fila.maquina, &fila.usuario, &fila.formulario, &fila.tarea})
        *t = t->trimmed().toUpper();
    fila.ingreso = QDateTime::currentDateTime();
    accesoPendiente = fila;
    insertarAcceso(fila);
    accesoPendiente.reset();
}

void ReintentarRegistroAcceso()
{
    if (!accesoPendiente)
        return;
    const FilaAcceso fila = *accesoPendiente;
    accesoPendiente.reset();
    try {
        insertarAcceso(fila);
    } catch (const RuntimeError& error) {
        Componentes::General().RegistrarError(
            RuntimeError(error.number(),
                         QStringLiteral("Fila de CONTROL_ACCESO no escrita: Maquina=%1; "
                                        "Usuario=%2; Formulario=%3; Tarea=%4; Ingreso=%5 (%6)")
                             .arg(fila.maquina, fila.usuario, fila.formulario, fila.tarea,
                                  fila.ingreso.toString(Qt::ISODate), error.description()),
                         error.source()),
            QStringLiteral("ReintentarRegistroAcceso"));
    }
}

} // namespace ModGlobal
