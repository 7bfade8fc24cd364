#pragma once

#include "platform/spreadsheet/SheetPrinter.h"

#include <functional>

class Worksheet;

// The print preview of a sheet: a window that shows one page at a time,
// painted when it comes into view (so a sheet of tens of thousands of pages
// opens at once and holds one page's painting), with page and zoom controls
// and the way to print to any printer or to save the pages as PDF. Printing
// and saving report each page to `progress`, which may cancel them. The
// window is modal; tests put a presenter in its place.
class PrintPreview
{
public:
    using Presenter = std::function<void(const Worksheet&)>;
    // Runs the painting of the pages for printing or saving (which reports
    // each page to the progress) and returns what it returned, raising what
    // it raised. A caller above may run it on a worker thread, so that the
    // window keeps answering: the painting touches no widget, the dialogs
    // before it (the file name, the printer) and the messages after it stay
    // on the window's thread. Without one it runs at once.
    using Runner = std::function<bool(const std::function<bool()>& paint)>;

    static void show(const Worksheet& sheet, const SheetPrinter::Progress& progress = {},
                     const Runner& runner = {});
    // The window itself, whatever presenter is set.
    static void open(const Worksheet& sheet, const SheetPrinter::Progress& progress = {},
                     const Runner& runner = {});
    // Test hook: shows (or inspects) the sheet instead of the window; an
    // empty presenter restores the window.
    static void setPresenter(Presenter presenter);
};
