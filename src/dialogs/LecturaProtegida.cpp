#include "dialogs/LecturaProtegida.h"

#include "components/CompDatos.h"
#include "platform/sql/SingleStatement.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/RuntimeError.h"

#include <QSqlError>

LecturaProtegida::LecturaProtegida(CompDatos& datos) : m_datos(datos)
{
    if (datos.Motor() != SqlBackend::PostgreSQL || !datos.Conectado())
        return;
    QSqlDatabase db = datos.BaseQt();
    if (!db.transaction())
        throw RuntimeError(ErrorNumber::Database,
                           QStringLiteral("No se pudo abrir una transacción de solo lectura: ") +
                               db.lastError().text(),
                           QStringLiteral("LecturaProtegida"));
    m_db = db;
    try {
        // The first statement of the transaction: it binds the whole of it.
        datos.Ejecutar(QStringLiteral("SET TRANSACTION READ ONLY"));
    } catch (...) {
        m_db.rollback();
        throw;
    }
}

LecturaProtegida::~LecturaProtegida()
{
    if (m_db.isValid())
        m_db.rollback();
}

void LecturaProtegida::exigirUnaConsulta(const QString& sql) const
{
    if (!m_datos.Conectado())
        return;
    if (countStatements(m_datos.BaseQt(), adaptSql(sql, m_datos.Motor())) == StatementCount::Several)
        throw RuntimeError(ErrorNumber::InvalidArgument,
                           QStringLiteral("El filtro hace de la consulta más de una sentencia, o "
                                          "una que no es de lectura: una condición no lleva otra "
                                          "sentencia"),
                           QStringLiteral("LecturaProtegida"));
}
