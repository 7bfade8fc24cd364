#include "report/CargaOrdenes.h"

#include "components/Componentes.h"
#include "platform/controls/GridModel.h"
#include "platform/sql/SqlDialect.h"
#include "platform/text/ValueText.h"
#include "session/ModGlobal.h"

#include <cmath>

namespace {

// Suspends the grid's notifications for the load and resumes them however
// the load ends, so a view never stays frozen after a failure.
class SinAvisos
{
public:
    explicit SinAvisos(GridModel& grilla) : m_grilla(grilla) { m_grilla.setUpdatesSuspended(true); }
    ~SinAvisos() { m_grilla.setUpdatesSuspended(false); }
    SinAvisos(const SinAvisos&) = delete;
    SinAvisos& operator=(const SinAvisos&) = delete;

private:
    GridModel& m_grilla;
};

QString texto(const Recordset& rs, const QString& campo)
{
    return Componentes::General().ValorNoNulo(rs.field(campo));
}

double numero(const QString& valor)
{
    return Componentes::General().ValorNumerico(valor).toDouble();
}

// A code as a message can show it: blanks trimmed, control characters (a NUL
// stored in a code) written out rather than cutting or garbling the message.
QString codigoVisible(const QString& codigo)
{
    QString visible;
    for (const QChar c : codigo.trimmed())
        visible += c.unicode() < 0x20 || c.unicode() == 0x7F
                       ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                       : QString(c);
    return visible;
}

QString campoVisible(const Recordset& rs, const QString& campo)
{
    try {
        return codigoVisible(texto(rs, campo));
    } catch (const RuntimeError&) {
        return QStringLiteral("?");
    }
}

} // namespace

void CargaOrdenes::IniciarGrilla(GridModel& grilla)
{
    struct Columna
    {
        const char16_t* titulo;
        int ancho;
    };
    // Column 7 holds the article's depth on order-line rows, hence its title.
    static constexpr Columna Columnas[] = {
        {u"", 10},           {u"Nro OP", 1500}, {u"Insumo", 2500}, {u"Descrpcion", 4500},
        {u"Cantidad", 1200}, {u"PE", 1200},     {u"Kg", 1200},     {u"Espesor", 1200}};
    grilla.clear();
    grilla.setCols(8);
    grilla.setRows(2);
    for (int c = 0; c < 8; ++c) {
        grilla.setText(0, c, QString::fromUtf16(Columnas[c].titulo));
        grilla.setColWidth(c, Columnas[c].ancho);
    }
}

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
    return QStringLiteral(
               "SELECT     dbo.V_MA_INSUMOS.IdArticulo, dbo.V_MA_INSUMOS.IdArticuloInsumo, "
               "dbo.V_MA_INSUMOS.Cantidad AS CantidadInsumo,") +
           QStringLiteral(
               " V_MA_ARTICULOS_1.DESCRIPCION AS DescInsumo, "
               "V_MA_ARTICULOS_1.PESO_ESPECIFICO AS PeInsumo, dbo.V_MA_ARTICULOS.LARGO,") +
           QStringLiteral(" dbo.V_MA_ARTICULOS.PROFUNDO , dbo.V_MA_ARTICULOS.Ancho, "
                          "dbo.V_MA_ARTICULOS.LAMINADO, dbo.V_MA_ARTICULOS.Descripcion") +
           QStringLiteral(" FROM         dbo.V_MA_INSUMOS LEFT OUTER JOIN") +
           QStringLiteral(" dbo.V_MA_ARTICULOS ON dbo.V_MA_INSUMOS.IdArticulo = "
                          "dbo.V_MA_ARTICULOS.IDARTICULO LEFT OUTER JOIN") +
           QStringLiteral(" dbo.V_MA_ARTICULOS AS V_MA_ARTICULOS_1 ON "
                          "dbo.V_MA_INSUMOS.IdArticuloInsumo = V_MA_ARTICULOS_1.IDARTICULO") +
           // The code is quoted like any value: an apostrophe in a code must
           // not end the literal.
           QStringLiteral(" WHERE V_MA_INSUMOS.IDARTICULO=") + sqlQuote(codigoCompleto);
}

double CargaOrdenes::EstimarKg(double largo, double ancho, double profundo, double pesoEspecifico,
                               double cantidad)
{
    const double x1 = largo / 1000.0;
    const double x2 = (ancho / 1000.0) * x1;
    const double x3 = ((profundo * x2) / 1000.0) * pesoEspecifico;
    const double kg = cantidad * x3;
    if (!std::isfinite(kg))
        throw RuntimeError(ErrorNumber::Overflow,
                           QStringLiteral("Desbordamiento al estimar los kilogramos"),
                           QStringLiteral("CargaOrdenes"));
    return kg;
}

