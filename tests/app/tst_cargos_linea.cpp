#include "BaseDatos.h"
#include "Soporte.h"
#include "app/CargosLinea.h"
#include "components/Componentes.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "session/ModGlobal.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

// --cargos-reales: the program run as another program of the suite runs it
// (no window with --csv), and the dialog's run answered in-process.
class TstCargosLinea : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    QString m_base;

    using Salida = soporte::Salida;
    Salida correr(const QStringList& argumentos)
    {
        return soporte::correrPrograma(QStringLiteral(RP_OPRODUCCION), argumentos, m_carpeta);
    }
    QString base() const { return u"@DbName="_s + m_base + u";"_s; }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"cargos_linea"_s);
        m_base = m_carpeta + u"/demo.db"_s;
        QSqlDatabase db = basedatos::abrirSqlite(m_base, u"crear"_s, true);
        basedatos::crearEsquema(db);
        basedatos::cargarDemo(db);
        db.close();
    }

    void leerOpciones_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<bool>("valida");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("csv");

        QTest::newRow("cuenta") << QStringList{u"@DbName=x;"_s, u"--cargos-reales=O'B"_s} << true
                                << u"O'B"_s << QString();
        QTest::newRow("con csv") << QStringList{u"--CSV=-"_s, u"--Cargos-Reales=110000001"_s,
                                                u"@DbName=x;"_s}
                                 << true << u"110000001"_s << u"-"_s;
        QTest::newRow("sin valor")
            << QStringList{u"--cargos-reales"_s} << false << QString() << QString();
        QTest::newRow("csv sin valor")
            << QStringList{u"--cargos-reales=1"_s, u"--csv="_s} << false << QString() << QString();
        QTest::newRow("opcion del reporte")
            << QStringList{u"--cargos-reales=1"_s, u"--xlsx=a.xlsx"_s} << false << QString()
            << QString();
        QTest::newRow("dos cuentas") << QStringList{u"--cargos-reales=1"_s, u"--cargos-reales=2"_s}
                                     << false << QString() << QString();
    }

    void leerOpciones()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(bool, valida);
        QFETCH(QString, cuenta);
        QFETCH(QString, csv);
        if (!valida) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError, CargosLinea::Leer(argumentos));
            return;
        }
        const auto op = CargosLinea::Leer(argumentos);
        QVERIFY(op.has_value());
        QCOMPARE(op->cuenta, cuenta);
        QCOMPARE(op->csv, csv);
        QCOMPARE(op->pares, QStringList{u"@DbName=x;"_s});
        QVERIFY(!CargosLinea::Leer({u"@DbName=x;"_s, u"--csv=-"_s}).has_value());
    }

    void csv_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QStringList>("lineas"); // the first ones written
        QTest::addColumn<QString>("error");

        const QString encabezado = u"Fecha,Matricula,Concepto,Importe Pendiente,Observaciones"_s;
        QTest::newRow("lista")
            << QStringList{u"--cargos-reales=110000001"_s, u"--csv=-"_s} << 0
            << QStringList{u"110000001 Metalúrgica San Martín S.A."_s,
                           encabezado,
                           u"05/10/2026,AB123CD,Flete a obra,45000,Sin aplicar"_s,
                           u"03/11/2026,AC456EF,Grúa para descarga,60000,"
                           u"Aplicado en parte"_s,
                           u"20/11/2026,AC456EF,Estadía de camión,25000,"_s,
                           QString()}
            << QString();
        QTest::newRow("sin cargos")
            << QStringList{u"--cargos-reales=110000002"_s, u"--csv=-"_s} << 0
            << QStringList{u"110000002 Carpintería Los Álamos S.R.L."_s, encabezado, QString()}
            << QString();
        QTest::newRow("apostrofo")
            << QStringList{u"--cargos-reales=O'BRIEN"_s, u"--csv=-"_s} << 0
            << QStringList{u"O'BRIEN "_s, encabezado, QString()} << QString();
        QTest::newRow("base que no existe")
            << QStringList{u"@DbName=/no/existe/base.db;"_s, u"--cargos-reales=1"_s, u"--csv=-"_s}
            << 2 << QStringList{QString()} << u"rp_oproduccion: no se pudo iniciar la sesión"_s;
        QTest::newRow("opcion ajena")
            << QStringList{u"--cargos-reales=1"_s, u"--pdf=a.pdf"_s} << 2 << QStringList{QString()}
            << u"rp_oproduccion: con --cargos-reales solo vale --csv"_s;
    }

    void csv()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        QFETCH(QStringList, lineas);
        QFETCH(QString, error);

        if (!argumentos.first().startsWith(u'@'))
            argumentos.prepend(base());
        const Salida s = correr(argumentos);
        QCOMPARE(s.codigo, codigo);
        QCOMPARE(s.out.split(u"\r\n"_s).mid(0, lineas.size()), lineas);
        QCOMPARE(s.err.count(u'\n'), error.isEmpty() ? 0 : 1);
        QVERIFY2(s.err.startsWith(error), qPrintable(s.err));
    }

    // The dialog itself, answered once it is up: the exit status and the lines.
    void ventana_data()
    {
        QTest::addColumn<QList<int>>("marcadas");
        QTest::addColumn<bool>("acepta");
        QTest::addColumn<int>("codigo");
        QTest::addColumn<QString>("texto");

        QTest::newRow("acepta") << QList<int>{0, 2} << true << 0 << u"1\t45000\n4\t25000\n"_s;
        QTest::newRow("acepta sin marcar") << QList<int>() << true << 0 << QString();
        QTest::newRow("cierra") << QList<int>{0} << false << 1 << QString();
    }

    void ventana()
    {
        QFETCH(QList<int>, marcadas);
        QFETCH(bool, acepta);
        QFETCH(int, codigo);
        QFETCH(QString, texto);
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        CargosSeleccionados().clear();

        QTimer reloj;
        connect(&reloj, &QTimer::timeout, this, [&] {
            auto* dialogo = qobject_cast<FrmCtrlCargosReales*>(QApplication::activeModalWidget());
            if (!dialogo)
                return;
            reloj.stop();
            for (int r : marcadas)
                dialogo->ListView1.setChecked(r, true);
            if (acepta)
                QTest::keyClick(dialogo, Qt::Key_Escape);
            else
                dialogo->close();
        });
        reloj.start(10);
        QCOMPARE(CargosLinea::Ejecutar({{base()}, u"110000001"_s, {}}), codigo);
        QCOMPARE(CargosLinea::TextoCargos(CargosSeleccionados()), texto);
        QCOMPARE(CargosSeleccionados().empty(), !acepta);
    }
};

QTEST_MAIN(TstCargosLinea)
#include "tst_cargos_linea.moc"
