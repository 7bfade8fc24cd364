#include "Soporte.h"
#include "components/Componentes.h"
#include "dialogs/FrmConsComprobantes.h"
#include "dialogs/FrmCtrlCargosReales.h"
#include "dialogs/FrmMenus.h"
#include "platform/controls/GridView.h"
#include "platform/spreadsheet/PrintPreview.h"
#include "platform/spreadsheet/Workbook.h"
#include "platform/spreadsheet/Worksheet.h"
#include "report/RP_OProduccion.h"

#include <QAccessible>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Why the program could not be put on an accessibility bus; empty when it is.
QString g_sinBus;

const QString Ventana = u"Reporte de Ordenes de Producción"_s;
const QString Estado = u"Estado de la carga"_s;
const QString Grilla = u"Resultado del reporte"_s;

// What a screen reader reads of this program, through the accessibility bus:
// the reader runs while the windows keep answering it.
QJsonObject leerArbol(const QStringList& opciones)
{
    QProcess lector;
    QEventLoop espera;
    QObject::connect(&lector, &QProcess::finished, &espera, &QEventLoop::quit);
    QObject::connect(&lector, &QProcess::errorOccurred, &espera, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            espera.quit();
    });
    QTimer::singleShot(90000, &lector, [&] { lector.kill(); });
    lector.start(QStringLiteral(RP_PYTHON),
                 QStringList{QStringLiteral(RP_ARBOL_ACCESIBLE),
                             QString::number(QCoreApplication::applicationPid())} +
                     opciones);
    espera.exec();
    const QJsonDocument leido = QJsonDocument::fromJson(lector.readAllStandardOutput());
    if (leido.isObject())
        return leido.object();
    QJsonObject fallo;
    fallo.insert(u"error"_s, QString(u"el lector no dio su lectura: "_s +
                                     QString::fromUtf8(lector.readAllStandardError()).right(800)));
    return fallo;
}

QRect lugar(const QJsonObject& nodo)
{
    return {nodo[u"x"].toInt(), nodo[u"y"].toInt(), nodo[u"w"].toInt(), nodo[u"h"].toInt()};
}

} // namespace

// The report window, its progress window, the print preview and the shared
// dialogs as a screen reader reads them from the accessibility bus.
class TstAccesible : public QObject
{
    Q_OBJECT

    std::unique_ptr<RP_OProduccion> m_ventana;
    QJsonArray m_despues; // every window's objects after "Cargar"
    QJsonObject m_carga;  // the announcement and the grid after "Cargar"
    QJsonArray m_otras;   // the progress window, the preview, the dialogs
    QString m_estado;     // the status line after the load
    QJsonObject m_lista;  // the voucher list as read
    QStringList m_iconos; // the tag of each voucher's icon

