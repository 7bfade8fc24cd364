#include "platform/files/OwnSettings.h"

#include "platform/files/FileCommit.h"
#include "platform/files/OwnFileRead.h"
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
    if (const auto bytes = readOwnFile(path)) {
        QFile out(copy);
        if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.flush())
            fail(path, QStringLiteral("no se pudo preparar su copia"));
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

void readOwnSettings(const QString& path, const std::function<void(QSettings&)>& read)
{
    const auto bytes = readOwnFile(path);
    if (!bytes)
        return;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("settings.ini"));
    QFile out(copy);
    if (!scratch.isValid() || !out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() ||
        !out.flush())
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo leer el archivo «%1»: no se pudo preparar su "
                                          "copia")
                               .arg(QDir::toNativeSeparators(path)),
                           QStringLiteral("Archivo propio"));
    out.close();
    QSettings settings(copy, QSettings::IniFormat);
    read(settings);
}

} // namespace fileCommit
