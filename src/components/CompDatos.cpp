#include "components/CompDatos.h"

#include "platform/sql/CodeCollation.h"
#include "platform/sql/StatementTimeout.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

const QString Origen = QStringLiteral("CompDatos");

bool nombraArchivoSqlite(const QString& base)
{
    if (base.isEmpty())
        return false;
    if (QFileInfo(base).isFile() || base.contains(QLatin1Char('/')))
        return true;
    for (const char* ext : {".db", ".sqlite", ".sqlite3", ".db3"})
        if (base.endsWith(QLatin1String(ext), Qt::CaseInsensitive))
            return true;
    return false;
}

QString textoError(const QSqlError& error)
{
    if (isDatabaseBusy(error))
        return databaseBusyText(error);
    QString texto = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (texto.isEmpty())
        return driver;
    if (!driver.isEmpty() && !texto.contains(driver))
        texto += QStringLiteral(" (") + driver + QLatin1Char(')');
    return texto;
}

QString nivelSql(int nivel)
{
    switch (nivel) {
    case 256:
        return QStringLiteral("READ UNCOMMITTED");
    case 4096:
        return QStringLiteral("READ COMMITTED");
    case 65536:
        return QStringLiteral("REPEATABLE READ");
    case 1048576:
        return QStringLiteral("SERIALIZABLE");
    default:
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           QStringLiteral("Nivel de aislamiento no válido: %1").arg(nivel), Origen);
    }
}

} // namespace

void ConexionDatos::setIsolationLevel(int nivel)
{
    const QString nombre = nivelSql(nivel);
    m_isolationLevel = nivel;
    if (!m_db.isOpen())
        return;
    QString sql;
    switch (backendOf(m_db)) {
    case SqlBackend::SQLite:
        sql = QStringLiteral("PRAGMA read_uncommitted = %1").arg(nivel == 256 ? 1 : 0);
        break;
    case SqlBackend::PostgreSQL:
        sql =
            QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL ") + nombre;
        break;
    case SqlBackend::SqlServer:
        sql = QStringLiteral("SET TRANSACTION ISOLATION LEVEL ") + nombre;
        break;
    case SqlBackend::Other:
        return;
    }
    QSqlQuery query(m_db);
    if (!query.exec(sql)) {
        const QString texto = textoError(query.lastError());
        m_errores = {ErrorDatos{ErrorNumber::Database, texto, Origen}};
        throw RuntimeError(ErrorNumber::Database, texto, Origen);
    }
}

void ConexionDatos::setCommandTimeout(int segundos)
{
    m_commandTimeout = segundos < 0 ? 0 : segundos;
    m_limiteEnConexion = setOdbcConnectionTimeout(m_db, m_commandTimeout);
    // A database another program holds locked is waited for as long as a
    // statement may run.
    setSqliteBusyTimeout(m_db, m_commandTimeout);
}

CompDatos::CompDatos()
    : m_nombreConexion(QStringLiteral("CompDatos-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

CompDatos::~CompDatos()
{
    Desconectar();
}

QString CompDatos::DatoSesion() const
{
    return m_baseDatos + QLatin1Char('|') + m_usuario;
}

void CompDatos::fallo(const QString& descripcion, const QString& origen)
{
    m_conexion.m_errores = {ErrorDatos{ErrorNumber::Database, descripcion, origen}};
    throw RuntimeError(ErrorNumber::Database, descripcion, origen);
}

void CompDatos::Conectar(bool, int, const QString&)
{
    Desconectar();
    m_conexion.m_errores.clear();
    const QString origen = Origen + QStringLiteral(".Conectar");
    QSqlDatabase db;
    if (nombraArchivoSqlite(m_baseDatos)) {
        const QFileInfo archivo(m_baseDatos);
        if (archivo.isDir())
            fallo(QStringLiteral("\"%1\" es una carpeta, no una base de datos").arg(m_baseDatos),
                  origen);
        if (archivo.exists() && !archivo.isFile())
            fallo(QStringLiteral("\"%1\" no es un archivo de base de datos (es un dispositivo o "
                                 "una tubería)")
                      .arg(m_baseDatos),
                  origen);
        if (!archivo.isFile())
            fallo(QStringLiteral("No existe la base de datos \"%1\"").arg(m_baseDatos), origen);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombreConexion);
        db.setDatabaseName(m_baseDatos);
    } else {
        if (m_baseDatos.trimmed().isEmpty())
            fallo(QStringLiteral("No se indicó la base de datos a la que conectarse"), origen);
        db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_nombreConexion);
        db.setDatabaseName(m_baseDatos);
        db.setUserName(m_usuario);
        db.setPassword(m_clave);
    }
    if (!db.isValid())
        fallo(QStringLiteral("Falta el controlador de base de datos %1").arg(db.driverName()),
              origen);
    if (!db.open()) {
        const QString texto = textoError(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombreConexion);
        fallo(texto.isEmpty()
                  ? QStringLiteral("No se pudo abrir la base de datos \"%1\"").arg(m_baseDatos)
                  : texto,
              origen);
    }
    m_conexion.m_db = db;
    m_motor = backendOf(db);
    m_conexion.setCommandTimeout(m_conexion.m_commandTimeout);
    if (m_motor == SqlBackend::SQLite) {
        installCodeCollation(db);
        SqliteStatementTimer::install(db);
        // SQLite opens anything lazily: make sure the file is a database now,
        // not at the first query.
        QSqlQuery prueba(db);
        if (!prueba.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
            const QSqlError error = prueba.lastError();
            prueba = QSqlQuery();
            Desconectar();
            const QString forma = isDatabaseBusy(error)
                                      ? QStringLiteral("No se puede abrir \"%1\": %2")
                                      : QStringLiteral("\"%1\" no es una base de datos válida: %2");
            fallo(forma.arg(m_baseDatos, textoError(error)), origen);
        }
    }
    m_sentencias = 0;
}

