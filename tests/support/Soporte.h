#pragma once

#include "components/RangoFiltro.h"
#include "platform/files/DesktopOpener.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// What the test programs share: scratch folders and the test server.
namespace soporte {

// The desktop's file associations, which a test machine has not got: it
// records what it was asked to open and answers as told.
struct EscritorioDePrueba : DesktopOpener
{
    QStringList abiertos;
    bool hayPrograma = true;
    bool open(const QString& ruta) override
    {
        abiertos << ruta;
        return hayPrograma;
    }
};

// A fresh, empty folder for one test, under the build tree.
QString carpetaNueva(const QString& nombre);

// A fresh folder that any user can enter and write (mode 0777), for the
// cases run as another user: the build tree may lie in a home folder of mode
// 0700. It lies under the system's temporary folder and goes at exit.
QString carpetaParaTodos(const QString& nombre);

// The file `ruta` holding `contenido` alone: the earlier file a test's
// interrupted write must leave as it was. False when it could not be written.
bool escribirArchivo(const QString& ruta, const QByteArray& contenido);

// What the file `ruta` holds; empty when it cannot be read.
QByteArray leerArchivo(const QString& ruta);

// A SQLite file `archivo` with the report's schema and the demonstration data,
// closed again.
void crearBaseDemo(const QString& archivo);
// The same in the PostgreSQL database of the data source `dsn`.
void crearBaseDemoPostgres(const QString& dsn);

// A number written with a point, as the grid and the lists write it under
// the running locale (its decimal separator in the point's place).
QString numeroDelSistema(QString conPunto);

// A SQLite file `archivo` with the report's schema and `ordenes` generated
// orders (the generator's other options as they come), closed again.
void crearBaseGenerada(const QString& archivo, int ordenes);

// The same data whose order view counts for minutes before its first row:
// a load stays in its first statement until it is interrupted.
void crearBaseLenta(const QString& archivo);

// True when the ctest run started the throwaway PostgreSQL server.
bool hayPostgres();
QString dsnPostgres();
QString usuarioPostgres();
QString clavePostgres();

// A database of the test server for this test program alone, created empty
// (dropped first if a previous run left it), and an ODBC data source named
// like it. Call it before any other ODBC use in the process: on Linux it
// points ODBCINI at a copy of the server's odbc.ini with the new source added.
// Returns the data source name.
QString postgresPropio(const QString& nombre);

// A filter range of the report engine.
RangoFiltro rango(const QString& campo, const QString& desde, const QString& hasta, qint16 tipo);

// The two backends every database test runs on, as the data column "motor"
// ("sqlite", "postgres").
void motores();

// Points the data component at a backend and connects it: the SQLite file
// `archivo`, or the test server's data source `dsn` (its own database). When
// the server is not there the test is marked skipped and false comes back.
bool conectarDatos(const QString& motor, const QString& archivo, const QString& dsn);

// A Qt ODBC connection to the test server, opened; throws RuntimeError with
// the driver's text when it cannot be opened.
QSqlDatabase abrirPostgres(const QString& nombreConexion, const QString& dsn = {});

// The program run as a script runs it, headless by its own choice (no display,
// no platform chosen for it), with `carpetaPrograma` as its program folder
// and, when given, `idioma` as its locale (LC_ALL).
// A run that does not end within a minute gives exit code -1.
struct Salida
{
    int codigo = -1;
    QString out, err;
};
Salida correrPrograma(const QString& programa, const QStringList& argumentos,
                      const QString& carpetaPrograma, const QString& idioma = {});

} // namespace soporte
