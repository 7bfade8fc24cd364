#pragma once

#include <QString>
#include <QStringList>

// The launcher's command line: pairs "@Key=value;" in any order, keys found
// without regard to case.
namespace LineaComandos {

// The keys, in the order start-up reads them.
inline const QStringList Claves = {QStringLiteral("@ParametroAdicional"),
                                   QStringLiteral("@Menu"),
                                   QStringLiteral("@Server"),
                                   QStringLiteral("@DbName"),
                                   QStringLiteral("@Usuario"),
                                   QStringLiteral("@Password"),
                                   QStringLiteral("@UsuarioLogeado")};

// The program's command line: what follows the program name, its arguments
// joined by blanks (so a launcher may pass the pairs as one argument or several).
QString DelProceso(const QStringList& argumentos);

// The raw value of `clave`: the text between the "=" that follows the key
// (after optional blanks) and the first ";" after it. A key counts only at the
// start of the line or after a ";" (blanks between allowed) and only where
// "=" follows it, so "@Usuario" never reads the start of "@UsuarioLogeado" and
// a key written inside another pair's value is not one. No such key gives the
// empty text; a key with no ";" after it raises an invalid-argument error (5).
QString ValorCrudo(const QString& linea, const QString& clave);

// The value as start-up keeps it: the raw value trimmed of blanks; any other
// "=" in it is part of the value ("@Password=ab=c;" is "ab=c").
QString Valor(const QString& linea, const QString& clave);

} // namespace LineaComandos
