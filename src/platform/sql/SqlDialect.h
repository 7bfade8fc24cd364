#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

class QSqlDatabase;

// The backends the program talks to. Statements are written for the suite's
// server (SQL Server); the others get them adapted just before they run.
enum class SqlBackend
{
    SqlServer,
    PostgreSQL,
    SQLite,
    Other
};

SqlBackend backendOf(const QSqlDatabase& db);

// Adapts a statement written for the suite's server to `backend`:
// SQL Server and unknown ODBC backends get it unchanged; for SQLite and
// PostgreSQL the table hints "WITH(NOLOCK)" / "WITH (NOLOCK)" go, the schema
// prefix "dbo." goes and [bracketed] names become "quoted" ones ("]]" inside
// is "]"). String literals, quoted names and comments are never touched, and
// nothing cut out lets the texts on either side run together.
QString adaptSql(const QString& sql, SqlBackend backend);

// A text as an SQL string literal, quotes doubled: the only way a value is
// pasted into a statement.
QString sqlQuote(const QString& value);

// A date literal the backend reads the same way whatever its language or
// date-format settings ('20261207' for SQL Server, '2026-12-07' elsewhere).
QString sqlDateLiteral(const QDate& date, SqlBackend backend);
// The same for a moment ('20261207 08:05:09' / '2026-12-07 08:05:09').
QString sqlDateTimeLiteral(const QDateTime& moment, SqlBackend backend);

// SQLite keeps dates as texts 'YYYY-MM-DD HH:MM:SS'. A field value in exactly
// that form becomes the date and time it stands for, as a server gives it, so
// that it shows the same on every backend; any other value is returned as is.
QVariant dateFromStoredText(const QVariant& value);
