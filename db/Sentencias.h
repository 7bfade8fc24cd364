#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSqlQuery;

// Running SQL for the database layer: every failure becomes a RuntimeError
// that carries the driver's text and what was being done.
namespace basedatos {

[[noreturn]] void fallar(const QString& que, const QString& textoDriver);

void ejecutar(QSqlDatabase& db, const QString& sql, const QString& que);
void ejecutar(QSqlQuery& consulta, const QString& que);

// The first column of the first row, or a null value when there is no row.
QVariant valorUnico(QSqlDatabase& db, const QString& sql, const QString& que);

// Splits a script into statements at semicolons outside quotes and drops
// "--" comments, so one file can feed drivers that take one statement a time.
QStringList separarSentencias(const QString& guion);

// Runs every statement of a script compiled into the program (":/db/...").
void ejecutarGuion(QSqlDatabase& db, const QString& recurso, const QString& que);

// A transaction that rolls back unless confirmed, so a failed load leaves
// nothing half written.
class Transaccion
{
public:
    Transaccion(QSqlDatabase& db, const QString& que);
    ~Transaccion();
    Transaccion(const Transaccion&) = delete;
    Transaccion& operator=(const Transaccion&) = delete;

    void confirmar();

private:
    QSqlDatabase& m_db;
    QString m_que;
    bool m_abierta = true;
};

} // namespace basedatos
