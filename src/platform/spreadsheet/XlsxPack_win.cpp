#include "platform/spreadsheet/XlsxPack.h"

#include <cerrno>
#include <cstdio>

namespace xlsxPack {

// Windows has no fork() to hand the book, as it stands in memory, to a child
// that a stop could end: the packing runs here, and a stop asked for meanwhile
// is honoured when it ends: the packed file is then given up, so nothing goes
// into place and the earlier file stays. The stop is kept, only later.
Outcome packStoppable(lxw_workbook* book, const std::function<bool()>& stop)
{
    Outcome outcome;
    errno = 0;
    outcome.result = workbook_close(book);
    outcome.error = errno;
    outcome.stopped = stop && stop();
    return outcome;
}

} // namespace xlsxPack
