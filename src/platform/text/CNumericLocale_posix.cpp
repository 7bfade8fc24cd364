#include "platform/text/CNumericLocale.h"

namespace {

locale_t cNumeric()
{
    // Built at first use, after the application object set the operator's
    // categories, which it keeps.
    static const locale_t locale = [] {
        locale_t operatorLocale = duplocale(LC_GLOBAL_LOCALE);
        locale_t c = operatorLocale ? newlocale(LC_NUMERIC_MASK, "C", operatorLocale) : nullptr;
        if (!c && operatorLocale)
            freelocale(operatorLocale);
        return c ? c : newlocale(LC_ALL_MASK, "C", nullptr);
    }();
    return locale;
}

} // namespace

CNumericScope::CNumericScope() : m_previous(static_cast<void*>(uselocale(cNumeric()))) {}

CNumericScope::~CNumericScope()
{
    uselocale(static_cast<locale_t>(m_previous));
}

void useCNumericLocale()
{
    setlocale(LC_NUMERIC, "C");
}
