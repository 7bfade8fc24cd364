#include "platform/sql/Recordset.h"

#include "platform/sql/OdbcRows.h"
#include "platform/sql/StatementCancel.h"
#include "platform/sql/StatementTimeout.h"
#include "platform/text/CNumericLocale.h"
#include "platform/text/RuntimeError.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlResult>
#include <sqlite3.h>

namespace {

const QString Source = QStringLiteral("Recordset");

// Work this thread was asked to stop goes no further: not another statement,
// not another row; and a statement the cancel interrupted fails as cancelled,
// not with the driver's words for the interruption.
void stopIfCancelled()
{
    if (const StatementCancel* cancel = StatementCancel::current())
        cancel->check();
}

[[noreturn]] void fail(const QString& text)
{
    stopIfCancelled();
    throw RuntimeError(ErrorNumber::Database, text, Source);
}

QString errorText(const QSqlError& error, const QSqlDriver* driver)
{
    if (isDatabaseBusy(error))
        return databaseBusyText(error);
    // A second statement after the first: the driver's words for it ("not an
    // error Unable to execute multiple statements at a time", SQLite's
    // SQLITE_MISUSE with no error of its own) do not say what was wrong.
    if (error.nativeErrorCode() == u"21" && error.databaseText() == u"not an error")
        return QStringLiteral("la sentencia tiene más de una instrucción (un \";\" fuera de "
                              "comillas): solo se ejecuta una por vez");
    // However the load reads its rows, a server that ended the connection is
    // named as such, not left to the driver's words alone.
    return isConnectionLost(driver) ? connectionLostText(error.text()) : error.text();
}

QString errorText(const QSqlQuery& query)
{
    return errorText(query.lastError(), query.driver());
}

// The driver's own words for a failed step, so a message reads the same
// however the rows were read (its translations included).
QString sqliteText(const char* text)
{
    return QCoreApplication::translate("QSQLiteResult", text);
}

QSqlError sqliteError(sqlite3* connection, int code)
{
    return QSqlError(sqliteText("Unable to fetch row"),
                     QString(reinterpret_cast<const QChar*>(sqlite3_errmsg16(connection))),
                     QSqlError::ConnectionError, QString::number(code));
}

// Well-formed UTF-8, which the engine and Qt decode alike; anything else
// (stray bytes of another code page, encoded surrogates, overlong forms) and
// the characters either may treat specially (U+FEFF, U+FFFE, U+FFFF) are left
// to the engine's own decoding.
// What the driver says of a result without a statement (an empty one, or one
// the closed connection finalized).
RuntimeError noStatement()
{
    return RuntimeError(ErrorNumber::Database,
                        QSqlError(sqliteText("Unable to fetch row"), sqliteText("No query"),
                                  QSqlError::ConnectionError)
                            .text(),
                        Source);
}

RuntimeError noCurrentRow(const QString& field)
{
    return RuntimeError(
        3021, QStringLiteral("No hay un registro actual para leer el campo \"%1\"").arg(field),
        Source);
}

bool plainUtf8(const char* text, int length)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const auto tail = [&](int n) {
            if (i + n >= length)
                return false;
            for (int k = 1; k <= n; ++k)
                if ((s[i + k] & 0xC0) != 0x80)
                    return false;
            return true;
        };
        if (c >= 0xC2 && c <= 0xDF) {
            if (!tail(1))
                return false;
            i += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (!tail(2) || (c == 0xE0 && s[i + 1] < 0xA0) || (c == 0xED && s[i + 1] >= 0xA0))
                return false;
            // U+FEFF (EF BB BF), U+FFFE and U+FFFF (EF BF BE/BF).
            if (c == 0xEF &&
                ((s[i + 1] == 0xBB && s[i + 2] == 0xBF) || (s[i + 1] == 0xBF && s[i + 2] >= 0xBE)))
                return false;
            i += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (!tail(3) || (c == 0xF0 && s[i + 1] < 0x90) || (c == 0xF4 && s[i + 1] >= 0x90))
                return false;
            i += 4;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

Recordset::Recordset(const QSqlDatabase& db, const QString& sql, int timeoutSeconds, bool byCursor)
    : m_query(db), m_sql(sql)
{
    stopIfCancelled();
    m_query.setForwardOnly(true);
    // Amounts and measures arrive as numbers on every backend, not as the
    // text some ODBC drivers give for numeric columns.
    m_query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (db.driverName() == QLatin1String("QSQLITE")) {
        openSqlite(sql, timeoutSeconds);
        return;
    }
    // An ODBC driver turns the server's numbers into doubles with the C library.
    const CNumericScope numbers;
    if (byCursor)
        m_cursor = std::make_unique<OdbcCursorFetch>(db);
    if (!execWithTimeout(m_query, db, sql, timeoutSeconds))
        fail(errorText(m_query));
    if (m_cursor)
        m_cursor->opened();
    m_open = true;
    m_fields = m_query.record();
    m_rows = OdbcRows::attach(m_query);
    fetch();
    m_empty = m_eof;
}

Recordset::~Recordset() = default;

void Recordset::openSqlite(const QString& sql, int timeoutSeconds)
{
    m_sqlite = true;
    SqliteStatementTimer::arm(timeoutSeconds);
    // Qt prepares it, so a refused statement reads as it always did, and
    // finalizes it with the query or when the connection closes.
    if (!m_query.prepare(sql))
        fail(errorText(m_query));
    sqlite3_stmt* statement = m_statement = sqliteStatement();
    if (!statement)
        throw noStatement();
    // A placeholder outside the quotes has no value to take.
    if (sqlite3_bind_parameter_count(statement) > 0)
        throw RuntimeError(
            ErrorNumber::Database,
            QSqlError(sqliteText("Parameter count mismatch"), QString(), QSqlError::StatementError)
                .text(),
            Source);
    // The names as the driver gives them: quotes dropped, with the table a
    // column comes from, so a qualified name finds it too.
    const int columns = sqlite3_column_count(statement);
    for (int i = 0; i < columns; ++i) {
        const QString name =
            QString(reinterpret_cast<const QChar*>(sqlite3_column_name16(statement, i)))
                .remove(u'"');
        const QString table =
            QString(reinterpret_cast<const QChar*>(sqlite3_column_table_name16(statement, i)))
                .remove(u'"');
        m_fields.append(QSqlField(name, QMetaType(), table));
    }
    m_open = true;
    fetchSqlite();
    m_empty = m_eof;
}

sqlite3_stmt* Recordset::sqliteStatement() const
{
    const QSqlResult* result = m_query.result();
    if (!result)
        return nullptr;
    const QVariant handle = result->handle();
    if (qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.data());
}

void Recordset::fetchSqlite()
{
    stopIfCancelled();
    sqlite3_stmt* statement = m_statement = sqliteStatement();
    if (!statement) {
        m_eof = true;
        throw noStatement();
    }
    const int result = sqlite3_step(statement);
    if (result == SQLITE_ROW) {
        m_eof = false;
        return;
    }
    m_eof = true;
    // A finished statement lets go of the database at once, as the driver does.
    if (result == SQLITE_DONE) {
        sqlite3_reset(statement);
        return;
    }
    sqlite3* connection = sqlite3_db_handle(statement);
    QSqlError error;
    if (result == SQLITE_ERROR || result == SQLITE_CONSTRAINT) {
        // The generic code: the reset gives the specific one and its message.
        error = sqliteError(connection, sqlite3_reset(statement));
    } else {
        error = sqliteError(connection, result);
        sqlite3_reset(statement);
    }
    fail(errorText(error, m_query.driver()));
}

QVariant Recordset::sqliteValue(int index) const
{
    // The statement goes with the connection: a closed one leaves no row.
    // (Each step asks the driver for it anew.)
    const QSqlDriver* driver = m_query.driver();
    sqlite3_stmt* statement = driver && driver->isOpen() ? m_statement : nullptr;
    if (!statement)
        throw noCurrentRow(m_fields.fieldName(index));
    if (index < 0 || index >= m_fields.count())
        return {};
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, index));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, index)),
                          sqlite3_column_bytes(statement, index));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
        const int length = sqlite3_column_bytes(statement, index);
        if (text && plainUtf8(text, length))
            return QString::fromUtf8(text, length);
        return QString(reinterpret_cast<const QChar*>(sqlite3_column_text16(statement, index)),
                       sqlite3_column_bytes16(statement, index) / int(sizeof(QChar)));
    }
    }
}

