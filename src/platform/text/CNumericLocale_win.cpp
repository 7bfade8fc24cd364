#include "platform/text/CNumericLocale.h"

#include <string>

// Windows' C library keeps a locale per thread only when the thread asks for
// it; the scope asks, and puts back the numeric category it found.
CNumericScope::CNumericScope()
{
    _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* current = setlocale(LC_NUMERIC, nullptr);
    if (current && std::string(current) != "C") {
        m_previous = new std::string(current);
        setlocale(LC_NUMERIC, "C");
    }
}

CNumericScope::~CNumericScope()
{
    if (auto* previous = static_cast<std::string*>(m_previous)) {
        setlocale(LC_NUMERIC, previous->c_str());
        delete previous;
    }
}

void useCNumericLocale()
{
    setlocale(LC_NUMERIC, "C");
}
