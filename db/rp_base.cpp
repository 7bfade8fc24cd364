// rp_base: builds a database for the production-order report, SQLite or
// PostgreSQL through ODBC, with the demonstration data or a generated book.

#include "BaseDatos.h"
#include "app/Version.h"
#include "platform/text/RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString uso = uR"(Uso:
  rp_base --sqlite ARCHIVO (--demo | --ordenes N [--semilla S]) [--reemplazar]
  rp_base --odbc DSN --usuario U [--clave C] (--demo | --ordenes N [--semilla S]) [--reemplazar]

Crea la base del reporte de órdenes de producción (tablas, vistas e índices) y la
llena con los datos de demostración o con órdenes generadas.

  --sqlite ARCHIVO  base SQLite en ese archivo
  --odbc DSN        origen de datos ODBC de un servidor PostgreSQL
  --usuario U       usuario del servidor
  --clave C         contraseña del servidor (sin ella, la del origen de datos)
  --demo            datos de demostración: 20 órdenes de octubre y noviembre de 2026
  --ordenes N       genera N órdenes de producción
  --lineas N        líneas por orden generada (3)
  --insumos N       insumos de la lista de materiales de cada artículo (5)
  --articulos N     artículos fabricados entre los que se eligen las líneas (500)
  --articulo-por-linea
                    cada línea con un artículo propio (tantos artículos como líneas)
  --semilla S       semilla del generador (1): la misma semilla da los mismos datos
  --reemplazar      reemplaza una base existente (SQLite: el archivo; servidor: las
                    tablas y vistas del reporte en el esquema del usuario)
  -h, --help        muestra esta ayuda
  --version         muestra la versión
)"_s;

struct ErrorDeUso
{
    QString texto;
};

struct Pedido
{
    QString archivo, dsn, usuario, clave;
    bool demo = false;
    bool reemplazar = false;
    std::optional<basedatos::OpcionesGenerador> generador;
};

int numero(const QString& opcion, const QString& valor, int minimo)
{
    bool ok = false;
    const int n = valor.toInt(&ok);
    if (!ok || n < minimo)
        throw ErrorDeUso{
            u"%1 espera un número entero desde %2, no «%3»"_s.arg(opcion).arg(minimo).arg(valor)};
    return n;
}

Pedido leerArgumentos(const QStringList& argumentos)
{
    Pedido pedido;
    basedatos::OpcionesGenerador opciones;
    bool hayOrdenes = false, hayAjustes = false;
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        const QString& opcion = argumentos.at(i);
        auto valor = [&]() -> QString {
            if (i + 1 >= argumentos.size())
                throw ErrorDeUso{u"falta el valor de %1"_s.arg(opcion)};
            return argumentos.at(++i);
        };
        if (opcion == u"--sqlite"_s)
            pedido.archivo = valor();
        else if (opcion == u"--odbc"_s)
            pedido.dsn = valor();
        else if (opcion == u"--usuario"_s)
            pedido.usuario = valor();
        else if (opcion == u"--clave"_s)
            pedido.clave = valor();
        else if (opcion == u"--demo"_s)
            pedido.demo = true;
        else if (opcion == u"--reemplazar"_s)
            pedido.reemplazar = true;
        else if (opcion == u"--ordenes"_s) {
            opciones.ordenes = numero(opcion, valor(), 1);
            hayOrdenes = true;
        } else if (opcion == u"--lineas"_s) {
            opciones.lineasPorOrden = numero(opcion, valor(), 1);
            hayAjustes = true;
        } else if (opcion == u"--insumos"_s) {
            opciones.insumosPorArticulo = numero(opcion, valor(), 0);
            hayAjustes = true;
        } else if (opcion == u"--articulos"_s) {
            opciones.articulos = numero(opcion, valor(), 1);
            hayAjustes = true;
        } else if (opcion == u"--articulo-por-linea"_s) {
            opciones.articuloPorLinea = true;
            hayAjustes = true;
        } else if (opcion == u"--semilla"_s) {
            opciones.semilla = quint32(numero(opcion, valor(), 0));
            hayAjustes = true;
        } else
            throw ErrorDeUso{u"opción desconocida «%1»"_s.arg(opcion)};
    }
    if (pedido.archivo.isEmpty() == pedido.dsn.isEmpty())
        throw ErrorDeUso{u"indique --sqlite ARCHIVO o --odbc DSN (uno de los dos)"_s};
    if (!pedido.dsn.isEmpty() && pedido.usuario.isEmpty())
        throw ErrorDeUso{u"--odbc necesita --usuario"_s};
    if (!pedido.archivo.isEmpty() && (!pedido.usuario.isEmpty() || !pedido.clave.isEmpty()))
        throw ErrorDeUso{u"--usuario y --clave sólo valen con --odbc"_s};
    if (pedido.demo == hayOrdenes)
        throw ErrorDeUso{u"indique --demo o --ordenes N (uno de los dos)"_s};
    if (pedido.demo && hayAjustes)
        throw ErrorDeUso{
            u"--lineas, --insumos, --articulos, --articulo-por-linea y --semilla sólo valen "
            "con --ordenes"_s};
    if (hayOrdenes)
        pedido.generador = opciones;
    return pedido;
}

qint64 contar(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery consulta(db);
    if (!consulta.exec(sql) || !consulta.next())
        throw RuntimeError(ErrorNumber::Database,
                           u"No se pudo contar lo cargado: %1"_s.arg(consulta.lastError().text()),
                           u"rp_base"_s);
    return consulta.value(0).toLongLong();
}

