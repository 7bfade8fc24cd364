#include "platform/spreadsheet/SpreadsheetApp.h"
#include "platform/spreadsheet/SpreadsheetPalette.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/text/RuntimeError.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The spreadsheet stand-in on its own: how an assigned text is read, formats
// stored once, and values the application refuses.
class TstHoja : public QObject
{
    Q_OBJECT

private slots:
    void valores_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("tipo"); // 0 empty, 1 number, 2 text
        QTest::addColumn<double>("numero");
        QTest::newRow("vacio") << u""_s << 0 << 0.0;
        QTest::newRow("entero") << u"2500"_s << 1 << 2500.0;
        QTest::newRow("decimal con punto") << u"12.50"_s << 1 << 12.5;
        QTest::newRow("negativo") << u"-3.5"_s << 1 << -3.5;
        QTest::newRow("cero") << u"0"_s << 1 << 0.0;
        QTest::newRow("cero coma algo") << u"0.75"_s << 1 << 0.75;
        QTest::newRow("menos cero") << u"-0"_s << 1 << 0.0;
        QTest::newRow("coma decimal") << u"-3,5"_s << 2 << 0.0;
        QTest::newRow("dos puntos") << u"1.234.56"_s << 2 << 0.0;
        QTest::newRow("ceros a la izquierda") << u"000100000010"_s << 2 << 0.0;
        QTest::newRow("cero y dígito") << u"07"_s << 2 << 0.0;
        QTest::newRow("formula") << u"=SUM(A1:A3)"_s << 2 << 0.0;
        QTest::newRow("formula numerica") << u"=1+1"_s << 2 << 0.0;
        QTest::newRow("signo mas") << u"+5"_s << 2 << 0.0;
        QTest::newRow("punto sin digitos") << u"5."_s << 2 << 0.0;
        QTest::newRow("punto inicial") << u".5"_s << 2 << 0.0;
        QTest::newRow("exponente") << u"1E5"_s << 1 << 1e5;
        QTest::newRow("exponente negativo") << u"5E-08"_s << 1 << 5e-8;
        QTest::newRow("exponente con signo y decimales") << u"-1.5e+3"_s << 1 << -1500.0;
        QTest::newRow("exponente sin digitos") << u"1E"_s << 2 << 0.0;
        QTest::newRow("exponente fuera de rango") << u"1E400"_s << 2 << 0.0;
        QTest::newRow("texto mas largo que una celda del archivo")
            << QString(40000, u'x') << 2 << 0.0;
        QTest::newRow("espacios") << u" 5"_s << 2 << 0.0;
        QTest::newRow("quince cifras") << u"123456789012345"_s << 1 << 123456789012345.0;
        QTest::newRow("dieciseis cifras") << u"1234567890123456"_s << 2 << 0.0;
        QTest::newRow("ceros de relleno no cuentan") << u"0.000000000000000001"_s << 1 << 1e-18;
        QTest::newRow("digitos arabes") << u"١٢"_s << 2 << 0.0;
        QTest::newRow("texto") << u"Chapa 2,5 mm"_s << 2 << 0.0;
    }
    void valores()
    {
        QFETCH(QString, texto);
        QFETCH(int, tipo);
        QFETCH(double, numero);
        Worksheet hoja(u"Hoja1"_s);
        hoja.cells(3, 2).setValue(texto);
        const Worksheet::Cell* celda = hoja.cell(3, 2);
        QVERIFY(celda);
        QCOMPARE(static_cast<int>(celda->kind), tipo);
        if (tipo == 1) {
            QCOMPARE(celda->number, numero);
            if (numero == 0)
                QVERIFY(!std::signbit(celda->number));
        }
        if (tipo == 2)
            QCOMPARE(celda->text, texto);
    }

    // A sheet of many cells with few looks keeps few formats.
    void formatosGuardadosUnaVez()
    {
        Worksheet hoja(u"Hoja1"_s);
        hoja.cells().font().setSize(8);
        for (int r = 1; r <= 3000; ++r)
            for (int c = 1; c <= 7; ++c) {
                Range celda = hoja.cells(r, c);
                celda.setValue(QString::number(r * c));
                celda.interior().setColor(r % 5 == 1 ? 65280 : 16777215);
                celda.font().setSize(8.25);
                celda.font().setBold(c == 2);
                celda.font().setColorIndex(0);
                celda.font().setName(u"Tahoma"_s);
            }
        // default, sheet-wide size 8, and the steps of 4 looks on the way
        QVERIFY2(hoja.styles().size() <= 16, qPrintable(QString::number(hoja.styles().size())));
        QCOMPARE(hoja.styleAt(6, 2).fill, QColor(0, 255, 0).rgb());
        QCOMPARE(hoja.styleAt(7, 2).fill, QColor(255, 255, 255).rgb());
        QCOMPARE(hoja.styleAt(6, 2).bold, true);
        QCOMPARE(hoja.styleAt(6, 3).bold, false);
        QCOMPARE(hoja.styles().fontName(hoja.styleAt(6, 3).fontName), u"Tahoma"_s);
    }

    void colores_data()
    {
        QTest::addColumn<qint64>("valor");
        QTest::addColumn<QColor>("color");
        QTest::newRow("rojo") << qint64(255) << QColor(255, 0, 0);
        QTest::newRow("verde") << qint64(65280) << QColor(0, 255, 0);
        QTest::newRow("azul") << qint64(16711680) << QColor(0, 0, 255);
        QTest::newRow("blanco") << qint64(16777215) << QColor(255, 255, 255);
        QTest::newRow("mezcla") << qint64(0x123456) << QColor(0x56, 0x34, 0x12);
        QTest::newRow("fondo de informacion")
            << qint64(static_cast<int>(0x80000018u)) << QColor(0xFF, 0xFF, 0xE1);
    }
    void colores()
    {
        QFETCH(qint64, valor);
        QFETCH(QColor, color);
        Worksheet hoja(u"Hoja1"_s);
        hoja.cells(1, 1).interior().setColor(valor);
        hoja.cells(1, 1).font().setColor(valor);
        QCOMPARE(QColor::fromRgb(hoja.styleAt(1, 1).fill), color);
        QCOMPARE(QColor::fromRgb(hoja.styleAt(1, 1).fontColor), color);
        QCOMPARE(hoja.styleAt(1, 1).fontAutomatic, false);
    }

    void paleta()
    {
        QCOMPARE(spreadsheetPalette::indexed(15), std::optional<QColor>(QColor(0xC0, 0xC0, 0xC0)));
        QCOMPARE(spreadsheetPalette::indexed(1), std::optional<QColor>(QColor(0, 0, 0)));
        QCOMPARE(spreadsheetPalette::indexed(56), std::optional<QColor>(QColor(0x33, 0x33, 0x33)));
        QVERIFY(!spreadsheetPalette::indexed(0));
        QVERIFY(!spreadsheetPalette::indexed(57));
    }

    // What the application refuses, it refuses with error 1004 and says what.
    void rechazos_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("dice");
        QTest::newRow("tamaño cero") << 0 << u"Font.Size = 0"_s;
        QTest::newRow("tamaño enorme") << 1 << u"Font.Size = 410"_s;
        QTest::newRow("ancho de columna") << 2 << u"ColumnWidth = 256"_s;
        QTest::newRow("celda fuera de la hoja") << 3 << u"fila 1, columna 0"_s;
        QTest::newRow("indice de paleta") << 4 << u"Interior.ColorIndex = 57"_s;
        QTest::newRow("color imposible") << 5 << u"Interior.Color = 33554432"_s;
        QTest::newRow("estilo de linea") << 7 << u"LineStyle = 4"_s;
    }
    void rechazos()
    {
        QFETCH(int, caso);
        QFETCH(QString, dice);
        Worksheet hoja(u"Hoja1"_s);
        try {
            switch (caso) {
            case 0:
                hoja.cells(1, 1).font().setSize(0);
                break;
            case 1:
                hoja.cells(1, 1).font().setSize(410);
                break;
            case 2:
                hoja.setColumnWidth(1, 256);
                break;
            case 3:
                hoja.cells(1, 0);
                break;
            case 4:
                hoja.cells(1, 1).interior().setColorIndex(57);
                break;
            case 5:
                hoja.cells(1, 1).interior().setColor(0x2000000);
                break;
            case 7:
                hoja.cells(1, 1).borders().setLineStyle(4);
                break;
            }
            QFAIL("no se rechazó");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), 1004);
            QVERIFY2(error.description().contains(dice), qPrintable(error.description()));
        }
        QCOMPARE(hoja.cell(1, 1) ? static_cast<int>(hoja.cell(1, 1)->kind) : 0, 0);
    }

    // Formatting the whole sheet reaches cells written before and after.
    void todaLaHoja()
    {
        SpreadsheetApp app;
        app.setSheetsInNewWorkbook(1);
        app.addWorkbook();
        app.cells(2, 2).setValue(u"antes"_s);
        app.cells().font().setSize(8);
        app.cells(5, 3).setValue(u"despues"_s);
        QCOMPARE(app.activeSheet().styleAt(2, 2).fontSize, 8.0f);
        QCOMPARE(app.activeSheet().styleAt(5, 3).fontSize, 8.0f);
        QCOMPARE(app.activeSheet().styleAt(9, 9).fontSize, 8.0f);
        QCOMPARE(app.activeWorkbook().sheetCount(), 1);
        QCOMPARE(app.activeSheet().name(), u"Hoja1"_s);
    }

    // Rows put aside once the writing moves on are read back as written, can
    // be written again, and take a whole-sheet format like the open row.
    void filasApartadas_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("negrita");
        QTest::newRow("apartada") << 37 << u"t37"_s << false;
        QTest::newRow("escrita de nuevo") << 10 << u"otra vez"_s << true;
        QTest::newRow("abierta") << 50 << u"t50"_s << false;
    }
    void filasApartadas()
    {
        QFETCH(int, fila);
        QFETCH(QString, valor);
        QFETCH(bool, negrita);
        SpreadsheetApp app;
        app.addWorkbook();
        Worksheet& hoja = app.activeSheet();
        for (int r = 1; r <= 49; ++r)
            hoja.cells(r, 1 + r % 3).setValue(u"t%1"_s.arg(r));
        hoja.cells(10, 1 + 10 % 3).setValue(u"otra vez"_s);
        hoja.cells(10, 1 + 10 % 3).font().setBold(true);
        hoja.cells(50, 3).setValue(u"t50"_s);
        app.cells().font().setSize(8);
        QCOMPARE(hoja.rowCount(), 50);
        QCOMPARE(hoja.columnCount(), 3);
        const int col = fila == 50 ? 3 : 1 + fila % 3;
        QCOMPARE(hoja.cell(fila, col)->text, valor);
        QCOMPARE(hoja.styleAt(fila, col).bold, negrita);
        QCOMPARE(hoja.styleAt(fila, col).fontSize, 8.0f);
        QCOMPARE(hoja.largestFont(fila), 8.0f);
        QCOMPARE(hoja.cellCount(fila), col);
    }

    // Saving tells how far it went, so a long save can show it.
    void avanceAlGuardar()
    {
        SpreadsheetApp app;
        app.addWorkbook();
        for (int r = 1; r <= 2500; ++r)
            app.cells(r, 1).setValue(QString::number(r));
        QList<QPair<int, int>> avisos;
        app.setSaveProgress([&](int escritas, int total) { avisos.append({escritas, total}); });
        qputenv("RP_CARPETA_EXPORTACION", QDir::tempPath().toLocal8Bit());
        app.setVisible(true);
        QFile::remove(app.savedPath());
        QCOMPARE(avisos, (QList<QPair<int, int>>{{1000, 2500}, {2000, 2500}, {2500, 2500}}));
    }

    void sinLibroSeRequiereUnObjeto()
    {
        SpreadsheetApp app;
        try {
            app.cells(1, 1);
            QFAIL("sin libro no hay celdas");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), int(ErrorNumber::ObjectRequired));
        }
    }
};

QTEST_GUILESS_MAIN(TstHoja)
#include "tst_hoja.moc"
