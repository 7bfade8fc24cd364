#include "platform/files/PathResolution.h"

#include "platform/files/FileCommit.h"
#include "platform/files/FileErrors.h"

#include <QDir>

#include <cerrno>

namespace fileCommit {

void detail::checkNamesFile(const QString& target)
{
    const QString what = QStringLiteral("No se puede guardar el archivo");
    if (target.trimmed().isEmpty())
        fail(what, target, QStringLiteral("falta el nombre del archivo"));
    if (QDir::fromNativeSeparators(target).endsWith(u'/'))
        failErrno(what, target, EISDIR);
}

detail::Resolved detail::resolve(const QString& target)
{
    checkNamesFile(target);
    return followLinks(target);
}

QString identity(const QString& target)
{
    if (target == u"-")
        return detail::standardOutputIdentity();
    if (target.trimmed().isEmpty())
        return {};
    return detail::identityOfFile(target);
}

void refuseLink(const QString& path)
{
    if (detail::namesLink(path))
        detail::fail(QStringLiteral("No se puede usar el archivo"), path, detail::ownLinkRefused(),
                     ErrorNumber::PermissionDenied, detail::LinkOrigin);
}

} // namespace fileCommit