void Recordset::fetch()
{
    if (m_sqlite) {
        fetchSqlite();
        return;
    }
    stopIfCancelled();
    const CNumericScope numbers;
    bool next = false;
    QSqlError error;
    {
        // A server cursor fetches its next batch here, which may take as long as a statement.
        const StatementCancel::Watch watch(m_query);
        next = m_rows ? m_rows->next(error) : m_query.next();
    }
    if (next) {
        m_eof = false;
        return;
    }
    m_eof = true;
    if (!m_rows)
        error = m_query.lastError();
    if (error.isValid())
        fail(errorText(error, m_query.driver()));
}

void Recordset::moveNext()
{
    if (!m_open || m_eof)
        throw RuntimeError(3021,
                           QStringLiteral("No hay un registro actual: el conjunto de "
                                          "registros está al final"),
                           Source);
    fetch();
}

QVariant Recordset::field(const QString& name) const
{
    return value(fieldIndex(name));
}

int Recordset::fieldIndex(const QString& name) const
{
    const int index = m_fields.indexOf(name);
    if (index < 0)
        throw RuntimeError(
            ErrorNumber::ItemNotFound,
            QStringLiteral("No se encontró el campo \"%1\" en el resultado").arg(name), Source);
    return index;
}

QVariant Recordset::value(int index) const
{
    if (!m_open || m_eof)
        throw noCurrentRow(m_fields.fieldName(index));
    if (m_sqlite)
        return sqliteValue(index);
    if (m_rows)
        return m_rows->value(index);
    const CNumericScope numbers;
    return m_query.value(index);
}

