#include "Soporte.h"

#include "BaseDatos.h"
#include "FuenteOdbc.h"
#include "IdiomaInstalado.h"

#include "components/Componentes.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace soporte {

QString carpetaNueva(const QString& nombre)
{
    QString raiz = qEnvironmentVariable("RP_TEST_TMP");
    if (raiz.isEmpty())
        raiz = QDir::tempPath() + QStringLiteral("/rp_tests");
    const QString carpeta = raiz + QLatin1Char('/') + nombre;
    QDir(carpeta).removeRecursively();
    QDir().mkpath(carpeta);
    return carpeta;
}

QString carpetaParaTodos(const QString& nombre)
{
    static QTemporaryDir raiz(QDir::tempPath() + QStringLiteral("/rp_tests_XXXXXX"));
    const QString carpeta = raiz.path() + QLatin1Char('/') + nombre;
    QDir(carpeta).removeRecursively();
    QDir().mkpath(carpeta);
    for (const QString& c : {raiz.path(), carpeta})
        QFile::setPermissions(c, QFileDevice::Permissions(0x7777));
    return carpeta;
}

bool escribirArchivo(const QString& ruta, const QByteArray& contenido)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           archivo.write(contenido) == contenido.size() && archivo.flush();
}

QByteArray leerArchivo(const QString& ruta)
{
    QFile archivo(ruta);
    return archivo.open(QIODevice::ReadOnly) ? archivo.readAll() : QByteArray();
}

void crearBaseDemo(const QString& archivo)
{
    const QString nombre = QStringLiteral("base_demo");
    {
        QSqlDatabase db = basedatos::abrirSqlite(archivo, nombre, true);
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
    }
    QSqlDatabase::removeDatabase(nombre);
}

void crearBaseDemoPostgres(const QString& dsn)
{
    const QString nombre = QStringLiteral("base_demo_pg");
    {
        QSqlDatabase db = abrirPostgres(nombre, dsn);
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
    }
    QSqlDatabase::removeDatabase(nombre);
}

QString numeroDelSistema(QString conPunto)
{
    return conPunto.replace(u'.', QLocale::system().decimalPoint());
}

void crearBaseGenerada(const QString& archivo, int ordenes)
{
    const QString nombre = QStringLiteral("base_generada");
    {
        QSqlDatabase db = basedatos::abrirSqlite(archivo, nombre, true);
        basedatos::crearEsquema(db);
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = ordenes;
        basedatos::generar(db, opciones);
    }
    QSqlDatabase::removeDatabase(nombre);
}

void crearBaseLenta(const QString& archivo)
{
    crearBaseDemo(archivo);
    const QString nombre = QStringLiteral("base_lenta");
    {
        QSqlDatabase db = basedatos::abrirSqlite(archivo, nombre, false);
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'view' AND "
                                   "name = 'V_MV_CPTE' COLLATE NOCASE")) ||
            !q.next())
            throw RuntimeError(0, q.lastError().text());
        const QString seleccion = q.value(0).toString().remove(
            QRegularExpression(QStringLiteral("^\\s*CREATE\\s+VIEW\\s+\\S+\\s+AS\\s+"),
                               QRegularExpression::CaseInsensitiveOption));
        q.finish();
        if (!q.exec(QStringLiteral("DROP VIEW V_MV_CPTE")) ||
            !q.exec(QStringLiteral("CREATE VIEW V_MV_CPTE AS SELECT * FROM (") + seleccion +
                    QStringLiteral(") WHERE (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                                   "i + 1 FROM n) SELECT count(*) FROM (SELECT i FROM n LIMIT "
                                   "3000000000)) > 0")))
            throw RuntimeError(0, q.lastError().text());
    }
    QSqlDatabase::removeDatabase(nombre);
}

bool hayPostgres()
{
    return !dsnPostgres().isEmpty();
}
QString dsnPostgres()
{
    return qEnvironmentVariable("RP_PG_DSN");
}
QString usuarioPostgres()
{
    return qEnvironmentVariable("RP_PG_USER");
}
QString clavePostgres()
{
    return qEnvironmentVariable("RP_PG_PASSWORD");
}

