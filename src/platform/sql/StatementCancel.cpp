#include "platform/sql/StatementCancel.h"

#include "platform/sql/OdbcRows.h"

#include "platform/text/RuntimeError.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlResult>
#include <QVariant>
#include <sql.h>
#include <sqlite3.h>

namespace {

thread_local StatementCancel* installed = nullptr;

} // namespace

void StatementCancel::cancel()
{
    m_cancelled.store(true);
    const QMutexLocker lock(&m_mutex);
    if (m_sqlite)
        sqlite3_interrupt(m_sqlite);
    for (void* statement : std::as_const(m_statements))
        SQLCancel(static_cast<SQLHANDLE>(statement));
}

void StatementCancel::watchConnection(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return;
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    const QMutexLocker lock(&m_mutex);
    m_sqlite = *static_cast<sqlite3* const*>(handle.data());
    // A cancel asked while the connection was opening still stops its first statement.
    if (m_sqlite && isCancelled())
        sqlite3_interrupt(m_sqlite);
}

void StatementCancel::forgetConnection()
{
    const QMutexLocker lock(&m_mutex);
    m_sqlite = nullptr;
}

void StatementCancel::beginStatement(void* odbcStatement)
{
    const QMutexLocker lock(&m_mutex);
    m_statements.append(odbcStatement);
}

void StatementCancel::endStatement(void* odbcStatement)
{
    const QMutexLocker lock(&m_mutex);
    m_statements.removeOne(odbcStatement);
}

void StatementCancel::check() const
{
    if (isCancelled())
        throw RuntimeError(ErrorNumber::Cancelled, QStringLiteral("Operación cancelada"),
                           QStringLiteral("Recordset"));
}

StatementCancel* StatementCancel::current()
{
    return installed;
}

StatementCancel::Scope::Scope(StatementCancel& cancel) : m_previous(installed)
{
    installed = &cancel;
}

StatementCancel::Scope::~Scope()
{
    installed = m_previous;
}

StatementCancel::Watch::Watch(const QSqlQuery& query)
{
    StatementCancel* cancel = installed;
    if (!cancel)
        return;
    m_statement = odbcStatementHandle(query);
    if (!m_statement)
        return;
    m_cancel = cancel;
    m_cancel->beginStatement(m_statement);
    // Asked just before the statement was handed over: it is cancelled now.
    if (m_cancel->isCancelled())
        SQLCancel(static_cast<SQLHANDLE>(m_statement));
}

StatementCancel::Watch::~Watch()
{
    if (m_cancel)
        m_cancel->endStatement(m_statement);
}
