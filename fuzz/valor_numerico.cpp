// Amounts read from text: Currency::parse and CompGeneral::ValorNumerico.
//
// Oracle: an exact decimal reading of the same text written apart from the
// parser (digits kept as text, the result in 128-bit integers), by the rules
// the parser promises: blanks around, one sign, "." or "," as decimal point
// or thousands grouping, an exponent, four decimals rounded half to even.
// Both must agree on every text: the same amount, or both "no number", or
// both the overflow error; never a wrong value for a text that does not fit.
// Then a parsed amount printed and read again is the same amount, and, for
// the first eight bytes taken as a double, fromShownNumber agrees with
// reading the number's shown text.

#include "Fuzz.h"

#include "components/CompGeneral.h"
#include "platform/text/Currency.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QRegularExpression>

#include <cstring>

namespace {

// An extension gcc and clang both have; marked so for -Wpedantic.
__extension__ using i128 = __int128;

struct Lectura
{
    enum Tipo
    {
        NoNumero,
        Desborde,
        Importe
    } tipo = NoNumero;
    i128 unidades = 0;

    bool operator==(const Lectura& o) const
    {
        return tipo == o.tipo && (tipo != Importe || unidades == o.unidades);
    }
};

QString describir(const Lectura& l)
{
    switch (l.tipo) {
    case Lectura::NoNumero:
        return QStringLiteral("no es número");
    case Lectura::Desborde:
        return QStringLiteral("desborde");
    default:
        return QString::number(static_cast<qint64>(l.unidades)) + QStringLiteral(" diezmilésimos");
    }
}

bool digito(QChar c)
{
    return c >= u'0' && c <= u'9';
}

Lectura oraculo(const QString& texto)
{
    QString t = texto.trimmed();
    if (t.isEmpty())
        return {};
    bool negativo = false;
    if (t.front() == u'-' || t.front() == u'+') {
        negativo = t.front() == u'-';
        t.remove(0, 1);
    }
    qint64 exponente = 0;
    QString mantisa = t;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] != u'e' && t[i] != u'E')
            continue;
        mantisa = t.left(i);
        qsizetype j = i + 1;
        bool menos = false;
        if (j < t.size() && (t[j] == u'+' || t[j] == u'-'))
            menos = t[j++] == u'-';
        if (j == t.size())
            return {};
        for (; j < t.size(); ++j) {
            if (!digito(t[j]))
                return {};
            // Past a billion the exponent means "far out" either way.
            exponente = std::min<qint64>(exponente * 10 + (t[j].unicode() - u'0'), 1000000000);
        }
        if (menos)
            exponente = -exponente;
        break;
    }
    // Which separator is the decimal point.
    const qsizetype puntos = mantisa.count(u'.'), comas = mantisa.count(u',');
    QChar decimal;
    if (puntos && comas)
        decimal = mantisa.lastIndexOf(u'.') > mantisa.lastIndexOf(u',') ? u'.' : u',';
    else if (puntos == 1)
        decimal = u'.';
    else if (comas == 1)
        decimal = u',';
    if (!decimal.isNull() && mantisa.count(decimal) > 1)
        return {};
    QString cifras;
    qsizetype enteras = -1;
    for (const QChar c : mantisa) {
        if (digito(c))
            cifras += c;
        else if (!decimal.isNull() && c == decimal)
            enteras = cifras.size();
        else if (c != u'.' && c != u',')
            return {};
    }
    if (cifras.isEmpty())
        return {};
    if (enteras < 0)
        enteras = cifras.size();
    while (!cifras.isEmpty() && cifras.front() == u'0') {
        cifras.remove(0, 1);
        --enteras;
    }
    while (!cifras.isEmpty() && cifras.back() == u'0')
        cifras.chop(1);
    Lectura r{Lectura::Importe, 0};
    if (cifras.isEmpty())
        return r;
    // value = 0.cifras x 10^(enteras + exponente); units take 4 places more.
    const qint64 k = static_cast<qint64>(enteras) + exponente + 4;
    if (k > 19)
        return {Lectura::Desborde, 0};
    if (k < 0)
        return r;
    const qsizetype n = cifras.size();
    for (qint64 i = 0; i < k; ++i)
        r.unidades = r.unidades * 10 + (i < n ? cifras[i].unicode() - u'0' : 0);
    if (k < n) {
        const QChar primera = cifras[k];
        const bool masDeMedio = primera > u'5' || (primera == u'5' && n > k + 1);
        const bool medio = primera == u'5' && n == k + 1;
        if (masDeMedio || (medio && r.unidades % 2 != 0))
            ++r.unidades;
    }
    const i128 limite = negativo ? (i128(1) << 63) : (i128(1) << 63) - 1;
    if (r.unidades > limite)
        return {Lectura::Desborde, 0};
    if (negativo)
        r.unidades = -r.unidades;
    return r;
}

