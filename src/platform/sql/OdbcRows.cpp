#include "platform/sql/OdbcRows.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <type_traits>

// 64 bits on Linux (long) and on 64-bit Windows (long long) alike.
static_assert(std::is_same_v<SQLLEN, std::int64_t> && std::is_same_v<SQLULEN, std::uint64_t>,
              "the header keeps ODBC's lengths as 64-bit integers");
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide texts are UTF-16");

void* odbcConnectionHandle(const QSqlDriver* driver)
{
    if (!driver || !driver->isOpen())
        return nullptr;
    const QVariant handle = driver->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return nullptr;
    return *static_cast<SQLHANDLE const*>(handle.data());
}

void* odbcStatementHandle(const QSqlQuery& query)
{
    if (!query.result())
        return nullptr;
    const QVariant handle = query.result()->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return nullptr;
    return *static_cast<SQLHANDLE const*>(handle.data());
}

namespace {

// The wide call on every system: Windows' headers make SQLGetInfo the wide
// one, which would fill a narrow buffer with UTF-16 and read as "p".
QByteArray driverName(SQLHANDLE connection)
{
    SQLWCHAR name[64] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, SQL_DRIVER_NAME, name, sizeof name - sizeof *name,
                                   &length)))
        return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name)).toLatin1().toLower();
}

// Texts longer than this many characters stay with Qt's driver, which reads
// them in pieces: a cell of the arrays holds its column's whole declared size.
constexpr long long LongestText = 4000;
// A block is at most about a mebibyte of arrays, in as many rows of these as
// fit. Each divides the batch a server cursor fetches (2,000 rows): a block
// that straddled two batches would make the driver fetch the rest of it on its
// own, a short batch each time.
constexpr long long BlockBytes = 1 << 20;
constexpr int BlockRows[] = {250, 200, 125, 100, 50, 25, 20, 10, 5, 4, 2, 1};

// A failed fetch as Qt's driver words it.
QSqlError fetchFailure(const QString& databaseText, const QString& native = QString())
{
    return QSqlError(QStringLiteral("QODBC: ") +
                         QCoreApplication::translate("QODBCResult", "Unable to fetch next"),
                     databaseText, QSqlError::ConnectionError, native);
}

} // namespace

bool isPsqlOdbc(void* connection)
{
    return driverName(static_cast<SQLHANDLE>(connection)).contains("psqlodbc");
}

std::unique_ptr<OdbcRows> OdbcRows::attach(const QSqlQuery& query)
{
    SQLHANDLE connection = odbcConnectionHandle(query.driver());
    SQLHANDLE statement = odbcStatementHandle(query);
    // Its Unicode driver is the one whose texts Qt's driver reads as UTF-16,
    // as the arrays do; other drivers keep Qt's own reading.
    if (!connection || !statement || !driverName(connection).contains("psqlodbcw"))
        return nullptr;
    const QSqlRecord record = query.record();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(statement, &count)) || count != record.count() ||
        count <= 0)
        return nullptr;
    std::vector<Column> columns(count);
    long long rowBytes = 0;
    for (SQLSMALLINT i = 0; i < count; ++i) {
        SQLSMALLINT sqlType = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        SQLWCHAR name[128];
        SQLSMALLINT nameLength = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(statement, SQLUSMALLINT(i + 1), name, 128, &nameLength,
                                           &sqlType, &size, &digits, &nullable)))
            return nullptr;
        Column& c = columns[i];
        c.metaType = record.field(i).metaType().id();
        switch (c.metaType) {
        case QMetaType::Double:
            c.cType = SQL_C_DOUBLE;
            c.width = sizeof(double);
            break;
        case QMetaType::Int:
        case QMetaType::Short:
            if (sqlType != SQL_INTEGER && sqlType != SQL_SMALLINT)
                return nullptr;
            // Qt's driver reads both as an int.
            c.metaType = QMetaType::Int;
            c.cType = SQL_C_SLONG;
            c.width = sizeof(SQLINTEGER);
            break;
        case QMetaType::LongLong:
            c.cType = SQL_C_SBIGINT;
            c.width = sizeof(SQLBIGINT);
            break;
        case QMetaType::QDate:
            c.cType = SQL_C_TYPE_DATE;
            c.width = sizeof(SQL_DATE_STRUCT);
            break;
        case QMetaType::QTime:
            c.cType = SQL_C_TYPE_TIME;
            c.width = sizeof(SQL_TIME_STRUCT);
            break;
        case QMetaType::QDateTime:
            c.cType = SQL_C_TYPE_TIMESTAMP;
            c.width = sizeof(SQL_TIMESTAMP_STRUCT);
            break;
        case QMetaType::QString:
            if ((sqlType != SQL_CHAR && sqlType != SQL_VARCHAR && sqlType != SQL_WCHAR &&
                 sqlType != SQL_WVARCHAR) ||
                size == 0 || size > SQLULEN(LongestText))
                return nullptr;
            c.cType = SQL_C_WCHAR;
            // A character outside the first plane takes two units; and the end mark.
            c.width =
                (2 * static_cast<long long>(size) + 1) * static_cast<long long>(sizeof(SQLWCHAR));
            break;
        default:
            return nullptr;
        }
        rowBytes += c.width + static_cast<long long>(sizeof(SQLLEN));
    }
    const auto fits = std::find_if(std::begin(BlockRows), std::end(BlockRows),
                                   [&](int rows) { return rows * rowBytes <= BlockBytes; });
    const int blockRows = fits == std::end(BlockRows) ? 1 : *fits;
    for (Column& c : columns) {
        c.cells.resize(size_t(c.width * blockRows));
        c.lengths.resize(size_t(blockRows));
    }
    return std::unique_ptr<OdbcRows>(
        new OdbcRows(statement, connection, std::move(columns), blockRows));
}

