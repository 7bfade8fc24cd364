#include "report/nucleo/CargaOrdenes.h"

#include "platform/sql/SqlDialect.h"

// The load's SQL texts, as written for the suite's server.

namespace {

QString listaSql(const QStringList& valores)
{
    QString lista;
    for (const QString& v : valores) {
        if (!lista.isEmpty())
            lista += QStringLiteral(", ");
        lista += sqlQuote(v);
    }
    return lista;
}

// The supply rows' own columns; then, unless left out, the produced article's
// figures, and its description as the suite's own query asks for it (the load
// never reads it: a list of its own leaves it out).
QString columnasInsumos(bool conArticulo = true, bool conDescripcion = true)
{
    const QString propias = QStringLiteral(
        "SELECT     dbo.V_MA_INSUMOS.IdArticulo, dbo.V_MA_INSUMOS.IdArticuloInsumo, "
        "dbo.V_MA_INSUMOS.Cantidad AS CantidadInsumo, V_MA_ARTICULOS_1.DESCRIPCION AS DescInsumo, "
        "V_MA_ARTICULOS_1.PESO_ESPECIFICO AS PeInsumo");
    if (!conArticulo)
        return propias;
    const QString figuras =
        propias + QStringLiteral(", dbo.V_MA_ARTICULOS.LARGO, dbo.V_MA_ARTICULOS.PROFUNDO , "
                                 "dbo.V_MA_ARTICULOS.Ancho, dbo.V_MA_ARTICULOS.LAMINADO");
    return conDescripcion ? figuras + QStringLiteral(", dbo.V_MA_ARTICULOS.Descripcion") : figuras;
}

// The supply's article row.
QString articuloDelInsumo()
{
    return QStringLiteral(" LEFT OUTER JOIN dbo.V_MA_ARTICULOS AS V_MA_ARTICULOS_1 ON "
                          "dbo.V_MA_INSUMOS.IdArticuloInsumo = V_MA_ARTICULOS_1.IDARTICULO");
}

// The produced article and the supply, each with its article row.
QString articulosDeInsumos()
{
    return QStringLiteral(" LEFT OUTER JOIN dbo.V_MA_ARTICULOS ON dbo.V_MA_INSUMOS.IdArticulo = "
                          "dbo.V_MA_ARTICULOS.IDARTICULO") +
           articuloDelInsumo();
}

QString seleccionInsumos()
{
    return columnasInsumos() + QStringLiteral(" FROM         dbo.V_MA_INSUMOS") +
           articulosDeInsumos();
}

// The codes as one PostgreSQL array value of blank-padded texts: each element
// quoted, its quotes and backslashes escaped, the whole text quoted like any
// value. Such texts compare without their trailing blanks, so none is sent: a
// code completed to 25 is mostly blanks, and the statement, which the driver
// and the server copy several times over, half its size.
QString arregloSql(const QStringList& valores)
{
    QString arreglo = QStringLiteral("{");
    for (const QString& v : valores) {
        if (arreglo.size() > 1)
            arreglo += u',';
        qsizetype largo = v.size();
        while (largo > 0 && v.at(largo - 1) == u' ')
            --largo;
        QString elemento = v.left(largo);
        elemento.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        arreglo += u'"' + elemento + u'"';
    }
    return sqlQuote(arreglo + u'}');
}

} // namespace

QString CargaOrdenes::ArmarCondicion(const QString& filtroRangos, const Opciones& opciones)
{
    QString condicion = QStringLiteral(" V_MV_CPTE.TC = 'OP'");
    if (!filtroRangos.trimmed().isEmpty())
        condicion += QStringLiteral(" AND ") + filtroRangos;
    if (opciones.pendientes != opciones.finalizada)
        condicion += opciones.pendientes ? QStringLiteral(" AND V_MV_CPTE.Finalizada= 0")
                                         : QStringLiteral(" AND V_MV_CPTE.Finalizada= 1");
    return condicion;
}

