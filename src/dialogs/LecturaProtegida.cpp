#include "dialogs/LecturaProtegida.h"

#include "components/CompDatos.h"
#include "platform/text/RuntimeError.h"

#include <QSqlError>

LecturaProtegida::LecturaProtegida(CompDatos& datos)
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
