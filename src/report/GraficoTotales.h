#pragma once

#include "export/GraficoInsumos.h"
#include "platform/spreadsheet/BarChartDrawing.h"

#include <QRectF>
#include <QWidget>
#include <optional>
#include <vector>

class QLabel;

// The chart of the totals tab: the kilograms per raw material as horizontal
// bars (the heaviest on top, every bar to the same scale from zero), each
// labelled with its kilograms, the part that rests on incomplete estimates
// in the lighter colour, and under it the quick reading (the three heaviest
// materials' share, the uncertain kilograms). Hovering a bar names its
// material; a double click on one asks for its orders. A screen reader reads
// the bars' figures as the chart's description.
// Painted by the printed sheet's own drawing rather than by a charting
// library: one drawing on every platform the program is built for.
class GraficoTotales : public QWidget
{
    Q_OBJECT
public:
    explicit GraficoTotales(QWidget* parent = nullptr);

    // Draws the totals' bars; none clears the chart.
    void Mostrar(std::optional<GraficoInsumos::Grafico> datos);
    const std::optional<GraficoInsumos::Grafico>& Datos() const { return m_datos; }
    // The painted bars, and where in it they go: the plot, and each bar (in
    // the data's order) as drawn now.
    QWidget* Vista() const { return m_vista; }
    QRectF AreaBarras() const;
    QRectF RectBarra(int barra) const;
    // Everything as drawn now: names, bars, labels, legend.
    BarChartDrawing::Layout Trazado() const { return trazar(); }
    QLabel* Lectura() const { return m_lectura; }
    // What hovering the bar `barra` (in the data's order) shows.
    QString Ayuda(int barra) const;

signals:
    // A material's bar was double-clicked: its row in the totals grid.
    void insumoElegido(int filaTotales);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // The bars as the printed sheet draws them, and where they go now.
    BarChartDrawing dibujo() const;
    BarChartDrawing::Layout trazar() const;
    void pintar();
    int barraEn(QPointF punto) const;

    QWidget* m_vista = nullptr;
    QLabel* m_lectura = nullptr;
    std::optional<GraficoInsumos::Grafico> m_datos;
    int m_barraEncima = -1; // the bar under the mouse, in the data's order
};