Lectura leer(const QString& texto, Currency* leido = nullptr)
{
    Currency c;
    try {
        if (!Currency::parse(texto, c))
            return {};
    } catch (const RuntimeError& e) {
        fuzz::exigir(
            e.number() == ErrorNumber::Overflow,
            QStringLiteral("error %1 inesperado: %2").arg(e.number()).arg(e.description()));
        return {Lectura::Desborde, 0};
    }
    if (leido)
        *leido = c;
    return {Lectura::Importe, c.units()};
}

void comparar(const QString& texto)
{
    Currency c;
    const Lectura obtenida = leer(texto, &c);
    const Lectura esperada = oraculo(texto);
    fuzz::exigir(obtenida == esperada, QStringLiteral("«%1»: se leyó %2, debía ser %3")
                                           .arg(texto, describir(obtenida), describir(esperada)));

    // ValorNumerico: the same amount, and 0 for no number.
    try {
        const qint64 v = CompGeneral().ValorNumerico(texto).units();
        fuzz::exigir(esperada.tipo != Lectura::Desborde,
                     QStringLiteral("«%1»: ValorNumerico no avisó el desborde").arg(texto));
        fuzz::exigir(v == (esperada.tipo == Lectura::Importe ? qint64(esperada.unidades) : 0),
                     QStringLiteral("«%1»: ValorNumerico da %2").arg(texto).arg(v));
    } catch (const RuntimeError& e) {
        fuzz::exigir(esperada.tipo == Lectura::Desborde && e.number() == ErrorNumber::Overflow,
                     QStringLiteral("«%1»: ValorNumerico falló: %2").arg(texto, e.description()));
    }

    if (obtenida.tipo != Lectura::Importe)
        return;
    // Printed and read again.
    const QString impreso = c.toString();
    static const QRegularExpression forma(QStringLiteral("^-?[0-9]+(\\.[0-9]{0,3}[1-9])?$"));
    fuzz::exigir(forma.match(impreso).hasMatch(),
                 QStringLiteral("«%1» se imprime «%2»").arg(texto, impreso));
    fuzz::exigir(leer(impreso) == obtenida, QStringLiteral("«%1» se imprime «%2», que se lee %3")
                                                .arg(texto, impreso, describir(leer(impreso))));
}

void numeroMostrado(double d)
{
    // fromShownNumber: what reading numberText(d) gives, 0 for no number.
    Lectura directa;
    try {
        directa = {Lectura::Importe, Currency::fromShownNumber(d).units()};
    } catch (const RuntimeError& e) {
        fuzz::exigir(e.number() == ErrorNumber::Overflow,
                     QStringLiteral("error %1 inesperado").arg(e.number()));
        directa = {Lectura::Desborde, 0};
    }
    const QString mostrado = numberText(d);
    Lectura porTexto = leer(mostrado);
    if (porTexto.tipo == Lectura::NoNumero)
        porTexto = {Lectura::Importe, 0};
    fuzz::exigir(
        directa == porTexto,
        QStringLiteral("%1 («%2»): fromShownNumber da %3, el texto %4")
            .arg(QString::number(d, 'g', 17), mostrado, describir(directa), describir(porTexto)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QByteArray bytes(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tam));
    comparar(QString::fromUtf8(bytes));
    if (tam >= sizeof(double)) {
        double d;
        std::memcpy(&d, datos, sizeof d);
        numeroMostrado(d);
    }
    return 0;
}
