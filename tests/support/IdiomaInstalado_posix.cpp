#include "IdiomaInstalado.h"

#include <locale.h>

bool soporte::idiomaInstalado(const QString& idioma)
{
    locale_t l = newlocale(LC_ALL_MASK, idioma.toLocal8Bit().constData(), nullptr);
    if (l)
        freelocale(l);
    return l != nullptr;
}
