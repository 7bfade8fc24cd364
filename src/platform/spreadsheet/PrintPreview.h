#pragma once

#include <functional>

class Worksheet;

// The print preview of a sheet: Qt's print-preview window over SheetPrinter,
// from which the operator prints to any printer or to a PDF file. The window
// is modal; tests put a presenter in its place.
class PrintPreview
{
public:
    using Presenter = std::function<void(const Worksheet&)>;

    static void show(const Worksheet& sheet);
    // Test hook: shows (or inspects) the sheet instead of the window; an
    // empty presenter restores the window.
    static void setPresenter(Presenter presenter);
};
