#include "BaseDatos.h"
#include "LectorLibro.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "platform/controls/GridView.h"
#include "platform/controls/Twips.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "report/GraficoTotales.h"
#include "report/RP_OProduccion.h"
#include "report/nucleo/ResumenCarga.h"
#include "report/nucleo/TotalesInsumo.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QSqlQuery>
#include <QTabBar>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace Qt::StringLiterals;

// A window whose class is the suite's main frame.
class FRMMDI : public QWidget
{
    Q_OBJECT
};

// The report window, real, on the offscreen platform, over a demo database.
class TstVentana : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    QString m_base;
    QStringList m_mensajes;
    std::unique_ptr<RP_OProduccion> m_ventana;
    QList<int> m_terminado;

    struct Acceso
    {
        QString maquina, usuario, formulario, tarea, ingreso;
    };
    QList<Acceso> accesos()
    {
        QList<Acceso> filas;
        auto rs = Componentes::Datos().AbrirRecordset(
            u"SELECT Maquina, Usuario, Formulario, Tarea, Ingreso FROM CONTROL_ACCESO ORDER BY ID"_s);
        for (; !rs->atEof(); rs->moveNext())
            filas << Acceso{rs->field(u"Maquina"_s).toString(), rs->field(u"Usuario"_s).toString(),
                            rs->field(u"Formulario"_s).toString(), rs->field(u"Tarea"_s).toString(),
                            rs->field(u"Ingreso"_s).toString()};
        return filas;
    }

    void abrir(const QString& extra = {})
    {
        m_ventana = std::make_unique<RP_OProduccion>();
        m_ventana->TerminarPrograma = [this](int codigo) { m_terminado << codigo; };
        QCOMPARE(m_ventana->Form_Load(u"@DbName="_s + m_base + u";"_s + extra),
                 ModGlobal::Inicio::Seguir);
        m_ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ventana.get()));
    }

    // Orders 4 and 5, whose totals the tests below work out by hand.
    void cargarCuatroYCinco()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        const QList<int> indices = {0, 1, 2, 3, 4, 5, 8, 9};
        const QStringList cajas = {u"0001"_s,     u"00000004"_s, u"A"_s, u"0001"_s,
                                   u"00000005"_s, u"A"_s,        {},     {}};
        for (int i = 0; i < indices.size(); ++i)
            v.txtFields.at(indices[i])->setText(cajas[i]);
        v.CmdCargar->click();
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"ventana"_s);
        qputenv("RP_CARPETA_PROGRAMA", m_carpeta.toLocal8Bit());
        m_base = m_carpeta + u"/demo.db"_s;
        soporte::crearBaseDemo(m_base);
    }

    void init()
    {
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        m_mensajes.clear();
        m_terminado.clear();
        Componentes::General().setMensajero([this](const QString& m) { m_mensajes << m; });
        Componentes::General().setPresentador(
            [](const RuntimeError&, const QString&) { return 3; });
        QFile::remove(m_carpeta + u"/QX000LT.INI"_s);
    }
    void cleanup()
    {
        m_ventana.reset();
        if (Componentes::Datos().Conectado())
            Componentes::Datos().Ejecutar(u"DELETE FROM CONTROL_ACCESO"_s);
    }

    void controlesDelDisenio()
    {
        abrir(u"@UsuarioLogeado=ana;"_s);
        RP_OProduccion& v = *m_ventana;
        QCOMPARE(v.windowTitle(), u"Reporte de Ordenes de Producción"_s);
        QCOMPARE(v.objectName(), u"RP_OProduccion"_s);
        QCOMPARE(v.txtFields.indexes(), (QList<int>{0, 1, 2, 3, 4, 5, 8, 9}));
        const QStringList claves = {u"Sucursal_desde"_s, u"Nro_desde"_s,  u"Letra_Desde"_s,
                                    u"Sucursal_Hasta"_s, u"Nro_Hasta"_s,  u"Letra_Hasta"_s,
                                    u"Fecha_desde"_s,    u"Fecha_hasta"_s};
        const QList<int> indices = v.txtFields.indexes();
        for (int i = 0; i < indices.size(); ++i) {
            QLineEdit* caja = v.txtFields.at(indices[i]);
            QCOMPARE(CompTeclado::CampoDe(caja), claves[i]);
            QCOMPARE(CompTeclado::TipoTextoDe(caja), i < 6 ? u"COMPROBANTES"_s : u"fecha"_s);
            QCOMPARE(caja->property("Index").toInt(), indices[i]);
            QCOMPARE(caja->objectName(), u"txtFields"_s);
        }
        QCOMPARE(v.txtFields.at(8)->maxLength(), 10);
        QCOMPARE(v.txtFields.at(9)->maxLength(), 10);
        QCOMPARE(Componentes::Teclado().IndiceCampo(u"Fecha_Hasta"_s, v.txtFields), 9);

        QCOMPARE(v.ChkEstado.at(0)->text(), u"&Pendientes"_s);
        QCOMPARE(v.ChkEstado.at(1)->text(), u"&Finalizada"_s);
        QVERIFY(!v.ChkEstado.at(0)->isChecked() && !v.ChkEstado.at(1)->isChecked());
        QVERIFY(v.OptOrden.at(0)->isChecked());
        QCOMPARE(v.OptOrden.at(0)->property("Tag").toString(), u"{V_MV_Cpte.Fecha}"_s);
        QCOMPARE(v.OptOrden.at(1)->property("Tag").toString(), u"{V_MV_Cpte.IdComprobante}"_s);
        QVERIFY(v.OptTipo.at(2)->isChecked() && v.OptTipo.at(2)->isVisible());
        QVERIFY(!v.OptTipo.at(0)->isVisible() && !v.OptTipo.at(1)->isVisible());
        QCOMPARE(v.FrmTipo->title(), u"Nº de Orden de Producción"_s);
        QCOMPARE(v.Frame1.at(2)->title(), u"Fecha"_s);
        QCOMPARE(v.Frame1.at(3)->title(), u"Orden"_s);
        QCOMPARE(v.Frame1.at(4)->title(), u"Tipo"_s);
        QCOMPARE(v.Frame2->title(), u"Estado"_s);
        QCOMPARE(v.CmdCargar->text(), u"Cargar"_s);
        QCOMPARE(v.CmdExcel->text(), u"Exportar Excel"_s);
        QCOMPARE(v.CmdSalir->text(), u"Salir"_s);
        // Design positions, twips to pixels.
        QCOMPARE(v.CmdCargar->geometry(), rectFromTwips(3720, 720, 1575, 735));
        QCOMPARE(v.txtFields.at(4)->geometry(), rectFromTwips(4020, 240, 855, 285));
        QCOMPARE(v.Frame1.at(4)->geometry(), rectFromTwips(11040, 0, 1695, 615));
        QCOMPARE(v.MSFlexGrid1Vista->y(), pixelsFromTwips(2160));
        // The grid as the control starts: one fixed row, one fixed column.
        QCOMPARE(v.MSFlexGrid1.rows(), 2);
        QCOMPARE(v.MSFlexGrid1.cols(), 2);
        QCOMPARE(v.MSFlexGrid1.fixedRows(), 1);
        QCOMPARE(v.MSFlexGrid1.fixedCols(), 1);
        QVERIFY(!v.windowIcon().isNull());
    }

    void ordenDeTabulacion()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        QList<QWidget*> orden;
        for (const int i : {0, 1, 2, 3, 4, 5, 8, 9})
            orden << v.txtFields.at(i);
        // The hidden "Tipo" options are never reached, nor offered as focusable.
        orden << v.ChkEstado.at(1) << v.ChkEstado.at(0) << v.OptOrden.at(0) << v.OptOrden.at(1)
              << v.OptTipo.at(2) << v.CmdCargar << v.MSFlexGrid1Vista << v.CmdExcel << v.CmdSalir;
        for (const int i : {0, 1})
            QCOMPARE(v.OptTipo.at(i)->focusPolicy(), Qt::NoFocus);
        // The next widget of the focus chain that takes the focus with Tab.
        const auto siguiente = [](QWidget* w) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
            return w;
        };
        for (qsizetype i = 1; i < orden.size(); ++i)
            QCOMPARE(siguiente(orden.at(i - 1)), orden.at(i));
        // Typing goes through the keyboard rules; Enter moves on.
        v.activateWindow();
        v.txtFields.at(0)->setFocus();
        QTest::keyClicks(v.txtFields.at(0), u"1"_s);
        QTest::keyClick(v.txtFields.at(0), Qt::Key_Return);
        QTest::keyClicks(v.txtFields.at(1), u"1x0"_s);
        QTest::keyClick(v.txtFields.at(1), Qt::Key_Return);
        QTest::keyClicks(v.txtFields.at(2), u"a"_s);
        QTest::keyClick(v.txtFields.at(2), Qt::Key_Tab);
        QCOMPARE(v.txtFields.at(0)->text(), u"0001"_s);
        QCOMPARE(v.txtFields.at(1)->text(), u"00000010"_s);
        QCOMPARE(v.txtFields.at(2)->text(), u"A"_s);
        QCOMPARE(QApplication::focusWidget(), v.txtFields.at(3));
        v.txtFields.at(8)->setFocus();
        QTest::keyClicks(v.txtFields.at(8), u"011020261234"_s);
        QCOMPARE(v.txtFields.at(8)->text(), u"01/10/2026"_s);
    }

    void redimensionar()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        v.resize(1000, 600);
        QTRY_COMPARE(v.MSFlexGrid1Vista->width(), v.frameGeometry().width() - 20);
        QCOMPARE(v.MSFlexGrid1Vista->x(), 0);
        QCOMPARE(v.MSFlexGrid1Vista->height(),
                 v.frameGeometry().height() - pixelsFromTwips(2160) - 40);
        const QSize antes = v.MSFlexGrid1Vista->size();
        v.setMinimumSize(0, 0); // the set-up's minimum would not let it shrink so far
        v.resize(10, 60);       // too small for a positive width or height
        QTRY_COMPARE(v.width(), 10);
        QCOMPARE(v.MSFlexGrid1Vista->size(), antes);
        QVERIFY(m_mensajes.isEmpty());
    }

    void registroDeAcceso_data()
    {
        QTest::addColumn<QString>("linea");
        QTest::addColumn<QString>("usuario");
        QTest::newRow("usuario comun") << u"@UsuarioLogeado= ana ;"_s << u"ANA"_s;
        QTest::newRow("con apostrofo") << u"@UsuarioLogeado=o'brien;"_s << u"O'BRIEN"_s;
        QTest::newRow("sin usuario") << QString() << QString();
    }
    void registroDeAcceso()
    {
        QFETCH(QString, linea);
        const QDateTime antes = QDateTime::currentDateTime().addSecs(-1);
        abrir(linea);
        const QList<Acceso> filas = accesos();
        QCOMPARE(filas.size(), 1);
        QCOMPARE(filas[0].maquina, Componentes::Equipo().NombreEquipo().trimmed().toUpper());
        QTEST(filas[0].usuario, "usuario");
        QCOMPARE(filas[0].formulario, u"REPORTE DE ORDENES DE PRODUCCIÓN"_s);
        QCOMPARE(filas[0].tarea, u"REPORTE DE ORDENES DE PRODUCCIÓN"_s);
        const QDateTime ingreso = QDateTime::fromString(filas[0].ingreso, u"yyyy-MM-dd HH:mm:ss"_s);
        QVERIFY2(ingreso.isValid(), qPrintable(filas[0].ingreso));
        QVERIFY(ingreso >= antes && ingreso <= QDateTime::currentDateTime().addSecs(1));
    }

    void ventanasSinRegistroYMarcoPrincipal()
    {
        abrir();
        Componentes::Datos().Ejecutar(u"DELETE FROM CONTROL_ACCESO"_s);
        for (const QString& nombre : {u"frmConsola"_s, u"FRM_LOGIN"_s, u"FrmVentana"_s}) {
            QWidget w;
            w.setObjectName(nombre);
            w.setWindowTitle(u"Otra"_s);
            ModGlobal::DecorarFormulario(&w);
            QVERIFY(!w.windowIcon().isNull());
        }
        QCOMPARE(accesos().size(), 0);
        FRMMDI marco; // the main frame: icon, nothing else
        marco.setObjectName(u"FRMMDI"_s);
        ModGlobal::DecorarFormulario(&marco);
        QVERIFY(!marco.windowIcon().isNull());
        QCOMPARE(accesos().size(), 0);
        QWidget porNombre; // named so, of another type: the system's entry row
        porNombre.setObjectName(u"frmMDI"_s);
        porNombre.setWindowTitle(u"Menú"_s);
        ModGlobal::DecorarFormulario(&porNombre);
        QCOMPARE(accesos().size(), 1);
        QCOMPARE(accesos()[0].formulario, u"INGRESO AL SISTEMA"_s);
        QCOMPARE(accesos()[0].tarea, u"INGRESO AL SISTEMA"_s);
    }

    void iconoDelSistema()
    {
        abrir();
        const auto leer = [] {
            return Componentes::Ini().LeerValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s,
                                                u"(falta)"_s);
        };
        QCOMPARE(leer(), u"TELVARO"_s); // written back on the first window
        const qint64 telvaro =
            ModGlobal::IconoDelSistema(u"TELVARO"_s).pixmap(32).toImage().cacheKey();
        Q_UNUSED(telvaro);
        Componentes::Ini().EscribirValor(u"QX000LT.INI"_s, u"iconos"_s, u"ICONODELSISTEMA"_s,
                                         u"quantum"_s);
        QWidget w;
        ModGlobal::DecorarFormulario(&w);
        QCOMPARE(w.windowIcon().pixmap(32).toImage(),
                 ModGlobal::IconoDelSistema(u"QUANTUM"_s).pixmap(32).toImage());
        // A screen scaled by 2 gets each icon drawn at that size, not enlarged.
        for (const char* icono : {"TELVARO", "QUANTUM", "FABRICA"})
            QCOMPARE(
                ModGlobal::IconoDelSistema(QLatin1String(icono)).pixmap(QSize(64, 64), 2).size(),
                QSize(128, 128));
        Componentes::Ini().EscribirValor(u"QX000LT.INI"_s, u"Iconos"_s, u"IconoDelSistema"_s,
                                         u"NOHAY"_s);
        QWidget sinIcono;
        ModGlobal::DecorarFormulario(&sinIcono);
        QVERIFY(sinIcono.windowIcon().pixmap(32).toImage() !=
                ModGlobal::IconoDelSistema(u"TELVARO"_s).pixmap(32).toImage());
        QCOMPARE(leer(), u"NOHAY"_s);
    }

    void rejillaDeInsumos()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        v.MSFlexGrid1.setText(1, 1, u"resto"_s);
        v.IniciaGridInsumos();
        GridModel& g = v.MSFlexGrid1;
        QCOMPARE(g.cols(), 8);
        QCOMPARE(g.rows(), 2);
        const QStringList titulos = {QString(),     u"Nro OP"_s, u"Insumo"_s, u"Descrpcion"_s,
                                     u"Cantidad"_s, u"PE"_s,     u"Kg"_s,     u"Espesor"_s};
        const QList<int> anchos = {10, 1500, 2500, 4500, 1200, 1200, 1200, 1200};
        for (int c = 0; c < 8; ++c) {
            QCOMPARE(g.text(0, c), titulos[c]);
            QCOMPARE(g.colWidth(c), anchos[c]);
            QCOMPARE(g.text(1, c), QString());
        }
        QCOMPARE(v.MSFlexGrid1Vista->columnWidth(3), 300);
        QCOMPARE(v.MSFlexGrid1Vista->columnWidth(0), 1);
        v.CFG2(1, u"x"_s); // does nothing
        QCOMPARE(g.rows(), 2);
    }

    // While a load or an export runs the window takes no other command, and
    // Escape in the progress window cancels the work instead of hiding it.
    void ocupadaNoAdmiteOtraOrden_data()
    {
        QTest::addColumn<bool>("exportar");
        QTest::newRow("carga") << false;
        QTest::newRow("exportacion") << true;
    }
    void ocupadaNoAdmiteOtraOrden()
    {
        QFETCH(bool, exportar);
        const QString exportados = soporte::carpetaNueva(u"ventana_exportados"_s);
        qputenv("RP_CARPETA_EXPORTACION", exportados.toLocal8Bit());
        DesktopOpener::setInstance(std::make_unique<soporte::EscritorioDePrueba>());
        PrintPreview::setPresenter([](const Worksheet&) {});
        // The load's first statement would run for minutes: the commands meet
        // a load under way, and Escape has to interrupt that statement.
        const QString base = m_base;
        if (!exportar) {
            m_base = m_carpeta + u"/lenta.db"_s;
            if (!QFile::exists(m_base))
                soporte::crearBaseLenta(m_base);
        }
        abrir();
        m_base = base;
        RP_OProduccion& v = *m_ventana;
        if (exportar)
            v.CmdCargar->click(); // the grid to export
        const auto textos = [&] {
            QStringList t;
            for (int r = 0; r < v.MSFlexGrid1.rows(); ++r)
                for (int c = 0; c < v.MSFlexGrid1.cols(); ++c)
                    t << v.MSFlexGrid1.text(r, c);
            return t;
        };
        const QStringList antes = textos();
        m_mensajes.clear();

        // The first pass of events comes as the progress window opens; the
        // second once the work is under way.
        bool ocupada = false;
        bool sigueVisible = false;
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(0, this, [&] {
                QWidget* progreso = QApplication::activeModalWidget();
                ocupada = progreso && progreso->objectName() == u"CompProgreso"_s && v.Ocupada() &&
                          !v.CmdCargar->isEnabled() && !v.CmdExcel->isEnabled() &&
                          !v.CmdSalir->isEnabled() && !v.txtFields.at(8)->isEnabled() &&
                          !v.ChkEstado.at(0)->isEnabled();
                QTest::mouseClick(v.CmdCargar, Qt::LeftButton);
                v.CmdCargar->click();
                v.close();
                if (progreso)
                    QTest::keyClick(progreso, Qt::Key_Escape);
                sigueVisible = progreso && progreso->isVisible();
            });
        });
        (exportar ? v.CmdExcel : v.CmdCargar)->click();
        DesktopOpener::setInstance(nullptr);
        PrintPreview::setPresenter({});

        QVERIFY(ocupada);
        QVERIFY(sigueVisible);
        QVERIFY(!Componentes::Progreso().Visible());
        QVERIFY(v.isVisible() && m_terminado.isEmpty());
        QVERIFY(!v.Ocupada() && v.CmdCargar->isEnabled() && v.txtFields.at(8)->isEnabled());
        QCOMPARE(m_mensajes.size(), 1);
        QVERIFY2(m_mensajes.first().contains(u"cancelada"_s), qPrintable(m_mensajes.first()));
        if (exportar) {
            QCOMPARE(textos(), antes);
            QCOMPARE(QDir(exportados).entryList(QDir::Files), QStringList());
            return;
        }
        // Stopped in its first statement: the titles and the empty row,
        // nothing of a second load mixed in.
        const GridModel& g = v.MSFlexGrid1;
        QCOMPARE(g.rows(), 2);
        QCOMPARE(g.text(0, 1), u"Nro OP"_s);
        for (int c = 0; c < g.cols(); ++c)
            QCOMPARE(g.text(1, c), QString());
        QVERIFY(m_mensajes.first().contains(u" 0 líneas"_s));
        QVERIFY2(v.LblEstado->text().startsWith(u"Carga cancelada"_s) &&
                     !v.LblEstado->text().contains(u"No hay órdenes"_s),
                 qPrintable(v.LblEstado->text()));
        // The totals tab says why it is empty, and so does its export.
        QVERIFY2(v.GrfTotales->Lectura()->text().contains(u"la carga se canceló"_s),
                 qPrintable(v.GrfTotales->Lectura()->text()));
        v.TabGrillas->setCurrentIndex(1);
        m_mensajes.clear();
        v.CmdExcel->click();
        QCOMPARE(m_mensajes.size(), 1);
        QVERIFY2(m_mensajes.first().contains(u"la carga se canceló"_s),
                 qPrintable(m_mensajes.first()));
    }

    // After a load or an export the keyboard is where the operator left it, and
    // no progress window is left for a window manager to hand it to; with
    // nothing loaded there is nothing to export, and no file is made.
    void focoYExportacionVacia_data()
    {
        QTest::addColumn<QStringList>("fechas"); // of the load before; none: no load
        QTest::addColumn<bool>("exporta");
        QTest::newRow("sin cargar") << QStringList() << false;
        QTest::newRow("carga sin ordenes") << QStringList{u"1/1/2020"_s, u"2/1/2020"_s} << false;
        QTest::newRow("carga y exporta") << QStringList{u"1/10/2026"_s, u"2/10/2026"_s} << true;
    }
    void focoYExportacionVacia()
    {
        QFETCH(QStringList, fechas);
        QFETCH(bool, exporta);
        const QString exportados = soporte::carpetaNueva(u"ventana_exportados"_s);
        qputenv("RP_CARPETA_EXPORTACION", exportados.toLocal8Bit());
        DesktopOpener::setInstance(std::make_unique<soporte::EscritorioDePrueba>());
        int vistas = 0;
        PrintPreview::setPresenter([&](const Worksheet&) { ++vistas; });
        abrir();
        RP_OProduccion& v = *m_ventana;
        QVERIFY(QTest::qWaitForWindowActive(&v));
        const auto pulsar = [&](QPushButton* boton) {
            boton->setFocus();
            QTest::keyClick(boton, Qt::Key_Space);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            // The window is active again once the platform says so.
            QTRY_COMPARE(QApplication::focusWidget(), boton);
            for (QWidget* w : QApplication::topLevelWidgets())
                QVERIFY(w->objectName() != u"CompProgreso"_s);
        };
        if (!fechas.isEmpty()) {
            v.txtFields.at(8)->setText(fechas[0]);
            v.txtFields.at(9)->setText(fechas[1]);
            pulsar(v.CmdCargar);
        }
        pulsar(v.CmdExcel);
        DesktopOpener::setInstance(nullptr);
        PrintPreview::setPresenter({});
        QCOMPARE(QDir(exportados).entryList(QDir::Files).size(), exporta ? 1 : 0);
        QCOMPARE(vistas, exporta ? 1 : 0);
        QCOMPARE(m_mensajes, exporta ? QStringList()
                                     : QStringList{u"No hay datos para exportar: primero traiga "
                                                   u"las órdenes con \"Cargar\"."_s});
    }

    // The access-log row that cannot be written leaves the window open and
    // its reason in the error log; it is tried again after the load, and what
    // still cannot be written goes to the log whole, so it can be replayed.
    void accesoNoEscritoQuedaEnElLog_data()
    {
        QTest::addColumn<bool>("libreTrasAbrir");
        QTest::newRow("la base queda libre: la fila se escribe tras la carga") << true;
        QTest::newRow("sigue trabada: el log guarda la fila") << false;
    }
    void accesoNoEscritoQuedaEnElLog()
    {
        QFETCH(bool, libreTrasAbrir);
        const QString copia = m_carpeta + u"/solo_lectura.db"_s;
        QFile::remove(copia);
        QVERIFY(QFile::copy(m_base, copia));
        const auto trabar = [&](const QString& sql) {
            {
                QSqlDatabase db = basedatos::abrirSqlite(copia, u"trabar"_s, false);
                QVERIFY(QSqlQuery(db).exec(sql));
            }
            QSqlDatabase::removeDatabase(u"trabar"_s);
        };
        trabar(u"CREATE TRIGGER sin_escritura BEFORE INSERT ON CONTROL_ACCESO "
               "BEGIN SELECT RAISE(ABORT, 'attempt to write a readonly database'); END"_s);
        const QString log = m_carpeta + u"/QNErr.log"_s;
        QFile::remove(log);
        const QString base = m_base;
        m_base = copia;
        abrir(u"@UsuarioLogeado=ana;"_s);
        m_base = base;
        QVERIFY(m_ventana->isVisible());
        QVERIFY(m_mensajes.isEmpty());
        QFile archivo(log);
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(archivo.readAll());
        QVERIFY2(texto.contains(u"RegistrarAcceso"_s) && texto.contains(u"readonly"_s),
                 qPrintable(texto));
        archivo.close();
        if (libreTrasAbrir)
            trabar(u"DROP TRIGGER sin_escritura"_s);
        m_ventana->CmdCargar->click();
        const QList<Acceso> filas = accesos();
        QCOMPARE(filas.size(), libreTrasAbrir ? 1 : 0);
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        const QString despues = QString::fromUtf8(archivo.readAll());
        QCOMPARE(despues.contains(u"Fila de CONTROL_ACCESO no escrita: Maquina="_s),
                 !libreTrasAbrir);
        if (libreTrasAbrir)
            QCOMPARE(filas.first().usuario, u"ANA"_s);
        else
            QVERIFY2(despues.contains(u"Usuario=ANA"_s), qPrintable(despues));
    }

    // After "Cargar" the line under the grid counts what came (the kilograms
    // in kg/m3 terms: 40 copper bars of 50 x 300 x 10 mm weigh 53.76 kg), or
    // says that nothing did; a range upside down is refused before any query.
    void lineaDeEstado_data()
    {
        QTest::addColumn<QStringList>("cajas"); // the eight boxes, in the tab order
        QTest::addColumn<QString>("estado");    // as far as the time taken
        QTest::addColumn<QString>("mensaje");   // instead of a load
        const auto kg = soporte::numeroDelSistema;
        const QString cifras = u"Órdenes: 1   Líneas: %1   Insumos: %2   Kg: %3   "
                               u"Líneas con estimación incompleta: %4   Tiempo: "_s;
        QTest::newRow("orden 1, un insumo sin peso especifico")
            << QStringList{u"0001"_s,     u"00000001"_s, u"A"_s, u"0001"_s,
                           u"00000001"_s, u"A"_s,        {},     {}}
            << cifras.arg(2).arg(3).arg(kg(u"482.42"_s)).arg(1) << QString();
        QTest::newRow("orden 5, cobre y un articulo sin medidas")
            << QStringList{u"0001"_s,     u"00000005"_s, u"A"_s, u"0001"_s,
                           u"00000005"_s, u"A"_s,        {},     {}}
            << cifras.arg(3).arg(7).arg(kg(u"115.86"_s)).arg(2) << QString();
        QTest::newRow("hasta sin letra")
            << QStringList{u"0001"_s, u"00000003"_s, u"A"_s, u"0001"_s, u"00000003"_s, {}, {}, {}}
            << cifras.arg(2).arg(6).arg(kg(u"125.88"_s)).arg(2) << QString();
        QTest::newRow("ninguna")
            << QStringList{{}, {}, {}, {}, {}, {}, u"01/01/2020"_s, u"31/01/2020"_s}
            << u"No hay órdenes que cumplan el filtro"_s << QString();
        QTest::newRow("numeros al reves")
            << QStringList{u"0001"_s, u"00000005"_s, u"A"_s, u"0001"_s, u"00000003"_s, {}, {}, {}}
            << QString()
            << u"El número de orden desde (0001-00000005 A) es mayor que el número "
               u"hasta (0001-00000003)"_s;
        QTest::newRow("fechas al reves")
            << QStringList{{}, {}, {}, {}, {}, {}, u"31/10/2026"_s, u"1/10/2026"_s} << QString()
            << u"La fecha desde (31/10/2026) es posterior a la fecha hasta (1/10/2026)"_s;
        QTest::newRow("fecha que no existe")
            << QStringList{{}, {}, {}, {}, {}, {}, u"31/02/2026"_s, {}} << QString()
            << u"La fecha desde (\"31/02/2026\") no es una fecha válida"_s;
        QTest::newRow("todos los errores en un mensaje")
            << QStringList{{}, u"00000001"_s, {}, {}, {}, {}, u"31/02/2026"_s, u"30/02/2026"_s}
            << QString()
            << u"Indique la sucursal del número desde: el número de orden empieza por ella (por "
               u"ejemplo 0001). La fecha desde (\"31/02/2026\") no es una fecha válida: escríbala "
               u"como día/mes/año, por ejemplo 05/11/2026. La fecha hasta (\"30/02/2026\")"_s;
        QTest::newRow("numeros sin sucursal")
            << QStringList{{}, u"00000001"_s, {}, {}, u"00000010"_s, {}, {}, {}} << QString()
            << u"Indique la sucursal del número desde"_s;
        QTest::newRow("hasta sin sucursal")
            << QStringList{u"0001"_s, u"00000001"_s, {}, {}, u"00000010"_s, {}, {}, {}} << QString()
            << u"Indique la sucursal del número hasta"_s;
    }
    void lineaDeEstado()
    {
        QFETCH(QStringList, cajas);
        QFETCH(QString, estado);
        QFETCH(QString, mensaje);
        abrir();
        RP_OProduccion& v = *m_ventana;
        if (!mensaje.isEmpty())
            v.CmdCargar->click(); // a grid whose status a refused filter must leave in sight
        const QString estadoAntes = v.LblEstado->text();
        const QList<int> indices = {0, 1, 2, 3, 4, 5, 8, 9};
        for (int i = 0; i < indices.size(); ++i)
            v.txtFields.at(indices[i])->setText(cajas[i]);
        const qint64 antes = Componentes::Datos().SentenciasEmitidas();
        v.CmdCargar->click();
        if (!mensaje.isEmpty()) {
            QCOMPARE(m_mensajes.size(), 1);
            QVERIFY2(m_mensajes.first().contains(mensaje), qPrintable(m_mensajes.first()));
            QCOMPARE(Componentes::Datos().SentenciasEmitidas(), antes);
            QVERIFY(v.LblEstado->isVisible());
            QCOMPARE(v.LblEstado->text(), estadoAntes);
            // The keyboard goes to a box to mend, not back to "Cargar".
            QVERIFY(v.focusWidget());
            QCOMPARE(v.focusWidget()->objectName(), u"txtFields"_s);
            return;
        }
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        QVERIFY(v.LblEstado->isVisible());
        QVERIFY2(v.LblEstado->text().startsWith(estado), qPrintable(v.LblEstado->text()));
        // In the band under the grid, whose height stays as the resize rule sets it.
        QCOMPARE(v.LblEstado->y(), v.MSFlexGrid1Vista->geometry().bottom() + 1);
        QVERIFY(v.LblEstado->geometry().bottom() < v.height());
        QCOMPARE(v.MSFlexGrid1Vista->height(),
                 v.frameGeometry().height() - pixelsFromTwips(2160) - pixelsFromTwips(600));
    }

    // The titles of the figures say their units.
    void ayudaDeLasColumnas()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        v.IniciaGridInsumos();
        QHeaderView* titulos = v.MSFlexGrid1Vista->horizontalHeader();
        const auto ayuda = [&](int columna) {
            const QPoint p(titulos->sectionViewportPosition(columna) + 5, titulos->height() / 2);
            QHelpEvent evento(QEvent::ToolTip, p, titulos->viewport()->mapToGlobal(p));
            QApplication::sendEvent(titulos->viewport(), &evento);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(ayuda(3), QString()); // a title of its own
        QVERIFY2(ayuda(6).contains(u"volumen de la pieza en m³"_s) &&
                     ayuda(6).contains(u"peso específico en kg/m³"_s),
                 qPrintable(ayuda(6)));
        QCOMPARE(ayuda(5), u"Peso específico del insumo, en kg/m³."_s);
    }

    // Orders 4 and 5 by hand (kg = m³ × kg/m³ × pieces): the laminated door
    // (800 × 2000 × 40, 3 pieces) doubles the pine's 500 and the polyethylene's
    // 950; the screws (no specific weight) are in both orders; the welded
    // structure has no dimensions; the epoxy is in two lines of order 5.
    void totalesPorInsumo()
    {
        cargarCuatroYCinco();
        RP_OProduccion& v = *m_ventana;
        const auto kg = soporte::numeroDelSistema;
        const QStringList esperado = {
            u"|Insumo|Descripción|PE|Kg|Líneas|Órdenes|Incompletas|Kg incompletos"_s,
            u"|LAM-PE-05|Lámina de polietileno 0,5 mm|950|"_s + kg(u"364.80"_s) + u"|1|1|0"_s +
                u"|"_s + kg(u"0.00"_s),
            u"|TABLA-PINO|Tabla de pino elliottis|500|"_s + kg(u"192.00"_s) + u"|1|1|0"_s + u"|"_s +
                kg(u"0.00"_s),
            u"|CH-CU-ETP|Planchuela de cobre electrolítico|8960|"_s + kg(u"53.76"_s) + u"|1|1|0"_s +
                u"|"_s + kg(u"0.00"_s),
            u"|PERF-AL-6063|Perfil de aluminio 6063|2700|"_s + kg(u"52.49"_s) + u"|1|1|0"_s +
                u"|"_s + kg(u"0.00"_s),
            u"|BAR-LATON|Barra de latón|8500|"_s + kg(u"51.00"_s) + u"|1|1|0"_s + u"|"_s +
                kg(u"0.00"_s),
            u"|VID-FLOAT-6|Vidrio float 6 mm|2500|"_s + kg(u"48.60"_s) + u"|1|1|0"_s + u"|"_s +
                kg(u"0.00"_s),
            u"|CH-GALV-18|Chapa galvanizada calibre 18|7850|"_s + kg(u"9.42"_s) + u"|1|1|0"_s +
                u"|"_s + kg(u"0.00"_s),
            u"|PINT-EPOXI|Pintura epoxi en polvo|1400|"_s + kg(u"1.68"_s) + u"|2|1|1"_s + u"|"_s +
                kg(u"0.00"_s),
            u"|CH-AC-SAE1010|Chapa de acero SAE 1010|7850|"_s + kg(u"0.00"_s) + u"|1|1|1"_s +
                u"|"_s + kg(u"0.00"_s),
            u"|TORN-M6|Tornillo M6 zincado||"_s + kg(u"0.00"_s) + u"|2|2|2"_s + u"|"_s +
                kg(u"0.00"_s),
            u"|Total|||"_s + kg(u"773.75"_s) + u"|5|2|3|"_s + kg(u"0.00"_s)};
        QStringList filas;
        const GridModel& t = v.MSFlexGridTotales;
        for (int r = 0; r < t.rows(); ++r) {
            QStringList celdas;
            for (int c = 0; c < t.cols(); ++c)
                celdas << t.text(r, c);
            filas << celdas.join(u'|');
        }
        QCOMPARE(filas, esperado);

        // The marks: on the Kg cell of every incomplete supply row, nowhere else.
        const GridModel& g = v.MSFlexGrid1;
        QStringList marcados;
        for (int r = 1; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                if (!g.note(r, c).isEmpty())
                    marcados << g.text(r, 2) + u'@' + QString::number(c);
        QCOMPARE(marcados, QStringList({u"TORN-M6@6"_s, u"TORN-M6@6"_s, u"CH-AC-SAE1010@6"_s,
                                        u"PINT-EPOXI@6"_s}));
        // The view shows the note as the cell's tooltip.
        int fila = 1;
        while (g.text(fila, 2) != u"CH-AC-SAE1010")
            ++fila;
        GridView* vista = v.MSFlexGrid1Vista;
        const QModelIndex celda = g.index(fila - 1, 6);
        vista->scrollTo(celda);
        const QPoint p = vista->visualRect(celda).center();
        QHelpEvent evento(QEvent::ToolTip, p, vista->viewport()->mapToGlobal(p));
        QApplication::sendEvent(vista->viewport(), &evento);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), ResumenCarga::Motivo({u"ancho"_s, u"largo"_s, u"espesor"_s}));

        // The tab shows the totals in the grid's place, and "Exportar Excel"
        // takes the grid in sight.
        QVERIFY(v.TabGrillas->isVisible());
        QCOMPARE(&v.GrillaVisible(), &v.MSFlexGrid1);
        v.TabGrillas->setCurrentIndex(1);
        QVERIFY(v.MSFlexGridTotalesVista->isVisible() && v.MSFlexGrid1Vista->isHidden());
        QCOMPARE(v.PanelTotales->geometry(), v.MSFlexGrid1Vista->geometry());
        QCOMPARE(&v.GrillaVisible(), &v.MSFlexGridTotales);
    }

    // The bars of orders 4 and 5 (their totals above): the ten heaviest
    // materials, or with five bars "Otros" for the other five (48.60 + 9.42 +
    // 1.68 + 0 + 0 kg). The three heaviest take 610.56 of 773.75 kg.
    void graficoDeLosTotales_data()
    {
        QTest::addColumn<int>("mayores");
        QTest::addColumn<QStringList>("barras");
        const QStringList diez = {u"LAM-PE-05 364.80"_s,   u"TABLA-PINO 192.00"_s,
                                  u"CH-CU-ETP 53.76"_s,    u"PERF-AL-6063 52.49"_s,
                                  u"BAR-LATON 51.00"_s,    u"VID-FLOAT-6 48.60"_s,
                                  u"CH-GALV-18 9.42"_s,    u"PINT-EPOXI 1.68"_s,
                                  u"CH-AC-SAE1010 0.00"_s, u"TORN-M6 0.00"_s};
        QTest::newRow("diez") << 10 << diez;
        QTest::newRow("cinco") << 5 << diez.mid(0, 5) + QStringList{u"Otros (5 insumos) 59.70"_s};
        QTest::newRow("nueve") << 9 << diez; // one left over keeps its bar
    }
    void graficoDeLosTotales()
    {
        QFETCH(int, mayores);
        QFETCH(QStringList, barras);
        cargarCuatroYCinco();
        RP_OProduccion& v = *m_ventana;
        const auto datos = GraficoInsumos::DeLosTotales(v.MSFlexGridTotales, mayores);
        QVERIFY(datos);
        QStringList leidas;
        for (const GraficoInsumos::Barra& b : datos->barras)
            leidas << b.codigo + u' ' + QString::number(b.kilos, 'f', 2);
        QCOMPARE(leidas, barras);
        QCOMPARE(datos->Participacion(), u"3 insumos suman el 79 % de los kilos"_s);
        QCOMPARE(datos->Faltantes(), u"3 líneas con datos faltantes no suman todos sus kilos"_s);

        // The window draws the ten heaviest, with the reading under them.
        v.TabGrillas->setCurrentIndex(1);
        GraficoTotales& grafico = *v.GrfTotales;
        QVERIFY(grafico.isVisible());
        QCOMPARE(int(grafico.Datos()->barras.size()), 10);
        QCOMPARE(grafico.Lectura()->text(), datos->Participacion() + u" · "_s + datos->Faltantes());
        QCOMPARE(grafico.Ayuda(7), u"PINT-EPOXI — Pintura epoxi en polvo\n"_s +
                                       ResumenCarga::Cifra(1.68, 2) +
                                       u" kg (1 línea incompleta)\n2 líneas, 1 orden"_s);
        // Drawn: the heaviest bar's colour fills part of the plot.
        QApplication::processEvents();
        const QImage imagen = grafico.Vista()->grab().toImage();
        const QRect area = grafico.AreaBarras().toRect();
        QVERIFY(area.width() > 50 && area.height() > 50);
        int pintados = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                pintados += imagen.pixel(x, y) == (0xff000000u | GraficoInsumos::ColorCompleto);
        QVERIFY2(pintados > area.width() * area.height() / 50,
                 qPrintable(QString::number(pintados)));
        // To one scale from zero: no bar shorter than a lighter one's; each
        // material told apart by its name; a legend entry only for a part
        // some bar has (no estimate of these lacks a figure).
        const auto& b = grafico.Datos()->barras;
        for (size_t i = 0; i < b.size(); ++i)
            for (size_t j = 0; j < b.size(); ++j)
                if (b[i].kilos > b[j].kilos)
                    QVERIFY(grafico.RectBarra(int(i)).width() >= grafico.RectBarra(int(j)).width());
        const BarChartDrawing::Layout trazado = grafico.Trazado();
        QCOMPARE(QSet<QString>(trazado.names.begin(), trazado.names.end()).size(), int(b.size()));
        QCOMPARE(trazado.legend, std::vector<int>{0});
        QVERIFY(QAccessible::queryAccessibleInterface(grafico.Vista())
                    ->text(QAccessible::Description)
                    .contains(u"LAM-PE-05 Lámina de polietileno 0,5 mm: "_s +
                              ResumenCarga::Cifra(364.80, 2)));
    }

    // From a material to its orders: the epoxy is in the galvanised box and
    // the welded structure of order 5, the polyethylene in the door alone.
    void filtroPorInsumo_data()
    {
        QTest::addColumn<QString>("insumo");
        QTest::addColumn<QString>("como");
        QTest::addColumn<QStringList>("articulos");
        QTest::newRow("enter") << u"PINT-EPOXI"_s << u"enter"_s
                               << QStringList{u"CAJ-GALV-400"_s, u"EST-SOLD-ESP"_s};
        QTest::newRow("doble clic")
            << u"LAM-PE-05"_s << u"doble clic"_s << QStringList{u"PUE-LAM-800"_s};
        QTest::newRow("barra") << u"LAM-PE-05"_s << u"barra"_s << QStringList{u"PUE-LAM-800"_s};
    }
    void filtroPorInsumo()
    {
        QFETCH(QString, insumo);
        QFETCH(QString, como);
        QFETCH(QStringList, articulos);
        const QString exportados = soporte::carpetaNueva(u"ventana_filtro"_s);
        qputenv("RP_CARPETA_EXPORTACION", exportados.toLocal8Bit());
        DesktopOpener::setInstance(std::make_unique<soporte::EscritorioDePrueba>());
        PrintPreview::setPresenter([](const Worksheet&) {});
        cargarCuatroYCinco();
        RP_OProduccion& v = *m_ventana;
        v.TabGrillas->setCurrentIndex(1);
        const GridModel& t = v.MSFlexGridTotales;
        int fila = 1;
        while (t.text(fila, 1) != insumo)
            ++fila;
        GridView* totales = v.MSFlexGridTotalesVista;
        const QModelIndex celda = t.index(fila - 1, 2);
        // As the platform delivers a double click: the second press comes as one.
        const auto dobleClic = [](QWidget* vp, QPoint p) {
            QTest::mouseClick(vp, Qt::LeftButton, {}, p);
            QTest::mousePress(vp, Qt::LeftButton, {}, p);
            QMouseEvent doble(QEvent::MouseButtonDblClick, p, vp->mapToGlobal(p), Qt::LeftButton,
                              Qt::LeftButton, {});
            QApplication::sendEvent(vp, &doble);
            QTest::mouseRelease(vp, Qt::LeftButton, {}, p);
        };
        if (como == u"enter") {
            totales->setCurrentIndex(celda);
            QTest::keyClick(totales, Qt::Key_Return);
        } else if (como == u"doble clic") {
            dobleClic(totales->viewport(), totales->visualRect(celda).center());
        } else {
            // The middle of the material's bar (the heaviest is drawn last, on top).
            const auto& barras = v.GrfTotales->Datos()->barras;
            int i = 0;
            while (barras[size_t(i)].codigo != insumo)
                ++i;
            dobleClic(v.GrfTotales->Vista(), v.GrfTotales->RectBarra(i).center().toPoint());
        }
        QCOMPARE(v.InsumoFiltrado(), insumo);
        QCOMPARE(v.TabGrillas->currentIndex(), 0);
        QVERIFY(v.LblFiltroInsumo->isVisible() && v.CmdMostrarTodo->isVisible());
        QVERIFY2(v.LblFiltroInsumo->text().startsWith(u"Órdenes que usan "_s + insumo + u" — "_s),
                 qPrintable(v.LblFiltroInsumo->text()));
        // The lines shown are those of the material, each with all its supplies.
        QVERIFY(v.MSFlexGridFiltradaVista->isVisible() && v.MSFlexGrid1Vista->isHidden());
        const GridModel& g = *v.MSFlexGridFiltradaVista->gridModel();
        QCOMPARE(&v.GrillaVisible(), &g);
        // It shows where the keyboard is, and Down moves from there.
        v.MSFlexGridFiltradaVista->setFocus();
        QVERIFY(v.MSFlexGridFiltradaVista->currentIndex().isValid());
        QTest::keyClick(v.MSFlexGridFiltradaVista, Qt::Key_Down);
        QCOMPARE(v.MSFlexGridFiltradaVista->currentIndex().row(), 1);
        QStringList lineas, insumos, mostradas;
        for (int r = 1; r < g.rows(); ++r) {
            mostradas << g.text(r, 2);
            if (g.backColor(r, 1) == CargaOrdenes::Verde)
                lineas << g.text(r, 2);
            else
                insumos << g.text(r, 2);
        }
        QCOMPARE(lineas, articulos);
        QVERIFY(insumos.contains(insumo) && insumos.size() > articulos.size());

        // "Exportar Excel" takes what is shown, and its header names the material.
        v.CmdExcel->click();
        const QStringList libros = QDir(exportados).entryList(QDir::Files);
        QCOMPARE(libros.size(), 1);
        const QJsonObject libro = lectorLibro::leer(exportados + u'/' + libros.first());
        QCOMPARE(libro[u"filas"_s].toInt(), 1 + int(mostradas.size()));
        const QString encabezado =
            libro[u"pagina"_s].toObject()[u"encabezadoIzquierda"_s].toString();
        QVERIFY2(encabezado.contains(u"Insumo: "_s + insumo + u" — "_s), qPrintable(encabezado));

        // "Mostrar todo" gives the grid back whole.
        QTest::mouseClick(v.CmdMostrarTodo, Qt::LeftButton);
        QVERIFY(v.InsumoFiltrado().isEmpty() && v.LblFiltroInsumo->isHidden());
        QVERIFY(v.MSFlexGrid1Vista->isVisible() && v.MSFlexGridFiltradaVista->isHidden());
        QCOMPARE(&v.GrillaVisible(), &v.MSFlexGrid1);
        DesktopOpener::setInstance(nullptr);
        PrintPreview::setPresenter({});
    }

    void motivoDeLaMarca_data()
    {
        QTest::addColumn<QStringList>("faltan");
        QTest::addColumn<QStringList>("dudosas");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("nada") << QStringList() << QStringList() << QString();
        QTest::newRow("ancho") << QStringList{u"ancho"_s} << QStringList()
                               << u"Estimación incompleta: el artículo no tiene ancho. Lo que "
                                  u"falta cuenta como cero en los kilogramos."_s;
        QTest::newRow("medidas y peso")
            << QStringList{u"ancho"_s, u"largo"_s, u"espesor"_s, u"peso específico"_s}
            << QStringList()
            << u"Estimación incompleta: el artículo no tiene ancho, largo ni espesor; el insumo "
               u"no tiene peso específico. Lo que falta cuenta como cero en los kilogramos."_s;
        QTest::newRow("peso") << QStringList{u"peso específico"_s} << QStringList()
                              << u"Estimación incompleta: el insumo no tiene peso específico. Lo "
                                 u"que falta cuenta como cero en los kilogramos."_s;
        QTest::newRow("negativo y cero")
            << QStringList() << QStringList{u"ancho negativo"_s, u"espesor 0"_s}
            << u"Estimación incompleta: ancho negativo, espesor 0. Los kilogramos son los que da "
               u"la fórmula con esos valores."_s;
        QTest::newRow("sin cantidad y peso negativo")
            << QStringList{u"cantidad"_s} << QStringList{u"peso específico negativo"_s}
            << u"Estimación incompleta: la línea no tiene cantidad; peso específico negativo. Lo "
               u"que falta cuenta como cero en los kilogramos. Los kilogramos son los que da la "
               u"fórmula con esos valores."_s;
    }
    void motivoDeLaMarca()
    {
        QFETCH(QStringList, faltan);
        QFETCH(QStringList, dudosas);
        QTEST(ResumenCarga::Motivo(faltan, dudosas), "motivo");
    }

    // The totals of the whole demonstration: on screen the "Total" row writes
    // its kilograms as the status line does, and the lines without a bill of
    // materials, which the totals cannot count, are said under them.
    void totalesComoLaLineaDeEstado()
    {
        abrir();
        RP_OProduccion& v = *m_ventana;
        v.CmdCargar->click();
        QVERIFY2(m_mensajes.isEmpty(), qPrintable(m_mensajes.join(u'\n')));
        const QString estado = v.LblEstado->text();
        const auto cifra = [&](const QString& nombre) {
            return QRegularExpression(nombre + u": (\\S+)"_s).match(estado).captured(1);
        };
        const TotalesInsumo::Modelo& t = v.MSFlexGridTotales;
        int total = 1;
        while (total < t.rows() && t.text(total, 1) != u"Total")
            ++total;
        const auto enPantalla = [&](int fila, int columna) {
            return t.index(fila - 1, columna).data().toString();
        };
        QCOMPARE(enPantalla(total, 4), cifra(u"Kg"_s));
        if (QLocale::system().decimalPoint() == u',')
            QCOMPARE(enPantalla(total, 4), u"13.456,65"_s);
        // The cells the exports read keep the plain number.
        QCOMPARE(t.text(total, 4), soporte::numeroDelSistema(u"13456.65"_s));
        QCOMPARE(t.rows(), total + 2);
        QCOMPARE(t.text(total + 1, 2), u"5 líneas sin lista de materiales"_s);
        QCOMPARE(t.text(total, 5).toInt() + 5, cifra(u"Líneas"_s).toInt());
        // No figure is cut on screen, whatever the window's width; the
        // description takes the room the figures leave.
        v.TabGrillas->setCurrentIndex(1);
        GridView& vista = *v.MSFlexGridTotalesVista;
        for (const int ancho : {1366, 1024, 800}) {
            v.resize(ancho, v.height());
            QCoreApplication::processEvents();
            for (int c = 3; c < t.cols(); ++c)
                for (int r = 0; r < t.rows() - 1; ++r) {
                    const QString texto = t.index(r, c).data().toString();
                    QVERIFY2(vista.fontMetrics().horizontalAdvance(texto) < vista.columnWidth(c),
                             qPrintable(u"%1 px: \"%2\""_s.arg(ancho).arg(texto)));
                }
            int suma = 0;
            for (int c = 0; c < t.cols(); ++c)
                suma += vista.columnWidth(c);
            // Where the figures leave room for a description, no scrolling sideways.
            if (suma - vista.columnWidth(2) + 120 <= vista.viewport()->width())
                QCOMPARE(suma, vista.viewport()->width());
        }
    }

    // The filters of the last load come back at the operator's next start,
    // from the program's own file; another operator starts with empty ones.
    void filtrosRecordadosPorOperador()
    {
        QFile::remove(RP_OProduccion::ArchivoPreferencias());
        abrir(u"@UsuarioLogeado=ana;"_s);
        const QMap<int, QString> cajas = {{0, u"0001"_s}, {1, u"00000002"_s}, {8, u"01/10/2026"_s}};
        for (auto it = cajas.cbegin(); it != cajas.cend(); ++it)
            m_ventana->txtFields.at(it.key())->setText(it.value());
        m_ventana->ChkEstado.at(1)->setChecked(true);
        m_ventana->OptOrden.at(1)->setChecked(true);
        m_ventana->CmdCargar->click();
        QVERIFY(QFile::exists(RP_OProduccion::ArchivoPreferencias()));

        for (const QString& usuario : {u"ANA"_s, u"beto"_s}) {
            cleanup();
            init();
            abrir(u"@UsuarioLogeado="_s + usuario + u';');
            RP_OProduccion& v = *m_ventana;
            v.OfrecerUltimosFiltros();
            const bool suyos = usuario == u"ANA";
            for (const int i : v.txtFields.indexes())
                QCOMPARE(v.txtFields.at(i)->text(), suyos ? cajas.value(i) : QString());
            QCOMPARE(v.ChkEstado.at(1)->isChecked(), suyos);
            QVERIFY(!v.ChkEstado.at(0)->isChecked());
            QCOMPARE(v.OptOrden.at(1)->isChecked(), suyos);
        }
        QFile ini(m_carpeta + u"/QX000LT.INI"_s);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains("00000002"));
    }

    void salirYCerrar()
    {
        abrir();
        m_ventana->CmdSalir->click();
        QCOMPARE(m_terminado, QList<int>{0});
        QVERIFY(m_ventana->isVisible()); // ends at once, without the unload steps
        m_terminado.clear();
        m_ventana->close();
        QCOMPARE(m_terminado, QList<int>{0});
        QVERIFY(!m_ventana->isVisible());
        m_ventana.release()->deleteLater(); // the unload released it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(TstVentana)
#include "tst_ventana.moc"
