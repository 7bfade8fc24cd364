#include "components/Componentes.h"
#include "dialogs/ReglasConsulta.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using ReglasConsulta::Familia;

// Every key reaches its query text, compared character by character with the
// text the suite has always sent.
class TstReglasConsulta : public QObject
{
    Q_OBJECT

private slots:
    void textoPorClave_data()
    {
        QTest::addColumn<QString>("clave");
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<QString>("tc");
        QTest::addColumn<bool>("requerido");
        QTest::addColumn<QString>("sql");
        const QString f = u"CUENTA = '110000001'"_s;
        const QString general =
            u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, "
            u"comentarios FROM "_s;
        const QString ordenes =
            u" SELECT FECHA, CUENTA , NOMBRE, ANULADA, APROBADO, TC,IDCOMPROBANTE, ID,Importe, "
            u"comentarios, Garantia FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = '"_s;
        const QString ot7 =
            u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento , "
            u"ID,FECHA, Importe FROM V_OT_Pendientes  WITH(NOLOCK) WHERE TC = 'OT  '"_s;

        QTest::newRow("1 remitos de compra pendientes")
            << u"RM/PENDIENTES_COMPRAS"_s << f << u"RMC"_s << true
            << u" SELECT CUENTA , ANULADA, Nombre, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM "
               u"C_RemitosPendientes WITH(NOLOCK) WHERE TC = 'RMC ' AND CUENTA = '110000001' "
               u"ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("2 remitos pendientes en minúsculas")
            << u"rm/pendientes"_s << f << u"RM"_s << true
            << u" SELECT CUENTA ,ANULADa, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe "
               u"FROM V_RemitosPendientes  WITH(NOLOCK) WHERE TC = 'RM  ' AND CUENTA = "
               u"'110000001' ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("3 terceros ignora el filtro")
            << u"T3"_s << f << u"T3"_s << false
            << u"SELECT * FROM V_MV_CPTETERCEROS  WITH(NOLOCK) ORDER BY ID,IDCOMPROBANTE, "
               u"IDCOMPLEMENTO"_s;
        QTest::newRow("4 compras con filtro")
            << u"FCC"_s << f << u"FCC"_s << false
            << u"SELECT * FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = 'FCC ' AND CUENTA = "
               u"'110000001' ORDER BY IDCOMPROBANTE DESC "_s;
        QTest::newRow("4 remito de compra sin pendientes")
            << u"RMC"_s << f << u"RMC"_s << false
            << u"SELECT * FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = 'RMC ' AND CUENTA = "
               u"'110000001' ORDER BY IDCOMPROBANTE DESC "_s;
        QTest::newRow("5 compras con filtro de blancos")
            << u"NDPC"_s << u"   "_s << u"NDPC"_s << false
            << u"SELECT * FROM C_MV_CPTE  WITH(NOLOCK) WHERE TC = 'NDPC' ORDER BY "
               u"IDCOMPROBANTE DESC"_s;
        QTest::newRow("6 órdenes de trabajo pendientes")
            << u"ot/Pendientes"_s << f << u"OT"_s << true
            << u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento,ID,"
               u"FECHA, Importe FROM V_OT_Pendientes  WITH(NOLOCK) WHERE TC = 'OT  ' AND CUENTA "
               u"= '110000001' ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("7 órdenes de trabajo con filtro")
            << u"OT"_s << f << u"OT"_s << false
            << ot7 + u" AND CUENTA = '110000001' ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("8 órdenes de trabajo sin filtro")
            << u"OT"_s << QString() << u"OT"_s << false << ot7 + u"  ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("9 pedidos pendientes")
            << u"NP/PENDIENTES"_s << f << u"NP"_s << true
            << general +
                   u"V_NP_PENDIENTES  WITH(NOLOCK) WHERE TC = 'NP  ' AND CUENTA = '110000001' "
                   u"ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("10 ofertas pendientes")
            << u"OF/PENDIENTES"_s << f << u"OF"_s << true
            << general +
                   u"V_OF_PENDIENTES  WITH(NOLOCK) WHERE TC = 'OF  ' AND CUENTA = '110000001' "
                   u"ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("11 presupuestos pendientes")
            << u"PR/PENDIENTES"_s << f << u"PR"_s << true
            << general + u"V_PR_PENDIENTES  WITH(NOLOCK) WHERE TC = 'PR  ' AND APROBADO = 1 AND "
                         u"CUENTA = '110000001' ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("12 órdenes de compra aprobadas")
            << u"OC"_s << QString() << u"OC"_s << false
            << ordenes + u"OC  ' AND APROBADO = 1  ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("12 órdenes de compra sin aprobar")
            << u"OC/SIN_APROBAR"_s << QString() << u"OC"_s << false
            << ordenes + u"OC  ' AND APROBADO = 0  ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("12 con filtro")
            << u"oc/sin_aprobar"_s << f << u"OC"_s << false
            << ordenes + u"OC  ' AND APROBADO = 0  AND CUENTA = '110000001' ORDER BY IDCOMPROBANTE "
                         u"DESC"_s;
        QTest::newRow("12 filtro de blancos se agrega igual")
            << u"OC"_s << u"  "_s << u"OC"_s << false
            << ordenes + u"OC  ' AND APROBADO = 1    ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("13 órdenes de pago") << u"OPG"_s << QString() << u"OPG"_s << false
                                            << ordenes + u"OPG '  ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("13 con filtro")
            << u"OPG"_s << f << u"OPG"_s << false
            << ordenes + u"OPG '  AND CUENTA = '110000001' ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("14 pedidos de clientes pendientes")
            << u"NPCL/PENDIENTES"_s << f << u"NPCL"_s << true
            << general + u"V_MV_CPTE  WITH(NOLOCK) WHERE TC = 'NPCL' AND CUENTA = '110000001' AND "
                         u"FINALIZADA = 0 ORDER BY IDCOMPROBANTE DESC"_s;
        QTest::newRow("15 anticipos como facturas")
            << u"FC/ANTICIPOS"_s << f << u"FC"_s << false
            << u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = 'FC  ' AND CUENTA = "
               u"'110000001' ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "_s;
        QTest::newRow("15 presupuestos sin pendientes")
            << u"PR"_s << f << u"PR"_s << false
            << u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = 'PR  ' AND CUENTA = "
               u"'110000001' ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "_s;
        QTest::newRow("16 órdenes de producción pendientes")
            << u"OP/PENDIENTES"_s << QString() << u"OP"_s << false
            << u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = 'OP  ' ORDER BY IDCOMPROBANTE "
               u"DESC, IDCOMPLEMENTO ASC"_s;
        QTest::newRow("16 código en minúsculas, filtro de blancos")
            << u"fc"_s << u" "_s << u"fc"_s << false
            << u"SELECT * FROM V_MV_CPTE  WITH(NOLOCK) WHERE TC = 'fc  ' ORDER BY IDCOMPROBANTE "
               u"DESC, IDCOMPLEMENTO ASC"_s;
    }

