#pragma once

#include <QSqlDatabase>

class CompDatos;

// Holds the connection in a read-only transaction while it lives, where the
// connected backend offers one (PostgreSQL), so that a condition a caller
// pastes into a query cannot write, whatever it calls; the transaction is
// rolled back at the end. Elsewhere it does nothing: SQL Server has no such
// transaction, and SQLite runs one statement per query with no function that
// writes.
class LecturaProtegida
{
public:
    explicit LecturaProtegida(CompDatos& datos);
    ~LecturaProtegida();
    LecturaProtegida(const LecturaProtegida&) = delete;
    LecturaProtegida& operator=(const LecturaProtegida&) = delete;

private:
    QSqlDatabase m_db; // invalid when no transaction was opened
};
