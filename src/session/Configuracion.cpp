#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "platform/sql/SqlDialect.h"
#include "session/ModGlobal.h"

namespace ModGlobal {

QString Cfg(const QString& clave)
{
    QString resultado;
    std::unique_ptr<Recordset> rs;
    CompDatos& datos = Componentes::Datos();
    ManejadorError enError = ManejadorError::conEtiqueta(QStringLiteral("Cfg"));
    enError.paso([&] {
        rs = datos.AbrirRecordset(
            QStringLiteral("SELECT VALOR FROM TA_CONFIGURACION WITH (NOLOCK) WHERE CLAVE = ") +
            sqlQuote(clave.trimmed()));
    });
    enError.paso([&] {
        if (rs && !rs->atBof())
            resultado = Componentes::General().ValorNoNulo(rs->field(QStringLiteral("Valor")));
    });
    enError.paso([&] { datos.CerrarRecordset(rs); });
    return enError.salio() ? QString() : resultado;
}

QString NombreReporte(QString& nombre, const QString& sufijo)
{
    QString resultado;
    QString porDefecto;
    std::unique_ptr<Recordset> rs;
    ManejadorError enError = ManejadorError::conEtiqueta(QStringLiteral("NombreReporte$"));
    enError.paso([&] { porDefecto = nombre; });
    enError.paso([&] {
        if (!sufijo.trimmed().isEmpty())
            nombre = sufijo + u'|' + nombre;
    });
    enError.paso([&] {
        rs = Componentes::Datos().AbrirRecordset(
            QStringLiteral("SELECT * FROM TA_REPORTES  WITH(NOLOCK) WHERE NOMBRE = ") +
            sqlQuote(nombre.trimmed()));
    });
    enError.paso([&] {
        if (!rs || rs->atBof()) {
            resultado = porDefecto;
            return;
        }
        const QVariant archivo = rs->field(QStringLiteral("Archivo"));
        if (archivo.isNull())
            throw RuntimeError(94,
                               QStringLiteral("Uso no válido de Null: el informe \"%1\" no tiene "
                                              "archivo en el catálogo")
                                   .arg(nombre.trimmed()),
                               QStringLiteral("NombreReporte"));
        resultado = archivo.toString();
    });
    enError.paso([&] {
        if (resultado.isEmpty())
            resultado = porDefecto;
    });
    enError.paso([&] {
        if (rs)
            rs->close();
        rs.reset();
    });
    return resultado;
}

bool ValorLogico(const QString& texto, bool porDefecto)
{
    if (texto.isEmpty())
        return porDefecto;
    const QString t = texto.toUpper();
    if (porDefecto)
        return !(t == u"FALSE" || t == u"FALSO" || t == u"0" || t == u"NO" || t == u"N");
    return t == u"TRUE" || t == u"VERDADERO" || t == u"1" || t == u"SI" || t == u"S";
}

} // namespace ModGlobal
