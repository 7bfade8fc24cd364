#include "platform/files/FileCommit.h"

#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileCommit {

namespace {

[[noreturn]] void fail(const QString& what, const QString& path, int error)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("%1 «%2»: %3")
                           .arg(what, QDir::toNativeSeparators(path),
                                QString::fromLocal8Bit(std::strerror(error))),
                       QStringLiteral("Archivo"));
}

} // namespace

QString createTemporary(const QString& folder, const QString& stem)
{
    QByteArray name =
        QFile::encodeName(QDir(folder).filePath(QStringLiteral(".%1-XXXXXX.part").arg(stem)));
    const int fd = ::mkstemps(name.data(), 5);
    if (fd < 0)
        fail(QStringLiteral("No se puede escribir en la carpeta"), folder, errno);
    // Readable as any file the user saves.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return QFile::decodeName(name);
}

void commitReplacing(const QString& temporary, const QString& target)
{
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) !=
        0)
        fail(QStringLiteral("No se puede guardar el archivo"), target, errno);
}

QString commitNew(const QString& temporary, const QString& folder, const QString& stem,
                  const QString& extension)
{
    const QByteArray from = QFile::encodeName(temporary);
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? stem + u'.' + extension
                                    : QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(extension);
        const QString target = QDir(folder).filePath(name);
        // A hard link fails when the name exists: no file is ever replaced,
        // even by two exports finishing at the same moment.
        if (::link(from.constData(), QFile::encodeName(target).constData()) == 0) {
            ::unlink(from.constData());
            return target;
        }
        if (errno == EEXIST)
            continue;
        // File systems without hard links: the same, one check short.
        if (errno == EPERM || errno == EOPNOTSUPP || errno == EMLINK) {
            if (QFileInfo::exists(target))
                continue;
            commitReplacing(temporary, target);
            return target;
        }
        fail(QStringLiteral("No se puede guardar el archivo"), target, errno);
    }
    fail(QStringLiteral("No queda un nombre libre para el archivo"),
         QDir(folder).filePath(stem + u'.' + extension), EEXIST);
}

TemporaryName::TemporaryName(const QString& folder, const QString& stem)
    : m_path(createTemporary(folder, stem))
{
}

TemporaryName::~TemporaryName()
{
    ::unlink(QFile::encodeName(m_path).constData());
}

} // namespace fileCommit