    // The bus object of `control`: the biggest that starts at its corner and
    // is no wider (a check box is read as wide as its text, not its box).
    QJsonObject objetoDe(const QJsonArray& nodos, const QWidget* control) const
    {
        const QRect r(control->mapToGlobal(QPoint(0, 0)), control->size());
        QJsonObject mejor;
        for (const QJsonValue& v : nodos) {
            const QRect l = lugar(v.toObject());
            if (v[u"ventana"].toString() == Ventana && l.topLeft() == r.topLeft() &&
                l.width() <= r.width() &&
                l.width() * l.height() > lugar(mejor).width() * lugar(mejor).height())
                mejor = v.toObject();
        }
        return mejor;
    }

private slots:
    void initTestCase()
    {
        if (!g_sinBus.isEmpty())
            QSKIP(qPrintable(g_sinBus));
        const QString carpeta = soporte::carpetaNueva(u"accesible"_s);
        qputenv("RP_CARPETA_PROGRAMA", carpeta.toLocal8Bit());
        const QString base = carpeta + u"/demo.db"_s;
        soporte::crearBaseDemo(base);
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        Componentes::General().setMensajero([](const QString&) {});
        m_ventana = std::make_unique<RP_OProduccion>();
        m_ventana->TerminarPrograma = [](int) {};
        QCOMPARE(m_ventana->Form_Load(u"@DbName="_s + base + u";"_s), ModGlobal::Inicio::Seguir);
        m_ventana->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ventana.get()));

        // The reader presses "Cargar" itself and waits for the status line.
        const QJsonObject lectura =
            leerArbol({u"--cargar"_s, u"Cargar"_s, u"--estado"_s, Estado, u"--tabla"_s, Grilla});
        if (lectura.contains(u"sinBus"))
            QSKIP(qPrintable(lectura[u"sinBus"].toString()));
        QVERIFY2(!lectura.contains(u"error"), qPrintable(lectura[u"error"].toString()));
        m_despues = lectura[u"despues"].toArray();
        m_carga = lectura[u"carga"].toObject();
        QVERIFY2(m_carga[u"error"].isNull(), qPrintable(m_carga[u"error"].toString()));
        m_estado = m_ventana->LblEstado->text();
        QVERIFY2(m_ventana->MSFlexGrid1.rows() > 2, "la carga no trajo filas");

        // The other windows, all open at once.
        Componentes::Progreso().MostrarProgreso(u"Guardando el libro"_s, 0, true);
        Componentes::Progreso().ActualizarProgreso(0, u"Guardando el libro"_s, u"Espere"_s,
                                                   u"120 filas escritas"_s);
        FrmCtrlCargosReales& cargos = FrmCtrlCargosReales::Instancia();
        cargos.Cliente = u"110000001"_s;
        cargos.Form_Load();
        cargos.show();
        FrmConsComprobantes comprobantes;
        comprobantes.TC = u"FC"_s;
        comprobantes.Cargar();
        comprobantes.show();
        Workbook libro(1);
        for (int r = 1; r <= 30; ++r)
            libro.sheet(0).cells(r, 1).setValue(u"renglón %1"_s.arg(r));
        // Read from inside the preview's own loop, once it is up.
        QJsonObject otras;
        QTimer::singleShot(0, this, [&] {
            otras = leerArbol({u"--tabla"_s, u"Comprobantes"_s});
            if (QWidget* previa = QApplication::activeModalWidget();
                previa && previa->objectName() == u"VistaPrevia")
                previa->close();
        });
        PrintPreview::open(libro.sheet(0));
        cargos.hide();
        comprobantes.hide();
        Componentes::Progreso().CerrarProgreso();
        QVERIFY2(!otras.contains(u"error"), qPrintable(otras[u"error"].toString()));
        m_otras = otras[u"nodos"].toArray();
        m_lista = otras[u"tabla"].toObject();
        for (int r = 0; r < comprobantes.ListView1.rows(); ++r)
            m_iconos << comprobantes.ImageList1.tag(comprobantes.ListView1.row(r).smallIcon);
    }

    void cleanupTestCase() { m_ventana.reset(); }

    // Every control that takes the focus, in every window read, has a name
    // of its own within its window.
    void enfocables_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<int>("repetido");
        QMap<QString, int> enVentanas;
        // The report window as loaded; the others as read later.
        for (const QJsonArray* nodos : {&m_despues, &m_otras}) {
            QMap<QString, int> veces;
            QList<QJsonObject> enfocables;
            for (const QJsonValue& v : *nodos)
                if (v[u"enfocable"].toBool() && v[u"visible"].toBool() &&
                    (nodos == &m_despues) == (v[u"ventana"].toString() == Ventana)) {
                    enfocables << v.toObject();
                    ++veces[v[u"ventana"].toString() + u'\n' + v[u"nombre"].toString()];
                }
            for (const QJsonObject& o : std::as_const(enfocables)) {
                const QString ventana = o[u"ventana"].toString();
                ++enVentanas[ventana];
                QTest::addRow("%s, %s #%d", qPrintable(ventana), qPrintable(o[u"rol"].toString()),
                              enVentanas[ventana])
                    << o[u"nombre"].toString() << veces[ventana + u'\n' + o[u"nombre"].toString()];
            }
        }
        // Each window read shows controls at all, or the rows above prove nothing.
        for (const QString& ventana :
             {Ventana, u"Guardando el libro"_s, u"Control de cargos Reales"_s,
              u"Consulta de Comprobantes"_s, u"Vista preliminar - Hoja1"_s})
            QTest::addRow("%s se leyó", qPrintable(ventana))
                << (enVentanas.value(ventana) > 0 ? u"leída"_s : QString()) << 1;
    }
    void enfocables()
    {
        QFETCH(QString, nombre);
        QFETCH(int, repetido);
        QVERIFY2(!nombre.trimmed().isEmpty(), "sin nombre");
        QCOMPARE(repetido, 1);
    }

    // The shared pop-up menus are not among the program's windows on the bus:
    // a screen reader meets them by the focus of their entries. Read here as
    // Qt hands them to the bus: each with a name, its entries with theirs.
    void menus_data()
    {
        QTest::addColumn<QMenu*>("menu");
        for (QMenu* m : FrmMenus::Instancia().findChildren<QMenu*>())
            QTest::addRow("%s", qPrintable(m->objectName())) << m;
    }
    void menus()
    {
        QFETCH(QMenu*, menu);
        QAccessibleInterface* leido = QAccessible::queryAccessibleInterface(menu);
        QVERIFY(!leido->text(QAccessible::Name).isEmpty());
        // Hidden until it pops up: the entries shown are those whose action is.
        QStringList entradas;
        for (int i = 0; i < leido->childCount(); ++i) {
            const QAccessibleInterface* e = leido->child(i);
            if (e->role() != QAccessible::Separator && menu->actions().at(i)->isVisible())
                entradas << e->text(QAccessible::Name);
        }
        QVERIFY(!entradas.isEmpty());
        QVERIFY2(!entradas.contains(QString()), qPrintable(entradas.join(u", ")));
        QCOMPARE(QSet<QString>(entradas.begin(), entradas.end()).size(), entradas.size());
    }

    // The report window's controls by their suite names: the name a screen
    // reader says, a description where the name is not enough, and the label
    // in front of a box.
    void controles_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<bool>("describe");
        QTest::addColumn<QString>("etiqueta");
        const auto fila = [](const char* control, int indice, const QString& nombre,
                             bool describe = false, const QString& etiqueta = {}) {
            QTest::addRow("%s", qPrintable(nombre))
                << QString::fromLatin1(control) << indice << nombre << describe << etiqueta;
        };
        fila("txtFields", 0, u"Sucursal desde"_s, true, u"Desde:"_s);
        fila("txtFields", 1, u"Número desde"_s, true);
        fila("txtFields", 2, u"Letra desde"_s, true);
        fila("txtFields", 3, u"Sucursal hasta"_s, true, u"Hasta:"_s);
        fila("txtFields", 4, u"Número hasta"_s, true);
        fila("txtFields", 5, u"Letra hasta"_s, true);
        fila("txtFields", 8, u"Fecha desde"_s, true, u"Desde:"_s);
        fila("txtFields", 9, u"Fecha hasta"_s, true, u"Hasta:"_s);
        fila("ChkEstado", 0, u"Pendientes"_s, true);
        fila("ChkEstado", 1, u"Finalizada"_s, true);
        fila("OptOrden", 0, u"Ordenar por fecha"_s);
        fila("OptOrden", 1, u"Ordenar por número"_s);
        fila("OptTipo", 2, u"Tipo estimativo"_s);
        fila("CmdCargar", -1, u"Cargar"_s, true);
        fila("CmdExcel", -1, u"Exportar Excel"_s, true);
        fila("CmdSalir", -1, u"Salir"_s, true);
        fila("MSFlexGrid1", -1, Grilla, true);
        fila("TabGrillas", -1, u"Grilla a la vista"_s);
    }
    void controles()
    {
        QFETCH(QString, control);
        QFETCH(int, indice);
        QFETCH(QString, nombre);
        QFETCH(bool, describe);
        QFETCH(QString, etiqueta);
        const QWidget* w = nullptr;
        for (const QWidget* c : m_ventana->findChildren<QWidget*>(control))
            if (indice < 0 || c->property("Index").toInt() == indice)
                w = c;
        QVERIFY(w);
        const QJsonObject o = objetoDe(m_despues, w);
        QVERIFY2(!o.isEmpty(), "el control no está en el bus");
        QCOMPARE(o[u"nombre"].toString(), nombre);
        if (describe)
            QVERIFY2(!o[u"descripcion"].toString().isEmpty(), "sin descripción");
        // The frame around a box names it too.
        if (!etiqueta.isEmpty())
            QVERIFY2(o[u"etiquetadoPor"].toArray().contains(etiqueta),
                     qPrintable(QJsonDocument(o[u"etiquetadoPor"].toArray()).toJson()));
    }

    // The "Tipo" options kept hidden for the suite's callers are no place for
    // the focus, as the bus reports them.
    void ocultasNoEnfocables_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::newRow("resumido") << u"Tipo resumido"_s;
        QTest::newRow("detallado") << u"Tipo detallado"_s;
    }
    void ocultasNoEnfocables()
    {
        QFETCH(QString, nombre);
        int vistas = 0;
        for (const QJsonValue& v : std::as_const(m_despues))
            if (v[u"nombre"].toString() == nombre) {
                ++vistas;
                QVERIFY(!v[u"enfocable"].toBool());
            }
        QCOMPARE(vistas, 1);
    }

    // The tab bar's arrows, shown only when the tabs do not fit, speak Spanish.
    void flechasDePestanas()
    {
        QStringList flechas;
        for (const QJsonValue& v : std::as_const(m_despues))
            if (v[u"padre"].toString() == u"Grilla a la vista" &&
                v[u"rol"].toString() == u"push button")
                flechas << v[u"nombre"].toString();
        flechas.sort();
        QCOMPARE(flechas, (QStringList{u"Pestaña anterior"_s, u"Pestaña siguiente"_s}));
    }

    // After "Cargar" the grid gives its size, titles and cells, and the note
    // of an incomplete estimate as the cell's description.
    void grilla_data()
    {
        QTest::addColumn<QString>("leido");
        QTest::addColumn<QString>("esperado");
        const GridModel& g = m_ventana->MSFlexGrid1;
        const QAbstractItemModel& m = g;
        const QJsonObject t = m_carga[u"tabla"].toObject();
        const QJsonArray celdas = t[u"celdas"].toArray();
        const auto celda = [&](int r, int c, int parte = 0) {
            return celdas.at(r).toArray().at(c).toArray().at(parte).toString();
        };
        QTest::newRow("filas") << QString::number(t[u"filas"].toInt())
                               << QString::number(m.rowCount());
        QTest::newRow("columnas") << QString::number(t[u"columnas"].toInt())
                                  << QString::number(g.cols());
        // A reader walking the tree meets the titles and the rows in sight,
        // not every cell of the grid.
        const GridView& vista = *m_ventana->MSFlexGrid1Vista;
        const int aLaVista =
            vista.rowAt(vista.viewport()->height() - 1) - std::max(0, vista.rowAt(0)) + 1;
        QVERIFY2(aLaVista > 0 && aLaVista < m.rowCount(), "la grilla entera está a la vista");
        QTest::newRow("hijos") << QString::number(t[u"hijos"].toInt())
                               << QString::number((1 + aLaVista) * g.cols());
        for (int c = 1; c < g.cols(); ++c)
            QTest::addRow("título %d", c) << t[u"titulos"][c][u"nombre"].toString() << g.text(0, c);
        int kg = -1;
        for (int c = 0; c < g.cols(); ++c)
            if (g.text(0, c) == u"Kg")
                kg = c;
        QTest::newRow("unidades del título Kg")
            << QString::number(t[u"titulos"][kg][u"descripcion"].toString().contains(u"kg/m³"))
            << u"1"_s;
        QTest::newRow("primera celda") << celda(0, 1) << g.text(1, 1);
        int nota = -1;
        for (int r = 0; r < celdas.size() && nota < 0; ++r)
            if (!g.note(r + 1, kg).isEmpty())
                nota = r;
        QVERIFY2(nota >= 0, "la base de demostración ya no tiene una estimación incompleta");
        QTest::newRow("kilos incompletos") << celda(nota, kg) << g.text(nota + 1, kg);
        QTest::newRow("nota de la estimación") << celda(nota, kg, 1) << g.note(nota + 1, kg);
        QTest::newRow("encabezado de fila")
            << t[u"encabezadosFila"][nota].toString() << u"Fila %1"_s.arg(nota + 1);
    }
    void grilla()
    {
        QFETCH(QString, leido);
        QFETCH(QString, esperado);
        QCOMPARE(leido, esperado);
    }

    // The voucher list gives its rows, titles and cells, and the state an
    // icon shows as the first cell's description.
    void lista_data()
    {
        QTest::addColumn<QString>("leido");
        QTest::addColumn<QString>("esperado");
        const QJsonArray celdas = m_lista[u"celdas"].toArray();
        QTest::newRow("filas") << QString::number(m_lista[u"filas"].toInt())
                               << QString::number(m_iconos.size());
        QTest::newRow("título") << m_lista[u"titulos"][0][u"nombre"].toString() << u"FECHA"_s;
        QVERIFY2(m_iconos.contains(u"Anulado"),
                 "la lista de prueba no tiene un comprobante anulado");
        for (int r = 0; r < m_iconos.size() && r < celdas.size(); ++r)
            QTest::addRow("icono de la fila %d", r)
                << celdas[r][0][1].toString()
                << (m_iconos[r] == u"Anulado" || m_iconos[r] == u"Aprobado" ? m_iconos[r]
                                                                            : QString());
    }
    void lista()
    {
        QFETCH(QString, leido);
        QFETCH(QString, esperado);
        QCOMPARE(leido, esperado);
    }

    // The status line is announced when the load ends, and can be read again.
    void lineaDeEstado()
    {
        QVERIFY(!m_estado.isEmpty());
        const QString dicho = Estado + u": "_s + m_estado;
        QCOMPARE(m_carga[u"anuncios"].toArray().last().toString(), dicho);
        QCOMPARE(objetoDe(m_despues, m_ventana->LblEstado)[u"nombre"].toString(), dicho);
    }
};

