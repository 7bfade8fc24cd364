#include "components/CompEquipo.h"

#include "platform/files/OperatorAccount.h"

#include <QSysInfo>

QString CompEquipo::NombreEquipo() const
{
    return QSysInfo::machineHostName();
}

QString CompEquipo::UsuarioEquipo() const
{
    const QString usuario = qEnvironmentVariable("USER");
    if (!usuario.isEmpty())
        return usuario;
    return operatorAccountName();
}
