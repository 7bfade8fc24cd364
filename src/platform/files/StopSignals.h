#pragma once

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstring>

// What a stop (a signal on Linux, a console event on Windows) removes before
// the process ends, and the line it leaves on standard error.
namespace fileCommit::detail {

// Paths that ordinary threads fill in and a stop handler reads: an entry is
// read only once it is complete (state 2), with no lock and no allocation.
template <class Char, std::size_t Length, std::size_t Entries>
class NamedPaths
{
public:
    // The first free entry takes `path` (`size` characters, ended by a null);
    // -1 when none is free or the path does not fit.
    int remember(const Char* path, std::size_t size)
    {
        if (size >= Length)
            return -1;
        for (std::size_t i = 0; i < Entries; ++i) {
            int free = 0;
            if (m_entries[i].state.compare_exchange_strong(free, 1)) {
                std::memcpy(m_entries[i].path, path, (size + 1) * sizeof(Char));
                m_entries[i].state.store(2);
                return int(i);
            }
        }
        return -1;
    }
    void forget(int& slot)
    {
        if (slot >= 0)
            m_entries[slot].state.store(0);
        slot = -1;
    }
    template <class Act>
    void forEach(Act&& act)
    {
        for (Entry& e : m_entries)
            if (e.state.load() == 2)
                act(e.path);
    }

private:
    struct Entry
    {
        std::atomic<int> state{0}; // 0 free, 1 being filled, 2 named
        Char path[Length];
    };
    Entry m_entries[Entries];
};

// A temporary file with a name, removed by a stop until forgotten; the slot
// is -1 when it could not be remembered.
int rememberTemporary(const QString& path);
void forgetTemporary(int& slot);
// Removes the named temporaries and scratch folders now: from a stop handler,
// or when a run is abandoned.
void removeNamedTemporaries();

// Writes on standard error as it was at start-up, as a stop handler may.
void writeOnStandardError(const char* text);
// How this system's console ends a line.
extern const char LineEnd[];
// The interruption line, naming the `cause` ("la señal SIGTERM", "Ctrl+C"),
// for the first stop only and only when a note was set.
void sayStopped(const char* cause);

} // namespace fileCommit::detail
