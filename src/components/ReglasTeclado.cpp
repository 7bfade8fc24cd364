#include "components/ReglasTeclado.h"

namespace ReglasTeclado {

namespace {

QString soloAdmitidos(TipoEntrada tipo, const QString& texto)
{
    QString out;
    for (const QChar c : texto)
        if (AdmiteCaracter(tipo, c))
            out += c;
    return out;
}

} // namespace

// Day, month and year may be parted by "/", "-" or ".", as the report engine reads them.
bool EsSeparadorDeFecha(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

int Largo(TipoEntrada tipo)
{
    switch (tipo) {
    case TipoEntrada::Sucursal:
        return 4;
    case TipoEntrada::Numero:
        return 8;
    case TipoEntrada::Letra:
        return 1;
    case TipoEntrada::Fecha:
        return 10;
    case TipoEntrada::Texto:
        break;
    }
    return 32767;
}

TipoEntrada Clasificar(const QString& campo, const QString& tipo)
{
    if (tipo.compare(u"fecha", Qt::CaseInsensitive) == 0)
        return TipoEntrada::Fecha;
    if (tipo.compare(u"COMPROBANTES", Qt::CaseInsensitive) != 0)
        return TipoEntrada::Texto;
    if (campo.startsWith(u"Sucursal", Qt::CaseInsensitive))
        return TipoEntrada::Sucursal;
    if (campo.startsWith(u"Nro", Qt::CaseInsensitive))
        return TipoEntrada::Numero;
    if (campo.startsWith(u"Letra", Qt::CaseInsensitive))
        return TipoEntrada::Letra;
    return TipoEntrada::Texto;
}

QString TextoAlSalir(TipoEntrada tipo, const QString& texto)
{
    const QString t = texto.trimmed();
    switch (tipo) {
    case TipoEntrada::Texto:
        return texto;
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero: {
        const QString digitos = soloAdmitidos(tipo, t).right(Largo(tipo));
        return digitos.isEmpty() ? QString()
                                 : digitos.rightJustified(Largo(tipo), QLatin1Char('0'));
    }
    case TipoEntrada::Letra:
        return soloAdmitidos(tipo, t).left(1).toUpper();
    case TipoEntrada::Fecha:
        return soloAdmitidos(tipo, t).left(Largo(tipo));
    }
    return t;
}

bool AdmiteCaracter(TipoEntrada tipo, QChar c)
{
    const bool digito = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    switch (tipo) {
    case TipoEntrada::Texto:
        return true;
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero:
        return digito;
    case TipoEntrada::Letra:
        return c.isLetter();
    case TipoEntrada::Fecha:
        return digito || EsSeparadorDeFecha(c);
    }
    return false;
}

bool Admite(TipoEntrada tipo, const QString& texto)
{
    const QString t = texto.trimmed();
    return t.size() <= Largo(tipo) && soloAdmitidos(tipo, t) == t;
}

QString QueAdmite(TipoEntrada tipo)
{
    switch (tipo) {
    case TipoEntrada::Texto:
        return QStringLiteral("cualquier texto");
    case TipoEntrada::Sucursal:
    case TipoEntrada::Numero:
        return QStringLiteral("solo dígitos del 0 al 9, hasta %1").arg(Largo(tipo));
    case TipoEntrada::Letra:
        return QStringLiteral("una sola letra");
    case TipoEntrada::Fecha:
        return QStringLiteral("una fecha día/mes/año, por ejemplo 05/11/2026");
    }
    return {};
}

} // namespace ReglasTeclado
