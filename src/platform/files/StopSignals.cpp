#include "platform/files/StopSignals.h"

#include "platform/files/FileCommit.h"

#include <QByteArray>

#include <cstdlib>

namespace fileCommit {

namespace {

// Two buffers, so the one a handler may be reading is never the one written.
char interruptionNotes[2][2048];
std::atomic<int> currentNote{-1};
std::atomic<bool> stopping{false};

} // namespace

void detail::sayStopped(const char* cause)
{
    const int note = stopping.exchange(true) ? -1 : currentNote.load();
    if (note < 0)
        return;
    writeOnStandardError("rp_oproduccion: interrumpido por ");
    writeOnStandardError(cause);
    writeOnStandardError(" ");
    writeOnStandardError(interruptionNotes[note]);
    writeOnStandardError(LineEnd);
}

void abandonRun(const QString& line, int status)
{
    detail::removeNamedTemporaries();
    const QByteArray bytes = line.toUtf8().append(detail::LineEnd);
    detail::writeOnStandardError(bytes.constData());
    std::_Exit(status);
}

void setInterruptionNote(const QString& note)
{
    if (note.isEmpty()) {
        currentNote.store(-1);
        return;
    }
    const int next = currentNote.load() == 0 ? 1 : 0;
    QByteArray bytes = note.toUtf8();
    const qsizetype room = qsizetype(sizeof interruptionNotes[next]) - 1;
    if (bytes.size() > room) {
        qsizetype cut = room;
        while (cut > 0 && (uchar(bytes.at(cut)) & 0xC0) == 0x80)
            --cut; // not inside a character
        bytes.truncate(cut);
    }
    std::memcpy(interruptionNotes[next], bytes.constData(), size_t(bytes.size()));
    interruptionNotes[next][bytes.size()] = '\0';
    currentNote.store(next);
}

} // namespace fileCommit