OdbcRows::OdbcRows(void* statement, void* connection, std::vector<Column> columns, int blockRows)
    : m_statement(statement), m_connection(connection), m_columns(std::move(columns)),
      m_blockRows(blockRows)
{
}

OdbcRows::~OdbcRows()
{
    // Only while the statement is still this reader's: a connection closed
    // under the result took its statements with it.
    if (!m_bound)
        return;
    SQLPOINTER fetched = nullptr;
    if (SQL_SUCCEEDED(SQLGetStmtAttr(static_cast<SQLHANDLE>(m_statement), SQL_ATTR_ROWS_FETCHED_PTR,
                                     &fetched, 0, nullptr)) &&
        fetched == &m_fetched)
        unbind();
}

void OdbcRows::unbind()
{
    SQLHANDLE statement = static_cast<SQLHANDLE>(m_statement);
    SQLFreeStmt(statement, SQL_UNBIND);
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(1)), 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    m_bound = false;
}

bool OdbcRows::next(QSqlError& error)
{
    SQLHANDLE statement = static_cast<SQLHANDLE>(m_statement);
    if (m_started && m_row + 1 < m_fetched) {
        ++m_row;
        return true;
    }
    if (!m_started) {
        m_started = true;
        bool bound =
            SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROW_BIND_TYPE,
                                         reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) &&
            SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE,
                                         reinterpret_cast<SQLPOINTER>(SQLULEN(m_blockRows)), 0)) &&
            SQL_SUCCEEDED(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0));
        for (size_t i = 0; bound && i < m_columns.size(); ++i) {
            Column& c = m_columns[i];
            bound = SQL_SUCCEEDED(SQLBindCol(statement, SQLUSMALLINT(i + 1), c.cType,
                                             c.cells.data(), SQLLEN(c.width),
                                             reinterpret_cast<SQLLEN*>(c.lengths.data())));
        }
        m_bound = true;
        if (!bound) {
            error = fetchError();
            unbind();
            return false;
        }
    }
    m_fetched = 0;
    m_row = 0;
    const SQLRETURN r = SQLFetchScroll(statement, SQL_FETCH_NEXT, 0);
    if (SQL_SUCCEEDED(r) && m_fetched > 0) {
        // Every text whole: a longer one than its column declares would have
        // been cut at the cell's end.
        for (const Column& c : m_columns) {
            if (c.cType != SQL_C_WCHAR)
                continue;
            for (std::uint64_t k = 0; k < m_fetched; ++k) {
                const std::int64_t length = c.lengths[k];
                if (length == SQL_NO_TOTAL ||
                    length > c.width - static_cast<long long>(sizeof(SQLWCHAR))) {
                    error = fetchFailure(QStringLiteral("el controlador dio un texto más "
                                                        "largo que el que declara su columna"));
                    unbind();
                    return false;
                }
            }
        }
        return true;
    }
    if (r != SQL_NO_DATA && !SQL_SUCCEEDED(r))
        error = fetchError();
    unbind();
    return false;
}

