#include "Grillas.h"
#include "Soporte.h"
#include "components/Componentes.h"
#include "export/ModExportarExcel.h"
#include "platform/files/DesktopOpener.h"
#include "platform/controls/GridModel.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Three columns: "Nro", "Art<" and an empty title; four data rows with
// spaces, marks, characters beyond ASCII and green cells; with `resaltar`
// some cells get the highlight colour.
void grillaDeDatos(GridModel& grilla, bool resaltar)
{
    grilla.setCols(3);
    grilla.setRows(5);
    const QStringList titulos = {u"Nro"_s, u" Art< "_s, u""_s};
    const QList<QStringList> filas = {{u"A1"_s, u"  "_s, u" 5 "_s},
                                      {u" 5 "_s, u"a<b & c>d"_s, u"x"_s},
                                      {u""_s, u""_s, u" "_s},
                                      {u"Ñandú"_s, u" y "_s, u"z"_s}};
    for (int c = 0; c < 3; ++c) {
        grilla.setText(0, c, titulos[c]);
        for (int r = 1; r <= 4; ++r)
            grilla.setText(r, c, filas[r - 1][c]);
        grilla.setBackColor(3, c, 65280);
    }
    if (resaltar) {
        grilla.setBackColor(1, 2, ModExportarExcel::ColorResaltado);
        grilla.setBackColor(2, 1, ModExportarExcel::ColorResaltado);
        grilla.setBackColor(4, 0, ModExportarExcel::ColorResaltado);
    }
    grilla.setCol(2);
}

} // namespace

// The HTML page, line by line against reference pages, its failures, and the
// route of ExportarExcel that writes it.
class TstGeneraHTML : public QObject
{
    Q_OBJECT

    QString m_carpeta;
    soporte::EscritorioDePrueba* m_escritorio = nullptr;
    QStringList m_mensajes;

