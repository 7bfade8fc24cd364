#include "platform/sql/SqlDialect.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>

SqlBackend backendOf(const QSqlDatabase& db)
{
    if (db.driverName() == QLatin1String("QSQLITE"))
        return SqlBackend::SQLite;
    if (!db.driver())
        return SqlBackend::Other;
    switch (db.driver()->dbmsType()) {
    case QSqlDriver::MSSqlServer:
        return SqlBackend::SqlServer;
    case QSqlDriver::PostgreSQL:
        return SqlBackend::PostgreSQL;
    case QSqlDriver::SQLite:
        return SqlBackend::SQLite;
    default:
        return SqlBackend::Other;
    }
}

namespace {

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c == QLatin1Char('#') || c == QLatin1Char('@');
}

// True when `word` (ASCII) stands at i, in any letter case. Views, not
// copies: the scan below runs for every character of every statement.
bool wordAt(QStringView s, qsizetype i, QLatin1String word)
{
    return s.size() - i >= word.size() &&
           s.sliced(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// Length of a "WITH ( NOLOCK )" hint starting at i, or 0.
qsizetype hintLength(QStringView s, qsizetype i)
{
    auto skipBlanks = [&](qsizetype j) {
        while (j < s.size() && s.at(j).isSpace())
            ++j;
        return j;
    };
    if (!wordAt(s, i, QLatin1String("WITH")))
        return 0;
    if (i > 0 && isIdentifierChar(s.at(i - 1)))
        return 0;
    qsizetype j = skipBlanks(i + 4);
    if (j >= s.size() || s.at(j) != QLatin1Char('('))
        return 0;
    j = skipBlanks(j + 1);
    if (!wordAt(s, j, QLatin1String("NOLOCK")))
        return 0;
    j = skipBlanks(j + 6);
    if (j >= s.size() || s.at(j) != QLatin1Char(')'))
        return 0;
    return j + 1 - i;
}

} // namespace

QString adaptSql(const QString& sql, SqlBackend backend)
{
    if (backend == SqlBackend::SqlServer || backend == SqlBackend::Other)
        return sql;
    const QStringView in(sql);
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    const qsizetype n = in.size();
    // Characters that need no change are copied in runs, not one by one.
    qsizetype runStart = 0;
    // Where something was cut or rewritten, the texts on either side must not
    // run together: 'a'WITH(NOLOCK)'b' would become the one literal 'a''b',
    // -dbo.- a comment.
    bool cut = false;
    const auto keepApart = [&](QChar next) {
        if (cut && !out.isEmpty()) {
            const QChar last = out.back();
            if (((next == u'\'' || next == u'"' || next == u'-') && last == next) ||
                (last == u'/' && next == u'*'))
                out += u' ';
        }
        cut = false;
    };
    const auto flush = [&](qsizetype upTo) {
        if (upTo > runStart) {
            keepApart(in.at(runStart));
            out += in.sliced(runStart, upTo - runStart);
        }
    };
    while (i < n) {
        const QChar c = in.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // The literal or quoted name goes whole; a doubled quote stays inside it.
            qsizetype j = i + 1;
            while (j < n) {
                if (in.at(j) == c) {
                    if (j + 1 < n && in.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = std::min(j + 1, n);
            continue;
        }
        // Comments go whole too: a quote or a bracket in one is only text.
        if (c == u'-' && i + 1 < n && in.at(i + 1) == u'-') {
            const qsizetype end = in.indexOf(u'\n', i);
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (c == u'/' && i + 1 < n && in.at(i + 1) == u'*') {
            const qsizetype end = in.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (c == QLatin1Char('[')) {
            // "]]" stands for "]" inside the brackets; a '"' is doubled once
            // the name is quoted with them.
            qsizetype close = i + 1;
            while ((close = in.indexOf(u']', close)) >= 0 && close + 1 < n &&
                   in.at(close + 1) == u']')
                close += 2;
            if (close > i) {
                flush(i);
                // A quoted name right before would swallow this one.
                if (!out.isEmpty() && out.back() == u'"')
                    out += u' ';
                cut = false;
                QString name = in.sliced(i + 1, close - i - 1).toString();
                name.replace(QLatin1String("]]"), QLatin1String("]"));
                name.replace(QLatin1String("\""), QLatin1String("\"\""));
                out += QLatin1Char('"') + name + QLatin1Char('"');
                i = close + 1;
                runStart = i;
                cut = true;
                continue;
            }
        }
        if (c == QLatin1Char('W') || c == QLatin1Char('w')) {
            if (const qsizetype hint = hintLength(in, i)) {
                flush(i);
                i += hint;
                runStart = i;
                cut = true;
                continue;
            }
        }
        if ((c == QLatin1Char('d') || c == QLatin1Char('D')) &&
            wordAt(in, i, QLatin1String("dbo.")) &&
            (i == 0 || !isIdentifierChar(in.at(i - 1)))) {
            flush(i);
            i += 4;
            runStart = i;
            cut = true;
            continue;
        }
        ++i;
    }
    flush(n);
    return out;
}

QString sqlQuote(const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString sqlDateLiteral(const QDate& date, SqlBackend backend)
{
    const QString format = backend == SqlBackend::SqlServer ? QStringLiteral("yyyyMMdd")
                                                            : QStringLiteral("yyyy-MM-dd");
    return QLatin1Char('\'') + date.toString(format) + QLatin1Char('\'');
}

QString sqlDateTimeLiteral(const QDateTime& moment, SqlBackend backend)
{
    const QString format = backend == SqlBackend::SqlServer ? QStringLiteral("yyyyMMdd HH:mm:ss")
                                                            : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return QLatin1Char('\'') + moment.toString(format) + QLatin1Char('\'');
}

QVariant dateFromStoredText(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    const QString text = value.toString();
    if (text.size() != 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u' ' ||
        text[13] != u':' || text[16] != u':')
        return value;
    const QDateTime moment = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return moment.isValid() ? QVariant(moment) : value;
}
