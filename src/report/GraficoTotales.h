#pragma once

#include "export/GraficoInsumos.h"

#include <QList>
#include <QWidget>
#include <optional>

class GridModel;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;

// The chart of the totals tab: the kilograms per raw material as horizontal
// bars (the heaviest on top), each labelled with its kilograms, the part that
// rests on incomplete estimates in the lighter colour, and under it the quick
// reading (the three heaviest materials' share, the uncertain kilograms).
// Hovering a bar names its material; a double click on one asks for its orders.
class GraficoTotales : public QWidget
{
    Q_OBJECT
public:
    explicit GraficoTotales(QWidget* parent = nullptr);

    // Draws the totals grid's bars; a grid with no material clears the chart.
    void Mostrar(const GridModel& totales);
    const std::optional<GraficoInsumos::Grafico>& Datos() const { return m_datos; }
    QChartView* Vista() const { return m_vista; }
    QLabel* Lectura() const { return m_lectura; }
    // What hovering the bar `barra` (in the data's order) shows.
    QString Ayuda(int barra) const;

signals:
    // A material's bar was double-clicked: its row in the totals grid.
    void insumoElegido(int filaTotales);

protected:
    void changeEvent(QEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void aplicarLetra();
    void ubicarEtiquetas();

    QChart* m_grafico = nullptr;
    QChartView* m_vista = nullptr;
    QLabel* m_lectura = nullptr;
    QList<QGraphicsSimpleTextItem*> m_etiquetas;
    std::optional<GraficoInsumos::Grafico> m_datos;
    int m_barraEncima = -1; // the bar under the mouse, in the data's order
};
