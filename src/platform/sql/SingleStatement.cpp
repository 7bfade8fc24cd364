#include "platform/sql/SingleStatement.h"

#include "platform/sql/SqlDialect.h"
#include "platform/text/RuntimeError.h"

#include <QRandomGenerator>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {

const QString Origin = QStringLiteral("countStatements");

[[noreturn]] void fail(const QString& text)
{
    throw RuntimeError(ErrorNumber::Database, text, Origin);
}

// SQLite: prepare the first statement, then the rest; whatever remains that
// compiles to a statement is a second one (blanks and comments compile to none).
StatementCount countSqlite(const QSqlDatabase& db, const QString& sql)
{
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0 || !*static_cast<sqlite3* const*>(handle.data()))
        return StatementCount::Unchecked;
    sqlite3* connection = *static_cast<sqlite3* const*>(handle.data());
    const QByteArray text = sql.toUtf8();
    const char* rest = text.constData();
    const char* const end = rest + text.size();
    int statements = 0;
    while (rest < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(connection, rest, int(end - rest), &statement, &tail);
        const bool readOnly = statement && sqlite3_stmt_readonly(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_OK)
            fail(QString::fromUtf8(sqlite3_errmsg(connection)));
        if (statement && (++statements > 1 || !readOnly))
            return StatementCount::Several;
        if (!tail || tail <= rest)
            break;
        rest = tail;
    }
    return statements == 1 ? StatementCount::One : StatementCount::Several;
}

// A dollar-quote tag no caller can guess, so that the text cannot close the
// literal it is placed in.
QString unguessableTag(const QString& sql)
{
    for (;;) {
        const QString tag = QStringLiteral("$rp%1$").arg(QRandomGenerator::system()->generate64(), 16,
                                                          16, QLatin1Char('0'));
        if (!sql.contains(tag))
            return tag;
    }
}

// PostgreSQL: the server opens the text as a cursor inside a block and closes
// it at once; opening plans the query without running it, and a cursor takes
// one query only ("cannot open multi-query plan as cursor", SQLSTATE 42P11),
// so a COMMIT, a DELETE or a second statement is never reached.
StatementCount countPostgres(const QSqlDatabase& db, const QString& sql)
{
    const QString outer = unguessableTag(sql);
    const QString inner = unguessableTag(sql + outer);
    const QString Several = QStringLiteral("rp_no_una_consulta");
    const QString block = QStringLiteral("DO ") + outer +
                          QStringLiteral(" DECLARE c refcursor; BEGIN OPEN c FOR EXECUTE ") + inner +
                          sql + inner +
                          QStringLiteral("; CLOSE c; EXCEPTION WHEN invalid_cursor_definition THEN "
                                         "RAISE EXCEPTION '") +
                          Several + QStringLiteral("'; END ") + outer;
    QSqlQuery query(db);
    if (query.exec(block))
        return StatementCount::One;
    const QString text = query.lastError().text();
    if (text.contains(Several))
        return StatementCount::Several;
    fail(text);
}

} // namespace

StatementCount countStatements(const QSqlDatabase& db, const QString& sql)
{
    if (!db.isOpen() || !db.driver())
        fail(QStringLiteral("no hay conexión con la base de datos"));
    switch (backendOf(db)) {
    case SqlBackend::SQLite:
        return countSqlite(db, sql);
    case SqlBackend::PostgreSQL:
        return countPostgres(db, sql);
    default:
        return StatementCount::Unchecked;
    }
}
