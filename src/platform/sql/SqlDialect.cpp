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

// Length of a "WITH ( NOLOCK )" hint starting at i, or 0.
qsizetype hintLength(const QString& s, qsizetype i)
{
    auto skipBlanks = [&](qsizetype j) {
        while (j < s.size() && s.at(j).isSpace())
            ++j;
        return j;
    };
    if (s.mid(i, 4).compare(QLatin1String("WITH"), Qt::CaseInsensitive) != 0)
        return 0;
    if (i > 0 && isIdentifierChar(s.at(i - 1)))
        return 0;
    qsizetype j = skipBlanks(i + 4);
    if (j >= s.size() || s.at(j) != QLatin1Char('('))
        return 0;
    j = skipBlanks(j + 1);
    if (s.mid(j, 6).compare(QLatin1String("NOLOCK"), Qt::CaseInsensitive) != 0)
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
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Copy the literal or quoted name whole; a doubled quote stays inside it.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, std::min(j + 1, n) - i);
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('[')) {
            const qsizetype close = sql.indexOf(QLatin1Char(']'), i + 1);
            if (close > i) {
                out += QLatin1Char('"') + QStringView(sql).mid(i + 1, close - i - 1) +
                       QLatin1Char('"');
                i = close + 1;
                continue;
            }
        }
        if (const qsizetype hint = hintLength(sql, i)) {
            i += hint;
            continue;
        }
        if ((c == QLatin1Char('d') || c == QLatin1Char('D')) &&
            sql.mid(i, 4).compare(QLatin1String("dbo."), Qt::CaseInsensitive) == 0 &&
            (i == 0 || !isIdentifierChar(sql.at(i - 1)))) {
            i += 4;
            continue;
        }
        out += c;
        ++i;
    }
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
