#include "platform/spreadsheet/BarChartDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal MinimumPoints = 5;

// A round step for about `parts` parts of `largest`: 1, 2 or 5 times a power of ten.
double roundStep(double largest, int parts)
{
    const double raw = largest / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}

} // namespace

QString BarChartDrawing::figureText(double value) const
{
    return figure ? figure(value) : QString::number(value);
}

QString BarChartDrawing::labelText(const QString& label, bool twoLines)
{
    if (twoLines)
        return label;
    QString text = label;
    return text.replace(u'\n', u' ');
}

BarChartDrawing::Layout BarChartDrawing::layout(const QRectF& area, const QFont& font,
                                                const QPaintDevice* device) const
{
    Layout l;
    l.font = font;
    if (bars.empty() || area.width() < 1 || area.height() < 1)
        return l;
    const QFontMetricsF metrics(font, device);
    const qreal line = metrics.height();
    const int n = int(bars.size());
    // Spaces in the letter's measure, on screen and on paper alike.
    l.gap = std::round(metrics.averageCharWidth());
    l.sample = std::round(metrics.ascent() * 0.8);
    const qreal Gap = l.gap, Sample = l.sample, EntryGap = 2 * l.gap;

    // The legend names the series some bar has a part of, as many lines as
    // its entries need: none is ever cut short of the whole width.
    for (int s = 0; s < int(series.size()); ++s)
        if (std::any_of(bars.begin(), bars.end(), [s](const Bar& b) {
                return s < int(b.values.size()) && b.values[size_t(s)] > 0;
            }))
            l.legend.push_back(s);
    QPointF at(area.left(), 0);
    for (const int s : l.legend) {
        const qreal width = std::min(
            area.width(), Sample + 4 + metrics.horizontalAdvance(series[size_t(s)].name) + 1);
        if (at.x() > area.left() && at.x() + width > area.right()) {
            at = QPointF(area.left(), at.y() + line);
        }
        l.legendEntries.emplace_back(at.x(), at.y(), width, line);
        at.rx() += width + EntryGap;
    }
    const qreal legendHeight = l.legend.empty() ? 0 : at.y() + line + 4;
    for (QRectF& e : l.legendEntries)
        e.translate(0, area.bottom() - legendHeight + 4);

    for (const Bar& b : bars)
        for (const double v : b.values)
            l.largest = std::max(l.largest, std::isfinite(v) ? v : 0.0);
    const qreal scaleHeight = l.largest > 0 ? line + 4 : 0;
    const qreal height = std::max<qreal>(0, area.height() - legendHeight - scaleHeight);
    const qreal band = height / n;
    l.twoLines = band >= line * 2;
    // A smaller letter where a name would run into the next one's.
    if (band < line && font.pointSizeF() > MinimumPoints) {
        QFont smaller = font;
        smaller.setPointSizeF(std::max(MinimumPoints, font.pointSizeF() - 0.5));
        return layout(area, smaller, device);
    }
    l.labelsShown = band >= line * 0.8;

    // The codes whole; the details as far as a third of the room allows.
    qreal codes = 0, names = 0, labels = 0;
    for (const Bar& b : bars) {
        const qreal code = metrics.horizontalAdvance(b.code);
        codes = std::max(codes, code);
        names = std::max(
            names, b.detail.isEmpty() ? code : code + metrics.horizontalAdvance(u"  " + b.detail));
        if (l.labelsShown)
            labels = std::max(labels, metrics
                                          .boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft,
                                                        labelText(b.label, l.twoLines))
                                          .width());
    }
    const qreal nameWidth =
        std::ceil(std::min(std::max(codes, std::min(names, area.width() / 3)), area.width() / 2));
    // The labels' room stays off the bars, so every bar keeps the same scale.
    labels = std::min(std::ceil(labels), std::floor(area.width() * 0.4));
    l.plot = QRectF(area.left() + nameWidth + Gap, area.top(),
                    std::max<qreal>(1, area.width() - nameWidth - labels - 2 * Gap), height);

    for (int i = 0; i < n; ++i) {
        const Bar& b = bars[size_t(i)];
        const double value = b.values.empty() ? 0 : b.values.front();
        const qreal length =
            l.largest > 0 && value > 0 ? std::round(l.plot.width() * value / l.largest) : 0;
        const qreal top = l.plot.top() + band * i;
        const QRectF bar(l.plot.left(), std::round(top + band * 0.15), length,
                         std::max<qreal>(1, std::round(band * 0.7)));
        l.bars.push_back(bar);
        l.bands.emplace_back(area.left(), top, nameWidth + Gap + l.plot.width(), band);
        l.labels.emplace_back(bar.right() + Gap, top, labels, band);
        QString name = b.code;
        if (metrics.horizontalAdvance(name) > nameWidth)
            name = metrics.elidedText(name, Qt::ElideRight, nameWidth);
        else if (!b.detail.isEmpty()) {
            const qreal room = nameWidth - metrics.horizontalAdvance(name + u"  ");
            const QString detail = metrics.elidedText(b.detail, Qt::ElideRight, room);
            // A few letters and an ellipsis say nothing: the tooltip has the detail.
            if (room >= 8 * metrics.averageCharWidth())
                name += u"  " + detail;
        }
        l.names.push_back(name);
    }
    if (l.largest > 0) {
        // As many parts as their figures fit side by side, from two to five:
        // a mark past zero shows the scale.
        const qreal widest = metrics.horizontalAdvance(figureText(l.largest)) + 4 * l.gap;
        const double step = roundStep(l.largest, std::clamp(int(l.plot.width() / widest), 2, 5));
        for (double v = 0; v <= l.largest * (1 + 1e-9); v += step)
            l.ticks.push_back(v);
    }
    return l;
}

