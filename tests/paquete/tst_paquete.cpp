#include "LectorLibro.h"
#include "Soporte.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace Qt::StringLiterals;

// The package unpacked into a scratch folder, its programs run from there with
// the machine's libraries, as they run once installed.
class TstPaquete : public QObject
{
    Q_OBJECT

    QString m_deb;
    QString m_raiz;
    QString m_carpeta;

    static QString correr(const QString& programa, const QStringList& argumentos)
    {
        QProcess p;
        p.start(programa, argumentos);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0)
            return u"FALLÓ: "_s + programa + u' ' + argumentos.join(u' ') + u": "_s +
                   QString::fromUtf8(p.readAllStandardError());
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    soporte::Salida programa(const QStringList& argumentos) const
    {
        return soporte::correrPrograma(m_raiz + u"/usr/bin/rp_oproduccion"_s, argumentos,
                                       m_carpeta + u"/programa"_s, u"C.UTF-8"_s);
    }

private slots:
    void initTestCase()
    {
        const QFileInfoList debs = QDir(QStringLiteral(RP_PAQUETE_DIR))
                                       .entryInfoList({u"rp-oproduccion_*.deb"_s}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        m_deb = debs.first().absoluteFilePath();
        m_carpeta = soporte::carpetaNueva(u"paquete"_s);
        m_raiz = m_carpeta + u"/raiz"_s;
        QCOMPARE(correr(u"dpkg-deb"_s, {u"-x"_s, m_deb, m_raiz}), QString());
    }

    void version()
    {
        QCOMPARE(correr(u"dpkg-deb"_s, {u"-f"_s, m_deb, u"Version"_s}).trimmed(),
                 QStringLiteral(RP_VERSION_PROYECTO));
        const soporte::Salida s = programa({u"--version"_s});
        QCOMPARE(s.codigo, 0);
        QCOMPARE(s.out, u"rp_oproduccion "_s + QStringLiteral(RP_VERSION_PROYECTO) + u'\n');
    }

    // Every option the program lists is described in its manual page.
    void ayudaYManual()
    {
        const soporte::Salida s = programa({u"--help"_s});
        QCOMPARE(s.codigo, 0);
        const QString manual =
            correr(u"zcat"_s, {m_raiz + u"/usr/share/man/man1/rp_oproduccion.1.gz"_s})
                .replace(u"\\-"_s, u"-"_s);
        QVERIFY2(manual.contains(u".TH RP_OPRODUCCION 1"_s), qPrintable(manual.left(200)));
        static const QRegularExpression opcion(u"--[A-Za-z_-]+"_s);
        QStringList faltan;
        for (const QRegularExpressionMatch& m : opcion.globalMatch(s.out))
            if (!manual.contains(m.captured()))
                faltan << m.captured();
        QCOMPARE(faltan, QStringList());
    }

    // The menu entry starts a program and shows an icon that the package carries.
    void escritorio()
    {
        QFile entrada(m_raiz + u"/usr/share/applications/rp_oproduccion.desktop"_s);
        QVERIFY(entrada.open(QIODevice::ReadOnly));
        const QString texto = QString::fromUtf8(entrada.readAll());
        static const QRegularExpression exec(u"^Exec=(\\S+)"_s,
                                             QRegularExpression::MultilineOption);
        static const QRegularExpression icono(u"^Icon=(\\S+)"_s,
                                              QRegularExpression::MultilineOption);
        const QString programa = m_raiz + u"/usr/bin/"_s + exec.match(texto).captured(1);
        QVERIFY2(QFileInfo(programa).isExecutable(), qPrintable(programa));
        const QString imagen = m_raiz + u"/usr/share/icons/hicolor/scalable/apps/"_s +
                               icono.match(texto).captured(1) + u".svg"_s;
        QVERIFY2(QFileInfo(imagen).isFile(), qPrintable(imagen));
    }

    // The packaged rp_base makes the demonstration database; the packaged program
    // writes the report on it, and --demo finds the packaged copy of the same data.
    void reporte_data()
    {
        QTest::addColumn<bool>("demo");
        QTest::newRow("rp_base") << false;
        QTest::newRow("--demo") << true;
    }
    void reporte()
    {
        QFETCH(bool, demo);
        const QString carpeta = soporte::carpetaNueva(u"paquete/"_s + QTest::currentDataTag());
        QStringList argumentos{u"@UsuarioLogeado=cron;"_s, u"--Fecha_Desde=1/10/2026"_s,
                               u"--Fecha_Hasta=31/10/2026"_s, u"--csv="_s + carpeta + u"/r.csv"_s,
                               u"--xlsx="_s + carpeta + u"/r.xlsx"_s};
        if (demo) {
            argumentos << u"--demo"_s;
        } else {
            const QString base = carpeta + u"/demo.db"_s;
            const soporte::Salida b = soporte::correrPrograma(
                m_raiz + u"/usr/bin/rp_base"_s, {u"--sqlite"_s, base, u"--demo"_s}, carpeta);
            QVERIFY2(b.codigo == 0, qPrintable(b.err));
            argumentos << u"@DbName="_s + base + u';';
        }
        const soporte::Salida s =
            soporte::correrPrograma(m_raiz + u"/usr/bin/rp_oproduccion"_s, argumentos, carpeta,
                                    u"C.UTF-8"_s); // the CSV checked is the C locale's
        QVERIFY2(s.codigo == 0, qPrintable(s.err));
        QFile csv(carpeta + u"/r.csv"_s);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList filas = QString::fromUtf8(csv.readAll()).split(u"\r\n"_s);
        QCOMPARE(filas.first(), u"Nro OP,Insumo,Descrpcion,Cantidad,PE,Kg,Espesor"_s);
        QVERIFY(filas.contains(u",CH-AC-SAE1010,Chapa de acero SAE 1010,1,7850,471,"_s));
        const QJsonObject libro = lectorLibro::leer(carpeta + u"/r.xlsx"_s);
        QCOMPARE(lectorLibro::celda(libro, u"B3"_s).value(u"valor"_s).toString(),
                 u"CH-AC-SAE1010"_s);
        QCOMPARE(lectorLibro::celda(libro, u"F3"_s).value(u"valor"_s).toDouble(), 471.0);
    }
};

QTEST_GUILESS_MAIN(TstPaquete)
#include "tst_paquete.moc"
