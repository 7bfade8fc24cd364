#pragma once

#include <QString>
#include <functional>
#include <xlsxwriter.h>

// Packing a workbook (compressing every part into the file): one call of the
// library that reports nothing and takes seconds on a large workbook. How a
// stop reaches it is the system's business: on Linux a child process packs,
// which a stop kills at once; on Windows the packing itself gives up at the
// next piece it writes.
namespace xlsxPack {

struct Outcome
{
    lxw_error result = LXW_NO_ERROR;
    int error = 0;       // the system's errno of a failed write
    bool stopped = false; // nothing was packed: the file must not go into place
    QString failure;      // why packing could not run or end, in words
};

// Packs `book` into its file, giving up when `stop` says so; the book is
// freed either way.
Outcome packStoppable(lxw_workbook* book, const std::function<bool()>& stop);

// Frees a book that was never closed, its scratch files included.
void freeUnclosed(lxw_workbook* book);

} // namespace xlsxPack
