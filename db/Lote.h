#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Bulk rows into one table. SQLite takes them through one prepared statement,
// row by row inside the caller's transaction, which is its fastest path; over
// ODBC every row costs a round trip, so rows are gathered into multi-row
// INSERT statements instead.
namespace basedatos {

class Lote
{
public:
    Lote(QSqlDatabase& db, const QString& tabla, const QStringList& columnas);
    Lote(const Lote&) = delete;
    Lote& operator=(const Lote&) = delete;

    // Values in column order: QString, int, qint64, double, or QVariant() for NULL.
    void agregar(const QVariantList& valores);

    // Writes whatever is still gathered.
    void completar();

    qint64 filas() const { return m_filas; }

private:
    void escribirPendientes();

    QSqlDatabase m_db;
    QString m_tabla;
    QStringList m_columnas;
    bool m_preparado;
    QSqlQuery m_consulta;
    QStringList m_pendientes;
    qint64 m_filas = 0;
};

// A value as an SQL literal: quotes doubled, NULL for a null value.
QString literalSql(const QVariant& valor);

} // namespace basedatos
