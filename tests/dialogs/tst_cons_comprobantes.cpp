#include "BaseDatos.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "dialogs/FrmConsComprobantes.h"
#include "dialogs/LecturaProtegida.h"
#include "dialogs/ReglasConsulta.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Twips.h"

#include <QHeaderView>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The list as the operator sees it: per row the icon's tag, then the cells.
QStringList filas(const FrmConsComprobantes& d)
{
    QStringList out;
    for (int r = 0; r < d.ListView1.rows(); ++r) {
        QStringList fila{d.ImageList1.tag(d.ListView1.row(r).smallIcon)};
        for (int c = 0; c < d.ListView1.columns(); ++c)
            fila << d.ListView1.text(r, c);
        out << fila.join(u'|');
    }
    return out;
}

QStringList encabezados(const FrmConsComprobantes& d)
{
    QStringList out;
    for (int c = 0; c < d.ListView1.columns(); ++c)
        out << d.ListView1.column(c).text;
    return out;
}

// The server keeps codes blank-padded to their column's width.
QStringList sinRelleno(QStringList filas)
{
    for (QString& f : filas) {
        QStringList celdas = f.split(u'|');
        for (QString& c : celdas)
            c = c.simplified();
        f = celdas.join(u'|');
    }
    return filas;
}

} // namespace

// The lookup dialog on the demonstration database, on SQLite and on
// PostgreSQL through ODBC, driven through its real widgets.
class TstConsComprobantes : public QObject
{
    Q_OBJECT

    QString m_sqlite;
    QString m_dsn;

    bool conectar(const QString& motor)
    {
        Componentes::ReiniciarParaPruebas();
        return soporte::conectarDatos(motor, m_sqlite, m_dsn);
    }

    static void usarReferencia(bool si)
    {
        Componentes::Datos().Ejecutar(
            u"UPDATE TA_CONFIGURACION SET VALOR = '%1' WHERE CLAVE = 'UsaReferenciaPresupuestos'"_s
                .arg(si ? u"si"_s : u"NO"_s));
    }

    static void prepararBase(QSqlDatabase db)
    {
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
        // An order with a short account and no name.
        QSqlQuery q(db);
        QVERIFY2(q.exec(u"INSERT INTO MV_CPTE (CIRCUITO, TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA, "
                        u"CUENTA, NOMBRE, IMPORTE, APROBADO) VALUES ('C', 'OPG', '000100000853A', "
                        u"0, '2026-11-30 00:00:00', 'P0042', NULL, 5000, 1)"_s),
                 qPrintable(q.lastError().text()));
    }

private slots:
    void initTestCase()
    {
        const QString carpeta = soporte::carpetaNueva(u"cons_comprobantes"_s);
        qputenv("RP_CARPETA_PROGRAMA", carpeta.toLocal8Bit());
        m_sqlite = carpeta + u"/demo.db"_s;
        {
            QSqlDatabase db = basedatos::abrirSqlite(m_sqlite, u"crear"_s, true);
            prepararBase(db);
        }
        QSqlDatabase::removeDatabase(u"crear"_s);
        if (soporte::hayPostgres()) {
            m_dsn = soporte::postgresPropio(u"rp_cons_comprobantes"_s);
            {
                QSqlDatabase db = soporte::abrirPostgres(u"crear_pg"_s, m_dsn);
                prepararBase(db);
            }
            QSqlDatabase::removeDatabase(u"crear_pg"_s);
        }
    }

