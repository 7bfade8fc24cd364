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

// The raw value of `clave`: the text from the end of the key to the first ";"
// after it, "=" included. A key counts only where it is followed, after
// optional blanks, by "=", so "@Usuario" never reads the start of
// "@UsuarioLogeado". No such key gives the empty text; a key with no ";" after
// it raises an invalid-argument error (5).
QString ValorCrudo(const QString& linea, const QString& clave);

// The value as start-up keeps it: "@ParametroAdicional" trimmed with only its
// first "=" dropped; any other key without any "=" and trimmed.
QString Valor(const QString& linea, const QString& clave);

} // namespace LineaComandos
