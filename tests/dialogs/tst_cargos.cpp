#include "BaseDatos.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "dialogs/CargosSeleccionados.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "dialogs/FrmMenus.h"
#include "platform/controls/GridModel.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Twips.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Charges the demo has not got: an account with an apostrophe, one with six
// charges, an ID beyond 16 bits, and (through the view) a charge listed
// twice and one without a date.
const QStringList kDatosPrueba = {
    u"INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION, TIPO) VALUES "
    u"('O''BRIEN', 'Transportes O''Brien', 'C'), ('SEIS', 'Seis Cargos S.A.', 'C'), "
    u"('FUERA', 'Fuera de Rango S.R.L.', 'C'), ('DUPLICADO', 'Duplicados S.A.', 'C')"_s,
    u"INSERT INTO MV_CARGOSAPLICADOS (ID, CUENTA, FECHA, MATRICULA, CONCEPTO, IMPORTE, SALDO, "
    u"OBSERVACIONES) VALUES "
    u"(1234, 'O''BRIEN', '2026-11-02 00:00:00', 'AA111BB', 'Flete', 500, NULL, NULL), "
    u"(2001, 'SEIS', '2026-11-01 00:00:00', NULL, 'Uno', 100.25, NULL, NULL), "
    u"(2002, 'SEIS', '2026-11-02 00:00:00', NULL, 'Dos', 200, 150.5, NULL), "
    u"(2003, 'SEIS', '2026-11-03 00:00:00', NULL, 'Tres', 300, NULL, NULL), "
    u"(2004, 'SEIS', '2026-11-04 00:00:00', NULL, 'Cuatro', 400, NULL, NULL), "
    u"(2005, 'SEIS', '2026-11-05 00:00:00', NULL, 'Cinco', 500, 0.0001, NULL), "
    u"(2006, 'SEIS', '2026-11-06 00:00:00', NULL, 'Seis', 600, NULL, NULL), "
    u"(40000, 'FUERA', '2026-11-07 00:00:00', NULL, 'Fuera de rango', 700, NULL, NULL), "
    u"(3001, 'DUPLICADO', '2026-11-08 00:00:00', NULL, 'Repetido', 800, NULL, NULL), "
    u"(3002, 'DUPLICADO', '2026-11-09 00:00:00', NULL, 'Sin fecha', 900, 450, NULL)"_s,
    u"DROP VIEW V_MV_CARGOSAPLICADOS"_s,
    u"CREATE VIEW V_MV_CARGOSAPLICADOS AS "
    u"SELECT ID, CUENTA, CASE WHEN CONCEPTO = 'Sin fecha' THEN NULL ELSE FECHA END AS FECHA, "
    u"MATRICULA, CONCEPTO, IMPORTE, SALDO, OBSERVACIONES FROM MV_CARGOSAPLICADOS "
    u"UNION ALL SELECT ID, CUENTA, FECHA, MATRICULA, CONCEPTO, IMPORTE, SALDO, OBSERVACIONES "
    u"FROM MV_CARGOSAPLICADOS WHERE ID = 3001"_s};

void prepararBase(QSqlDatabase db)
{
    basedatos::crearEsquema(db);
    basedatos::cargarDemo(db);
    for (const QString& sql : kDatosPrueba) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            QFAIL(qPrintable(q.lastError().text()));
    }
}

QString n(const QString& conPunto)
{
    return soporte::numeroDelSistema(conPunto);
}

QStringList columna(const ListViewModel& lista, int col)
{
    QStringList out;
    for (int r = 0; r < lista.rows(); ++r)
        out << (col < 0 ? lista.row(r).key : lista.text(r, col));
    return out;
}

QStringList cargos()
{
    QStringList out;
    for (const CargoSeleccionado& c : CargosSeleccionados())
        out << QString::number(c.IdCargo) + u' ' + c.ImporteCargo.toString();
    return out;
}

const QStringList kPrevios = {u"7 1"_s, u"0 0"_s};

} // namespace

