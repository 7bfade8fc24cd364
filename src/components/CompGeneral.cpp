#include "components/CompGeneral.h"

#include "platform/files/FileCommit.h"
#include "platform/text/PrintableText.h"
#include "platform/text/ValueText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <cstdio>
#include <exception>
#include <type_traits>

namespace {

// Every window belongs to the application's thread: a dialog asked for on a
// worker is shown there, and the worker waits for the operator's answer.
bool fueraDelHiloDeVentanas()
{
    const QCoreApplication* aplicacion = QCoreApplication::instance();
    return aplicacion && QThread::currentThread() != aplicacion->thread();
}

template <class Pregunta> auto enElHiloDeVentanas(Pregunta&& pregunta)
{
    using Respuesta = decltype(pregunta());
    std::exception_ptr fallo;
    if constexpr (std::is_void_v<Respuesta>) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                try {
                    pregunta();
                } catch (...) {
                    fallo = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (fallo)
            std::rethrow_exception(fallo);
    } else {
        Respuesta respuesta{};
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&] {
                try {
                    respuesta = pregunta();
                } catch (...) {
                    fallo = std::current_exception();
                }
            },
            Qt::BlockingQueuedConnection);
        if (fallo)
            std::rethrow_exception(fallo);
        return respuesta;
    }
}

} // namespace

bool CompGeneral::hayVentanas()
{
    const QCoreApplication* aplicacion = QCoreApplication::instance();
    return s_dialogos && aplicacion && aplicacion->inherits("QApplication");
}

QString CompGeneral::ValorNoNulo(const QVariant& valor) const
{
    return valueText(valor);
}

Currency CompGeneral::ValorNumerico(const QString& texto) const
{
    Currency valor;
    Currency::parse(texto, valor);
    return valor;
}

QString CompGeneral::CompletarCodigo(const QString& codigo, int ancho) const
{
    return codigo.size() >= ancho ? codigo : codigo.leftJustified(ancho, QLatin1Char(' '));
}

QString CompGeneral::Reemplazar(const QString& texto, const QString& buscar,
                                const QString& reemplazo) const
{
    if (buscar.isEmpty())
        return texto;
    QString resultado = texto;
    return resultado.replace(buscar, reemplazo);
}

QString CompGeneral::CompletarRuta(const QString& ruta) const
{
    if (ruta.isEmpty() || ruta.endsWith(QLatin1Char('/')))
        return ruta;
    return ruta + QLatin1Char('/');
}

void CompGeneral::RegistrarError(const RuntimeError& error, const QString& etiqueta) const
{
    if (m_archivoLog.isEmpty())
        return;
    // The log is a courtesy to whoever supports the workstation: when it cannot
    // be written the error is still shown, which is what matters to the operator.
    const QString linea =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd\tHH:mm:ss")) + u'\t' +
        etiqueta + u'\t' + QString::number(error.number()) + u'\t' +
        QString(error.description()).replace(QLatin1Char('\n'), QLatin1Char(' ')) + u'\n';
    try {
        fileCommit::appendToOwnFile(m_archivoLog, linea.toUtf8());
    } catch (const RuntimeError& fallo) {
        // A link planted in the log's place, another user's file the log may
        // not append to, a full disk: the log cannot hold its own failure, so
        // it goes where someone may read it.
        std::fprintf(stderr, "rp_oproduccion: %s; no se registra: %s\n",
                     qPrintable(terminalText(fallo.description())),
                     qPrintable(terminalText(
                         QString(error.description()).replace(QLatin1Char('\n'), u' '))));
    }
}

QString CompGeneral::TextoParaElOperador(const QString& descripcion)
{
    static const QRegularExpression conexion(
        QStringLiteral("se perdió la conexión con la base de datos|connection (is down|lost|was "
                       "lost)|server closed the connection|could not receive data from server|no "
                       "connection to the server|communication link failure"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sinTabla(
        QStringLiteral("no such table: ([\\w.\"\\[\\]]+)|relation \"([^\"]+)\" does not exist|"
                       "invalid object name '([^']+)'"),
        QRegularExpression::CaseInsensitiveOption);
    const QString detalle =
        QStringLiteral(" (el detalle quedó en el registro de errores, QNErr.log)");
    if (conexion.match(descripcion).hasMatch())
        return QStringLiteral("Se perdió la conexión con la base de datos: el servidor la cerró o "
                              "dejó de responder. Vuelva a intentarlo; si se repite, avise a quien "
                              "administra el servidor") +
               detalle;
    if (const auto m = sinTabla.match(descripcion); m.hasMatch()) {
        QString tabla = m.captured(1);
        for (int i = 2; tabla.isEmpty() && i <= 3; ++i)
            tabla = m.captured(i);
        return QStringLiteral("La base de datos no tiene la tabla o vista %1 que el programa lee: "
                              "revise que @DbName nombre una base de datos de la suite")
                   .arg(tabla) +
               detalle;
    }
    if (descripcion.contains(QLatin1String("Invalid string or buffer length")))
        return QStringLiteral("El controlador ODBC rechazó un texto por demasiado largo (el nombre "
                              "de la base de datos, el usuario o la clave): revise @DbName, "
                              "@Usuario y @Password") +
               detalle;
    return descripcion;
}

int CompGeneral::MostrarError(const RuntimeError& error, const std::optional<QString>& etiqueta)
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { return MostrarError(error, etiqueta); });
    const QString tag = etiqueta.value_or(QString());
    RegistrarError(error, tag);
    if (m_presentador)
        return m_presentador(error, tag);

    if (!hayVentanas()) {
        std::fprintf(stderr, "Error %d: %s%s\n", error.number(),
                     qPrintable(TextoParaElOperador(error.description())),
                     tag.isEmpty() ? ""
                                   : qPrintable(QStringLiteral(" (") + tag + QLatin1Char(')')));
        return Abortar;
    }
    return s_dialogos->error(error, TextoParaElOperador(error.description()), tag);
}

void CompGeneral::Mensaje(const QString& texto) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { Mensaje(texto); });
    if (m_mensajero) {
        m_mensajero(texto);
        return;
    }
    if (!hayVentanas()) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
        return;
    }
    s_dialogos->mensaje(texto);
}

int CompGeneral::MsgBox(const QString& texto, int estilo, const QString& titulo) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { return MsgBox(texto, estilo, titulo); });
    if (m_avisador)
        return m_avisador(texto, estilo, titulo);
    if (!hayVentanas()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(titulo), qPrintable(texto));
        return 1;
    }
    return s_dialogos->msgBox(texto, estilo, titulo);
}

QString CompGeneral::InputBox(const QString& pregunta, const QString& titulo,
                              const QString& porDefecto) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { return InputBox(pregunta, titulo, porDefecto); });
    if (m_preguntador)
        return m_preguntador(pregunta, titulo, porDefecto);
    if (!hayVentanas())
        return {};
    return s_dialogos->inputBox(pregunta, titulo, porDefecto);
}