    void textoPorClave()
    {
        QFETCH(QString, clave);
        QFETCH(QString, filtro);
        QFETCH(QString, tc);
        QFETCH(bool, requerido);
        QFETCH(QString, sql);
        const ReglasConsulta::Clave c = ReglasConsulta::Normalizar(clave);
        QCOMPARE(c.TC, tc);
        QCOMPARE(c.EsPendiente, clave.contains(u"/PENDIENTES"_s, Qt::CaseInsensitive));
        QCOMPARE(c.SinAprobar, clave.compare(u"OC/SIN_APROBAR"_s, Qt::CaseInsensitive) == 0);
        QCOMPARE(ReglasConsulta::FiltroRequerido(c), requerido);
        QVERIFY(ReglasConsulta::FamiliaDe(c.TC) != Familia::Ninguna);
        const QString codigo = Componentes::General().CompletarCodigo(c.TC, 4);
        QCOMPARE(ReglasConsulta::TextoSQL(c, codigo, filtro), sql);
    }

    void familias_data()
    {
        QTest::addColumn<QString>("tc");
        QTest::addColumn<int>("familia");
        QTest::newRow("tk") << u"tkfc"_s << int(Familia::Generales);
        QTest::newRow("rma") << u"RMA"_s << int(Familia::Generales);
        QTest::newRow("fccu") << u"FCCU"_s << int(Familia::Compras);
        QTest::newRow("ncpc") << u"ncpc"_s << int(Familia::Compras);
        QTest::newRow("opg") << u"opg"_s << int(Familia::Ordenes);
        QTest::newRow("desconocido") << u"XX"_s << int(Familia::Ninguna);
        QTest::newRow("clave compuesta sin normalizar")
            << u"RM/PENDIENTES"_s << int(Familia::Ninguna);
    }

    void familias()
    {
        QFETCH(QString, tc);
        QFETCH(int, familia);
        QCOMPARE(int(ReglasConsulta::FamiliaDe(tc)), familia);
    }

    // A ";" that any backend would read as the end of the statement is found;
    // one inside a literal, a quoted name or a comment is not.
    void puntoYComa_data()
    {
        QTest::addColumn<QString>("filtro");
        QTest::addColumn<int>("posicion");
        QTest::newRow("sin punto y coma") << u"CUENTA = '1' AND IMPORTE > 0"_s << -1;
        QTest::newRow("segunda sentencia") << u"1=1; DELETE FROM MV_CPTE"_s << 3;
        QTest::newRow("al final") << u"CUENTA = '1';"_s << 12;
        QTest::newRow("en un literal") << u"NOMBRE = 'a;b'"_s << -1;
        QTest::newRow("comilla doblada") << u"NOMBRE = 'O''Brien;' AND 1=1"_s << -1;
        QTest::newRow("nombre entre comillas") << u"\"a;b\" = 1"_s << -1;
        QTest::newRow("nombre entre corchetes") << u"[a;b]]c] = 1"_s << -1;
        QTest::newRow("comentario de linea") << u"1=1 -- ; nada\n AND 2=2"_s << -1;
        QTest::newRow("despues del comentario") << u"1=1 -- nada\n; DROP TABLE X"_s << 12;
        QTest::newRow("comentario de bloque") << u"1=1 /* ; */"_s << -1;
        // Read otherwise by some backend: the ";" is outside for that one.
        QTest::newRow("barra ante la comilla")
            << u"NOMBRE = '\\'' ; DELETE FROM MV_CPTE; --'"_s << 14;
        QTest::newRow("comentarios anidados") << u"1=1 /* /* */ ; */"_s << 13;
        QTest::newRow("corchete sin cerrar") << u"[a; DROP TABLE X"_s << 2;
        QTest::newRow("literal sin cerrar") << u"A = 'x; DROP TABLE X"_s << 6;
        QTest::newRow("comentario sin cerrar") << u"1=1 /* ; DROP TABLE X"_s << 7;
    }
    void puntoYComa()
    {
        QFETCH(QString, filtro);
        QTEST(int(ReglasConsulta::PuntoYComaFuera(filtro)), "posicion");
    }
};

QTEST_GUILESS_MAIN(TstReglasConsulta)
#include "tst_reglas_consulta.moc"
