#pragma once

#include <QSqlDatabase>
#include <QString>

// Whether a statement text is one statement, as the connected backend itself
// reads it. A condition a caller pastes into a query can hide a second
// statement from any lexer of ours (dollar quotes, E'' strings, nested
// comments, another server's quoting); the backend's own parser cannot be
// fooled that way, and nothing of the text runs while it is checked.
enum class StatementCount
{
    One,
    Several,   // more than one statement, or one that is not a query
    Unchecked  // the backend offers no way to check (SQL Server, others)
};

// Throws RuntimeError with the backend's text when the check itself fails
// (a syntax error in the text, a lost connection).
StatementCount countStatements(const QSqlDatabase& db, const QString& sql);
