#include "Soporte.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

// The console's events reach this program too: it stays.
BOOL WINAPI seQueda(DWORD)
{
    return TRUE;
}

} // namespace

// Windows' side of stopping the command-line report from its console: Ctrl+C
// and Ctrl+Break in the middle of a file, sent through the console the
// program shares with this test, on a database big enough for the event to
// come while a file is being written. The window program (.exe) takes the
// console of whoever started it; its companion (.com) runs it in its own.
class TstLineaConsola : public QObject
{
    Q_OBJECT

    QString m_base;

private slots:
    void initTestCase()
    {
        m_base = soporte::carpetaNueva(u"consola"_s) + u"/grande.db"_s;
        soporte::crearBaseGenerada(m_base, 3000);
        // A console of its own, which the program is started in; the test's
        // output keeps going where it went.
        const HANDLE salida = GetStdHandle(STD_OUTPUT_HANDLE);
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        FreeConsole();
        QVERIFY(AllocConsole());
        SetStdHandle(STD_OUTPUT_HANDLE, salida);
        SetStdHandle(STD_ERROR_HANDLE, error);
        SetConsoleCtrlHandler(seQueda, TRUE);
    }

    // The temporary file goes, the files already complete stay, one line
    // says what was interrupted and what was complete, and the run ends with
    // the code a console gives a program stopped by Ctrl+C.
    void evento_data()
    {
        QTest::addColumn<QString>("programa");
        QTest::addColumn<int>("evento");
        QTest::addColumn<QString>("salida"); // the file being written
        QTest::addColumn<QString>("nombre");
        const QString exe = QStringLiteral(RP_OPRODUCCION);
        const QString com = QStringLiteral(RP_OPRODUCCION_CONSOLA);
        QTest::newRow("Ctrl+C en el libro")
            << exe << int(CTRL_C_EVENT) << u"r.xlsx"_s << u"Ctrl+C"_s;
        QTest::newRow("Ctrl+C en el PDF") << exe << int(CTRL_C_EVENT) << u"r.pdf"_s << u"Ctrl+C"_s;
        QTest::newRow("Ctrl+Break en el libro")
            << exe << int(CTRL_BREAK_EVENT) << u"r.xlsx"_s << u"Ctrl+Break"_s;
        QTest::newRow("Ctrl+C en el libro, por el .com")
            << com << int(CTRL_C_EVENT) << u"r.xlsx"_s << u"Ctrl+C"_s;
    }
    void evento()
    {
        QFETCH(QString, programa);
        QFETCH(int, evento);
        QFETCH(QString, salida);
        QFETCH(QString, nombre);
        const QString d = soporte::carpetaNueva(u"evento"_s);
        const QString temporal = soporte::carpetaNueva(u"evento_tmp"_s);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, soporte::carpetaNueva(u"evento_programa"_s));
        env.insert(u"TMP"_s, QDir::toNativeSeparators(temporal));
        env.insert(u"TEMP"_s, QDir::toNativeSeparators(temporal));
        p.setProcessEnvironment(env);
        // Qt starts a program without a console when its own has no window
        // (a console without one, as here): the program must share this one.
        p.setCreateProcessArgumentsModifier(
            [](QProcess::CreateProcessArguments* a) { a->flags &= ~DWORD(CREATE_NO_WINDOW); });
        p.start(programa,
                {u"@DbName="_s + m_base + u';', u"--csv="_s + d + u"/r.csv"_s,
                 (salida.endsWith(u".pdf"_s) ? u"--pdf="_s : u"--xlsx="_s) + d + u'/' + salida});
        QVERIFY(p.waitForStarted());
        // The CSV is complete and the hidden temporary of the next file is there.
        const auto queda = [&d] {
            return QDir(d).entryList(QDir::Files | QDir::Hidden | QDir::System);
        };
        QElapsedTimer reloj;
        reloj.start();
        while (p.state() == QProcess::Running && queda().size() < 2 && reloj.elapsed() < 60000)
            QTest::qWait(5);
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable(u"el programa terminó antes del evento: "_s +
                            QString::fromUtf8(p.readAllStandardError())));
        if (!GenerateConsoleCtrlEvent(DWORD(evento), 0)) {
            const DWORD causa = GetLastError();
            p.kill();
            p.waitForFinished();
            // Wine's console sends Ctrl+C alone.
            QSKIP(qPrintable(
                u"esta consola no genera %1 (error %2 de GenerateConsoleCtrlEvent)"_s.arg(nombre)
                    .arg(causa)));
        }
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(DWORD(p.exitCode()), DWORD(STATUS_CONTROL_C_EXIT));
        QCOMPARE(queda(), QStringList{u"r.csv"_s});
        QCOMPARE(QDir(temporal).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(),
                 u"rp_oproduccion: interrumpido por %1 mientras escribía \"%2\"; ya escritos "
                 "(completos): %3/r.csv"_s.arg(nombre, d + u'/' + salida, d));
    }

    // The .com hands the .exe its arguments whole (blanks, letters outside
    // ASCII), the streams a script redirected, and its exit code.
    void companero_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<int>("codigo");
        QTest::newRow("salida") << QStringList{u"--version"_s} << 0;
        QTest::newRow("archivo") << QStringList{u"--demo"_s, u"--csv=%1/año y mes.csv"_s} << 0;
        QTest::newRow("opción mala") << QStringList{u"--nada"_s} << 2;
    }
    void companero()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(int, codigo);
        const QString d = soporte::carpetaNueva(u"companero"_s);
        argumentos.replaceInStrings(u"%1"_s, d);
        const QString programa = soporte::carpetaNueva(u"companero_programa"_s);
        const soporte::Salida exe =
            soporte::correrPrograma(QStringLiteral(RP_OPRODUCCION), argumentos, programa);
        const QStringList escritos = QDir(d).entryList(QDir::Files);
        for (const QString& escrito : escritos)
            QFile::remove(d + u'/' + escrito);
        const soporte::Salida com =
            soporte::correrPrograma(QStringLiteral(RP_OPRODUCCION_CONSOLA), argumentos, programa);
        QCOMPARE(exe.codigo, codigo);
        QVERIFY(!exe.out.isEmpty() || !exe.err.isEmpty());
        QCOMPARE(com.codigo, exe.codigo);
        QCOMPARE(com.out, exe.out);
        QCOMPARE(com.err, exe.err);
        QCOMPARE(QDir(d).entryList(QDir::Files), escritos);
    }
};

QTEST_GUILESS_MAIN(TstLineaConsola)
#include "tst_linea_consola.moc"
