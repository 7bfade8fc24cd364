#pragma once

#include <QSqlDatabase>
#include <QString>

// What the test programs share: scratch folders and the test server.
namespace soporte {

// A fresh, empty folder for one test, under the build tree.
QString carpetaNueva(const QString& nombre);

// True when the ctest run started the throwaway PostgreSQL server.
bool hayPostgres();
QString dsnPostgres();
QString usuarioPostgres();
QString clavePostgres();

// A database of the test server for this test program alone, created empty
// (dropped first if a previous run left it), and an ODBC data source named
// like it. Call it before any other ODBC use in the process: it points
// ODBCINI at a copy of the server's odbc.ini with the new source added.
// Returns the data source name.
QString postgresPropio(const QString& nombre);

// A Qt ODBC connection to the test server, opened; throws RuntimeError with
// the driver's text when it cannot be opened.
QSqlDatabase abrirPostgres(const QString& nombreConexion, const QString& dsn = {});

} // namespace soporte
