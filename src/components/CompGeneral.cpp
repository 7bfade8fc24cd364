#include "components/CompGeneral.h"

#include "platform/controls/ScreenArea.h"
#include "platform/files/FileCommit.h"
#include "platform/text/PrintableText.h"
#include "platform/text/ValueText.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QWidget>
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

void CompGeneral::PrepararFormulario(QWidget* ventana, int) const
{
    // Room kept right of and below the outermost control, as the designs do.
    constexpr int Margen = 8;
    constexpr QSize LineasVisibles(120, 80);
    QRect todo, fijos;
    for (QWidget* hijo : ventana->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (hijo->isHidden() || hijo->isWindow())
            continue;
        const QRect r = hijo->geometry();
        todo |= r;
        fijos |= qobject_cast<QAbstractScrollArea*>(hijo) ? QRect(r.topLeft(), LineasVisibles) : r;
    }
    const QSize minimo =
        fijos.isEmpty() ? QSize() : QSize(fijos.right() + Margen, fijos.bottom() + Margen);
    if (minimo.isValid())
        ventana->setMinimumSize(minimo);

    const QRect zona = availableScreenArea(ventana);
    if (zona.isEmpty())
        return;
    // The window's frame is not known before it is shown: leave the usual
    // title bar and borders room inside the screen area.
    const QSize cabe = zona.size() - QSize(16, 40);
    QSize tam = ventana->size();
    if (!todo.isEmpty())
        tam = tam.expandedTo(QSize(todo.right() + Margen, todo.bottom() + Margen));
    ventana->resize(tam.boundedTo(cabe).expandedTo(ventana->minimumSize()));
    QRect marco = ventana->frameGeometry();
    marco.moveCenter(zona.center());
    ventana->move(marco.topLeft().x() < zona.left() ? zona.left() : marco.topLeft().x(),
                  marco.topLeft().y() < zona.top() ? zona.top() : marco.topLeft().y());
}

void CompGeneral::CentrarControl(QWidget* control) const
{
    if (!control || !control->parentWidget())
        return;
    const int ancho = control->parentWidget()->width();
    control->move((ancho - control->width()) / 2, control->y());
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
    const QString detalle = QStringLiteral(" (el detalle quedó en el registro de errores, QNErr.log)");
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

    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "Error %d: %s%s\n", error.number(),
                     qPrintable(TextoParaElOperador(error.description())),
                     tag.isEmpty() ? ""
                                   : qPrintable(QStringLiteral(" (") + tag + QLatin1Char(')')));
        return Abortar;
    }
    QMessageBox caja(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                     QStringLiteral("Error %1\n\n%2")
                         .arg(error.number())
                         .arg(TextoParaElOperador(error.description())));
    if (!tag.isEmpty())
        caja.setInformativeText(QStringLiteral("Procedimiento: %1").arg(tag));
    caja.setObjectName(QStringLiteral("MostrarError"));
    QPushButton* abortar = caja.addButton(QStringLiteral("&Abortar"), QMessageBox::RejectRole);
    QPushButton* reintentar =
        caja.addButton(QStringLiteral("&Reintentar"), QMessageBox::AcceptRole);
    QPushButton* ignorar = caja.addButton(QStringLiteral("&Omitir"), QMessageBox::DestructiveRole);
    abortar->setObjectName(QStringLiteral("Abortar"));
    reintentar->setObjectName(QStringLiteral("Reintentar"));
    ignorar->setObjectName(QStringLiteral("Omitir"));
    caja.setDefaultButton(reintentar);
    caja.setEscapeButton(abortar);
    caja.exec();
    if (caja.clickedButton() == reintentar)
        return Reintentar;
    if (caja.clickedButton() == ignorar)
        return Ignorar;
    return Abortar;
}

void CompGeneral::Mensaje(const QString& texto) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { Mensaje(texto); });
    if (m_mensajero) {
        m_mensajero(texto);
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
        return;
    }
    QMessageBox caja(QMessageBox::Information, QGuiApplication::applicationDisplayName(), texto,
                     QMessageBox::Ok);
    caja.setObjectName(QStringLiteral("Mensaje"));
    caja.exec();
}

int CompGeneral::MsgBox(const QString& texto, int estilo, const QString& titulo) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { return MsgBox(texto, estilo, titulo); });
    if (m_avisador)
        return m_avisador(texto, estilo, titulo);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(titulo), qPrintable(texto));
        return 1;
    }
    QMessageBox::Icon icono = QMessageBox::NoIcon;
    switch (estilo & 0x70) {
    case 16:
        icono = QMessageBox::Critical;
        break;
    case 32:
        icono = QMessageBox::Question;
        break;
    case 48:
        icono = QMessageBox::Warning;
        break;
    case 64:
        icono = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox caja(icono, titulo.isEmpty() ? QGuiApplication::applicationDisplayName() : titulo,
                     texto, QMessageBox::Ok);
    caja.setObjectName(QStringLiteral("MsgBox"));
    caja.exec();
    return 1;
}

QString CompGeneral::InputBox(const QString& pregunta, const QString& titulo,
                              const QString& porDefecto) const
{
    if (fueraDelHiloDeVentanas())
        return enElHiloDeVentanas([&] { return InputBox(pregunta, titulo, porDefecto); });
    if (m_preguntador)
        return m_preguntador(pregunta, titulo, porDefecto);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return {};
    QInputDialog caja;
    caja.setObjectName(QStringLiteral("InputBox"));
    caja.setWindowTitle(titulo.isEmpty() ? QGuiApplication::applicationDisplayName() : titulo);
    caja.setLabelText(pregunta);
    caja.setTextValue(porDefecto);
    return caja.exec() == QDialog::Accepted ? caja.textValue() : QString();
}
