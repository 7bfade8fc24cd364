#include "BaseDatos.h"
#include "Sentencias.h"
#include "Soporte.h"
#include "platform/text/RuntimeError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Compiled twice: RP_PRUEBA_POSTGRES selects the test server, in a schema of
// this program's own so that other test programs can run beside it.
#ifdef RP_PRUEBA_POSTGRES
const QString esquemaPrueba = u"rp_prueba_basedatos"_s;
#endif

QString sinNulos(const QVariant& v)
{
    return v.isNull() ? u"<nulo>"_s : v.toString().trimmed();
}

} // namespace

class PruebaBaseDatos : public QObject
{
    Q_OBJECT

private:
    QSqlDatabase m_db;

    QList<QVariantList> filas(const QString& sql)
    {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw RuntimeError(ErrorNumber::Database, q.lastError().text() + u" ← "_s + sql);
        QList<QVariantList> resultado;
        while (q.next()) {
            QVariantList fila;
            for (int i = 0; i < q.record().count(); ++i)
                fila << q.value(i);
            resultado << fila;
        }
        return resultado;
    }
    qint64 contar(const QString& sql) { return filas(sql).value(0).value(0).toLongLong(); }

    void reiniciar(bool conDemo)
    {
        basedatos::vaciarEsquema(m_db);
        basedatos::crearEsquema(m_db);
        if (conDemo)
            basedatos::cargarDemo(m_db);
    }

    // Everything the generator writes, in key order, as one fingerprint.
    QByteArray huella()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        const QStringList consultas = {
            u"SELECT TC, IDCOMPROBANTE, FECHA, CUENTA, NOMBRE, OBSERVACIONES, IMPORTE, "
            u"IMPORTE_S_IVA, FINALIZADA FROM MV_CPTE ORDER BY IDCOMPROBANTE"_s,
            u"SELECT IDCOMPROBANTE, LINEA, IDARTICULO, DESCRIPCION, CANTIDAD, IMPORTE, TOTAL "
            u"FROM MV_CPTEINSUMOS ORDER BY IDCOMPROBANTE, LINEA"_s,
            u"SELECT * FROM MA_ARTICULOS ORDER BY IDARTICULO"_s,
            u"SELECT * FROM MA_INSUMOS ORDER BY IDARTICULO, IDARTICULOINSUMO"_s,
        };
        for (const QString& sql : consultas)
            for (const QVariantList& fila : filas(sql))
                for (const QVariant& valor : fila)
                    hash.addData((sinNulos(valor) + u'|').toUtf8());
        return hash.result().toHex();
    }