// The real dialog on the offscreen platform over the demo database, on SQLite
// and on PostgreSQL through ODBC. The input box, the message boxes and the
// error dialog answer through CompGeneral's hooks.
class TstCargos : public QObject
{
    Q_OBJECT

    QString m_sqlite;
    QString m_dsn;
    QStringList m_mensajes;
    QStringList m_preguntas;
    QStringList m_etiquetas;
    QString m_respuesta;
    int m_emergentes = 0;

    bool abrir(const QString& motor, const QString& cuenta)
    {
        Componentes::ReiniciarParaPruebas();
        CompGeneral& general = Componentes::General();
        general.setAvisador([this](const QString& texto, int estilo, const QString& titulo) {
            m_mensajes << u"%1 [%2] %3"_s.arg(titulo, QString::number(estilo), texto);
            return 1;
        });
        general.setPreguntador(
            [this](const QString& pregunta, const QString& titulo, const QString& porDefecto) {
                m_preguntas << u"%1 [%2] %3"_s.arg(titulo, porDefecto, pregunta);
                return m_respuesta;
            });
        general.setPresentador([this](const RuntimeError&, const QString& etiqueta) {
            m_etiquetas << etiqueta;
            return int(CompGeneral::Abortar);
        });
        if (!soporte::conectarDatos(motor, m_sqlite, m_dsn))
            return false;
        FrmCtrlCargosReales& f = FrmCtrlCargosReales::Instancia();
        f.Cliente = cuenta;
        f.Form_Load();
        f.show();
        return QTest::qWaitForWindowExposed(&f);
    }

    static FrmCtrlCargosReales& dialogo() { return FrmCtrlCargosReales::Instancia(); }

    // Answers the pop-up menu, if one opens, with these keys.
    void responderMenu(const QList<int>& teclas)
    {
        QTimer::singleShot(0, qApp, [this, teclas] {
            if (auto* emergente = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                ++m_emergentes;
                for (int tecla : teclas)
                    QTest::keyClick(emergente, Qt::Key(tecla));
            }
        });
    }

    void clic(int fila, Qt::MouseButton boton)
    {
        ListView* vista = dialogo().ListView1Vista;
        const QPoint punto = vista->visualRect(dialogo().ListView1.index(fila, 2)).center();
        QTest::mousePress(vista->viewport(), boton, {}, punto);
        QTest::mouseRelease(vista->viewport(), boton, {}, punto);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        m_sqlite = soporte::carpetaNueva(u"cargos"_s) + u"/demo.db"_s;
        prepararBase(basedatos::abrirSqlite(m_sqlite, u"crear"_s, true));
        QSqlDatabase::removeDatabase(u"crear"_s);
        if (soporte::hayPostgres()) {
            m_dsn = soporte::postgresPropio(u"rp_cargos"_s);
            prepararBase(soporte::abrirPostgres(u"crear_pg"_s, m_dsn));
            QSqlDatabase::removeDatabase(u"crear_pg"_s);
        }
    }

    void init()
    {
        m_mensajes.clear();
        m_preguntas.clear();
        m_etiquetas.clear();
        m_emergentes = 0;
        CargosSeleccionados() = {{7, Currency::fromUnits(10000)}, {}};
        FrmMenus::Instancia().PRespuesta.clear();
    }

