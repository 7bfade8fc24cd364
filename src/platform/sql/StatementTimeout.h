#pragma once

#include <QString>

class QSqlDatabase;
class QSqlDriver;
class QSqlError;
class QSqlQuery;

// Runs `sql` on `query` with a time-out in seconds (0: none, or the one the
// connection already carries). On ODBC the
// time-out is the statement's own query time-out, which the driver enforces
// (SQL Server cancels, PostgreSQL's driver sets statement_timeout); on SQLite
// it is the limit armed by SqliteStatementTimer. Returns what QSqlQuery::exec
// returns.
bool execWithTimeout(QSqlQuery& query, const QSqlDatabase& db, const QString& sql,
                     int timeoutSeconds);

// Makes `timeoutSeconds` the query time-out of every statement of an ODBC
// connection, so statements run directly (one round trip) and still carry it.
// Returns false when the connection is not ODBC or the driver refuses it;
// then execWithTimeout sets it statement by statement.
bool setOdbcConnectionTimeout(const QSqlDatabase& db, int timeoutSeconds);

// SQLite has no statement time-out of its own: a progress handler interrupts
// a statement that runs past the limit armed before it started.
class SqliteStatementTimer
{
public:
    // Installs the handler on an open SQLite connection (no-op otherwise).
    static void install(const QSqlDatabase& db);
    static void arm(int timeoutSeconds);
};

// How long SQLite waits for a database that another program holds locked
// before a statement fails: the command time-out (0: no limit). No-op for
// other backends, which wait under their own statement time-out.
void setSqliteBusyTimeout(const QSqlDatabase& db, int timeoutSeconds);

// True when SQLite refused a statement because another program held the
// database locked past the wait.
bool isDatabaseBusy(const QSqlError& error);
// What the operator is told then, with the driver's own words after it.
QString databaseBusyText(const QSqlError& error);

// True when the driver knows that the server ended the connection (a server
// restart, or the session terminated by an administrator): every further
// statement on it would fail the same way. Only ODBC drivers report it;
// SQLite has no server to lose.
bool isConnectionLost(const QSqlDriver* driver);
// What the operator is told then, with the driver's own words in it.
QString connectionLostText(const QString& driverText);

// While it lives, a result that PostgreSQL's ODBC driver opens on `db` is read
// through a server cursor, some rows at a time, rather than held whole by the
// driver before the first row comes. A cursor makes the server plan for the
// first rows, which can change the order of a result whose statement fixes
// none: only statements with an ORDER BY of their own are read this way.
// Other drivers, and other backends, are left as they are.
// The driver reads the batch size from the connection at every fetch, not
// once per cursor: once the statement has run, opened() lets the statements
// after it be read whole again, and the batch size stays until this ends.
class OdbcCursorFetch
{
public:
    explicit OdbcCursorFetch(const QSqlDatabase& db);
    ~OdbcCursorFetch();
    OdbcCursorFetch(const OdbcCursorFetch&) = delete;
    OdbcCursorFetch& operator=(const OdbcCursorFetch&) = delete;

    void opened();

private:
    void* m_connection = nullptr; // the ODBC connection handle, when switched
    bool m_declaring = false;
    long m_rowsBefore = 0;
};
