#pragma once

#include <QSqlDatabase>
#include <QString>

class CompDatos;

// Holds the connection in a read-only transaction while it lives, where the
// connected backend offers one (PostgreSQL), so that a condition a caller
// pastes into a query cannot write, whatever it calls; the transaction is
// rolled back at the end. Elsewhere it does nothing: SQL Server has no such
// transaction, and SQLite has no function that writes.
// The first wall is `exigirUnaConsulta`: the backend's own parser, not ours,
// says whether the text is one query; the transaction stays as the second.
class LecturaProtegida
{
public:
    explicit LecturaProtegida(CompDatos& datos);
    ~LecturaProtegida();
    LecturaProtegida(const LecturaProtegida&) = delete;
    LecturaProtegida& operator=(const LecturaProtegida&) = delete;

    // Refuses, before it runs, a text the backend reads as more than one
    // statement or as one that is not a query (on SQLite and PostgreSQL; SQL
    // Server offers no check that runs nothing).
    void exigirUnaConsulta(const QString& sql) const;

private:
    CompDatos& m_datos;
    QSqlDatabase m_db; // invalid when no transaction was opened
};
