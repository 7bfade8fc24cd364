#include "platform/spreadsheet/XlsxPack.h"

#include <cstdio>

namespace xlsxPack {

// The library's scratch files of the rows, which closing the workbook would
// have closed: in this process it never is when a child packed it.
void freeUnclosed(lxw_workbook* book)
{
    lxw_worksheet* sheet = nullptr;
    STAILQ_FOREACH(sheet, book->worksheets, list_pointers)
    {
        if (sheet->optimize_tmpfile) {
            std::fclose(sheet->optimize_tmpfile);
            sheet->optimize_tmpfile = nullptr;
        }
    }
    lxw_workbook_free(book);
}

} // namespace xlsxPack
