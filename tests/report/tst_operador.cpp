#include "BaseDatos.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "platform/controls/GridView.h"
#include "platform/controls/QtTranslations.h"
#include "report/RP_OProduccion.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

// The report window as an operator meets it: the keyboard, what shows at
// start, how the grid reads and copies, the language of standard buttons.
class TstOperador : public QObject
{
    Q_OBJECT

    QString m_base;
    std::unique_ptr<RP_OProduccion> m_ventana;

    RP_OProduccion& abrir()
    {
        Componentes::ReiniciarParaPruebas();
        ModGlobal::ReiniciarSesionParaPruebas();
        Componentes::General().setMensajero([](const QString&) {});
        m_ventana = std::make_unique<RP_OProduccion>();
        m_ventana->TerminarPrograma = [](int) {};
        if (m_ventana->Form_Load(u"@DbName="_s + m_base + u";"_s) != ModGlobal::Inicio::Seguir)
            qFatal("no se pudo abrir la base de prueba");
        m_ventana->show();
        if (!QTest::qWaitForWindowExposed(m_ventana.get()))
            qFatal("la ventana no se mostró");
        return *m_ventana;
    }

    // Every visible control lies whole inside the window, or inside the band
    // of filters and buttons, which scrolls sideways where the window is narrower.
    static void todoVisible(RP_OProduccion& v)
    {
        const QWidget* banda = v.AreaFiltros->widget();
        for (QWidget* w : v.findChildren<QWidget*>()) {
            // The window's controls and those inside its frames.
            const bool control = w->parentWidget() == &v || w->parentWidget() == banda ||
                                 qobject_cast<QGroupBox*>(w->parentWidget()) != nullptr;
            if (!w->isVisible() || !control)
                continue;
            const QWidget* lugar = banda->isAncestorOf(w) ? banda : &v;
            const QRect r(w->mapTo(lugar, QPoint(0, 0)), w->size());
            if (!lugar->rect().contains(r))
                QFAIL(qPrintable(u"%1 (%2,%3 %4x%5) queda fuera de %6 de %7x%8"_s
                                     .arg(w->objectName().isEmpty()
                                              ? QString::fromLatin1(w->metaObject()->className())
                                              : w->objectName())
                                     .arg(r.x())
                                     .arg(r.y())
                                     .arg(r.width())
                                     .arg(r.height())
                                     .arg(lugar->objectName())
                                     .arg(lugar->width())
                                     .arg(lugar->height())));
        }
    }

private slots:
    void initTestCase()
    {
        const QString carpeta = soporte::carpetaNueva(u"operador"_s);
        qputenv("RP_CARPETA_PROGRAMA", carpeta.toLocal8Bit());
        m_base = carpeta + u"/demo.db"_s;
        soporte::crearBaseDemo(m_base);
    }
    void cleanup() { m_ventana.reset(); }

