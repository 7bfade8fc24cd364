#pragma once

#include "session/ValoresSesion.h"

#include <QIcon>
#include <QString>
#include <QStringList>

// The suite's shared session module: start-up, the session values, setting
// and report-catalogue reads and the value helpers every window uses.
class ManejadorError;
class QWidget;

namespace ModGlobal {

// Programs of the suite that connect in mode 3 (list A) and that keep the
// server's default isolation level (list B). This program is in neither.
extern const QStringList ProgramasModo3;
extern const QStringList ProgramasSinAislamiento;

// The session values, read-only for everyone but start-up.
const ValoresSesion& Sesion();

enum class Inicio
{
    Seguir,  // the window opens (also after a failure that start-up showed)
    Terminar // no database connection: the message was shown, the program ends
};

// Start-up: reads the launcher's command line (the text after the program
// name), the workstation's INI section, connects the data component, tunes
// the connection, configures the other components, makes sure the lookup
// definitions exist and loads the suite settings into the session values.
// A failure is shown (the connection's first error, or the failure's own text
// when the connection has none) and ends start-up; an invalid-argument failure
// (a pair without its closing ";") is skipped.
Inicio IniciarSesion(const QString& lineaComandos);

// The suite setting `clave` (trimmed) of TA_CONFIGURACION; the empty text when
// it is missing, null, or the read fails.
QString Cfg(const QString& clave);
// The report file of a report of TA_REPORTES. With a suffix, the report looked
// up is "suffix|name" and the caller's `nombre` changes to it; without a row,
// or with an empty file, the result is the name first given.
QString NombreReporte(QString& nombre, const QString& sufijo);
// A stored text as yes or no: with porDefecto no, only "TRUE", "VERDADERO",
// "1", "SI", "S" are yes; with porDefecto yes, only "FALSE", "FALSO", "0",
// "NO", "N" are no. The whole text counts, without regard to case.
bool ValorLogico(const QString& texto, bool porDefecto);
// Appends the four default lookup definitions to the file named by
// CompSesion.ArchivoConsultas, after its last whole record.
void CrearConsultasPorDefecto();

// Decorates a window when it loads: the suite's icon (named in the INI file,
// written back so the key exists), the workstation's placement, the tool-bar
// style, and the access-log row. Never stops the window from opening: every
// failing step is skipped.
void DecorarFormulario(QWidget* ventana);
// Writes the window's row to the access log CONTROL_ACCESO (none for the
// console, login and bare windows).
void RegistrarAcceso(QWidget* ventana);
// The same row for a window known by its caption and object name.
void RegistrarAcceso(const QString& titulo, const QString& nombre);
// The suite's icon as the INI file names it, the key written back so it
// exists; each step, when it fails, goes as `enError` says.
QString IconoDeLaSuite(ManejadorError& enError);
// The access-log row, a refusal of the database now tried again after the read.
void AnotarAcceso(const QString& titulo, const QString& nombre);
// What DecorarFormulario does for a report run without its window: the
// suite's INI key and the access-log row (tried again after the read when
// the database refuses it now).
void DecorarSinVentana(const QString& titulo, const QString& nombre);
// A row the database refused while the window opened (other programs held it
// locked past the short wait) is kept and written again here, once the
// window's read has ended; if it still cannot be, the error log gets the
// row's own content (workstation, user, window, task, moment), so it can be
// written later by hand. Nothing happens when no row is pending.
void ReintentarRegistroAcceso();
// The program's icon resource of that name; a null icon when there is none.
QIcon IconoDelSistema(const QString& nombre);

// The leading number of a text, "." as decimal point, 0 when there is none
// (how the tool-bar style is read from the INI file).
double NumeroInicial(const QString& texto);

// Test hook: empties the session values.
void ReiniciarSesionParaPruebas();

} // namespace ModGlobal
