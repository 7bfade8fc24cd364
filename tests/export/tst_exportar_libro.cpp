#include "Grillas.h"
#include "LectorLibro.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "export/LlenadoHoja.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/spreadsheet/XlsxFile.h"

#include <algorithm>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

// The spreadsheet route as the report window's button takes it, read back
// from the saved .xlsx by openpyxl.
class TstExportarLibro : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    soporte::EscritorioDePrueba* m_escritorio = nullptr;
    QStringList m_mensajes;
    QStringList m_errores;
    int m_vistas = 0;
    QJsonObject m_reporte; // the report-shaped grid, exported once

    QString carpetaExportacion() const { return m_carpeta + u"/exportados"_s; }

    QStringList libros() const
    {
        QStringList nombres = QDir(carpetaExportacion()).entryList({u"*.xlsx"_s}, QDir::Files);
        for (QString& n : nombres)
            n = carpetaExportacion() + u'/' + n;
        return nombres;
    }

    // Exports as the button does; the workbook it saved, read back.
    QJsonObject exportar(GridModel& grilla, bool vistaPrevia = true)
    {
        const QStringList antes = libros();
        ModExportarExcel::ExportarExcel(grilla, vistaPrevia, u""_s, u""_s, false);
        QStringList nuevos = libros();
        for (const QString& a : antes)
            nuevos.removeAll(a);
        if (nuevos.size() != 1)
            return {};
        return lectorLibro::leer(nuevos.first());
    }

    static QString columna(int k) { return QString(QChar(u'A' + k - 1)); }
    // Rows enough for the saving and its packing to take a while.
    static constexpr int FilasGrandes = 60000;

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"exportar_libro"_s);
        qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(carpetaExportacion()));
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));

        init();
        GridModel grilla;
        grillas::reporte(grilla, 14);
        grillas::lineaDeOrden(grilla, 1,
                              {u""_s, u"0001-00000123"_s, u"000100000010"_s, u"Perfil C"_s,
                               u"12,50"_s, u"1200"_s, u"2500"_s, u"2,5"_s});
        const QStringList valores = {u"12,50"_s,        u"1.234,56"_s, u"-3,5"_s,
                                     u"0,00"_s,         u""_s,         u"  42  "_s,
                                     u"000100000010"_s, u"=1+1"_s,     u"12345678901234567890123"_s,
                                     u"<b>&amp;"_s,     u"7.85"_s,     u"-7"_s,
                                     u"Chapa 2,5 mm"_s};
        for (int i = 0; i < valores.size(); ++i)
            grilla.setText(2 + i, 1, valores[i]);
        grilla.setFontBold(2, 2, true);
        grilla.setFontSize(3, 2, 12);
        grilla.setBackColor(4, 2, 0);
        grilla.setBackColor(5, 2, 16711680);
        grilla.setBackColor(6, 2, 255);
        m_reporte = exportar(grilla);
        QVERIFY(!m_reporte.isEmpty());
        // The export leaves the current cell on the last cell it formatted.
        QCOMPARE(grilla.row(), 14);
        QCOMPARE(grilla.col(), 7);
    }

    void init()
    {
        m_escritorio = grillas::reiniciarExportacion();
        m_mensajes.clear();
        m_errores.clear();
        m_vistas = 0;
        Componentes::General().setMensajero([this](const QString& m) { m_mensajes << m; });
        Componentes::General().setPresentador([this](const RuntimeError& e, const QString&) {
            m_errores << e.description();
            return 3;
        });
        PrintPreview::setPresenter([this](const Worksheet&) { ++m_vistas; });
    }

    void cleanupTestCase() { PrintPreview::setPresenter({}); }

    void encabezado_data()
    {
        QTest::addColumn<int>("k");
        for (int k = 1; k <= 7; ++k)
            QTest::newRow(qPrintable(grillas::Titulos[k])) << k;
    }
    void encabezado()
    {
        QFETCH(int, k);
        const QJsonObject celda = lectorLibro::celda(m_reporte, columna(k) + u'1');
        QCOMPARE(celda[u"valor"_s].toString(), grillas::Titulos[k]);
        QCOMPARE(celda[u"relleno"_s].toString(), u"FFC0C0C0"_s);
        QCOMPARE(celda[u"colorFuente"_s].toString(), u"FF0000FF"_s);
        QCOMPARE(celda[u"tamano"_s].toDouble(), 8.0);
        QCOMPARE(celda[u"bordes"_s].toArray(),
                 (QJsonArray{u"thin"_s, u"thin"_s, u"thin"_s, u"thin"_s}));
        // Widths in characters are twips / 90; the file holds them with the
        // application's 5 pixels of padding (of 7 to a character).
        const double ancho = m_reporte[u"anchos"_s].toObject()[columna(k)].toDouble();
        QVERIFY2(std::abs(ancho - 5.0 / 7 - grillas::Anchos[k] / 90.0) < 0.1,
                 qPrintable(QString::number(ancho)));
    }

    void columnasExportadas()
    {
        QCOMPARE(m_reporte[u"columnas"_s].toInt(), 7);
        QCOMPARE(m_reporte[u"filas"_s].toInt(), 15);
        QCOMPARE(m_reporte[u"hojas"_s].toArray().size(), 1);
    }

    void valores_data()
    {
        QTest::addColumn<QString>("celda");
        QTest::addColumn<QString>("tipo");
        QTest::addColumn<QVariant>("valor");
        QTest::newRow("12,50 es 12.50") << u"A3"_s << u"n"_s << QVariant(12.5);
        QTest::newRow("1.234,56 es 1.234.56") << u"A4"_s << u"s"_s << QVariant(u"1.234.56"_s);
        // Written as the grid writes numbers under a comma locale, a zero or a
        // negative amount is a number too; elsewhere it is no number the grid made.
        const bool coma = QLocale::system().decimalPoint() == u",";
        QTest::newRow("-3,5") << u"A5"_s << (coma ? u"n"_s : u"s"_s)
                              << (coma ? QVariant(-3.5) : QVariant(u"-3,5"_s));
        QTest::newRow("0,00") << u"A6"_s << (coma ? u"n"_s : u"s"_s)
                              << (coma ? QVariant(0.0) : QVariant(u"0,00"_s));
        QTest::newRow("vacia") << u"A7"_s << u"n"_s << QVariant::fromValue(nullptr);
        QTest::newRow("espacios alrededor") << u"A8"_s << u"n"_s << QVariant(42.0);
        QTest::newRow("codigo con ceros") << u"A9"_s << u"s"_s << QVariant(u"000100000010"_s);
        QTest::newRow("no es formula") << u"A10"_s << u"s"_s << QVariant(u"=1+1"_s);
        QTest::newRow("codigo larguisimo")
            << u"A11"_s << u"s"_s << QVariant(u"12345678901234567890123"_s);
        QTest::newRow("marcas") << u"A12"_s << u"s"_s << QVariant(u"<b>&amp;"_s);
        QTest::newRow("punto decimal") << u"A13"_s << u"n"_s << QVariant(7.85);
        QTest::newRow("negativo") << u"A14"_s << u"n"_s << QVariant(-7.0);
        QTest::newRow("texto") << u"A15"_s << u"s"_s << QVariant(u"Chapa 2,5 mm"_s);
        QTest::newRow("orden") << u"A2"_s << u"s"_s << QVariant(u"0001-00000123"_s);
        QTest::newRow("insumo de la orden") << u"B2"_s << u"s"_s << QVariant(u"000100000010"_s);
        QTest::newRow("cantidad de la orden") << u"D2"_s << u"n"_s << QVariant(12.5);
        QTest::newRow("kg de la orden") << u"F2"_s << u"n"_s << QVariant(2500.0);
    }
    void valores()
    {
        QFETCH(QString, celda);
        QFETCH(QString, tipo);
        QFETCH(QVariant, valor);
        const QJsonObject c = lectorLibro::celda(m_reporte, celda);
        QCOMPARE(c[u"tipo"_s].toString(), tipo);
        QCOMPARE(c[u"valor"_s].toVariant(), valor);
    }

    // What a grid text goes into the sheet as, on either side of the
    // shortcut taken for the grid's own decimals.
    void valorDeCelda_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("conPunto");
        QTest::addColumn<QString>("conComa");
        QTest::newRow("decimal") << u"12,50"_s << u"12.50"_s << u"12.50"_s;
        QTest::newRow("espacios") << u" 7,5 "_s << u"7.5"_s << u"7.5"_s;
        QTest::newRow("negativo") << u"-3,5"_s << u"-3,5"_s << u"-3.5"_s;
        QTest::newRow("cero") << u"0,00"_s << u"0,00"_s << u"0.00"_s;
        QTest::newRow("ceros delante") << u"00,50"_s << u"00.50"_s << u"00.50"_s;
        QTest::newRow("diminuto") << u"0,00001"_s << u"0.00001"_s << u"0.00001"_s;
        QTest::newRow("14 cifras")
            << u"12345678901234,5"_s << u"12345678901234.5"_s << u"12345678901234.5"_s;
        QTest::newRow("15 cifras")
            << u"123456789012345,5"_s << u"123456789012345.5"_s << u"123456789012345.5"_s;
        QTest::newRow("15 cifras, desborda")
            << u"999999999999999,5"_s << u"999999999999999,5"_s << u"999999999999999.5"_s;
        QTest::newRow("16 cifras")
            << u"1234567890123456,5"_s << u"1234567890123456,5"_s << u"1234567890123456.5"_s;
        QTest::newRow("miles") << u"1.234,56"_s << u"1.234.56"_s << u"1.234.56"_s;
        QTest::newRow("dos comas") << u"1,2,3"_s << u"1.2.3"_s << u"1.2.3"_s;
        QTest::newRow("sin entero") << u",5"_s << u".5"_s << u".5"_s;
        QTest::newRow("texto") << u"Chapa 2,5 mm"_s << u"Chapa 2,5 mm"_s << u"Chapa 2,5 mm"_s;
        QTest::newRow("sin coma") << u"  -7.25 "_s << u"-7.25"_s << u"-7.25"_s;
    }
    void valorDeCelda()
    {
        QFETCH(QString, texto);
        QFETCH(QString, conPunto);
        QFETCH(QString, conComa);
        const bool coma = QLocale::system().decimalPoint() == u",";
        QCOMPARE(LlenadoHoja::valorCelda(texto), coma ? conComa : conPunto);
    }

    void formatos_data()
    {
        QTest::addColumn<QString>("celda");
        QTest::addColumn<QString>("relleno");
        QTest::addColumn<double>("tamano");
        QTest::addColumn<bool>("negrita");
        QTest::newRow("orden verde") << u"A2"_s << u"FF00FF00"_s << 8.25 << false;
        QTest::newRow("toda la orden verde") << u"G2"_s << u"FF00FF00"_s << 8.25 << false;
        QTest::newRow("sin color es blanco") << u"A3"_s << u"FFFFFFFF"_s << 8.25 << false;
        QTest::newRow("negrita") << u"B3"_s << u"FFFFFFFF"_s << 8.25 << true;
        QTest::newRow("tamaño propio") << u"B4"_s << u"FFFFFFFF"_s << 12.0 << false;
        QTest::newRow("color 0 es blanco") << u"B5"_s << u"FFFFFFFF"_s << 8.25 << false;
        QTest::newRow("azul de la suite") << u"B6"_s << u"FF0000FF"_s << 8.25 << false;
        QTest::newRow("rojo de la suite") << u"B7"_s << u"FFFF0000"_s << 8.25 << false;
    }
    void formatos()
    {
        QFETCH(QString, celda);
        const QJsonObject c = lectorLibro::celda(m_reporte, celda);
        QTEST(c[u"relleno"_s].toString(), "relleno");
        QTEST(c[u"tamano"_s].toDouble(), "tamano");
        QTEST(c[u"negrita"_s].toBool(), "negrita");
        QCOMPARE(c[u"fuente"_s].toString(), u"Tahoma"_s);
        QVERIFY(c[u"colorFuente"_s].isNull());
        QCOMPARE(c[u"bordes"_s].toArray(),
                 (QJsonArray{QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue()}));
    }

    // 50 twips is a hidden column, 51 is not.
    void limiteDeColumnaOculta()
    {
        GridModel grilla;
        grilla.setCols(5);
        grilla.setRows(2);
        const QList<int> anchos = {50, 51, 10, 1500, 0};
        for (int c = 0; c < 5; ++c) {
            grilla.setColWidth(c, anchos[c]);
            grilla.setText(0, c, u"T%1"_s.arg(c));
            grilla.setText(1, c, u"v%1"_s.arg(c));
        }
        const QJsonObject libro = exportar(grilla);
        QCOMPARE(libro[u"columnas"_s].toInt(), 2);
        QCOMPARE(lectorLibro::celda(libro, u"A1"_s)[u"valor"_s].toString(), u"T1"_s);
        QCOMPARE(lectorLibro::celda(libro, u"B1"_s)[u"valor"_s].toString(), u"T3"_s);
        QCOMPARE(lectorLibro::celda(libro, u"A2"_s)[u"valor"_s].toString(), u"v1"_s);
        QCOMPARE(lectorLibro::celda(libro, u"B2"_s)[u"valor"_s].toString(), u"v3"_s);
    }

    void soloLaFilaDeTitulos()
    {
        GridModel grilla;
        grillas::reporte(grilla, 0);
        const QJsonObject libro = exportar(grilla);
        QCOMPARE(libro[u"filas"_s].toInt(), 1);
        QCOMPARE(lectorLibro::celda(libro, u"G1"_s)[u"valor"_s].toString(), u"Espesor"_s);
    }

    // Every column exported: each sheet cell takes value and format from the
    // same grid cell, the last one included.
    void formatoDeLaMismaCelda()
    {
        GridModel grilla;
        grilla.setCols(3);
        grilla.setRows(2);
        const QList<int> colores = {255, 65280, 16711680};
        for (int c = 0; c < 3; ++c) {
            grilla.setColWidth(c, 900);
            grilla.setText(1, c, u"c%1"_s.arg(c));
            grilla.setBackColor(1, c, colores[c]);
            grilla.setFontBold(1, c, c == 1);
        }
        const QJsonObject libro = exportar(grilla);
        const QStringList rellenos = {u"FFFF0000"_s, u"FF00FF00"_s, u"FF0000FF"_s};
        for (int k = 1; k <= 3; ++k) {
            const QJsonObject c = lectorLibro::celda(libro, columna(k) + u'2');
            QCOMPARE(c[u"valor"_s].toString(), u"c%1"_s.arg(k - 1));
            QCOMPARE(c[u"relleno"_s].toString(), rellenos[k - 1]);
            QCOMPARE(c[u"negrita"_s].toBool(), k == 2);
            QCOMPARE(c[u"fuente"_s].toString(), u"Tahoma"_s);
        }
    }

    void escritorioYVistaPrevia_data()
    {
        QTest::addColumn<bool>("hayPrograma");
        QTest::addColumn<bool>("vistaPrevia");
        QTest::newRow("con programa y vista previa") << true << true;
        QTest::newRow("con programa sin vista previa") << true << false;
        QTest::newRow("sin programa") << false << true;
    }
    void escritorioYVistaPrevia()
    {
        QFETCH(bool, hayPrograma);
        QFETCH(bool, vistaPrevia);
        m_escritorio->hayPrograma = hayPrograma;
        GridModel grilla;
        grillas::reporte(grilla, 1);
        const QStringList antes = libros();
        ModExportarExcel::ExportarExcel(grilla, vistaPrevia, u""_s, u""_s, false);
        const QStringList despues = libros();
        QCOMPARE(despues.size(), antes.size() + 1);
        // An earlier export is never replaced.
        for (const QString& a : antes)
            QVERIFY(despues.contains(a));
        QCOMPARE(m_escritorio->abiertos.size(), 1);
        const QString guardado = m_escritorio->abiertos.first();
        QVERIFY(!antes.contains(guardado));
        QVERIFY(QFileInfo(guardado).isFile());
        QCOMPARE(m_vistas, vistaPrevia ? 1 : 0);
        if (hayPrograma)
            QCOMPARE(m_mensajes, QStringList());
        else {
            QCOMPARE(m_mensajes.size(), 1);
            QVERIFY2(m_mensajes.first().contains(QDir::toNativeSeparators(guardado)),
                     qPrintable(m_mensajes.first()));
        }
        QCOMPARE(m_errores, QStringList());
        QVERIFY(!Componentes::Progreso().Visible());
        QVERIFY(!ModExportarExcel::ExcelRetenido());
        // No temporary file is left beside the workbooks.
        QCOMPARE(QDir(carpetaExportacion()).entryList(QDir::Files | QDir::Hidden).size(),
                 despues.size());
    }

    // The batch report's workbook is the button's workbook.
    void guardarLibroEsElMismo()
    {
        GridModel grilla;
        grillas::reporte(grilla, 3);
        grillas::lineaDeOrden(grilla, 1, {u""_s, u"0001-7"_s, u"A"_s, u"B"_s, u"1,5"_s});
        grilla.setText(2, 3, u"Insumo"_s);
        grilla.setText(3, 6, u"2,75"_s);
        grilla.setRow(1);
        grilla.setCol(1);
        const QString archivo = m_carpeta + u"/lote.xlsx"_s;
        QVERIFY(soporte::escribirArchivo(archivo, "un archivo anterior que se reemplaza"));
        ModExportarExcel::GuardarLibro(grilla, archivo);
        QCOMPARE(grilla.row(), 1);
        QCOMPARE(grilla.col(), 1);
        QCOMPARE(m_escritorio->abiertos, QStringList());
        const QJsonObject lote = lectorLibro::leer(archivo);
        QVERIFY(!lote.isEmpty());
        QCOMPARE(lote, exportar(grilla));
    }

    // The saved workbook prints as the preview does: one page wide, landscape
    // for the report grid (wider than a portrait page), the title row on every
    // page, the header with the title and filters, the page numbers below.
    void configuracionDePagina()
    {
        GridModel grilla;
        grillas::reporte(grilla, 3);
        ModExportarExcel::setEncabezadoImpresion(u"Reporte & prueba"_s, u"Estado: pendientes"_s);
        const QString archivo = m_carpeta + u"/pagina.xlsx"_s;
        ModExportarExcel::GuardarLibro(grilla, archivo);
        ModExportarExcel::setEncabezadoImpresion({}, {});
        const QJsonObject pagina = lectorLibro::leer(archivo).value(u"pagina"_s).toObject();
        QCOMPARE(pagina.value(u"orientacion"_s).toString(), u"landscape"_s);
        QCOMPARE(pagina.value(u"papel"_s).toInt(), 9); // A4
        QVERIFY(pagina.value(u"ajustarAPagina"_s).toBool());
        QCOMPARE(pagina.value(u"paginasAncho"_s).toInt(), 1);
        QCOMPARE(pagina.value(u"paginasAlto"_s).toInt(), 0);
        QCOMPARE(pagina.value(u"filasTitulo"_s).toString(), u"$1:$1"_s);
        QCOMPARE(pagina.value(u"encabezadoIzquierda"_s).toString(),
                 u"Reporte && prueba\nEstado: pendientes"_s);
        QCOMPARE(pagina.value(u"encabezadoDerecha"_s).toString(), u"&D"_s);
        QCOMPARE(pagina.value(u"pie"_s).toString(), u"Página &P de &N"_s);
    }

    // The workbook of a report-shaped grid is, part by part, byte for byte,
    // the reference file the export wrote before it streamed its rows (since
    // written again for one change alone: the sheet's declared dimension is
    // its cells', "A1:G61", no longer up to the last column, XFD).
    void igualAlLibroDeReferencia()
    {
        GridModel grilla;
        grillas::reporte(grilla, 60);
        for (int r = 1; r <= 60; ++r) {
            if (r % 6 == 1) {
                grillas::lineaDeOrden(grilla, r,
                                      {u""_s, u"0001-%1"_s.arg(r, 8, 10, QLatin1Char('0')),
                                       u"0001%1"_s.arg(r, 6, 10, QLatin1Char('0')),
                                       u"Perfil C %1"_s.arg(r), u"%1,50"_s.arg(r), u"1200"_s,
                                       u"2500"_s, u"2,5"_s});
                continue;
            }
            grilla.setText(r, 2, u"INS-%1"_s.arg(r));
            grilla.setText(r, 3, r % 5 ? u"Chapa laminada 2,5 mm"_s : u"=SUMA(A1)"_s);
            grilla.setText(r, 5, r % 4 ? u"7,85"_s : u"-3"_s);
            grilla.setText(r, 6, u"%1,%2"_s.arg(r * 37).arg(r % 100, 2, 10, QLatin1Char('0')));
            grilla.setFontBold(r, 3, r % 7 == 0);
            grilla.setFontSize(r, 6, r % 9 == 0 ? 12 : 0);
            grilla.setBackColor(r, 4, r % 11 == 0 ? 255 : 0);
        }
        const QString archivo = m_carpeta + u"/reporte.xlsx"_s;
        ModExportarExcel::GuardarLibro(grilla, archivo);
        const QJsonObject partes = lectorLibro::partes(archivo);
        QVERIFY(partes.contains(u"xl/worksheets/sheet1.xml"_s));
        QCOMPARE(partes,
                 lectorLibro::partes(QStringLiteral(RP_FUENTES_PRUEBA "/libro_reporte.xlsx")));
    }

    void guardarLibroFalla_data()
    {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("dice");
        QTest::newRow("carpeta inexistente") << u"/no/existe/libro.xlsx"_s << u"carpeta"_s;
        QTest::newRow("carpeta sin permiso") << u"/proc/libro.xlsx"_s << u"/proc"_s;
    }
    void guardarLibroFalla()
    {
        QFETCH(QString, archivo);
        QFETCH(QString, dice);
#ifdef Q_OS_WIN
        if (archivo.startsWith(u"/proc"_s))
            QSKIP("una carpeta sin permiso de escritura es de Linux: Windows decide por las listas "
                  "de acceso de la carpeta, que Wine no aplica");
#endif
        GridModel grilla;
        grillas::reporte(grilla, 1);
        try {
            ModExportarExcel::GuardarLibro(grilla, archivo);
            QFAIL("no falló");
        } catch (const RuntimeError& error) {
            QVERIFY2(error.description().contains(dice), qPrintable(error.description()));
        }
        QVERIFY(!QFileInfo::exists(archivo));
    }

    // Stopped at any point of the saving, the packing included (its child
    // process then killed), the file it would replace stays as it was and
    // nothing is left beside it.
    void cancelarAlGuardar_data()
    {
        QTest::addColumn<int>("pregunta"); // the stop's question answered "stop"; 0: none
        QTest::newRow("escribiendo filas") << 1;
        QTest::newRow("antes de empaquetar") << FilasGrandes / 1000 + 1;
        QTest::newRow("empaquetando") << FilasGrandes / 1000 + 2;
        QTest::newRow("sin cancelar") << 0;
    }
    void cancelarAlGuardar()
    {
        QFETCH(int, pregunta);
        static const auto libro = [] {
            auto l = std::make_unique<Workbook>(1);
            for (int r = 1; r <= FilasGrandes; ++r)
                for (int c = 1; c <= 4; ++c)
                    l->sheet(0).cells(r, c).setValue(u"celda %1-%2"_s.arg(r).arg(c));
            return l;
        }();
        const QString carpeta =
            soporte::carpetaNueva(u"exportar_libro/cancelar/"_s + QTest::currentDataTag());
        const QString archivo = carpeta + u"/libro.xlsx"_s;
        const QByteArray anterior = "el libro anterior";
        QVERIFY(soporte::escribirArchivo(archivo, anterior));

        int preguntas = 0;
        int error = 0;
        try {
            XlsxFile::save(*libro, archivo, {}, [&] { return ++preguntas == pregunta; });
        } catch (const RuntimeError& e) {
            error = e.number();
        }
        QCOMPARE(error, pregunta ? int(ErrorNumber::Cancelled) : 0);
        QCOMPARE(QDir(carpeta).entryList(QDir::Files | QDir::Hidden), QStringList{u"libro.xlsx"_s});
        if (pregunta) {
            QCOMPARE(soporte::leerArchivo(archivo), anterior);
            return;
        }
        // Asked while packing too: what makes the packing case above one.
        QVERIFY2(preguntas >= FilasGrandes / 1000 + 2, qPrintable(QString::number(preguntas)));
#ifdef Q_OS_WIN
        // Without a child to kill, Windows' packing asks at each piece it
        // writes into the package, not once when it has ended.
        QVERIFY2(preguntas > FilasGrandes / 1000 + 10, qPrintable(QString::number(preguntas)));
#endif
        // A whole package: every part of the workbook in it.
        QVERIFY(lectorLibro::partes(archivo).contains(u"xl/worksheets/sheet1.xml"_s));
    }

    // "Cancelar" in the export's progress window, wherever the work on the
    // worker is by then: the operator is told, no workbook is left, the
    // earlier ones stay as they were, and the grid is as it was.
    void exportacionCancelada_data()
    {
        // The Escape waits for the progress window to show this text: a
        // fixed wait would race a fast machine to the end of the export.
        QTest::addColumn<QString>("esperar");
        QTest::addColumn<bool>("pagina"); // the HTML page route
        QTest::newRow("al empezar") << QString() << false;
        QTest::newRow("ya en marcha") << u"filas escritas"_s << false;
        QTest::newRow("página, al empezar") << QString() << true;
    }
    void exportacionCancelada()
    {
        QFETCH(QString, esperar);
        QFETCH(bool, pagina);
        const QString programa = soporte::carpetaNueva(u"exportar_libro/programa"_s);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(programa));
        if (pagina) {
            ModExportarExcel::setValorParametroParaPruebas(
                [](const QString& clave) { return clave == u"USAEXCEL"_s ? u"NO"_s : QString(); });
            ModExportarExcel::setRespuestaRutaParaPruebas([](const QString&) { return true; });
        }
        GridModel grilla;
        grillas::reporte(grilla, FilasGrandes / 2);
        for (int r = 1; r < grilla.rows(); ++r)
            grillas::lineaDeOrden(grilla, r, {u""_s, u"%1"_s.arg(r), u"A-1"_s, u"Perfil"_s});
        const QStringList antes = libros();
        QMap<QString, QByteArray> contenidos;
        for (const QString& l : antes)
            contenidos[l] = soporte::leerArchivo(l);
        QTimer escape;
        connect(&escape, &QTimer::timeout, this, [&] {
            QWidget* progreso = QApplication::activeModalWidget();
            if (!progreso)
                return;
            if (!esperar.isEmpty()) {
                const auto etiquetas = progreso->findChildren<QLabel*>();
                if (std::none_of(etiquetas.begin(), etiquetas.end(),
                                 [&](QLabel* l) { return l->text().contains(esperar); }))
                    return;
            }
            escape.stop();
            QTest::keyClick(progreso, Qt::Key_Escape);
        });
        escape.start(5);
        ModExportarExcel::ExportarExcel(grilla, true, u""_s, u""_s, false);

        ModExportarExcel::setValorParametroParaPruebas({});
        ModExportarExcel::setRespuestaRutaParaPruebas({});
        QCOMPARE(m_mensajes,
                 QStringList{pagina ? u"Exportación cancelada: no se guardó ninguna página."_s
                                    : u"Exportación cancelada: no se guardó ningún libro."_s});
        QCOMPARE(QDir(programa).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(m_errores, QStringList());
        QCOMPARE(m_vistas, 0);
        QVERIFY(!Componentes::Progreso().Visible());
        QVERIFY(!ModExportarExcel::ExcelRetenido());
        QCOMPARE(QDir(carpetaExportacion()).entryList(QDir::Files | QDir::Hidden).size(),
                 antes.size());
        for (const QString& l : antes)
            QCOMPARE(soporte::leerArchivo(l), contenidos[l]);
        QCOMPARE(grilla.text(7, 1), u"7"_s);
    }
};

QTEST_MAIN(TstExportarLibro)
#include "tst_exportar_libro.moc"
