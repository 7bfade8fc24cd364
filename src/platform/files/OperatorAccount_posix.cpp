#include "platform/files/OperatorAccount.h"

#include <pwd.h>
#include <unistd.h>

QString operatorAccountName()
{
    if (const passwd* account = getpwuid(getuid()))
        return QString::fromLocal8Bit(account->pw_name);
    return {};
}
