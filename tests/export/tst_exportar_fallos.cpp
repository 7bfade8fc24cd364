#include "Grillas.h"
#include "LectorLibro.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/spreadsheet/PrintPreview.h"

#include <QDir>
#include <QtTest>

using namespace Qt::StringLiterals;

// Failures met at several points of the spreadsheet route, with each answer
// of the error dialog: retry runs the statement again, skip goes on with the
// next one, abort leaves, and leaving closes the progress window and drops
// the hidden workbook.
class TstExportarFallos : public QObject
{
    Q_OBJECT

    QString m_carpeta;

    QStringList libros(const QString& carpeta) const
    {
        QStringList nombres = QDir(carpeta).entryList({u"*.xlsx"_s}, QDir::Files);
        for (QString& n : nombres)
            n = carpeta + u'/' + n;
        return nombres;
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"exportar_fallos"_s);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));
        DesktopOpener::setInstance(std::make_unique<soporte::EscritorioDePrueba>());
    }

    void fallos_data()
    {
        QTest::addColumn<QString>("punto");
        QTest::addColumn<QList<int>>("respuestas");
        QTest::addColumn<int>("mostrados");
        QTest::addColumn<bool>("guardado");
        QTest::addColumn<QString>("celda");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QVariant>("esperado");

        // A column of 30000 twips is wider than a sheet column can be: the
        // header's widths fail.
        QTest::newRow("ancho: abortar")
            << u"ancho"_s << QList<int>{3} << 1 << false << u""_s << u""_s << QVariant();
        QTest::newRow("ancho: reintentar y abortar")
            << u"ancho"_s << QList<int>{4, 3} << 2 << false << u""_s << u""_s << QVariant();
        QTest::newRow("ancho: omitir sigue con las celdas")
            << u"ancho"_s << QList<int>{5} << 1 << true << u"A2"_s << u"valor"_s
            << QVariant(u"0001-1"_s);
        QTest::newRow("ancho: omitir deja los titulos")
            << u"ancho"_s << QList<int>{5} << 1 << true << u"A1"_s << u"valor"_s
            << QVariant(u"Nro OP"_s);

        // A back colour the application refuses: a system colour the desktop
        // has not got. (A text too long for a cell no longer fails: the file
        // cuts it.)
        QTest::newRow("color: abortar")
            << u"color"_s << QList<int>{3} << 1 << false << u""_s << u""_s << QVariant();
        QTest::newRow("color: omitir deja la celda sin relleno")
            << u"color"_s << QList<int>{5} << 1 << true << u"B3"_s << u"relleno"_s
            << QVariant::fromValue(nullptr);
        QTest::newRow("color: omitir formatea la celda")
            << u"color"_s << QList<int>{5} << 1 << true << u"B3"_s << u"fuente"_s
            << QVariant(u"Tahoma"_s);
        QTest::newRow("color: reintentar y omitir sigue")
            << u"color"_s << QList<int>{4, 5} << 2 << true << u"C3"_s << u"valor"_s
            << QVariant(u"despues"_s);

        // A font size the application refuses.
        QTest::newRow("tamaño: abortar")
            << u"tamano"_s << QList<int>{3} << 1 << false << u""_s << u""_s << QVariant();
        QTest::newRow("tamaño: omitir deja el de la hoja")
            << u"tamano"_s << QList<int>{5} << 1 << true << u"B2"_s << u"tamano"_s << QVariant(8.0);
        QTest::newRow("tamaño: omitir sigue con la negrita")
            << u"tamano"_s << QList<int>{5} << 1 << true << u"B2"_s << u"negrita"_s
            << QVariant(true);

        // The export folder cannot be made (a file has its name).
        QTest::newRow("guardar: abortar")
            << u"guardar"_s << QList<int>{3} << 1 << false << u""_s << u""_s << QVariant();
        QTest::newRow("guardar: omitir")
            << u"guardar"_s << QList<int>{5} << 1 << false << u""_s << u""_s << QVariant();
        QTest::newRow("guardar: arreglar y reintentar")
            << u"guardar"_s << QList<int>{4} << 1 << true << u"A2"_s << u"valor"_s
            << QVariant(u"0001-1"_s);
    }
    void fallos()
    {
        QFETCH(QString, punto);
        QFETCH(QList<int>, respuestas);
        QFETCH(bool, guardado);
        QFETCH(QString, celda);
        QFETCH(QString, campo);
        QFETCH(QVariant, esperado);

        Componentes::ReiniciarParaPruebas();
        const QString caso = soporte::carpetaNueva(u"exportar_fallos/"_s + QTest::currentDataTag());
        const QString buena = caso + u"/exportados"_s;
        QString exportacion = buena;
        if (punto == u"guardar"_s) {
            QFile estorbo(caso + u"/archivo"_s);
            QVERIFY(estorbo.open(QIODevice::WriteOnly));
            exportacion = estorbo.fileName() + u"/exportados"_s;
        }
        qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(exportacion));

        GridModel grilla;
        grillas::reporte(grilla, 2);
        grillas::lineaDeOrden(grilla, 1, {u""_s, u"0001-1"_s, u"A-1"_s, u"Perfil"_s});
        grilla.setText(2, 3, u"despues"_s);
        grilla.setFontBold(1, 2, true);
        if (punto == u"ancho"_s)
            grilla.setColWidth(1, 30000);
        if (punto == u"color"_s)
            grilla.setBackColor(2, 2, static_cast<int>(0x800000FFu));
        if (punto == u"tamano"_s)
            grilla.setFontSize(1, 2, 500);

        QStringList vistos;
        Componentes::General().setPresentador([&](const RuntimeError& e, const QString& etiqueta) {
            vistos << e.description();
            // The spreadsheet export passes no tag.
            [&] { QCOMPARE(etiqueta, QString()); }();
            // While the dialog is up the progress window is still there.
            if (punto != u"ancho"_s)
                [&] { QVERIFY(Componentes::Progreso().Visible() || punto == u"guardar"_s); }();
            if (punto == u"guardar"_s)
                qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(buena));
            return respuestas.isEmpty() ? 3 : respuestas.takeFirst();
        });
        int vistas = 0;
        PrintPreview::setPresenter([&](const Worksheet&) { ++vistas; });

        ModExportarExcel::ExportarExcel(grilla, true, u""_s, u""_s, false);

        QTEST(int(vistos.size()), "mostrados");
        QVERIFY(!vistos.isEmpty());
        QVERIFY2(!vistos.first().isEmpty(), "the dialog is told what failed");
        QVERIFY(!Componentes::Progreso().Visible());
        QVERIFY(!ModExportarExcel::ExcelRetenido());
        const QStringList hechos = libros(buena);
        QCOMPARE(hechos.size(), guardado ? 1 : 0);
        if (!guardado || celda.isEmpty())
            return;
        const QJsonObject libro = lectorLibro::leer(hechos.first());
        QCOMPARE(lectorLibro::celda(libro, celda)[campo].toVariant(), esperado);
    }
};

QTEST_MAIN(TstExportarFallos)
#include "tst_exportar_fallos.moc"