QSqlDatabase abrirPostgres(const QString& nombreConexion, const QString& dsn)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), nombreConexion);
    db.setDatabaseName(dsn.isEmpty() ? dsnPostgres() : dsn);
    db.setUserName(usuarioPostgres());
    db.setPassword(clavePostgres());
    if (!db.open())
        throw RuntimeError(ErrorNumber::Database, db.lastError().text(), QStringLiteral("soporte"));
    return db;
}

RangoFiltro rango(const QString& campo, const QString& desde, const QString& hasta, qint16 tipo)
{
    RangoFiltro r;
    r.Campo = campo;
    r.Desde = desde;
    r.Hasta = hasta;
    r.TipoDato = tipo;
    return r;
}

void motores()
{
    QTest::addColumn<QString>("motor");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgres") << QStringLiteral("postgres");
}

bool conectarDatos(const QString& motor, const QString& archivo, const QString& dsn)
{
    CompDatos& datos = Componentes::Datos();
    if (motor == QLatin1String("postgres")) {
        if (dsn.isEmpty()) {
            QTest::qSkip("sin servidor PostgreSQL de prueba", __FILE__, __LINE__);
            return false;
        }
        datos.setBaseDatos(dsn);
        datos.setUsuario(usuarioPostgres());
        datos.setClave(clavePostgres());
    } else {
        datos.setBaseDatos(archivo);
    }
    datos.Conectar();
    if (datos.Conectado())
        return true;
    // A case that cannot reach its database has checked nothing: it fails.
    const QByteArray texto = (QStringLiteral("no se pudo conectar con la base ") +
                              (motor == QLatin1String("postgres") ? dsn : archivo))
                                 .toUtf8();
    QTest::qFail(texto.constData(), __FILE__, __LINE__);
    return false;
}

QString postgresPropio(const QString& nombre)
{
    QFile base(qEnvironmentVariable("ODBCINI"));
    if (!base.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::FileNotFound,
                           QStringLiteral("No está el odbc.ini del servidor de prueba: ") +
                               base.fileName());
    const QString ini = QString::fromUtf8(base.readAll());
    {
        QSqlDatabase admin = abrirPostgres(QStringLiteral("admin-") + nombre);
        QSqlQuery q(admin);
        q.exec(QStringLiteral("DROP DATABASE IF EXISTS ") + nombre +
               QStringLiteral(" WITH (FORCE)"));
        if (!q.exec(QStringLiteral("CREATE DATABASE ") + nombre))
            throw RuntimeError(ErrorNumber::Database, q.lastError().text(),
                               QStringLiteral("soporte"));
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin-") + nombre);
    // The server's own source, repeated under the new name with its database.
    QString fuente = ini.mid(ini.indexOf(QLatin1Char('[')));
    fuente.replace(QLatin1Char('[') + dsnPostgres() + QLatin1Char(']'),
                   QLatin1Char('[') + nombre + QLatin1Char(']'));
    static const QRegularExpression lineaBase(QStringLiteral("(?m)^Database\\s*=.*$"));
    fuente.replace(lineaBase, QStringLiteral("Database = ") + nombre);
    agregarFuenteOdbc(ini, nombre, fuente);
    return nombre;
}

Salida correrPrograma(const QString& programa, const QStringList& argumentos,
                      const QString& carpetaPrograma, const QString& idioma)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("RP_CARPETA_PROGRAMA"), carpetaPrograma);
    if (!idioma.isEmpty()) {
        // Without the locale the program would run under "C" and a check of
        // its decimal commas would pass on nothing.
        if (!idiomaInstalado(idioma))
            qFatal("la configuración regional %s no está instalada en esta máquina; "
                   "scripts/setup la genera",
                   qPrintable(idioma));
        env.insert(QStringLiteral("LC_ALL"), idioma);
    }
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(programa, argumentos);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

} // namespace soporte
