#include "components/CompIni.h"

#include "platform/files/FileCommit.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/IniText.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QString Origen = QStringLiteral("CompIni");

// The file's bytes; nothing when it does not exist; raises when it exists but
// cannot be read (a file that cannot be read must never be written over).
std::optional<QByteArray> leer(const QString& ruta)
{
    if (!QFileInfo::exists(ruta))
        return std::nullopt;
    QByteArray datos;
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_CLOEXEC);
    int error = fd < 0 ? errno : 0;
    char bloque[8192];
    while (!error) {
        const ssize_t n = ::read(fd, bloque, sizeof bloque);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            error = errno;
        if (n <= 0)
            break;
        datos.append(bloque, n);
    }
    if (fd >= 0)
        ::close(fd);
    if (error)
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo leer el archivo «%1»: %2")
                               .arg(QDir::toNativeSeparators(ruta), fileCommit::reason(error)),
                           Origen);
    return datos;
}

} // namespace

QString CompIni::Carpeta() const
{
    return m_carpeta.isEmpty() ? programFolder() : m_carpeta;
}

QString CompIni::RutaDe(const QString& archivo) const
{
    if (archivo.contains(QLatin1Char('/')))
        return archivo;
    return QDir(Carpeta()).filePath(archivo);
}

QString CompIni::LeerValor(const QString& archivo, const QString& seccion, const QString& clave,
                           const QVariant& porDefecto) const
{
    std::optional<QString> valor;
    try {
        if (const auto datos = leer(RutaDe(archivo)))
            valor = IniText(*datos).value(seccion, clave);
    } catch (const RuntimeError&) {
        // As the workstations' profile functions do: what cannot be read is missing.
    }
    return valor ? *valor : valueText(porDefecto);
}

void CompIni::EscribirValor(const QString& archivo, const QString& seccion, const QString& clave,
                            const QString& valor) const
{
    const QString ruta = RutaDe(archivo);
    IniText ini(leer(ruta).value_or(QByteArray()));
    if (!ini.setValue(seccion, clave, valor))
        return;
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    // The suite's file, never the operator's: a link planted in its place is refused.
    fileCommit::Output salida(fileCommit::OwnFile{ruta});
    salida.begin();
    salida.write(ini.bytes());
    salida.commit();
}