    void cleanup()
    {
        if (FrmCtrlCargosReales::HayInstancia())
            dialogo().Form_Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!FrmCtrlCargosReales::HayInstancia());
    }

    void lista_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QStringList>("claves");
        QTest::addColumn<QStringList>("importes");
        QTest::addColumn<QStringList>("fechas");

        for (const char* motor : {"sqlite", "postgres"}) {
            const auto fila = [motor](const char* caso) -> QTestData& {
                return QTest::addRow("%s: %s", motor, caso) << QString::fromUtf8(motor);
            };
            fila("saldo nulo y saldo cero")
                << u"110000001"_s << u"110000001 Metalúrgica San Martín S.A."_s
                << QStringList{u"D1"_s, u"D3"_s, u"D4"_s}
                << QStringList{u"45000"_s, u"60000"_s, u"25000"_s}
                << QStringList{u"05/10/2026"_s, u"03/11/2026"_s, u"20/11/2026"_s};
            fila("decimales") << u"110000004"_s << u"110000004 Equipamientos Córdoba S.A."_s
                              << QStringList{u"D7"_s} << QStringList{n(u"12000.5"_s)}
                              << QStringList{u"09/11/2026"_s};
            fila("sin cargos") << u"110000002"_s << u"110000002 Carpintería Los Álamos S.R.L."_s
                               << QStringList() << QStringList() << QStringList();
            fila("apostrofo") << u"O'BRIEN"_s << u"O'BRIEN Transportes O'Brien"_s
                              << QStringList{u"D1234"_s} << QStringList{u"500"_s}
                              << QStringList{u"02/11/2026"_s};
            fila("id repetido y fecha nula")
                << u"DUPLICADO"_s << u"DUPLICADO Duplicados S.A."_s
                << QStringList{u"D3001"_s, u"D3002"_s, QString()}
                << QStringList{u"800"_s, u"450"_s, u"800"_s}
                << QStringList{u"08/11/2026"_s, QString(), u"08/11/2026"_s};
            fila("cuenta que no existe") << u"NO EXISTE"_s << u"NO EXISTE "_s << QStringList()
                                         << QStringList() << QStringList();
        }
    }

    void lista()
    {
        QFETCH(QString, motor);
        QFETCH(QString, cuenta);
        QFETCH(QString, titulo);
        QFETCH(QStringList, claves);
        QFETCH(QStringList, importes);
        QFETCH(QStringList, fechas);
        if (!abrir(motor, cuenta))
            return;

        const FrmCtrlCargosReales& f = dialogo();
        QCOMPARE(f.windowTitle(), u"Control de cargos Reales"_s);
        QCOMPARE(f.Label1->text(), titulo);
        QCOMPARE(columna(f.ListView1, -1), claves);
        QCOMPARE(columna(f.ListView1, FrmCtrlCargosReales::ImportePendiente), importes);
        QCOMPARE(columna(f.ListView1, FrmCtrlCargosReales::Fecha), fechas);
        QCOMPARE(m_etiquetas, QStringList());

        QStringList titulos;
        for (int c = 0; c < f.ListView1.columns(); ++c)
            titulos << f.ListView1.column(c).text;
        QCOMPARE(titulos, (QStringList{u"Fecha"_s, u"Matricula"_s, u"Concepto"_s,
                                       u"Importe Pendiente"_s, u"Observaciones"_s}));
        QCOMPARE(f.ListView1.column(FrmCtrlCargosReales::Concepto).width,
                 twipsFromPixels(f.fontMetrics().horizontalAdvance(QString(25, u'X'))));
    }

    void cambioImporte_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("gesto");
        QTest::addColumn<bool>("marcada");
        QTest::addColumn<QString>("codigoPrevio");
        QTest::addColumn<QList<int>>("enElMenu");
        QTest::addColumn<QString>("respuesta");
        QTest::addColumn<int>("emergentes");
        QTest::addColumn<bool>("pregunta");
        QTest::addColumn<QString>("celda");
        QTest::addColumn<QString>("mensaje");

        const QList<int> cambiar{Qt::Key_Down, Qt::Key_Return};
        const QList<int> cancelar{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return};
        const QString miles = QLocale::system().groupSeparator();
        const QString ambiguo = u"1"_s + miles + u"500"_s;
        const QString mayor = u"Cambio de Importe [16] El Importe debe ser menor o igual al "
                              u"Importe original"_s;
        for (const char* motor : {"sqlite", "postgres"}) {
            const auto fila = [motor](const char* caso) -> QTestData& {
                return QTest::addRow("%s: %s", motor, caso) << QString::fromUtf8(motor);
            };
            fila("boton izquierdo") << u"izquierdo"_s << true << QString() << cambiar << u"1"_s << 0
                                    << false << u"45000"_s << QString();
            fila("fila sin marcar") << u"derecho"_s << false << QString() << cambiar << u"1"_s << 0
                                    << false << u"45000"_s << QString();
            fila("Cancelar en el menu") << u"derecho"_s << true << QString() << cancelar << u"1"_s
                                        << 1 << false << u"45000"_s << QString();
            fila("menu descartado tras un cambio")
                << u"derecho"_s << true << u"CambiarImporte"_s << QList<int>{Qt::Key_Escape}
                << u"1"_s << 1 << false << u"45000"_s << QString();
            fila("igual") << u"derecho"_s << true << QString() << cambiar << u"45000"_s << 1 << true
                          << u"45000"_s << QString();
            // The cell shows what the accept hands back, in the operator's notation.
            fila("menor con coma") << u"derecho"_s << true << QString() << cambiar << u"30000,5"_s
                                   << 1 << true << n(u"30000.5"_s) << QString();
            fila("redondeo") << u"derecho"_s << true << QString() << cambiar << u"44999,99995"_s
                             << 1 << true << u"45000"_s << QString();
            fila("separador de miles solo")
                << u"derecho"_s << true << QString() << cambiar << ambiguo << 1 << true
                << u"45000"_s
                << u"Cambio de Importe [16] \"%1\" puede leerse de dos maneras: en su "
                   u"configuración "
                   u"regional %2 separa los miles. Escriba 1500 si son miles o %3 si son decimales."_s
                       .arg(ambiguo, miles == u"."_s ? u"el punto"_s : u"la coma"_s, n(u"1.5"_s));
            fila("mayor") << u"derecho"_s << true << QString() << cambiar << u"45000.01"_s << 1
                          << true << u"45000"_s << mayor;
            fila("vacio o caja cerrada") << u"derecho"_s << true << QString() << cambiar
                                         << QString() << 1 << true << u"45000"_s << QString();
            fila("no numerico")
                << u"derecho"_s << true << QString() << cambiar << u"mil"_s << 1 << true
                << u"45000"_s
                << u"Cambio de Importe [16] \"mil\" no es un importe. Escriba un número, por "
                   u"ejemplo 1250,50."_s;
            fila("tecla de menu") << u"tecla"_s << true << QString() << cambiar << u"100"_s << 1
                                  << true << u"100"_s << QString();
            fila("negativo") << u"derecho"_s << true << QString() << cambiar << u"-5"_s << 1 << true
                             << u"45000"_s
                             << u"Cambio de Importe [16] El Importe no puede ser negativo"_s;
            // Beyond the currency's range: refused like any text that is no amount.
            for (const char* enorme : {"1000000000000000", "1e300"})
                fila(enorme) << u"derecho"_s << true << QString() << cambiar
                             << QString::fromLatin1(enorme) << 1 << true << u"45000"_s
                             << u"Cambio de Importe [16] \"%1\" no es un importe: queda fuera del "
                                u"rango de los importes. Escriba un número, por ejemplo 1250,50."_s
                                    .arg(QLatin1String(enorme));
        }
    }

    void cambioImporte()
    {
        QFETCH(QString, motor);
        QFETCH(QString, gesto);
        QFETCH(bool, marcada);
        QFETCH(QString, codigoPrevio);
        QFETCH(QList<int>, enElMenu);
        QFETCH(QString, respuesta);
        QFETCH(int, emergentes);
        QFETCH(bool, pregunta);
        QFETCH(QString, celda);
        QFETCH(QString, mensaje);
        if (!abrir(motor, u"110000001"_s))
            return;

        FrmCtrlCargosReales& f = dialogo();
        f.ListView1.setChecked(0, marcada);
        FrmMenus::Instancia().PRespuesta = codigoPrevio;
        m_respuesta = respuesta;
        responderMenu(enElMenu);
        if (gesto == u"tecla") {
            f.ListView1.setSelectedRow(0);
            QTest::keyClick(f.ListView1Vista, Qt::Key_Menu);
        } else {
            clic(0, gesto == u"derecho" ? Qt::RightButton : Qt::LeftButton);
        }

        QCOMPARE(m_emergentes, emergentes);
        QCOMPARE(m_preguntas,
                 pregunta ? QStringList{u"Control de Cargos Reales [45000] Ingrese el Nuevo "
                                        u"Importe debe ser Menor o Igual a 45000"_s}
                          : QStringList());
        QCOMPARE(f.ListView1.text(0, FrmCtrlCargosReales::ImportePendiente), celda);
        QCOMPARE(m_mensajes, mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
        QCOMPARE(f.ListView1.checked(0), marcada);
    }

    void aceptar_data()
    {
        QTest::addColumn<QString>("motor");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QList<int>>("marcadas");
        QTest::addColumn<bool>("conEsc");
        QTest::addColumn<QStringList>("esperados");
        QTest::addColumn<QString>("rechazo");

        for (const char* motor : {"sqlite", "postgres"}) {
            const auto fila = [motor](const char* caso) -> QTestData& {
                return QTest::addRow("%s: %s", motor, caso) << QString::fromUtf8(motor);
            };
            fila("ninguna") << u"SEIS"_s << QList<int>() << false << QStringList{u"0 0"_s}
                            << QString();
            fila("filas 2 y 5") << u"SEIS"_s << QList<int>{1, 4} << false
                                << QStringList{u"2002 150.5"_s, u"2005 0.0001"_s, u"0 0"_s}
                                << QString();
            fila("Esc") << u"SEIS"_s << QList<int>{0} << true
                        << QStringList{u"2001 100.25"_s, u"0 0"_s} << QString();
            fila("clave D1234") << u"O'BRIEN"_s << QList<int>{0} << false
                                << QStringList{u"1234 500"_s, u"0 0"_s} << QString();
            fila("una fila del id repetido") << u"DUPLICADO"_s << QList<int>{2} << false
                                             << QStringList{u"3001 800"_s, u"0 0"_s} << QString();
            fila("las dos filas del id repetido")
                << u"DUPLICADO"_s << QList<int>{0, 2} << false << kPrevios
                << u"El cargo 3001 está marcado dos veces"_s;
            fila("id fuera de 16 bits")
                << u"FUERA"_s << QList<int>{0} << true << kPrevios
                << u"El cargo \"40000\" de la fila 1 (07/11/2026, Fuera de rango, 700) no puede "
                   u"devolverse: su número no está entre -32768 y 32767."_s;
        }
    }

    void aceptar()
    {
        QFETCH(QString, motor);
        QFETCH(QString, cuenta);
        QFETCH(QList<int>, marcadas);
        QFETCH(bool, conEsc);
        QFETCH(QStringList, esperados);
        QFETCH(QString, rechazo);
        if (!abrir(motor, cuenta))
            return;

        FrmCtrlCargosReales& f = dialogo();
        for (int r : marcadas)
            f.ListView1.setChecked(r, true);
        if (conEsc)
            QTest::keyClick(f.ListView1Vista, Qt::Key_Escape);
        else
            QTest::mouseClick(f.CmdAceptar, Qt::LeftButton);

        QCOMPARE(cargos(), esperados);
        QCOMPARE(FrmCtrlCargosReales::HayInstancia(), !rechazo.isEmpty());
        if (rechazo.isEmpty()) {
            QCOMPARE(m_mensajes, QStringList());
        } else {
            QCOMPARE(m_mensajes.size(), 1);
            QVERIFY2(m_mensajes[0].contains(rechazo), qPrintable(m_mensajes[0]));
            QVERIFY(f.isVisible());
        }
    }

    // The modal show as a caller sees it: Esc accepts, closing does not.
    void mostrar_data()
    {
        QTest::addColumn<bool>("conEsc");
        QTest::addColumn<int>("resultado");
        QTest::addColumn<QStringList>("esperados");

        QTest::newRow("Esc") << true << int(QDialog::Accepted) << QStringList{u"0 0"_s};
        QTest::newRow("cerrar la ventana") << false << int(QDialog::Rejected) << kPrevios;
    }

    void mostrar()
    {
        QFETCH(bool, conEsc);
        QFETCH(int, resultado);
        QFETCH(QStringList, esperados);
        Componentes::ReiniciarParaPruebas();
        if (!soporte::conectarDatos(u"sqlite"_s, m_sqlite, {}))
            return;

        FrmCtrlCargosReales& f = dialogo();
        f.Cliente = u"SEIS"_s;
        // Once the modal window is up.
        QTimer reloj;
        connect(&reloj, &QTimer::timeout, &f, [&f, &reloj, conEsc] {
            if (QApplication::activeModalWidget() != &f)
                return;
            reloj.stop();
            if (conEsc)
                QTest::keyClick(&f, Qt::Key_Escape);
            else
                f.close();
        });
        reloj.start(10);
        QCOMPARE(f.Mostrar(), resultado);
        QCOMPARE(cargos(), esperados);
        QVERIFY(!FrmCtrlCargosReales::HayInstancia());
    }

    void errores()
    {
        Componentes::ReiniciarParaPruebas();
        Componentes::General().setPresentador([this](const RuntimeError&, const QString& e) {
            m_etiquetas << e;
            return int(CompGeneral::Abortar);
        });
        // Never connected: the title's lookup and the query both fail.
        FrmCtrlCargosReales& f = dialogo();
        f.Cliente = u"110000001"_s;
        f.Form_Load();
        QCOMPARE(m_etiquetas, (QStringList{u"CargarDatos"_s}));
        QCOMPARE(f.ListView1.rows(), 0);
        QCOMPARE(f.ListView1.columns(), 5);
    }

    void redimensionar_data()
    {
        QTest::addColumn<QSize>("tamano");
        QTest::addColumn<bool>("cabe");

        QTest::newRow("grande") << QSize(1000, 600) << true;
        QTest::newRow("demasiado chica") << QSize(10, 40) << false;
    }

    void redimensionar()
    {
        QFETCH(QSize, tamano);
        QFETCH(bool, cabe);
        if (!abrir(u"sqlite"_s, u"110000001"_s))
            return;
        FrmCtrlCargosReales& f = dialogo();
        const QRect lista = f.ListView1Vista->geometry();
        f.setMinimumSize(0, 0); // the set-up's minimum would not let it shrink so far
        f.resize(tamano);
        QTRY_COMPARE(f.size(), tamano);
        if (cabe) {
            QCOMPARE(f.ListView1Vista->width(), pixelsFromTwips(twipsFromPixels(f.width()) - 240));
            QCOMPARE(f.ListView1Vista->height(),
                     pixelsFromTwips(twipsFromPixels(f.height()) - 1100));
            QCOMPARE(f.Label1->width(), f.ListView1Vista->width());
            QCOMPARE(f.CmdAceptar->x(), (f.width() - f.CmdAceptar->width()) / 2);
            QVERIFY(f.CmdAceptar->geometry().top() > f.ListView1Vista->geometry().bottom());
            QVERIFY(f.CmdAceptar->geometry().bottom() < f.height());
        } else {
            QCOMPARE(f.ListView1Vista->geometry(), lista);
        }
    }

    void pintarFila()
    {
        GridModel grilla;
        grilla.setRows(3);
        grilla.setCols(4);
        grilla.setCol(2);
        FrmCtrlCargosReales::PintarFila(grilla, 1, 255);
        QCOMPARE(grilla.row(), 1);
        QCOMPARE(grilla.col(), 2);
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(grilla.backColor(1, c), 255);
            QCOMPARE(grilla.backColor(2, c), GridModel::NoColor);
        }
    }
};

QTEST_MAIN(TstCargos)
#include "tst_cargos.moc"
