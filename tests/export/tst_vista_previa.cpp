#include "Grillas.h"
#include "LectorAnfitrion.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/SheetPrinter.h"
#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/Worksheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString ejecutar(const QString& programa, const QStringList& argumentos)
{
    const soporte::Lectura l = soporte::leerEnAnfitrion(programa, argumentos);
    return l.codigo == 0 ? QString::fromUtf8(l.salida) : QString();
}

int paginasDelPdf(const QString& archivo)
{
    const QString info = ejecutar(QStringLiteral(RP_PDFINFO), {archivo});
    const auto m =
        QRegularExpression(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString textoDePagina(const QString& archivo, int pagina)
{
    return ejecutar(QStringLiteral(RP_PDFTOTEXT),
                    {u"-f"_s, QString::number(pagina), u"-l"_s, QString::number(pagina),
                     u"-layout"_s, archivo, u"-"_s});
}

// The report grid with `datos` rows: an order line every ten rows, each data
// row naming itself in the description column.
void grillaLarga(GridModel& grilla, int datos)
{
    grillas::reporte(grilla, datos);
    for (int r = 1; r <= datos; ++r) {
        if (r % 10 == 1)
            grillas::lineaDeOrden(grilla, r, {u""_s, u"0001-%1"_s.arg(r)});
        grilla.setText(r, 3, u"renglon%1"_s.arg(r));
        grilla.setText(r, 6, u"%1,5"_s.arg(r));
    }
}

// Pages of the report grid on A4 landscape, one page wide: the grid is
// wider than a portrait page, so its columns are scaled to the landscape
// page's width and every page holds the title row and as many data rows as fit
// below it, worked out from the column widths and row heights the printer
// documents.
int paginasEsperadas(int datos)
{
    QPageLayout pagina = SheetPrinter::defaultPageLayout();
    pagina.setOrientation(QPageLayout::Landscape);
    const QSizeF lugar = pagina.paintRect(QPageLayout::Point).size();
    double ancho = 0;
    for (int k = 1; k <= 7; ++k)
        ancho += SheetPrinter::columnPoints(grillas::Anchos[k] / 90.0);
    const double escala = std::min(1.0, lugar.width() / ancho);
    const double titulo = SheetPrinter::rowPoints(8);
    int paginas = 1;
    double alto = titulo;
    for (int r = 1; r <= datos; ++r) {
        const double h = SheetPrinter::rowPoints(ModExportarExcel::TamanoFuenteGrilla);
        if (alto > titulo && alto + h > lugar.height() / escala) {
            ++paginas;
            alto = titulo;
        }
        alto += h;
    }
    return paginas;
}

// Whether the PDF's pages are wider than high.
bool apaisado(const QString& archivo)
{
    const auto m = QRegularExpression(u"^Page size:\\s+([\\d.]+) x ([\\d.]+)"_s,
                                      QRegularExpression::MultilineOption)
                       .match(ejecutar(QStringLiteral(RP_PDFINFO), {archivo}));
    return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
}

} // namespace

// The print preview's pages: the PDF the same painting code writes, read by
// poppler's tools; a page painted on an image; the real preview window.
class TstVistaPrevia : public QObject
{
    Q_OBJECT

    QString m_carpeta;

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"vista_previa"_s);
        qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(m_carpeta + u"/exportados"_s));
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));
        DesktopOpener::setInstance(std::make_unique<soporte::EscritorioDePrueba>());
        QVERIFY2(!QStringLiteral(RP_PDFINFO).isEmpty(), "pdfinfo (poppler-utils) is needed");
    }

    void init()
    {
        Componentes::ReiniciarParaPruebas();
        Componentes::General().setMensajero([](const QString&) {});
        PrintPreview::setPresenter({});
        ModExportarExcel::setEncabezadoImpresion({}, {});
    }

    void paginasDelPdf_data()
    {
        QTest::addColumn<int>("datos");
        QTest::newRow("solo titulos") << 0;
        QTest::newRow("una pagina hacia abajo") << 20;
        QTest::newRow("varias hacia abajo") << 200;
    }
    void paginasDelPdf()
    {
        QFETCH(int, datos);
        GridModel grilla;
        grillaLarga(grilla, datos);
        ModExportarExcel::setEncabezadoImpresion(u"Reporte de prueba"_s,
                                                 u"Fecha: 01/03/2026 a 31/03/2026"_s);
        const QString pdf = m_carpeta + u"/hoja.pdf"_s;
        ModExportarExcel::GuardarPDF(grilla, pdf);
        const int esperadas = paginasEsperadas(datos);
        QCOMPARE(::paginasDelPdf(pdf), esperadas);
        // Too wide for portrait: landscape, all columns on one page wide.
        QVERIFY(apaisado(pdf));

        // Every page has the header, the title row and its number; every
        // row's description is on some page; the last row on the last page.
        QString descripciones;
        for (int p = 1; p <= esperadas; ++p) {
            const QString texto = textoDePagina(pdf, p);
            QVERIFY2(texto.contains(u"Reporte de prueba"_s), qPrintable(texto));
            QVERIFY(texto.contains(u"Fecha: 01/03/2026 a 31/03/2026"_s));
            QVERIFY(texto.contains(u"Nro OP"_s));
            QVERIFY(texto.contains(u"Página %1 de %2"_s.arg(p).arg(esperadas)));
            descripciones += texto;
        }
        if (datos == 0)
            return;
        for (int r = 1; r <= datos; ++r)
            QVERIFY2(descripciones.contains(QRegularExpression(u"\\brenglon%1\\b"_s.arg(r))),
                     qPrintable(u"renglon%1"_s.arg(r)));
        QVERIFY(textoDePagina(pdf, 1).contains(u"0001-1"_s));
        QVERIFY(textoDePagina(pdf, esperadas).contains(u"renglon%1"_s.arg(datos)));
    }

    // The totals per material print their table at the page's width and
    // their chart on a last page of its own: twelve materials, the last two
    // in "Otros", whose figures beside the chart stay off the paper.
    void graficoDeLosTotales()
    {
        GridModel totales;
        const QStringList titulos = {QString(),    u"Insumo"_s,      u"Descripción"_s,
                                     u"PE"_s,      u"Kg"_s,          u"Líneas"_s,
                                     u"Órdenes"_s, u"Incompletas"_s, u"Kg incompletos"_s};
        const int materiales = 12, filas = 90; // a long note list pushes a second page
        totales.setCols(int(titulos.size()));
        totales.setRows(filas);
        for (int c = 0; c < titulos.size(); ++c) {
            totales.setText(0, c, titulos[c]);
            totales.setColWidth(c, c == 0 ? 10 : 1500);
        }
        for (int r = 1; r <= materiales; ++r) {
            totales.setText(r, 1, u"MAT-%1"_s.arg(r, 2, 10, QChar(u'0')));
            totales.setText(r, 2, u"Material %1"_s.arg(r));
            totales.setText(r, 4, QString::number(1000 - 50 * r));
            for (int c : {5, 6})
                totales.setText(r, c, u"1"_s);
            totales.setText(r, 7, u"0"_s);
            totales.setText(r, 8, u"0"_s);
        }
        totales.setText(materiales + 1, 1, u"Total"_s);
        totales.setFontBold(materiales + 1, 1, true);
        for (int r = materiales + 2; r < filas; ++r)
            totales.setText(r, 2, u"nota %1"_s.arg(r));
        ModExportarExcel::setEncabezadoImpresion(u"Totales"_s, QString());
        const QString pdf = m_carpeta + u"/totales.pdf"_s;
        ModExportarExcel::GuardarPDF(totales, pdf);
        const int paginas = ::paginasDelPdf(pdf);
        QVERIFY(paginas > 2);
        const QString primera = textoDePagina(pdf, 1), ultima = textoDePagina(pdf, paginas);
        QVERIFY(primera.contains(u"Descripción"_s) && !primera.contains(u"Kilos por insumo"_s));
        QVERIFY2(ultima.contains(u"Kilos por insumo"_s), qPrintable(ultima));
        QVERIFY(ultima.contains(u"Otros (2 insumos)"_s) &&
                ultima.contains(u"estimación completa"_s));
        // Only the legend entries some bar has; the chart's own figures are no cells.
        QVERIFY(!ultima.contains(u"con datos faltantes"_s) && !ultima.contains(u"Barra del"_s));
        QCOMPARE(primera.count(u"MAT-01"_s), 1);
        QCOMPARE(ultima.count(u"MAT-01"_s), 1);
    }

    // The pages of the exported sheet, each painted as the PDF asks for it,
    // reported one by one; cancelling leaves the earlier file as it was. The
    // same for "print to file" of a range of pages.
    void pdfPorPaginas_data()
    {
        QTest::addColumn<int>("cancelarEn"); // -1: never
        QTest::addColumn<int>("desde");      // 0: "Guardar PDF…"; else pages desde to desde + 3
        QTest::newRow("completo") << -1 << 0;
        QTest::newRow("cancelado al empezar") << 0 << 0;
        QTest::newRow("cancelado en la tercera") << 3 << 0;
        QTest::newRow("al archivo, completo") << -1 << 2;
        QTest::newRow("al archivo, cancelado en la tercera") << 3 << 2;
    }
    void pdfPorPaginas()
    {
        QFETCH(int, cancelarEn);
        QFETCH(int, desde);
        GridModel grilla;
        grillaLarga(grilla, 200);
        const int todas = paginasEsperadas(200);
        const int esperadas = desde ? 4 : todas;
        const QString pdf = m_carpeta + u"/paginas.pdf"_s;
        QVERIFY(soporte::escribirArchivo(pdf, "anterior"));
        QList<int> avisos;
        bool completo = false;
        PrintPreview::setPresenter([&](const Worksheet& hoja) {
            const SheetPrinter impresor(hoja);
            const auto avance = [&](int hechas, int total) {
                avisos << hechas;
                return total == esperadas && hechas != cancelarEn;
            };
            completo =
                desde ? impresor.printToPdf(pdf, impresor.pageLayout(), avance, desde, desde + 3)
                      : impresor.savePdf(pdf, avance);
        });
        ModExportarExcel::ExportarExcel(grilla, true, {}, {}, false);
        QCOMPARE(completo, cancelarEn < 0);
        QCOMPARE(avisos.size(), cancelarEn < 0 ? esperadas + 1 : cancelarEn + 1);
        QCOMPARE(avisos.last(), cancelarEn < 0 ? esperadas : cancelarEn);
        if (!completo) {
            QCOMPARE(soporte::leerArchivo(pdf), QByteArray("anterior"));
            return;
        }
        QCOMPARE(::paginasDelPdf(pdf), esperadas);
        const int primera = desde ? desde : 1, ultima = desde ? desde + 3 : todas;
        QVERIFY(textoDePagina(pdf, 1).contains(u"Página %1 de %2"_s.arg(primera).arg(todas)));
        QVERIFY(
            textoDePagina(pdf, esperadas).contains(u"Página %1 de %2"_s.arg(ultima).arg(todas)));
        if (!desde) {
            QVERIFY(textoDePagina(pdf, 1).contains(u"renglon1"_s));
            QVERIFY(textoDePagina(pdf, esperadas).contains(u"renglon200"_s));
        }
    }

    // A full disk stops the PDF at the page that cannot be written.
    void pdfDiscoLleno()
    {
#ifdef Q_OS_WIN
        QSKIP("un dispositivo que siempre está lleno (/dev/full) es de Linux: Windows no tiene uno");
#endif
        GridModel grilla;
        grillaLarga(grilla, 3000);
        int faltan = 0;
        QString error;
        try {
            ModExportarExcel::GuardarPDF(grilla, u"/dev/full"_s,
                                         [&](int hechas, int todas) { faltan = todas - hechas; });
        } catch (const RuntimeError& e) {
            error = e.description();
        }
        QVERIFY2(error.contains(u"no queda espacio en el disco"_s) && faltan > 0,
                 qPrintable(u"%1 (faltaban %2 páginas)"_s.arg(error).arg(faltan)));
    }

    // One line per cell: every line of a text; a text too wide ends in "…", a number is "#".
    void textoDeUnaCelda_data()
    {
        QTest::addColumn<int>("columna");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("visto"); // a pattern
        QTest::newRow("LF") << 3 << u"primera\nsegunda"_s << u"primera segunda"_s;
        QTest::newRow("U+2028") << 3 << u"primera\u2028segunda"_s << u"primera segunda"_s;
        QTest::newRow("10000 caracteres")
            << 3 << u"inicio"_s + QString(9994, u'x') << u"iniciox+…"_s;
        QTest::newRow("numero ancho") << 6 << u"12345678901"_s << u"###"_s;
    }
    void textoDeUnaCelda()
    {
        QFETCH(int, columna);
        QFETCH(QString, texto);
        QFETCH(QString, visto);
        GridModel grilla;
        grillaLarga(grilla, 1);
        grilla.setColWidth(6, 400);
        grilla.setText(1, columna, texto);
        ModExportarExcel::GuardarPDF(grilla, m_carpeta + u"/celda.pdf"_s);
        const QString pagina = textoDePagina(m_carpeta + u"/celda.pdf"_s, 1);
        QVERIFY2(pagina.contains(QRegularExpression(visto)), qPrintable(pagina));
    }

    // A grid longer than one sheet goes on in further sheets: the PDF holds
    // them all, each in its own orientation and with its own page numbers.
    void pdfDeVariasHojas()
    {
        Workbook libro(2);
        const int filas[] = {150, 10};
        const int columnas[] = {2, 12}; // portrait, then landscape
        for (int h = 0; h < 2; ++h) {
            Worksheet& hoja = libro.sheet(h);
            for (int c = 1; c <= columnas[h]; ++c)
                hoja.setColumnWidth(c, 14);
            for (int r = 1; r <= filas[h]; ++r)
                hoja.cells(r, 1).setValue(u"hoja%1-renglon%2"_s.arg(h + 1).arg(r));
            Worksheet::PrintSetup impresion;
            impresion.fitToWidth = true;
            impresion.titleRows = 1;
            impresion.title = u"Hoja %1"_s.arg(h + 1);
            hoja.setPrintSetup(impresion);
        }
        const QString pdf = m_carpeta + u"/hojas.pdf"_s;
        int ultimo = 0;
        QVERIFY(SheetPrinter::savePdf({&libro.sheet(0), &libro.sheet(1)}, pdf,
                                      [&](int hechas, int) { return (ultimo = hechas) >= 0; }));
        const int paginas = ::paginasDelPdf(pdf);
        QCOMPARE(ultimo, paginas);
        QVERIFY(paginas >= 3);
        const QString primera = textoDePagina(pdf, 1), ultima = textoDePagina(pdf, paginas);
        QVERIFY(primera.contains(u"hoja1-renglon2"_s) && primera.contains(u"Página 1 de"_s));
        QVERIFY2(ultima.contains(u"hoja2-renglon10"_s) && ultima.contains(u"Página 1 de 1"_s),
                 qPrintable(ultima));
        const QString tamanos = ejecutar(QStringLiteral(RP_PDFINFO),
                                         {u"-f"_s, u"1"_s, u"-l"_s, QString::number(paginas), pdf});
        const auto tamano = [&](int p) {
            const auto m = QRegularExpression(u"^Page +%1 size:\\s+([\\d.]+) x ([\\d.]+)"_s.arg(p),
                                              QRegularExpression::MultilineOption)
                               .match(tamanos);
            return m.captured(1).toDouble() - m.captured(2).toDouble();
        };
        QVERIFY2(tamano(1) < 0 && tamano(paginas) > 0, qPrintable(tamanos));
    }

    void pdfFalla()
    {
        GridModel grilla;
        grillaLarga(grilla, 3);
        const QString pdf = m_carpeta + u"/no/existe/hoja.pdf"_s;
        try {
            ModExportarExcel::GuardarPDF(grilla, pdf);
            QFAIL("no falló");
        } catch (const RuntimeError& error) {
            // The path as the system writes it (backslashes on Windows).
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(u"/no/existe"_s)),
                     qPrintable(error.description()));
        }
        QVERIFY(!QFileInfo::exists(pdf));
    }

    // The first page painted at 96 dpi: grey header with blue text and
    // borders, green order line, white supply line.
    void pintura_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QColor>("fondo");
        QTest::addColumn<QColor>("tinta");
        QTest::newRow("encabezado") << 1 << QColor(0xC0, 0xC0, 0xC0) << QColor(0, 0, 255);
        QTest::newRow("linea de orden") << 2 << QColor(0, 255, 0) << QColor(0, 0, 0);
        QTest::newRow("insumo") << 3 << QColor(255, 255, 255) << QColor(0, 0, 0);
    }
    void pintura()
    {
        QFETCH(int, fila);
        QFETCH(QColor, fondo);
        QFETCH(QColor, tinta);
        GridModel grilla;
        grillaLarga(grilla, 3);
        grilla.setText(2, 1, u"INSUMO-LARGO"_s);
        const Worksheet* hoja = nullptr;
        QImage imagen;
        PrintPreview::setPresenter([&](const Worksheet& h) {
            hoja = &h;
            SheetPrinter impresora(h);
            // Wide enough for the sheet at its own size.
            const auto paginas = impresora.pages({900, 700});
            imagen = QImage(900 * 96 / 72, 700 * 96 / 72, QImage::Format_RGB32);
            imagen.setDotsPerMeterX(qRound(96 / 0.0254));
            imagen.setDotsPerMeterY(qRound(96 / 0.0254));
            imagen.fill(Qt::white);
            QPainter pintor(&imagen);
            impresora.paintPage(pintor, paginas.first());
        });
        ModExportarExcel::ExportarExcel(grilla, true, {}, {}, false);
        QVERIFY(hoja);
        QVERIFY(!imagen.isNull());

        // Column A (1500 twips) is 122 pixels wide; the header row is 15
        // pixels high and data rows 16.
        const int arriba = fila == 1 ? 0 : 15 + (fila - 2) * 16;
        const int alto = fila == 1 ? 15 : 16;
        const QRect celda(0, arriba, 122, alto);
        QCOMPARE(imagen.pixelColor(celda.right() - 3, celda.center().y()), fondo);
        // Some of the cell's text is painted in its ink.
        bool hayTinta = false;
        for (int x = celda.left() + 2; x < celda.right() && !hayTinta; ++x)
            for (int y = celda.top() + 2; y < celda.bottom() - 1 && !hayTinta; ++y) {
                const QColor c = imagen.pixelColor(x, y);
                hayTinta = tinta == QColor(0, 0, 255)
                               ? c.blue() > 150 && c.red() < 100 && c.green() < 100
                               : c.red() < 80 && c.green() < 80 && c.blue() < 80;
            }
        QVERIFY(hayTinta);
        // Only the header has borders.
        const QColor borde = imagen.pixelColor(celda.right() + 1, celda.center().y());
        if (fila == 1)
            QVERIFY2(borde.lightness() < 80, qPrintable(borde.name()));
        else
            QCOMPARE(borde, fondo);
    }

    // From the real window, as the operator does it: "Guardar PDF…", a file
    // name, the pages (painted on a worker, counted in the export's progress
    // window, closed at the end), the file. "Cancelar" in the middle of the
    // pages keeps the earlier file of that name and leaves nothing beside it.
    void pdfDesdeLaVentana_data()
    {
        QTest::addColumn<int>("filas");
        QTest::addColumn<bool>("cancelar");
        QTest::newRow("completo") << 100 << false;
        QTest::newRow("cancelado") << 20000 << true;
    }
    void pdfDesdeLaVentana()
    {
        QFETCH(int, filas);
        QFETCH(bool, cancelar);
        GridModel grilla;
        grillaLarga(grilla, filas);
        const QString carpeta =
            soporte::carpetaNueva(u"vista_previa/ventana/"_s + QTest::currentDataTag());
        const QString pdf = carpeta + u"/desde_la_ventana.pdf"_s;
        const QByteArray anterior = "el PDF anterior";
        QVERIFY(soporte::escribirArchivo(pdf, anterior));
        bool pedido = false, cancelado = false;
        QString propuesto;
        QStringList avisos;
        QTimer operador;
        QObject::connect(&operador, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* archivo = qobject_cast<QFileDialog*>(modal)) {
                // What it showed first: once the name is typed it shows that.
                if (propuesto.isEmpty())
                    propuesto = archivo->selectedFiles().value(0);
                // Typed, as the operator would: the name box wins over a selection.
                archivo->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(pdf);
                // Queued: replacing the earlier file asks first.
                QTimer::singleShot(0, archivo,
                                   [archivo] { static_cast<QDialog*>(archivo)->accept(); });
            } else if (auto* aviso = qobject_cast<QMessageBox*>(modal)) {
                if (QAbstractButton* si = aviso->button(QMessageBox::Yes)) {
                    si->click();
                    return;
                }
                avisos << aviso->text();
                aviso->accept();
            } else if (modal && modal->objectName() == u"CompProgreso"_s && cancelar &&
                       !cancelado && pedido) {
                cancelado = true;
                QTest::keyClick(modal, Qt::Key_Escape);
            } else if (modal && modal->objectName() == u"VistaPrevia"_s) {
                if (!pedido) {
                    pedido = true;
                    // Queued: the click's own dialogs need this timer free.
                    QTimer::singleShot(0, modal->findChild<QPushButton*>(u"GuardarPDF"_s),
                                       &QPushButton::click);
                } else {
                    qobject_cast<QDialog*>(modal)->reject();
                }
            }
        });
        operador.start(20);
        ModExportarExcel::ExportarExcel(grilla, true, {}, {}, false);
        operador.stop();
        // Proposed beside the workbook just saved, with its name.
        const QStringList& libros =
            static_cast<soporte::EscritorioDePrueba&>(DesktopOpener::instance()).abiertos;
        QVERIFY(!libros.isEmpty());
        const QFileInfo libro(libros.last());
        QCOMPARE(QFileInfo(propuesto).absoluteFilePath(),
                 QFileInfo(libro.dir().filePath(libro.completeBaseName() + u".pdf"_s))
                     .absoluteFilePath());
        QVERIFY(!Componentes::Progreso().Visible());
        QCOMPARE(QDir(carpeta).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"desde_la_ventana.pdf"_s});
        if (!cancelar) {
            QCOMPARE(avisos, QStringList());
            QCOMPARE(::paginasDelPdf(pdf), paginasEsperadas(filas));
            return;
        }
        QVERIFY(cancelado);
        QCOMPARE(avisos, QStringList{u"Se canceló el PDF: no se guardó ningún archivo."_s});
        QCOMPARE(soporte::leerArchivo(pdf), anterior);
    }

    // The real preview window, shown modally, shows the PDF's pages.
    void ventanaDeVistaPrevia()
    {
        GridModel grilla;
        grillaLarga(grilla, 100);
        int paginas = -1;
        bool enLaPenultima = false, enLaSegunda = false;
        QString titulo, abierta, zoom;
        // The page's width against the room it has, opening and on a whole-page fit.
        int sobraAlAbrir = -1, sobraEntera = -1;
        // Looks for the window until it is up (the progress window comes first).
        QTimer buscador;
        QObject::connect(&buscador, &QTimer::timeout, [&] {
            auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialogo || dialogo->objectName() != u"VistaPrevia"_s)
                return;
            titulo = dialogo->windowTitle();
            auto* vista = dialogo->findChild<QScrollArea*>();
            QWidget* pagina = dialogo->findChild<QWidget*>(u"Pagina"_s);
            auto* zooms = dialogo->findChild<QComboBox*>(u"Zoom"_s);
            zoom = zooms->currentText();
            sobraAlAbrir = vista->viewport()->width() - pagina->width();
            zooms->setCurrentIndex(zooms->findText(u"Página entera"_s));
            sobraEntera = vista->viewport()->height() - pagina->height();
            QSpinBox* numero = dialogo->findChild<QSpinBox*>(u"NumeroPagina"_s);
            paginas = numero->maximum();
            // Pages by keyboard: to the last and one back.
            dialogo->activateWindow();
            if (!QTest::qWaitForWindowActive(dialogo))
                return;
            QTest::keyClick(dialogo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(dialogo, Qt::Key_PageUp);
            enLaPenultima = numero->value() == paginas - 1;
            // A page typed in its box and Enter: that page, and no other
            // window (a print dialog opened by Enter is noted and closed).
            numero->setFocus();
            numero->selectAll();
            QTimer::singleShot(300, [&] {
                if (QWidget* otro = QApplication::activeModalWidget(); otro && otro != dialogo) {
                    abierta = otro->metaObject()->className();
                    otro->close();
                }
            });
            QTest::keyClicks(numero, u"2"_s);
            QTest::keyClick(numero, Qt::Key_Return);
            QTest::qWait(400);
            enLaSegunda = numero->value() == 2;
            dialogo->reject();
        });
        buscador.start(20);
        ModExportarExcel::ExportarExcel(grilla, true, {}, {}, false);
        buscador.stop();
        QVERIFY2(titulo.contains(u"Hoja1"_s), qPrintable(titulo));
        QCOMPARE(zoom, u"Ancho de página"_s);
        QVERIFY2(sobraAlAbrir >= 0, qPrintable(QString::number(sobraAlAbrir)));
        QVERIFY2(sobraEntera >= 0, qPrintable(QString::number(sobraEntera)));
        QCOMPARE(paginas, paginasEsperadas(100));
        QVERIFY(enLaPenultima);
        QVERIFY(enLaSegunda);
        QCOMPARE(abierta, QString());
        QVERIFY(!ModExportarExcel::ExcelRetenido());
    }
};

QTEST_MAIN(TstVistaPrevia)
#include "tst_vista_previa.moc"