// Fills a schema that crearEsquema just made; returns the summary line.
QString llenar(QSqlDatabase& db, const Pedido& pedido, const QString& destino)
{
    if (pedido.demo) {
        QElapsedTimer reloj;
        reloj.start();
        basedatos::cargarDemo(db);
        return u"Datos de demostración cargados en %1: %2 órdenes de producción con %3 líneas, "
               u"%4 artículos, %5 filas de listas de materiales, %6 comprobantes en total (%7 s)"_s
                   .arg(destino)
                   .arg(contar(db, u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP'"_s))
                   .arg(contar(db, u"SELECT count(*) FROM V_MV_CPTEINSUMOS WHERE TC = 'OP'"_s))
                   .arg(contar(db, u"SELECT count(*) FROM V_MA_ARTICULOS"_s))
                   .arg(contar(db, u"SELECT count(*) FROM V_MA_INSUMOS"_s))
                   .arg(contar(db, u"SELECT count(*) FROM MV_CPTE"_s))
                   .arg(double(reloj.nsecsElapsed()) / 1e9, 0, 'f', 2);
    }
    const basedatos::OpcionesGenerador& o = *pedido.generador;
    const basedatos::ResumenGenerador r = basedatos::generar(db, o);
    return u"Generadas en %1: %2 órdenes, %3 líneas, %4 artículos, %5 filas de listas de "
           u"materiales; el reporte expande %6 filas de insumos (semilla %7, %8 s)"_s.arg(destino)
               .arg(r.ordenes)
               .arg(r.lineas)
               .arg(r.articulos)
               .arg(r.insumos)
               .arg(r.lineas * o.insumosPorArticulo)
               .arg(o.semilla)
               .arg(r.segundos, 0, 'f', 2);
}

// Built beside the target and renamed over it at the end, so a failure never
// leaves a half-built file nor costs the one being replaced.
QString construirSqlite(const Pedido& pedido)
{
    const QFileInfo destino(pedido.archivo);
    if (destino.exists() && !pedido.reemplazar)
        throw RuntimeError(
            ErrorNumber::FileAccess,
            u"ya existe %1; use --reemplazar para reemplazarlo"_s.arg(destino.absoluteFilePath()),
            u"rp_base"_s);
    if (destino.isDir())
        throw RuntimeError(ErrorNumber::FileAccess,
                           u"%1 es una carpeta, no un archivo"_s.arg(destino.absoluteFilePath()),
                           u"rp_base"_s);
    const QString provisorio = destino.absoluteFilePath() + u".rp_base-tmp"_s;
    QFile::remove(provisorio);
    const QString conexion = u"rp_base"_s;
    QString resumen;
    try {
        QSqlDatabase db = basedatos::abrirSqlite(provisorio, conexion, true);
        basedatos::crearEsquema(db);
        resumen = llenar(db, pedido, destino.absoluteFilePath());
        db.close();
    } catch (...) {
        QSqlDatabase::removeDatabase(conexion);
        QFile::remove(provisorio);
        throw;
    }
    QSqlDatabase::removeDatabase(conexion);
    if (destino.exists() && !QFile::remove(destino.absoluteFilePath())) {
        QFile::remove(provisorio);
        throw RuntimeError(
            ErrorNumber::FileAccess,
            u"no se pudo borrar %1 para reemplazarlo"_s.arg(destino.absoluteFilePath()),
            u"rp_base"_s);
    }
    if (!QFile::rename(provisorio, destino.absoluteFilePath()))
        throw RuntimeError(ErrorNumber::FileAccess,
                           u"no se pudo dejar la base en %1 (quedó en %2)"_s.arg(
                               destino.absoluteFilePath(), provisorio),
                           u"rp_base"_s);
    return resumen;
}

QString construirOdbc(const Pedido& pedido)
{
    const QString conexion = u"rp_base"_s;
    QString resumen;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QODBC"_s, conexion);
        db.setDatabaseName(pedido.dsn);
        db.setUserName(pedido.usuario);
        db.setPassword(pedido.clave);
        if (!db.open())
            throw RuntimeError(ErrorNumber::Database,
                               u"no se pudo conectar con el origen de datos %1: %2"_s.arg(
                                   pedido.dsn, db.lastError().text()),
                               u"rp_base"_s);
        if (basedatos::hayEsquema(db)) {
            if (!pedido.reemplazar)
                throw RuntimeError(ErrorNumber::FileAccess,
                                   u"el origen de datos %1 ya tiene las tablas del reporte; use "
                                   u"--reemplazar para borrarlas"_s.arg(pedido.dsn),
                                   u"rp_base"_s);
            basedatos::vaciarEsquema(db);
        }
        basedatos::crearEsquema(db);
        resumen = llenar(db, pedido, u"el origen de datos "_s + pedido.dsn);
        db.close();
    }
    QSqlDatabase::removeDatabase(conexion);
    return resumen;
}

void escribirLinea(FILE* salida, const QString& texto)
{
    QTextStream(salida) << texto.simplified() << u'\n';
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication aplicacion(argc, argv);
    const QStringList argumentos = QCoreApplication::arguments();
    if (argumentos.contains(u"--help"_s) || argumentos.contains(u"-h"_s)) {
        QTextStream(stdout) << uso;
        return 0;
    }
    if (argumentos.contains(u"--version"_s)) {
        std::fputs("rp_base " RP_VERSION "\n", stdout);
        return 0;
    }
    try {
        const Pedido pedido = leerArgumentos(argumentos);
        const QString resumen =
            pedido.archivo.isEmpty() ? construirOdbc(pedido) : construirSqlite(pedido);
        escribirLinea(stdout, resumen);
        return 0;
    } catch (const ErrorDeUso& error) {
        escribirLinea(stderr, u"rp_base: %1 (rp_base --help muestra el uso)"_s.arg(error.texto));
        return 2;
    } catch (const RuntimeError& error) {
        escribirLinea(stderr, u"rp_base: "_s + error.description());
        return 1;
    }
}
