#include "export/LlenadoHoja.h"

#include "export/GraficoInsumos.h"

#include "components/Componentes.h"
#include "components/ManejadorError.h"
#include "export/ModExportarExcel.h"
#include "platform/controls/GridModel.h"
#include "platform/spreadsheet/SpreadsheetApp.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/text/ValueText.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int AnchoOculto = 50; // twips: a column this narrow or less is hidden
constexpr double TwipsPorAncho = 90;
constexpr int Blanco = 16777215;

SpreadsheetApp& aplicacion(SpreadsheetApp* excel)
{
    if (!excel)
        throw RuntimeError(ErrorNumber::ObjectRequired,
                           u"Se requiere un objeto: no hay una hoja de cálculo abierta"_s,
                           u"ModExportarExcel"_s);
    return *excel;
}

// A plain decimal such as "0,00000005": no sign, digits and one separator,
// and a digit other than zero.
bool positivoDiminuto(const QString& texto)
{
    static const QRegularExpression decimal(
        QStringLiteral("^\\s*[0-9]*[.,]?[0-9]*[1-9][0-9]*\\s*$"));
    return decimal.match(texto).hasMatch();
}

struct Encabezado
{
    QString titulo, filtros;
};
Encabezado& encabezadoImpresion()
{
    static Encabezado e;
    return e;
}

} // namespace

void ModExportarExcel::setEncabezadoImpresion(const QString& titulo, const QString& filtros)
{
    encabezadoImpresion() = {titulo, filtros};
}

LlenadoHoja::LlenadoHoja(const GridModel& grilla, AvanceExportacion* avance)
    : m_grilla(grilla), m_avance(avance)
{
}

void LlenadoHoja::abrirExcel(std::unique_ptr<SpreadsheetApp>& excel)
{
    excel = std::make_unique<SpreadsheetApp>();
    excel->setVisible(false);
    excel->setSheetsInNewWorkbook(1);
    excel->addWorkbook();
}

void LlenadoHoja::armarEncabezado(SpreadsheetApp* excel, int cantidad,
                                  const QStringList& encabezados, const QList<int>& anchos)
{
    SpreadsheetApp& app = aplicacion(excel);
    Worksheet& hoja = app.activeSheet();
    const int columnas = cantidad - 1;
    app.cells().font().setSize(8);
    const Range encabezado = hoja.range(hoja.cells(1, 1), hoja.cells(1, columnas));
    encabezado.borders().setLineStyle(1);
    encabezado.borders().setLineStyle(1);
    for (int k = 1; k <= columnas; ++k)
        hoja.cells(1, k).interior().setColorIndex(15);
    encabezado.font().setColor(16711680);
    for (int k = 1; k <= columnas; ++k)
        hoja.cells(1, k).setValue(encabezados.value(k - 1));
    for (int k = 1; k <= columnas; ++k)
        hoja.setColumnWidth(k, anchos.value(k - 1) / TwipsPorAncho);
    // On paper the sheet keeps to the page width and every page shows the
    // titles, whatever route prints it.
    Worksheet::PrintSetup impresion;
    impresion.fitToWidth = true;
    impresion.titleRows = 1;
    impresion.title =
        encabezadoImpresion().titulo.isEmpty() ? hoja.name() : encabezadoImpresion().titulo;
    impresion.filters = encabezadoImpresion().filtros;
    impresion.date = valueText(QDate::currentDate());
    hoja.setPrintSetup(impresion);
}