namespace {

// A handle's diagnostic records as Qt's driver joins them: each new text
// after a space, with the native code of the last one.
void diagnostics(SQLSMALLINT type, SQLHANDLE handle, QString& text, int& native)
{
    if (!handle)
        return;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER code = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, i, state, &code, nullptr, 0, &length)))
            return;
        std::vector<SQLWCHAR> message(size_t(length) + 1);
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, i, state, &code, message.data(),
                                          SQLSMALLINT(message.size()), &length)))
            return;
        native = code;
        qsizetype size = qMin<qsizetype>(length, qsizetype(message.size()));
        if (size > 0 && message[size_t(size - 1)] == 0)
            --size;
        const QString part =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(message.data()), size);
        if (part != text) {
            if (!text.isEmpty())
                text += u' ';
            text += part;
        }
    }
}

} // namespace

QSqlError OdbcRows::fetchError() const
{
    QString text;
    int native = -1;
    diagnostics(SQL_HANDLE_DBC, static_cast<SQLHANDLE>(m_connection), text, native);
    QString fromStatement;
    diagnostics(SQL_HANDLE_STMT, static_cast<SQLHANDLE>(m_statement), fromStatement, native);
    if (!fromStatement.isEmpty()) {
        if (!text.isEmpty())
            text += u' ';
        text += fromStatement;
    }
    return fetchFailure(text, native != -1 ? QString::number(native) : QString());
}

QVariant OdbcRows::value(int column) const
{
    if (column < 0 || size_t(column) >= m_columns.size() || m_row >= m_fetched)
        return {};
    const Column& c = m_columns[size_t(column)];
    const std::int64_t length = c.lengths[m_row];
    const char* cell = c.cells.data() + c.width * static_cast<long long>(m_row);
    if (length == SQL_NULL_DATA) {
        // Qt's driver gives a text's null as no value at all.
        if (c.metaType == QMetaType::QString)
            return {};
        return QVariant(QMetaType(c.metaType));
    }
    switch (c.cType) {
    case SQL_C_DOUBLE: {
        double v;
        memcpy(&v, cell, sizeof v);
        return v;
    }
    case SQL_C_SLONG: {
        SQLINTEGER v;
        memcpy(&v, cell, sizeof v);
        return int(v);
    }
    case SQL_C_SBIGINT: {
        SQLBIGINT v;
        memcpy(&v, cell, sizeof v);
        return qlonglong(v);
    }
    case SQL_C_TYPE_DATE: {
        SQL_DATE_STRUCT v;
        memcpy(&v, cell, sizeof v);
        return QDate(v.year, v.month, v.day);
    }
    case SQL_C_TYPE_TIME: {
        SQL_TIME_STRUCT v;
        memcpy(&v, cell, sizeof v);
        return QTime(v.hour, v.minute, v.second);
    }
    case SQL_C_TYPE_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT v;
        memcpy(&v, cell, sizeof v);
        return QDateTime(QDate(v.year, v.month, v.day),
                         QTime(v.hour, v.minute, v.second, int(v.fraction / 1000000)));
    }
    default: {
        qsizetype units = qsizetype(length / static_cast<std::int64_t>(sizeof(SQLWCHAR)));
        const auto* text = reinterpret_cast<const char16_t*>(cell);
        // Some drivers count their end mark in the length; Qt's driver drops it.
        if (units > 0 && text[units - 1] == 0)
            --units;
        if (units == 0)
            return QString(QStringLiteral(""));
        return QString::fromUtf16(text, units);
    }
    }
}

bool OdbcRows::realNumber(int column, double& out) const
{
    if (column < 0 || size_t(column) >= m_columns.size() || m_row >= m_fetched)
        return false;
    const Column& c = m_columns[size_t(column)];
    if (c.cType != SQL_C_DOUBLE || c.lengths[m_row] == SQL_NULL_DATA)
        return false;
    memcpy(&out, c.cells.data() + c.width * static_cast<long long>(m_row), sizeof out);
    return true;
}

bool OdbcRows::appendText(int column, QString& out) const
{
    if (column < 0 || size_t(column) >= m_columns.size() || m_row >= m_fetched)
        return false;
    const Column& c = m_columns[size_t(column)];
    if (c.metaType != QMetaType::QString || c.cType != SQL_C_WCHAR)
        return false;
    const std::int64_t length = c.lengths[m_row];
    if (length == SQL_NULL_DATA)
        return true;
    qsizetype units = qsizetype(length / static_cast<std::int64_t>(sizeof(SQLWCHAR)));
    const auto* text =
        reinterpret_cast<const char16_t*>(c.cells.data() + c.width * static_cast<long long>(m_row));
    // As value() reads it; a leading byte-order mark, which value()'s
    // decoding drops or acts on, is left to value().
    if (units > 0 && text[units - 1] == 0)
        --units;
    if (units > 0 && (text[0] == 0xFEFF || text[0] == 0xFFFE))
        return false;
    out.append(QStringView(text, units));
    return true;
}
