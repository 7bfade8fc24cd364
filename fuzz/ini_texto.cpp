// The INI text the suite's workstations share: IniText reading and writing.
//
// Input: section, key and value on the first three lines, the file's bytes
// after them. Oracles: a value written reads back as given and writing it
// again changes nothing; writing one key leaves every other line of the file
// byte for byte as it was (only the key's line changes, or the key's line is
// added, with its section when that is missing); a refused write changes
// nothing and is refused only for what cannot be stored.

#include "Fuzz.h"

#include "platform/text/Cp1252.h"
#include "platform/text/IniText.h"
#include "platform/text/RuntimeError.h"

namespace {

struct Forma
{
    qsizetype bom = 0;
    int unidad = 1;
    bool cp1252 = true;
};

Forma formaDe(const QByteArray& b)
{
    if (b.startsWith("\xFF\xFE") || b.startsWith("\xFE\xFF"))
        return {2, 2, false};
    if (b.startsWith("\xEF\xBB\xBF"))
        return {3, 1, false};
    return {};
}

// The file's lines, each with its line break ("\n" in the file's unit), and
// apart the odd byte a UTF-16 file may end with.
QList<QByteArray> lineas(const QByteArray& b, const Forma& f, QByteArray& resto)
{
    const qsizetype util = b.size() - (b.size() - f.bom) % f.unidad;
    resto = b.mid(util);
    const bool le = b.startsWith("\xFF\xFE");
    QList<QByteArray> out;
    qsizetype desde = f.bom;
    for (qsizetype i = f.bom; i < util; i += f.unidad) {
        const bool salto = f.unidad == 1 ? b[i] == '\n'
                           : le          ? b[i] == '\n' && b[i + 1] == 0
                                         : b[i] == 0 && b[i + 1] == '\n';
        if (salto) {
            out.append(b.mid(desde, i + f.unidad - desde));
            desde = i + f.unidad;
        }
    }
    if (desde < util)
        out.append(b.mid(desde, util - desde));
    return out;
}

bool representable(const QString& s, const Forma& f)
{
    return !f.cp1252 || fromCp1252(toCp1252(s)) == s;
}

bool tieneSalto(const QString& s)
{
    return s.contains(u'\n') || s.contains(u'\r') || s.contains(QChar(0));
}

// What a key line of the file holds before its value: the bytes up to the
// first "=" (in the file's unit).
qsizetype igualEn(const QByteArray& linea, const Forma& f, bool le)
{
    for (qsizetype i = 0; i + f.unidad <= linea.size(); i += f.unidad) {
        const bool es = f.unidad == 1 ? linea[i] == '='
                                      : (le ? linea[i] == '=' && linea[i + 1] == 0
                                            : linea[i] == 0 && linea[i + 1] == '=');
        if (es)
            return i;
    }
    return -1;
}

bool conSalto(const QByteArray& linea, const Forma& f, bool le)
{
    if (f.unidad == 1)
        return linea.endsWith('\n');
    return linea.size() >= 2 && linea.size() % 2 == 0 &&
           linea.right(2) == (le ? QByteArray("\n\0", 2) : QByteArray("\0\n", 2));
}

// The line's break as bytes: "\r\n", "\n" or nothing, in the file's unit.
QByteArray salto(const QByteArray& linea, const Forma& f, bool le)
{
    if (!conSalto(linea, f, le))
        return {};
    const QByteArray cr = f.unidad == 1 ? QByteArray("\r")
                          : le          ? QByteArray("\r\0", 2)
                                        : QByteArray("\0\r", 2);
    const QByteArray sinLf = linea.left(linea.size() - f.unidad);
    return sinLf.endsWith(cr) ? linea.right(2 * f.unidad) : linea.right(f.unidad);
}

void soloUnaLinea(const QByteArray& antes, const QByteArray& despues)
{
    const Forma f = formaDe(antes);
    const bool le = antes.startsWith("\xFF\xFE");
    fuzz::exigir(despues.left(f.bom) == antes.left(f.bom),
                 QStringLiteral("cambió la marca de orden"));
    QByteArray restoA, restoD;
    const QList<QByteArray> a = lineas(antes, f, restoA);
    const QList<QByteArray> d = lineas(despues, f, restoD);
    fuzz::exigir(restoA == restoD, QStringLiteral("cambió el byte suelto del final"));
    qsizetype p = 0;
    while (p < a.size() && p < d.size() && a[p] == d[p])
        ++p;
    qsizetype q = 0;
    while (q < a.size() - p && q < d.size() - p && a[a.size() - 1 - q] == d[d.size() - 1 - q])
        ++q;
    const QList<QByteArray> quitadas = a.mid(p, a.size() - p - q);
    QList<QByteArray> puestas = d.mid(p, d.size() - p - q);
    const QString donde = QStringLiteral(" (línea %1: %2 quitadas, %3 puestas)")
                              .arg(p + 1)
                              .arg(quitadas.size())
                              .arg(puestas.size());
    fuzz::exigir(quitadas.size() <= 1, QStringLiteral("cambió más de una línea") + donde);
    fuzz::exigir(!puestas.isEmpty(), QStringLiteral("se quitó una línea") + donde);
    if (quitadas.size() == 1) {
        const QByteArray& vieja = quitadas[0];
        const QByteArray& nueva = puestas[0];
        if (puestas.size() == 1) {
            // The key's line: the same up to its "=", the same line break.
            const qsizetype igual = igualEn(vieja, f, le);
            fuzz::exigir(igual >= 0 && nueva.left(igual + f.unidad) == vieja.left(igual + f.unidad),
                         QStringLiteral("la línea cambiada no es la de la clave") + donde);
            // (Blanks kept before an emptied value may end in a CR of their own.)
            fuzz::exigir(conSalto(vieja, f, le) == conSalto(nueva, f, le) &&
                             salto(vieja, f, le).size() <= salto(nueva, f, le).size(),
                         QStringLiteral("cambió el salto de línea") + donde);
            return;
        }
        // The last line, which had no line break, gets one before what is added.
        fuzz::exigir(nueva.startsWith(vieja) && !conSalto(vieja, f, le) &&
                         nueva.size() - vieja.size() <= 2 * f.unidad,
                     QStringLiteral("la última línea cambió") + donde);
        puestas.removeFirst();
    }
    // Added: the key's line, after its section's header when that is new.
    fuzz::exigir(puestas.size() <= 2, QStringLiteral("se agregaron más de dos líneas") + donde);
    fuzz::exigir(igualEn(puestas.last(), f, le) >= 0,
                 QStringLiteral("la línea agregada no es una clave") + donde);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QList<QByteArray> c = fuzz::campos(datos, tam, 3);
    const QString seccion = QString::fromUtf8(c[0]);
    const QString clave = QString::fromUtf8(c[1]);
    const QString valor = QString::fromUtf8(c[2]);
    const QByteArray antes = c[3];
    const Forma forma = formaDe(antes);

    IniText ini(antes);
    (void)ini.value(seccion, clave);
    bool cambio = false;
    try {
        cambio = ini.setValue(seccion, clave, valor);
    } catch (const RuntimeError& e) {
        fuzz::exigir(ini.bytes() == antes, QStringLiteral("un rechazo cambió el archivo"));
        fuzz::exigir(e.number() == ErrorNumber::InvalidArgument,
                     QStringLiteral("error %1 inesperado").arg(e.number()));
        fuzz::exigir(tieneSalto(valor) || tieneSalto(clave) || tieneSalto(seccion) ||
                         clave.contains(u'=') || clave.trimmed().startsWith(u'[') ||
                         seccion.contains(u']') || !representable(valor, forma) ||
                         !representable(clave, forma) || !representable(seccion, forma),
                     QStringLiteral("se rechazó lo que se puede guardar: ") + e.description());
        return 0;
    }
    const auto leido = ini.value(seccion, clave);
    fuzz::exigir(leido.has_value() && *leido == valor,
                 QStringLiteral("[%1] %2: se escribió «%3», se lee «%4»")
                     .arg(seccion, clave, valor, leido.value_or(QStringLiteral("(nada)"))));
    if (!cambio) {
        fuzz::exigir(ini.bytes() == antes, QStringLiteral("sin cambio, pero el archivo cambió"));
        return 0;
    }
    soloUnaLinea(antes, ini.bytes());
    const QByteArray escrito = ini.bytes();
    fuzz::exigir(!ini.setValue(seccion, clave, valor) && ini.bytes() == escrito,
                 QStringLiteral("escribir el mismo valor otra vez cambió el archivo"));
    return 0;
}
