#include "platform/controls/GridModel.h"
#include "platform/controls/GridView.h"
#include "platform/text/RuntimeError.h"

#include <QBrush>
#include <QFont>
#include <QHeaderView>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstGrid : public QObject
{
    Q_OBJECT

private slots:
    void estadoInicialDelControl()
    {
        GridModel g;
        QCOMPARE(g.rows(), 2);
        QCOMPARE(g.cols(), 2);
        QCOMPARE(g.fixedRows(), 1);
        QCOMPARE(g.fixedCols(), 1);
        QCOMPARE(g.rowCount(), 1); // the fixed row is the header
        QCOMPARE(g.colWidth(0), GridModel::DefaultColumnWidth);
    }

    void textosYCeldaActual()
    {
        GridModel g;
        g.setCols(8);
        g.setRows(3);
        g.setText(0, 1, u"Nro OP"_s);
        g.setText(2, 7, u"Espesor 3"_s);
        QCOMPARE(g.text(2, 7), u"Espesor 3"_s);
        QCOMPARE(g.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), u"Nro OP"_s);
        QCOMPARE(g.data(g.index(1, 7), Qt::DisplayRole).toString(), u"Espesor 3"_s);
        // Growing keeps what was written; shrinking drops the rows below.
        g.setRows(5);
        QCOMPARE(g.text(2, 7), u"Espesor 3"_s);
        g.setCols(9);
        QCOMPARE(g.text(2, 7), u"Espesor 3"_s);
        QCOMPARE(g.text(0, 1), u"Nro OP"_s);
        g.setRows(2);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, g.text(2, 7));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, g.setText(0, 9, u"x"_s));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, g.setRow(-1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, g.setRows(0)); // below the fixed rows
    }

    // A grid of many rows keeps them in blocks: growing, shrinking and
    // widening across the blocks' edges keeps every kept cell and empties
    // the rows that were dropped.
    void muchasFilas()
    {
        GridModel g;
        g.setCols(3);
        const auto marca = [](int r) { return QString::number(r); };
        for (int r = 1; r < 10000; ++r) {
            g.setRows(r + 1);
            g.setText(r, 2, marca(r));
            g.setBackColor(r, 1, r);
        }
        g.setRows(4097);
        g.setRows(9000);
        g.setCols(4);
        for (int r : {1, 4095, 4096, 4097, 8191, 8192, 8999}) {
            QCOMPARE(g.text(r, 2), r <= 4096 ? marca(r) : QString());
            QCOMPARE(g.backColor(r, 1), r <= 4096 ? r : int(GridModel::NoColor));
            QCOMPARE(g.text(r, 3), QString());
        }
        QCOMPARE(g.data(g.index(4095, 2), Qt::DisplayRole).toString(), marca(4096));
        g.setCols(2);
        QCOMPARE(g.text(4096, 1), QString());
        QCOMPARE(g.backColor(4096, 1), 4096);
    }

    // Rewriting a cell with a longer, shorter or empty text, many times over,
    // leaves every other cell of the grid as it was.
    void textosReescritos_data()
    {
        QTest::addColumn<QStringList>("textos");
        QTest::newRow("más largo") << QStringList{u"ab"_s, u"abcdefgh"_s};
        QTest::newRow("más corto") << QStringList{u"abcdefgh"_s, u"ab"_s};
        QTest::newRow("vaciado") << QStringList{u"abc"_s, QString()};
        QStringList crecientes;
        for (int k = 1; k <= 40; ++k)
            crecientes << QString(k, QChar(u'a' + k % 26)) + u"ñ"_s;
        QTest::newRow("cada vez más largo") << crecientes;
    }
    void textosReescritos()
    {
        QFETCH(QStringList, textos);
        GridModel g;
        g.setCols(3);
        g.setRows(6000);
        const auto propio = [](int r, int c) { return u"%1·%2"_s.arg(r).arg(c); };
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < 3; ++c)
                g.setText(r, c, propio(r, c));
        for (const QString& t : textos)
            for (int r = 1; r < g.rows(); r += 2)
                g.setText(r, 1, t);
        g.setRows(5000);
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(g.text(r, c), c == 1 && r % 2 ? textos.last() : propio(r, c));
    }

    void formatoPorCelda()
    {
        GridModel g;
        g.setCols(3);
        g.setRows(3);
        g.setRow(1);
        for (int c = 0; c < 3; ++c) {
            g.setCol(c);
            g.setCellBackColor(65280);
        }
        QCOMPARE(g.row(), 1);
        QCOMPARE(g.col(), 2);
        g.setFontSize(2, 1, 12);
        g.setFontBold(2, 1, true);
        QCOMPARE(g.backColor(1, 0), 65280);
        QCOMPARE(g.backColor(2, 0), GridModel::NoColor);
        // Suite colours are blue-green-red: 65280 is pure green, 16711680 blue.
        QCOMPARE(g.data(g.index(0, 1), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0, 255, 0));
        g.setBackColor(2, 2, 16711680);
        QCOMPARE(g.data(g.index(1, 2), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0, 0, 255));
        // A system colour is kept as such (the information background here).
        g.setBackColor(2, 0, static_cast<int>(0x80000018u));
        QCOMPARE(g.backColor(2, 0), static_cast<int>(0x80000018u));
        QCOMPARE(g.data(g.index(1, 0), Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(0xFF, 0xFF, 0xE1));
        const QFont f = g.data(g.index(1, 1), Qt::FontRole).value<QFont>();
        QCOMPARE(f.pointSizeF(), 12.0);
        QVERIFY(f.bold());
        // Fixed column shaded, plain cells left to the view.
        QVERIFY(g.data(g.index(1, 0), Qt::BackgroundRole).isValid());
        QVERIFY(!g.data(g.index(1, 1), Qt::BackgroundRole).isValid());
        g.clear();
        QCOMPARE(g.backColor(1, 0), GridModel::NoColor);
        QCOMPARE(g.fontSize(2, 1), 0.0);
        QCOMPARE(g.rows(), 3);
    }

    void vistaSigueAlModelo()
    {
        GridModel g;
        GridView vista(&g);
        vista.resize(600, 300);
        vista.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vista));
        g.setCols(3);
        g.setColWidth(0, 10);
        g.setColWidth(1, 1500);
        g.setColWidth(2, 4500);
        QCOMPARE(vista.columnWidth(0), 1);
        QCOMPARE(vista.columnWidth(1), 100);
        QCOMPARE(vista.columnWidth(2), 300);
        g.setText(0, 2, u"Descrpcion"_s);
        QCOMPARE(vista.model()->headerData(2, Qt::Horizontal).toString(), u"Descrpcion"_s);
        QVERIFY(vista.horizontalHeader()->isVisible());

        // A large load with the view told only once at the end.
        QSignalSpy reinicios(&g, &QAbstractItemModel::modelReset);
        QSignalSpy cambios(&g, &QAbstractItemModel::dataChanged);
        g.setUpdatesSuspended(true);
        g.setRows(100001);
        for (int r = 1; r <= 100000; ++r)
            g.setText(r, 1, QString::number(r));
        g.setUpdatesSuspended(false);
        QCOMPARE(cambios.count(), 0);
        QCOMPARE(reinicios.count(), 1);
        QCOMPARE(vista.model()->rowCount(), 100000);
        QCOMPARE(vista.model()->index(99999, 1).data().toString(), u"100000"_s);
        QCOMPARE(vista.columnWidth(1), 100);

        // Clicking a cell makes it the grid's current cell.
        vista.setCurrentIndex(g.index(4, 2));
        QCOMPARE(g.row(), 5);
        QCOMPARE(g.col(), 2);
    }
    // A cell too narrow for its text shows it whole as its tooltip, numbers
    // (right-aligned, cut on the right) as well as texts.
    void textoCortadoEnElTooltip_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("ancho"); // pixels
        QTest::addColumn<bool>("tooltip");
        const QString numero = u"1774"_s + QLocale::system().decimalPoint() + u"64901234"_s;
        QTest::newRow("numero cortado") << numero << 60 << true;
        QTest::newRow("texto cortado") << u"Chapa de acero inoxidable AISI 304"_s << 60 << true;
        QTest::newRow("numero entero") << numero << 300 << false;
    }
    void textoCortadoEnElTooltip()
    {
        QFETCH(QString, texto);
        QFETCH(int, ancho);
        GridModel g;
        g.setRows(3);
        g.setCols(2);
        g.setText(1, 1, texto);
        GridView vista(&g);
        vista.resize(600, 300);
        vista.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vista));
        vista.setColumnWidth(1, ancho);
        QToolTip::hideText();
        const QPoint p = vista.visualRect(g.index(0, 1)).center();
        QHelpEvent evento(QEvent::ToolTip, p, vista.viewport()->mapToGlobal(p));
        QApplication::sendEvent(vista.viewport(), &evento);
        QTEST(QToolTip::isVisible() && QToolTip::text() == texto, "tooltip");
    }
};

QTEST_MAIN(TstGrid)
#include "tst_grid.moc"
