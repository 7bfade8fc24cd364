#include "platform/spreadsheet/XlsxPack.h"

#include <cerrno>
#include <cstdio>

// Windows has no fork() to hand the book, as it stands in memory, to a child
// that a stop could end. The packing runs here instead, and hears the stop
// between the pieces it compresses: the library is linked with its writes of
// a piece into the package passed through the function below (the linker's
// --wrap, set where this library is declared), which fails the write once a
// stop is asked. The library then gives up at once, closes and frees what it
// had, and the half-made file is the temporary one, which never goes into
// place; its scratch files go with the scratch folder.
extern "C" int __real_zipWriteInFileInZip(void* file, const void* buf, unsigned len);
extern "C" int __wrap_zipWriteInFileInZip(void* file, const void* buf, unsigned len);

namespace {

// The stop of the packing running on this thread, if any.
thread_local const std::function<bool()>* packingStop = nullptr;
thread_local bool packingStopped = false;

} // namespace

extern "C" int __wrap_zipWriteInFileInZip(void* file, const void* buf, unsigned len)
{
    if (packingStop && (packingStopped || (*packingStop)())) {
        packingStopped = true;
        return -1; // the library's ZIP_ERRNO: it stops adding to the package
    }
    return __real_zipWriteInFileInZip(file, buf, len);
}

namespace xlsxPack {

Outcome packStoppable(lxw_workbook* book, const std::function<bool()>& stop)
{
    struct Listening
    {
        explicit Listening(const std::function<bool()>* s)
        {
            packingStop = s;
            packingStopped = false;
        }
        ~Listening() { packingStop = nullptr; }
    } listening(stop ? &stop : nullptr);
    Outcome outcome;
    errno = 0;
    outcome.result = workbook_close(book);
    outcome.error = errno;
    // A stop asked after the last piece still keeps the file out of place.
    outcome.stopped = packingStopped || (stop && stop());
    return outcome;
}

} // namespace xlsxPack
