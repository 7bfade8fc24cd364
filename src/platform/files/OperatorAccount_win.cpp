#include "platform/files/OperatorAccount.h"

#include <windows.h>

QString operatorAccountName()
{
    wchar_t name[257];
    DWORD size = DWORD(std::size(name));
    if (!GetUserNameW(name, &size) || size == 0)
        return {};
    // The size counts the terminating zero.
    return QString::fromWCharArray(name, int(size) - 1);
}
