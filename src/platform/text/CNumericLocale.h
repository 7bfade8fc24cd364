#pragma once

#include <locale.h>

// File formats and drivers that print or read numbers with the C library
// (the workbook writer, ODBC drivers) need "." as the decimal point, whatever
// the operator's locale says. While one of these lives, the current thread
// formats numbers as the C locale does; every other category stays the
// operator's. Thread-local, so a worker writing a file never changes how
// another thread formats.
class CNumericScope
{
public:
    CNumericScope();
    ~CNumericScope();
    CNumericScope(const CNumericScope&) = delete;
    CNumericScope& operator=(const CNumericScope&) = delete;

private:
    // What the thread used before, as the system's own type keeps it.
    void* m_previous = nullptr;
};

// Puts the process's C library numeric locale back to "C" after Qt made it
// the operator's, so no C library writes a decimal comma into a file format.
// Qt's own formatting keeps following the operator's locale.
void useCNumericLocale();