    static QString leer(const QString& archivo)
    {
        QFile f(archivo);
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    QStringList referencia(const QString& nombre) const
    {
        QString texto = leer(QStringLiteral(RP_FUENTES_PRUEBA "/") + nombre);
        texto.replace(u"{CARPETA}"_s, m_carpeta);
        QStringList lineas = texto.split(u'\n');
        lineas.removeLast();
        return lineas;
    }

    // The page's lines; every one ended by CR LF.
    static QStringList lineas(const QString& archivo)
    {
        const QString texto = leer(archivo);
        if (!texto.endsWith(u"\r\n"_s) || texto.count(u'\n') != texto.count(u"\r\n"_s))
            return {u"(lines not ended by CR LF)"_s};
        QStringList resultado = texto.split(u"\r\n"_s);
        resultado.removeLast();
        return resultado;
    }

private slots:
    void initTestCase()
    {
        m_carpeta = soporte::carpetaNueva(u"genera_html"_s);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));
    }

    void init()
    {
        m_escritorio = grillas::reiniciarExportacion();
        m_mensajes.clear();
        Componentes::General().setMensajero([this](const QString& m) { m_mensajes << m; });
        Componentes::General().setPresentador(
            [](const RuntimeError&, const QString&) { return 3; });
    }

    void espacios_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("texto");
        QTest::newRow("negativo") << -3 << u""_s;
        QTest::newRow("cero") << 0 << u""_s;
        QTest::newRow("uno, sin punto y coma") << 1 << u"&nbsp"_s;
        QTest::newRow("dos") << 2 << u"&nbsp;&nbsp;"_s;
        QTest::newRow("cuatro") << 4 << u"&nbsp;&nbsp;&nbsp;&nbsp;"_s;
    }
    void espacios()
    {
        QFETCH(int, n);
        QTEST(ModExportarExcel::EspaciosHTML(n), "texto");
    }

    void pagina_data()
    {
        QTest::addColumn<int>("grilla"); // 0 titles only, 1 data, 2 data highlighted
        QTest::addColumn<QString>("titulo");
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QString>("esperada");
        QTest::newRow("solo titulos, sin titulo")
            << 0 << u""_s << u""_s << u"pagina_solo_titulos.html"_s;
        QTest::newRow("datos") << 1 << u"Órdenes <x>"_s << u"  Telvaro & Cía  "_s
                               << u"pagina_datos.html"_s;
        QTest::newRow("resaltada")
            << 2 << u"Órdenes <x>"_s << u"  Telvaro & Cía  "_s << u"pagina_resaltada.html"_s;
    }
    void pagina()
    {
        QFETCH(int, grilla);
        QFETCH(QString, titulo);
        QFETCH(QString, nombre);
        QFETCH(QString, esperada);
        ModExportarExcel::setValorParametroParaPruebas(
            [nombre](const QString& clave) { return clave == u"NOMBRE"_s ? nombre : QString(); });
        GridModel g;
        if (grilla == 0) {
            g.setCols(3);
            g.setRows(1);
            g.setText(0, 0, u" Nro "_s);
            g.setText(0, 1, u"Articulo"_s);
            g.setText(0, 2, u"Kg"_s);
        } else {
            grillaDeDatos(g, grilla == 2);
        }
        const QString archivo = m_carpeta + u"/pagina.ods"_s;
        const int filaAntes = g.row();
        const int columnaAntes = g.col();
        ModExportarExcel::GeneraHTML(archivo, g, titulo);
        QCOMPARE(lineas(archivo), referencia(esperada));
        // The page leaves the current cell on the last row, column 0; with no
        // data rows it does not move it.
        QCOMPARE(g.row(), grilla == 0 ? filaAntes : g.rows() - 1);
        QCOMPARE(g.col(), grilla == 0 ? columnaAntes : 0);
    }

    // The batch report's page is the same page, and leaves the grid alone.
    void guardarPaginaEsLaMisma()
    {
        GridModel g;
        grillaDeDatos(g, false);
        g.setRow(2);
        const QString interactiva = m_carpeta + u"/interactiva.ods"_s;
        const QString lote = m_carpeta + u"/lote.html"_s;
        ModExportarExcel::GuardarPaginaHTML(g, lote, u"Título"_s);
        QCOMPARE(g.row(), 2);
        QCOMPARE(g.col(), 2);
        ModExportarExcel::GeneraHTML(interactiva, g, u"Título"_s);
        QCOMPARE(leer(lote), leer(interactiva));
        QVERIFY(leer(lote).contains(u"T&#205;TULO"_s));
    }

    void guardarPaginaFalla()
    {
        GridModel g;
        grillaDeDatos(g, false);
        const QString archivo = m_carpeta + u"/no/existe/pagina.html"_s;
        try {
            ModExportarExcel::GuardarPaginaHTML(g, archivo, {});
            QFAIL("no falló");
        } catch (const RuntimeError& error) {
            // The path as the system writes it (backslashes on Windows).
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(u"/no/existe"_s)),
                     qPrintable(error.description()));
        }
        QVERIFY(!QFileInfo::exists(archivo));
    }

    // A page that cannot be created, with each answer: the file is always
    // closed, and nothing half-written appears under the page's name.
    void fallos_data()
    {
        QTest::addColumn<QList<int>>("respuestas");
        QTest::addColumn<bool>("crearCarpeta"); // the operator makes the folder, then answers
        QTest::addColumn<int>("mostrados");
        QTest::addColumn<bool>("escrita");
        QTest::newRow("abortar") << QList<int>{3} << false << 1 << false;
        QTest::newRow("reintentar sin arreglar y abortar")
            << QList<int>{4, 3} << false << 2 << false;
        QTest::newRow("arreglar y reintentar") << QList<int>{4} << true << 1 << true;
        QTest::newRow("omitir la apertura y abortar") << QList<int>{5, 3} << false << 2 << false;
    }
    void fallos()
    {
        QFETCH(QList<int>, respuestas);
        QFETCH(bool, crearCarpeta);
        const QString carpeta = soporte::carpetaNueva(u"genera_html_fallos"_s) + u"/nueva"_s;
        const QString archivo = carpeta + u"/pagina.ods"_s;
        QStringList vistos;
        Componentes::General().setPresentador([&](const RuntimeError& e, const QString& etiqueta) {
            vistos << etiqueta + u": "_s + e.description();
            if (crearCarpeta)
                QDir().mkpath(carpeta);
            return respuestas.isEmpty() ? 3 : respuestas.takeFirst();
        });
        GridModel g;
        grillaDeDatos(g, false);
        ModExportarExcel::GeneraHTML(archivo, g, {});
        QTEST(int(vistos.size()), "mostrados");
        QVERIFY2(vistos.first().startsWith(u"GeneraHTML: "_s), qPrintable(vistos.first()));
        QVERIFY2(vistos.first().contains(QDir::toNativeSeparators(archivo.section(u'/', 0, -2))),
                 qPrintable(vistos.first()));
        QFETCH(bool, escrita);
        QCOMPARE(QFileInfo::exists(archivo), escrita);
        if (escrita)
            QCOMPARE(lineas(archivo).size(), 13 + 3 + 4 + 3);
        if (QFileInfo::exists(carpeta))
            QCOMPARE(QDir(carpeta).entryList(QDir::Files | QDir::Hidden).size(), escrita ? 1 : 0);
    }

    // USAEXCEL decides the route: empty or exactly "SI" is the workbook with
    // no question; anything else asks the operator.
    void ruta_data()
    {
        QTest::addColumn<QString>("valor");
        QTest::addColumn<bool>("forzar");
        QTest::addColumn<bool>("aceptar");
        QTest::addColumn<bool>("pregunta");
        QTest::addColumn<bool>("pagina");
        QTest::newRow("vacio") << u""_s << false << true << false << false;
        QTest::newRow("solo espacios") << u"   "_s << false << true << false << false;
        QTest::newRow("SI exacto") << u"SI"_s << false << true << false << false;
        QTest::newRow("si en minusculas, Aceptar") << u"si"_s << false << true << true << true;
        QTest::newRow("SI con espacio, Aceptar") << u" SI"_s << false << true << true << true;
        QTest::newRow("NO, Cancelar es el libro") << u"NO"_s << false << false << true << false;
        QTest::newRow("forzado no pregunta") << u"NO"_s << true << true << false << false;
    }
    void ruta()
    {
        QFETCH(QString, valor);
        QFETCH(bool, forzar);
        QFETCH(bool, aceptar);
        const QString exportados = soporte::carpetaNueva(u"genera_html_ruta"_s);
        qputenv("RP_CARPETA_EXPORTACION", QFile::encodeName(exportados));
        const QString programa = soporte::carpetaNueva(u"genera_html_programa"_s);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(programa));
        ModExportarExcel::setValorParametroParaPruebas(
            [valor](const QString& clave) { return clave == u"USAEXCEL"_s ? valor : QString(); });
        QStringList preguntas;
        ModExportarExcel::setRespuestaRutaParaPruebas([&](const QString& texto) {
            preguntas << texto;
            return aceptar;
        });
        GridModel g;
        grillaDeDatos(g, false);
        ModExportarExcel::ExportarExcel(g, false, u"Mi título"_s, u"ignorado"_s, forzar);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));

        QFETCH(bool, pregunta);
        QCOMPARE(preguntas.size(), pregunta ? 1 : 0);
        if (pregunta)
            QVERIFY(preguntas.first().contains(u"Open Office[Aceptar] o en Excel[Cancelar]"_s));
        QFETCH(bool, pagina);
        const QStringList paginas = QDir(programa).entryList({u"PL*.ods"_s}, QDir::Files);
        const QStringList libros = QDir(exportados).entryList({u"*.xlsx"_s}, QDir::Files);
        QCOMPARE(paginas.size(), pagina ? 1 : 0);
        QCOMPARE(libros.size(), pagina ? 0 : 1);
        QCOMPARE(m_escritorio->abiertos.size(), 1);
        if (pagina) {
            QVERIFY(QRegularExpression(u"^PL\\d{1,6}\\.ods$"_s).match(paginas.first()).hasMatch());
            QCOMPARE(m_escritorio->abiertos.first(), programa + u'/' + paginas.first());
            QVERIFY(leer(programa + u'/' + paginas.first()).contains(u"MI T&#205;TULO"_s));
        }
        QVERIFY(!Componentes::Progreso().Visible());
    }

    // Links planted under the names the page may take, pointing nowhere yet:
    // the page takes another name and nothing is created where they point.
    void paginaNoSigueEnlaces()
    {
        const QString programa = soporte::carpetaNueva(u"genera_html_enlaces"_s);
        const QString ajeno = soporte::carpetaNueva(u"genera_html_ajeno"_s) + u"/creado"_s;
        const QTime ahora = QTime::currentTime();
        for (int s = 0; s < 5; ++s) {
            const QTime t = ahora.addSecs(s);
            QVERIFY(QFile::link(ajeno, programa + u"/PL%1%2%3.ods"_s.arg(t.hour())
                                                      .arg(t.minute())
                                                      .arg(t.second())));
        }
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(programa));
        ModExportarExcel::setValorParametroParaPruebas([](const QString&) { return u"NO"_s; });
        ModExportarExcel::setRespuestaRutaParaPruebas([](const QString&) { return true; });
        GridModel g;
        grillaDeDatos(g, false);
        ModExportarExcel::ExportarExcel(g, true, {}, {}, false);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));
        QVERIFY(!QFileInfo::exists(ajeno));
        QCOMPARE(m_escritorio->abiertos.size(), 1);
        QVERIFY2(QFileInfo(m_escritorio->abiertos.first()).isFile() &&
                     !QFileInfo(m_escritorio->abiertos.first()).isSymLink(),
                 qPrintable(m_escritorio->abiertos.first()));
    }

    // The desktop cannot open the page: the operator is told where it is.
    // A page of the same name is not overwritten.
    void paginaQueNoSeAbre()
    {
        const QString programa = soporte::carpetaNueva(u"genera_html_sin_escritorio"_s);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(programa));
        ModExportarExcel::setValorParametroParaPruebas([](const QString&) { return u"NO"_s; });
        ModExportarExcel::setRespuestaRutaParaPruebas([](const QString&) { return true; });
        m_escritorio->hayPrograma = false;
        GridModel g;
        grillaDeDatos(g, false);
        ModExportarExcel::ExportarExcel(g, true, {}, {}, false);
        ModExportarExcel::ExportarExcel(g, true, {}, {}, false);
        qputenv("RP_CARPETA_PROGRAMA", QFile::encodeName(m_carpeta));
        QCOMPARE(m_escritorio->abiertos.size(), 2);
        QVERIFY(m_escritorio->abiertos[0] != m_escritorio->abiertos[1]);
        QCOMPARE(m_mensajes.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(m_mensajes[i].contains(QDir::toNativeSeparators(m_escritorio->abiertos[i])), qPrintable(m_mensajes[i]));
            QVERIFY(QFileInfo(m_escritorio->abiertos[i]).isFile());
        }
    }
};

QTEST_MAIN(TstGeneraHTML)
#include "tst_genera_html.moc"