QString LlenadoHoja::valorCelda(const QString& texto)
{
    // Only a comma can change: a text without one goes as it is, trimmed.
    if (!texto.contains(u','))
        return texto.trimmed();
    // The grid's own decimals ("12,50", "-3,5"), most of what has a comma,
    // decided without parsing an amount: positive when unsigned with a digit
    // other than zero (a plain decimal too small for an amount still counts).
    const QString recortado = texto.trimmed();
    const QStringView v(recortado);
    const qsizetype signo = v.startsWith(u'-') ? 1 : 0;
    const qsizetype lugarComa = v.indexOf(u',');
    const auto cifras = [](QStringView s) {
        return !s.isEmpty() &&
               std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    const auto primeraNoCero = [](QStringView s) {
        const auto c = std::find_if(s.begin(), s.end(), [](QChar d) { return d != u'0'; });
        return c == s.end() ? qsizetype(-1) : qsizetype(c - s.begin());
    };
    const QStringView entera = v.mid(signo, std::max<qsizetype>(0, lugarComa - signo));
    const qsizetype primera = primeraNoCero(entera);
    // From 15 whole digits on the amount's own limits decide, further down.
    if (lugarComa > signo && cifras(entera) && cifras(v.mid(lugarComa + 1)) &&
        (primera < 0 || entera.size() - primera < 15)) {
        const bool distintoDeCero = primera >= 0 || primeraNoCero(v.mid(lugarComa + 1)) >= 0;
        static const bool comaPropia = QLocale::system().decimalPoint() == u",";
        if ((signo == 0 && distintoDeCero) || comaPropia) {
            QString valor = recortado;
            valor[lugarComa] = u'.';
            return valor;
        }
        return recortado;
    }
    bool positivo = false;
    try {
        const qint64 unidades = Componentes::General().ValorNumerico(texto).units();
        // Below the currency's four decimals ("0,00000005 kg") a positive
        // amount reads as 0: its digits still say it is above zero.
        positivo = unidades > 0 || (unidades == 0 && positivoDiminuto(texto));
    } catch (const RuntimeError& error) {
        // A long code overflows the amount it is tested as: it is no amount,
        // and stays as it is rather than stopping the export.
        if (error.number() != ErrorNumber::Overflow)
            throw;
    }
    QString valor = texto.trimmed();
    // The grid writes its numbers with the operator's decimal separator: under
    // a comma locale a zero or negative amount ("0,00", "-3,5") is as much a
    // number as a positive one, as it is under a point locale ("0.00").
    static const bool coma = QLocale::system().decimalPoint() == u",";
    static const QRegularExpression propia(QStringLiteral("^-?[0-9]+,[0-9]+$"));
    if (positivo || (coma && propia.match(valor).hasMatch()))
        valor.replace(u',', u'.');
    return valor;
}

void LlenadoHoja::agregarGrafico(Worksheet& hoja) const
{
    // Only the totals per material carry their chart.
    const auto grafico = GraficoInsumos::DeLosTotales(m_grilla);
    if (!grafico)
        return;
    // The sheet's columns skip the grid's hidden ones; a grid row r is sheet row r + 1.
    std::vector<int> columna(size_t(m_grilla.cols()), 0);
    int x = 0;
    for (int c = 0; c < m_grilla.cols(); ++c)
        if (m_grilla.colWidth(c) > AnchoOculto)
            columna[size_t(c)] = ++x;
    const auto bloque = [&](int desde, int hasta, int col) {
        return Worksheet::Cells{desde + 1, columna[size_t(col)], hasta + 1, columna[size_t(col)]};
    };
    if (columna[GraficoInsumos::ColInsumo] == 0 || columna[GraficoInsumos::ColKg] == 0 ||
        columna[GraficoInsumos::ColKgIncompletos] == 0)
        return;
    const GraficoInsumos::Barra& ultima = grafico->barras.back();
    const int hastaFila = ultima.otros() ? ultima.fila - 1 : grafico->ultimaFila;
    Worksheet::BarChart g;
    g.title = u"Kilos por insumo"_s;
    g.categories = {bloque(grafico->primeraFila, hastaFila, GraficoInsumos::ColInsumo)};
    std::vector<Worksheet::Cells> kilos = {
        bloque(grafico->primeraFila, hastaFila, GraficoInsumos::ColKg)};
    std::vector<Worksheet::Cells> incompletos = {
        bloque(grafico->primeraFila, hastaFila, GraficoInsumos::ColKgIncompletos)};
    const int colKg = columna[GraficoInsumos::ColKg];
    const int colIncompletos = columna[GraficoInsumos::ColKgIncompletos];
    // The kilograms read as the grid shows them: two decimals, thousands grouped.
    const auto enKilos = [&](int desde, int hasta) {
        for (const int c : {colKg, colIncompletos})
            hoja.range(hoja.cells(desde, c), hoja.cells(hasta, c)).setNumberFormat(u"#,##0.00"_s);
    };
    enKilos(2, m_grilla.rows());
    // On paper the chart takes a page of its own after the table, which
    // keeps the page's width for itself.
    g.pageRow = hoja.rowCount() + 1;
    g.row = g.pageRow;
    g.column = 1;
    // As wide as the table, which sets the page's scale; a bar and its name
    // on a line of their own each.
    int anchoTabla = 0;
    for (int c = 0; c < m_grilla.cols(); ++c)
        if (columna[size_t(c)] > 0)
            anchoTabla += m_grilla.colWidth(c) / 15;
    g.width = std::max(560, anchoTabla);
    g.height = std::max(288, 90 + 32 * int(grafico->barras.size()));
    if (ultima.otros()) {
        // "Otros" is no row of the table: its bar reads a small table of its
        // own beside the chart, right of the table's columns and outside
        // what is printed, so that the table's columns keep adding up what
        // they did and no reader takes it for a total of theirs.
        const int fila = g.pageRow, col = x + 2;
        hoja.cells(fila, col).setValue(u"Barra del gráfico"_s);
        hoja.cells(fila, col + 1).setValue(m_grilla.text(0, GraficoInsumos::ColKg));
        hoja.cells(fila, col + 2).setValue(m_grilla.text(0, GraficoInsumos::ColKgIncompletos));
        hoja.cells(fila + 1, col).setValue(ultima.codigo);
        hoja.cells(fila + 1, col + 1).setValue(QString::number(ultima.kilos, 'f', 2));
        hoja.cells(fila + 1, col + 2).setValue(QString::number(ultima.kilosIncompletos, 'f', 2));
        hoja.range(hoja.cells(fila + 1, col + 1), hoja.cells(fila + 1, col + 2))
            .setNumberFormat(u"#,##0.00"_s);
        hoja.setColumnWidth(col, m_grilla.colWidth(GraficoInsumos::ColInsumo) / TwipsPorAncho);
        g.categories.push_back({fila + 1, col, fila + 1, col});
        kilos.push_back({fila + 1, col + 1, fila + 1, col + 1});
        incompletos.push_back({fila + 1, col + 2, fila + 1, col + 2});
    }
    Worksheet::PrintSetup impresion = hoja.printSetup();
    impresion.lastColumn = x;
    // The rows the chart covers, at the sheet's default height of 20 pixels.
    impresion.lastRow = g.pageRow + g.height / 20 + 1;
    hoja.setPrintSetup(impresion);
    g.series = {{GraficoInsumos::LeyendaCompleto(), kilos, GraficoInsumos::ColorCompleto, true}};
    // The lighter part only where some bar has it: its legend would name nothing.
    if (grafico->kilosIncompletos > 0)
        g.series.push_back(
            {GraficoInsumos::LeyendaFaltante(), incompletos, GraficoInsumos::ColorFaltante, false});
    hoja.addChart(std::move(g));
}

bool LlenadoHoja::cancelado() const
{
    return m_avance && m_avance->Cancelado();
}

bool LlenadoHoja::formatear(Worksheet& hoja, int fila, int col, int color, const Formato& formato,
                            ManejadorError& enError)
{
    // Most cells look like many before them: the format those calls gave
    // once is set again at once.
    const Worksheet::Cell* celda = hoja.cell(fila, col);
    const Clave clave{&hoja, celda ? celda->style : hoja.sheetStyle(), color, formato.tamano,
                      formato.negrita};
    if (const auto hecho = m_formatos.find(clave); hecho != m_formatos.end())
        return enError.paso([&] { hoja.setStyle({fila, col, fila, col, false}, hecho->second); });
    int completos = 0;
    const auto rango = [&] { return hoja.cells(fila, col); };
    const bool sigue = enError.paso([&] {
        rango().interior().setColor(color);
        ++completos;
    }) && enError.paso([&] {
        rango().font().setSize(formato.tamano);
        ++completos;
    }) && enError.paso([&] {
        rango().font().setBold(formato.negrita);
        ++completos;
    }) && enError.paso([&] {
        rango().font().setColorIndex(0);
        ++completos;
    }) && enError.paso([&] {
        rango().font().setName(u"Tahoma"_s);
        ++completos;
    });
    // Only a format every call gave is one to repeat: after a failure the
    // operator chose to skip, the next cell asks again.
    if (sigue && completos == 5)
        m_formatos.emplace(clave, hoja.cell(fila, col)->style);
    return sigue;
}

bool LlenadoHoja::llenar(std::unique_ptr<SpreadsheetApp>& excel, ManejadorError& enError)
{
    const int filas = m_grilla.rows();
    const int columnas = m_grilla.cols();

    QStringList encabezados;
    QList<int> anchos;
    for (int c = 0; c < columnas; ++c)
        if (!enError.paso([&] {
                if (m_grilla.colWidth(c) > AnchoOculto) {
                    encabezados << m_grilla.text(0, c);
                    anchos << m_grilla.colWidth(c);
                }
            }))
            return false;
    if (!enError.paso([&] { abrirExcel(excel); }) || !enError.paso([&] {
            armarEncabezado(excel.get(), static_cast<int>(encabezados.size()) + 1, encabezados,
                            anchos);
        }))
        return false;

    // A sheet holds its title row and this many grid rows; a longer grid goes
    // on in further sheets, each with the title row again, so nothing is lost.
    constexpr int FilasPorHoja = Worksheet::MaxRows - 1;
    for (int r = 1; r < filas; ++r) {
        if (cancelado())
            return false;
        if (m_avance)
            m_avance->filas.store(r, std::memory_order_relaxed);
        if (r > FilasPorHoja && (r - 1) % FilasPorHoja == 0 && !enError.paso([&] {
                aplicacion(excel.get()).activeWorkbook().addSheet();
                armarEncabezado(excel.get(), static_cast<int>(encabezados.size()) + 1, encabezados,
                                anchos);
            }))
            return false;
        const int fila = (r - 1) % FilasPorHoja + 2; // in its sheet
        int x = 0;
        for (int c = 0; c < columnas; ++c) {
            bool visible = false;
            QString valor;
            int color = 0;
            Formato formato;
            Worksheet* hoja = nullptr;
            const bool sigue = enError.paso([&] { visible = m_grilla.colWidth(c) > AnchoOculto; });
            if (!sigue)
                return false;
            if (!visible)
                continue;
            ++x;
            // The format comes from the cell the value comes from, also when
            // a hidden column shifts sheet columns against grid columns.
            const bool hecho =
                enError.paso([&] { valor = valorCelda(m_grilla.text(r, c)); }) &&
                enError.paso([&] { aplicacion(excel.get()).cells(fila, x).setValue(valor); }) &&
                enError.paso([&] {
                    if (m_avance)
                        m_avance->Celda(r, c);
                }) &&
                enError.paso([&] {
                    const int fondo = m_grilla.backColor(r, c);
                    color = fondo == 0 || fondo == GridModel::NoColor ? Blanco : fondo;
                    const double tamano = m_grilla.fontSize(r, c);
                    formato.tamano = tamano > 0 ? tamano : ModExportarExcel::TamanoFuenteGrilla;
                    formato.negrita = m_grilla.fontBold(r, c);
                }) &&
                enError.paso([&] { hoja = &aplicacion(excel.get()).activeSheet(); }) &&
                formatear(*hoja, fila, x, color, formato, enError);
            if (!hecho)
                return false;
        }
    }
    if (!enError.paso([&] { agregarGrafico(aplicacion(excel.get()).activeSheet()); }))
        return false;
    // The operator sees the workbook from its first sheet.
    return filas <= Worksheet::MaxRows ||
           enError.paso([&] { aplicacion(excel.get()).activeWorkbook().activate(0); });
}
