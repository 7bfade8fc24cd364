#include "platform/spreadsheet/SheetPrinter.h"

#include "platform/spreadsheet/BarChartDrawing.h"

#include "platform/files/FileCommit.h"
#include "platform/spreadsheet/Worksheet.h"
#include "platform/text/RuntimeError.h"
#include "platform/text/ValueText.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double PointsPerPixel = 0.75; // at 96 dpi
constexpr double CellPadding = 3 * PointsPerPixel;

// Where rows or columns fit on pages: [first, last] runs, each at most
// `room` long unless a single one is longer.
// The first run has `firstLess` less room (what sits above it on its page).
QList<std::pair<int, int>> split(const std::vector<double>& edges, double room, int from = 1,
                                 double firstLess = 0)
{
    QList<std::pair<int, int>> runs;
    const int count = static_cast<int>(edges.size()) - 1;
    if (from > 1 && from > count)
        return {{from, from - 1}}; // nothing below the title rows: they alone
    int first = from;
    for (int i = 1; i <= count; ++i) {
        const double left = runs.isEmpty() ? std::max(0.0, room - firstLess) : room;
        if (i > first &&
            edges[static_cast<size_t>(i)] - edges[static_cast<size_t>(first - 1)] > left + 1e-6) {
            runs.append({first, i - 1});
            first = i;
        }
    }
    runs.append({first, std::max(first, count)});
    return runs;
}

QString displayText(const Worksheet::Cell& cell, quint8 numberFormat = 0)
{
    switch (cell.kind) {
    case SpreadsheetValue::Kind::Number: {
        if (numberFormat == CellStyle::GroupedTwoDecimals)
            return QLocale::system().toString(cell.number, 'f', 2);
        // A person reads the page: the operator's decimal separator, as in the grid.
        static const QLocale local = [] {
            QLocale l = QLocale::system();
            l.setNumberOptions(QLocale::OmitGroupSeparator);
            return l;
        }();
        return local.toString(cell.number, 'g', 11).toUpper();
    }
    case SpreadsheetValue::Kind::Text:
        return cell.text;
    case SpreadsheetValue::Kind::Empty:
        break;
    }
    return {};
}

// Measuring is the costly part: a text surely narrower than the room, by its
// length and the font's widest character, is not measured. `wider`: what is
// returned still does not fit (not even the ellipsis or one "#" does).
QString fitted(QString text, bool number, const QFontMetricsF& metrics, double width, bool& wider)
{
    wider = false;
    // Left as they are, the text engine would break the line there and the
    // cell would show only its last line.
    const auto lineBreak = [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    if (std::any_of(text.cbegin(), text.cend(), lineBreak)) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        std::replace_if(text.begin(), text.end(), lineBreak, QLatin1Char(' '));
    }
    if (double(text.size()) * metrics.maxWidth() <= width)
        return text;
    if (!number) {
        // A text that fits comes back as it is; an elided one fits but for
        // a room narrower than its ellipsis.
        QString shown = metrics.elidedText(text, Qt::ElideRight, width, Qt::TextSingleLine);
        wider = shown != text && metrics.horizontalAdvance(shown) > width;
        return shown;
    }
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const double hash = metrics.horizontalAdvance(QLatin1Char('#'));
    const int hashes = std::max(1, int(width / hash));
    wider = hashes * hash > width;
    return QString(hashes, QLatin1Char('#'));
}

// A PDF engine that could not write leaves an empty file, not an error.
void commitPdf(fileCommit::Output& out, const QString& path)
{
    if (out.written() == 0)
        throw RuntimeError(
            ErrorNumber::FileAccess,
            QStringLiteral("No se pudo escribir el PDF «%1»").arg(QDir::toNativeSeparators(path)),
            QStringLiteral("Impresión"));
    out.commit();
}

} // namespace

SheetPrinter::SheetPrinter(const Worksheet& sheet)
    : m_sheet(sheet), m_rows(sheet.rowCount()), m_cols(sheet.columnCount()),
      m_setup(sheet.printSetup())
{
    if (m_setup.lastColumn > 0)
        m_cols = std::min(m_cols, m_setup.lastColumn);
    m_setup.titleRows = std::clamp(m_setup.titleRows, 0, m_rows);
    const double sheetFont = sheet.styles().style(sheet.sheetStyle()).fontSize;
    m_rowTop.reserve(static_cast<size_t>(m_rows) + 1);
    m_rowTop.push_back(0);
    // Heights from what the sheet knows of each row, without reading it back.
    for (int r = 1; r <= m_rows; ++r) {
        double largest = sheet.cellCount(r) < m_cols ? sheetFont : 0;
        largest = std::max<double>(largest, sheet.largestFont(r));
        m_rowTop.push_back(m_rowTop.back() + rowPoints(largest));
    }
    m_colLeft.push_back(0);
    for (int c = 1; c <= m_cols; ++c)
        m_colLeft.push_back(m_colLeft.back() + columnPoints(sheet.columnWidth(c)));
}

