#include "platform/sql/Recordset.h"

#include "platform/sql/StatementTimeout.h"
#include "platform/text/RuntimeError.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace {

const QString Source = QStringLiteral("Recordset");

QString errorText(const QSqlQuery& query)
{
    const QSqlError error = query.lastError();
    if (isDatabaseBusy(error))
        return databaseBusyText(error);
    // However the load reads its rows, a server that ended the connection is
    // named as such, not left to the driver's words alone.
    return isConnectionLost(query.driver()) ? connectionLostText(error.text()) : error.text();
}

} // namespace

Recordset::Recordset(const QSqlDatabase& db, const QString& sql, int timeoutSeconds)
    : m_query(db), m_sql(sql)
{
    m_query.setForwardOnly(true);
    // Amounts and measures arrive as numbers on every backend, not as the
    // text some ODBC drivers give for numeric columns.
    m_query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!execWithTimeout(m_query, db, sql, timeoutSeconds))
        throw RuntimeError(ErrorNumber::Database, errorText(m_query), Source);
    m_open = true;
    m_fields = m_query.record();
    fetch();
    m_empty = m_eof;
}

void Recordset::fetch()
{
    if (m_query.next()) {
        m_eof = false;
        return;
    }
    m_eof = true;
    if (m_query.lastError().isValid())
        throw RuntimeError(ErrorNumber::Database, errorText(m_query), Source);
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
        throw RuntimeError(3021,
                           QStringLiteral("No hay un registro actual para leer el campo "
                                          "\"%1\"")
                               .arg(m_fields.fieldName(index)),
                           Source);
    return m_query.value(index);
}

void Recordset::close()
{
    if (m_open)
        m_query.finish();
    m_open = false;
    m_eof = true;
}