sqlite3_stmt* Recordset::sqliteRow(int index) const
{
    if (!m_sqlite || index < 0 || index >= m_fields.count())
        return nullptr;
    const QSqlDriver* driver = m_query.driver();
    return driver && driver->isOpen() ? m_statement : nullptr;
}

bool Recordset::appendText(int index, QString& out) const
{
    if (!m_open || m_eof)
        throw noCurrentRow(m_fields.fieldName(index));
    if (m_rows)
        return m_rows->appendText(index, out);
    sqlite3_stmt* statement = sqliteRow(index);
    if (!statement)
        return false; // value() says why
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL:
        return true;
    case SQLITE_TEXT:
        break;
    default:
        return false;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    const int length = sqlite3_column_bytes(statement, index);
    if (!text)
        return false;
    // ASCII widens unit by unit; other well-formed UTF-8 is decoded as
    // value() decodes it, and the rest is left to value().
    const qsizetype antes = out.size();
    out.resize(antes + length);
    QChar* destino = out.data() + antes;
    int i = 0;
    while (i < length && static_cast<unsigned char>(text[i]) < 0x80) {
        destino[i] = QLatin1Char(text[i]);
        ++i;
    }
    if (i == length)
        return true;
    out.truncate(antes);
    if (!plainUtf8(text, length))
        return false;
    out.append(QString::fromUtf8(text, length));
    return true;
}

bool Recordset::realNumber(int index, double& out) const
{
    if (!m_open || m_eof)
        throw noCurrentRow(m_fields.fieldName(index));
    if (m_rows)
        return m_rows->realNumber(index, out);
    sqlite3_stmt* statement = sqliteRow(index);
    if (!statement || sqlite3_column_type(statement, index) != SQLITE_FLOAT)
        return false; // value() reads it, or says why not
    out = sqlite3_column_double(statement, index);
    return true;
}

void Recordset::close()
{
    if (m_open && m_sqlite) {
        if (sqlite3_stmt* statement = sqliteStatement())
            sqlite3_reset(statement);
    } else if (m_open) {
        m_rows.reset();
        m_query.finish();
    }
    m_cursor.reset();
    m_open = false;
    m_eof = true;
}
