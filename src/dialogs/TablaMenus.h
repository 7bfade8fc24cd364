#pragma once

#include <QStringView>
#include <span>

// The design of FrmMenus' pop-up menus, one row per menu, entry, separator
// or submenu bracket, in the order the suite's designer laid them out.
namespace TablaMenus {

enum class Tipo
{
    Menu,    // a top-level pop-up; the rows up to the next Menu are its entries
    Submenu, // opens a submenu; its entries follow up to FinSubmenu
    FinSubmenu,
    Separador,
    Entrada
};

// What a click on the entry leaves in PRespuesta.
enum class Regla
{
    Ninguna,         // menus, submenus and separators
    Codigo,          // the row's code (possibly the empty text)
    SinCambio,       // the handler leaves it as it was
    SinManejador,    // the entry has no click handler at all
    Etiqueta,        // control array: the clicked item's tag
    TituloRecortado, // control array: the clicked item's caption without surrounding blanks
};

enum Bandera
{
    LuegoSalir = 1, // the handler hides the window after storing its code
    Marcada = 2,    // starts with a check mark
    SeMarca = 4,    // the handler puts its own check mark on
    Invisible = 8,  // starts hidden
};

struct Fila
{
    Tipo tipo;
    QStringView nombre; // the control name
    QStringView titulo; // the design caption ("&" marks the access key)
    Regla regla = Regla::Ninguna;
    QStringView codigo = {};
    int banderas = 0;

    bool esArreglo() const { return regla == Regla::Etiqueta || regla == Regla::TituloRecortado; }
};

std::span<const Fila> filas();

} // namespace TablaMenus
