#pragma once

#include <QFont>
#include <QRectF>
#include <QRgb>
#include <QString>
#include <functional>
#include <vector>

class QPainter;

// Horizontal bars as the program draws them itself, on screen and on paper:
// one bar per category, the heaviest to scale across the room the names and
// the labels leave, every series drawn over the one before from the axis at
// zero, a scale under the bars, and a legend of the series some bar uses.
// A category's name shows its code whole and its detail as far as it fits;
// where the bars are thinner than a line, the letter gets smaller.
struct BarChartDrawing
{
    struct Bar
    {
        QString code, detail;
        std::vector<double> values; // one per series
        QString label;              // after the bar; a line end splits it
    };
    struct Series
    {
        QString name;
        QRgb rgb = 0;
    };
    std::vector<Bar> bars;
    std::vector<Series> series;
    // A figure of the scale.
    std::function<QString(double)> figure;

    struct Layout
    {
        QRectF plot;                // where the bars may go; its left edge is zero
        std::vector<QRectF> bars;   // each bar's whole length (its first series)
        std::vector<QRectF> bands;  // each bar's band, names included
        std::vector<QString> names; // as they fit
        std::vector<QRectF> labels;
        bool labelsShown = true;
        bool twoLines = false; // a label's second part under its first
        std::vector<double> ticks;
        double largest = 0;      // the value the plot's width stands for
        std::vector<int> legend; // the series shown there
        std::vector<QRectF> legendEntries;
        qreal gap = 0, sample = 0; // spaces, in the letter's measure
        QFont font;                // the letter, smaller than asked where bars are thin
    };
    Layout layout(const QRectF& area, const QFont& font, const QPaintDevice* device) const;
    void paint(QPainter& painter, const Layout& layout, const QColor& text,
               const QColor& axis) const;
    QString figureText(double value) const;
    // The label as the layout writes it.
    static QString labelText(const QString& label, bool twoLines);
};
