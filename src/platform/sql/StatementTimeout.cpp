#include "platform/sql/StatementTimeout.h"

#include "platform/sql/OdbcRows.h"
#include "platform/sql/StatementCancel.h"

#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>
#include <QVariant>
#include <climits>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

namespace {

// Armed by the thread that runs the statement and read by the handler on that
// same thread: a worker's connection keeps its own limit.
thread_local QDeadlineTimer sqliteDeadline(QDeadlineTimer::Forever);

int sqliteProgress(void*)
{
    return sqliteDeadline.hasExpired() ? 1 : 0;
}

} // namespace

void SqliteStatementTimer::install(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return;
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    if (auto* connection = *static_cast<sqlite3* const*>(handle.data()))
        sqlite3_progress_handler(connection, 10000, sqliteProgress, nullptr);
}

void SqliteStatementTimer::arm(int timeoutSeconds)
{
    sqliteDeadline = timeoutSeconds > 0 ? QDeadlineTimer(qint64(timeoutSeconds) * 1000)
                                        : QDeadlineTimer(QDeadlineTimer::Forever);
}

void setSqliteBusyTimeout(const QSqlDatabase& db, int timeoutSeconds)
{
    if (!db.isOpen() || !db.driver())
        return;
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    auto* connection = *static_cast<sqlite3* const*>(handle.data());
    if (!connection)
        return;
    const int ms =
        timeoutSeconds <= 0 || timeoutSeconds > INT_MAX / 1000 ? INT_MAX : timeoutSeconds * 1000;
    sqlite3_busy_timeout(connection, ms);
}

bool isDatabaseBusy(const QSqlError& error)
{
    if (error.type() == QSqlError::NoError)
        return false;
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    // Extended codes (SQLITE_BUSY_SNAPSHOT ...) keep the primary one in the low byte.
    return ok && ((code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED) &&
           (error.databaseText().contains(QLatin1String("locked")) ||
            error.driverText().contains(QLatin1String("locked")));
}

QString databaseBusyText(const QSqlError& error)
{
    QString original = error.databaseText().trimmed();
    if (original.isEmpty())
        original = error.text().trimmed();
    return QStringLiteral("la base de datos está en uso por otro programa y no quedó libre "
                          "dentro del tiempo de espera (%1)")
        .arg(original);
}

namespace {

SQLHANDLE odbcConnection(const QSqlDriver* driver)
{
    return static_cast<SQLHANDLE>(odbcConnectionHandle(driver));
}

} // namespace

QString connectionLostText(const QString& driverText)
{
    return QStringLiteral("se perdió la conexión con la base de datos (%1); la próxima operación "
                          "vuelve a conectarse")
        .arg(driverText.trimmed());
}

bool isConnectionLost(const QSqlDriver* driver)
{
    SQLHANDLE connection = odbcConnection(driver);
    if (!connection)
        return false;
    // Asked of the driver's own state: no round trip to the server.
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN r =
        SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, SQL_IS_UINTEGER, nullptr);
    return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
}

bool setOdbcConnectionTimeout(const QSqlDatabase& db, int timeoutSeconds)
{
    if (db.driverName() != QLatin1String("QODBC"))
        return false;
    SQLHANDLE connection = odbcConnection(db.driver());
    if (!connection)
        return false;
    const SQLRETURN r = SQLSetConnectAttr(
        connection, SQL_ATTR_QUERY_TIMEOUT,
        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), SQL_IS_UINTEGER);
    return SQL_SUCCEEDED(r);
}

bool execWithTimeout(QSqlQuery& query, const QSqlDatabase& db, const QString& sql,
                     int timeoutSeconds)
{
    if (db.driverName() != QLatin1String("QODBC")) {
        SqliteStatementTimer::arm(timeoutSeconds);
        return query.exec(sql);
    }
    // A statement that may be cancelled from another thread needs its handle
    // before it runs, as the time-out does.
    if (timeoutSeconds <= 0 && !StatementCancel::current())
        return query.exec(sql);
    // ODBC: the time-out is an attribute of the statement handle, which exists
    // once the statement is prepared.
    if (!query.prepare(sql))
        return false;
    if (SQLHANDLE statement = odbcStatementHandle(query); statement && timeoutSeconds > 0)
        SQLSetStmtAttr(statement, SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)),
                       SQL_IS_UINTEGER);
    const StatementCancel::Watch watch(query);
    return query.exec();
}

namespace {

// psqlODBC's own connection attributes.
constexpr SQLINTEGER PsqlUseDeclareFetch = 65539;
constexpr SQLINTEGER PsqlFetch = 65541;
// The driver holds a batch whole, each field in an allocation of its own (for
// 10,000 rows of the order query several mebibytes); more, smaller batches
// cost a round trip each, a fraction of a millisecond on a local network.
constexpr SQLINTEGER CursorRows = 2000;

} // namespace

OdbcCursorFetch::OdbcCursorFetch(const QSqlDatabase& db)
{
    if (db.driverName() != QLatin1String("QODBC"))
        return;
    SQLHANDLE connection = odbcConnection(db.driver());
    if (!connection || !isPsqlOdbc(connection))
        return;
    SQLINTEGER before = 0;
    if (!SQL_SUCCEEDED(
            SQLGetConnectAttr(connection, PsqlUseDeclareFetch, &before, SQL_IS_INTEGER, nullptr)) ||
        before != 0)
        return;
    if (!SQL_SUCCEEDED(SQLSetConnectAttr(connection, PsqlUseDeclareFetch,
                                         reinterpret_cast<SQLPOINTER>(SQLLEN(1)), SQL_IS_INTEGER)))
        return;
    SQLINTEGER rows = 0;
    if (SQL_SUCCEEDED(SQLGetConnectAttr(connection, PsqlFetch, &rows, SQL_IS_INTEGER, nullptr)))
        m_rowsBefore = rows;
    SQLSetConnectAttr(connection, PsqlFetch, reinterpret_cast<SQLPOINTER>(SQLLEN(CursorRows)),
                      SQL_IS_INTEGER);
    m_connection = connection;
    m_declaring = true;
}

void OdbcCursorFetch::opened()
{
    if (!m_declaring)
        return;
    SQLSetConnectAttr(m_connection, PsqlUseDeclareFetch, reinterpret_cast<SQLPOINTER>(SQLLEN(0)),
                      SQL_IS_INTEGER);
    m_declaring = false;
}

OdbcCursorFetch::~OdbcCursorFetch()
{
    if (!m_connection)
        return;
    opened();
    if (m_rowsBefore > 0)
        SQLSetConnectAttr(m_connection, PsqlFetch, reinterpret_cast<SQLPOINTER>(m_rowsBefore),
                          SQL_IS_INTEGER);
}
