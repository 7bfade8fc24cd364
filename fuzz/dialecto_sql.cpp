// The SQL dialect adapter: a statement written for the suite's server made
// fit for SQLite and PostgreSQL.
//
// Oracle: the string literals and quoted names of the statement, read by the
// server's own rules ('...' and "..." with doubled quotes inside, [...] with
// "]]" for "]", "--" and "/* */" comments), are the same, in the same order,
// as those of the adapted statement read by the rules of the backend it was
// adapted for ([name] having become "name"). A statement the server itself
// could not read (a quote or bracket left open) is not judged. The server's
// own text and unknown backends get the statement unchanged.

#include "Fuzz.h"

#include "platform/sql/SqlDialect.h"

namespace {

struct Piezas
{
    QStringList literales;
    QStringList nombres;
    bool completa = true;
};

// Up to the closing `cierre` (doubled: one inside); the text without the
// quotes, or false when the statement ends first.
bool hastaCierre(const QString& s, qsizetype& i, QChar cierre, QString& dentro)
{
    for (++i; i < s.size(); ++i) {
        if (s[i] == cierre) {
            if (i + 1 < s.size() && s[i + 1] == cierre) {
                dentro += cierre;
                ++i;
                continue;
            }
            ++i;
            return true;
        }
        dentro += s[i];
    }
    return false;
}

Piezas leer(const QString& s, bool servidor)
{
    Piezas p;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        QString dentro;
        if (c == u'\'' || c == u'"' || (servidor && c == u'[')) {
            const bool cerrada = hastaCierre(s, i, c == u'[' ? QChar(u']') : c, dentro);
            if (!cerrada)
                p.completa = false;
            (c == u'\'' ? p.literales : p.nombres) << dentro;
        } else if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
            const qsizetype fin = s.indexOf(u'\n', i);
            i = fin < 0 ? s.size() : fin + 1;
        } else if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
            const qsizetype fin = s.indexOf(QStringLiteral("*/"), i + 2);
            // Nested comments are read differently by each backend: not judged.
            if (fin < 0 || s.mid(i + 2, fin - i - 2).contains(QStringLiteral("/*")))
                p.completa = false;
            i = fin < 0 ? s.size() : fin + 2;
        } else {
            ++i;
        }
    }
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tam)
{
    const QString sql =
        QString::fromUtf8(reinterpret_cast<const char*>(datos), static_cast<qsizetype>(tam));
    for (const SqlBackend igual : {SqlBackend::SqlServer, SqlBackend::Other})
        fuzz::exigir(adaptSql(sql, igual) == sql,
                     QStringLiteral("cambió la sentencia del servidor"));
    const Piezas original = leer(sql, true);
    for (const SqlBackend motor : {SqlBackend::PostgreSQL, SqlBackend::SQLite}) {
        const QString adaptada = adaptSql(sql, motor);
        if (!original.completa)
            continue;
        const Piezas despues = leer(adaptada, false);
        fuzz::exigir(
            despues.literales == original.literales,
            QStringLiteral("cambiaron los literales: «%1» → «%2»\n«%3»\n«%4»")
                .arg(original.literales.join(u'|'), despues.literales.join(u'|'), sql, adaptada));
        fuzz::exigir(
            despues.nombres == original.nombres,
            QStringLiteral("cambiaron los nombres: «%1» → «%2»\n«%3»\n«%4»")
                .arg(original.nombres.join(u'|'), despues.nombres.join(u'|'), sql, adaptada));
    }
    return 0;
}
