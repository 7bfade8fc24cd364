#pragma once

#include "platform/controls/ControlArray.h"

#include <QAction>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <map>

class QMenu;
namespace TablaMenus {
struct Fila;
}

// The suite's hidden window that holds its shared pop-up menus. A caller pops
// one up, and the entry the operator clicks leaves its code in PRespuesta:
//
//   FrmMenus& menus = FrmMenus::Instancia();
//   menus.MostrarMenu(u"MNU_EmergenteXXVIII"_s);
//   if (menus.PRespuesta.compare(u"CambiarImporte"_s, Qt::CaseInsensitive) == 0) ...
//
// Menus and entries are QMenu and QAction objects named as the suite's
// controls; control arrays are indexed groups of actions.
class FrmMenus : public QWidget
{
    Q_OBJECT
public:
    // The one instance, created and loaded on first use, kept until the
    // program ends.
    static FrmMenus& Instancia();
    // Test hook: drops the instance, so the next use loads a new one.
    static void ReiniciarParaPruebas();

    // The code of the last entry chosen; kept from one pop-up to the next.
    QString PRespuesta;

    // Hides the window; it stays loaded and PRespuesta keeps its value.
    void Salir();

    // Pops up the top-level menu of that control name at a point of the screen
    // (or at the mouse position) and returns once the operator chose an entry
    // or dismissed the pop-up: the entry chosen, nullptr when dismissed. A name
    // that is not one of the menus is a run-time error.
    QAction* MostrarMenu(const QString& nombre);
    QAction* MostrarMenu(const QString& nombre, const QPoint& puntoGlobal);

    // Controls by name, without regard to case; nullptr when there is none.
    QMenu* Menu(const QString& nombre) const;
    QAction* Entrada(const QString& nombre) const;

    // Control arrays of entries. A caller fills one before the pop-up, one
    // item per choice with the choice in its tag; emptying it unloads every
    // item but 0 and puts item 0 back as designed.
    struct Elemento
    {
        QString titulo;
        QString etiqueta;
    };
    ControlArray<QAction>& Arreglo(const QString& nombre);
    void LlenarArreglo(const QString& nombre, const QList<Elemento>& elementos);
    void VaciarArreglo(const QString& nombre);
    // Loads item `indice` (above 0, not loaded yet) with its caption and no
    // tag, placed among the items in index order.
    QAction* CargarElemento(const QString& nombre, int indice, const QString& titulo);

    static QString Etiqueta(const QAction* accion);
    static void setEtiqueta(QAction* accion, const QString& etiqueta);

private:
    FrmMenus();
    template <class> friend struct InstanciaVentana;
    void Form_Load();
    void construir();
    void conectar(QAction* accion, const TablaMenus::Fila& fila);
    void alPulsar(QAction* accion, const TablaMenus::Fila& fila, bool marcada);

    struct ArregloMenu
    {
        ControlArray<QAction> elementos;
        const TablaMenus::Fila* fila = nullptr;
        QMenu* contenedor = nullptr;
    };
    ArregloMenu& arregloMenu(const QString& nombre);

    // Keys are control names in upper case.
    std::map<QString, QMenu*> m_menus;
    std::map<QString, QAction*> m_entradas;
    std::map<QString, ArregloMenu> m_arreglos;
};
