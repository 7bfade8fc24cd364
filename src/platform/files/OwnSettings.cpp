#include "platform/files/OwnSettings.h"

#include "platform/files/FileCommit.h"
#include "platform/text/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

namespace fileCommit {

namespace {

[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se puede guardar el archivo «%1»: %2")
                           .arg(QDir::toNativeSeparators(path), why),
                       QStringLiteral("Archivo"));
}

} // namespace

void changeOwnSettings(const QString& path, const std::function<void(QSettings&)>& change)
{
    // The same lock QSettings takes on the file, so other writers wait.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        fail(path, QStringLiteral("otro proceso lo tiene tomado"));
    // QSettings writes through a link and replaces a read-only file when it
    // may: it works on a private copy, which then goes into place.
    // Refused before anything is read: a link, a read-only file.
    Output output(OwnFile{path});
    output.begin();
    QTemporaryDir scratch;
    if (!scratch.isValid())
        fail(path, scratch.errorString());
    const QString copy = scratch.filePath(QStringLiteral("settings.ini"));
    if (QFileInfo::exists(path)) {
        QFile original(path);
        if (!original.open(QIODevice::ReadOnly))
            fail(path, original.errorString());
        const QByteArray bytes = original.readAll();
        QFile out(copy);
        if (original.error() != QFileDevice::NoError || !out.open(QIODevice::WriteOnly) ||
            out.write(bytes) != bytes.size() || !out.flush())
            fail(path, QStringLiteral("no se pudo leer"));
    }
    {
        QSettings settings(copy, QSettings::IniFormat);
        change(settings);
        settings.sync();
        // A file QSettings cannot read is not written over.
        if (settings.status() == QSettings::FormatError)
            fail(path, QStringLiteral("no se puede leer como archivo de ajustes (INI)"));
        if (settings.status() != QSettings::NoError)
            fail(path, QStringLiteral("no se pudo preparar su contenido"));
    }
    QFile done(copy);
    if (!done.open(QIODevice::ReadOnly))
        fail(path, done.errorString());
    output.write(done.readAll());
    output.commit();
}

} // namespace fileCommit
