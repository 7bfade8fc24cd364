#include "components/CompGeneral.h"

#include "platform/controls/ScreenArea.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

// The parts of the general component that need widgets: the windows' set-up
// and the boxes, installed for CompGeneral as the application starts.

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

namespace {

int cajaDeError(const RuntimeError& error, const QString& texto, const QString& tag)
{
    QMessageBox caja(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                     QStringLiteral("Error %1\n\n%2").arg(error.number()).arg(texto));
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
        return CompGeneral::Reintentar;
    if (caja.clickedButton() == ignorar)
        return CompGeneral::Ignorar;
    return CompGeneral::Abortar;
}

void cajaDeMensaje(const QString& texto)
{
    QMessageBox caja(QMessageBox::Information, QGuiApplication::applicationDisplayName(), texto,
                     QMessageBox::Ok);
    caja.setObjectName(QStringLiteral("Mensaje"));
    caja.exec();
}

int cajaDeAviso(const QString& texto, int estilo, const QString& titulo)
{
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

QString cajaDePregunta(const QString& pregunta, const QString& titulo, const QString& porDefecto)
{
    QInputDialog caja;
    caja.setObjectName(QStringLiteral("InputBox"));
    caja.setWindowTitle(titulo.isEmpty() ? QGuiApplication::applicationDisplayName() : titulo);
    caja.setLabelText(pregunta);
    caja.setTextValue(porDefecto);
    return caja.exec() == QDialog::Accepted ? caja.textValue() : QString();
}

void instalarDialogos()
{
    static const CompGeneral::Dialogos dialogos{cajaDeError, cajaDeMensaje, cajaDeAviso,
                                                cajaDePregunta};
    CompGeneral::setDialogos(&dialogos);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(instalarDialogos)
