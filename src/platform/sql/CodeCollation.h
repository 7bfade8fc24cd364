#pragma once

class QSqlDatabase;

// SQLite's NOCASE collation, redefined on one connection so that codes compare
// the way the suite's server compares them: without regard to ASCII case and
// ignoring trailing blanks ('OP' equals 'op  '). Schemas declare code columns
// COLLATE NOCASE, so any other SQLite tool still reads them with nearly the same
// rule; only this program's connections add the trailing-blank part.
// Returns false when the connection is not an open SQLite one.
bool installCodeCollation(const QSqlDatabase& db);
