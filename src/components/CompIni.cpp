#include "components/CompIni.h"

#include "platform/text/Cp1252.h"
#include "platform/files/ProgramFolder.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
// Texts are converted from and to the code page here, so the library keeps bytes.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace {

const QString Origen = QStringLiteral("CompIni");

// Returns false when the file exists but cannot be read.
bool cargar(const QString& ruta, CSimpleIniA& ini)
{
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    ini.SetSpaces(false);
    QFile archivo(ruta);
    if (!archivo.exists())
        return true;
    if (!archivo.open(QIODevice::ReadOnly))
        return false;
    const QByteArray datos = archivo.readAll();
    return ini.LoadData(datos.constData(), static_cast<size_t>(datos.size())) >= 0;
}

// The stored spelling of a name, found the way the workstations' INI functions
// find it: without regard to case, accented letters included (the library
// alone folds only ASCII).
std::string guardado(const CSimpleIniA::TNamesDepend& nombres, const QString& buscado)
{
    for (const auto& nombre : nombres)
        if (fromCp1252(QByteArray(nombre.pItem)).compare(buscado, Qt::CaseInsensitive) == 0)
            return nombre.pItem;
    return toCp1252(buscado).toStdString();
}

std::string seccionGuardada(const CSimpleIniA& ini, const QString& seccion)
{
    CSimpleIniA::TNamesDepend secciones;
    ini.GetAllSections(secciones);
    return guardado(secciones, seccion);
}

std::string claveGuardada(const CSimpleIniA& ini, const std::string& seccion, const QString& clave)
{
    CSimpleIniA::TNamesDepend claves;
    ini.GetAllKeys(seccion.c_str(), claves);
    return guardado(claves, clave);
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
    const QString defecto = valueText(porDefecto);
    CSimpleIniA ini;
    if (!cargar(RutaDe(archivo), ini))
        return defecto;
    const std::string s = seccionGuardada(ini, seccion);
    const char* valor = ini.GetValue(s.c_str(), claveGuardada(ini, s, clave).c_str(), nullptr);
    return valor ? fromCp1252(QByteArray(valor)) : defecto;
}

void CompIni::EscribirValor(const QString& archivo, const QString& seccion, const QString& clave,
                            const QString& valor) const
{
    const QString ruta = RutaDe(archivo);
    CSimpleIniA ini;
    if (!cargar(ruta, ini))
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo leer el archivo \"%1\"").arg(ruta), Origen);
    const std::string s = seccionGuardada(ini, seccion);
    ini.SetValue(s.c_str(), claveGuardada(ini, s, clave).c_str(), toCp1252(valor).constData());
    std::string texto;
    ini.Save(texto);
    QDir().mkpath(QFileInfo(ruta).absolutePath());
    QSaveFile salida(ruta);
    if (!salida.open(QIODevice::WriteOnly) ||
        salida.write(texto.data(), static_cast<qint64>(texto.size())) !=
            static_cast<qint64>(texto.size()) ||
        !salida.commit())
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No se pudo escribir el archivo \"%1\": %2")
                               .arg(ruta, salida.errorString()),
                           Origen);
}