QPageLayout SheetPrinter::defaultPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(0.7, 0.75, 0.7, 0.75), QPageLayout::Inch);
}

double SheetPrinter::columnPoints(double characters)
{
    const double pixels =
        characters < 1 ? std::round(characters * 12) : std::round(characters * 7) + 5;
    return pixels * PointsPerPixel;
}

double SheetPrinter::rowPoints(double fontSize)
{
    return std::ceil((fontSize * 1.2 + 1.5) / PointsPerPixel) * PointsPerPixel;
}

QPageLayout SheetPrinter::pageLayout() const
{
    QPageLayout portrait = defaultPageLayout();
    if (!m_setup.fitToWidth)
        return portrait;
    QPageLayout landscape = portrait;
    landscape.setOrientation(QPageLayout::Landscape);
    const QSizeF tall = portrait.paintRect(QPageLayout::Point).size();
    const QSizeF wide = landscape.paintRect(QPageLayout::Point).size();
    const bool fits = m_colLeft.back() <= tall.width() + 1e-6;
    return !fits || pages(wide).size() < pages(tall).size() ? landscape : portrait;
}

QList<SheetPrinter::Page> SheetPrinter::pages(const QSizeF& printable) const
{
    QList<Page> result;
    double scale = 1;
    QList<std::pair<int, int>> colRuns, rowRuns;
    if (m_setup.fitToWidth) {
        const double width = m_colLeft.back();
        if (width > printable.width())
            scale = printable.width() / width;
        colRuns.append({1, std::max(1, m_cols)});
    } else {
        colRuns = split(m_colLeft, printable.width());
    }
    // The title rows take their room on every page.
    const double titles = m_rowTop[static_cast<size_t>(m_setup.titleRows)];
    const int chartRow = chartPageRow();
    const double room = std::max(0.0, printable.height() / scale - titles);
    if (chartRow > 0)
        rowRuns = split(std::vector<double>(m_rowTop.begin(), m_rowTop.begin() + chartRow), room,
                        m_setup.titleRows + 1);
    else
        rowRuns = split(m_rowTop, room, m_setup.titleRows + 1, chartPoints() / scale);
    const int count = static_cast<int>(colRuns.size() * rowRuns.size()) + (chartRow > 0 ? 1 : 0);
    for (const auto& [firstCol, lastCol] : colRuns)
        for (const auto& [firstRow, lastRow] : rowRuns)
            result.append(Page{firstRow, lastRow, firstCol, lastCol,
                               static_cast<int>(result.size()) + 1, count, scale, printable});
    if (chartRow > 0)
        result.append(Page{chartRow, chartRow - 1, colRuns.front().first, colRuns.front().second,
                           count, count, scale, printable});
    return result;
}

void SheetPrinter::paintPage(QPainter& painter, const Page& page) const
{
    if (m_setup.framed())
        paintFrame(painter, page);
    if (m_rows == 0 || m_cols == 0)
        return;
    const int lastCol = std::min(page.lastCol, m_cols);
    if (chartPageRow() > 0 && page.firstRow == chartPageRow()) {
        // The chart's own page: the title rows and the chart; the cells beside
        // it are its data, for the screen.
        painter.save();
        painter.scale(page.scale, page.scale);
        double y0 = 0;
        if (m_setup.titleRows > 0) {
            paintRows(painter, 1, m_setup.titleRows, page.firstCol, lastCol, 0, y0);
            y0 += m_rowTop[static_cast<size_t>(m_setup.titleRows)];
        }
        painter.restore();
        painter.save();
        painter.translate(0, (y0 * page.scale + 12) * painter.device()->logicalDpiY() / 72.0);
        paintChart(painter, m_sheet.charts().front(), page.printable.width());
        painter.restore();
        return;
    }
    // The chart heads the first page, above the table.
    double y0 = 0;
    if (chartPoints() > 0 && page.firstRow == m_setup.titleRows + 1 && page.firstCol == 1) {
        paintChart(painter, m_sheet.charts().front(), page.printable.width());
        y0 = chartPoints() / page.scale;
    }
    painter.save();
    painter.scale(page.scale, page.scale);
    // The title rows first, unless the page starts among them.
    if (page.firstRow > m_setup.titleRows && m_setup.titleRows > 0) {
        paintRows(painter, 1, m_setup.titleRows, page.firstCol, lastCol, 0, y0);
        y0 += m_rowTop[static_cast<size_t>(m_setup.titleRows)];
    }
    paintRows(painter, page.firstRow, std::min(page.lastRow, m_rows), page.firstCol, lastCol,
              m_rowTop[static_cast<size_t>(page.firstRow - 1)], y0);
    painter.restore();
}

