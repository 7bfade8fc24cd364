#!/usr/bin/env python3
"""Reads a running program's windows as a screen reader does, through the
accessibility bus (pyatspi), and prints what it found as JSON.

  arbol_accesible.py PID [--cargar BOTON --estado PREFIJO] [--tabla NOMBRE]

Without options it lists every window of the program with its objects (name,
role, description, states, place on the screen, the labels that name it, the
text of a label). With --cargar it first lists the windows, then presses the
button named BOTON through the bus, waits until an object whose name starts
with PREFIJO announces a new name, and reads the table named NOMBRE: its size,
its column and row headers, its first cells and how many children it
offers a reader that walks the tree; --tabla alone reads that table
as the windows stand. Table cells are read through
the table only: a big grid would otherwise be walked cell by cell.
"""

import json
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

ESPERA_APLICACION = 15.0
ESPERA_ANUNCIO = 30.0
FILAS_LEIDAS = 120
TABLAS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}


def bus_accesible():
    """Why the accessibility bus cannot be had, or None when it answers."""
    try:
        sesion = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        sesion.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                         GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NONE, 10000, None)
    except GLib.Error as e:
        return "el bus de accesibilidad no arrancó: " + e.message
    return None


def aplicacion(pid):
    limite = time.monotonic() + ESPERA_APLICACION
    while time.monotonic() < limite:
        escritorio = pyatspi.Registry.getDesktop(0)
        for app in escritorio:
            try:
                if app is not None and app.get_process_id() == pid and app.childCount > 0:
                    return app
            except Exception:
                pass
        time.sleep(0.2)
    return None


def etiquetas(objeto):
    nombres = []
    try:
        for relacion in objeto.getRelationSet():
            if relacion.getRelationType() == pyatspi.RELATION_LABELLED_BY:
                for i in range(relacion.getNTargets()):
                    nombres.append(relacion.getTarget(i).name)
    except Exception:
        pass
    return nombres


def texto(objeto):
    try:
        t = objeto.queryText()
        return t.getText(0, -1)
    except NotImplementedError:
        return None


def describir(objeto, ventana, padre):
    estados = objeto.getState()
    try:
        x, y, w, h = objeto.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    except NotImplementedError:
        x = y = w = h = 0  # out of sight: no place on the screen
    nodo = {
        "ventana": ventana,
        "padre": padre,
        "rol": objeto.getRoleName(),
        "nombre": objeto.name,
        "descripcion": objeto.description,
        "enfocable": estados.contains(pyatspi.STATE_FOCUSABLE),
        "visible": estados.contains(pyatspi.STATE_SHOWING),
        "x": x, "y": y, "w": w, "h": h,
        "etiquetadoPor": etiquetas(objeto),
    }
    if objeto.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_STATUS_BAR):
        nodo["texto"] = texto(objeto)
    return nodo


def recorrer(objeto, ventana, padre, nodos):
    nodos.append(describir(objeto, ventana, padre))
    if objeto.getRole() in TABLAS:
        return
    for i in range(objeto.childCount):
        hijo = objeto.getChildAtIndex(i)
        if hijo is not None:
            recorrer(hijo, ventana, objeto.name, nodos)


def ventanas(app):
    nodos = []
    for i in range(app.childCount):
        ventana = app.getChildAtIndex(i)
        if ventana is not None:
            recorrer(ventana, ventana.name, "", nodos)
    return nodos


def buscar(objeto, nombre, roles=None):
    if objeto.name == nombre and (roles is None or objeto.getRole() in roles):
        return objeto
    if objeto.getRole() in TABLAS:
        return None
    for i in range(objeto.childCount):
        hijo = objeto.getChildAtIndex(i)
        encontrado = hijo is not None and buscar(hijo, nombre, roles)
        if encontrado:
            return encontrado
    return None


def leer_tabla(tabla):
    t = tabla.queryTable()
    filas = min(t.nRows, FILAS_LEIDAS)
    leida = {
        "filas": t.nRows,
        "columnas": t.nColumns,
        "hijos": tabla.childCount,
        "titulos": [],
        "encabezadosFila": [],
        "celdas": [],
    }
    for c in range(t.nColumns):
        titulo = t.getColumnHeader(c)
        leida["titulos"].append({
            "nombre": titulo.name if titulo else None,
            "descripcion": titulo.description if titulo else None,
        })
    for r in range(filas):
        encabezado = t.getRowHeader(r)
        leida["encabezadosFila"].append(encabezado.name if encabezado else None)
        fila = []
        for c in range(t.nColumns):
            celda = t.getAccessibleAt(r, c)
            fila.append([celda.name, celda.description] if celda else None)
        leida["celdas"].append(fila)
    return leida


def cargar(app, boton, prefijo, nombre_tabla):
    resultado = {"anuncios": [], "tabla": None, "error": None}
    presionado = None
    for i in range(app.childCount):
        presionado = presionado or buscar(app.getChildAtIndex(i), boton, {pyatspi.ROLE_PUSH_BUTTON})
    if not presionado:
        resultado["error"] = "no hay un botón llamado " + boton
        return resultado

    def al_cambiar(evento):
        nombre = evento.source.name if evento.source else ""
        if nombre.startswith(prefijo) and nombre != prefijo:
            resultado["anuncios"].append(nombre)
            pyatspi.Registry.stop()

    def vencido():
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(al_cambiar, "object:property-change:accessible-name")
    accion = presionado.queryAction()
    nombres = [accion.getName(i) for i in range(accion.nActions)]
    accion.doAction(nombres.index("Press") if "Press" in nombres else 0)
    GLib.timeout_add(int(ESPERA_ANUNCIO * 1000), vencido)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(al_cambiar, "object:property-change:accessible-name")
    if not resultado["anuncios"]:
        resultado["error"] = "nadie anunció un nombre que empiece por " + prefijo
        return resultado
    tabla = None
    for i in range(app.childCount):
        tabla = tabla or buscar(app.getChildAtIndex(i), nombre_tabla, TABLAS)
    if not tabla:
        resultado["error"] = "no hay una tabla llamada " + nombre_tabla
        return resultado
    resultado["tabla"] = leer_tabla(tabla)
    return resultado


def main():
    argumentos = sys.argv[1:]
    pid = int(argumentos[0])
    opciones = dict(zip(argumentos[1::2], argumentos[2::2]))
    sin_bus = bus_accesible()
    if sin_bus:
        print(json.dumps({"sinBus": sin_bus}, ensure_ascii=False))
        return 0
    app = aplicacion(pid)
    if app is None:
        print(json.dumps({"error": "el programa %d no apareció en el bus de accesibilidad" % pid}))
        return 0
    salida = {"nodos": ventanas(app)}
    if "--cargar" in opciones:
        salida["carga"] = cargar(app, opciones["--cargar"], opciones["--estado"],
                                 opciones["--tabla"])
        salida["despues"] = ventanas(app)
    elif "--tabla" in opciones:
        tabla = None
        for i in range(app.childCount):
            tabla = tabla or buscar(app.getChildAtIndex(i), opciones["--tabla"], TABLAS)
        salida["tabla"] = leer_tabla(tabla) if tabla else None
    print(json.dumps(salida, ensure_ascii=False))
    return 0


if __name__ == "__main__":
    sys.exit(main())
