#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <memory>

class OdbcCursorFetch;
class OdbcRows;
class QSqlDatabase;
struct sqlite3_stmt;

// A forward-only, read-only result set, positioned on its first row when it
// opens. atBof() is true only when the query returned no row at all (then
// atEof() is true as well); fields are found by name without regard to case,
// and a null field stays distinguishable from an empty text.
class Recordset
{
public:
    // Runs `sql` (already in the backend's dialect); throws RuntimeError with
    // the driver's text when the database refuses it. `byCursor`: the
    // statement fixes its order, and its rows may come from a server cursor
    // a batch at a time (see OdbcCursorFetch).
    Recordset(const QSqlDatabase& db, const QString& sql, int timeoutSeconds = 0,
              bool byCursor = false);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool atBof() const { return m_empty; }
    bool atEof() const { return m_eof; }
    void moveNext();

    int fieldCount() const { return m_fields.count(); }
    QString fieldName(int index) const { return m_fields.fieldName(index); }
    bool hasField(const QString& name) const { return m_fields.indexOf(name) >= 0; }
    // The value of a field of the current row; an unknown name, or no current
    // row, raises a run-time error.
    QVariant field(const QString& name) const;
    // The same by position, for readers that look a name up once and then read
    // it on every row: fieldIndex raises the unknown-name error, value the
    // no-current-row one.
    int fieldIndex(const QString& name) const;
    QVariant value(int index) const;
    // The text value(index) holds, appended to `out` straight from the row
    // (no value, no string of its own): for a reader that keeps many texts in
    // one run. Only a text field (or a null one, which appends nothing) is
    // read so; false for any other, to be read through value().
    bool appendText(int index, QString& out) const;
    // The number a field holds when it holds a real number (a double), read
    // straight from the row as value(index) would give it; false for any
    // other kind, a null included, to be read through value().
    bool realNumber(int index, double& out) const;

    void close();
    bool isOpen() const { return m_open; }

private:
    void fetch();
    // SQLite rows are stepped here rather than through Qt's driver, which
    // converts every column of every row (text twice: to UTF-16 inside the
    // engine, then into a copy); a field is converted only when read, with
    // the same types and values the driver gives.
    void openSqlite(const QString& sql, int timeoutSeconds);
    void fetchSqlite();
    QVariant sqliteValue(int index) const;
    // The statement Qt prepared, or null once the driver finalized it (the
    // connection was closed under the result).
    sqlite3_stmt* sqliteStatement() const;
    // The stepped statement a field of the current row is read from
    // straight: null for another backend, a field it does not have, or a
    // connection closed under the result.
    sqlite3_stmt* sqliteRow(int index) const;

    QSqlQuery m_query;
    bool m_sqlite = false;
    sqlite3_stmt* m_statement = nullptr; // as of the last step
    QSqlRecord m_fields;                 // names only: the values stay in the driver's current row
    QString m_sql;
    // Keeps the cursor's batch size while its rows are read.
    std::unique_ptr<OdbcCursorFetch> m_cursor;
    // ODBC rows read a block at a time, when the driver and columns allow.
    std::unique_ptr<OdbcRows> m_rows;
    bool m_empty = true;
    bool m_eof = true;
    bool m_open = false;
};
