#include "components/CompProgreso.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace {

// The progress window is modal while the work goes on: Escape and the close
// request mean "Cancelar" when the work can be cancelled, and nothing when it
// cannot. Neither ever hides it; only CerrarProgreso does.
class VentanaProgreso : public QDialog
{
public:
    using QDialog::QDialog;
    std::function<void()> alCancelar;

    void reject() override
    {
        if (alCancelar)
            alCancelar();
    }
};

} // namespace

CompProgreso::CompProgreso() = default;

CompProgreso::~CompProgreso()
{
    if (!QCoreApplication::closingDown())
        delete m_ventana;
}

void CompProgreso::MostrarProgreso(const QString& titulo, int, bool cancelable)
{
    m_cancelado = false;
    m_cancelable = cancelable;
    m_repintados = 0;
    m_titulo = titulo;
    m_textoMensaje.clear();
    m_textoDetalle.clear();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!m_ventana) {
        auto* ventana =
            new VentanaProgreso(QApplication::activeWindow(),
                                Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        ventana->alCancelar = [this] { cancelar(); };
        m_ventana = ventana;
        m_ventana->setObjectName(QStringLiteral("CompProgreso"));
        m_ventana->setWindowModality(Qt::ApplicationModal);
        auto* caja = new QVBoxLayout(m_ventana);
        m_mensaje = new QLabel(m_ventana);
        m_detalle = new QLabel(m_ventana);
        m_detalle->setMinimumWidth(320);
        auto* barra = new QProgressBar(m_ventana);
        barra->setRange(0, 0);
        // The labels are read by their texts, which change as the work goes
        // on; the bar and the button need words of their own.
        barra->setAccessibleName(QStringLiteral("Trabajo en curso"));
        barra->setAccessibleDescription(QStringLiteral("El avance se lee en el texto de arriba."));
        auto* botonCancelar = new QPushButton(QStringLiteral("&Cancelar"), m_ventana);
        botonCancelar->setObjectName(QStringLiteral("Cancelar"));
        botonCancelar->setAccessibleDescription(
            QStringLiteral("Detiene el trabajo en curso (también Escape)."));
        QObject::connect(botonCancelar, &QPushButton::clicked, m_ventana, [this] { cancelar(); });
        caja->addWidget(m_mensaje);
        caja->addWidget(m_detalle);
        caja->addWidget(barra);
        caja->addWidget(botonCancelar, 0, Qt::AlignRight);
    }
    auto* boton = m_ventana->findChild<QPushButton*>(QStringLiteral("Cancelar"));
    boton->setVisible(cancelable);
    boton->setEnabled(true);
    m_ventana->setWindowTitle(titulo);
    aplicar();
    m_ventana->show();
    // Made once for the window that was active then: over a dialog opened
    // since (the print preview) it must still come to the top.
    m_ventana->raise();
    QCoreApplication::processEvents();
}

void CompProgreso::ActualizarProgreso(int, const QString& titulo, const QString& mensaje,
                                      const QString& detalle)
{
    m_titulo = titulo;
    m_textoMensaje = mensaje;
    m_textoDetalle = detalle;
    m_pendiente = true;
    if (m_ventana && m_reloj.isValid() && m_reloj.elapsed() < IntervaloMs) {
        // Held back texts reach the screen once the interval is over, even when
        // no further update comes.
        if (!m_temporizador) {
            m_temporizador = new QTimer(m_ventana);
            m_temporizador->setSingleShot(true);
            QObject::connect(m_temporizador, &QTimer::timeout, m_ventana, [this] {
                if (m_pendiente)
                    aplicar();
            });
        }
        if (!m_temporizador->isActive())
            m_temporizador->start(IntervaloMs);
        return;
    }
    aplicar();
}

void CompProgreso::aplicar()
{
    m_pendiente = false;
    m_reloj.start();
    if (!m_ventana)
        return;
    ++m_repintados;
    m_ventana->setWindowTitle(m_titulo);
    m_mensaje->setText(m_cancelado ? QStringLiteral("Cancelando...") : m_textoMensaje);
    m_detalle->setText(m_mensaje->fontMetrics().elidedText(m_textoDetalle, Qt::ElideRight, 480));
}

void CompProgreso::cancelar()
{
    if (!m_cancelable || m_cancelado)
        return;
    m_cancelado = true;
    // The work stops at its next step; until then the operator sees that the
    // request was taken.
    if (m_ventana) {
        m_ventana->findChild<QPushButton*>(QStringLiteral("Cancelar"))->setEnabled(false);
        aplicar();
    }
}

void CompProgreso::CerrarProgreso()
{
    // A window shown and hidden within moments can still be handed the focus
    // by the window manager once it has left the screen, and the keyboard then
    // goes to a window nobody sees. One that no longer exists cannot be.
    if (m_ventana) {
        // The window goes later, with its timer: texts still pending must
        // not reach a component that may be gone by then.
        if (m_temporizador)
            m_temporizador->stop();
        m_ventana->hide();
        m_ventana->deleteLater();
        m_ventana = nullptr;
        m_mensaje = m_detalle = nullptr;
        m_temporizador = nullptr;
    }
    m_reloj.invalidate();
}

bool CompProgreso::Visible() const
{
    return m_ventana && m_ventana->isVisible();
}

QString CompProgreso::TextoMostrado() const
{
    if (!m_ventana)
        return {};
    return m_mensaje->text() + QLatin1Char('\n') + m_detalle->text();
}