    void lista_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QStringList>("esperadas");
        const QString uno = u"1 = 1"_s;
        const QList<std::tuple<const char*, QString, QString, QStringList>> casos = {
            {"facturas: anulada y aprobada, ni una ni otra",
             u"FC"_s,
             {},
             {u"FC|30/11/2026|000100000205A|1|Instalaciones del Litoral S.R.L.||83000"_s,
              u"Anulado|29/11/2026|000100000204A|1|||56000"_s,
              u"Anulado|18/11/2026|000100000203B|2|Instalaciones del Litoral S.R.L.||377520"_s,
              u"Aprobado|06/11/2026|000100000202A|1|Carpintería Los Álamos S.R.L.||741125"_s,
              u"Aprobado|10/10/2026|000100000201A|1|Metalúrgica San Martín S.A.||1788380"_s}},
            {"remitos pendientes: sin imagen propia",
             u"RM/PENDIENTES"_s,
             uno,
             {u"Generico|20/11/2026|000100000103A||Equipamientos Córdoba S.A.||229000"_s,
              u"Aprobado|05/11/2026|000100000102A||Carpintería Los Álamos S.R.L.||612500"_s}},
            {"órdenes de trabajo pendientes",
             u"OT/PENDIENTES"_s,
             uno,
             {u"OT|23/11/2026|000100000403A|1|Instalaciones del Litoral S.R.L.||54000"_s,
              u"Aprobado|03/11/2026|000100000402A|2|Metalúrgica San Martín S.A.||96400"_s}},
            {"pedidos pendientes sin complemento",
             u"NP/PENDIENTES"_s,
             uno,
             {u"Aprobado|16/11/2026|000100000502A||Metalúrgica San Martín S.A.||433500"_s,
              u"Aprobado|28/11/2026|000100000001A||Carpintería Los Álamos S.R.L.||39000"_s}},
            {"notas de crédito de compra: anulada, sin nombre",
             u"NCC"_s,
             {},
             {u"Anulado|30/11/2026|000200000093A|210000005|||18000"_s,
              u"Generico|26/11/2026|000200000091A|210000002|Aluminios Andinos S.R.L.||62000"_s}},
            {"facturas de compra: anulada nula",
             u"FCC"_s,
             u"CUENTA = '210000003'"_s,
             {u"Generico|12/11/2026|001200000877A|210000003|Galvanizadora del Plata S.A.||264000"_s}},
            {"punto y coma en un literal y en un comentario",
             u"FCC"_s,
             u"CUENTA = '210000003' AND NOMBRE <> 'a;b' /* ; */"_s,
             {u"Generico|12/11/2026|001200000877A|210000003|Galvanizadora del Plata S.A.||264000"_s}},
            {"remitos de compra pendientes",
             u"RM/PENDIENTES_COMPRAS"_s,
             uno,
             {u"Generico|07/10/2026|000300004510A|210000001|Aceros del Paraná S.A.||1430000"_s,
              u"Generico|18/11/2026|000100000320A|P0042|Maderera El Ñandú||205000"_s}},
            {"presupuestos con su referencia",
             u"PR"_s,
             {},
             {u"PR|22/11/2026|000100000703A|Instalaciones del Litoral S.R.L.||97500"_s,
              u"PR|14/11/2026|000100000702A|Metalúrgica San Martín S.A.|A confirmar medidas|318000"_s,
              u"PR|09/10/2026|000100000701A|Equipamientos Córdoba S.A.|Ref. licitación "
              u"45/2026|2450000"_s}},
            {"terceros",
             u"T3"_s,
             u"esto no se usa"_s,
             {u"T3|1|06/10/2026|000100000001A|0|06/10/2026 09:30:00|14/10/2026 16:00:00"_s,
              u"T3|2|26/10/2026|000100000008A|0|26/10/2026 08:15:00|"_s,
              u"T3|3|12/11/2026|000100000013A|0|12/11/2026 11:00:00|"_s}},
            {"órdenes de compra: anulada gana a garantía",
             u"OC"_s,
             {},
             {u"Anulado|21/11/2026|P0042 Maderera El Ñandú|000100000804A|410000|Tablas de pino"_s,
              u"OCG|07/11/2026|210000003 Galvanizadora del Plata S.A.|000100000803A|0|Reposición "
              u"en garantía"_s,
              u"OC|05/10/2026|210000001 Aceros del Paraná S.A.|000100000801A|2860000|Chapa SAE "
              u"1010 para noviembre"_s}},
            {"órdenes de pago: sin nombre",
             u"opg"_s,
             u"CUENTA <> '210000001'"_s,
             {u"Generico|30/11/2026|P0042 |000100000853A|5000|"_s,
              u"Generico|27/11/2026|210000005 Pinturas Industriales Cuyo "
              u"S.A.|000100000852A|187250|"_s}},
            {"nada que listar", u"OC/SIN_APROBAR"_s, u"CUENTA = 'nadie'"_s, {}},
        };
        for (const char* motor : {"sqlite", "postgres"})
            for (const auto& [nombre, clave, filtro, esperadas] : casos)
                QTest::addRow("%s %s", motor, nombre)
                    << QString::fromLatin1(motor) << clave << filtro << esperadas;
    }

    void lista()
    {
        QFETCH(QString, motor);
        QFETCH(QString, clave);
        QFETCH(QString, filtro);
        QFETCH(QStringList, esperadas);
        if (!conectar(motor))
            return;
        FrmConsComprobantes d;
        d.TC = clave;
        d.Filtro = filtro;
        d.Cargar();
        if (motor == u"sqlite"_s)
            QCOMPARE(filas(d), esperadas);
        else
            QCOMPARE(sinRelleno(filas(d)), sinRelleno(esperadas));
        // Only the T3 rows have no large icon.
        for (int r = 0; r < d.ListView1.rows(); ++r)
            QCOMPARE(d.ListView1.row(r).icon, d.TC == u"T3"_s ? 0 : d.ListView1.row(r).smallIcon);
    }

    void columnas_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<bool>("referencia");
        QTest::addColumn<QStringList>("columnas");
        QTest::addColumn<QList<int>>("equis");
        const QStringList general{u"FECHA"_s, u"COMPROBANTE"_s, u"ID"_s, u"NOMBRE"_s};
        QTest::newRow("generales") << u"RM"_s << false << (general + QStringList{u"IMPORTE"_s})
                                   << QList<int>{13, 15, 5, 21, 10};
        QTest::newRow("generales con referencia")
            << u"ND"_s << true << (general + QStringList{u"Referencia"_s, u"IMPORTE"_s})
            << QList<int>{13, 15, 5, 21, 21, 10};
        for (const bool referencia : {false, true})
            QTest::addRow("compras %d", referencia)
                << u"NDPC"_s << referencia
                << QStringList{u"FECHA"_s,  u"COMPROBANTE"_s, u"PROVEEDOR"_s,
                               u"NOMBRE"_s, u"CONCEPTO"_s,    u"IMPORTE"_s}
                << QList<int>{13, 15, 15, 21, 21, 10};
        QTest::newRow("presupuestos")
            << u"PR"_s << false
            << QStringList{u"FECHA"_s, u"COMPROBANTE"_s, u"NOMBRE"_s, u"IMPORTE"_s}
            << QList<int>{13, 15, 21, 10};
        QTest::newRow("presupuestos con referencia")
            << u"pr/pendientes"_s << true
            << QStringList{u"FECHA"_s, u"COMPROBANTE"_s, u"NOMBRE"_s, u"Referencia"_s, u"IMPORTE"_s}
            << QList<int>{13, 15, 21, 21, 10};
        QTest::newRow("terceros") << u"t3"_s << true
                                  << QStringList{u"Nº Int."_s, u"FECHA"_s,    u"COMPROBANTE"_s,
                                                 u"ID"_s,      u"FH Envio"_s, u"FH Recep"_s}
                                  << QList<int>{7, 13, 15, 4, 10, 10};
        QTest::newRow("órdenes") << u"OC/SIN_APROBAR"_s << true
                                 << QStringList{u"FECHA"_s, u"PROVEEDOR"_s, u"COMPROBANTE"_s,
                                                u"IMPORTE"_s, u"COMENTARIOS"_s}
                                 << QList<int>{13, 13, 17, 9, 15};
    }

    void columnas()
    {
        QFETCH(QString, clave);
        QFETCH(bool, referencia);
        QFETCH(QStringList, columnas);
        QFETCH(QList<int>, equis);
        if (!conectar(u"sqlite"_s))
            return;
        usarReferencia(referencia);
        FrmConsComprobantes d;
        d.TC = clave;
        d.Filtro = u"1 = 1"_s;
        d.Cargar();
        usarReferencia(true);
        QCOMPARE(d.UsaReferencia(), referencia);
        QCOMPARE(encabezados(d), columnas);
        for (int c = 0; c < columnas.size(); ++c)
            QCOMPARE(d.ListView1.column(c).width,
                     twipsFromPixels(d.fontMetrics().horizontalAdvance(QString(equis[c], u'X'))));
    }

    void aceptar_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<int>("fila");
        QTest::addColumn<QString>("nro");
        QTest::addColumn<QString>("complemento");
        QTest::addColumn<QString>("proveedor");
        const QList<std::tuple<const char*, QString, int, QString, QString, QString>> casos = {
            {"generales", u"FC"_s, 2, u"000100000203B"_s, u"2"_s, u"(antes)"_s},
            {"generales sin complemento", u"NP"_s, 0, u"000100000502A"_s, QString(), u"(antes)"_s},
            {"compras", u"RMC"_s, 2, u"000100000320A"_s, u"(antes)"_s, u"P0042"_s},
            {"presupuestos", u"PR/PENDIENTES"_s, 0, u"000100000701A"_s, u"0"_s, u"(antes)"_s},
            {"terceros", u"T3"_s, 1, u"2"_s, u"0"_s, u"(antes)"_s},
            {"órdenes, cuenta de 9", u"OC"_s, 1, u"000100000803A"_s, u"0"_s, u"210000003"_s},
            {"órdenes, cuenta corta", u"OPG"_s, 0, u"000100000853A"_s, u"0"_s, u"P0042"_s},
        };
        for (const char* forma : {"botón", "doble clic", "Enter"})
            for (const auto& [nombre, clave, fila, nro, complemento, proveedor] : casos)
                QTest::addRow("%s, %s", nombre, forma)
                    << clave << fila << nro << complemento << proveedor;
    }

    void aceptar()
    {
        QFETCH(QString, clave);
        QFETCH(int, fila);
        QFETCH(QString, nro);
        QFETCH(QString, complemento);
        QFETCH(QString, proveedor);
        if (!conectar(u"sqlite"_s))
            return;
        FrmConsComprobantes d;
        d.TC = clave;
        d.Filtro = u"1 = 1"_s;
        d.IdComplemento = d.Proveedor = u"(antes)"_s;
        d.Cargar();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        ListView* vista = d.ListView1Vista;
        const QString forma = QString::fromUtf8(QTest::currentDataTag()).section(u", "_s, -1);
        if (forma == u"botón"_s) {
            d.ListView1.setSelectedRow(fila);
            QTest::mouseClick(d.CmdAceptar, Qt::LeftButton);
        } else if (forma == u"doble clic"_s) {
            QTest::mouseDClick(vista->viewport(), Qt::LeftButton, {},
                               vista->visualRect(d.ListView1.index(fila, 1)).center());
        } else {
            vista->setFocus();
            d.ListView1.setSelectedRow(fila);
            QTest::keyClick(vista, Qt::Key_Return);
        }
        QCOMPARE(d.NroComprobante, nro);
        QCOMPARE(d.IdComplemento, complemento);
        QCOMPARE(d.Proveedor, proveedor);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        // Hidden but loaded: the caller reads the results, the list stays.
        QVERIFY(!d.isVisible());
        QVERIFY(d.Cargado());
        QVERIFY(d.ListView1.rows() > fila);
    }

    void ordenarPorEncabezado()
    {
        if (!conectar(u"sqlite"_s))
            return;
        FrmConsComprobantes d;
        d.TC = u"FC"_s;
        d.Cargar();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const auto columna = [&](int c) {
            QStringList out;
            for (int r = 0; r < d.ListView1.rows(); ++r)
                out << d.ListView1.text(r, c);
            return out;
        };
        const auto clic = [&](int c) {
            const QHeaderView* h = d.ListView1Vista->header();
            QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                              QPoint(h->sectionViewportPosition(c) + 5, h->height() / 2));
        };
        const int importe = 5;
        QCOMPARE(d.ListView1.column(importe).text, u"IMPORTE"_s);
        // Amounts sort as numbers, dates as dates.
        clic(importe); // the list's order starts ascending: the first click turns it
        QCOMPARE(columna(importe),
                 (QStringList{u"1788380"_s, u"741125"_s, u"377520"_s, u"83000"_s, u"56000"_s}));
        clic(importe);
        QCOMPARE(columna(importe),
                 (QStringList{u"56000"_s, u"83000"_s, u"377520"_s, u"741125"_s, u"1788380"_s}));
        clic(0); // one order for the whole list: a new column flips it too
        QCOMPARE(columna(0), (QStringList{u"30/11/2026"_s, u"29/11/2026"_s, u"18/11/2026"_s,
                                          u"06/11/2026"_s, u"10/10/2026"_s}));
        clic(1); // the voucher number is text
        QCOMPARE(columna(1).first(), u"000100000201A"_s);
        clic(0);
        // Amounts align right; the last column takes the width the others leave.
        QCOMPARE(d.ListView1.index(0, importe).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        const ListView* vista = d.ListView1Vista;
        d.resize(d.width() + pixelsFromTwips(d.ListView1.column(importe).width) * 4, d.height());
        QTRY_VERIFY(vista->viewport()->width() > pixelsFromTwips(d.ListView1.column(0).width) * 8);
        int ancho = 0;
        for (int c = 0; c < d.ListView1.columns(); ++c)
            ancho += vista->columnWidth(c);
        QCOMPARE(ancho, vista->viewport()->width());
        QVERIFY(vista->columnWidth(importe) > pixelsFromTwips(d.ListView1.column(importe).width));
        // A name cut by its column shows whole as its tooltip; a date that fits, none.
        const auto ayuda = [&](int fila, int celda) {
            const QPoint p = vista->visualRect(d.ListView1.index(fila, celda)).center();
            QHelpEvent evento(QEvent::ToolTip, p, vista->viewport()->mapToGlobal(p));
            QApplication::sendEvent(vista->viewport(), &evento);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        int litoral = 0;
        while (d.ListView1.text(litoral, 3) != u"Instalaciones del Litoral S.R.L.")
            ++litoral;
        QCOMPARE(ayuda(litoral, 0), QString());
        QCOMPARE(ayuda(litoral, 3), u"Instalaciones del Litoral S.R.L."_s);
        // What the operator picks after sorting is the row shown there.
        d.ListView1.setSelectedRow(3);
        d.CmdAceptar_Click();
        QCOMPARE(d.NroComprobante, u"000100000202A"_s);
    }

    void cancelarYVolverAMostrar()
    {
        if (!conectar(u"sqlite"_s))
            return;
        FrmConsComprobantes d;
        d.TC = u"oc/sin_aprobar"_s;
        d.NroComprobante = u"(antes)"_s;
        d.Cargar();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.TC, u"OC"_s);
        QVERIFY(d.SinAprobar());
        // The rows are the database's: label edits never begin.
        QVERIFY(!d.ListView1.beginLabelEdit(0));
        QTest::keyClick(d.ListView1Vista, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QVERIFY(!d.Cargado());
        QCOMPARE(d.NroComprobante, u"(antes)"_s);
        QCOMPARE(d.ListView1.rows(), 0);

        // Loaded again, accepted with nothing selected, shown again unchanged.
        d.TC = u"OC"_s;
        d.Cargar();
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.ListView1.setSelectedRow(-1);
        QTest::mouseClick(d.CmdAceptar, Qt::LeftButton);
        QCOMPARE(d.NroComprobante, QString());
        const qint64 sentencias = Componentes::Datos().SentenciasEmitidas();
        d.Cargar();
        QCOMPARE(Componentes::Datos().SentenciasEmitidas(), sentencias);
        QCOMPARE(d.ListView1.rows(), 3);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.ListView1.setSelectedRow(0);
        QTest::mouseClick(d.CmdCancelar, Qt::LeftButton);
        QCOMPARE(d.NroComprobante, QString());
        QVERIFY(!d.Cargado());
    }

    void clavesRechazadas_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("tipo desconocido")
            << u"XX"_s << u"1 = 1"_s << u"La consulta de comprobantes no lista el tipo \"XX\""_s;
        QTest::newRow("clave a medias")
            << u"RM/PEND"_s << QString() << u"no lista el tipo \"RM/PEND\""_s;
        QTest::newRow("pendientes sin filtro")
            << u"np/pendientes"_s << u"  "_s << u"\"np/pendientes\" necesita un filtro"_s;
        QTest::newRow("filtro que la base rechaza")
            << u"FC"_s << u"NO_HAY_TAL_COLUMNA = 1"_s << u"NO_HAY_TAL_COLUMNA"_s;
        const QString puntoYComa = u"El filtro tiene un \";\" fuera de comillas y comentarios "
                                   u"(carácter %1): una condición no lleva punto y coma"_s;
        QTest::newRow("segunda sentencia")
            << u"FC"_s << u"1=1; DELETE FROM MV_CPTE"_s << puntoYComa.arg(4);
        QTest::newRow("segunda sentencia tras una comilla")
            << u"rm/pendientes"_s << u"CUENTA = 'x'; DELETE FROM MV_CPTE --"_s
            << puntoYComa.arg(13);
    }

    void clavesRechazadas()
    {
        QFETCH(QString, clave);
        QFETCH(QString, filtro);
        QFETCH(QString, mensaje);
        if (!conectar(u"sqlite"_s))
            return;
        FrmConsComprobantes d;
        d.TC = clave;
        d.Filtro = filtro;
        const qint64 antes = Componentes::Datos().SentenciasEmitidas();
        try {
            d.Mostrar();
            QFAIL("el diálogo se mostró");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(mensaje, Qt::CaseInsensitive),
                     qPrintable(e.description()));
        }
        QVERIFY(!d.Cargado());
        QVERIFY(!d.isVisible());
        QCOMPARE(d.ListView1.columns(), 0);
        // Only the database itself can refuse a condition; the rest never reach it.
        if (!mensaje.contains(u"NO_HAY"_s))
            QCOMPARE(Componentes::Datos().SentenciasEmitidas(), antes);
    }

    // The list opens with the focus and nothing chosen: Enter then hands back
    // no voucher; the first arrow key picks the first row.
    void abreSinEleccion()
    {
        if (!conectar(u"sqlite"_s))
            return;
        FrmConsComprobantes d;
        d.TC = u"FC"_s;
        d.NroComprobante = u"(antes)"_s;
        // What the operator meets on opening, then the keys typed.
        struct Visto
        {
            bool foco = false, actual = true, elegida = true;
            int fila = -2;
            int resultado = -1;
        };
        const auto abrir = [&](const QList<Qt::Key>& teclas) {
            Visto visto;
            // Once the dialog is up: the load may let events run before it shows.
            std::function<void()> actuar = [&] {
                if (!d.isVisible()) {
                    QTimer::singleShot(10, &d, actuar);
                    return;
                }
                visto.foco = QTest::qWaitFor(
                    [&] { return QApplication::focusWidget() == d.ListView1Vista; }, 5000);
                visto.actual = d.ListView1Vista->currentIndex().isValid();
                visto.elegida = !d.ListView1Vista->selectionModel()->selectedRows().isEmpty();
                for (const Qt::Key tecla : teclas) {
                    if (tecla == Qt::Key_Return)
                        visto.fila = d.ListView1.selectedRow();
                    QTest::keyClick(d.ListView1Vista, tecla);
                }
                if (d.isVisible())
                    d.reject();
            };
            QTimer::singleShot(0, &d, actuar);
            visto.resultado = d.Mostrar();
            return visto;
        };
        Visto visto = abrir({Qt::Key_Return});
        QCOMPARE(visto.resultado, int(QDialog::Accepted));
        QVERIFY(visto.foco);
        QVERIFY(!visto.actual);
        QVERIFY(!visto.elegida);
        QCOMPARE(visto.fila, -1);
        QCOMPARE(d.NroComprobante, QString());

        visto = abrir({Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(visto.resultado, int(QDialog::Accepted));
        QCOMPARE(visto.fila, 0);
        QCOMPARE(d.NroComprobante, u"000100000205A"_s);
    }

    // On a server that offers it, the query runs in a read-only transaction:
    // a condition that calls something that writes is refused by the server,
    // and the connection writes again afterwards.
    void soloLectura()
    {
        if (!conectar(u"postgres"_s))
            return;
        CompDatos& datos = Componentes::Datos();
        datos.Ejecutar(u"DROP SEQUENCE IF EXISTS rp_prueba_lectura"_s);
        datos.Ejecutar(u"CREATE SEQUENCE rp_prueba_lectura"_s);
        FrmConsComprobantes d;
        d.TC = u"FC"_s;
        d.Filtro = u"nextval('rp_prueba_lectura') > 0"_s;
        try {
            d.Cargar();
            QFAIL("la consulta escribió");
        } catch (const RuntimeError& e) {
            QVERIFY2(e.description().contains(u"read-only"_s), qPrintable(e.description()));
        }
        QVERIFY(!d.Cargado());
        auto rs = datos.AbrirRecordset(u"SELECT is_called FROM rp_prueba_lectura"_s);
        QCOMPARE(rs->field(u"is_called"_s).toBool(), false);
        datos.CerrarRecordset(rs);

        // A condition that only reads lists as before; then the connection
        // writes, and what it writes stays.
        d.Filtro = u"CUENTA <> 'nadie'"_s;
        d.Cargar();
        QCOMPARE(d.ListView1.rows(), 5);
        datos.Ejecutar(u"SELECT setval('rp_prueba_lectura', 7)"_s);
        {
            QSqlDatabase otra = soporte::abrirPostgres(u"otra_lectura"_s, m_dsn);
            QSqlQuery q(otra);
            QVERIFY(q.exec(u"SELECT last_value FROM rp_prueba_lectura"_s) && q.next());
            QCOMPARE(q.value(0).toInt(), 7);
        }
        QSqlDatabase::removeDatabase(u"otra_lectura"_s);
    }

    // A second statement hidden from the ";" check by quoting our lexer does
    // not know, or by a statement that is not a query: the backend's own
    // parser refuses the text before any of it runs, and nothing is written.
    void otraSentenciaOculta_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("filtro");
        const QStringList filtros = {
            u"IDCOMPROBANTE = 'x' AND 'a' <> $a$'$a$; COMMIT; DELETE FROM rp_canario; SELECT 1 -- '"_s,
            u"'a' <> $t$'$t$; DELETE FROM rp_canario -- '"_s,
            u"1=1 ORDER BY 1; DELETE FROM rp_canario"_s,
        };
        for (const QString& motor : {u"sqlite"_s, u"postgres"_s})
            for (qsizetype i = 0; i < filtros.size(); ++i)
                QTest::newRow(qPrintable(u"%1, %2"_s.arg(motor).arg(i))) << motor << filtros[i];
    }
    void otraSentenciaOculta()
    {
        QFETCH(QString, motor);
        QFETCH(QString, filtro);
        if (!conectar(motor))
            return;
        CompDatos& datos = Componentes::Datos();
        datos.Ejecutar(u"DROP TABLE IF EXISTS rp_canario"_s);
        datos.Ejecutar(u"CREATE TABLE rp_canario (x INTEGER)"_s);
        datos.Ejecutar(u"INSERT INTO rp_canario VALUES (1)"_s);
        FrmConsComprobantes d;
        d.TC = u"FC"_s;
        d.Filtro = filtro;
        // Below the ";" check: the text as the lookup would send it.
        {
            const LecturaProtegida soloLectura(datos);
            QVERIFY_THROWS_EXCEPTION(RuntimeError, soloLectura.exigirUnaConsulta(
                                                       ReglasConsulta::TextoSQL(
                                                           ReglasConsulta::Normalizar(d.TC),
                                                           d.CodigoTC(), filtro)));
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, d.Cargar());
        auto rs = datos.AbrirRecordset(u"SELECT COUNT(*) AS n FROM rp_canario"_s);
        QCOMPARE(rs->field(u"n"_s).toInt(), 1);
        datos.CerrarRecordset(rs);
        // A plain condition still lists.
        d.Filtro = u"CUENTA <> 'nadie'"_s;
        d.Cargar();
        QVERIFY(d.ListView1.rows() > 0);
    }

    void imagenes()
    {
        QTest::failOnWarning(QRegularExpression(u"svg"_s));
        FrmConsComprobantes d;
        QStringList etiquetas;
        for (int i = 1; i <= d.ImageList1.count(); ++i) {
            etiquetas << d.ImageList1.tag(i);
            QVERIFY(!d.ImageList1.icon(i).pixmap(16, 16).isNull());
            QCOMPARE(d.ImageList1.icon(i).pixmap(QSize(32, 32), 2).size(), QSize(64, 64));
        }
        QCOMPARE(etiquetas,
                 (QStringList{u"PR"_s, u"Anulado"_s, u"Aprobado"_s, u"FC"_s, u"NC"_s, u"ND"_s,
                              u"OT"_s, u"Generico"_s, u"T3"_s, u"OC"_s, u"OCG"_s}));
        QCOMPARE(d.ObtieneIndiceImagen(u" ocg "_s), qint16(11));
        QCOMPARE(d.ObtieneIndiceImagen(u"OPG"_s), qint16(8));
    }
};

QTEST_MAIN(TstConsComprobantes)
#include "tst_cons_comprobantes.moc"