// The program goes on a bus of its own: a private session bus (whose
// accessibility bus starts on demand) and a virtual display, both ended with
// it. Where they cannot be had, the test says why and skips.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("RP_BUS_ACCESIBLE")) {
        const QString sesion = QStandardPaths::findExecutable(u"dbus-run-session"_s);
        const QString pantalla = QStandardPaths::findExecutable(u"xvfb-run"_s);
        if (QStandardPaths::findExecutable(u"/usr/libexec/at-spi-bus-launcher"_s).isEmpty())
            g_sinBus = u"no está at-spi2-core (/usr/libexec/at-spi-bus-launcher)"_s;
        else if (sesion.isEmpty() || pantalla.isEmpty())
            g_sinBus = u"faltan dbus-run-session o xvfb-run para arrancar el bus"_s;
        else {
            qputenv("RP_BUS_ACCESIBLE", "1");
            qputenv("QT_QPA_PLATFORM", "xcb");
            qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
            QList<QByteArray> partes = {
                sesion.toLocal8Bit(),    "--", pantalla.toLocal8Bit(), "-a", "-s",
                "-screen 0 1280x1024x24"};
            // Itself again, by its full path: the folder it was started from may
            // not be on PATH.
            char propio[4096] = {};
            if (readlink("/proc/self/exe", propio, sizeof propio - 1) <= 0)
                qstrncpy(propio, argv[0], sizeof propio);
            partes << propio;
            for (int i = 1; i < argc; ++i)
                partes << argv[i];
            std::vector<char*> args;
            for (QByteArray& p : partes)
                args.push_back(p.data());
            args.push_back(nullptr);
            execv(args.front(), args.data());
            g_sinBus = u"no se pudo arrancar dbus-run-session: "_s +
                       QString::fromLocal8Bit(strerror(errno));
        }
        if (!g_sinBus.isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    TstAccesible prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_accesible.moc"