void SheetPrinter::paintFrame(QPainter& painter, const Page& page) const
{
    const double sx = painter.device()->logicalDpiX() / 72.0;
    const double sy = painter.device()->logicalDpiY() / 72.0;
    const auto rect = [&](double x, double y, double w, double h) {
        return QRectF(x * sx, y * sy, w * sx, h * sy);
    };
    const double width = page.printable.width();
    painter.save();
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8);
    painter.setFont(font);
    const QString date = m_setup.date.isEmpty() ? valueText(QDate::currentDate()) : m_setup.date;
    const QRectF header = rect(0, -34, width, 30);
    painter.drawText(header, Qt::AlignRight | Qt::AlignTop, date);
    const double dateWidth =
        QFontMetricsF(font, painter.device()).horizontalAdvance(date) + 12 * sx;
    if (!m_setup.filters.isEmpty()) {
        // A long list of filters keeps to one line rather than run into the cells.
        const QString filters = QFontMetricsF(font, painter.device())
                                    .elidedText(m_setup.filters, Qt::ElideRight, header.width());
        painter.drawText(header, Qt::AlignLeft | Qt::AlignBottom, filters);
    }
    font.setBold(true);
    font.setPointSizeF(10);
    painter.setFont(font);
    const QString title =
        QFontMetricsF(font, painter.device())
            .elidedText(m_setup.title, Qt::ElideRight, header.width() - dateWidth);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignTop, title);
    font.setBold(false);
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.drawText(rect(0, page.printable.height() + 6, width, 20),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("Página %L1 de %L2").arg(page.number).arg(page.count));
    painter.restore();
}

int SheetPrinter::chartPageRow() const
{
    if (m_sheet.charts().empty() || !m_setup.framed())
        return 0;
    const int row = m_sheet.charts().front().pageRow;
    return row > m_setup.titleRows && row <= m_rows + 1 ? row : 0;
}

double SheetPrinter::chartPoints() const
{
    // On paper a sheet with its frame (the exports' sheets) carries its chart.
    if (m_sheet.charts().empty() || !m_setup.framed() || chartPageRow() > 0)
        return 0;
    return m_sheet.charts().front().height * PointsPerPixel + 12;
}

void SheetPrinter::paintChart(QPainter& painter, const Worksheet::BarChart& chart,
                              double width) const
{
    // The bars the spreadsheet program draws from the same cells: one per
    // category cell, each series over the one before from the axis.
    const double sx = painter.device()->logicalDpiX() / 72.0;
    const double sy = painter.device()->logicalDpiY() / 72.0;
    const auto cellsOf = [](const std::vector<Worksheet::Cells>& areas) {
        std::vector<std::pair<int, int>> cells;
        for (const Worksheet::Cells& a : areas)
            for (int r = a.top; r <= a.bottom; ++r)
                for (int c = a.left; c <= a.right; ++c)
                    cells.emplace_back(r, c);
        return cells;
    };
    const auto number = [&](int r, int c) {
        const Worksheet::Cell* cell = m_sheet.cell(r, c);
        double value = 0;
        if (cell && cell->kind == SpreadsheetValue::Kind::Number)
            value = cell->number;
        else if (cell && cell->kind == SpreadsheetValue::Kind::Text)
            SpreadsheetValue::readNumber(cell->text, value);
        return std::isfinite(value) ? value : 0;
    };
    static const QLocale local = QLocale::system();
    BarChartDrawing drawing;
    for (const auto& [r, c] : cellsOf(chart.categories)) {
        const Worksheet::Cell* name = m_sheet.cell(r, c);
        drawing.bars.push_back({name ? displayText(*name) : QString(), {}, {}, {}});
    }
    for (const Worksheet::BarChart::Series& s : chart.series) {
        drawing.series.push_back({s.name, QRgb(s.rgb)});
        size_t i = 0;
        for (const auto& [r, c] : cellsOf(s.values)) {
            if (i >= drawing.bars.size())
                break;
            BarChartDrawing::Bar& bar = drawing.bars[i++];
            bar.values.push_back(number(r, c));
            if (s.labels)
                bar.label = local.toString(bar.values.back(), 'f', 2);
        }
    }
    drawing.figure = [](double v) { return local.toString(v, 'f', 0); };
    const double height = chart.height * PointsPerPixel;
    painter.save();
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, width * sx, 16 * sy), Qt::AlignHCenter | Qt::AlignTop,
                     chart.title);
    font.setPointSizeF(8);
    font.setBold(false);
    painter.setFont(font);
    drawing.paint(
        painter,
        drawing.layout(QRectF(0, 20 * sy, width * sx, (height - 20) * sy), font, painter.device()),
        Qt::black, Qt::darkGray);
    painter.restore();
}

