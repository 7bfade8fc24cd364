#include "components/Componentes.h"
#include "platform/files/FileCommit.h"
#include "platform/files/OwnFileRead.h"
#include "platform/text/Cp1252.h"
#include "platform/text/RuntimeError.h"
#include "session/ModGlobal.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 LargoRegistro = 1202;

// A text in the workstations' code page, cut or padded with blanks to `ancho` bytes.
QByteArray campo(const QString& texto, qsizetype ancho)
{
    QByteArray bytes = toCp1252(texto).left(ancho);
    return bytes + QByteArray(ancho - bytes.size(), ' ');
}

// One lookup definition: Titulo 100, Tabla 100, Campos 500, Adicional 500, CR LF.
// Tabla goes as given; the others trimmed.
QByteArray registro(const QString& titulo, const QString& tabla, const QString& campos)
{
    return campo(titulo.trimmed(), 100) + campo(tabla, 100) + campo(campos.trimmed(), 500) +
           campo(QString(), 500) + QByteArray("\r\n");
}

} // namespace

namespace ModGlobal {

void CrearConsultasPorDefecto()
{
    const QList<QByteArray> registros = {
        registro(QStringLiteral("ARTICULOS"), QStringLiteral("V_MA_ARTICULOS"),
                 QStringLiteral("|DESCRIPCION|IDARTICULO|")),
        registro(QStringLiteral("CLIENTES"), QStringLiteral("VT_CLIENTES"),
                 QStringLiteral("|RAZON_SOCIAL|CODIGO|CONTACTO|")),
        registro(QStringLiteral("PROVEEDORES"), QStringLiteral("VT_PROVEEDORES"),
                 QStringLiteral("|RAZON_SOCIAL|CODIGO|")),
        registro(QStringLiteral("CONTACTOS"), QStringLiteral("MA_CONTACTOS"),
                 QStringLiteral("|Nombre_y_Apellido|Domicilio|Localidad|Telefono|")),
    };
    const QString ruta = Componentes::Sesion().ArchivoConsultas();
    QByteArray contenido = fileCommit::readOwnFile(ruta).value_or(QByteArray());
    // Right after the last whole record: a partial record at the end is
    // written over, as the suite's record files always were.
    contenido.truncate(contenido.size() / LargoRegistro * LargoRegistro);
    for (const QByteArray& r : registros)
        contenido += r;
    // The program's own file: never created through a link planted in its place.
    fileCommit::Output salida(fileCommit::OwnFile{ruta});
    salida.begin();
    salida.write(contenido);
    salida.commit();
}

} // namespace ModGlobal
