#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One range of a report filter: a column and its two ends, as typed.
struct RangoFiltro
{
    // Type codes of the database access layer.
    static constexpr qint16 Caracter = 129;
    static constexpr qint16 Fecha = 7;

    QString Desde;
    QString Hasta;
    QString Campo;
    qint16 TipoDato = Caracter;
    bool Excluir = false; // never set by this program
    qint32 Reservado = 0; // never set by this program
    // The upper end of a character range takes every text that begins with
    // it: an order number without its letter covers every letter.
    bool HastaPorPrefijo = false;
};

using ListaRangos = QList<RangoFiltro>;
