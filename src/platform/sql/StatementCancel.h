#pragma once

#include <QList>
#include <QMutex>
#include <atomic>

class QSqlDatabase;
class QSqlQuery;
struct sqlite3;

// Lets another thread stop the database work of a worker thread at once,
// even in the middle of a long statement: SQLite's statements are
// interrupted (sqlite3_interrupt), an ODBC statement under way is cancelled
// on its handle (SQLCancel, which Qt's driver does not offer). Between
// statements the worker's results refuse to go on.
//
// The worker thread installs it with Scope for the time it works; its
// results find it through current(). A thread without one is never stopped.
class StatementCancel
{
public:
    StatementCancel() = default;
    StatementCancel(const StatementCancel&) = delete;
    StatementCancel& operator=(const StatementCancel&) = delete;

    // Any thread.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    // The worker thread: the SQLite connection its statements run on (no-op
    // for other backends), until forgotten before it closes.
    void watchConnection(const QSqlDatabase& db);
    void forgetConnection();
    // The worker thread, around an ODBC statement that is executing.
    void beginStatement(void* odbcStatement);
    void endStatement(void* odbcStatement);
    // Raises the cancelled error once cancel() was called.
    void check() const;

    // The one installed on the calling thread, or null.
    static StatementCancel* current();

    // While it lives, the ODBC statement of `query` (once it has one) can be
    // cancelled from another thread through the thread's installed cancel.
    class Watch
    {
    public:
        explicit Watch(const QSqlQuery& query);
        ~Watch();
        Watch(const Watch&) = delete;
        Watch& operator=(const Watch&) = delete;

    private:
        StatementCancel* m_cancel = nullptr;
        void* m_statement = nullptr;
    };

    class Scope
    {
    public:
        explicit Scope(StatementCancel& cancel);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        StatementCancel* m_previous;
    };

private:
    std::atomic<bool> m_cancelled{false};
    QMutex m_mutex; // guards the handles against the worker letting them go
    sqlite3* m_sqlite = nullptr;
    QList<void*> m_statements;
};
