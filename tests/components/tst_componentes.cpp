#include "components/Componentes.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TstComponentes : public QObject
{
    Q_OBJECT

private slots:
    void init() { Componentes::ReiniciarParaPruebas(); }

    void unaInstanciaPorComponente()
    {
        CompDatos* datos = &Componentes::Datos();
        Componentes::Datos().setBaseDatos(u"GESTION"_s);
        QCOMPARE(&Componentes::Datos(), datos);
        QCOMPARE(Componentes::Datos().BaseDatos(), u"GESTION"_s);
        QCOMPARE(&Componentes::General(), &Componentes::General());
        QCOMPARE(&Componentes::Sesion(), &Componentes::Sesion());
        Componentes::ReiniciarParaPruebas();
        QCOMPARE(Componentes::Datos().BaseDatos(), QString());
    }

    void equipo()
    {
        CompEquipo& equipo = Componentes::Equipo();
        QVERIFY(!equipo.NombreEquipo().isEmpty());
        QVERIFY(!equipo.UsuarioEquipo().isEmpty());
        QWidget enorme;
        enorme.setGeometry(-500, -500, 20000, 20000);
        equipo.PrepararVentana(&enorme);
        const QRect zona = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(zona.contains(enorme.frameGeometry().topLeft()));
        QVERIFY(enorme.width() <= zona.width());
    }

    void centrarControl()
    {
        QWidget ventana;
        ventana.resize(600, 300);
        QPushButton boton(&ventana);
        boton.setGeometry(10, 120, 100, 30);
        Componentes::General().CentrarControl(&boton);
        QCOMPARE(boton.geometry(), QRect(250, 120, 100, 30));
    }

    void progresoNoRepintaEnCadaLlamada()
    {
        CompProgreso& p = Componentes::Progreso();
        p.MostrarProgreso(u"Exportando a Excel"_s, 0);
        QVERIFY(p.Visible());
        for (int i = 0; i < 20000; ++i)
            p.ActualizarProgreso(0, u"Exportando a Excel"_s, u"Espere Por Favor"_s,
                                 QString::number(i));
        QVERIFY2(p.Repintados() < 20, qPrintable(QString::number(p.Repintados())));
        // The last text reaches the screen once the interval has passed.
        QTRY_VERIFY(p.TextoMostrado().endsWith(u"19999"_s));
        QVERIFY(p.TextoMostrado().startsWith(u"Espere Por Favor"_s));
        p.CerrarProgreso();
        QVERIFY(!p.Visible());
    }

    void progresoCancelable()
    {
        CompProgreso& p = Componentes::Progreso();
        p.MostrarProgreso(u"Cargando"_s, 0, true);
        auto* cancelar = QApplication::topLevelWidgets().isEmpty() ? nullptr : [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == u"CompProgreso"_s)
                    return w->findChild<QPushButton*>(u"Cancelar"_s);
            return static_cast<QPushButton*>(nullptr);
        }();
        QVERIFY(cancelar && cancelar->isVisible());
        QVERIFY(!p.Cancelado());
        cancelar->click();
        QVERIFY(p.Cancelado());
        p.MostrarProgreso(u"Otra vez"_s, 0, false);
        QVERIFY(!p.Cancelado());
        QVERIFY(!cancelar->isVisible());
        p.CerrarProgreso();
    }
};

QTEST_MAIN(TstComponentes)
#include "tst_componentes.moc"
