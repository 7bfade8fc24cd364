#pragma once

#include <QSqlDatabase>
#include <QString>

// The database the report reads: schemas for SQLite and PostgreSQL (reached
// through ODBC), demonstration data and a generator of large order books.
// Every failure throws RuntimeError(ErrorNumber::Database, ...) with the
// driver's text and what was being done; wrong arguments throw
// RuntimeError(ErrorNumber::InvalidArgument, ...).
namespace basedatos {

enum class Motor
{
    SQLite,
    PostgreSQL
};

// By driver: QSQLITE is SQLite; QODBC is taken to reach PostgreSQL.
Motor motorDe(const QSqlDatabase& db);

// Opens (crear = true: creates when missing) an SQLite file and installs the
// code collation on the connection before anything else runs on it.
QSqlDatabase abrirSqlite(const QString& archivo, const QString& nombreConexion, bool crear);

// Tables, views and indexes; on PostgreSQL also the collation "codigo".
// Objects go to the connection's current schema (PostgreSQL: the first one
// of search_path).
void crearEsquema(QSqlDatabase& db);

// Drops every object crearEsquema makes, data included; missing ones are fine.
void vaciarEsquema(QSqlDatabase& db);

// True when the tables of crearEsquema are there (judged by the order table).
bool hayEsquema(QSqlDatabase& db);

// Loads the demonstration data into an empty schema.
void cargarDemo(QSqlDatabase& db);

struct OpcionesGenerador
{
    int ordenes = 10000;
    int lineasPorOrden = 3;
    int insumosPorArticulo = 5;
    int articulos = 500; // produced articles; raw materials come on top
    // Every line gets an article of its own (as many articles as lines,
    // `articulos` ignored): the worst case for a load that asks per article.
    bool articuloPorLinea = false;
    quint32 semilla = 1;
};

struct ResumenGenerador
{
    // Rows written: orders, order lines, bill-of-materials rows and articles
    // (produced ones and raw materials).
    qint64 ordenes = 0, lineas = 0, insumos = 0, articulos = 0;
    double segundos = 0;
};

// Writes a deterministic order book for the seed: production orders of branch
// 0002 with their lines, the articles with their bills of materials and the
// customers. Codes do not collide with the demonstration data, so both can
// share a database; running it twice on one schema fails on the keys.
ResumenGenerador generar(QSqlDatabase& db, const OpcionesGenerador& opciones);

// Raw materials the generator adds for the given options.
int materiasPrimasGeneradas(const OpcionesGenerador& opciones);

} // namespace basedatos
