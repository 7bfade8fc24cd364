#include "BaseDatos.h"

#include "Sentencias.h"
#include "platform/sql/CodeCollation.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace basedatos {

namespace {

// In drop order: views before the tables they read, lines before headers.
const QStringList vistas = {
    u"V_MA_ARTICULOS"_s,
    u"V_MA_INSUMOS"_s,
    u"V_MV_CPTE"_s,
    u"C_MV_CPTE"_s,
    u"V_MV_CPTEINSUMOS"_s,
    u"V_REMITOSPENDIENTES"_s,
    u"C_REMITOSPENDIENTES"_s,
    u"V_OT_PENDIENTES"_s,
    u"V_NP_PENDIENTES"_s,
    u"V_OF_PENDIENTES"_s,
    u"V_PR_PENDIENTES"_s,
    u"V_MV_CPTETERCEROS"_s,
    u"V_MV_CARGOSAPLICADOS"_s,
    u"VT_CLIENTES"_s,
    u"VT_PROVEEDORES"_s,
};
const QStringList tablas = {
    u"MV_CPTEINSUMOS"_s,   u"MV_CPTE"_s,      u"MV_CPTETERCEROS"_s, u"MV_CARGOSAPLICADOS"_s,
    u"MA_INSUMOS"_s,       u"MA_ARTICULOS"_s, u"MA_CONTACTOS"_s,    u"MA_CUENTAS"_s,
    u"TA_CONFIGURACION"_s, u"TA_REPORTES"_s,  u"CONTROL_ACCESO"_s,
};

} // namespace

Motor motorDe(const QSqlDatabase& db)
{
    const QString driver = db.driverName();
    if (driver == u"QSQLITE"_s)
        return Motor::SQLite;
    if (driver.startsWith(u"QODBC"_s))
        return Motor::PostgreSQL;
    throw RuntimeError(ErrorNumber::InvalidArgument,
                       u"La conexión usa el controlador %1; la base sólo admite SQLite "
                       u"(QSQLITE) y PostgreSQL por ODBC (QODBC)"_s.arg(driver),
                       u"basedatos"_s);
}

QSqlDatabase abrirSqlite(const QString& archivo, const QString& nombreConexion, bool crear)
{
    const QFileInfo info(archivo);
    if (!crear && !info.exists())
        throw RuntimeError(ErrorNumber::FileNotFound,
                           u"No existe la base SQLite %1"_s.arg(info.absoluteFilePath()),
                           u"basedatos"_s);
    if (!info.absoluteDir().exists())
        throw RuntimeError(
            ErrorNumber::FileNotFound,
            u"No existe la carpeta %1 para la base SQLite"_s.arg(info.absolutePath()),
            u"basedatos"_s);

    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, nombreConexion);
        db.setDatabaseName(archivo);
        if (!db.open()) {
            error = db.lastError().text();
        } else if (!installCodeCollation(db)) {
            error = u"no se pudo instalar la comparación de códigos en la conexión"_s;
        } else {
            // SQLite opens lazily: make it read the file now, so a file that is
            // not a database is refused here rather than at the first query.
            QSqlQuery prueba(db);
            if (!prueba.exec(u"SELECT count(*) FROM sqlite_master"_s))
                error = prueba.lastError().text();
        }
        if (error.isEmpty())
            return db;
        db.close();
    }
    QSqlDatabase::removeDatabase(nombreConexion);
    fallar(u"abrir la base SQLite %1"_s.arg(info.absoluteFilePath()), error);
}

void crearEsquema(QSqlDatabase& db)
{
    const QString tablasDelMotor = motorDe(db) == Motor::SQLite ? u":/db/esquema_sqlite.sql"_s
                                                                : u":/db/esquema_postgres.sql"_s;
    Transaccion transaccion(db, u"crear el esquema"_s);
    ejecutarGuion(db, tablasDelMotor, u"crear las tablas"_s);
    ejecutarGuion(db, u":/db/vistas.sql"_s, u"crear las vistas"_s);
    transaccion.confirmar();
}

void vaciarEsquema(QSqlDatabase& db)
{
    const Motor motor = motorDe(db);
    Transaccion transaccion(db, u"vaciar el esquema"_s);
    for (const QString& vista : vistas)
        ejecutar(db, u"DROP VIEW IF EXISTS %1"_s.arg(vista), u"borrar la vista %1"_s.arg(vista));
    for (const QString& tabla : tablas)
        ejecutar(db, u"DROP TABLE IF EXISTS %1"_s.arg(tabla), u"borrar la tabla %1"_s.arg(tabla));
    if (motor == Motor::PostgreSQL) {
        // Only this schema's collation: another schema may hold tables using its own.
        const QString esquema =
            valorUnico(db, u"SELECT current_schema()"_s, u"averiguar el esquema actual"_s)
                .toString();
        if (!esquema.isEmpty())
            ejecutar(db, u"DROP COLLATION IF EXISTS \"%1\".codigo"_s.arg(esquema),
                     u"borrar la intercalación codigo"_s);
    }
    transaccion.confirmar();
}

bool hayEsquema(QSqlDatabase& db)
{
    const QString sql =
        motorDe(db) == Motor::SQLite
            ? u"SELECT count(*) FROM sqlite_master WHERE type = 'table' AND upper(name) = 'MV_CPTE'"_s
            : u"SELECT count(*) FROM information_schema.tables "
              u"WHERE table_schema = current_schema() AND table_name = 'mv_cpte'"_s;
    return valorUnico(db, sql, u"buscar las tablas del esquema"_s).toInt() > 0;
}

void cargarDemo(QSqlDatabase& db)
{
    Transaccion transaccion(db, u"cargar los datos de demostración"_s);
    ejecutarGuion(db, u":/db/demo.sql"_s, u"cargar los datos de demostración"_s);
    ejecutarGuion(db, u":/db/demo_comprobantes.sql"_s,
                  u"cargar los comprobantes de demostración"_s);
    transaccion.confirmar();
}

} // namespace basedatos