void BarChartDrawing::paint(QPainter& painter, const Layout& l, const QColor& text,
                            const QColor& axis) const
{
    if (l.bars.empty())
        return;
    painter.save();
    painter.setFont(l.font);
    const QFontMetricsF metrics(l.font, painter.device());
    const qreal Gap = l.gap, Sample = l.sample;
    for (size_t i = 0; i < bars.size(); ++i) {
        const Bar& b = bars[i];
        const QRectF& bar = l.bars[i];
        painter.setPen(text);
        painter.drawText(QRectF(l.bands[i].left(), l.bands[i].top(),
                                l.plot.left() - Gap - l.bands[i].left(), l.bands[i].height()),
                         Qt::AlignLeft | Qt::AlignVCenter, l.names[i]);
        // Each series from the axis, over the one before.
        for (size_t s = 0; s < b.values.size() && s < series.size(); ++s) {
            const double v = std::clamp(b.values[s], 0.0, l.largest);
            if (l.largest <= 0 || v <= 0)
                continue;
            painter.fillRect(
                QRectF(bar.left(), bar.top(),
                       s == 0 ? bar.width() : std::round(l.plot.width() * v / l.largest),
                       bar.height()),
                QColor::fromRgb(series[s].rgb));
        }
        if (l.labelsShown)
            painter.drawText(l.labels[i], Qt::AlignLeft | Qt::AlignVCenter,
                             labelText(b.label, l.twoLines));
    }
    // The axis at zero, and the scale under the bars.
    painter.setPen(axis);
    painter.drawLine(l.plot.topLeft(), l.plot.bottomLeft());
    if (!l.ticks.empty()) {
        painter.drawLine(l.plot.bottomLeft(), l.plot.bottomRight());
        for (const double v : l.ticks) {
            const qreal x = l.plot.left() + std::round(l.plot.width() * v / l.largest);
            painter.setPen(axis);
            painter.drawLine(QPointF(x, l.plot.bottom()), QPointF(x, l.plot.bottom() + 3));
            const QString mark = figureText(v);
            const qreal width = metrics.horizontalAdvance(mark) + 2;
            painter.setPen(text);
            painter.drawText(QRectF(std::max(l.bands.front().left(), x - width / 2),
                                    l.plot.bottom() + 3, width, metrics.height()),
                             Qt::AlignCenter, mark);
        }
    }
    painter.setPen(text);
    for (size_t k = 0; k < l.legend.size(); ++k) {
        const QRectF& e = l.legendEntries[k];
        const Series& s = series[size_t(l.legend[k])];
        painter.fillRect(QRectF(e.left(), e.top() + (e.height() - Sample) / 2, Sample, Sample),
                         QColor::fromRgb(s.rgb));
        const QRectF words = e.adjusted(Sample + 4, 0, 0, 0);
        painter.drawText(words, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(s.name, Qt::ElideRight, words.width() + 1));
    }
    painter.restore();
}