void SheetPrinter::paintRows(QPainter& painter, int first, int last, int firstCol, int lastCol,
                             double top0, double y0) const
{
    const double left0 = m_colLeft[static_cast<size_t>(firstCol - 1)];
    const double sx = painter.device()->logicalDpiX() / 72.0;
    const double sy = painter.device()->logicalDpiY() / 72.0;
    auto cellRect = [&](int r, int c) {
        const double x1 = std::round((m_colLeft[static_cast<size_t>(c - 1)] - left0) * sx);
        const double x2 = std::round((m_colLeft[static_cast<size_t>(c)] - left0) * sx);
        const double y1 = std::round((m_rowTop[static_cast<size_t>(r - 1)] - top0 + y0) * sy);
        const double y2 = std::round((m_rowTop[static_cast<size_t>(r)] - top0 + y0) * sy);
        return QRectF(x1, y1, x2 - x1, y2 - y1);
    };
    const StyleTable& styles = m_sheet.styles();

    const auto empty = [&](int r, int c) {
        const Worksheet::Cell* cell = m_sheet.cell(r, c);
        return !cell || cell->kind == SpreadsheetValue::Kind::Empty;
    };

    painter.save();
    for (int r = first; r <= last; ++r) {
        // The fills first: a text may run on over the empty cells to its right.
        for (int c = firstCol; c <= lastCol; ++c) {
            const Worksheet::Cell* cell = m_sheet.cell(r, c);
            const CellStyle& style = styles.style(cell ? cell->style : m_sheet.sheetStyle());
            if (style.hasFill)
                painter.fillRect(cellRect(r, c), QColor::fromRgb(style.fill));
        }
        for (int c = firstCol; c <= lastCol; ++c) {
            if (empty(r, c))
                continue;
            const Worksheet::Cell* cell = m_sheet.cell(r, c);
            const CellStyle& style = styles.style(cell->style);
            QFont font(styles.fontName(style.fontName));
            font.setPointSizeF(style.fontSize);
            font.setBold(style.bold);
            painter.setFont(font);
            painter.setPen(style.fontAutomatic ? QColor(Qt::black)
                                               : QColor::fromRgb(style.fontColor));
            const bool number = cell->kind == SpreadsheetValue::Kind::Number;
            int end = c;
            while (!number && end < lastCol && empty(r, end + 1))
                ++end;
            const QRectF rect = cellRect(r, c).united(cellRect(r, end));
            const QRectF room = rect.adjusted(CellPadding * sx, 0, -CellPadding * sx, -sy);
            // One line per cell, as the spreadsheet program prints a cell:
            // the lines of a text one after another, over the empty cells to
            // its right, a text wider than that ended with "…", a number too
            // wide as "#" (cut, it would read as another number).
            const QFontMetricsF metrics(font, painter.device());
            bool wider = false;
            const QString shown = fitted(displayText(*cell, style.numberFormat), number, metrics,
                                         room.width(), wider);
            // Only a text that overflows its cell is cut at its edges: a clip
            // per cell made the PDF half as large again and slower to write.
            const bool clip = wider || metrics.height() > room.height();
            if (clip) {
                painter.save();
                painter.setClipRect(rect);
            }
            painter.drawText(room,
                             (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom |
                                 Qt::TextSingleLine,
                             shown);
            if (clip)
                painter.restore();
        }
    }
    QPen pen(Qt::black);
    pen.setWidthF(0.75 * sx);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (int r = first; r <= last; ++r)
        for (int c = firstCol; c <= lastCol; ++c) {
            const Worksheet::Cell* cell = m_sheet.cell(r, c);
            if (styles.style(cell ? cell->style : m_sheet.sheetStyle()).borders)
                painter.drawRect(cellRect(r, c));
        }
    painter.restore();
}

bool SheetPrinter::print(QPagedPaintDevice& device, const Progress& progress, int from,
                         int to) const
{
    const QList<Page> all = pages(device.pageLayout().paintRect(QPageLayout::Point).size());
    const qsizetype first = from > 0 ? std::min<qsizetype>(from, all.size()) - 1 : 0;
    const qsizetype last = to > 0 ? std::min<qsizetype>(to, all.size()) - 1 : all.size() - 1;
    const int total = static_cast<int>(last - first + 1);
    if (progress && !progress(0, total))
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        throw RuntimeError(
            ErrorNumber::FileAccess,
            QStringLiteral("No se puede empezar a imprimir la hoja %1").arg(m_sheet.name()),
            QStringLiteral("Impresión"));
    for (qsizetype i = first; i <= last; ++i) {
        if (i > first)
            device.newPage();
        paintPage(painter, all[i]);
        if (progress && !progress(static_cast<int>(i - first + 1), total)) {
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

bool SheetPrinter::savePdf(const QString& path, const Progress& progress) const
{
    return savePdf(QList<const Worksheet*>{&m_sheet}, path, progress);
}

bool SheetPrinter::printToPdf(const QString& path, const QPageLayout& layout,
                              const Progress& progress, int from, int to) const
{
    fileCommit::Output out(path);
    out.begin();
    {
        QPdfWriter writer(&out);
        writer.setPageLayout(layout);
        writer.setCreator(QStringLiteral("rp_oproduccion"));
        writer.setTitle(m_sheet.name());
        // Each page is written as the next begins: a full disk stops the
        // printing there, not after the last page.
        const auto checked = [&](int done, int total) {
            out.check();
            return !progress || progress(done, total);
        };
        if (!print(writer, checked, from, to))
            return false;
    }
    commitPdf(out, path);
    return true;
}

bool SheetPrinter::savePdf(const QList<const Worksheet*>& sheets, const QString& path,
                           const Progress& progress)
{
    if (sheets.isEmpty())
        throw RuntimeError(ErrorNumber::FileAccess,
                           QStringLiteral("No hay ninguna hoja para el PDF «%1»")
                               .arg(QDir::toNativeSeparators(path)),
                           QStringLiteral("Impresión"));
    std::vector<SheetPrinter> printers;
    std::vector<QPageLayout> layouts;
    std::vector<QList<Page>> pagesOf;
    int total = 0;
    for (const Worksheet* sheet : sheets) {
        printers.emplace_back(*sheet);
        layouts.push_back(printers.back().pageLayout());
        pagesOf.push_back(
            printers.back().pages(layouts.back().paintRect(QPageLayout::Point).size()));
        total += static_cast<int>(pagesOf.back().size());
    }
    fileCommit::Output out(path);
    out.begin();
    {
        // Through the device, not by name: the PDF engine does not check its
        // writes, the device does.
        QPdfWriter writer(&out);
        writer.setPageLayout(layouts.front());
        writer.setCreator(QStringLiteral("rp_oproduccion"));
        writer.setTitle(sheets.front()->name());
        // Cancelled: the temporary file goes with `out`, the earlier file stays.
        if (progress && !progress(0, total))
            return false;
        QPainter painter;
        if (!painter.begin(&writer))
            throw RuntimeError(ErrorNumber::FileAccess,
                               QStringLiteral("No se puede empezar a imprimir la hoja %1")
                                   .arg(sheets.front()->name()),
                               QStringLiteral("Impresión"));
        int done = 0;
        for (std::size_t s = 0; s < printers.size(); ++s) {
            for (const Page& page : pagesOf[s]) {
                if (done > 0) {
                    // A new layout takes effect from the next page on.
                    if (writer.pageLayout() != layouts[s])
                        writer.setPageLayout(layouts[s]);
                    writer.newPage();
                }
                printers[s].paintPage(painter, page);
                // The page before this one is written by now: a full disk
                // stops here rather than after painting every page.
                out.check();
                ++done;
                if (progress && !progress(done, total)) {
                    painter.end();
                    return false;
                }
            }
        }
        painter.end();
    }
    commitPdf(out, path);
    return true;
}
