#pragma once

#include "components/CompTeclado.h"
#include "components/RangoFiltro.h"
#include "report/nucleo/CargaOrdenes.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The orders an operator asks for: the eight filter boxes as typed, the
// state check boxes and the order of the rows. The window fills it from its
// controls, the command line from its options; both have it checked, turned
// into the load's ranges and described here.
class FiltroOrdenes
{
public:
    // The boxes' keys, in the load's order.
    static const QStringList& Claves();
    // What a box of that key takes ("COMPROBANTES" or "fecha"), and its kind.
    static QString TipoTexto(const QString& clave);
    static CompTeclado::TipoEntrada TipoDe(const QString& clave);
    // The key as Claves() spells it, matched without regard to case; empty
    // when no box has it.
    static QString Clave(const QString& nombre);

    // The tags of the "Orden" options: the column the rows are sorted by.
    static const QString OrdenPorFecha;
    static const QString OrdenPorNumero;

    // A box's text, by its key (blanks around it dropped).
    QString Caja(const QString& clave) const;
    void setCaja(const QString& clave, const QString& texto);
    bool pendientes = false;
    bool finalizada = false;
    QString orden = OrdenPorFecha;

    // The two ranges of the load: the order number and the date.
    ListaRangos Rangos() const;

    // Every error of the boxes, each naming its box; empty when the filter
    // can run. What the report engine refuses is raised by Comprobar.
    struct Error
    {
        QString caja, texto;
    };
    QList<Error> Errores() const;
    // Raises every error of the boxes in one message; `primeraCaja` gets the
    // box the first one names, for the window to put the keyboard there.
    void Comprobar(QString* primeraCaja = nullptr) const;

    CargaOrdenes::Opciones Opciones() const;
    // The filters in words, for the printed pages' header; empty when none
    // restricts anything.
    QString Descripcion() const;

    // The filters the session's operator last loaded with, kept in the
    // program's own settings file (not the suite's INI); nothing when none
    // were kept. A value a box would not take is left out.
    static std::optional<FiltroOrdenes> Ultimos();
    // Keeps these as the operator's last filters; a file the operator marked
    // read-only stays as it is, and a failure goes to the error log only.
    void Guardar() const;
    static QString ArchivoPreferencias();

private:
    QMap<QString, QString> m_cajas;
};
