#include "platform/controls/ImageList.h"
#include "platform/controls/ListView.h"
#include "platform/controls/ListViewModel.h"
#include "platform/text/RuntimeError.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {
QIcon square(Qt::GlobalColor color)
{
    QPixmap p(16, 16);
    p.fill(color);
    return QIcon(p);
}

// Three columns, rows "a", "B", "c" with amounts in the last column.
void fill(ListViewModel& m)
{
    m.addColumn({}, u"Nombre"_s, 1500);
    m.addColumn({}, u"Fecha"_s, 1200);
    m.addColumn({}, u"Importe"_s, 900, Qt::AlignRight);
    const QStringList names{u"b"_s, u"C"_s, u"a"_s};
    const QStringList amounts{u"20"_s, u"100"_s, u"3"_s};
    for (int i = 0; i < 3; ++i) {
        const int r = m.addRow(u"K"_s + QString::number(i + 1), names[i]);
        m.setText(r, 2, amounts[i]);
    }
}

QString column(const ListViewModel& m, int c)
{
    QStringList out;
    for (int r = 0; r < m.rows(); ++r)
        out << m.text(r, c);
    return out.join(u',');
}
} // namespace

class TstListView : public QObject
{
    Q_OBJECT

private slots:
    void filasColumnasYClaves()
    {
        ListViewModel m;
        fill(m);
        QCOMPARE(m.columns(), 3);
        QCOMPARE(m.column(2).width, 900);
        QCOMPARE(m.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), u"Fecha"_s);
        QCOMPARE(m.text(0, 0), u"b"_s);
        QCOMPARE(m.text(0, 1), QString()); // never written
        QCOMPARE(m.data(m.index(1, 2), Qt::DisplayRole).toString(), u"100"_s);
        QCOMPARE(m.findKey(u"k2"_s), 1);
        m.setTag(1, u"110000002"_s);
        QCOMPARE(m.row(1).tag, u"110000002"_s);
        QCOMPARE(m.findKey(u"D9"_s), -1);
        // A key is unique in the list, and a sub-item needs its column.
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m.addRow(u"K1"_s));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m.setKey(0, u"k3"_s));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m.setText(0, 3, u"x"_s));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m.row(3));
        QCOMPARE(m.rows(), 3);
        m.clearColumns();
        QCOMPARE(m.text(0, 0), u"b"_s); // rows outlive their headers
        m.clearRows();
        QCOMPARE(m.rows(), 0);
        QCOMPARE(m.selectedRow(), -1);
    }

    void ordenPorTextoDeLaColumna_data()
    {
        QTest::addColumn<int>("clave");
        QTest::addColumn<bool>("descendente");
        QTest::addColumn<QString>("nombres");
        QTest::addColumn<int>("lugar"); // of a row added afterwards
        // Case-insensitive text order; amounts sort as texts, not numbers.
        QTest::newRow("nombre asc") << 0 << false << u"a,b,C"_s << 2;
        QTest::newRow("nombre desc") << 0 << true << u"C,b,a"_s << 1;
        QTest::newRow("importe asc") << 2 << false << u"C,b,a"_s << 0;
        QTest::newRow("importe desc") << 2 << true << u"a,b,C"_s << 3;
        QTest::newRow("columna vacía") << 1 << false << u"b,C,a"_s << 3;
    }

    void ordenPorTextoDeLaColumna()
    {
        QFETCH(int, clave);
        QFETCH(bool, descendente);
        QFETCH(QString, nombres);
        QFETCH(int, lugar);
        ListViewModel m;
        fill(m);
        m.setSelectedRow(0); // "b"
        m.setSortKey(clave);
        m.setSortOrder(descendente ? ListViewModel::SortOrder::Descending
                                   : ListViewModel::SortOrder::Ascending);
        QCOMPARE(column(m, 0), u"b,C,a"_s); // nothing moves until sorting is on
        m.setSorted(true);
        QCOMPARE(column(m, 0), nombres);
        QCOMPARE(m.text(m.selectedRow(), 0), u"b"_s);
        QCOMPARE(m.text(m.findKey(u"K3"_s), 0), u"a"_s);
        // A row added to a sorted list takes its place by its text.
        const int r = m.addRow({}, clave == 0 ? u"bb"_s : QString());
        QCOMPARE(m.text(r, 0), clave == 0 ? u"bb"_s : QString());
        QCOMPARE(r, lugar);
    }

    // A column marked as numbers or dates sorts by what its cells write:
    // empty cells first, then the values, then any other text.
    void ordenPorNumeroOFecha_data()
    {
        QTest::addColumn<int>("como");
        QTest::addColumn<bool>("descendente");
        QTest::addColumn<QStringList>("celdas");
        QTest::addColumn<QString>("nueva"); // added once sorted
        QTest::addColumn<QStringList>("ordenadas");
        const QString coma = QLocale::system().decimalPoint();
        const QStringList importes{u"2860000"_s, u"x"_s, u"410000"_s, {}, u"12"_s + coma + u"5"_s,
                                   u"1E+15"_s};
        const auto numero = int(ListViewModel::SortAs::Number);
        QTest::newRow("importes") << numero << false << importes << u"500000"_s
                                  << QStringList{{},           u"12"_s + coma + u"5"_s,
                                                 u"410000"_s,  u"500000"_s,
                                                 u"2860000"_s, u"1E+15"_s,
                                                 u"x"_s};
        QTest::newRow("importes al reves")
            << numero << true << importes << u"-3"_s
            << QStringList{u"x"_s,  u"1E+15"_s, u"2860000"_s, u"410000"_s, u"12"_s + coma + u"5"_s,
                           u"-3"_s, {}};
        QTest::newRow("fechas") << int(ListViewModel::SortAs::Date) << false
                                << QStringList{u"05/11/2026 09:30:00"_s,
                                               u"30/10/2026"_s,
                                               u"05/11/2026"_s,
                                               {},
                                               u"6/10/2026"_s}
                                << u"31/12/2025"_s << QStringList{{},
                                                                  u"31/12/2025"_s,
                                                                  u"6/10/2026"_s,
                                                                  u"30/10/2026"_s,
                                                                  u"05/11/2026"_s,
                                                                  u"05/11/2026 09:30:00"_s};
        QTest::newRow("texto") << int(ListViewModel::SortAs::Text) << false << importes << u"5"_s
                               << QStringList{{},          u"12"_s + coma + u"5"_s,
                                              u"1E+15"_s,  u"2860000"_s,
                                              u"410000"_s, u"5"_s,
                                              u"x"_s};
    }
    void ordenPorNumeroOFecha()
    {
        QFETCH(int, como);
        QFETCH(bool, descendente);
        QFETCH(QStringList, celdas);
        QFETCH(QString, nueva);
        QFETCH(QStringList, ordenadas);
        ListViewModel m;
        m.addColumn({}, u"Valor"_s, 900);
        m.setColumnSortAs(0, ListViewModel::SortAs(como));
        for (const QString& celda : celdas)
            m.addRow({}, celda);
        m.setSortOrder(descendente ? ListViewModel::SortOrder::Descending
                                   : ListViewModel::SortOrder::Ascending);
        m.setSorted(true);
        m.addRow({}, nueva);
        QStringList leidas;
        for (int r = 0; r < m.rows(); ++r)
            leidas << m.text(r, 0);
        QCOMPARE(leidas, ordenadas);
    }

    void vistaEnModoInforme()
    {
        ImageList imagenes;
        QCOMPARE(imagenes.add(square(Qt::red), u"PR"_s), 1);
        QCOMPARE(imagenes.add(square(Qt::blue), u"Generico"_s), 2);
        QCOMPARE(imagenes.tag(2), u"Generico"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, imagenes.tag(3));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, imagenes.icon(0));

        ListViewModel m;
        m.setIcons(&imagenes);
        m.setSmallIcons(&imagenes);
        fill(m);
        m.setSmallIcon(1, 2);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, m.setSmallIcon(1, 3));
        QVERIFY(!m.data(m.index(0, 0), Qt::DecorationRole).isValid());
        QCOMPARE(m.data(m.index(1, 0), Qt::DecorationRole).value<QIcon>().cacheKey(),
                 imagenes.icon(2).cacheKey());

        ListView vista(&m);
        vista.resize(500, 200);
        vista.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vista));
        QCOMPARE(vista.columnWidth(0), 100);
        QCOMPARE(vista.columnWidth(2), 60);
        m.setColumnWidth(1, 3000);
        QCOMPARE(vista.columnWidth(1), 200);

        // A header click is the window's business: the list stays as it is.
        QSignalSpy clics(&vista, &ListView::columnClick);
        const QHeaderView* h = vista.header();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                          QPoint(h->sectionViewportPosition(2) + 5, h->height() / 2));
        QCOMPARE(clics.count(), 1);
        QCOMPARE(clics.first().first().toInt(), 2);
        QCOMPARE(column(m, 0), u"b,C,a"_s);
        m.setSortKey(2);
        m.setSorted(true);
        QVERIFY(h->isSortIndicatorShown());
        QCOMPARE(h->sortIndicatorSection(), 2);

        // Clicks, keys and the selection reach the model and the window.
        QSignalSpy teclas(&vista, &ListView::keyPress);
        QSignalSpy dobles(&vista, &ListView::dblClick);
        QSignalSpy botones(&vista, &ListView::mouseDown);
        const QRect fila = vista.visualRect(m.index(1, 1));
        QTest::mouseClick(vista.viewport(), Qt::RightButton, {}, fila.center());
        QCOMPARE(m.selectedRow(), 1);
        QCOMPARE(botones.count(), 1);
        QCOMPARE(botones.first().first().value<Qt::MouseButton>(), Qt::RightButton);
        QTest::mouseDClick(vista.viewport(), Qt::LeftButton, {},
                           vista.visualRect(m.index(2, 1)).center());
        QCOMPARE(dobles.count(), 1);
        QCOMPARE(m.selectedRow(), 2);
        QTest::keyClick(&vista, Qt::Key_Return);
        QTest::keyClick(&vista, Qt::Key_Up);
        QCOMPARE(teclas.first().first().toInt(), 13);
        QCOMPARE(m.selectedRow(), 1);
        m.setSelectedRow(-1);
        QVERIFY(vista.selectionModel()->selectedRows().isEmpty());
        m.setSelectedRow(0);
        QCOMPARE(vista.selectionModel()->selectedRows().first().row(), 0);
    }

    void etiquetasYCasillas()
    {
        ListViewModel m;
        fill(m);
        ListView vista(&m);
        vista.show();
        QVERIFY(QTest::qWaitForWindowExposed(&vista));

        // The window refuses both label notifications, as the dialogs do.
        int antes = 0;
        connect(&m, &ListViewModel::beforeLabelEdit, this, [&](int, bool* cancel) {
            ++antes;
            *cancel = true;
        });
        connect(&m, &ListViewModel::afterLabelEdit, this,
                [](int, const QString&, bool* cancel) { *cancel = true; });
        vista.setCurrentIndex(m.index(0, 0));
        QTest::keyClick(&vista, Qt::Key_F2);
        QCOMPARE(antes, 1);
        QVERIFY(vista.findChild<QLineEdit*>() == nullptr);
        QVERIFY(!m.setData(m.index(0, 0), u"otro"_s, Qt::EditRole));
        QCOMPARE(m.text(0, 0), u"b"_s);

        // Tick boxes: shown only when asked for, ticked by the operator.
        QVERIFY(!m.data(m.index(0, 0), Qt::CheckStateRole).isValid());
        m.setCheckboxes(true);
        QSignalSpy marcas(&m, &ListViewModel::rowChecked);
        QVERIFY(m.setData(m.index(2, 0), Qt::Checked, Qt::CheckStateRole));
        QVERIFY(m.checked(2));
        QCOMPARE(marcas.count(), 1);
        m.setSortKey(0);
        m.setSorted(true); // "a" first, still ticked
        QVERIFY(m.checked(0));
        QCOMPARE(m.data(m.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    }
};

QTEST_MAIN(TstListView)
#include "tst_listview.moc"
