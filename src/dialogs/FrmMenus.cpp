#include "dialogs/FrmMenus.h"

#include "dialogs/InstanciaVentana.h"
#include "dialogs/TablaMenus.h"
#include "platform/text/RuntimeError.h"

#include <QCursor>
#include <QMenu>

using namespace Qt::StringLiterals;
using TablaMenus::Fila;

namespace {

QString clave(const QString& nombre)
{
    return nombre.toUpper();
}

// Blanks only, as the suite's Trim removes them: a tab is part of the caption.
QString sinBlancos(const QString& texto)
{
    qsizetype desde = 0;
    qsizetype hasta = texto.size();
    while (desde < hasta && texto.at(desde) == u' ')
        ++desde;
    while (hasta > desde && texto.at(hasta - 1) == u' ')
        --hasta;
    return texto.mid(desde, hasta - desde);
}

} // namespace

FrmMenus& FrmMenus::Instancia()
{
    const bool cargada = InstanciaVentana<FrmMenus>::actual();
    FrmMenus& menus = InstanciaVentana<FrmMenus>::obtener();
    if (!cargada)
        menus.Form_Load();
    return menus;
}

void FrmMenus::ReiniciarParaPruebas()
{
    InstanciaVentana<FrmMenus>::borrar();
}

FrmMenus::FrmMenus()
{
    setObjectName(u"FrmMenus"_s);
    setAccessibleName(u"Menús emergentes"_s);
    construir();
}

void FrmMenus::Form_Load()
{
    PRespuesta.clear();
}

void FrmMenus::Salir()
{
    hide();
}

void FrmMenus::construir()
{
    QMenu* menu = nullptr;
    QMenu* destino = nullptr;
    for (const Fila& fila : TablaMenus::filas()) {
        const QString nombre = fila.nombre.toString();
        switch (fila.tipo) {
        case TablaMenus::Tipo::Menu:
            menu = new QMenu(fila.titulo.toString(), this);
            menu->setObjectName(nombre);
            // The design's titles ("EmergenteXXVIII") are codes, not words a
            // screen reader should say when the pop-up opens.
            menu->setAccessibleName(u"Opciones"_s);
            m_menus[clave(nombre)] = menu;
            destino = menu;
            break;
        case TablaMenus::Tipo::Submenu: {
            destino = menu->addMenu(fila.titulo.toString());
            destino->setObjectName(nombre);
            destino->setAccessibleName(QString(fila.titulo.toString()).remove(u'&'));
            destino->menuAction()->setObjectName(nombre);
            m_entradas[clave(nombre)] = destino->menuAction();
            break;
        }
        case TablaMenus::Tipo::FinSubmenu:
            destino = menu;
            break;
        case TablaMenus::Tipo::Separador:
            destino->addSeparator()->setVisible(!(fila.banderas & TablaMenus::Invisible));
            break;
        case TablaMenus::Tipo::Entrada: {
            QAction* accion = destino->addAction(fila.titulo.toString());
            accion->setObjectName(nombre);
            if (fila.banderas & (TablaMenus::Marcada | TablaMenus::SeMarca)) {
                accion->setCheckable(true);
                accion->setChecked(fila.banderas & TablaMenus::Marcada);
            }
            accion->setVisible(!(fila.banderas & TablaMenus::Invisible));
            m_entradas[clave(nombre)] = accion;
            if (fila.esArreglo()) {
                ArregloMenu& arreglo = m_arreglos[clave(nombre)];
                arreglo.elementos.add(0, accion);
                arreglo.fila = &fila;
                arreglo.contenedor = destino;
            }
            conectar(accion, fila);
            break;
        }
        }
    }
}

void FrmMenus::conectar(QAction* accion, const Fila& fila)
{
    if (fila.regla == TablaMenus::Regla::SinManejador)
        return;
    connect(accion, &QAction::triggered, this,
            [this, accion, &fila](bool marcada) { alPulsar(accion, fila, marcada); });
}

void FrmMenus::alPulsar(QAction* accion, const Fila& fila, bool marcada)
{
    switch (fila.regla) {
    case TablaMenus::Regla::Codigo:
        PRespuesta = fila.codigo.toString();
        break;
    case TablaMenus::Regla::Etiqueta:
        PRespuesta = Etiqueta(accion);
        break;
    case TablaMenus::Regla::TituloRecortado:
        PRespuesta = sinBlancos(accion->text());
        break;
    case TablaMenus::Regla::SinCambio:
    case TablaMenus::Regla::SinManejador:
    case TablaMenus::Regla::Ninguna:
        break;
    }
    // A click toggles a checkable action; the suite's entries keep their mark
    // unless their handler sets it.
    if (accion->isCheckable())
        accion->setChecked((fila.banderas & TablaMenus::SeMarca) || !marcada);
    if (fila.banderas & TablaMenus::LuegoSalir)
        Salir();
}

