#include "components/CompIni.h"

#include "platform/files/FileCommit.h"
#include "platform/files/OwnFileRead.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/IniText.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>


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
        if (const auto datos = fileCommit::readOwnFile(RutaDe(archivo)))
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
    IniText ini(fileCommit::readOwnFile(ruta).value_or(QByteArray()));
    if (!ini.setValue(seccion, clave, valor))
        return;
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    // The suite's file, never the operator's: a link planted in its place is refused.
    fileCommit::Output salida(fileCommit::OwnFile{ruta});
    salida.begin();
    salida.write(ini.bytes());
    salida.commit();
}
