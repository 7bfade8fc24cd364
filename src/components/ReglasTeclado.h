#pragma once

#include <QChar>
#include <QString>

// What a filter box takes, by its kind, apart from the box: the window's
// keyboard component applies it as the operator types, the command line to
// the values it is given.
namespace ReglasTeclado {

enum class TipoEntrada
{
    Texto,
    Sucursal,
    Numero,
    Letra,
    Fecha
};

// The kind of a box by its key and its kind's name ("COMPROBANTES", "fecha").
TipoEntrada Clasificar(const QString& campo, const QString& tipo);
// The most characters a box of that kind holds.
int Largo(TipoEntrada tipo);
// Day, month and year may be parted by "/", "-" or ".".
bool EsSeparadorDeFecha(QChar c);
// What a box of that kind holds once the operator leaves it, whatever was
// typed or pasted into it.
QString TextoAlSalir(TipoEntrada tipo, const QString& texto);
// Whether the box takes that character when it is typed.
bool AdmiteCaracter(TipoEntrada tipo, QChar c);
// Whether the box would take the whole text (blanks around it aside) as
// typed: every character and no more than it holds.
bool Admite(TipoEntrada tipo, const QString& texto);
// What a box of that kind takes, for a message.
QString QueAdmite(TipoEntrada tipo);

} // namespace ReglasTeclado
