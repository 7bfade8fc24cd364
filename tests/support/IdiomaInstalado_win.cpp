#include "IdiomaInstalado.h"

#include <windows.h>

// Windows names locales "es-AR"; the encoding part of a POSIX name has no
// counterpart there.
bool soporte::idiomaInstalado(const QString& idioma)
{
    const QString nombre = idioma.section(u'.', 0, 0).replace(u'_', u'-');
    // "C" is no Windows name, and no locale to install: Wine gives a program
    // started under it the invariant one's English.
    if (nombre == u"C" || nombre == u"POSIX")
        return true;
    return IsValidLocaleName(reinterpret_cast<const wchar_t*>(nombre.utf16()));
}