QAction* FrmMenus::MostrarMenu(const QString& nombre)
{
    return MostrarMenu(nombre, QCursor::pos());
}

QAction* FrmMenus::MostrarMenu(const QString& nombre, const QPoint& puntoGlobal)
{
    QMenu* menu = Menu(nombre);
    if (!menu)
        throw RuntimeError(340, u"FrmMenus no tiene el menú emergente \"%1\""_s.arg(nombre),
                           u"FrmMenus"_s);
    return menu->exec(puntoGlobal);
}

QMenu* FrmMenus::Menu(const QString& nombre) const
{
    auto it = m_menus.find(clave(nombre));
    return it == m_menus.end() ? nullptr : it->second;
}

QAction* FrmMenus::Entrada(const QString& nombre) const
{
    auto it = m_entradas.find(clave(nombre));
    return it == m_entradas.end() ? nullptr : it->second;
}

FrmMenus::ArregloMenu& FrmMenus::arregloMenu(const QString& nombre)
{
    auto it = m_arreglos.find(clave(nombre));
    if (it == m_arreglos.end())
        throw RuntimeError(340, u"FrmMenus no tiene la matriz de menús \"%1\""_s.arg(nombre),
                           u"FrmMenus"_s);
    return it->second;
}

ControlArray<QAction>& FrmMenus::Arreglo(const QString& nombre)
{
    return arregloMenu(nombre).elementos;
}

QAction* FrmMenus::CargarElemento(const QString& nombre, int indice, const QString& titulo)
{
    ArregloMenu& arreglo = arregloMenu(nombre);
    if (indice < 0)
        throw RuntimeError(340,
                           u"La matriz de menús \"%1\" no tiene el índice %2"_s.arg(
                               nombre, QString::number(indice)),
                           u"FrmMenus"_s);
    if (arreglo.elementos.contains(indice))
        throw RuntimeError(360,
                           u"El elemento %1 de la matriz de menús \"%2\" ya está cargado"_s.arg(
                               QString::number(indice), nombre),
                           u"FrmMenus"_s);
    // Before the first item of a higher index, else right after the last item.
    QAction* siguiente = nullptr;
    const QList<int> indices = arreglo.elementos.indexes();
    for (int i : indices)
        if (i > indice) {
            siguiente = arreglo.elementos.at(i);
            break;
        }
    if (!siguiente) {
        const QList<QAction*> acciones = arreglo.contenedor->actions();
        const qsizetype ultima = acciones.indexOf(arreglo.elementos.at(indices.last()));
        if (ultima + 1 < acciones.size())
            siguiente = acciones.at(ultima + 1);
    }
    auto* accion = new QAction(titulo, arreglo.contenedor);
    accion->setObjectName(arreglo.fila->nombre.toString());
    arreglo.contenedor->insertAction(siguiente, accion);
    arreglo.elementos.add(indice, accion);
    conectar(accion, *arreglo.fila);
    return accion;
}

void FrmMenus::VaciarArreglo(const QString& nombre)
{
    ArregloMenu& arreglo = arregloMenu(nombre);
    for (int i : arreglo.elementos.indexes())
        if (i != 0)
            delete arreglo.elementos.at(i);
    QAction* primero = arreglo.elementos.at(0);
    primero->setText(arreglo.fila->titulo.toString());
    primero->setData({});
    primero->setVisible(true);
}

void FrmMenus::LlenarArreglo(const QString& nombre, const QList<Elemento>& elementos)
{
    VaciarArreglo(nombre);
    for (qsizetype i = 0; i < elementos.size(); ++i) {
        QAction* accion = i == 0 ? Arreglo(nombre).at(0)
                                 : CargarElemento(nombre, static_cast<int>(i), elementos[i].titulo);
        accion->setText(elementos[i].titulo);
        setEtiqueta(accion, elementos[i].etiqueta);
    }
}

QString FrmMenus::Etiqueta(const QAction* accion)
{
    return accion->data().toString();
}

void FrmMenus::setEtiqueta(QAction* accion, const QString& etiqueta)
{
    accion->setData(etiqueta);
}
