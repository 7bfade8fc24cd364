#include "BaseDatos.h"
#include "Soporte.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <climits>
#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The command-line report stopped while it writes: by a signal, or by the
// reader of its output going away. The real program on a database big
// enough for the signal to come in the middle of a file.
class TstLineaSenales : public QObject
{
    Q_OBJECT

    QString m_base;

    // True when the process holds open, in `carpeta`, a file without a name yet.
    static bool escribeEn(qint64 pid, const QString& carpeta)
    {
        const QString fds = u"/proc/%1/fd"_s.arg(pid);
        for (const QString& fd :
             QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            char destino[PATH_MAX];
            const ssize_t n =
                ::readlink(QFile::encodeName(fds + u'/' + fd).constData(), destino, sizeof destino);
            if (n > 0 && QFile::decodeName(QByteArray(destino, n)).startsWith(carpeta + u"/#"_s))
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        m_base = soporte::carpetaNueva(u"senales"_s) + u"/grande.db"_s;
        soporte::crearBaseGenerada(m_base, 3000);
    }

    // Each stopping signal in the middle of a file: the temporary files go,
    // the files already complete stay, one line says what was interrupted
    // and what was complete, and the run ends by that signal. SIGKILL, which
    // no program can answer, leaves no temporary file either.
    void senal_data()
    {
        QTest::addColumn<int>("senal");
        QTest::addColumn<QString>("salida"); // the file being written
        QTest::newRow("SIGTERM en el libro") << SIGTERM << u"r.xlsx"_s;
        QTest::newRow("SIGINT en el PDF") << SIGINT << u"r.pdf"_s;
        QTest::newRow("SIGHUP en el libro") << SIGHUP << u"r.xlsx"_s;
        QTest::newRow("SIGKILL en el PDF") << SIGKILL << u"r.pdf"_s;
        QTest::newRow("SIGKILL en el libro") << SIGKILL << u"r.xlsx"_s;
        QTest::newRow("SIGTERM en el libro a /dev/null") << SIGTERM << u"/dev/null"_s;
    }
    void senal()
    {
        QFETCH(int, senal);
        QFETCH(QString, salida);
        const QString d = soporte::carpetaNueva(u"senal"_s);
        const QString temporal = soporte::carpetaNueva(u"senal_tmp"_s);
        const bool aDispositivo = salida.startsWith(u'/');
        const QString archivo = aDispositivo ? salida : d + u'/' + salida;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"RP_CARPETA_PROGRAMA"_s, soporte::carpetaNueva(u"senal_programa"_s));
        env.insert(u"TMPDIR"_s, temporal);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(RP_OPRODUCCION),
                {u"@DbName="_s + m_base + u';', u"--csv="_s + d + u"/r.csv"_s,
                 (salida.endsWith(u".pdf"_s) ? u"--pdf="_s : u"--xlsx="_s) + archivo});
        QVERIFY(p.waitForStarted());
        // The CSV is complete and the next file is being written.
        QElapsedTimer reloj;
        reloj.start();
        while (p.state() == QProcess::Running &&
               !(QFileInfo::exists(d + u"/r.csv"_s) &&
                 escribeEn(p.processId(), aDispositivo ? temporal : d)) &&
               reloj.elapsed() < 60000)
            QTest::qWait(5);
        QVERIFY2(p.state() == QProcess::Running,
                 qPrintable(u"el programa terminó antes de la señal: "_s +
                            QString::fromUtf8(p.readAllStandardError())));
        ::kill(pid_t(p.processId()), senal);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        QCOMPARE(p.exitCode(), senal);
        const auto queda = [](const QString& carpeta) {
            return QDir(carpeta).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                           QDir::NoDotAndDotDot);
        };
        // Qt's runtime folder, when the environment names none, is no leftover.
        QCOMPARE(queda(temporal).filter(QRegularExpression(u"^(?!runtime-)"_s)), QStringList());
        if (senal == SIGKILL) {
            // What the workbook library had in its scratch folder then goes
            // with the next workbook written there.
            if (salida.endsWith(u".xlsx"_s)) {
                p.start(QStringLiteral(RP_OPRODUCCION),
                        {u"@DbName="_s + m_base + u';', u"--xlsx="_s + d + u"/otro.xlsx"_s});
                QVERIFY(p.waitForFinished(60000));
                QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
                QCOMPARE(queda(d), (QStringList{u"otro.xlsx"_s, u"r.csv"_s}));
            } else {
                QCOMPARE(queda(d), QStringList{u"r.csv"_s});
            }
            return;
        }
        QCOMPARE(queda(d).join(u' '), u"r.csv"_s);
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        const QString nombre = senal == SIGTERM  ? u"SIGTERM"_s
                               : senal == SIGINT ? u"SIGINT"_s
                                                 : u"SIGHUP"_s;
        QCOMPARE(err, u"rp_oproduccion: interrumpido por la señal %1 mientras escribía \"%2\"; ya "
                      "escritos (completos): %3/r.csv"_s.arg(nombre, archivo, d));
    }

    // A reader that stops early (`| head -c 100`): one line and status 1, as
    // for any other output that cannot be written.
    void lectorQueSeVa()
    {
        QProcess p;
        p.start(u"sh"_s,
                {u"-c"_s,
                 u"(\"$0\" \"$1\" --csv=-; echo \"estado=$?\" >&2) | head -c 100 >/dev/null"_s,
                 QStringLiteral(RP_OPRODUCCION), u"@DbName="_s + m_base + u';'});
        QVERIFY(p.waitForFinished(120000));
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        QVERIFY2(err.endsWith(u"\nestado=1"_s) && err.count(u'\n') == 1 &&
                     err.contains(u"el programa que leía la salida la cerró antes del final"_s),
                 qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TstLineaSenales)
#include "tst_linea_senales.moc"