CompDatos::Ajustes CompDatos::AjustesDeConexion() const
{
    Ajustes a;
    a.conectada = Conectado();
    a.servidor = m_servidor;
    a.base = m_baseDatos;
    a.usuario = m_usuario;
    a.clave = m_clave;
    a.espera = m_conexion.CommandTimeout();
    a.aislamiento = m_conexion.IsolationLevel();
    return a;
}

std::unique_ptr<CompDatos> CompDatos::ConAjustes(const Ajustes& ajustes)
{
    auto datos = std::make_unique<CompDatos>();
    datos->setServidor(ajustes.servidor);
    datos->setBaseDatos(ajustes.base);
    datos->setUsuario(ajustes.usuario);
    datos->setClave(ajustes.clave);
    datos->Conexion().setCommandTimeout(ajustes.espera);
    if (ajustes.conectada) {
        datos->Conectar();
        datos->Conexion().setIsolationLevel(ajustes.aislamiento);
    }
    return datos;
}

bool CompDatos::Conectado() const
{
    return m_conexion.m_db.isOpen();
}

void CompDatos::Desconectar()
{
    if (m_conexion.m_db.isValid()) {
        m_conexion.m_db.close();
        m_conexion.m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombreConexion);
    }
    m_conexion.m_limiteEnConexion = false;
    m_perdida = false;
}

void CompDatos::reconectar()
{
    const int nivel = m_conexion.m_isolationLevel;
    try {
        Conectar();
        m_conexion.setIsolationLevel(nivel);
    } catch (const RuntimeError& error) {
        m_perdida = true;
        fallo(QStringLiteral("Se perdió la conexión con la base de datos y no se pudo volver a "
                             "conectar: ") +
                  error.description(),
              Origen);
    }
}

void CompDatos::prepararSentencia()
{
    // A connection the server ended (restarted, or the session terminated by
    // an administrator) is opened anew with the same data and settings, so
    // the operator's next command works without restarting the program.
    if (m_perdida || isConnectionLost(m_conexion.m_db.driver()))
        reconectar();
    if (!Conectado())
        fallo(QStringLiteral("No hay conexión con la base de datos"), Origen);
    m_conexion.m_errores.clear();
    ++m_sentencias;
}

std::unique_ptr<Recordset> CompDatos::AbrirRecordset(const QString& sql)
{
    return abrir(sql, false);
}

std::unique_ptr<Recordset> CompDatos::AbrirRecordsetOrdenado(const QString& sql)
{
    return abrir(sql, true);
}

std::unique_ptr<Recordset> CompDatos::abrir(const QString& sql, bool porCursor)
{
    prepararSentencia();
    try {
        return std::make_unique<Recordset>(m_conexion.m_db, adaptSql(sql, m_motor),
                                           m_conexion.limitePorSentencia(), porCursor);
    } catch (const RuntimeError& error) {
        // A stop the operator asked for is no database failure.
        if (error.number() == ErrorNumber::Cancelled)
            throw;
        fallo(error.description(), Origen + QStringLiteral(".AbrirRecordset"));
    }
}

void CompDatos::CerrarRecordset(std::unique_ptr<Recordset>& rs)
{
    if (rs)
        rs->close();
    rs.reset();
}

void CompDatos::Ejecutar(const QString& sql)
{
    prepararSentencia();
    QSqlQuery query(m_conexion.m_db);
    if (!execWithTimeout(query, m_conexion.m_db, adaptSql(sql, m_motor),
                         m_conexion.limitePorSentencia())) {
        const QString texto = textoError(query.lastError());
        fallo(isConnectionLost(query.driver()) ? connectionLostText(texto) : texto,
              Origen + QStringLiteral(".Ejecutar"));
    }
}

QString CompDatos::BuscarCampo(const QString& tabla, const QString& valor, const QString& columna,
                               const QString& columnaClave, int, const QString&)
{
    auto rs = AbrirRecordset(QStringLiteral("SELECT ") + columna + QStringLiteral(" FROM ") +
                             tabla + QStringLiteral(" WHERE ") + columnaClave +
                             QStringLiteral(" = ") + sqlQuote(valor));
    return rs->atBof() ? QString() : valueText(rs->field(columna));
}