CargaOrdenes::Resultado CargaOrdenes::Cargar(const ListaRangos& rangos, const Opciones& opciones,
                                             GridModel& grilla, const Avance& avance)
{
    const QString filtro = Componentes::Reportes().ArmarFiltroSQL(rangos);
    const QString sql = ArmarConsulta(ArmarCondicion(filtro, opciones), opciones.orden);
    Resultado resultado;
    SinAvisos sinAvisos(grilla);
    IniciarGrilla(grilla);
    CompDatos& datos = Componentes::Datos();
    std::unique_ptr<Recordset> lineas = datos.AbrirRecordset(sql);
    if (lineas->atBof())
        return resultado;
    while (!lineas->atEof()) {
        try {
            escribirLinea(*lineas, grilla);
            ++resultado.lineas;
            resultado.insumos += expandirInsumos(*lineas, grilla);
        } catch (const RuntimeError& error) {
            throw enLaLinea(error, *lineas);
        }
        lineas->moveNext();
        if (avance && !avance(resultado.lineas)) {
            resultado.cancelada = !lineas->atEof();
            break;
        }
    }
    datos.CerrarRecordset(lineas);
    return resultado;
}

RuntimeError CargaOrdenes::enLaLinea(const RuntimeError& error, const Recordset& linea) const
{
    QString donde = QStringLiteral("En la orden %1, artículo %2")
                        .arg(campoVisible(linea, QStringLiteral("IdComprobante")),
                             campoVisible(linea, QStringLiteral("idArticulo")));
    if (!m_insumo.isNull())
        donde += QStringLiteral(", insumo ") + codigoVisible(m_insumo);
    return RuntimeError(error.number(), donde + QStringLiteral(": ") + error.description(),
                        error.source());
}

void CargaOrdenes::escribirLinea(const Recordset& linea, GridModel& grilla)
{
    CompDatos& datos = Componentes::Datos();
    const int r = grilla.rows() - 1;
    grilla.setText(r, 1, texto(linea, QStringLiteral("IdComprobante")).trimmed());
    grilla.setText(r, 2, texto(linea, QStringLiteral("idArticulo")).trimmed());
    grilla.setText(r, 3, texto(linea, QStringLiteral("Descripcion")).trimmed());
    grilla.setText(r, 4, texto(linea, QStringLiteral("Cantidad")).trimmed());
    const QString articulo = texto(linea, QStringLiteral("idArticulo"));
    const auto dimension = [&](const QString& columna) {
        return datos.BuscarCampo(QStringLiteral("V_MA_ARTICULOS"), articulo, columna,
                                 QStringLiteral("IDARTICULO"), 8, QString());
    };
    grilla.setText(r, 5, QStringLiteral("Ancho ") + dimension(QStringLiteral("ANCHO")));
    grilla.setText(r, 6, QStringLiteral("Largo ") + dimension(QStringLiteral("LARGO")));
    grilla.setText(r, 7, QStringLiteral("Espesor ") + dimension(QStringLiteral("PROFUNDO")));
    grilla.setRow(r);
    for (int c = 0; c < grilla.cols(); ++c) {
        grilla.setCol(c);
        grilla.setCellBackColor(Verde);
    }
    grilla.setRows(grilla.rows() + 1);
}

int CargaOrdenes::expandirInsumos(const Recordset& linea, GridModel& grilla)
{
    // A line without an article has no bill of materials to look up.
    const QVariant articulo = linea.field(QStringLiteral("idArticulo"));
    if (articulo.isNull())
        return 0;
    CompGeneral& general = Componentes::General();
    CompDatos& datos = Componentes::Datos();
    const QString codigo = general.CompletarCodigo(general.ValorNoNulo(articulo), 25);
    std::unique_ptr<Recordset> insumos = datos.AbrirRecordset(ConsultaInsumos(codigo));
    if (insumos->atBof())
        return 0;
    const double cantidad = numero(texto(linea, QStringLiteral("Cantidad")));
    int escritos = 0;
    while (!insumos->atEof()) {
        const Recordset& s = *insumos;
        const int r = grilla.rows() - 1;
        m_insumo = QStringLiteral("?"); // until its code is read
        m_insumo = texto(s, QStringLiteral("IdArticuloInsumo"));
        grilla.setText(r, 2, m_insumo.trimmed());
        grilla.setText(r, 3, texto(s, QStringLiteral("DescInsumo")).trimmed());
        grilla.setText(r, 4, texto(s, QStringLiteral("CantidadInsumo")));
        grilla.setText(r, 5, texto(s, QStringLiteral("Peinsumo")).trimmed());
        double pesoEspecifico = numero(texto(s, QStringLiteral("Peinsumo")));
        if (ModGlobal::ValorLogico(texto(s, QStringLiteral("laminado")), false))
            pesoEspecifico *= 2;
        const double kg = EstimarKg(
            numero(texto(s, QStringLiteral("largo"))), numero(texto(s, QStringLiteral("Ancho"))),
            numero(texto(s, QStringLiteral("profundo"))), pesoEspecifico, cantidad);
        grilla.setText(r, 6, decimalText(kg));
        grilla.setRows(grilla.rows() + 1);
        ++escritos;
        m_insumo.clear();
        insumos->moveNext();
    }
    datos.CerrarRecordset(insumos);
    return escritos;
}
