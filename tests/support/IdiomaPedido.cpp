// Linked into every test program: a run asked to happen under a locale
// (LC_ALL, LC_NUMERIC or LANG) that this machine does not have would fall
// back to "C" without a word, and its checks of decimal commas would test
// nothing. Such a run fails at once, naming the locale.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <locale.h>

namespace {

const char* pedido()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"})
        if (const char* valor = std::getenv(variable); valor && *valor)
            return valor;
    return nullptr;
}

const bool comprobado = [] {
    locale_t l = newlocale(LC_ALL_MASK, "", nullptr);
    if (!l) {
        const char* nombre = pedido();
        std::fprintf(stderr,
                     "FAIL: la configuración regional pedida (%s) no está instalada en esta "
                     "máquina; scripts/setup la genera\n",
                     nombre ? nombre : "?");
        std::exit(1);
    }
    freelocale(l);
    return true;
}();

} // namespace
