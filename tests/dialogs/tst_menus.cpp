#include "dialogs/FrmMenus.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QList<int>)

// FrmMenus' real menus on the offscreen platform: entries triggered as a click
// triggers them, pop-ups answered with the keyboard and the mouse.
class TstMenus : public QObject
{
    Q_OBJECT

    static inline const QString kPrevio = u"(previo)"_s;

    FrmMenus& menus() { return FrmMenus::Instancia(); }

    // Entries of a menu in the order the pop-up shows them, submenus included.
    static QList<QAction*> entradasDe(const QMenu* menu)
    {
        QList<QAction*> todas;
        for (QAction* accion : menu->actions()) {
            todas << accion;
            if (accion->menu())
                todas << entradasDe(accion->menu());
        }
        return todas;
    }

    // Answers the pop-up that is about to open, once it is on the screen.
    static void responder(const std::function<void(QWidget*)>& respuesta)
    {
        QTimer::singleShot(0, qApp, [respuesta] {
            QWidget* emergente = QApplication::activePopupWidget();
            QVERIFY(emergente);
            respuesta(emergente);
        });
    }

private slots:
    void init() { FrmMenus::ReiniciarParaPruebas(); }

    void diseno()
    {
        FrmMenus& f = menus();
        QCOMPARE(f.PRespuesta, QString());
        QVERIFY(!f.isVisible());

        int principales = 0, submenus = 0, arreglos = 0, marcadas = 0, entradas = 0,
            separadores = 0;
        QStringList ocultas;
        QSet<QString> nombres;
        for (QMenu* menu : f.findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
            ++principales;
            QCOMPARE(f.Menu(menu->objectName()), menu);
            const QList<QAction*> todas = entradasDe(menu);
            for (qsizetype i = 0; i < todas.size(); ++i) {
                QAction* a = todas[i];
                if (a->isSeparator()) {
                    ++separadores;
                    if (!a->isVisible())
                        ocultas << u"-"_s;
                    continue;
                }
                ++entradas;
                QVERIFY2(!nombres.contains(a->objectName().toUpper()), qPrintable(a->objectName()));
                nombres << a->objectName().toUpper();
                submenus += a->menu() ? 1 : 0;
                marcadas += a->isChecked() ? 1 : 0;
                if (!a->isVisible())
                    ocultas << a->objectName();
                else
                    QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
                if (!a->menu()) {
                    try {
                        f.Arreglo(a->objectName());
                        ++arreglos;
                    } catch (const RuntimeError&) {
                    }
                }
            }
        }
        QCOMPARE(principales, 37);
        QCOMPARE(submenus, 7);
        QCOMPARE(arreglos, 7);
        QCOMPARE(marcadas, 3);
        QCOMPARE(entradas, 133);
        QCOMPARE(separadores, 58);
        QCOMPARE(ocultas, (QStringList{u"-"_s, u"MNU_Emergente_XV_VerAsiento"_s}));
        // Shown by a caller, it leaves its code like any other.
        QAction* verAsiento = f.Entrada(u"mnu_emergente_xv_verasiento"_s);
        verAsiento->setVisible(true);
        verAsiento->trigger();
        QCOMPARE(f.PRespuesta, u"VerAsiento"_s);
        QCOMPARE(f.Menu(u"MNU_EmergenteXXVIII"_s)->title(), u"EmergenteXXVIII"_s);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, f.MostrarMenu(u"MNU_NoExiste"_s));
    }

    void entradas_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("respuesta");
        QTest::addColumn<bool>("oculta");

        auto fila = [](const char* caso, const QString& menu, const QString& entrada,
                       const QString& titulo, const QString& respuesta, bool oculta) {
            QTest::newRow(caso) << menu << entrada << titulo << respuesta << oculta;
        };
        fila("codigo, oculta", u"MNU_EMERGENTE"_s, u"MNU_Emergente_Eliminar"_s, u"Eliminar"_s,
             u"Eliminar"_s, true);
        fila("mismo codigo, otro menu", u"MNU_EmergenteX"_s, u"MNU_EmergenteX_Eliminar"_s,
             u"Eliminar"_s, u"Eliminar"_s, false);
        fila("cancelar vacio", u"MNU_EMERGENTE"_s, u"MNU_Emergente_Cancelar"_s, u"Cancelar"_s,
             QString(), true);
        fila("cancelar que guarda Cancelar", u"MNU_EmergenteXXVI"_s,
             u"MNU_EmergenteXXVI_Cancelar"_s, u"Cancelar"_s, u"Cancelar"_s, false);
        fila("cancelar que solo oculta", u"MNU_EmergenteII"_s, u"MNU_EmergenteII_Cancelar"_s,
             u"Cancelar"_s, kPrevio, true);
        fila("sin manejador", u"MNU_EmergenteIV"_s, u"MNU_EmergenteIV_Cancelar"_s, u"&Cancelar"_s,
             kPrevio, false);
        fila("sin manejador entre las que ocultan", u"MNU_EMERGENTE_DIRECCIONES_CUENTAS"_s,
             u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_CANCELAR"_s, u"Cancelar"_s, kPrevio, false);
        fila("oculta", u"MNU_EMERGENTE_DIRECCIONES_CUENTAS"_s,
             u"MNU_EMERGENTE_DIRECCIONES_CUENTAS_EDITAR"_s, u"Editar Direccion"_s, u"EDITAR"_s,
             true);
        fila("AnularActual en VI", u"MNU_EmergenteVI"_s, u"MNU_EmergenteVIAnulBActual"_s,
             u"Anular para la Búsqueda Actual"_s, u"AnularActual"_s, false);
        fila("AnularActual en VII", u"MNU_EmergenteVII"_s, u"MNU_EmergenteVIIDescartarEsta"_s,
             u"Descartar para esta Búsqueda"_s, u"AnularActual"_s, false);
        fila("EstablecerDefault", u"MNU_EmergenteXViIIi"_s, u"MNU_EmergenteXViII_LetraDefault"_s,
             u"Establecer como Predeterminada"_s, u"EstablecerDefault"_s, false);
        fila("EstablecerDefault marcada", u"MNU_EMPRESAS"_s, u"MNU_EMPRESAS_ESTABLECER_DEFAULT"_s,
             u"Establecer como Predeterminada"_s, u"EstablecerDefault"_s, false);
        fila("Reimprimir en II", u"MNU_EmergenteII"_s, u"MNU_EmergenteII_Reimprimir"_s,
             u"Reimprimir"_s, u"Reimprimir"_s, true);
        fila("Reimprimir en XXIX", u"MNU_EmergenteXXIX"_s, u"MNU_EmergenteXXIXReimprimir"_s,
             u"Reimprimir"_s, u"Reimprimir"_s, false);
        fila("en un submenu", u"MNU_EmergenteXV"_s, u"MNU_View_Icono_Pequeno"_s,
             u"Iconos Pequeños"_s, u"IconosPequeños"_s, false);
        fila("titulo con blanco final", u"MNU_EMERGENTE_COBRANZAS_GLOBALES"_s,
             u"MNU_CobranzasGlobalesConsultaCancelacionCuotas"_s, u"Consulta Cancelación "_s,
             u"CONSULTA_CANCELACION"_s, false);
        fila("cambiar importe", u"MNU_EmergenteXXVIII"_s, u"MNU_EmergenteXXVIICambiaImporte"_s,
             u"Cambiar Importe"_s, u"CambiarImporte"_s, false);
        fila("lote", u"MNU_EmergenteCambioDeLoteSerie"_s,
             u"MNU_EmergenteCambioDeLoteSerieCambiar"_s, u"Cambiar N° de Lote/Serie"_s,
             u"CAMBIAR"_s, true);
        fila("menu en minusculas", u"mnuDorvanI"_s, u"mnu_DorvanCopiarA"_s,
             u"Copiar Recibo a ..."_s, u"CopiarA"_s, false);
        fila("oculta sin cambiar el codigo", u"MNU_EmergenteIII"_s, u"MNU_EmergenteIII_Cancelar"_s,
             u"Cancelar"_s, QString(), true);
    }

    void entradas()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entrada);
        QFETCH(QString, titulo);
        QFETCH(QString, respuesta);
        QFETCH(bool, oculta);

        FrmMenus& f = menus();
        QAction* accion = f.Menu(menu)->findChild<QAction*>(entrada);
        QVERIFY(accion);
        QCOMPARE(accion->text(), titulo);
        f.PRespuesta = kPrevio;
        f.show();
        accion->trigger();
        QCOMPARE(f.PRespuesta, respuesta);
        QCOMPARE(f.isHidden(), oculta);
        QCOMPARE(&FrmMenus::Instancia(), &f);
    }

    void arreglos_data()
    {
        QTest::addColumn<QString>("arreglo");
        QTest::addColumn<QStringList>("titulos");
        QTest::addColumn<QStringList>("etiquetas"); // a null text: tag never set
        QTest::addColumn<int>("pulsado");
        QTest::addColumn<QString>("respuesta");
        QTest::addColumn<bool>("oculta");

        const QStringList dos{u"Ventas"_s, u"Compras"_s};
        QTest::newRow("etiqueta") << u"MNU_EmergenteXIMenu"_s << dos
                                  << QStringList{u"M01"_s, u"M02"_s} << 1 << u"M02"_s << false;
        QTest::newRow("etiqueta nunca puesta")
            << u"MNU_OperadorLogico"_s << dos << QStringList{u"AND"_s, QString()} << 1 << QString()
            << false;
        QTest::newRow("lugar 0 de diseño") << u"MNU_VentanaPersonalizada"_s << QStringList()
                                           << QStringList() << 0 << QString() << false;
        QTest::newRow("tecnico con blancos")
            << u"MNU_EmergenteIII_Tecnicos"_s
            << QStringList{u"Ana"_s, u"  Juan Pérez  "_s, u"\tLuis"_s}
            << QStringList{u"T1"_s, u"T2"_s, u"T3"_s} << 1 << u"Juan Pérez"_s << true;
        QTest::newRow("tecnico con tabulador")
            << u"MNU_EmergenteIII_Tecnicos"_s << QStringList{u" \tLuis "_s} << QStringList{u""_s}
            << 0 << u"\tLuis"_s << true;
    }

    void arreglos()
    {
        QFETCH(QString, arreglo);
        QFETCH(QStringList, titulos);
        QFETCH(QStringList, etiquetas);
        QFETCH(int, pulsado);
        QFETCH(QString, respuesta);
        QFETCH(bool, oculta);

        FrmMenus& f = menus();
        for (qsizetype i = 0; i < titulos.size(); ++i) {
            QAction* item =
                i == 0 ? f.Arreglo(arreglo).at(0) : f.CargarElemento(arreglo, int(i), titulos[i]);
            item->setText(titulos[i]);
            if (!etiquetas[i].isNull())
                FrmMenus::setEtiqueta(item, etiquetas[i]);
        }
        f.PRespuesta = kPrevio;
        f.show();
        f.Arreglo(arreglo).at(pulsado)->trigger();
        QCOMPARE(f.PRespuesta, respuesta);
        QCOMPARE(f.isHidden(), oculta);
    }

    // Items show in index order beside item 0, and emptying leaves the design.
    void llenarYVaciar()
    {
        FrmMenus& f = menus();
        QMenu* menu = f.Menu(u"MNU_EmergenteIII"_s);
        auto titulos = [menu] {
            QStringList t;
            for (QAction* a : menu->actions())
                t << (a->isSeparator() ? u"-"_s : a->text());
            return t;
        };
        const QStringList diseno = titulos();
        QCOMPARE(diseno, (QStringList{u"(Tecnico)"_s, u"-"_s, u"Cancelar"_s}));

        f.LlenarArreglo(u"MNU_EmergenteIII_Tecnicos"_s, {{u"Ana"_s, u"1"_s}, {u"Luis"_s, u"2"_s}});
        f.CargarElemento(u"MNU_EmergenteIII_Tecnicos"_s, 5, u"Eva"_s);
        f.CargarElemento(u"MNU_EmergenteIII_Tecnicos"_s, 3, u"Raúl"_s);
        QCOMPARE(titulos(),
                 (QStringList{u"Ana"_s, u"Luis"_s, u"Raúl"_s, u"Eva"_s, u"-"_s, u"Cancelar"_s}));
        QCOMPARE(f.Arreglo(u"MNU_EmergenteIII_Tecnicos"_s).indexes(), (QList<int>{0, 1, 3, 5}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 f.CargarElemento(u"MNU_EmergenteIII_Tecnicos"_s, 3, u"Otro"_s));

        f.VaciarArreglo(u"MNU_EmergenteIII_Tecnicos"_s);
        QCOMPARE(titulos(), diseno);
        QCOMPARE(FrmMenus::Etiqueta(f.Arreglo(u"MNU_EmergenteIII_Tecnicos"_s).at(0)), QString());
    }

    void marcas_data()
    {
        QTest::addColumn<QString>("entrada");
        QTest::addColumn<bool>("quitadaAntes");
        QTest::addColumn<bool>("marcada");

        QTest::newRow("Aprobar") << u"MNU_EmergenteVIAprobar"_s << false << true;
        QTest::newRow("Aprobar sin marca") << u"MNU_EmergenteVIAprobar"_s << true << true;
        QTest::newRow("Contratar sin marca") << u"MNU_EmergenteVII_Contratar"_s << true << true;
        QTest::newRow("Empresas") << u"MNU_EMPRESAS_ESTABLECER_DEFAULT"_s << false << true;
        QTest::newRow("Empresas sin marca")
            << u"MNU_EMPRESAS_ESTABLECER_DEFAULT"_s << true << false;
    }

    void marcas()
    {
        QFETCH(QString, entrada);
        QFETCH(bool, quitadaAntes);
        QFETCH(bool, marcada);

        QAction* accion = menus().Entrada(entrada);
        QVERIFY(accion->isChecked());
        if (quitadaAntes)
            accion->setChecked(false);
        accion->trigger();
        QCOMPARE(accion->isChecked(), marcada);
    }

    // The real pop-up, answered from the keyboard or the mouse.
    void emergente_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QList<int>>("teclas"); // an empty list: a click outside
        QTest::addColumn<QString>("antes");
        QTest::addColumn<QString>("respuesta");
        QTest::addColumn<QString>("elegida"); // the entry MostrarMenu hands back

        QTest::newRow("elegida") << u"MNU_EmergenteXXVIII"_s
                                 << QList<int>{Qt::Key_Down, Qt::Key_Return} << QString()
                                 << u"CambiarImporte"_s << u"MNU_EmergenteXXVIICambiaImporte"_s;
        QTest::newRow("cancelar") << u"MNU_EmergenteXXVIII"_s
                                  << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}
                                  << u"CambiarImporte"_s << QString()
                                  << u"MNU_EmergenteXXVIICancelar"_s;
        QTest::newRow("escape") << u"MNU_EmergenteXXVIII"_s << QList<int>{Qt::Key_Escape}
                                << u"CambiarImporte"_s << u"CambiarImporte"_s << QString();
        QTest::newRow("clic fuera") << u"MNU_EmergenteXXVIII"_s << QList<int>()
                                    << u"CambiarImporte"_s << u"CambiarImporte"_s << QString();
        QTest::newRow("tecla de acceso")
            << u"MNU_EmergenteIV"_s << QList<int>{Qt::Key_E} << QString() << u"EditarSolicitud"_s
            << u"MNU_EmergenteIV_Editar"_s;
        QTest::newRow("Ver Asiento no se ofrece")
            << u"MNU_Emergente_XV"_s
            << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return} << kPrevio
            << QString() << u"MNU_Emergente_XV_Cancelar"_s;
    }

    void emergente()
    {
        QFETCH(QString, menu);
        QFETCH(QList<int>, teclas);
        QFETCH(QString, antes);
        QFETCH(QString, respuesta);
        QFETCH(QString, elegida);

        FrmMenus& f = menus();
        f.PRespuesta = antes;
        const QPoint punto(120, 90);
        QPoint mostradoEn;
        responder([&](QWidget* emergente) {
            mostradoEn = emergente->pos();
            if (teclas.isEmpty())
                QTest::mouseClick(emergente, Qt::LeftButton, {}, QPoint(-20, -20));
            for (int tecla : teclas)
                QTest::keyClick(emergente, Qt::Key(tecla));
        });
        QAction* accion = f.MostrarMenu(menu, punto);
        QCOMPARE(accion ? accion->objectName() : QString(), elegida);
        QCOMPARE(mostradoEn, punto);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(f.PRespuesta, respuesta);
    }

    // At the mouse position when the caller gives no point.
    void enElCursor()
    {
        QCursor::setPos(200, 150);
        QPoint mostradoEn;
        responder([&](QWidget* emergente) {
            mostradoEn = emergente->pos();
            QTest::keyClick(emergente, Qt::Key_Escape);
        });
        menus().MostrarMenu(u"mnu_emergentexxviii"_s);
        QCOMPARE(mostradoEn, QCursor::pos());
    }
};

QTEST_MAIN(TstMenus)
#include "tst_menus.moc"
