#include "components/Componentes.h"
#include "platform/text/Cp1252.h"
#include "platform/text/RuntimeError.h"
#include "session/ModGlobal.h"

#include <QFile>

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

[[noreturn]] void fallo(const QFile& archivo)
{
    throw RuntimeError(ErrorNumber::FileAccess,
                       QStringLiteral("No se pudo escribir el archivo de consultas \"%1\": %2")
                           .arg(archivo.fileName(), archivo.errorString()),
                       QStringLiteral("CrearConsultasPorDefecto"));
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
    QFile archivo(Componentes::Sesion().ArchivoConsultas());
    if (!archivo.open(QIODevice::ReadWrite))
        fallo(archivo);
    for (const QByteArray& r : registros) {
        // Right after the last whole record: a partial record at the end is
        // written over, as the suite's record files always were.
        const qint64 numero = archivo.size() / LargoRegistro + 1;
        if (!archivo.seek((numero - 1) * LargoRegistro) || archivo.write(r) != LargoRegistro ||
            !archivo.flush())
            fallo(archivo);
    }
    archivo.close();
    if (archivo.error() != QFileDevice::NoError)
        fallo(archivo);
}

} // namespace ModGlobal
