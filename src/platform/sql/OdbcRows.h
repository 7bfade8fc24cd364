#pragma once

#include <QSqlError>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

class QSqlDriver;
class QSqlQuery;

// The ODBC handles under Qt's driver, untyped so that callers need no ODBC
// headers: the connection of an open QODBC driver, the statement of a query
// (null when there is none), and whether a connection is psqlODBC's.
void* odbcConnectionHandle(const QSqlDriver* driver);
void* odbcStatementHandle(const QSqlQuery& query);
bool isPsqlOdbc(void* connection);

// The rows of a statement Qt's ODBC driver has run, read here a block at a
// time into column arrays bound once. Qt's driver asks for every field of
// every row on its own (twice for a text: its length, then the text), each
// call converted on the way by the driver manager; on a load of hundreds of
// thousands of rows those calls were most of the run.
//
// Every value comes as Qt's driver gives it for the same column: its type,
// its null (an invalid value for a text, a null of the field's type for a
// number), its text, and a failed fetch with the driver's words.
class OdbcRows
{
public:
    // Null when the result is better left to Qt's driver: another driver than
    // psqlODBC's Unicode one, or a column whose kind or size the arrays do not
    // take (long texts, dates, binary data, numbers the driver reads as text).
    static std::unique_ptr<OdbcRows> attach(const QSqlQuery& query);
    ~OdbcRows();
    OdbcRows(const OdbcRows&) = delete;
    OdbcRows& operator=(const OdbcRows&) = delete;

    // Moves to the next row: false at the end, or when the fetch failed, and
    // then `error` says why.
    bool next(QSqlError& error);
    QVariant value(int column) const;
    // A text field's characters appended to `out` (nothing for a null); false
    // for a field of another kind.
    bool appendText(int column, QString& out) const;
    // A real number's field (not null) read into `out`; false for any other.
    bool realNumber(int column, double& out) const;

private:
    struct Column
    {
        short cType = 0;
        int metaType = 0;
        long long width = 0; // bytes of one cell
        std::vector<char> cells;
        std::vector<std::int64_t> lengths; // SQLLEN
    };

    OdbcRows(void* statement, void* connection, std::vector<Column> columns, int blockRows);
    QSqlError fetchError() const;
    void unbind();

    void* m_statement;
    void* m_connection;
    std::vector<Column> m_columns;
    int m_blockRows;
    std::uint64_t m_fetched = 0; // SQLULEN: rows in the current block
    std::uint64_t m_row = 0;     // the current one within it
    bool m_started = false;
    bool m_bound = false;
};