QString CargaOrdenes::ArmarConsulta(const QString& condicion, const QString& orden)
{
    QString sql =
        QStringLiteral("SELECT dbo.V_MV_Cpte.TC, dbo.V_MV_Cpte.IDCOMPROBANTE, dbo.V_MV_Cpte.FECHA, "
                       "dbo.V_MV_Cpte.CUENTA, dbo.V_MV_Cpte.NOMBRE,") +
        QStringLiteral(" dbo.V_MV_Cpte.OBSERVACIONES, dbo.V_MV_Cpte.IMPORTE, "
                       "dbo.V_MV_Cpte.IMPORTE_S_IVA, dbo.V_MV_Cpte.FINALIZADA, "
                       "dbo.V_MV_Cpte.ANULADA,") +
        QStringLiteral(" dbo.V_MV_Cpte.APROBADO, dbo.V_MV_CpteInsumos.IDARTICULO, "
                       "dbo.V_MV_CpteInsumos.DESCRIPCION, dbo.V_MV_CpteInsumos.IDUNIDAD,") +
        QStringLiteral(" dbo.V_MV_CpteInsumos.CANTIDAD, dbo.V_MV_CpteInsumos.CANTIDADUD, "
                       "dbo.V_MV_CpteInsumos.IMPORTE AS Expr1, dbo.V_MV_CpteInsumos.TOTAL") +
        QStringLiteral(" FROM dbo.V_MV_Cpte INNER JOIN") +
        QStringLiteral(" dbo.V_MV_CpteInsumos ON dbo.V_MV_Cpte.TC = dbo.V_MV_CpteInsumos.TC AND") +
        QStringLiteral(" dbo.V_MV_Cpte.IdComprobante = dbo.V_MV_CpteInsumos.IdComprobante And "
                       "dbo.V_MV_Cpte.IdComplemento = dbo.V_MV_CpteInsumos.IdComplemento");
    if (!condicion.isEmpty())
        sql += QStringLiteral(" WHERE ") + condicion;
    // The grid follows the operator's "Orden" choice; the voucher identifier
    // keeps the lines of one order together and the result repeatable.
    QString columna = orden.trimmed();
    if (columna.startsWith(u'{') && columna.endsWith(u'}'))
        columna = columna.mid(1, columna.size() - 2).trimmed();
    const QString id = QStringLiteral("V_MV_Cpte.IdComprobante");
    if (columna.isEmpty() || columna.compare(id, Qt::CaseInsensitive) == 0)
        sql += QStringLiteral(" ORDER BY ") + id;
    else
        sql += QStringLiteral(" ORDER BY ") + columna + QStringLiteral(", ") + id;
    return sql;
}

QString CargaOrdenes::ConsultaInsumos(const QString& codigoCompleto)
{
    // The code is quoted like any value: an apostrophe in a code must not end
    // the literal.
    return seleccionInsumos() + QStringLiteral(" WHERE V_MA_INSUMOS.IDARTICULO=") +
           sqlQuote(codigoCompleto);
}

QString CargaOrdenes::ConsultaInsumosDe(const QStringList& codigosCompletos, OrdenLista orden,
                                        SqlBackend motor)
{
    // The rows of one article must come in the order its own query gives
    // them, which that query does not fix.
    const bool enOrdenDeClave = orden == OrdenLista::Clave;
    const QString enOrden =
        QStringLiteral(" ORDER BY dbo.V_MA_INSUMOS.IdArticulo, dbo.V_MA_INSUMOS.IdArticuloInsumo");
    // PostgreSQL checks a long IN list against every row of a whole-table
    // scan, then sorts what passed on disk; the same codes as one array,
    // joined to the bills of materials, are met walking the table's key, which
    // is already the order asked for.
    if (enOrdenDeClave && motor == SqlBackend::PostgreSQL)
        return columnasInsumos(true, false) + QStringLiteral(" FROM unnest(CAST(") +
               arregloSql(codigosCompletos) +
               QStringLiteral(" AS bpchar ARRAY)) AS pedidos(codigo) INNER JOIN "
                              "dbo.V_MA_INSUMOS ON dbo.V_MA_INSUMOS.IdArticulo = pedidos.codigo") +
               articulosDeInsumos() + enOrden;
    if (orden != OrdenLista::Propia) {
        const QString desde = ListaConArticulo(motor, orden)
                                  ? seleccionInsumos()
                                  : columnasInsumos(false) +
                                        QStringLiteral(" FROM         dbo.V_MA_INSUMOS") +
                                        articuloDelInsumo();
        return desde + QStringLiteral(" WHERE V_MA_INSUMOS.IDARTICULO IN (") +
               listaSql(codigosCompletos) + u')' + (enOrdenDeClave ? enOrden : QString());
    }
    QString sql;
    for (const QString& codigo : codigosCompletos) {
        if (!sql.isEmpty())
            sql += QStringLiteral(" UNION ALL ");
        sql += ConsultaInsumos(codigo);
    }
    return sql;
}

bool CargaOrdenes::ListaConArticulo(SqlBackend motor, OrdenLista orden)
{
    // SQLite seeks the produced article's row again for each of its supply
    // rows, as many seeks as the supplies' own: asked once per article
    // instead, with its dimensions, the list takes half the time. Other
    // servers' plans for the list are left as they were measured.
    return motor != SqlBackend::SQLite || orden == OrdenLista::Propia;
}

QString CargaOrdenes::ConsultaMedidasDe(const QStringList& codigos)
{
    return QStringLiteral("SELECT IDARTICULO, ANCHO, LARGO, PROFUNDO, LAMINADO FROM V_MA_ARTICULOS "
                          "WHERE IDARTICULO IN (") +
           listaSql(codigos) + QLatin1Char(')');
}
