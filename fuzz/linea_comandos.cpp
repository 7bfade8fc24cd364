// The launcher's command line, every key read from it.
//
// Two oracles on every input. Read as it stands, each key either gives a
// value that the line holds right before a ";" or raises the invalid-argument
// error (a key with no ";" after it), and nothing else escapes. Read as a
// recipe, each line of the input is a pair (first byte: which key, second:
// its letter case and spacing, the rest: the value) that is written out as a
// launcher would; then every key must read back exactly the value of its
// first pair, trimmed, and a key without a pair the empty text, whatever the
// other pairs' values hold ("=", "@", other keys' names ...).

#include "Fuzz.h"

#include "platform/text/RuntimeError.h"
#include "session/LineaComandos.h"

#include <QHash>

namespace {

void comoViene(const QString& linea)
{
    for (const QString& clave : LineaComandos::Claves) {
        QString crudo;
        try {
            crudo = LineaComandos::ValorCrudo(linea, clave);
        } catch (const RuntimeError& e) {
            fuzz::exigir(e.number() == ErrorNumber::InvalidArgument,
                         QStringLiteral("%1: error %2 inesperado").arg(clave).arg(e.number()));
            continue;
        }
        fuzz::exigir(!crudo.contains(u';'), clave + QStringLiteral(": el valor pasa un \";\""));
        if (!crudo.isEmpty())
            fuzz::exigir(linea.contains(crudo + u';'),
                         clave + QStringLiteral(": valor que la línea no tiene: ") + crudo);
        fuzz::exigir(LineaComandos::Valor(linea, clave) == crudo.trimmed(),
                     clave + QStringLiteral(": Valor no es el crudo sin blancos"));
    }
}

void comoReceta(const QList<QByteArray>& pares)
{
    QString linea;
    QHash<QString, QString> esperado;
    for (const QByteArray& par : pares) {
        if (par.size() < 2)
            continue;
        const QString& clave = LineaComandos::Claves.at(static_cast<uint8_t>(par[0]) % 7);
        const auto forma = static_cast<uint8_t>(par[1]);
        QString valor = QString::fromUtf8(par.mid(2));
        valor.remove(u';');
        QString escrita = forma % 3 == 1   ? clave.toUpper()
                          : forma % 3 == 2 ? clave.toLower()
                                           : clave;
        if (forma & 4)
            escrita += u' ';
        if (forma & 8)
            linea += u' ';
        linea += escrita + u'=' + valor + u';';
        if (!esperado.contains(clave))
            esperado.insert(clave, valor.trimmed());
    }
    for (const QString& clave : LineaComandos::Claves) {
        QString leido;
        try {
            leido = LineaComandos::Valor(linea, clave);
        } catch (const RuntimeError& e) {
            fuzz::falla(clave + QStringLiteral(": error en una línea bien formada: ") +
                        e.description() + QStringLiteral("\nlínea: ") + linea);
        }
        fuzz::exigir(leido == esperado.value(clave),
                     QStringLiteral("%1 lee «%2», se escribió «%3»\nlínea: %4")
                         .arg(clave, leido, esperado.value(clave), linea));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QByteArray todo(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tam));
    comoViene(QString::fromUtf8(todo));
    comoReceta(todo.split('\n'));
    return 0;
}