    void tabSaleDeLaGrilla()
    {
        RP_OProduccion& v = abrir();
        v.activateWindow();
        v.txtFields.at(1)->setFocus();
        QList<QWidget*> recorrido;
        for (int i = 0; i < 40 && !recorrido.contains(QApplication::focusWidget()); ++i) {
            recorrido << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        const qsizetype grilla = recorrido.indexOf(v.MSFlexGrid1Vista);
        QVERIFY(grilla > recorrido.indexOf(v.CmdCargar));
        QCOMPARE(recorrido.indexOf(v.CmdExcel), grilla + 1);
        QCOMPARE(recorrido.indexOf(v.CmdSalir), grilla + 2);
        // Inside the grid the arrows still move between cells.
        v.MSFlexGrid1Vista->setFocus();
        v.MSFlexGrid1Vista->setCurrentIndex(v.MSFlexGrid1.index(0, 0));
        QTest::keyClick(v.MSFlexGrid1Vista, Qt::Key_Right);
        QCOMPARE(v.MSFlexGrid1Vista->currentIndex().column(), 1);
    }

    void nadaRecortado()
    {
        RP_OProduccion& v = abrir();
        todoVisible(v);
        // Narrower than the design, the filters and the buttons stay whole in
        // their band, which scrolls to bring each into sight.
        v.resize(450, 250);
        QTRY_COMPARE(v.width(), 450);
        todoVisible(v);
        QVERIFY(v.AreaFiltros->horizontalScrollBar()->isVisible());
        v.AreaFiltros->ensureWidgetVisible(v.CmdSalir);
        QVERIFY(QRect(v.CmdSalir->mapTo(&v, QPoint()), v.CmdSalir->size()).right() < v.width());
    }

    void cajasMuestranSusCaracteres_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("texto");
        QTest::newRow("sucursal") << 0 << u"0000"_s;
        QTest::newRow("numero") << 1 << u"00000000"_s;
        QTest::newRow("letra") << 2 << u"W"_s;
        QTest::newRow("hasta") << 4 << u"99999999"_s;
        QTest::newRow("fecha") << 8 << u"28/08/2026"_s;
    }
    void cajasMuestranSusCaracteres()
    {
        QFETCH(int, indice);
        QFETCH(QString, texto);
        RP_OProduccion& v = abrir();
        QLineEdit* caja = v.txtFields.at(indice);
        caja->setText(texto);
        const auto cursorX = [caja](int posicion) {
            caja->setCursorPosition(posicion);
            caja->grab(); // the box scrolls when it paints
            return caja->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        };
        // From the first character to the last the box did not have to scroll.
        const int inicio = cursorX(0);
        QCOMPARE(cursorX(static_cast<int>(texto.size())) - inicio,
                 QFontMetrics(caja->font()).horizontalAdvance(texto));
        QCOMPARE(cursorX(0), inicio);
        QVERIFY(QFontInfo(caja->font()).pixelSize() >= 7);
    }

    void alineacionPorContenido_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("derecha");
        QTest::newRow("entero") << u"40"_s << true;
        QTest::newRow("decimal") << u"54.3"_s << true;
        QTest::newRow("negativo") << u" -3 "_s << true;
        QTest::newRow("comprobante") << u"0001-00000010"_s << false;
        QTest::newRow("texto") << u"Barra de cobre"_s << false;
        QTest::newRow("vacio") << QString() << false;
    }
    void alineacionPorContenido()
    {
        QFETCH(QString, texto);
        QFETCH(bool, derecha);
        QCOMPARE(GridView::contentAlignment(texto),
                 (derecha ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }

    void botonesEnCastellano()
    {
        QVERIFY2(installQtTranslations(QLocale(u"es_AR"_s)),
                 "faltan las traducciones de Qt (qt6-translations-l10n)");
        QMessageBox caja(QMessageBox::Information, u"t"_s, u"m"_s,
                         QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(caja.button(QMessageBox::Ok)->text().remove(u'&'), u"Aceptar"_s);
        QCOMPARE(caja.button(QMessageBox::Cancel)->text().remove(u'&'), u"Cancelar"_s);
        installQtTranslations(QLocale::c());
    }

    void cargaVuelveAlPrincipio()
    {
        RP_OProduccion& v = abrir();
        v.CmdCargar_Click();
        QScrollBar* barra = v.MSFlexGrid1Vista->verticalScrollBar();
        QVERIFY2(barra->maximum() > 0, "la demo debe llenar más de una pantalla");
        barra->setValue(barra->maximum());
        v.CmdCargar_Click();
        QTRY_COMPARE(barra->value(), 0);
    }

    void copiaUnBloque()
    {
        RP_OProduccion& v = abrir();
        v.CmdCargar_Click();
        GridView* vista = v.MSFlexGrid1Vista;
        GridModel& g = v.MSFlexGrid1;
        vista->setFocus();
        vista->selectionModel()->select(QItemSelection(g.index(0, 1), g.index(1, 3)),
                                        QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(vista, Qt::Key_C, Qt::ControlModifier);
        QString esperado;
        for (int r = 1; r <= 2; ++r)
            esperado += g.text(r, 1) + u'\t' + g.text(r, 2) + u'\t' + g.text(r, 3) + u'\n';
        QCOMPARE(QGuiApplication::clipboard()->text(), esperado);
    }
};

QTEST_MAIN(TstOperador)
#include "tst_operador.moc"