private slots:
    void initTestCase()
    {
#ifdef RP_PRUEBA_POSTGRES
        if (!soporte::hayPostgres())
            QSKIP("Sin servidor PostgreSQL de prueba");
        m_db = soporte::abrirPostgres(u"prueba_basedatos"_s);
        filas(u"CREATE SCHEMA IF NOT EXISTS "_s + esquemaPrueba);
        filas(u"SET search_path TO "_s + esquemaPrueba);
        QCOMPARE(basedatos::motorDe(m_db), basedatos::Motor::PostgreSQL);
#else
        const QString carpeta = soporte::carpetaNueva(u"basedatos"_s);
        m_db = basedatos::abrirSqlite(carpeta + u"/prueba.sqlite"_s, u"prueba_basedatos"_s, true);
        QCOMPARE(basedatos::motorDe(m_db), basedatos::Motor::SQLite);
#endif
        reiniciar(true);
    }

    void cleanupTestCase()
    {
#ifdef RP_PRUEBA_POSTGRES
        if (m_db.isOpen())
            filas(u"DROP SCHEMA IF EXISTS %1 CASCADE"_s.arg(esquemaPrueba));
#endif
        m_db.close();
    }

    // The program's own statements, in the form they reach these engines
    // (no dbo. prefixes, no NOLOCK hints), with the fields their readers ask for.
    void consultasDelPrograma_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("campos");
        QTest::addColumn<int>("filasEsperadas");

        const QString general =
            u"Fecha,IdComprobante,IdComplemento,Nombre,Importe,ANULADA,Aprobado"_s;
        const QString compras = u"Fecha,IdComprobante,Cuenta,Nombre,Importe,ANULADA"_s;
        const QString ordenes = u"Fecha,Cuenta,Nombre,IdComprobante,Importe,Comentarios,ANULADA,"
                                u"Garantia"_s;
        auto fila = [](const char* nombre, const QString& sql, const QString& campos, int n) {
            QTest::newRow(nombre) << sql << campos.split(u',') << n;
        };

        fila("órdenes pendientes de un rango",
             u"SELECT V_MV_Cpte.TC, V_MV_Cpte.IDCOMPROBANTE, V_MV_Cpte.FECHA, V_MV_Cpte.CUENTA, "
             u"V_MV_Cpte.NOMBRE, V_MV_Cpte.OBSERVACIONES, V_MV_Cpte.IMPORTE, "
             u"V_MV_Cpte.IMPORTE_S_IVA, V_MV_Cpte.FINALIZADA, V_MV_Cpte.ANULADA, "
             u"V_MV_Cpte.APROBADO, V_MV_CpteInsumos.IDARTICULO, V_MV_CpteInsumos.DESCRIPCION, "
             u"V_MV_CpteInsumos.IDUNIDAD, V_MV_CpteInsumos.CANTIDAD, V_MV_CpteInsumos.CANTIDADUD, "
             u"V_MV_CpteInsumos.IMPORTE AS Expr1, V_MV_CpteInsumos.TOTAL FROM V_MV_Cpte INNER JOIN "
             u"V_MV_CpteInsumos ON V_MV_Cpte.TC = V_MV_CpteInsumos.TC AND V_MV_Cpte.IdComprobante "
             u"= V_MV_CpteInsumos.IdComprobante And V_MV_Cpte.IdComplemento = "
             u"V_MV_CpteInsumos.IdComplemento WHERE  V_MV_CPTE.TC = 'OP' AND "
             u"V_MV_CPTE.IdComprobante >= '000100000010A' AND V_MV_CPTE.IdComprobante <= "
             u"'000100000020A' AND V_MV_CPTE.Finalizada= 0"_s,
             u"IdComprobante,idArticulo,Descripcion,Cantidad,TC,FECHA,CUENTA,NOMBRE,OBSERVACIONES,"
             u"IMPORTE,IMPORTE_S_IVA,FINALIZADA,ANULADA,APROBADO,IDUNIDAD,CANTIDADUD,Expr1,TOTAL"_s,
             24);
        fila("medidas del artículo",
             u"SELECT ANCHO, LARGO, PROFUNDO FROM V_MA_ARTICULOS WHERE IDARTICULO = "
             u"'BAN-1000X2000'"_s,
             u"ANCHO,LARGO,PROFUNDO"_s, 1);
        fila(
            "insumos de un artículo",
            u"SELECT     V_MA_INSUMOS.IdArticulo, V_MA_INSUMOS.IdArticuloInsumo, "
            u"V_MA_INSUMOS.Cantidad AS CantidadInsumo, V_MA_ARTICULOS_1.DESCRIPCION AS "
            u"DescInsumo, V_MA_ARTICULOS_1.PESO_ESPECIFICO AS PeInsumo, V_MA_ARTICULOS.LARGO, "
            u"V_MA_ARTICULOS.PROFUNDO , V_MA_ARTICULOS.Ancho, V_MA_ARTICULOS.LAMINADO, "
            u"V_MA_ARTICULOS.Descripcion FROM         V_MA_INSUMOS LEFT OUTER JOIN "
            u"V_MA_ARTICULOS ON V_MA_INSUMOS.IdArticulo = V_MA_ARTICULOS.IDARTICULO LEFT OUTER "
            u"JOIN V_MA_ARTICULOS AS V_MA_ARTICULOS_1 ON V_MA_INSUMOS.IdArticuloInsumo = "
            u"V_MA_ARTICULOS_1.IDARTICULO WHERE V_MA_INSUMOS.IDARTICULO='EST-AL-1500              '"_s,
            u"IdArticulo,IdArticuloInsumo,CantidadInsumo,DescInsumo,Peinsumo,largo,Ancho,profundo,"
            u"laminado,Descripcion"_s,
            3);
        fila("ajuste", u"SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'TituloClientes'"_s,
             u"Valor"_s, 1);
        fila("reporte", u"SELECT * FROM TA_REPORTES  WHERE NOMBRE = 'RP_OP'"_s, u"Archivo"_s, 1);
        fila("nombre de la cuenta",
             u"SELECT Descripcion FROM ma_cuentas WHERE Codigo = '110000001'"_s, u"Descripcion"_s,
             1);
        fila("cargos con saldo",
             u"SELECT * FROM V_MV_CARGOSAPLICADOS WHERE CUENTA = '110000001' AND ((SALDO <> 0) OR "
             u"(SALDO IS NULL))"_s,
             u"Fecha,ID,Matricula,Concepto,Importe,Saldo,Observaciones"_s, 3);
        fila("remitos de compra pendientes",
             u" SELECT CUENTA , ANULADA, Nombre, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM "
             u"C_RemitosPendientes WHERE TC = 'RMC ' AND 1 = 1 ORDER BY IDCOMPROBANTE DESC"_s,
             compras, 2);
        fila("remitos pendientes",
             u" SELECT CUENTA ,ANULADa, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM "
             u"V_RemitosPendientes  WHERE TC = 'RM  ' AND 1 = 1 ORDER BY IDCOMPROBANTE DESC"_s,
             u"Fecha,IdComprobante,Nombre,Importe,ANULADA,Aprobado"_s, 2);
        fila("comprobantes en terceros",
             u"SELECT * FROM V_MV_CPTETERCEROS  ORDER BY ID,IDCOMPROBANTE, IDCOMPLEMENTO"_s,
             u"ID,Fecha,IdComprobante,IdComplemento,FECHAENVIADO,FECHARECIBIDO"_s, 3);
        fila("facturas de compra",
             u"SELECT * FROM C_MV_CPTE  WHERE TC = 'FCC ' ORDER BY IDCOMPROBANTE DESC"_s, compras,
             2);
        fila("órdenes de trabajo pendientes",
             u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento,ID,"
             u"FECHA, Importe FROM V_OT_Pendientes  WHERE TC = 'OT  ' AND 1 = 1 ORDER BY "
             u"IDCOMPROBANTE DESC"_s,
             general, 2);
        for (const auto& [vista, tc, n] :
             {std::tuple{"V_NP_PENDIENTES", "NP  ", 2}, std::tuple{"V_OF_PENDIENTES", "OF  ", 1}}) {
            fila(vista,
                 u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, "
                 u"Importe, comentarios FROM %1  WHERE TC = '%2' AND 1 = 1 ORDER BY IDCOMPROBANTE "
                 u"DESC"_s.arg(QString::fromUtf8(vista), QString::fromUtf8(tc)),
                 u"Fecha,IdComprobante,Nombre,Importe,ANULADA,Aprobado,Comentarios"_s, n);
        }
        fila("presupuestos pendientes aprobados",
             u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, "
             u"comentarios FROM V_PR_PENDIENTES  WHERE TC = 'PR  ' AND APROBADO = 1 AND 1 = 1 "
             u"ORDER BY IDCOMPROBANTE DESC"_s,
             u"Fecha,IdComprobante,Nombre,Importe,ANULADA,Comentarios"_s, 1);
        for (const auto& [nombre, condicion, n] :
             {std::tuple{"órdenes de compra sin aprobar", "OC  ' AND APROBADO = 0 ", 1},
              std::tuple{"órdenes de compra aprobadas", "OC  ' AND APROBADO = 1 ", 3},
              std::tuple{"órdenes de pago", "OPG ' ", 2}}) {
            fila(
                nombre,
                u" SELECT FECHA, CUENTA , NOMBRE, ANULADA, APROBADO, TC,IDCOMPROBANTE, ID,Importe, "
                u"comentarios, Garantia FROM C_MV_CPTE  WHERE TC = '%1 ORDER BY IDCOMPROBANTE "
                u"DESC"_s.arg(QString::fromUtf8(condicion)),
                ordenes, n);
        }
        fila("pedidos de clientes pendientes",
             u" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, "
             u"comentarios FROM V_MV_CPTE  WHERE TC = 'NPCL' AND 1 = 1 AND FINALIZADA = 0 ORDER "
             u"BY IDCOMPROBANTE DESC"_s,
             u"Fecha,IdComprobante,Nombre,Importe,ANULADA,Aprobado"_s, 1);
        fila("facturas de una cuenta",
             u"SELECT * FROM V_MV_CPTE  WHERE TC = 'FC  ' AND CUENTA = '110000001' ORDER BY  "
             u"IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  "_s,
             general, 1);
        for (const auto& [tc, n] : {std::pair{"RM  ", 4}, std::pair{"NC  ", 2},
                                    std::pair{"ND  ", 1}, std::pair{"OP  ", 20}}) {
            fila(tc,
                 u"SELECT * FROM V_MV_CPTE  WHERE TC = '%1' ORDER BY IDCOMPROBANTE DESC, "
                 u"IDCOMPLEMENTO ASC"_s.arg(QString::fromUtf8(tc)),
                 general, n);
        }
        fila("consulta de artículos", u"SELECT DESCRIPCION, IDARTICULO FROM V_MA_ARTICULOS"_s,
             u"DESCRIPCION,IDARTICULO"_s, 24);
        fila("consulta de clientes", u"SELECT RAZON_SOCIAL, CODIGO, CONTACTO FROM VT_CLIENTES"_s,
             u"RAZON_SOCIAL,CODIGO,CONTACTO"_s, 5);
        fila("consulta de proveedores", u"SELECT RAZON_SOCIAL, CODIGO FROM VT_PROVEEDORES"_s,
             u"RAZON_SOCIAL,CODIGO"_s, 5);
        fila("consulta de contactos",
             u"SELECT Nombre_y_Apellido, Domicilio, Localidad, Telefono FROM MA_CONTACTOS"_s,
             u"Nombre_y_Apellido,Domicilio,Localidad,Telefono"_s, 5);
    }

    void consultasDelPrograma()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, campos);
        QFETCH(int, filasEsperadas);

        QSqlQuery q(m_db);
        QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
        for (const QString& campo : campos)
            QVERIFY2(q.record().indexOf(campo) >= 0, qPrintable(u"falta el campo "_s + campo));
        int n = 0;
        while (q.next())
            ++n;
        QCOMPARE(n, filasEsperadas);
    }

    void codigosSinMayusculasNiBlancos_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<qint64>("esperado");
        auto fila = [](const char* nombre, const QString& sql, qint64 n) {
            QTest::newRow(nombre) << sql << n;
        };
        fila("tipo en minúsculas con blancos",
             u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'op  '"_s, 20);
        fila(
            "artículo completado a 25",
            u"SELECT count(*) FROM V_MA_ARTICULOS WHERE IDARTICULO = 'ban-1000x2000            '"_s,
            1);
        fila("lista de materiales por código completado",
             u"SELECT count(*) FROM V_MA_INSUMOS WHERE IDARTICULO = 'gab-inox-600             '"_s,
             2);
        fila("letra del comprobante en minúscula",
             u"SELECT count(*) FROM V_MV_CPTE WHERE IDCOMPROBANTE = '000100000001a'"_s, 2);
        fila("rango de comprobantes",
             u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP' AND IDCOMPROBANTE >= "
             u"'000100000010a' AND IDCOMPROBANTE <= '000100000020A'"_s,
             11);
        fila("clave de ajuste",
             u"SELECT count(*) FROM TA_CONFIGURACION WHERE CLAVE = 'mostrarstockenconsultas  '"_s,
             1);
        fila("nombre de reporte", u"SELECT count(*) FROM TA_REPORTES WHERE NOMBRE = 'rp_op '"_s, 1);
        fila("cuenta corta", u"SELECT count(*) FROM ma_cuentas WHERE CODIGO = 'p0042    '"_s, 1);
        fila("proveedor por cuenta corta",
             u"SELECT count(*) FROM VT_PROVEEDORES WHERE CODIGO = 'P0042'"_s, 1);
        fila("cargos de la cuenta",
             u"SELECT count(*) FROM V_MV_CARGOSAPLICADOS WHERE CUENTA = '110000001 '"_s, 4);
        fila("tipo de compra en minúsculas", u"SELECT count(*) FROM C_MV_CPTE WHERE TC = 'opg '"_s,
             2);
        fila("un tipo no encuentra otro que empieza igual",
             u"SELECT count(*) FROM C_MV_CPTE WHERE TC = 'OP'"_s, 0);
    }

    void codigosSinMayusculasNiBlancos()
    {
        QFETCH(QString, sql);
        QFETCH(qint64, esperado);
        QCOMPARE(contar(sql), esperado);
    }

    // A key that differs only in case or trailing blanks is the same key.
    void claveRepetidaPorMayusculasOBlancos_data()
    {
        QTest::addColumn<QString>("insercion");
        QTest::addColumn<QString>("cuenta");
        QTest::newRow("comprobante")
            << u"INSERT INTO MV_CPTE (TC, IDCOMPROBANTE, IDCOMPLEMENTO, FECHA) VALUES ('op  ', "
               u"'000100000001a', 0, '2026-12-01 00:00:00')"_s
            << u"SELECT count(*) FROM MV_CPTE WHERE TC = 'OP'"_s;
        QTest::newRow("artículo")
            << u"INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION) VALUES ('ban-1000x2000 ', "
               u"'Copia')"_s
            << u"SELECT count(*) FROM MA_ARTICULOS"_s;
        QTest::newRow("ajuste") << u"INSERT INTO TA_CONFIGURACION (CLAVE, VALOR) VALUES "
                                   u"('TITULOCLIENTES', 'x')"_s
                                << u"SELECT count(*) FROM TA_CONFIGURACION"_s;
    }

    void claveRepetidaPorMayusculasOBlancos()
    {
        QFETCH(QString, insercion);
        QFETCH(QString, cuenta);
        const qint64 antes = contar(cuenta);
        QSqlQuery q(m_db);
        QVERIFY(!q.exec(insercion));
        QCOMPARE(contar(cuenta), antes);
    }

    void ordenYLineasSeUnenSinMirarMayusculas()
    {
        QVERIFY(m_db.transaction());
        filas(u"INSERT INTO MV_CPTE (TC, IDCOMPROBANTE, FECHA, FINALIZADA) VALUES ('OP', "
              u"'000999999999A', '2026-12-01 00:00:00', 0)"_s);
        filas(u"INSERT INTO MV_CPTEINSUMOS (TC, IDCOMPROBANTE, LINEA, IDARTICULO, CANTIDAD) "
              u"VALUES ('op', '000999999999a', 1, 'tap-lam-500', 3)"_s);
        const auto resultado = filas(
            u"SELECT V_MV_CpteInsumos.IDARTICULO, V_MV_CpteInsumos.CANTIDAD FROM V_MV_Cpte "
            u"INNER JOIN V_MV_CpteInsumos ON V_MV_Cpte.TC = V_MV_CpteInsumos.TC AND "
            u"V_MV_Cpte.IdComprobante = V_MV_CpteInsumos.IdComprobante And "
            u"V_MV_Cpte.IdComplemento = V_MV_CpteInsumos.IdComplemento WHERE  V_MV_CPTE.TC = 'OP' "
            u"AND V_MV_CPTE.IdComprobante = '000999999999A'"_s);
        m_db.rollback();
        QCOMPARE(resultado.size(), 1);
        QCOMPARE(resultado.at(0).at(1).toDouble(), 3.0);
        QCOMPARE(contar(u"SELECT count(*) FROM MV_CPTE WHERE IDCOMPROBANTE = '000999999999A'"_s),
                 0);
    }

    void fechasContraLiterales_data()
    {
        QTest::addColumn<QString>("condicion");
        QTest::addColumn<qint64>("ordenes");
        QTest::newRow("octubre") << u"FECHA >= '2026-10-01' AND FECHA < '2026-11-01'"_s << 10LL;
        QTest::newRow("noviembre") << u"FECHA >= '2026-11-01' AND FECHA < '2026-12-01'"_s << 10LL;
        QTest::newRow("último día") << u"FECHA >= '2026-11-30'"_s << 1LL;
        QTest::newRow("antes de octubre") << u"FECHA < '2026-10-01'"_s << 0LL;
    }

    void fechasContraLiterales()
    {
        QFETCH(QString, condicion);
        QFETCH(qint64, ordenes);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP' AND "_s + condicion),
                 ordenes);
    }

    void registroDeAcceso()
    {
        filas(u"INSERT INTO CONTROL_ACCESO (Maquina,Usuario,Formulario,Tarea,Ingreso) values "
              u"('PC01','ANA','REPORTE DE ORDENES DE PRODUCCIÓN','REPORTE DE ORDENES DE "
              u"PRODUCCIÓN', '2026-12-07 10:15:30') "_s);
        QCOMPARE(contar(u"SELECT count(*) FROM CONTROL_ACCESO WHERE Usuario = 'ANA' AND Ingreso "
                        u">= '2026-12-07' AND Ingreso < '2026-12-08'"_s),
                 1);
        // A date in a regional form would be stored unreadable: refused instead.
        QSqlQuery q(m_db);
        QVERIFY(!q.exec(u"INSERT INTO CONTROL_ACCESO (Maquina,Usuario,Formulario,Tarea,Ingreso) "
                        u"values ('PC01','ANA','X','X', '31/12/2026 10:15:30') "_s));
    }

    // Width 1000, length 2000, depth 3, steel 7850 kg/m3, ten pieces: 471 kg.
    void demoReproduceElEjemploDeReferencia()
    {
        const auto linea = filas(
            u"SELECT V_MV_CpteInsumos.IDARTICULO, V_MV_CpteInsumos.CANTIDAD FROM V_MV_Cpte "
            u"INNER JOIN V_MV_CpteInsumos ON V_MV_Cpte.TC = V_MV_CpteInsumos.TC AND "
            u"V_MV_Cpte.IdComprobante = V_MV_CpteInsumos.IdComprobante And "
            u"V_MV_Cpte.IdComplemento = V_MV_CpteInsumos.IdComplemento WHERE  V_MV_CPTE.TC = 'OP' "
            u"AND V_MV_CPTE.IdComprobante = '000100000001A' AND V_MV_CpteInsumos.LINEA = 1"_s);
        QCOMPARE(linea.size(), 1);
        const QString articulo = linea.at(0).at(0).toString().leftJustified(25, u' ');
        const double cantidad = linea.at(0).at(1).toDouble();
        QCOMPARE(cantidad, 10.0);

        const auto insumos = filas(
            u"SELECT V_MA_ARTICULOS_1.PESO_ESPECIFICO AS PeInsumo, V_MA_ARTICULOS.LARGO, "
            u"V_MA_ARTICULOS.PROFUNDO , V_MA_ARTICULOS.Ancho, V_MA_ARTICULOS.LAMINADO FROM "
            u"V_MA_INSUMOS LEFT OUTER JOIN V_MA_ARTICULOS ON V_MA_INSUMOS.IdArticulo = "
            u"V_MA_ARTICULOS.IDARTICULO LEFT OUTER JOIN V_MA_ARTICULOS AS V_MA_ARTICULOS_1 ON "
            u"V_MA_INSUMOS.IdArticuloInsumo = V_MA_ARTICULOS_1.IDARTICULO WHERE "
            u"V_MA_INSUMOS.IDARTICULO='"_s +
            articulo + u"'"_s);
        QCOMPARE(insumos.size(), 1);
        const double pe = insumos.at(0).at(0).toDouble();
        const double largo = insumos.at(0).at(1).toDouble();
        const double profundo = insumos.at(0).at(2).toDouble();
        const double ancho = insumos.at(0).at(3).toDouble();
        QCOMPARE(sinNulos(insumos.at(0).at(4)), u"NO"_s);
        const double kg = cantidad * (((profundo * ((ancho / 1000) * (largo / 1000))) / 1000) * pe);
        QVERIFY2(std::abs(kg - 471) < 1e-9, qPrintable(QString::number(kg, 'g', 17)));
    }

    void demoMuestraLaminadosYArticulosSinLista()
    {
        QStringList marcas;
        for (const auto& fila :
             filas(u"SELECT DISTINCT A.LAMINADO FROM V_MV_CPTEINSUMOS L JOIN V_MA_ARTICULOS A ON "
                   u"A.IDARTICULO = L.IDARTICULO JOIN V_MA_INSUMOS I ON I.IDARTICULO = "
                   u"A.IDARTICULO WHERE L.TC = 'OP'"_s))
            marcas << sinNulos(fila.at(0));
        for (const QString& marca : {u"SI"_s, u"S"_s, u"1"_s, u"si"_s, u"NO"_s, u"<nulo>"_s})
            QVERIFY2(marcas.contains(marca), qPrintable(marcas.join(u',')));

        const auto sinLista =
            filas(u"SELECT DISTINCT L.IDARTICULO FROM V_MV_CPTEINSUMOS L WHERE L.TC = 'OP' AND NOT "
                  u"EXISTS (SELECT 1 FROM V_MA_INSUMOS I WHERE I.IDARTICULO = L.IDARTICULO)"_s);
        QCOMPARE(sinLista.size(), 1);
        QCOMPARE(sinNulos(sinLista.at(0).at(0)), u"SOP-PARED-150"_s);
    }

    void demoOrdenesCompletas()
    {
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP' AND (FECHA < "
                        u"'2026-10-01' OR FECHA >= '2026-12-01')"_s),
                 0);
        QVERIFY(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP' AND FINALIZADA = 0"_s) > 0);
        QVERIFY(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP' AND FINALIZADA = 1"_s) > 0);
        const auto lineasPorOrden = filas(
            u"SELECT min(n), max(n), count(*) FROM (SELECT C.IDCOMPROBANTE, count(L.LINEA) AS n "
            u"FROM V_MV_CPTE C LEFT JOIN V_MV_CPTEINSUMOS L ON L.TC = C.TC AND L.IDCOMPROBANTE "
            u"= C.IDCOMPROBANTE AND L.IDCOMPLEMENTO = C.IDCOMPLEMENTO WHERE C.TC = 'OP' GROUP BY "
            u"C.IDCOMPROBANTE) X"_s);
        QCOMPARE(lineasPorOrden.at(0).at(0).toInt(), 2);
        QCOMPARE(lineasPorOrden.at(0).at(1).toInt(), 4);
        QCOMPARE(lineasPorOrden.at(0).at(2).toInt(), 20);
        // Lines without a header, supplies missing from the articles: none.
        QCOMPARE(contar(u"SELECT count(*) FROM MV_CPTEINSUMOS L WHERE NOT EXISTS (SELECT 1 FROM "
                        u"MV_CPTE C WHERE C.TC = L.TC AND C.IDCOMPROBANTE = L.IDCOMPROBANTE AND "
                        u"C.IDCOMPLEMENTO = L.IDCOMPLEMENTO)"_s),
                 0);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MA_INSUMOS I LEFT JOIN V_MA_ARTICULOS A ON "
                        u"A.IDARTICULO = I.IDARTICULOINSUMO WHERE A.IDARTICULO IS NULL"_s),
                 0);
    }

    void demoCargosConYSinSaldo()
    {
        for (const QString& condicion : {u"SALDO IS NULL"_s, u"SALDO = 0"_s, u"SALDO > 0"_s})
            QVERIFY2(contar(u"SELECT count(*) FROM V_MV_CARGOSAPLICADOS WHERE "_s + condicion) > 0,
                     qPrintable(condicion));
        QCOMPARE(contar(u"SELECT count(*) FROM TA_CONFIGURACION WHERE CLAVE IN "
                        u"('MostrarStockenConsultas', 'TituloClientes', 'TituloProveedores', "
                        u"'CantidadDecimales', 'CONDIVAEMPRESA', 'UsaReferenciaPresupuestos')"_s),
                 6);
    }

    void separarSentencias_data()
    {
        QTest::addColumn<QString>("guion");
        QTest::addColumn<QStringList>("sentencias");
        QTest::newRow("dos") << u"SELECT 1;\nSELECT 2;"_s
                             << QStringList{u"SELECT 1"_s, u"SELECT 2"_s};
        QTest::newRow("punto y coma entre comillas")
            << u"INSERT INTO T VALUES ('a;b'); SELECT 2"_s
            << QStringList{u"INSERT INTO T VALUES ('a;b')"_s, u"SELECT 2"_s};
        QTest::newRow("comillas dobladas")
            << u"SELECT 'O''Higgins; -- no es comentario';"_s
            << QStringList{u"SELECT 'O''Higgins; -- no es comentario'"_s};
        QTest::newRow("comentarios")
            << u"-- uno; dos\nSELECT 1; -- fin;\n"_s << QStringList{u"SELECT 1"_s};
    }

    void separarSentencias()
    {
        QFETCH(QString, guion);
        QFETCH(QStringList, sentencias);
        QCOMPARE(basedatos::separarSentencias(guion), sentencias);
    }

    void vaciarNoDejaNada()
    {
        basedatos::vaciarEsquema(m_db);
#ifdef RP_PRUEBA_POSTGRES
        QCOMPARE(contar(u"SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = "
                        u"c.relnamespace WHERE n.nspname = current_schema()"_s),
                 0);
        QCOMPARE(contar(u"SELECT count(*) FROM pg_collation c JOIN pg_namespace n ON n.oid = "
                        u"c.collnamespace WHERE n.nspname = current_schema()"_s),
                 0);
#else
        QCOMPARE(contar(u"SELECT count(*) FROM sqlite_master WHERE name NOT LIKE 'sqlite%'"_s), 0);
#endif
        QVERIFY(!basedatos::hayEsquema(m_db));
        basedatos::vaciarEsquema(m_db); // nothing there: still fine
        basedatos::crearEsquema(m_db);
        QVERIFY(basedatos::hayEsquema(m_db));
    }

    void generadorEscribeLoPedido_data()
    {
        QTest::addColumn<int>("ordenes");
        QTest::addColumn<int>("lineas");
        QTest::addColumn<int>("insumos");
        QTest::addColumn<int>("articulos");
        QTest::newRow("forma habitual en chico") << 300 << 3 << 5 << 40;
        QTest::newRow("una línea, artículos sin lista") << 25 << 1 << 0 << 3;
        QTest::newRow("muchos insumos") << 10 << 4 << 40 << 12;
    }

    void generadorEscribeLoPedido()
    {
        QFETCH(int, ordenes);
        QFETCH(int, lineas);
        QFETCH(int, insumos);
        QFETCH(int, articulos);
        reiniciar(false);
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = ordenes;
        opciones.lineasPorOrden = lineas;
        opciones.insumosPorArticulo = insumos;
        opciones.articulos = articulos;
        const basedatos::ResumenGenerador r = basedatos::generar(m_db, opciones);
        const int materiasPrimas = basedatos::materiasPrimasGeneradas(opciones);

        QCOMPARE(r.ordenes, ordenes);
        QCOMPARE(r.lineas, qint64(ordenes) * lineas);
        QCOMPARE(r.insumos, qint64(articulos) * insumos);
        QCOMPARE(r.articulos, articulos + materiasPrimas);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP'"_s), r.ordenes);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTEINSUMOS WHERE TC = 'OP'"_s), r.lineas);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MA_INSUMOS"_s), r.insumos);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MA_ARTICULOS"_s), r.articulos);
        // What the report expands: every line, every supply of its article,
        // each supply a known article with a specific weight.
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTEINSUMOS L JOIN V_MA_INSUMOS I ON "
                        u"I.IDARTICULO = L.IDARTICULO JOIN V_MA_ARTICULOS A ON A.IDARTICULO = "
                        u"I.IDARTICULOINSUMO WHERE A.PESO_ESPECIFICO > 0"_s),
                 r.lineas * insumos);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTEINSUMOS L LEFT JOIN V_MA_ARTICULOS A ON "
                        u"A.IDARTICULO = L.IDARTICULO WHERE A.IDARTICULO IS NULL OR A.ANCHO IS "
                        u"NULL"_s),
                 0);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE FECHA < '2026-01-01' OR FECHA >= "
                        u"'2027-01-01'"_s),
                 0);
        QVERIFY(r.segundos > 0);
    }

    void generadorEsDeterministaPorSemilla()
    {
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = 120;
        opciones.articulos = 15;
        opciones.semilla = 7;
        reiniciar(false);
        basedatos::generar(m_db, opciones);
        const QByteArray primera = huella();
        reiniciar(false);
        basedatos::generar(m_db, opciones);
        QCOMPARE(huella(), primera);
        opciones.semilla = 8;
        reiniciar(false);
        basedatos::generar(m_db, opciones);
        QVERIFY(huella() != primera);
    }

    void generadorConviveConLaDemo()
    {
        reiniciar(true);
        basedatos::OpcionesGenerador opciones;
        opciones.ordenes = 30;
        opciones.articulos = 10;
        basedatos::generar(m_db, opciones);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE TC = 'OP'"_s), 50);
        QCOMPARE(contar(u"SELECT count(*) FROM V_MV_CPTE WHERE IDCOMPROBANTE = '000100000001A'"_s),
                 2);
    }

    void generadorRechazaOpciones_data()
    {
        QTest::addColumn<int>("ordenes");
        QTest::addColumn<int>("lineas");
        QTest::addColumn<int>("insumos");
        QTest::addColumn<int>("articulos");
        QTest::newRow("sin órdenes") << 0 << 3 << 5 << 10;
        QTest::newRow("insumos negativos") << 10 << 3 << -1 << 10;
    }

    void generadorRechazaOpciones()
    {
        QFETCH(int, ordenes);
        QFETCH(int, lineas);
        QFETCH(int, insumos);
        QFETCH(int, articulos);
        reiniciar(false);
        basedatos::OpcionesGenerador opciones{ordenes, lineas, insumos, articulos, 1};
        try {
            basedatos::generar(m_db, opciones);
            QFAIL("el generador aceptó opciones imposibles");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::InvalidArgument);
            QVERIFY2(error.description().startsWith(u"Generador: "_s),
                     qPrintable(error.description()));
        }
        QCOMPARE(contar(u"SELECT count(*) FROM MA_ARTICULOS"_s), 0);
    }

#ifndef RP_PRUEBA_POSTGRES
    void abrirSqliteRechazaLoQueNoEsUnaBase()
    {
        const QString carpeta = soporte::carpetaNueva(u"abrir"_s);
        const QString faltante = carpeta + u"/no-existe.sqlite"_s;
        try {
            basedatos::abrirSqlite(faltante, u"faltante"_s, false);
            QFAIL("abrió un archivo que no existe");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::FileNotFound);
            QVERIFY2(error.description().contains(faltante), qPrintable(error.description()));
        }
        QVERIFY(!QFile::exists(faltante));

        const QString texto = carpeta + u"/texto.sqlite"_s;
        QFile archivo(texto);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(QByteArray(2048, 'x'));
        archivo.close();
        try {
            basedatos::abrirSqlite(texto, u"texto"_s, false);
            QFAIL("abrió un archivo que no es una base");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::Database);
            QVERIFY2(error.description().contains(texto), qPrintable(error.description()));
        }
        QVERIFY(!QSqlDatabase::contains(u"texto"_s));
    }
#endif
};

QTEST_GUILESS_MAIN(PruebaBaseDatos)
#include "tst_basedatos.moc"
