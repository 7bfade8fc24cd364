#include "components/CompProgreso.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CompProgreso::CompProgreso() = default;

CompProgreso::~CompProgreso()
{
    if (!QCoreApplication::closingDown())
        delete m_ventana;
}

void CompProgreso::MostrarProgreso(const QString& titulo, int, bool cancelable)
{
    m_cancelado = false;
    m_repintados = 0;
    m_titulo = titulo;
    m_textoMensaje.clear();
    m_textoDetalle.clear();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (!m_ventana) {
        m_ventana = new QDialog(QApplication::activeWindow(),
                                Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_ventana->setObjectName(QStringLiteral("CompProgreso"));
        m_ventana->setModal(true);
        auto* caja = new QVBoxLayout(m_ventana);
        m_mensaje = new QLabel(m_ventana);
        m_detalle = new QLabel(m_ventana);
        m_detalle->setMinimumWidth(320);
        auto* barra = new QProgressBar(m_ventana);
        barra->setRange(0, 0);
        auto* cancelar = new QPushButton(QStringLiteral("&Cancelar"), m_ventana);
        cancelar->setObjectName(QStringLiteral("Cancelar"));
        QObject::connect(cancelar, &QPushButton::clicked, m_ventana,
                         [this] { m_cancelado = true; });
        caja->addWidget(m_mensaje);
        caja->addWidget(m_detalle);
        caja->addWidget(barra);
        caja->addWidget(cancelar, 0, Qt::AlignRight);
    }
    m_ventana->findChild<QPushButton*>(QStringLiteral("Cancelar"))->setVisible(cancelable);
    m_ventana->setWindowTitle(titulo);
    aplicar();
    m_ventana->show();
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
    m_mensaje->setText(m_textoMensaje);
    m_detalle->setText(m_mensaje->fontMetrics().elidedText(m_textoDetalle, Qt::ElideRight, 480));
}

void CompProgreso::CerrarProgreso()
{
    if (m_ventana)
        m_ventana->hide();
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
